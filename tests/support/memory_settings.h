#pragma once
// In-memory settings store for native tests: the four settings operations
// read and write a map instead of the registry or an INI file.

#include <map>
#include <string>
#include <utility>

namespace tblf::testing {

class MemorySettings {
 public:
  // Forgets every value.
  static void Reset();
  static void SetInt(const std::wstring& section, const std::wstring& key, int value);
};

}  // namespace tblf::testing
