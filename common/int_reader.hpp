// The integer reader: whitespace-separated decimal integers, each with the
// line it stands on (block_reader.hpp), and a message that quotes the token
// for anything that is not a 32-bit integer.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

#include "block_reader.hpp"
#include "swar_digits.hpp"

namespace wgt {

// Reads whitespace-separated decimal integers in large blocks, accepting
// exactly what formatted stream extraction of an int accepts as a whole
// token: an optional sign, one or more digits, leading zeros, any run of
// space, tab, CR, LF, VT or FF between tokens.
class IntReader : public BlockReader {
 public:
  // Next integer of the input, or false at its end. Dies on a token that is
  // not an integer or does not fit 32 bits. Inlined by force: the programs
  // call it for every integer of the file, and GCC stops inlining it into a
  // loop that holds more code.
  [[gnu::always_inline]] bool Next(std::int32_t& value) { return Read<false>(value, 0); }
  // The same, for the integer that stands next on `line`: false, with only
  // blanks consumed, where that line ends first.
  [[gnu::always_inline]] bool NextOnLine(std::int32_t& value, long line) { return Read<true>(value, line); }

 private:
  static constexpr std::uint64_t kBig = 1ull << 40;

  template <bool kOnLine>
  [[gnu::always_inline]] bool Read(std::int32_t& value, long line) {
    while (IsSpace(*p_)) line_ += *p_++ == '\n';
    if (kOnLine && line_ != line) return false;
    // Fast path: a short token that ends well inside the buffer.
    if (end_ - p_ >= 32) {
      const char* c = p_;
      bool negative = *c == '-';
      c += negative || *c == '+';
      const char* digits = c;
      std::uint64_t magnitude = 0;
      // Up to 7 digits from one load: no branch on the token's length.
      if (const std::size_t length = DigitsInEight(c); length - 1 < 7) {
        magnitude = ValueOfDigits(c, length);
        c += length;
      } else {  // no digit, or 8 and more
        while (IsDigit(*c)) magnitude = magnitude * 10 + unsigned(*c++ - '0');
      }
      if (std::size_t(c - digits) - 1 < 10 && IsSpace(*c) && magnitude <= 2147483647u + negative) {
        token_line_ = line_;
        p_ = const_cast<char*>(c);
        value = std::int32_t(negative ? -std::int64_t(magnitude) : std::int64_t(magnitude));
        return true;
      }
    }
    return NextSlow(value, kOnLine ? line : -1);
  }

  // The general case of Next: tokens of any length, across block
  // boundaries, at the end of the input, and every malformed token; on
  // `line` where that is not negative.
  [[gnu::noinline]] bool NextSlow(std::int32_t& value, long line) {
    for (;;) {
      while (IsSpace(*p_)) line_ += *p_++ == '\n';
      if (p_ != end_) break;
      if (!Refill(nullptr)) return false;
    }
    if (line >= 0 && line_ != line) return false;
    token_line_ = line_;
    token_ = p_;
    token_cut_ = false;
    bool negative = false;
    if (*p_ == '+' || *p_ == '-') {
      negative = *p_++ == '-';
      if (p_ == end_) Refill(token_);
    }
    std::uint64_t magnitude = 0;
    std::size_t digits = 0;
    for (;;) {
      const char* start = p_;
      while (IsDigit(*p_)) magnitude = std::min<std::uint64_t>(magnitude * 10 + unsigned(*p_++ - '0'), kBig);
      digits += std::size_t(p_ - start);
      if (p_ != end_ || !Refill(token_)) break;
    }
    if (digits == 0 || (p_ != end_ && !IsSpace(*p_))) {
      CompleteToken();
      Fail(Token() + " is not an integer");
    }
    if (magnitude > (negative ? 2147483648u : 2147483647u))
      Fail(Token() + " is out of range (-2147483648 to 2147483647)");
    value = std::int32_t(negative ? -std::int64_t(magnitude) : std::int64_t(magnitude));
    return true;
  }


  // Reads on to the end of a malformed token, or far enough to quote it, so
  // that a token running across a block boundary is quoted as the file holds it.
  void CompleteToken() {
    for (;;) {
      while (p_ != end_ && !IsSpace(*p_)) ++p_;
      if (p_ != end_ || std::size_t(end_ - token_) > kShown || !Refill(token_)) return;
    }
  }

  // The offending token as the user wrote it, shortened and made printable.
  std::string Token() const {
    const char* c = token_;
    while (c != end_ && !IsSpace(*c)) ++c;
    return Quote(token_, c, token_cut_ || (c != end_ && !IsSpace(*c)));
  }
};

}  // namespace wgt
