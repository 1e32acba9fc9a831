// The update exchange and `tblfcli update-check` over real sockets, against
// a scripted HTTP server on 127.0.0.1. Nothing here reaches the update host:
// direct requests are pointed at the local server, which still sees them
// naming the update host.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/cli_run_win.h"
#include "tests/support/loopback_http_win.h"
#include "update/update_exchange_win.h"

namespace tblf {
namespace {

using test::LoopbackHttpServer;
using test::ScriptedReply;

const std::string kDirectRequest =
    "GET /update.txt HTTP/1.0\r\n"
    "User-Agent: marrowlib [ja] (tblift)\r\n"
    "Host: update.tabulift.example\r\n"
    "\r\n";
const std::string kProxyRequest =
    "GET http://update.tabulift.example/update.txt HTTP/1.1\r\n"
    "User-Agent: marrowlib [ja] (tblift)\r\n"
    "Host: update.tabulift.example\r\n"
    "\r\n";
const char* const kHeader = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n";

UpdateCheckParams Direct(const LoopbackHttpServer& server, unsigned timeout, bool beta = false) {
  UpdateCheckParams params;
  params.connectHost = L"127.0.0.1";
  params.connectPort = server.Port();
  params.timeoutSeconds = timeout;
  params.beta = beta;
  params.buildNumber = 23105;
  return params;
}

TEST(UpdateExchange, DirectRequestGoesOutByteForByteWithTheUpdateHostInIt) {
  LoopbackHttpServer server({{std::string(kHeader) + "ver_tblf:23105.\r\n"}});
  ASSERT_TRUE(server.listening());
  const UpdateResult result = RunUpdateExchange(Direct(server, 6));
  EXPECT_EQ(result.outcome, UpdateOutcome::Equal);
  EXPECT_EQ(server.Requests(), std::vector<std::string>{kDirectRequest});
}

TEST(UpdateExchange, ProxyRequestCarriesTheAbsoluteUriAndHttp11) {
  LoopbackHttpServer server({{std::string(kHeader) + "ver_tblf:23106.\r\n"}});
  ASSERT_TRUE(server.listening());
  UpdateCheckParams params;
  params.proxyHost = L"127.0.0.1";
  params.proxyPort = server.Port();
  params.buildNumber = 23105;
  // A proxy wins over the test's direct target.
  params.connectHost = L"127.0.0.1";
  params.connectPort = std::to_wstring(test::UnusedLoopbackPort());
  const UpdateResult result = RunUpdateExchange(params);
  EXPECT_EQ(result.outcome, UpdateOutcome::Newer);
  EXPECT_EQ(result.published, 23106);
  EXPECT_EQ(server.Requests(), std::vector<std::string>{kProxyRequest});
}

struct TimedRun {
  UpdateCheckParams params;
  UpdateResult result;
  ULONGLONG elapsedMs = 0;
  ULONGLONG cpuMs = 0;
  ULONGLONG cpuSampledAtMs = 0;
};

DWORD WINAPI RunTimed(void* argument) {
  auto* run = static_cast<TimedRun*>(argument);
  run->result = RunUpdateExchange(run->params);
  return 0;
}

ULONGLONG Ms(const FILETIME& time) {
  return ((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 10000;
}

// Runs the exchange on a thread of its own and measures it. The thread's
// processor time is read while it still runs: Wine forgets it once the
// thread has ended.
void RunOnThread(TimedRun& run) {
  const ULONGLONG start = GetTickCount64();
  HANDLE thread = CreateThread(nullptr, 0, RunTimed, &run, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  FILETIME created, ended, kernel, user;
  while (WaitForSingleObject(thread, 100) == WAIT_TIMEOUT) {
    if (GetThreadTimes(thread, &created, &ended, &kernel, &user)) {
      run.cpuMs = Ms(kernel) + Ms(user);
      run.cpuSampledAtMs = GetTickCount64() - start;
    }
  }
  run.elapsedMs = GetTickCount64() - start;
  CloseHandle(thread);
}

TEST(UpdateExchange, ReplyWithoutTheKeyIsNotFoundOnlyAfterTheTimeoutAndTheThreadWaitsIdle) {
  // The server closes after its reply, or keeps the connection open and silent.
  for (bool close : {true, false}) {
    SCOPED_TRACE(close ? "server closes" : "server holds the connection");
    LoopbackHttpServer server({{std::string(kHeader) + "no version here\r\n"}, 0, close});
    ASSERT_TRUE(server.listening());
    TimedRun run;
    run.params = Direct(server, 1);
    RunOnThread(run);
    EXPECT_EQ(run.result.outcome, UpdateOutcome::NotFound);
    // Whole seconds exceed a timeout of 1 from 2000 ms on (GetTickCount may lag a tick).
    EXPECT_GE(run.elapsedMs, 1950u);
    EXPECT_LT(run.elapsedMs, 4000u);
    ASSERT_GE(run.cpuSampledAtMs, 1500u);
    // Waiting costs nothing measurable; a polling thread took 12 % of the time even on a machine
    // loaded eight times over.
    EXPECT_LT(run.cpuMs, run.cpuSampledAtMs / 20) << "the thread polled instead of waiting";
  }
}

TEST(UpdateExchange, ConnectionFailuresComeAtOnce) {
  LoopbackHttpServer server({{std::string(kHeader) + "ver_tblf:23105.\r\n"}});
  ASSERT_TRUE(server.listening());
  struct Case {
    const char* name;
    std::wstring proxyHost, proxyPort, connectHost, connectPort;
  };
  // A 64-letter label is refused by the resolver itself, so no query leaves the machine.
  const std::wstring unresolvable = std::wstring(64, L'a') + L".invalid";
  const std::wstring unused = std::to_wstring(test::UnusedLoopbackPort());
  const Case cases[] = {
      {"proxy port 0", L"127.0.0.1", L"0", L"", L""},
      {"proxy port not a number", L"127.0.0.1", L"eighty-eighty", L"", L""},
      {"proxy port past 65535", L"127.0.0.1", std::to_wstring(65536 + server.port()), L"", L""},
      {"proxy host that does not resolve", unresolvable, server.Port(), L"", L""},
      {"direct host that does not resolve", L"", L"", unresolvable, server.Port()},
      {"nothing listening", L"", L"", L"127.0.0.1", unused},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UpdateCheckParams params;
    params.proxyHost = c.proxyHost;
    params.proxyPort = c.proxyPort;
    params.connectHost = c.connectHost;
    params.connectPort = c.connectPort;
    TimedRun run;
    run.params = params;
    RunOnThread(run);
    EXPECT_EQ(run.result.outcome, UpdateOutcome::ConnectFailed);
    EXPECT_LT(run.elapsedMs, 5000u);
  }
  EXPECT_TRUE(server.Requests().empty());
}

// ---------------------------------------------------------------------------
// tblfcli update-check

using test::CliRun;
using test::RunCli;

TEST(TblfcliUpdateCheck, PrintsTheOutcomeAndThePublishedNumber) {
  struct Case {
    const char* name;
    std::string reply;
    std::wstring options;
    std::string out;
    DWORD exitCode;
  };
  const Case cases[] = {
      {"newer", "ver_tblf:23106.\r\n", L"--build 23105", "newer 23106\r\n", 0},
      {"older", "ver_tblf:23104.\r\n", L"--build 23105", "older 23104\r\n", 0},
      {"beta", "ver_tblf:23105.\r\nbetatblf:23200.\r\n", L"--build 23105 --beta", "newer 23200\r\n", 0},
      {"not found", "betatblf:23200.\r\n", L"--timeout 0", "not-found\r\n", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LoopbackHttpServer server({{std::string(kHeader) + c.reply}});
    ASSERT_TRUE(server.listening());
    const CliRun run = RunCli(L"update-check --connect-to 127.0.0.1:" + server.Port() + L" " + c.options);
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_EQ(server.Requests(), std::vector<std::string>{kDirectRequest});
  }
}

// "connect-failed" is printed for the full accept queue below.
TEST(TblfcliUpdateCheck, ProxyOptionAsksTheProxy) {
  LoopbackHttpServer server({{std::string(kHeader) + "ver_tblf:23105.\r\n"}});
  ASSERT_TRUE(server.listening());
  const CliRun run = RunCli(L"update-check --proxy 127.0.0.1:" + server.Port() + L" --build 23105");
  EXPECT_EQ(run.out, "equal 23105\r\n");
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(server.Requests(), std::vector<std::string>{kProxyRequest});
}

// Server faults end within the timeout with a word of their own; the old
// exchange took 135 s against the full queue with --timeout 2.
TEST(TblfcliUpdateCheck, ServerFaultsEndInBoundedTimeAndSayWhatHappened) {
  struct Case {
    const char* what;
    ScriptedReply reply;
    bool fullQueue;
    std::string out;
  };
  const Case cases[] = {
      {"error page holding the key", {{"HTTP/1.1 500 Internal Server Error\r\n\r\nver_tblf:99999.\r\n"}},
       false, "http-status 500\r\n"},
      {"silence", {{}, 0, false}, false, "no-reply\r\n"},
      {"full accept queue", {}, true, "connect-failed\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::wstring port;
    std::unique_ptr<LoopbackHttpServer> server;
    std::unique_ptr<test::FullAcceptQueue> queue;
    if (c.fullQueue) {
      queue = std::make_unique<test::FullAcceptQueue>();
      port = queue->Port();
    } else {
      server = std::make_unique<LoopbackHttpServer>(c.reply);
      ASSERT_TRUE(server->listening());
      port = server->Port();
    }
    const ULONGLONG start = GetTickCount64();
    const CliRun run = RunCli(L"update-check --timeout 2 --build 23105 --connect-to 127.0.0.1:" + port);
    const ULONGLONG elapsed = GetTickCount64() - start;
    std::printf("[ figure ] %s: %.1f s\n", c.what, elapsed / 1000.0);
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_LT(elapsed, 15000u) << "ms; the timeout is 2 s";
  }
}

TEST(TblfcliUpdateCheck, BadOptionsExitTwoWithTheReason) {
  struct Case {
    const wchar_t* arguments;
    const char* reason;
  };
  const Case cases[] = {
      {L"update-check --proxy 127.0.0.1", "--proxy needs HOST:PORT, not 127.0.0.1"},
      {L"update-check --proxy :8080", "--proxy needs HOST:PORT, not :8080"},
      {L"update-check --timeout soon", "--timeout needs a number of seconds from 0 to 3600, not soon"},
      {L"update-check --timeout 3601", "--timeout needs a number of seconds from 0 to 3600, not 3601"},
      {L"update-check --timeout", "--timeout needs a number of seconds"},
      {L"update-check --build 100000", "--build needs a build number from 0 to 99999, not 100000"},
      {L"update-check now", "unknown option now"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    const CliRun run = RunCli(c.arguments);
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, std::string("tblfcli: ") + c.reason + "\nTry 'tblfcli --help'.\n");
  }
}

}  // namespace
}  // namespace tblf
