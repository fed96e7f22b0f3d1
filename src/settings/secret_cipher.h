// Secret values (key set 2): setting values and the administration password
// are stored RSA-1024 encrypted with the program's built-in key pair, as
// "499602D2" followed by one upper-case hexadecimal ciphertext per 64-byte
// block of plaintext, blocks separated by line feeds.
//
// Thread safety: both functions may be called from any thread.
#pragma once

#include <string>
#include <string_view>

namespace vossik {

inline constexpr std::string_view kSecretPrefix = "499602D2";

/// The stored form of `plain` (not yet quoted), or "" for an empty text.
std::string EncryptSecret(std::string_view plain);

/// The plaintext of a stored form. Any text that does not begin with the
/// prefix, or that is malformed or does not decrypt, yields "".
std::string DecryptSecret(std::string_view stored);

}  // namespace vossik
