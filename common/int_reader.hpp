// The integer reader: whitespace-separated decimal integers, read in 128 KiB
// blocks from a file descriptor, each with the line it stands on, and a
// message that quotes the token for anything that is not a 32-bit integer.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "error_exit.hpp"
#include "swar_digits.hpp"

namespace wgt {

// Reads whitespace-separated decimal integers in large blocks, accepting
// exactly what formatted stream extraction of an int accepts as a whole
// token: an optional sign, one or more digits, leading zeros, any run of
// space, tab, CR, LF, VT or FF between tokens. Knows the line of each token.
class IntReader {
 public:
  IntReader() = default;
  ~IntReader() {
    if (fd_ >= 0) ::close(fd_);
  }
  IntReader(const IntReader&) = delete;
  IntReader& operator=(const IntReader&) = delete;

  // Opens the file, or standard input for "-" (named so in messages, and
  // read as it comes: a pipe has no size and cannot seek); a failure is
  // reported by RequireOpen.
  void Open(const char* path) {
    const bool standard_input = std::strcmp(path, "-") == 0;
    path_ = standard_input ? "standard input" : path;
    fd_ = standard_input ? ::dup(STDIN_FILENO) : ::open(path, O_RDONLY | O_CLOEXEC);
    open_errno_ = fd_ < 0 ? errno : 0;
    buffer_ = std::make_unique_for_overwrite<char[]>(kKeep + kBlock + 1);  // pages untouched until read into
    p_ = end_ = buffer_.get() + kKeep;
    *end_ = '\0';
  }

  // Dies if the file could not be opened: called once the output exists.
  void RequireOpen() const {
    if (fd_ < 0) Die(std::string(path_) + ": cannot open: " + std::strerror(open_errno_));
  }

  // Next integer of the input, or false at its end. Dies on a token that is
  // not an integer or does not fit 32 bits. Inlined by force: the programs
  // call it for every integer of the file, and GCC stops inlining it into a
  // loop that holds more code.
  [[gnu::always_inline]] bool Next(std::int32_t& value) { return Read<false>(value, 0); }
  // The same, for the integer that stands next on `line`: false, with only
  // blanks consumed, where that line ends first.
  [[gnu::always_inline]] bool NextOnLine(std::int32_t& value, long line) { return Read<true>(value, line); }

  // The first byte of the next token, not consumed, or -1 at the end of
  // the input; Fail then names the token's line. For formats whose lines
  // begin with a letter.
  int Peek() {
    for (;;) {
      while (IsSpace(*p_)) line_ += *p_++ == '\n';
      if (p_ != end_) {
        token_line_ = line_;
        return static_cast<unsigned char>(*p_);
      }
      if (!Refill(nullptr)) return -1;
    }
  }
  // Consumes the next token where it is the one character `tag`: the fast
  // test of a line's type, false where Peek and NextWord must decide.
  [[gnu::always_inline]] bool TakeTag(char tag) {
    while (IsSpace(*p_)) line_ += *p_++ == '\n';
    if (*p_ != tag || !IsSpace(p_[1])) return false;  // at the buffer's end p_[1] is the NUL
    token_line_ = line_;
    ++p_;
    return true;
  }
  // Consumes the next token and returns it (its first kKeep bytes), "" at
  // the end of the input.
  std::string NextWord() {
    std::string word;
    if (Peek() < 0) return word;
    for (;;) {
      while (p_ != end_ && !IsSpace(*p_)) {
        if (word.size() < kKeep) word += *p_;
        ++p_;
      }
      if (p_ != end_ || !Refill(nullptr)) return word;
    }
  }
  // Skips the rest of the line the last token stands on.
  void SkipLine() {
    for (;;) {
      if (const void* end = std::memchr(p_, '\n', std::size_t(end_ - p_))) {
        p_ = static_cast<char*>(const_cast<void*>(end)) + 1;
        ++line_;
        return;
      }
      p_ = end_;
      if (!Refill(nullptr)) return;
    }
  }
  // A word as messages quote tokens: its first 24 characters, made printable.
  static std::string Quote(const std::string& word) { return Quote(word.data(), word.data() + word.size(), false); }

  // Line of the integer last returned by Next.
  long Line() const { return token_line_; }
  // Line of the last byte of the input, once Next has returned false.
  long EndLine() const { return line_ - (last_byte_ == '\n' && line_ > 1); }
  bool Empty() const { return bytes_read_ == 0; }

  [[noreturn]] void Fail(const std::string& what) const { Die(path_, token_line_, what); }
  [[noreturn]] void FailAt(long line, const std::string& what) const { Die(path_, line, what); }
  const char* Path() const { return path_; }
  [[noreturn]] void FailAtEnd(const std::string& what) const {
    if (Empty()) Die(std::string(path_) + ": file is empty");
    Die(path_, EndLine(), what);
  }

 private:
  static constexpr std::size_t kBlock = std::size_t(128) << 10;  // stays in the L2 cache, few pages to fault
  static constexpr std::size_t kShown = 24;  // token characters quoted in a message
  static constexpr std::size_t kKeep = 64;   // token text kept across a refill, for messages
  static constexpr std::uint64_t kBig = 1ull << 40;

  static bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
  static bool IsDigit(char c) { return unsigned(c - '0') < 10; }

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

  // Replaces the consumed buffer by the next block, keeping the start of a
  // token that runs across the boundary. The byte after the data is always a
  // NUL, which stops every scanning loop without a bounds check.
  bool Refill(const char* token) {
    if (fd_ < 0) return false;
    std::size_t kept = 0;
    if (token != nullptr) {
      kept = std::min<std::size_t>(std::size_t(end_ - token), kKeep);
      token_cut_ = token_cut_ || std::size_t(end_ - token) > kKeep;
      std::memmove(buffer_.get() + kKeep - kept, token, kept);
      token_ = buffer_.get() + kKeep - kept;
    }
    char* data = buffer_.get() + kKeep;
    ssize_t got;
    do got = ::read(fd_, data, kBlock);
    while (got < 0 && errno == EINTR);
    if (got < 0) Die(std::string(path_) + ": cannot read: " + std::strerror(errno));
    bytes_read_ += std::uint64_t(got);
    p_ = data;
    end_ = data + got;
    *end_ = '\0';
    if (got > 0) last_byte_ = end_[-1];
    return got > 0;
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
  static std::string Quote(const char* begin, const char* end, bool cut) {
    std::string text = "'";
    const char* c = begin;
    for (std::size_t shown = 0; c != end && shown < kShown; ++c, ++shown) {
      unsigned char u = static_cast<unsigned char>(*c);
      if (u >= 0x20 && u < 0x7f && u != '\'' && u != '\\') {
        text += char(u);
      } else {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02x", u);
        text += hex;
      }
    }
    if (cut || c != end) text += "...";
    return text + "'";
  }

  const char* path_ = "";
  int fd_ = -1;
  int open_errno_ = 0;
  std::unique_ptr<char[]> buffer_;
  char* p_ = nullptr;
  char* end_ = nullptr;
  const char* token_ = nullptr;
  bool token_cut_ = false;
  long line_ = 1;
  long token_line_ = 1;
  char last_byte_ = '\0';
  std::uint64_t bytes_read_ = 0;
};

}  // namespace wgt
