#include "update/update_protocol.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace tblf {
namespace {

struct KeyCase {
  const char* name;
  std::string reply;
  bool beta;
  std::optional<int> published;
};

TEST(UpdateProtocolTest, PublishedBuildIsTheFirstKeyWithFiveDigitsAndAPeriod) {
  const KeyCase cases[] = {
      {"release key", "HTTP/1.0 200 OK\r\n\r\nver_tblf:23105.\r\n", false, 23105},
      {"leading zeros", "ver_tblf:00042.", false, 42},
      {"four digits, a good line after", "ver_tblf:2310.\r\nver_tblf:23106.\r\n", false, std::nullopt},
      {"six digits", "ver_tblf:231056.", false, std::nullopt},
      {"no period", "ver_tblf:23105\r\n", false, std::nullopt},
      {"digits not yet arrived", "ver_tblf:231", false, std::nullopt},
      {"key in a header counts first", "X-Note: ver_tblf:10000.\r\n\r\nver_tblf:23106.", false, 10000},
      {"beta key with beta", "ver_tblf:23105.\r\nbetatblf:23200.\r\n", true, 23200},
      {"only the release key with beta", "ver_tblf:23105.\r\n", true, std::nullopt},
      {"only the beta key without beta", "betatblf:23200.\r\n", false, std::nullopt},
      {"key after a zero byte", std::string("a\0b ver_tblf:23105.", 19), false, 23105},
  };
  for (const KeyCase& c : cases) {
    EXPECT_EQ(FindPublishedBuild(c.reply, c.beta), c.published) << c.name;
  }
}

TEST(UpdateProtocolTest, DecisionComparesWithTheRunningBuild) {
  EXPECT_EQ(DecideUpdate(23106, 23105), UpdateOutcome::Newer);
  EXPECT_EQ(DecideUpdate(23104, 23105), UpdateOutcome::Older);
  EXPECT_EQ(DecideUpdate(23105, 23105), UpdateOutcome::Equal);
  EXPECT_EQ(DecideUpdate(std::nullopt, 23105), UpdateOutcome::NotFound);
}

// Feeds `reply` in reads of `chunk` bytes, as recv would bring it, until the
// reply is found or full.
UpdateReply Feed(const std::string& reply, size_t chunk, bool beta = false) {
  UpdateReply buffer(beta);
  size_t at = 0;
  while (at < reply.size() && !buffer.Found() && !buffer.Full()) {
    const size_t n = std::min({chunk, reply.size() - at, buffer.ReadRoom()});
    std::memcpy(buffer.ReadPosition(), reply.data() + at, n);
    buffer.Arrived(n);
    at += n;
  }
  return buffer;
}

TEST(UpdateProtocolTest, OnlyTheFirst2090BytesAreSearched) {
  struct Case {
    size_t keyAt;
    std::optional<int> published;
  };
  // The line "ver_tblf:23106." is 15 bytes: at 2075 its period is byte 2090.
  for (const Case& c : {Case{2075, 23106}, Case{2076, std::nullopt}, Case{2090, std::nullopt}}) {
    const std::string reply = std::string(c.keyAt, 'x') + "ver_tblf:23106.\r\n";
    for (size_t chunk : {size_t{1}, size_t{7}, size_t{4096}}) {
      const UpdateReply buffer = Feed(reply, chunk);
      EXPECT_EQ(buffer.Published(), c.published) << "key at " << c.keyAt << ", reads of " << chunk;
      EXPECT_LE(buffer.Stored(), UpdateReply::kStoredLimit);
    }
  }
  EXPECT_TRUE(Feed(std::string(5000, 'x'), 1000).Full());
}

TEST(UpdateProtocolTest, KeySplitAcrossReadsIsFound) {
  EXPECT_EQ(Feed("ver_tblf:23106.", 1).Published(), 23106);
  EXPECT_EQ(Feed("betatblf:23200.", 4, true).Published(), 23200);
}

TEST(UpdateProtocolTest, TheStatusLineAndTheHeadersDecideWhatAReplyWithoutTheVersionMeans) {
  struct Case {
    const char* what;
    std::string reply;
    UpdateOutcome outcome;
    int number;  // published build or status code
  };
  const std::string ok = "HTTP/1.0 200 OK\r\n";
  const Case cases[] = {
      {"200 with the key", ok + "\r\nver_tblf:23106.\r\n", UpdateOutcome::Newer, 23106},
      {"200 with the key in a header", ok + "X-Ver: ver_tblf:23104.\r\n", UpdateOutcome::Older, 23104},
      {"200 without the key", ok + "Server: x\r\n\r\nnothing", UpdateOutcome::NotFound, 0},
      {"500 error page holding the key", "HTTP/1.1 500 Oops\r\n\r\nver_tblf:99999.", UpdateOutcome::HttpStatus, 500},
      {"404 without a reason", "HTTP/1.1 404\r\n\r\n", UpdateOutcome::HttpStatus, 404},
      {"nothing at all", "", UpdateOutcome::NoReply, 0},
      {"a status line cut short", "HTTP/1.0 2", UpdateOutcome::NoReply, 0},
      {"200 whose headers never end", ok + "Server: x\r\n", UpdateOutcome::NoReply, 0},
      {"no HTTP reply", "ver_tblf:23106.\r\n", UpdateOutcome::NoReply, 0},
      {"2090 bytes of headers", ok + "X: " + std::string(3000, 'x'), UpdateOutcome::NotFound, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const UpdateReply reply = Feed(c.reply, 5);
    const UpdateResult result = DecideReply(reply, 23105);
    EXPECT_EQ(result.outcome, c.outcome);
    EXPECT_EQ(result.outcome == UpdateOutcome::HttpStatus ? result.httpStatus : result.published, c.number);
  }
  EXPECT_TRUE(Feed("HTTP/1.1 500 Oops\r\n", 100).Settled()) << "an error status ends the read at once";
}

TEST(UpdateProtocolTest, WaitEndsOnceWholeSecondsExceedTheTimeout) {
  struct Case {
    uint32_t start, now;
    unsigned timeout;
    uint64_t left;
  };
  const Case cases[] = {
      {1000, 1000, 0, 1000},        {1000, 1999, 0, 1},
      {1000, 2000, 0, 0},           {0, 6999, 6, 1},
      {0, 7000, 6, 0},              {0xFFFFFF00u, 0x100u, 1, 1488},  // the tick counter wrapped
      {0, 0, 0xFFFFFFFFu, 4294967296000ull},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UpdateWaitLeftMs(c.start, c.now, c.timeout), c.left) << c.start << " " << c.now << " " << c.timeout;
  }
}

}  // namespace
}  // namespace tblf
