// The report writer: the output file, buffered, written whole or reported.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "error_exit.hpp"

namespace wgt {

// The report file: created or emptied when opened, written in large blocks,
// emptied again and reported if any write fails.
class ReportWriter {
 public:
  ReportWriter() = default;
  ~ReportWriter() {
    if (fd_ >= 0) ::close(fd_);
  }
  ReportWriter(const ReportWriter&) = delete;
  ReportWriter& operator=(const ReportWriter&) = delete;

  // Creates or empties the file; a failure is reported by RequireOpen.
  void Open(const char* path) {
    path_ = path;
    fd_ = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    open_errno_ = fd_ < 0 ? errno : 0;
  }

  void RequireOpen() const {
    if (fd_ < 0) Die(std::string(path_) + ": cannot create: " + std::strerror(open_errno_));
  }

  template <class Int>
  void Put(Int value) {
    if (buffer_.size() - used_ < 32) Flush();
    used_ = std::size_t(std::to_chars(buffer_.data() + used_, buffer_.data() + buffer_.size(), value).ptr -
                        buffer_.data());
  }
  void Put(char c) {
    if (used_ == buffer_.size()) Flush();
    buffer_[used_++] = c;
  }

  // Everything is in the file once this returns.
  void Finish() {
    Flush();
    int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0) Fail(errno, -1);
  }

 private:
  void Flush() {
    std::size_t done = 0;
    while (done < used_) {
      ssize_t wrote = ::write(fd_, buffer_.data() + done, used_ - done);
      if (wrote < 0 && errno == EINTR) continue;
      if (wrote <= 0) Fail(wrote < 0 ? errno : ENOSPC, fd_);
      done += std::size_t(wrote);
    }
    used_ = 0;
  }

  [[noreturn]] void Fail(int error, int fd) const {
    if (fd >= 0 && ::ftruncate(fd, 0) != 0) {
      // A device such as /dev/full cannot be truncated and holds nothing.
    }
    Die(std::string(path_) + ": cannot write: " + std::strerror(error));
  }

  const char* path_ = "";
  int fd_ = -1;
  int open_errno_ = 0;
  std::vector<char> buffer_ = std::vector<char>(std::size_t(1) << 20);
  std::size_t used_ = 0;
};

}  // namespace wgt
