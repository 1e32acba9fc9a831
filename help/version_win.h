#pragma once
// Reading the program's own version resource.

#include <windows.h>

#include <optional>
#include <string>

#include "help/version.h"

namespace tblf {

// The processor width that this build names in its version string.
constexpr const wchar_t* kBuildWidth = sizeof(void*) == 8 ? L"x64" : L"x86";

// The "041104b0" strings of the version resource of the file at `path`;
// nothing when the file has no version resource or no FileVersion in that table.
std::optional<VersionResource> ReadVersionResource(const std::wstring& path);

// Start-up: fills g_versionValues from the executable's own version
// resource. False (and nothing changed) when it cannot be read.
bool ReadVersionInfo();

}  // namespace tblf
