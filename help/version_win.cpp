#include "help/version_win.h"

#include <vector>

#include "base/text.h"

namespace tblf {

namespace {

std::wstring QueryString(std::vector<BYTE>& block, const wchar_t* name, bool* found = nullptr) {
  const std::wstring path = std::wstring(L"\\StringFileInfo\\041104b0\\") + name;
  void* value = nullptr;
  UINT length = 0;
  const bool ok = VerQueryValueW(block.data(), path.c_str(), &value, &length) != 0 && value != nullptr;
  if (found) *found = ok;
  if (!ok || length == 0) return {};
  // The length counts the terminating zero when there is one.
  const wchar_t* text = static_cast<const wchar_t*>(value);
  std::wstring result(text, length);
  const size_t zero = result.find(L'\0');
  if (zero != std::wstring::npos) result.resize(zero);
  return result;
}

}  // namespace

std::optional<VersionResource> ReadVersionResource(const std::wstring& path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<BYTE> block(size + 2, 0);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return std::nullopt;
  bool haveFileVersion = false;
  VersionResource resource;
  resource.fileVersion = QueryString(block, L"FileVersion", &haveFileVersion);
  if (!haveFileVersion) return std::nullopt;
  resource.fileDescription = QueryString(block, L"FileDescription");
  resource.specialBuild = QueryString(block, L"SpecialBuild");
  resource.privateBuild = QueryString(block, L"PrivateBuild");
  resource.legalCopyright = QueryString(block, L"LegalCopyright");
  return resource;
}

bool ReadVersionInfo() {
  wchar_t path[MAX_PATH + 1] = {};
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) path[0] = L'\0';
  const std::optional<VersionResource> resource = ReadVersionResource(path);
  if (!resource) return false;
  g_versionValues = ComputeVersionValues(*resource, g_japaneseUi, kBuildWidth);
  return true;
}

}  // namespace tblf
