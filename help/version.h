#pragma once
// The program's version values: read once at start-up from its own version
// resource (ReadVersionInfo, version_win.h) and only read afterwards. The
// environment report shows the version string, the update check compares the
// build number, and the About box picks its text by the release kind.

#include <string>

namespace tblf {

// The strings of the version resource's "041104b0" table. A value that
// cannot be read is an empty string.
struct VersionResource {
  std::wstring fileVersion;      // "a.b.c.d"
  std::wstring fileDescription;  // the product name
  std::wstring specialBuild;     // "beta", "alpha", a letter, or empty for a release
  std::wstring privateBuild;     // the build date
  std::wstring legalCopyright;
};

// Release kinds: 0 a release, 1 an alpha or preview, 2 a beta or release
// candidate. Anything but 0 is a development version.
constexpr int kReleaseKindRelease = 0;
constexpr int kReleaseKindAlpha = 1;
constexpr int kReleaseKindBeta = 2;

struct VersionValues {
  // "Tabulift version 1.23.04b [2020/01/02](Unicode,x86)"; "TBLIFT" until the
  // resource has been read.
  std::wstring versionString = L"TBLIFT";
  // a * 10000 + b * 1000 + c * 100 + d; 0 until the resource has been read.
  unsigned buildNumber = 0;
  int releaseKind = kReleaseKindRelease;
};

// The process-wide values, filled by ReadVersionInfo.
extern VersionValues g_versionValues;

struct FileVersionNumbers {
  unsigned a = 0, b = 0, c = 0, d = 0;
};

// "a.b.c.d" read field by field; the fields after the first one that is not
// a number stay 0.
FileVersionNumbers ParseFileVersion(const std::wstring& text);

unsigned BuildNumber(const FileVersionNumbers& version);

int ReleaseKindOf(const std::wstring& specialBuild);

// The special build as shown: in the Japanese UI "beta" becomes "β" and
// "alpha" "α" (any letter case, or only the lower-case words when
// `ignoreCase` is false); everything else is shown as it is.
std::wstring ShownSpecialBuild(const std::wstring& specialBuild, bool japanese, bool ignoreCase = true);

// All three values from the resource. `width` names the build's processor
// width: "x86" for a 32-bit build, "x64" for a 64-bit one.
VersionValues ComputeVersionValues(const VersionResource& resource, bool japanese, const wchar_t* width);

}  // namespace tblf
