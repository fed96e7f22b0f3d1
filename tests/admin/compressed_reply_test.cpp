#include "admin/compressed_reply.h"

#include <gtest/gtest.h>

#include <string>

namespace vossik {
namespace {

TEST(CompressedReply, InflatesWhatWasCompressed) {
  const std::string plain = "[Statistics]\nPages=812\n" + std::string(10000, 'x');
  std::string body = CompressReply(plain);
  ASSERT_TRUE(body.starts_with("191605D2"));
  EXPECT_EQ("00000010023", body.substr(8, 11));
  EXPECT_LT(body.size(), plain.size());
  EXPECT_TRUE(InflateReply(&body));
  EXPECT_EQ(plain, body);
}

TEST(CompressedReply, LeavesAnythingElseAsReceived) {
  const std::string good = CompressReply("hello");
  std::string broken_stream = good;
  broken_stream[broken_stream.size() - 3] ^= 0x55;
  std::string too_long = good;
  too_long.replace(8, 11, "99999999999");  // far beyond what a reply may announce
  const std::string rows[] = {
      "<STATUS>RUNNING</STATUS>",
      "191605D2",
      "191605D200000000000",  // nothing announced
      "191605D2000000000x5" + good.substr(19),
      broken_stream,
      too_long,
  };
  for (const std::string& row : rows) {
    std::string body = row;
    EXPECT_FALSE(InflateReply(&body)) << row;
    EXPECT_EQ(row, body);
  }
}

}  // namespace
}  // namespace vossik
