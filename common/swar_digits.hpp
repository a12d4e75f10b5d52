// Decimal digits read eight bytes at a time (SWAR: SIMD within a register),
// for a reader whose tokens are mostly short: a loop over a token's digits
// ends at a length that varies from token to token, a branch mispredicted
// about once a token; these take one load and a few multiplications.
//
// Preconditions: a little-endian machine; 8 bytes readable at c. O(1).
#pragma once

#include <bit>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace wgt {

static_assert(std::endian::native == std::endian::little);

inline std::uint64_t LoadEight(const char* c) {
  std::uint64_t bytes;
  std::memcpy(&bytes, c, 8);
  return bytes;  // c[0] in the low byte
}

// How many of the 8 bytes at c are digits before the first that is not
// (8 if all are).
inline std::size_t DigitsInEight(const char* c) {
  constexpr std::uint64_t kOnes = 0x0101010101010101;
  const std::uint64_t values = LoadEight(c) ^ (0x30 * kOnes);  // digits become 0..9, nothing else does
  // The high bit of each byte whose value is 10 or more (no carry crosses
  // bytes: at most 127 + 118 per byte).
  const std::uint64_t other = (((values & (0x7f * kOnes)) + (0x76 * kOnes)) | values) & (0x80 * kOnes);
  return other == 0 ? 8 : std::size_t(std::countr_zero(other)) / 8;
}

// The value of the `length` digits at c. Precondition: 1 <= length < 8.
inline std::uint64_t ValueOfDigits(const char* c, std::size_t length) {
  assert(length >= 1 && length < 8);
  constexpr std::uint64_t kOnes = 0x0101010101010101;
  // The digits moved to the high bytes, as if led by zeros.
  std::uint64_t v = (LoadEight(c) - 0x30 * kOnes) << (8 * (8 - length));
  v = (v * 10 + (v >> 8)) & 0x00ff00ff00ff00ff;        // pairs of digits
  v = (v * 100 + (v >> 16)) & 0x0000ffff0000ffff;      // groups of four
  return (v * 10000 + (v >> 32)) & 0x00000000ffffffff;  // all eight
}

}  // namespace wgt
