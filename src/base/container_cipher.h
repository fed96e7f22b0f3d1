// Encrypted file containers: a 17-byte marker ("ENCRYPTED.V001.0" and the
// key-set digit) followed by ciphertext. The framework's descriptors and the
// files they include use key set 3, which XORs every byte with one built-in
// key byte, so ciphertext and plaintext have the same length.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vossik {

inline constexpr std::string_view kContainerPrefix = "ENCRYPTED.V001";  // what readers require
inline constexpr std::string_view kContainerMarkerKeySet3 = "ENCRYPTED.V001.03";
inline constexpr std::size_t kContainerMarkerLength = 17;

/// Enciphers or deciphers (the same operation) bytes with key set 3.
std::string ApplyKeySet3(std::string_view bytes);

/// True when `bytes` begin with the 14-byte container prefix.
[[nodiscard]] bool IsContainer(std::string_view bytes);

/// Reads a key-set-3 container whole into `plain`. False, with `plain`
/// untouched, when the file cannot be read, is shorter than 14 bytes or
/// lacks the prefix.
[[nodiscard]] bool ReadContainer(const std::filesystem::path& file, std::string* plain);

/// Writes `plain` as a key-set-3 container. Truncating writes, and appends to
/// a file that does not exist yet, start with the marker; appending to an
/// existing file adds only ciphertext. False when the file cannot be written.
[[nodiscard]] bool WriteContainer(const std::filesystem::path& file, std::string_view plain,
                                  bool append = false);

}  // namespace vossik
