// Searches for markup markers in page text, sixteen positions at a time:
// pages are dense with "<", and a library call or a comparison per "<"
// would cost more than the whole test of a block. Also the block
// primitives that the word-text pass uses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vossik {

/// Sixteen bytes handled as one value.
using Bytes16 = unsigned char __attribute__((vector_size(16)));

/// The sixteen bytes at `at` (which need not be aligned).
Bytes16 Load16(const char* at);

/// Bit i set where lane i is set, for lanes holding 0x00 or 0xFF.
uint32_t LaneMask(Bytes16 lanes);

/// The first `marker` lying wholly in text[from, end), ignoring case; npos
/// when there is none. REQUIRES: `marker` is lower case and not empty, and
/// its first byte is no letter (it is compared exactly).
std::size_t FindIgnoringCase(std::string_view text, std::size_t from, std::size_t end,
                             std::string_view marker);
std::size_t FindIgnoringCase(std::string_view text, std::size_t from, std::string_view marker);

/// The last `marker` lying wholly in text[from, end), ignoring case, with
/// the same requirements.
std::size_t FindLastIgnoringCase(std::string_view text, std::size_t from, std::size_t end,
                                 std::string_view marker);

/// The last exact `marker` in `text`. REQUIRES: `marker` is not empty.
std::size_t FindLast(std::string_view text, std::string_view marker);

}  // namespace vossik
