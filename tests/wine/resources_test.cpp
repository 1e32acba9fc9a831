#include <windows.h>

#include <gtest/gtest.h>

#include "resources/resource.h"

namespace {

TEST(Resources, JapaneseStringSurvivesTheUtf8ResourceCompiler) {
  const wchar_t* text = nullptr;
  const int n = LoadStringW(GetModuleHandleW(nullptr), IDS_APP_NAME_JA, reinterpret_cast<LPWSTR>(&text), 0);
  ASSERT_GT(n, 0);
  EXPECT_EQ(std::wstring(text, n), L"表計算リフト・日本語");
}

TEST(Resources, ManifestSelectsCommonControls6) {
  // The side-by-side copy of version 6 lives under WinSxS. (Wine's copy answers
  // DllGetVersion with 5.81 even there, so the file's location is the test.)
  HMODULE comctl = LoadLibraryW(L"comctl32.dll");
  ASSERT_NE(comctl, nullptr);
  wchar_t path[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameW(comctl, path, MAX_PATH), 0u);
  std::wstring lower(path);
  for (auto& c : lower) c = static_cast<wchar_t>(towlower(c));
  EXPECT_NE(lower.find(L"microsoft.windows.common-controls_6595b64144ccf1df_6.0"), std::wstring::npos)
      << testing::PrintToString(lower);
}

}  // namespace
