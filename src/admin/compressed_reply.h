// The compressed form of an administration reply body: the mark
// "191605D2", the length of the plain body as 11 decimal digits, then the
// body as a zlib stream. A client asks for it with "compress=true"; the
// service answers in it, and the client inflates it.
#pragma once

#include <string>
#include <string_view>

namespace vossik {

inline constexpr std::string_view kCompressedReplyMark = "191605D2";

/// The largest plain body a compressed reply may announce; a larger length
/// is not believed, so a bad reply cannot make the client allocate at will.
inline constexpr std::size_t kLargestInflatedReply = 256u << 20;

/// The compressed form of `plain`. Empty when zlib fails.
std::string CompressReply(std::string_view plain);

/// Replaces `body` by its plain form when it is a compressed reply that
/// inflates; otherwise leaves it as received. True when it was replaced.
[[nodiscard]] bool InflateReply(std::string* body);

}  // namespace vossik
