#include "update/update_exchange_win.h"

// Only Windows Sockets 1.1 functions are called; the newer header is the one
// MinGW pairs with ws2_32.
#include <winsock2.h>
#include <windows.h>

#include <cstring>
#include <optional>
#include <string>

namespace tblf {
namespace {

constexpr int kSendAttempts = 20;

std::optional<std::string> Ansi(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                    nullptr);
  if (n <= 0) return std::nullopt;
  std::string bytes(n, '\0');
  if (WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), n, nullptr,
                          nullptr) != n) {
    return std::nullopt;
  }
  return bytes;
}

// WSAStartup for version 1.1, undone by the destructor.
class WinsockSession {
 public:
  WinsockSession() {
    WSADATA data{};
    started_ = WSAStartup(MAKEWORD(1, 1), &data) == 0;
    granted_ = started_ && data.wVersion == MAKEWORD(1, 1);
  }
  ~WinsockSession() {
    if (started_) WSACleanup();
  }
  WinsockSession(const WinsockSession&) = delete;
  WinsockSession& operator=(const WinsockSession&) = delete;
  bool ok() const { return granted_; }

 private:
  bool started_ = false;
  bool granted_ = false;
};

class Socket {
 public:
  Socket() : s_(socket(AF_INET, SOCK_STREAM, 0)) {}
  ~Socket() {
    if (s_ != INVALID_SOCKET) closesocket(s_);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  operator SOCKET() const { return s_; }

 private:
  SOCKET s_;
};

// The port in network order: a service name, else a decimal number of at
// least 1. Numbers past 65535 are refused rather than wrapped to another port.
std::optional<u_short> ResolvePort(const std::string& text) {
  if (const servent* service = getservbyname(text.c_str(), "tcp")) return service->s_port;
  if (text.empty() || text.size() > 5) return std::nullopt;
  unsigned long number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    number = number * 10 + (c - '0');
  }
  if (number < 1 || number > 65535) return std::nullopt;
  return htons(static_cast<u_short>(number));
}

std::optional<in_addr> ResolveHost(const std::string& text) {
  in_addr address{};
  if (const hostent* host = gethostbyname(text.c_str())) {
    if (host->h_addrtype == AF_INET && host->h_length == 4 && host->h_addr_list[0]) {
      std::memcpy(&address, host->h_addr_list[0], 4);
      return address;
    }
  }
  const unsigned long dotted = inet_addr(text.c_str());
  // Not a dotted address either: asking for the name of 255.255.255.255 would
  // only send a pointless reverse query.
  if (dotted == INADDR_NONE) return std::nullopt;
  address.s_addr = dotted;
  if (const hostent* host = gethostbyaddr(reinterpret_cast<const char*>(&dotted), 4, AF_INET)) {
    if (host->h_addrtype == AF_INET && host->h_length == 4 && host->h_addr_list[0]) {
      std::memcpy(&address, host->h_addr_list[0], 4);
    }
  }
  // A dotted address without a reverse name is still that address.
  return address;
}

// Waits until `s` has something to read (data, its end or an error) or
// `ms` pass. False when the time passed or select failed.
bool WaitReadable(SOCKET s, uint64_t ms) {
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(s, &readable);
  timeval limit{};
  limit.tv_sec = static_cast<long>(ms / 1000);
  limit.tv_usec = static_cast<long>(ms % 1000) * 1000;
  return select(0, &readable, nullptr, nullptr, &limit) > 0;
}

void SleepMs(uint64_t ms) {
  while (ms > 0) {
    const DWORD part = ms > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<DWORD>(ms);
    Sleep(part);
    ms -= part;
  }
}

// A non-blocking connect, waited for with select until the whole seconds
// since it began exceed `timeoutSeconds`.
bool ConnectWithin(SOCKET s, const sockaddr_in& target, unsigned timeoutSeconds) {
  const DWORD start = GetTickCount();
  if (connect(s, reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0) return true;
  if (WSAGetLastError() != WSAEWOULDBLOCK) return false;
  for (;;) {
    const uint64_t left = UpdateWaitLeftMs(start, GetTickCount(), timeoutSeconds);
    if (left == 0) return false;
    fd_set writable, failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(s, &writable);
    FD_SET(s, &failed);
    timeval limit{};
    limit.tv_sec = static_cast<long>(left / 1000);
    limit.tv_usec = static_cast<long>(left % 1000) * 1000;
    const int ready = select(0, nullptr, &writable, &failed, &limit);
    if (ready < 0) return false;
    if (ready == 0) continue;
    if (FD_ISSET(s, &failed)) return false;
    int error = 0;
    int length = sizeof error;
    if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0) return false;
    return error == 0;
  }
}

void SendRequest(SOCKET s, const std::string& request) {
  size_t sent = 0;
  int failures = 0;
  while (sent < request.size() && failures < kSendAttempts) {
    const int n = send(s, request.data() + sent, static_cast<int>(request.size() - sent), 0);
    if (n > 0) {
      sent += static_cast<size_t>(n);
    } else {
      ++failures;
    }
  }
}

// Reads until the version is found, 2090 bytes arrived, the status line
// says another status than 200, or the timeout has passed. A read error or
// the server's close does not end the wait early (the outcomes "not found"
// and "no reply" come only after the timeout), but once nothing more can
// arrive the thread sleeps out the rest instead of polling.
void ReceiveReply(SOCKET s, unsigned timeoutSeconds, UpdateReply& reply) {
  const DWORD start = GetTickCount();
  bool open = true;
  while (!reply.Settled()) {
    const uint64_t left = UpdateWaitLeftMs(start, GetTickCount(), timeoutSeconds);
    if (left == 0) break;
    if (!open) {
      SleepMs(left);
      continue;
    }
    if (!WaitReadable(s, left)) continue;
    const int n = recv(s, reply.ReadPosition(), static_cast<int>(reply.ReadRoom()), 0);
    if (n > 0) {
      reply.Arrived(static_cast<size_t>(n));
    } else if (n == 0 || WSAGetLastError() != WSAEWOULDBLOCK) {
      open = false;
    }
  }
}

}  // namespace

UpdateResult RunUpdateExchange(const UpdateCheckParams& params) {
  UpdateResult result;
  const bool viaProxy = !params.proxyHost.empty();
  std::wstring host = viaProxy ? params.proxyHost : kUpdateHostWide;
  std::wstring port = viaProxy ? params.proxyPort : kUpdatePort;
  if (!viaProxy && !params.connectHost.empty()) {
    host = params.connectHost;
    port = params.connectPort;
  }
  const std::optional<std::string> hostText = Ansi(host);
  const std::optional<std::string> portText = Ansi(port);
  if (!hostText || !portText) return result;

  WinsockSession session;
  if (!session.ok()) return result;
  const std::optional<u_short> portNumber = ResolvePort(*portText);
  if (!portNumber) return result;
  const std::optional<in_addr> address = ResolveHost(*hostText);
  if (!address) return result;

  UpdateReply reply(params.beta);
  {
    Socket s;
    if (s == INVALID_SOCKET) return result;
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = *portNumber;
    target.sin_addr = *address;
    // The connect is bounded by the timeout like the wait for the reply: a
    // server whose accept queue is full never answers the connection at all.
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    if (!ConnectWithin(s, target, params.timeoutSeconds)) return result;

    SendRequest(s, UpdateRequest(viaProxy));
    ReceiveReply(s, params.timeoutSeconds, reply);
    shutdown(s, SD_BOTH);
  }
  return DecideReply(reply, params.buildNumber);
}

}  // namespace tblf
