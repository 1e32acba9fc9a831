#include "update/update_protocol.h"

#include <cstring>

namespace tblf {

std::string UpdateRequest(bool viaProxy) {
  std::string request = viaProxy ? std::string("GET http://") + kUpdateHost + "/update.txt HTTP/1.1\r\n"
                                 : std::string("GET /update.txt HTTP/1.0\r\n");
  // "[ja]" stands in both UI languages: the update host has always seen it.
  request += "User-Agent: marrowlib [ja] (tblift)\r\n";
  request += std::string("Host: ") + kUpdateHost + "\r\n";
  request += "\r\n";
  return request;
}

std::optional<int> FindPublishedBuild(std::string_view text, bool beta) {
  const std::string_view key = beta ? "betatblf:" : "ver_tblf:";
  const size_t at = text.find(key);
  if (at == std::string_view::npos) return std::nullopt;
  const std::string_view after = text.substr(at + key.size());
  if (after.size() < 6 || after[5] != '.') return std::nullopt;
  int number = 0;
  for (size_t i = 0; i < 5; ++i) {
    if (after[i] < '0' || after[i] > '9') return std::nullopt;
    number = number * 10 + (after[i] - '0');
  }
  return number;
}

UpdateOutcome DecideUpdate(std::optional<int> published, int buildNumber) {
  if (!published) return UpdateOutcome::NotFound;
  if (*published > buildNumber) return UpdateOutcome::Newer;
  if (*published < buildNumber) return UpdateOutcome::Older;
  return UpdateOutcome::Equal;
}

namespace {

// "HTTP/x.y NNN reason": the three digits; -1 for any other first line.
int StatusOfLine(std::string_view line) {
  if (line.substr(0, 5) != "HTTP/") return -1;
  const size_t space = line.find(' ');
  if (space == std::string_view::npos || line.size() < space + 4) return -1;
  int code = 0;
  for (size_t i = space + 1; i < space + 4; ++i) {
    if (line[i] < '0' || line[i] > '9') return -1;
    code = code * 10 + (line[i] - '0');
  }
  if (line.size() > space + 4 && line[space + 4] != ' ' && line[space + 4] != '\r') return -1;
  return code;
}

}  // namespace

bool UpdateReply::Arrived(size_t count) {
  if (count > ReadRoom()) count = ReadRoom();
  // The search covers what arrived so far, this read included: a key whose
  // digits were still on the way is found again, complete, on a later read.
  const std::string_view text(buffer_, stored_ + count);
  published_ = FindPublishedBuild(text, beta_);
  stored_ += count;
  if (!status_) {
    const size_t end = text.find('\n');
    if (end != std::string_view::npos) status_ = StatusOfLine(text.substr(0, end));
  }
  if (!headersEnded_) {
    headersEnded_ = text.find("\r\n\r\n") != std::string_view::npos || text.find("\n\n") != std::string_view::npos;
  }
  return published_.has_value();
}

UpdateResult DecideReply(const UpdateReply& reply, int buildNumber) {
  UpdateResult result;
  const std::optional<int> status = reply.Status();
  if (!status || *status < 0) {
    result.outcome = UpdateOutcome::NoReply;
  } else if (*status != 200) {
    result.outcome = UpdateOutcome::HttpStatus;
    result.httpStatus = *status;
  } else if (reply.Found()) {
    // The key counts wherever it lies in the first 2090 bytes, headers included.
    result.outcome = DecideUpdate(reply.Published(), buildNumber);
    result.published = *reply.Published();
  } else {
    result.outcome = reply.HeadersEnded() || reply.Full() ? UpdateOutcome::NotFound : UpdateOutcome::NoReply;
  }
  return result;
}

uint64_t UpdateWaitLeftMs(uint32_t startTick, uint32_t nowTick, unsigned timeoutSeconds) {
  const uint64_t elapsed = static_cast<uint32_t>(nowTick - startTick);
  // Whole seconds exceed the timeout from (timeout + 1) * 1000 ms on.
  const uint64_t end = (static_cast<uint64_t>(timeoutSeconds) + 1) * 1000;
  return elapsed >= end ? 0 : end - elapsed;
}

}  // namespace tblf
