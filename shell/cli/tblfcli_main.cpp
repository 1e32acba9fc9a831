// tblfcli: Tabulift from the command line, one verb per run.
// Exit status: 0 success, 1 the verb reported an error, 2 usage error, a
// handle that is no longer a window, or selectors that pick no control or
// more than one, 130 an export stopped by Ctrl+C or Ctrl+Break.

#include <windows.h>

#include <string>
#include <vector>

#include "help/version.h"
#include "help/version_win.h"
#include "shell/cli/cli.h"
#include "base/message_box_win.h"
#include "base/process_basics_win.h"

namespace tblf::cli {

extern const Verb kListVerb;
extern const Verb kExportVerb;
extern const Verb kFilesVerb;
extern const Verb kEnvVerb;
extern const Verb kUpdateCheckVerb;
extern const Verb kPropsVerb;
extern const Verb kSelectVerb;

namespace {

const Verb* const kVerbs[] = {&kListVerb, &kExportVerb, &kPropsVerb,       &kSelectVerb,
                              &kFilesVerb, &kEnvVerb,    &kUpdateCheckVerb};

std::wstring Help() {
  std::wstring text = L"Usage:\n";
  for (const Verb* verb : kVerbs) text += VerbHelp(*verb);
  text +=
      L"Without --out or --clipboard the text goes to standard output, in UTF-8\n"
      L"unless --encoding says otherwise. Options not given take the stored\n"
      L"settings (MainDialog/format, Data/dquot_sdata, Data/dquot2, File/CharCode,\n"
      L"File/RetCode); options given are used for this run only, never stored.\n"
      L"'tblfcli VERB --help' shows one verb, 'tblfcli --version' the version.\n"
      L"Selectors (--program, --window, --kind, --nth, --wait) pick a control in\n"
      L"place of HANDLE; they must pick exactly one, else the matches are listed\n"
      L"on standard error. --at X,Y (export, props, select) picks the control at\n"
      L"that point of the screen instead, as the window's finder does: the deepest\n"
      L"control of a kind there (a list view's header gives the list view).\n"
      L"Exit status: 0 success, 1 the command reported an error (message on standard\n"
      L"error), 2 usage error, a handle that is no longer a window, selectors\n"
      L"that pick no control or more than one, or no control at the --at point, 130 an export stopped by Ctrl+C or\n"
      L"Ctrl+Break after its current row (the rows written stay).\n"
      L"A control whose program ends or stops answering during an export ends it\n"
      L"with exit status 1, the read error and the row it stopped after.\n"
      L"The language follows TBLF_LANG (ja / en) or the system.\n";
  return text;
}

int Main(const std::vector<std::wstring>& args) {
  if (args.size() < 2) return Usage(L"no command");
  if (args[1] == L"--help" || args[1] == L"-h") {
    PrintOut(Help());
    return kExitOk;
  }
  if (args[1] == L"--version") {
    // Read here rather than at start: no other verb shows the version.
    ReadVersionInfo();
    PrintOut(g_versionValues.versionString + L"\n");
    return kExitOk;
  }
  // Every message box of the readers or the writer becomes a line on standard error.
  SetMessageBoxHook([](HWND, const std::wstring& text, const std::wstring&, UINT type) {
    PrintError(text);
    return (type & MB_YESNO) ? IDNO : IDOK;
  });
  for (const Verb* verb : kVerbs) {
    if (args[1] != verb->name) continue;
    const std::vector<std::wstring> rest(args.begin() + 2, args.end());
    if (rest.size() == 1 && (rest[0] == L"--help" || rest[0] == L"-h")) {
      PrintOut(L"Usage:\n" + VerbHelp(*verb));
      return kExitOk;
    }
    std::optional<Args> parsed = Parse(*verb, rest);
    if (!parsed) return kExitUsage;
    return verb->run(*parsed);
  }
  return Usage(L"unknown command " + args[1]);
}

}  // namespace
}  // namespace tblf::cli

int wmain(int argc, wchar_t** argv) {
  tblf::SelectUiLanguage();
  std::vector<std::wstring> args(argv, argv + argc);
  return tblf::cli::Main(args);
}
