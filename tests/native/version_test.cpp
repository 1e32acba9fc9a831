#include "help/version.h"

#include <gtest/gtest.h>

namespace tblf {
namespace {

struct VersionCase {
  const char* situation;
  const wchar_t* fileVersion;
  const wchar_t* specialBuild;
  bool japanese;
  const wchar_t* width;
  const wchar_t* versionString;
  unsigned buildNumber;
  int releaseKind;
};

const VersionCase kVersionCases[] = {
    {"letter special build, English", L"1.2.3.4", L"b", false, L"x86",
     L"Tabulift version 1.23.04b [2020/01/02](Unicode,x86)", 12304, 0},
    {"beta in the English UI stays a word", L"1.2.3.4", L"beta", false, L"x86",
     L"Tabulift version 1.23.04beta [2020/01/02](Unicode,x86)", 12304, 2},
    {"Beta with a capital B, Japanese", L"1.2.3.4", L"Beta", true, L"x86",
     L"Tabulift version 1.23.04\u03B2 [2020/01/02](Unicode,x86)", 12304, 2},
    {"ALPHA in capitals, Japanese", L"1.2.3.4", L"ALPHA", true, L"x86",
     L"Tabulift version 1.23.04\u03B1 [2020/01/02](Unicode,x86)", 12304, 1},
    {"public preview in lower case is a release", L"1.2.3.4", L"public preview", false, L"x86",
     L"Tabulift version 1.23.04public preview [2020/01/02](Unicode,x86)", 12304, 0},
    {"Public Preview as written is an alpha", L"1.2.3.4", L"Public Preview", true, L"x86",
     L"Tabulift version 1.23.04Public Preview [2020/01/02](Unicode,x86)", 12304, 1},
    {"release candidate in any case is a beta", L"1.2.3.4", L"release CANDIDATE", false, L"x86",
     L"Tabulift version 1.23.04release CANDIDATE [2020/01/02](Unicode,x86)", 12304, 2},
    {"two-digit minor number runs into the next digit", L"2.10.0.7", L"", false, L"x86",
     L"Tabulift version 2.100.07 [2020/01/02](Unicode,x86)", 30007, 0},
    {"fields after a malformed one stay 0", L"3.x.5.6", L"", false, L"x86",
     L"Tabulift version 3.00.00 [2020/01/02](Unicode,x86)", 30000, 0},
};

TEST(VersionValues, FromTheResourceStrings) {
  for (const VersionCase& c : kVersionCases) {
    SCOPED_TRACE(c.situation);
    VersionResource resource{c.fileVersion, L"Tabulift", c.specialBuild, L"2020/01/02", L"(C)"};
    const VersionValues values = ComputeVersionValues(resource, c.japanese, c.width);
    EXPECT_EQ(values.versionString, c.versionString);
    EXPECT_EQ(values.buildNumber, c.buildNumber);
    EXPECT_EQ(values.releaseKind, c.releaseKind);
  }
}

TEST(VersionValues, BeforeTheResourceIsRead) {
  const VersionValues values;
  EXPECT_EQ(values.versionString, L"TBLIFT");
  EXPECT_EQ(values.buildNumber, 0u);
  EXPECT_EQ(values.releaseKind, 0);
}

TEST(VersionValues, ExactSpecialBuildReplacementLeavesOtherCasesAlone) {
  EXPECT_EQ(ShownSpecialBuild(L"beta", true, false), L"\u03B2");
  EXPECT_EQ(ShownSpecialBuild(L"Beta", true, false), L"Beta");
}

}  // namespace
}  // namespace tblf
