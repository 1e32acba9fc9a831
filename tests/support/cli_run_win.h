#pragma once
// Running tblfcli.exe (beside the test in bin/) as its own process, the way a
// script does: standard output and error to files, TBLF_LANG set, exit status.

#include <windows.h>

#include <functional>
#include <gtest/gtest.h>

#include <string>

namespace tblf::test {

std::string Utf8(const std::wstring& text);
std::wstring Wide(const std::string& utf8);
// UTF-16 bytes of a text, little or big endian, without a byte order mark.
std::string Utf16(const std::wstring& text, bool bigEndian);

// A folder of this test process under the temp folder, ending in a backslash.
std::wstring TempFolder();

// What a run left behind. `ended` is false when it had to be killed.
struct CliRun {
  DWORD exitCode = 0xFFFFFFFF;
  std::string out;
  std::string err;
  bool ended = false;
  ULONGLONG elapsedMs = 0;
};

// A child that goes past this is taken as hung and killed; far above any
// run here, it only keeps a fault from stalling the whole suite.
constexpr DWORD kRunBoundMs = 60000;

// Starts tblfcli.exe with `arguments`, its standard output and error going
// to files, TBLF_LANG set to `language`. `whileRunning` is called once the
// process runs (to kill a fixture under it, say). `workingDirectory` is the
// child's current directory (empty: this process's).
CliRun RunCli(const std::wstring& arguments, const wchar_t* language = L"en",
              const std::function<void(HANDLE process)>& whileRunning = nullptr, DWORD boundMs = kRunBoundMs,
              const std::wstring& workingDirectory = L"");

// A DWORD setting of the registry store set for one test and put back (or
// deleted) afterwards.
class StoredValue {
 public:
  StoredValue(const wchar_t* section, const wchar_t* name, DWORD value) : name_(name) {
    key_ = std::wstring(L"Software\\QuillmarkHive\\TBLIFT\\CurrentVersion\\") + section;
    DWORD size = sizeof old_;
    hadOld_ = RegGetValueW(HKEY_CURRENT_USER, key_.c_str(), name, RRF_RT_REG_DWORD, nullptr, &old_, &size) ==
              ERROR_SUCCESS;
    EXPECT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key_.c_str(), name, REG_DWORD, &value, sizeof value),
              ERROR_SUCCESS);
  }
  ~StoredValue() {
    if (hadOld_) {
      RegSetKeyValueW(HKEY_CURRENT_USER, key_.c_str(), name_, REG_DWORD, &old_, sizeof old_);
    } else {
      RegDeleteKeyValueW(HKEY_CURRENT_USER, key_.c_str(), name_);
    }
  }
  DWORD Now() const {
    DWORD value = 0, size = sizeof value;
    RegGetValueW(HKEY_CURRENT_USER, key_.c_str(), name_, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
  }

 private:
  const wchar_t* name_;
  std::wstring key_;
  DWORD old_ = 0;
  bool hadOld_ = false;
};

}  // namespace tblf::test
