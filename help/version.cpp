#include "help/version.h"

#include <cwchar>

namespace tblf {

VersionValues g_versionValues;

namespace {

bool EqualsIgnoringCase(const std::wstring& text, const wchar_t* word) {
  const size_t n = std::wcslen(word);
  if (text.size() != n) return false;
  for (size_t i = 0; i < n; ++i) {
    wchar_t x = text[i], y = word[i];
    if (x >= L'A' && x <= L'Z') x = static_cast<wchar_t>(x - L'A' + L'a');
    if (y >= L'A' && y <= L'Z') y = static_cast<wchar_t>(y - L'A' + L'a');
    if (x != y) return false;
  }
  return true;
}

// One decimal field at `pos`; false when no digit stands there.
bool ReadField(const std::wstring& text, size_t& pos, unsigned& value) {
  if (pos >= text.size() || text[pos] < L'0' || text[pos] > L'9') return false;
  unsigned n = 0;
  while (pos < text.size() && text[pos] >= L'0' && text[pos] <= L'9') {
    n = n * 10u + static_cast<unsigned>(text[pos] - L'0');
    ++pos;
  }
  value = n;
  return true;
}

}  // namespace

FileVersionNumbers ParseFileVersion(const std::wstring& text) {
  FileVersionNumbers v;
  unsigned* fields[] = {&v.a, &v.b, &v.c, &v.d};
  size_t pos = 0;
  // Leading blanks are skipped, as the "%u" conversions of the format do.
  while (pos < text.size() && (text[pos] == L' ' || text[pos] == L'\t')) ++pos;
  for (int i = 0; i < 4; ++i) {
    if (i > 0) {
      if (pos >= text.size() || text[pos] != L'.') break;
      ++pos;
    }
    if (!ReadField(text, pos, *fields[i])) break;
  }
  return v;
}

unsigned BuildNumber(const FileVersionNumbers& v) { return v.a * 10000u + v.b * 1000u + v.c * 100u + v.d; }

int ReleaseKindOf(const std::wstring& special) {
  if (EqualsIgnoringCase(special, L"beta") || EqualsIgnoringCase(special, L"Final Beta") ||
      EqualsIgnoringCase(special, L"Release Candidate")) {
    return kReleaseKindBeta;
  }
  if (EqualsIgnoringCase(special, L"alpha") || special == L"Public Preview" || special == L"Test Release" ||
      special == L"Preview Release") {
    return kReleaseKindAlpha;
  }
  return kReleaseKindRelease;
}

std::wstring ShownSpecialBuild(const std::wstring& special, bool japanese, bool ignoreCase) {
  if (!japanese) return special;
  if (ignoreCase ? EqualsIgnoringCase(special, L"beta") : special == L"beta") return L"\u03B2";
  if (ignoreCase ? EqualsIgnoringCase(special, L"alpha") : special == L"alpha") return L"\u03B1";
  return special;
}

VersionValues ComputeVersionValues(const VersionResource& resource, bool japanese, const wchar_t* width) {
  const FileVersionNumbers v = ParseFileVersion(resource.fileVersion);
  // "%s version %u.%u%u.%02u%s [%s](%s,%s)"
  wchar_t numbers[64];
  std::swprintf(numbers, 64, L"%u.%u%u.%02u", v.a, v.b, v.c, v.d);
  VersionValues values;
  values.versionString = resource.fileDescription + L" version " + numbers +
                         ShownSpecialBuild(resource.specialBuild, japanese) + L" [" + resource.privateBuild +
                         L"](Unicode," + width + L")";
  values.buildNumber = BuildNumber(v);
  values.releaseKind = ReleaseKindOf(resource.specialBuild);
  return values;
}

}  // namespace tblf
