#include "admin/compressed_reply.h"

#include <zlib.h>

#include <cstdio>
#include <cstdlib>

namespace vossik {
namespace {

constexpr std::size_t kLengthField = 11;
constexpr std::size_t kStreamStart = 19;  // mark and length field
// Room beyond the announced length, so that a length that is a little
// short still inflates.
constexpr std::size_t kSlack = 64;

}  // namespace

std::string CompressReply(std::string_view plain) {
  uLongf bound = compressBound(static_cast<uLong>(plain.size()));
  std::string out(kStreamStart + bound, '\0');
  char length[kLengthField + 1];
  std::snprintf(length, sizeof length, "%011zu", plain.size());
  out.replace(0, kCompressedReplyMark.size(), kCompressedReplyMark);
  out.replace(kCompressedReplyMark.size(), kLengthField, length);
  if (compress2(reinterpret_cast<Bytef*>(out.data() + kStreamStart), &bound,
                reinterpret_cast<const Bytef*>(plain.data()), static_cast<uLong>(plain.size()),
                Z_BEST_SPEED) != Z_OK) {
    return {};
  }
  out.resize(kStreamStart + bound);
  return out;
}

bool InflateReply(std::string* body) {
  if (!body->starts_with(kCompressedReplyMark) || body->size() < kStreamStart) return false;
  const std::string field = body->substr(kCompressedReplyMark.size(), kLengthField);
  char* end = nullptr;
  const long long length = std::strtoll(field.c_str(), &end, 10);
  if (end == field.c_str() || length <= 0 ||
      static_cast<unsigned long long>(length) > kLargestInflatedReply) {
    return false;
  }
  std::string plain(static_cast<std::size_t>(length) + kSlack, '\0');
  uLongf plain_length = static_cast<uLongf>(plain.size());
  if (uncompress(reinterpret_cast<Bytef*>(plain.data()), &plain_length,
                 reinterpret_cast<const Bytef*>(body->data() + kStreamStart),
                 static_cast<uLong>(body->size() - kStreamStart)) != Z_OK) {
    return false;
  }
  plain.resize(plain_length);
  *body = std::move(plain);
  return true;
}

}  // namespace vossik
