// The reader's text: an input read in 128 KiB blocks from a file
// descriptor, the line of each token, and the messages that name them. The
// integer reader (int_reader.hpp) reads its tokens; formats whose lines
// begin with a letter (dimacs_reader.hpp) read those too.
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

namespace wgt {

class BlockReader {
 public:
  BlockReader() = default;
  ~BlockReader() {
    if (fd_ >= 0) ::close(fd_);
  }
  BlockReader(const BlockReader&) = delete;
  BlockReader& operator=(const BlockReader&) = delete;

  // Opens the file, or standard input for "-" (named so in messages, and
  // read as it comes: a pipe has no size and cannot seek); a failure is
  // reported by RequireOpen.
  void Open(const char* path) {
    const bool standard_input = std::strcmp(path, "-") == 0;
    path_ = standard_input ? "standard input" : path;
    fd_ = standard_input ? ::dup(STDIN_FILENO) : ::open(path, O_RDONLY | O_CLOEXEC);
    open_errno_ = fd_ < 0 ? errno : 0;
    p_ = end_ = &nothing_read_;
  }

  // Dies if the file could not be opened: called once the output exists.
  void RequireOpen() const {
    if (fd_ < 0) Die(std::string(path_) + ": cannot open: " + std::strerror(open_errno_));
  }

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


 protected:
  static constexpr std::size_t kBlock = std::size_t(128) << 10;  // stays in the L2 cache, few pages to fault
  static constexpr std::size_t kShown = 24;  // token characters quoted in a message
  static constexpr std::size_t kKeep = 64;   // token text kept across a refill, for messages

  static bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
  static bool IsDigit(char c) { return unsigned(c - '0') < 10; }

  // Replaces the consumed buffer by the next block, keeping the start of a
  // token that runs across the boundary. The byte after the data is always a
  // NUL, which stops every scanning loop without a bounds check.
  bool Refill(const char* token) {
    if (fd_ < 0) return false;
    // Made at the first read, once the output exists: where memory runs
    // out here, the output holds nothing stale. Pages untouched until read
    // into.
    if (!buffer_) buffer_ = std::make_unique_for_overwrite<char[]>(kKeep + kBlock + 1);
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
  char nothing_read_ = '\0';  // what p_ and end_ point at before the first read
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
