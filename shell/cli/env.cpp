// tblfcli env: the environment report of this machine.

#include "envreport/environment_win.h"
#include "output/encoded_writer_win.h"
#include "shell/cli/cli.h"
#include "base/text.h"

namespace tblf::cli {
namespace {

const Option kEnvOptions[] = {
    {L"--out", L"FILE", L"a file name", L"write to FILE in the encoding of setting File/CharCode"},
};

int RunEnv(const Args& args) {
  if (!args.positional.empty()) return Usage(L"unknown option " + args.positional[0]);
  const std::wstring report = EnvironmentReportText(g_japaneseUi);
  const std::optional<std::wstring> out = args.Value(L"--out");
  if (!out) {
    PrintOut(report);
    return kExitOk;
  }
  const wchar_t* reason = L"";
  if (WriteEncodedText(out->c_str(), nullptr, report.c_str(), &reason)) return kExitOk;
  PrintError(CannotWriteText(*out, reason ? reason : L""));
  return kExitFailed;
}

}  // namespace

extern const Verb kEnvVerb{
    L"env", L"env [--out FILE]",
    L"Prints the environment report of this machine (processor, system,\n"
    L"memory, screens, drives, adapters, clock) in the UI language.",
    {kEnvOptions},
    RunEnv};

}  // namespace tblf::cli
