#pragma once
// The update check's conversation with the update host, without the sockets:
// the fixed addresses, the request bytes, the reply buffer with its key
// search, the timeout arithmetic and the decision. The socket exchange that
// drives these is update_exchange_win.h.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/publisher.h"

namespace tblf {

// The update host (base/publisher.h) is asked directly on this port.
constexpr const wchar_t* kUpdatePort = L"80";

// NoReply: the connection closed or the wait ended before a status line and
// the headers came. HttpStatus: the server answered with another status than
// 200, whose page is not the update information whatever it holds. NotFound:
// a 200 reply whose first 2090 bytes hold no well-formed key.
enum class UpdateOutcome { ConnectFailed, NotFound, Newer, Older, Equal, NoReply, HttpStatus };

struct UpdateResult {
  UpdateOutcome outcome = UpdateOutcome::ConnectFailed;
  int published = 0;   // the published build number for Newer, Older and Equal
  int httpStatus = 0;  // the status code for HttpStatus
};

// The GET of /update.txt: HTTP/1.0 with a path-only request line when direct,
// HTTP/1.1 with an absolute URI through a proxy.
std::string UpdateRequest(bool viaProxy);

// The published build number in `text`: the first occurrence of the key
// ("betatblf:" when `beta`, else "ver_tblf:") followed by five digits and a
// period. Nothing when the key is absent or its first occurrence is not
// followed by that (a later well-formed one does not count).
std::optional<int> FindPublishedBuild(std::string_view text, bool beta);

// Newer, older or equal against the running build, or not found.
UpdateOutcome DecideUpdate(std::optional<int> published, int buildNumber);

// The first part of the reply as it arrives: a zero-filled buffer of 2110
// bytes of which at most 2090 are filled, searched from its start after
// every read.
class UpdateReply {
 public:
  static constexpr size_t kBufferSize = 2110;
  static constexpr size_t kStoredLimit = 2090;

  explicit UpdateReply(bool beta) : beta_(beta) {}

  // Where the next read goes and how many bytes it may bring.
  char* ReadPosition() { return buffer_ + stored_; }
  size_t ReadRoom() const { return kStoredLimit - stored_; }
  // Takes `count` bytes just read to ReadPosition(); true when the version
  // is found with them.
  bool Arrived(size_t count);

  bool Found() const { return published_.has_value(); }
  // The code of the status line ("HTTP/1.0 500 ..."), once that line is
  // complete; -1 when the first line is no HTTP status line.
  std::optional<int> Status() const { return status_; }
  // The empty line after the headers has arrived.
  bool HeadersEnded() const { return headersEnded_; }
  // Nothing more needs to be read: the version is found, the buffer is full,
  // or the status line says this is no update information.
  bool Settled() const { return Found() || Full() || (status_ && *status_ != 200); }
  // 2090 bytes arrived: nothing more is read.
  bool Full() const { return stored_ >= kStoredLimit; }
  std::optional<int> Published() const { return published_; }
  size_t Stored() const { return stored_; }

 private:
  char buffer_[kBufferSize] = {};
  size_t stored_ = 0;
  bool beta_;
  std::optional<int> published_;
  std::optional<int> status_;
  bool headersEnded_ = false;
};

// The outcome of what arrived, against the running build number.
UpdateResult DecideReply(const UpdateReply& reply, int buildNumber);

// The wait ends when the whole seconds since `startTick` (GetTickCount
// values; the counter may wrap) exceed `timeoutSeconds`. The milliseconds
// left until then, 0 when it has ended.
uint64_t UpdateWaitLeftMs(uint32_t startTick, uint32_t nowTick, unsigned timeoutSeconds);

}  // namespace tblf
