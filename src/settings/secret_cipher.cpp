#include "settings/secret_cipher.h"

#include <cryptopp/osrng.h>
#include <cryptopp/queue.h>
#include <cryptopp/randpool.h>
#include <cryptopp/rsa.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>

#include "settings/secret_keys.h"

namespace vossik {
namespace {

// Each plaintext block is encrypted on its own; the service decrypts the same way.
constexpr std::size_t kPlainBlock = 64;

// Keys are decoded afresh for each call: it costs little next to the RSA
// operation and keeps the functions free of shared Crypto++ state.
CryptoPP::RSA::PublicKey PublicKey() {
  const auto der = SecretPublicKeyDer();
  CryptoPP::ByteQueue queue;
  queue.Put(der.data(), der.size());
  queue.MessageEnd();
  CryptoPP::RSA::PublicKey key;
  key.BERDecode(queue);
  return key;
}

CryptoPP::RSA::PrivateKey PrivateKey() {
  const auto der = SecretPrivateKeyDer();
  CryptoPP::ByteQueue queue;
  queue.Put(der.data(), der.size());
  queue.MessageEnd();
  CryptoPP::RSA::PrivateKey key;
  key.BERDecode(queue);
  return key;
}

// The padding generator is seeded for every encryption from a text the
// service's format was designed around. The system's entropy source is
// added as well, because rand() and the clock alone are guessable, and a
// guessable padding seed lets anyone test a guessed password against its
// stored form.
void SeedPool(CryptoPP::RandomPool& pool) {
  static std::atomic<unsigned> calls{0};
  std::string seed;
  seed.reserve(300);
  for (int i = 0; i < 255; ++i) seed.push_back(static_cast<char>(97 + std::rand() % 127));
  char tail[64];
  std::snprintf(tail, sizeof tail, "%lld%x%x", static_cast<long long>(std::time(nullptr)),
                calls.fetch_add(1), static_cast<unsigned>(std::rand()));
  seed += tail;
  pool.IncorporateEntropy(reinterpret_cast<const CryptoPP::byte*>(seed.data()), seed.size());

  std::random_device device;
  unsigned entropy[8];
  for (unsigned& word : entropy) word = device();
  pool.IncorporateEntropy(reinterpret_cast<const CryptoPP::byte*>(entropy), sizeof entropy);
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string EncryptSecret(std::string_view plain) {
  if (plain.empty()) return {};
  static constexpr char kDigits[] = "0123456789ABCDEF";
  try {
    CryptoPP::RSAES_OAEP_SHA_Encryptor encryptor(PublicKey());
    CryptoPP::RandomPool pool;
    SeedPool(pool);

    std::string stored(kSecretPrefix);
    std::string cipher(encryptor.FixedCiphertextLength(), '\0');
    for (std::size_t at = 0; at < plain.size(); at += kPlainBlock) {
      const std::string_view block = plain.substr(at, kPlainBlock);
      encryptor.Encrypt(pool, reinterpret_cast<const CryptoPP::byte*>(block.data()), block.size(),
                        reinterpret_cast<CryptoPP::byte*>(cipher.data()));
      for (unsigned char byte : cipher) {
        stored.push_back(kDigits[byte >> 4]);
        stored.push_back(kDigits[byte & 0x0F]);
      }
      stored.push_back('\n');
    }
    // The blocks are separated, not terminated, by line feeds.
    stored.pop_back();
    return stored;
  } catch (...) {
    return {};
  }
}

std::string DecryptSecret(std::string_view stored) {
  if (stored.substr(0, kSecretPrefix.size()) != kSecretPrefix) return {};
  stored.remove_prefix(kSecretPrefix.size());

  std::string cipher;
  int high = -1;
  for (char c : stored) {
    const int nibble = HexValue(c);
    if (nibble < 0) continue;
    if (high < 0) {
      high = nibble;
    } else {
      cipher.push_back(static_cast<char>(high << 4 | nibble));
      high = -1;
    }
  }
  if (high >= 0) return {};  // an odd number of digits cannot be a ciphertext

  try {
    CryptoPP::RSAES_OAEP_SHA_Decryptor decryptor(PrivateKey());
    const std::size_t block = decryptor.FixedCiphertextLength();
    if (cipher.size() % block != 0) return {};
    CryptoPP::AutoSeededRandomPool pool;  // blinds the private-key operation
    std::string plain;
    std::string piece(decryptor.FixedMaxPlaintextLength(), '\0');
    for (std::size_t at = 0; at < cipher.size(); at += block) {
      const CryptoPP::DecodingResult result =
          decryptor.Decrypt(pool, reinterpret_cast<const CryptoPP::byte*>(cipher.data() + at),
                            block, reinterpret_cast<CryptoPP::byte*>(piece.data()));
      if (!result.isValidCoding) return {};
      plain.append(piece, 0, result.messageLength);
    }
    return plain;
  } catch (...) {
    return {};
  }
}

}  // namespace vossik
