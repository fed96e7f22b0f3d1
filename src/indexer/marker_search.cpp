#include "indexer/marker_search.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/ascii_case.h"

namespace vossik {

namespace {

constexpr std::size_t kNpos = std::string_view::npos;

bool EqualsIgnoringCase(const char* text, std::string_view lower) {
  for (std::size_t i = 0; i < lower.size(); ++i) {
    if (AsciiLower(text[i]) != lower[i]) return false;
  }
  return true;
}

// The positions at..at+15 where `marker` may start: its first byte there
// and its last byte where it would end, bit 5 ignored. Bit 5 folds a
// letter's two cases together; for other bytes it only lets a few more
// candidates through to the full comparison. Reads at..at+15+size-1.
uint32_t Candidates(const char* at, std::string_view marker) {
  const auto first = static_cast<unsigned char>(marker.front());
  const auto last = static_cast<unsigned char>(marker.back() | 0x20);
  return LaneMask((Load16(at) == first) & ((Load16(at + marker.size() - 1) | 0x20) == last));
}

// The first position in [from, last] where `equal` confirms `marker`; the
// caller ensures the marker fits at `last`.
template <typename Equal>
std::size_t ScanForward(const char* base, std::size_t from, std::size_t last,
                        std::string_view marker, Equal equal) {
  std::size_t at = from;
  for (; at + 15 <= last; at += 16) {
    for (uint32_t mask = Candidates(base + at, marker); mask != 0; mask &= mask - 1) {
      const std::size_t candidate = at + static_cast<std::size_t>(std::countr_zero(mask));
      if (equal(base + candidate)) return candidate;
    }
  }
  for (; at <= last; ++at) {
    if (equal(base + at)) return at;
  }
  return kNpos;
}

// As scanForward, for the last such position.
template <typename Equal>
std::size_t ScanBackward(const char* base, std::size_t from, std::size_t last,
                         std::string_view marker, Equal equal) {
  std::size_t end = last + 1;  // positions below this are left
  for (; end >= from + 16; end -= 16) {
    for (uint32_t mask = Candidates(base + end - 16, marker); mask != 0;) {
      const int lane = 31 - std::countl_zero(mask);
      const std::size_t candidate = end - 16 + static_cast<std::size_t>(lane);
      if (equal(base + candidate)) return candidate;
      mask &= ~(uint32_t{1} << lane);
    }
  }
  while (end > from) {
    --end;
    if (equal(base + end)) return end;
  }
  return kNpos;
}

}  // namespace

Bytes16 Load16(const char* at) {
  Bytes16 block;
  std::memcpy(&block, at, sizeof block);
  return block;
}

// Without SSE2, a multiplication gathers bit 9i of each half into bit
// 56 + i, free of carries.
uint32_t LaneMask(Bytes16 lanes) {
#if defined(__SSE2__)
  return static_cast<uint32_t>(_mm_movemask_epi8(reinterpret_cast<__m128i>(lanes)));
#else
  uint64_t halves[2];
  std::memcpy(halves, &lanes, sizeof halves);
  uint32_t mask = 0;
  for (int half = 0; half < 2; ++half) {
    uint64_t bits = halves[half];
    if constexpr (std::endian::native == std::endian::big) bits = __builtin_bswap64(bits);
    bits = ((bits & 0x8040201008040201ULL) * 0x0101010101010101ULL) >> 56;
    mask |= static_cast<uint32_t>(bits) << (8 * half);
  }
  return mask;
#endif
}

std::size_t FindIgnoringCase(std::string_view text, std::size_t from, std::size_t end,
                             std::string_view marker) {
  if (end < marker.size() || from > end - marker.size()) return kNpos;
  return ScanForward(text.data(), from, end - marker.size(), marker,
                     [marker](const char* at) { return EqualsIgnoringCase(at, marker); });
}

std::size_t FindIgnoringCase(std::string_view text, std::size_t from, std::string_view marker) {
  return FindIgnoringCase(text, from, text.size(), marker);
}

std::size_t FindLastIgnoringCase(std::string_view text, std::size_t from, std::size_t end,
                                 std::string_view marker) {
  if (end < marker.size() || from > end - marker.size()) return kNpos;
  return ScanBackward(text.data(), from, end - marker.size(), marker,
                      [marker](const char* at) { return EqualsIgnoringCase(at, marker); });
}

std::size_t FindLast(std::string_view text, std::string_view marker) {
  if (text.size() < marker.size()) return kNpos;
  return ScanBackward(
      text.data(), 0, text.size() - marker.size(), marker,
      [marker](const char* at) { return std::memcmp(at, marker.data(), marker.size()) == 0; });
}

}  // namespace vossik
