#include "settings/secret_cipher.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <thread>
#include <vector>

namespace vossik {
namespace {

// 1024-bit RSA: 128 ciphertext bytes per block, written as 256 hex digits.
constexpr std::size_t kBlockDigits = 256;

std::vector<std::string> Blocks(const std::string& stored) {
  std::vector<std::string> blocks;
  std::size_t at = kSecretPrefix.size();
  while (true) {
    const std::size_t lf = stored.find('\n', at);
    blocks.push_back(stored.substr(at, lf == std::string::npos ? std::string::npos : lf - at));
    if (lf == std::string::npos) return blocks;
    at = lf + 1;
  }
}

TEST(SecretCipher, RoundTripsAndStoresOneHexLinePerBlock) {
  std::string binary;
  for (int c = 0; c < 256; ++c) binary.push_back(static_cast<char>(c));
  const struct {
    std::string plain;
    std::size_t blocks;
  } cases[] = {
      {"pw", 1},   {std::string(64, 'a'), 1}, {std::string(65, 'b'), 2}, {std::string(200, 'c'), 4},
      {binary, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.plain.size());
    const std::string stored = EncryptSecret(c.plain);
    ASSERT_EQ(kSecretPrefix, stored.substr(0, kSecretPrefix.size()));
    const std::vector<std::string> blocks = Blocks(stored);
    EXPECT_EQ(c.blocks, blocks.size());
    for (const std::string& block : blocks) {
      EXPECT_EQ(kBlockDigits, block.size());
      EXPECT_EQ(std::string::npos, block.find_first_not_of("0123456789ABCDEF")) << block;
    }
    EXPECT_EQ(c.plain, DecryptSecret(stored));
  }
}

TEST(SecretCipher, PaddingIsRandomised) {
  const std::string first = EncryptSecret("secret");
  const std::string second = EncryptSecret("secret");
  EXPECT_NE(first, second);
  EXPECT_EQ("secret", DecryptSecret(second));
}

TEST(SecretCipher, EmptyPlaintextHasNoStoredForm) {
  EXPECT_EQ("", EncryptSecret(""));
  EXPECT_EQ("", DecryptSecret(""));
}

TEST(SecretCipher, ReadsHexCaseAndSeparatorsLeniently) {
  std::string stored = EncryptSecret("pw");
  std::string relaxed(kSecretPrefix);
  for (std::size_t i = kSecretPrefix.size(); i < stored.size(); ++i) {
    relaxed.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(stored[i]))));
    if (i % 16 == 0) relaxed += " \r\n";
  }
  EXPECT_EQ("pw", DecryptSecret(relaxed));
}

TEST(SecretCipher, MalformedStoredFormsReadAsEmpty) {
  const std::string good = EncryptSecret("password");
  std::string flipped = good;
  flipped[kSecretPrefix.size() + 10] = flipped[kSecretPrefix.size() + 10] == '0' ? '1' : '0';
  const std::string cases[] = {
      "password",                                   // never encrypted
      "499602d2" + good.substr(8),                  // the prefix is exact
      "499602D2",                                   // prefix alone
      "499602D2ZZZZ not hex at all",                // garbage after the prefix
      good.substr(0, good.size() - 1),              // odd number of digits
      good.substr(0, good.size() - 2),              // block one byte short
      good + "00",                                  // a stray byte after the block
      good + "\n" + good.substr(8, 128),            // a truncated second block
      flipped,                                      // fails the padding check
      "499602D2" + std::string(kBlockDigits, 'F'),  // above the modulus
      "499602D2" + std::string(kBlockDigits, '0'),  // zero
  };
  for (const std::string& stored : cases) {
    EXPECT_EQ("", DecryptSecret(stored)) << stored;
  }
}

TEST(SecretCipher, UsableFromSeveralThreads) {
  std::vector<std::thread> threads;
  std::vector<int> ok(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &ok] {
      const std::string plain(70 + t, static_cast<char>('a' + t));
      for (int i = 0; i < 3; ++i) ok[t] += DecryptSecret(EncryptSecret(plain)) == plain;
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ((std::vector<int>{3, 3, 3, 3}), ok);
}

}  // namespace
}  // namespace vossik
