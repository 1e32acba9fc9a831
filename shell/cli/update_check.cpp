// tblfcli update-check: one update exchange, its outcome on one line.

#include <cwchar>
#include <string>

#include "shell/cli/cli.h"
#include "update/update_check_win.h"
#include "update/update_exchange_win.h"

namespace tblf::cli {
namespace {

const Option kUpdateCheckOptions[] = {
    {L"--proxy", L"HOST:PORT", L"HOST:PORT", L"ask through this HTTP proxy (default: the stored one)"},
    {L"--beta", nullptr, nullptr, L"look for the newest alpha or beta version"},
    {L"--timeout", L"SECONDS", L"a number of seconds", L"wait for the reply this long (0-3600)"},
    {L"--connect-to", L"HOST:PORT", L"HOST:PORT",
     L"send the direct request to HOST:PORT instead of the\nupdate host (a local test server)"},
    {L"--build", L"NUMBER", L"a build number",
     L"compare with this build number instead of the\nprogram's own"},
};

// HOST:PORT split at the last colon; both parts must be there.
std::optional<std::pair<std::wstring, std::wstring>> HostAndPort(const std::wstring& text) {
  const size_t colon = text.rfind(L':');
  if (colon == std::wstring::npos || colon == 0 || colon + 1 == text.size()) return std::nullopt;
  return std::make_pair(text.substr(0, colon), text.substr(colon + 1));
}

// a.b.c.d of the FileVersion in the executable's version resource as
// a * 10000 + b * 1000 + c * 100 + d; 0 without one.
int OwnBuildNumber() {
  wchar_t path[MAX_PATH] = L"";
  if (GetModuleFileNameW(nullptr, path, MAX_PATH) == 0) return 0;
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
  if (size == 0) return 0;
  std::string block(size + 2, '\0');
  if (!GetFileVersionInfoW(path, 0, size, block.data())) return 0;
  wchar_t* text = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), L"\\StringFileInfo\\041104b0\\FileVersion", reinterpret_cast<void**>(&text),
                      &length) ||
      !text) {
    return 0;
  }
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (swscanf(text, L"%u.%u.%u.%u", &a, &b, &c, &d) != 4) return 0;
  return static_cast<int>(a * 10000 + b * 1000 + c * 100 + d);
}

const wchar_t* OutcomeWord(UpdateOutcome outcome) {
  switch (outcome) {
    case UpdateOutcome::Newer: return L"newer";
    case UpdateOutcome::Older: return L"older";
    case UpdateOutcome::Equal: return L"equal";
    case UpdateOutcome::NotFound: return L"not-found";
    case UpdateOutcome::NoReply: return L"no-reply";
    case UpdateOutcome::HttpStatus: return L"http-status";
    case UpdateOutcome::ConnectFailed: break;
  }
  return L"connect-failed";
}

int RunUpdateCheck(const Args& args) {
  if (!args.positional.empty()) return Usage(L"unknown option " + args.positional[0]);
  UpdateCheckParams params = UpdateValuesFromSettings(0).exchange;
  if (auto v = args.Value(L"--proxy")) {
    auto target = HostAndPort(*v);
    if (!target) return Usage(L"--proxy needs HOST:PORT, not " + *v);
    params.proxyHost = target->first;
    params.proxyPort = target->second;
  }
  if (auto v = args.Value(L"--connect-to")) {
    auto target = HostAndPort(*v);
    if (!target) return Usage(L"--connect-to needs HOST:PORT, not " + *v);
    params.connectHost = target->first;
    params.connectPort = target->second;
  }
  if (args.Has(L"--beta")) params.beta = true;
  if (auto v = args.Value(L"--timeout")) {
    auto seconds = ParseNumber(*v, 0, 3600, 4);
    if (!seconds) return Usage(L"--timeout needs a number of seconds from 0 to 3600, not " + *v);
    params.timeoutSeconds = static_cast<unsigned>(*seconds);
  }
  params.buildNumber = OwnBuildNumber();
  if (auto v = args.Value(L"--build")) {
    auto number = ParseNumber(*v, 0, 99999, 5);
    if (!number) return Usage(L"--build needs a build number from 0 to 99999, not " + *v);
    params.buildNumber = *number;
  }

  const UpdateResult result = RunUpdateExchange(params);
  std::wstring line = OutcomeWord(result.outcome);
  const bool found = result.outcome == UpdateOutcome::Newer || result.outcome == UpdateOutcome::Older ||
                     result.outcome == UpdateOutcome::Equal;
  if (found) line += L" " + std::to_wstring(result.published);
  if (result.outcome == UpdateOutcome::HttpStatus) line += L" " + std::to_wstring(result.httpStatus);
  PrintOut(line + L"\r\n");
  return found ? kExitOk : kExitFailed;
}

}  // namespace

extern const Verb kUpdateCheckVerb{
    L"update-check", L"update-check [--proxy HOST:PORT] [--beta] [--timeout SECONDS]",
    L"Asks the update host once whether a newer version is published, with\n"
    L"the stored Update settings where no option is given, and prints one\n"
    L"line: newer, older or equal and the published build number, or\n"
    L"connect-failed (also when no connection is made within the timeout),\n"
    L"no-reply (closed or silent before the headers), http-status N (a\n"
    L"status other than 200), or not-found (a 200 reply without the\n"
    L"version). Exit status 0 when a version was found,\n"
    L"1 when not. --connect-to and --build let it run against a test server.",
    {kUpdateCheckOptions},
    RunUpdateCheck};

}  // namespace tblf::cli
