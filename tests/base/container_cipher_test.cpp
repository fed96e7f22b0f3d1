#include "base/container_cipher.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"

namespace vossik {
namespace {

using testing::ReadFile;
using testing::TempDir;

constexpr char kPlainBytes[] = "<config uid=\"x\">\r\n\0\xFF</config>";
const std::string kPlain(kPlainBytes, sizeof kPlainBytes - 1);

TEST(ContainerCipher, KeySet3IsItsOwnInverseAndHidesTheText) {
  const std::string cipher = ApplyKeySet3(kPlain);
  EXPECT_EQ(kPlain.size(), cipher.size());
  EXPECT_EQ(std::string::npos, cipher.find("config"));
  EXPECT_EQ(kPlain, ApplyKeySet3(cipher));
}

TEST(ContainerCipher, RoundTripsThroughAFileWithTheMarker) {
  TempDir dir;
  const auto file = dir.Path() / "app.cfgml";
  ASSERT_TRUE(WriteContainer(file, kPlain));
  const std::string bytes = ReadFile(file);
  EXPECT_EQ(kPlain.size() + 17, bytes.size());
  EXPECT_EQ(kContainerMarkerKeySet3, bytes.substr(0, 17));
  EXPECT_TRUE(IsContainer(bytes));

  std::string plain;
  ASSERT_TRUE(ReadContainer(file, &plain));
  EXPECT_EQ(kPlain, plain);

  // A truncating write replaces the whole container, marker included.
  ASSERT_TRUE(WriteContainer(file, "short"));
  ASSERT_TRUE(ReadContainer(file, &plain));
  EXPECT_EQ("short", plain);
}

TEST(ContainerCipher, AppendingAddsOnlyCiphertext) {
  TempDir dir;
  const auto file = dir.Path() / "log.cfgml";
  ASSERT_TRUE(WriteContainer(file, "first ", true));  // a new file still gets its marker
  ASSERT_TRUE(WriteContainer(file, "second", true));
  EXPECT_EQ(17u + 12u, ReadFile(file).size());
  std::string plain;
  ASSERT_TRUE(ReadContainer(file, &plain));
  EXPECT_EQ("first second", plain);
}

TEST(ContainerCipher, RejectsShortAndMarkerlessFiles) {
  TempDir dir;
  for (const char* bytes : {"", "ENCRYPTED.V00", "<config></config> plain text"}) {
    std::string plain = "untouched";
    EXPECT_FALSE(ReadContainer(dir.Write("bad.cfgml", bytes), &plain)) << bytes;
    EXPECT_EQ("untouched", plain);
  }
  std::string plain;
  EXPECT_FALSE(ReadContainer(dir.Path() / "absent.cfgml", &plain));
  // The reader needs only the 14-byte prefix; the key-set suffix is not checked.
  EXPECT_TRUE(ReadContainer(dir.Write("prefix.cfgml", "ENCRYPTED.V001"), &plain));
  EXPECT_EQ("", plain);
  EXPECT_FALSE(WriteContainer(dir.Path() / "no" / "dir.cfgml", "x"));
}

}  // namespace
}  // namespace vossik
