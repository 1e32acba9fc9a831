#include "remote/control_selector.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tblf {
namespace {

Candidate Make(WindowId handle, ControlKind kind, const wchar_t* program, const wchar_t* owner) {
  Candidate c;
  c.handle = handle;
  c.kind = kind;
  c.program = program;
  c.owner = owner;
  return c;
}

const std::vector<Candidate> kDesktop = {
    Make(1, ControlKind::ListView, L"Explorer.EXE", L"Downloads"),
    Make(2, ControlKind::TreeView, L"Explorer.EXE", L"Downloads"),
    Make(3, ControlKind::TreeView, L"tblf_fixture.exe", L"Tabulift fixture: trio"),
    Make(4, ControlKind::TreeView, L"tblf_fixture.exe", L"Tabulift fixture: tree views"),
    Make(5, ControlKind::ComboBox, L"regedit", L"Registry Editor"),
};

std::vector<WindowId> Handles(const std::vector<Candidate>& rows) {
  std::vector<WindowId> handles;
  for (const Candidate& c : rows) handles.push_back(c.handle);
  return handles;
}

TEST(ControlSelector, PicksByProgramWindowKindAndNth) {
  struct Case {
    const char* situation;
    ControlSelector selector;
    std::vector<WindowId> expected;
  };
  const Case cases[] = {
      {"program without .exe, other case", {L"EXPLORER", {}, {}, {}}, {1, 2}},
      {"program with .exe", {L"tblf_fixture.exe", {}, {}, {}}, {3, 4}},
      {".exe added to a name that has none", {L"regedit.exe", {}, {}, {}}, {5}},
      {"program is the whole name, not a part", {L"tblf", {}, {}, {}}, {}},
      {"window title contains the text, any case", {{}, L"FIXTURE: T", {}, {}}, {3, 4}},
      {"kind", {{}, {}, ControlKind::TreeView, {}}, {2, 3, 4}},
      {"all three", {L"tblf_fixture", L"tree", ControlKind::TreeView, {}}, {4}},
      {"nth counts the matches in order", {{}, {}, ControlKind::TreeView, 2}, {3}},
      {"nth past the matches", {L"regedit", {}, {}, 2}, {}},
      {"kind that nothing has", {{}, {}, ControlKind::ListBox, {}}, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Handles(SelectCandidates(c.selector, kDesktop)), c.expected) << c.situation;
  }
}

TEST(ControlSelector, KindNamesBothWaysAndTheDescription) {
  for (ControlKind kind : {ControlKind::ListView, ControlKind::TreeView, ControlKind::ListBox, ControlKind::ComboBox}) {
    EXPECT_EQ(KindOfName(KindName(kind)), kind);
  }
  EXPECT_FALSE(KindOfName(L"ListView").has_value());
  EXPECT_FALSE(KindOfName(L"filelist").has_value());
  EXPECT_EQ(DescribeSelector({L"a b.exe", L"Title", ControlKind::ComboBox, 3}),
            L"--program \"a b.exe\" --window \"Title\" --kind combobox --nth 3");
}

}  // namespace
}  // namespace tblf
