#include "tests/support/loopback_http_win.h"

#include <winsock2.h>

#include <utility>

namespace tblf::test {
namespace {

// Binds a TCP socket to 127.0.0.1 and a free port.
SOCKET BoundLoopbackSocket(unsigned short* port) {
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return s;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  int length = sizeof address;
  if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    closesocket(s);
    return INVALID_SOCKET;
  }
  *port = ntohs(address.sin_port);
  return s;
}

bool Readable(SOCKET s, DWORD ms) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(s, &set);
  timeval limit{static_cast<long>(ms / 1000), static_cast<long>(ms % 1000) * 1000};
  return select(0, &set, nullptr, nullptr, &limit) > 0;
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer(ScriptedReply reply) : reply_(std::move(reply)) {
  InitializeCriticalSection(&lock_);
  SOCKET s = BoundLoopbackSocket(&port_);
  if (s == INVALID_SOCKET) return;
  if (listen(s, 4) != 0) {
    closesocket(s);
    return;
  }
  listener_ = s;
  stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  thread_ = CreateThread(nullptr, 0, Serve, this, 0, nullptr);
}

LoopbackHttpServer::~LoopbackHttpServer() {
  if (thread_) {
    SetEvent(stop_);
    WaitForSingleObject(thread_, 10000);
    CloseHandle(thread_);
  }
  if (stop_) CloseHandle(stop_);
  if (listener_ != ~0ull) closesocket(static_cast<SOCKET>(listener_));
  WSACleanup();
  DeleteCriticalSection(&lock_);
}

std::vector<std::string> LoopbackHttpServer::Requests() const {
  EnterCriticalSection(&lock_);
  std::vector<std::string> copy = requests_;
  LeaveCriticalSection(&lock_);
  return copy;
}

DWORD WINAPI LoopbackHttpServer::Serve(void* self) {
  auto* server = static_cast<LoopbackHttpServer*>(self);
  const SOCKET listener = static_cast<SOCKET>(server->listener_);
  while (WaitForSingleObject(server->stop_, 0) == WAIT_TIMEOUT) {
    if (!Readable(listener, 50)) continue;
    const SOCKET connection = accept(listener, nullptr, nullptr);
    if (connection == INVALID_SOCKET) continue;
    server->Answer(connection);
    closesocket(connection);
  }
  return 0;
}

void LoopbackHttpServer::Answer(unsigned long long connection) {
  const SOCKET s = static_cast<SOCKET>(connection);
  std::string request;
  const ULONGLONG until = GetTickCount64() + 5000;
  while (request.find("\r\n\r\n") == std::string::npos && GetTickCount64() < until) {
    if (!Readable(s, 50)) continue;
    char buffer[512];
    const int n = recv(s, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    request.append(buffer, n);
  }
  EnterCriticalSection(&lock_);
  requests_.push_back(request);
  LeaveCriticalSection(&lock_);
  if (reply_.release) {
    const HANDLE events[] = {stop_, reply_.release};
    if (WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0) return;
  }
  for (const std::string& part : reply_.parts) {
    if (WaitForSingleObject(stop_, reply_.pauseMs) == WAIT_OBJECT_0) return;
    for (size_t sent = 0; sent < part.size();) {
      const int n = send(s, part.data() + sent, static_cast<int>(part.size() - sent), 0);
      if (n <= 0) return;
      sent += static_cast<size_t>(n);
    }
  }
  if (!reply_.close) WaitForSingleObject(stop_, INFINITE);
}

unsigned short UnusedLoopbackPort() {
  unsigned short port = 0;
  SOCKET s = BoundLoopbackSocket(&port);
  if (s != INVALID_SOCKET) closesocket(s);
  WSACleanup();
  return port;
}

FullAcceptQueue::FullAcceptQueue() {
  SOCKET s = BoundLoopbackSocket(&port_);
  if (s == INVALID_SOCKET) return;
  listener_ = s;
  listen(s, 1);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port_);
  // The queue holds the backlog and one more; the rest wait unanswered.
  for (int i = 0; i < 4; ++i) {
    SOCKET filler = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    u_long nonBlocking = 1;
    ioctlsocket(filler, FIONBIO, &nonBlocking);
    connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
    fillers_.push_back(filler);
  }
  Sleep(300);
}

FullAcceptQueue::~FullAcceptQueue() {
  for (unsigned long long filler : fillers_) closesocket(static_cast<SOCKET>(filler));
  if (listener_ != ~0ull) closesocket(static_cast<SOCKET>(listener_));
  WSACleanup();
}

}  // namespace tblf::test
