#pragma once
// Starts tblf_fixture (tools/fixture) beside the test executable and hands
// out the window handles it reports. The fixture is killed when the object
// goes, so a failing test never leaves it running.

#include <windows.h>

#include <map>
#include <string>

#include "output/record_writer.h"

namespace tblf::test {

// The texts the fixture fills its long cells with: character i is
// "0123456789abcdefghijklmnopqrstuvwxyz"[i % 36].
std::wstring FixtureLongText(size_t length);

// Folder of the running executable, with a trailing backslash.
std::wstring ExecutableFolder();

// Under Wine: sends the Unix signal `signal` ("STOP", "INT") to the one
// process whose command line contains `marker` (a file name that only it
// was given), the way a terminal's Ctrl+Z or Ctrl+C reaches it. False when
// no process, or more than one, matched.
bool SignalWineProcess(const std::wstring& marker, const wchar_t* signal);

class FixtureProcess {
 public:
  FixtureProcess() = default;
  FixtureProcess(const FixtureProcess&) = delete;
  FixtureProcess& operator=(const FixtureProcess&) = delete;
  ~FixtureProcess();

  // Launches `exeName` from the test's folder with `arguments` and
  // "--handles <temp file>", and waits (up to 30 s) until it has written its
  // handles. False, with Error() saying why, when it could not start.
  bool Start(const std::wstring& arguments = L"", const wchar_t* exeName = L"tblf_fixture.exe");

  // The window the fixture reported under `name` (see tools/fixture/README.md),
  // or null when it reported none.
  HWND Handle(const std::wstring& name) const;
  const std::map<std::wstring, HWND>& Handles() const { return handles_; }

  DWORD ProcessId() const { return processId_; }
  HANDLE Process() const { return process_; }
  const std::wstring& Error() const { return error_; }

  // The fixture's committed private memory in bytes (VirtualQueryEx over its
  // whole address space): remote blocks that were never released show here.
  SIZE_T CommittedBytes() const;

  // Makes the fixture's thread stop answering messages for good; returns once
  // a 200 ms send to it times out (at most about 5 s).
  bool Hang();
  // Asks the fixture to end and waits for it; false when it did not end in time.
  bool Exit(DWORD waitMs = 10000);
  // Ends the fixture at once (does nothing when it is not running).
  void Kill();
  // Stops the fixture's process for good (SIGSTOP under Wine): its threads
  // neither answer messages nor take part in calls on its memory.
  bool Suspend() { return SignalWineProcess(marker_, L"STOP"); }

 private:
  bool ReadHandles(const std::wstring& path);

  HANDLE process_ = nullptr;
  DWORD processId_ = 0;
  std::map<std::wstring, HWND> handles_;
  std::wstring error_;
  std::wstring marker_;  // the handles file's name, in the fixture's command line only
};

}  // namespace tblf::test
