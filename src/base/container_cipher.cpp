#include "base/container_cipher.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "base/file_io.h"

namespace vossik {
namespace {

// Key set 3's built-in key byte. Every packed descriptor depends on it.
constexpr unsigned char kKeySet3Byte = 0xA7;

}  // namespace

std::string ApplyKeySet3(std::string_view bytes) {
  std::string out(bytes);
  for (char& c : out) c = static_cast<char>(static_cast<unsigned char>(c) ^ kKeySet3Byte);
  return out;
}

bool IsContainer(std::string_view bytes) {
  return bytes.size() >= kContainerPrefix.size() &&
         bytes.substr(0, kContainerPrefix.size()) == kContainerPrefix;
}

bool ReadContainer(const std::filesystem::path& file, std::string* plain) {
  std::string bytes;
  if (!ReadWholeFile(file, &bytes) || !IsContainer(bytes)) return false;
  std::string_view cipher(bytes);
  cipher.remove_prefix(std::min(bytes.size(), kContainerMarkerLength));
  *plain = ApplyKeySet3(cipher);
  return true;
}

bool WriteContainer(const std::filesystem::path& file, std::string_view plain, bool append) {
  std::error_code ec;
  const bool write_marker = !append || !std::filesystem::exists(file, ec);
  std::ofstream out(file, std::ios::binary | (append ? std::ios::app : std::ios::trunc));
  if (!out) return false;
  if (write_marker) out.write(kContainerMarkerKeySet3.data(), kContainerMarkerKeySet3.size());
  const std::string cipher = ApplyKeySet3(plain);
  out.write(cipher.data(), static_cast<std::streamsize>(cipher.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace vossik
