// Any reply, cut into reads of any sizes: the key search over the growing
// buffer never reads or writes outside it, stores at most 2090 bytes, and
// finds what a search of the stored bytes finds (the decision on the number
// found is UpdateProtocolTest's table).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "update/update_protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  // A flag byte, a seed for the read sizes, two bytes once a build number (the
  // corpus keeps them), then the reply.
  const bool beta = (data[0] & 1) != 0;
  uint32_t sizes = data[1] | 1u;
  const std::string_view reply(reinterpret_cast<const char*>(data) + 4, size - 4);

  tblf::UpdateReply buffer(beta);
  size_t at = 0;
  while (at < reply.size() && !buffer.Found() && !buffer.Full()) {
    sizes = sizes * 1103515245u + 12345u;
    const size_t read = std::min({size_t{1} + (sizes >> 16) % 600, reply.size() - at, buffer.ReadRoom()});
    std::memcpy(buffer.ReadPosition(), reply.data() + at, read);
    buffer.Arrived(read);
    at += read;
  }
  if (buffer.Stored() > tblf::UpdateReply::kStoredLimit) std::abort();

  const std::optional<int> expected = buffer.Published();
  if (tblf::FindPublishedBuild(reply.substr(0, buffer.Stored()), beta) != expected) std::abort();
  return 0;
}
