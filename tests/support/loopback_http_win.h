#pragma once
// A small HTTP server for tests, on 127.0.0.1 only: it takes one connection
// at a time, keeps the request up to its empty line, and answers with a
// scripted reply sent in parts.

#include <windows.h>

#include <string>
#include <vector>

namespace tblf::test {

struct ScriptedReply {
  std::vector<std::string> parts;  // sent one after another
  DWORD pauseMs = 0;               // before each part
  bool close = true;               // close after the last part, else hold the connection until the server ends
  HANDLE release = nullptr;        // when set, nothing is sent before this event is signalled
};

class LoopbackHttpServer {
 public:
  explicit LoopbackHttpServer(ScriptedReply reply);
  ~LoopbackHttpServer();
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  bool listening() const { return listener_ != ~0ull; }
  unsigned short port() const { return port_; }
  std::wstring Port() const { return std::to_wstring(port_); }
  // The requests received so far (each up to and with its empty line).
  std::vector<std::string> Requests() const;

 private:
  static DWORD WINAPI Serve(void* self);
  void Answer(unsigned long long connection);

  ScriptedReply reply_;
  unsigned long long listener_ = ~0ull;
  unsigned short port_ = 0;
  HANDLE stop_ = nullptr;
  HANDLE thread_ = nullptr;
  mutable CRITICAL_SECTION lock_;
  std::vector<std::string> requests_;
};

// A loopback port where nothing listens (bound once, then released).
unsigned short UnusedLoopbackPort();

// A loopback port that listens but never accepts, its accept queue filled by
// connections of its own: a further connect gets no answer at all.
class FullAcceptQueue {
 public:
  FullAcceptQueue();
  ~FullAcceptQueue();
  FullAcceptQueue(const FullAcceptQueue&) = delete;
  FullAcceptQueue& operator=(const FullAcceptQueue&) = delete;
  std::wstring Port() const { return std::to_wstring(port_); }

 private:
  unsigned long long listener_ = ~0ull;
  std::vector<unsigned long long> fillers_;
  unsigned short port_ = 0;
};

}  // namespace tblf::test
