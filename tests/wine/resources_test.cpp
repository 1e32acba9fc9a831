#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <set>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/support/fixture_win.h"

namespace {

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

// The parts of an extended dialog template that a user meets: the font's
// character set and each item's id, class atom (0 for a named class), style
// and text, in the template's order, which is the tab order.
struct TemplateItem {
  DWORD id = 0;
  WORD atom = 0;
  DWORD style = 0;
  std::wstring text;
};
struct ParsedTemplate {
  BYTE charset = 0;
  std::vector<TemplateItem> items;
};

// A menu, class or text field: none, an ordinal, or a string; its text and
// atom, and the pointer moved past it.
const WORD* Field(const WORD* p, std::wstring* text, WORD* atom) {
  if (p[0] == 0) return p + 1;
  if (p[0] == 0xFFFF) {
    if (atom) *atom = p[1];
    return p + 2;
  }
  const auto* s = reinterpret_cast<const wchar_t*>(p);
  if (text) *text = s;
  return p + wcslen(s) + 1;
}

ParsedTemplate Parse(HMODULE module, int id) {
  ParsedTemplate parsed;
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), RT_DIALOG);
  const auto* base = found ? static_cast<const BYTE*>(LockResource(LoadResource(module, found))) : nullptr;
  if (!base || reinterpret_cast<const WORD*>(base)[1] != 0xFFFF) return parsed;
  const WORD count = *reinterpret_cast<const WORD*>(base + 16);
  const WORD* p = reinterpret_cast<const WORD*>(base + 26);
  p = Field(Field(Field(p, nullptr, nullptr), nullptr, nullptr), nullptr, nullptr);  // menu, class, title
  parsed.charset = HIBYTE(p[2]);
  p = Field(p + 3, nullptr, nullptr);  // the face
  for (WORD i = 0; i < count; ++i) {
    const auto* item = reinterpret_cast<const BYTE*>((reinterpret_cast<UINT_PTR>(p) + 3) & ~UINT_PTR{3});
    TemplateItem entry;
    entry.style = *reinterpret_cast<const DWORD*>(item + 8);
    entry.id = *reinterpret_cast<const DWORD*>(item + 20);
    p = Field(reinterpret_cast<const WORD*>(item + 24), nullptr, &entry.atom);
    p = Field(p, &entry.text, nullptr);
    p = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(p + 1) + *p);  // creation data
    parsed.items.push_back(entry);
  }
  return parsed;
}

bool HasMnemonic(const std::wstring& text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != L'&') continue;
    if (text[i + 1] != L'&') return true;
    ++i;
  }
  return false;
}

std::set<DWORD> Ids(const ParsedTemplate& parsed) {
  std::set<DWORD> ids;
  for (const TemplateItem& item : parsed.items) ids.insert(item.id);
  ids.erase(0xFFFF);
  ids.erase(0xFFFFFFFF);
  return ids;
}

// Both languages of a dialog hold the same control ids, each label's mnemonic
// reaches the control it names, and a Japanese template asks for a Japanese font.
TEST(Resources, BothTemplatesHoldTheSameIdsAndEachMnemonicReachesItsControl) {
  HMODULE program = LoadLibraryExW((tblf::test::ExecutableFolder() + L"tabulift.exe").c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(program, nullptr);
  constexpr WORD kButton = 0x80, kStatic = 0x82;
  const struct {
    int ja, en;
  } pairs[] = {{IDD_MAIN_JA, IDD_MAIN_EN},         {IDD_MESSAGE_JA, IDD_MESSAGE_EN},
               {IDD_SETTINGS_JA, IDD_SETTINGS_EN}, {IDD_OPEN_JA, IDD_OPEN_EN},
               {IDD_ENV_REPORT_JA, IDD_ENV_REPORT_EN}, {IDD_FILELIST_JA, IDD_FILELIST_EN},
               {IDD_PROPERTY_JA, IDD_PROPERTY_EN}, {IDD_MULTI_SELECT_JA, IDD_MULTI_SELECT_EN},
               {IDD_UPDATE_JA, IDD_UPDATE_EN}};
  for (const auto& pair : pairs) {
    for (const int id : {pair.ja, pair.en}) {
      SCOPED_TRACE(id);
      const ParsedTemplate parsed = Parse(program, id);
      ASSERT_FALSE(parsed.items.empty());
      if (id == pair.ja) EXPECT_EQ(parsed.charset, SHIFTJIS_CHARSET);
      EXPECT_EQ(Ids(parsed), Ids(Parse(program, pair.en)));
      for (size_t i = 0; i < parsed.items.size(); ++i) {
        const TemplateItem& label = parsed.items[i];
        if (label.atom != kStatic || (label.style & SS_NOPREFIX) || !HasMnemonic(label.text)) continue;
        // Alt+key on a label focuses the next tab stop: the control it names.
        ASSERT_LT(i + 1, parsed.items.size()) << testing::PrintToString(label.text);
        const TemplateItem& next = parsed.items[i + 1];
        EXPECT_TRUE(next.atom != kStatic && next.atom != kButton && (next.style & WS_TABSTOP))
            << "item " << i << " is followed by class " << next.atom;
      }
    }
  }
  FreeLibrary(program);
}

}  // namespace
