// The file a report goes to, replaced whole or not at all, every failure
// to write it reported; the report writer (report_writer.hpp) fills it.
#pragma once

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <string>
#include <utility>

#include "error_exit.hpp"
#include "hidden_name.hpp"

namespace wgt {

// A regular file of one name gets the report in an anonymous file beside
// it, named once complete and renamed over it: a run killed at any moment
// leaves it as it was or whole. Where the directory forbids the rename
// (sticky, the output another user's), the finished report is copied in.
// Anything else (a link, a device, a pipe) is written through, so that
// every name sees the result.
class ReportFile {
 public:
  ReportFile() = default;
  ~ReportFile() {
    if (fd_ >= 0) ::close(fd_);
    if (temp_fd_ >= 0) ::close(temp_fd_);
  }
  ReportFile(const ReportFile&) = delete;
  ReportFile& operator=(const ReportFile&) = delete;

  // The run with no argument: creates or empties the file now, so that no
  // stale result outlives the run; RequireOpen reports a failure.
  void Open(const char* path) {
    path_ = path;
    struct stat link {};
    bool is_link = ::lstat(path, &link) == 0 && S_ISLNK(link.st_mode);
    fd_ = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    open_errno_ = fd_ < 0 ? errno : 0;
    struct stat file {};
    replace_ = fd_ >= 0 && !is_link && ::fstat(fd_, &file) == 0 && S_ISREG(file.st_mode) && file.st_nlink == 1;
    mode_ = file.st_mode & 07777;
  }

  // Option mode: the output is not touched before Finish, so that a failed
  // run leaves it as it was and creates none. What cannot be replaced
  // (standard output for "-", a link, a device, a pipe, a directory that
  // takes no new file) is kept in memory and written through at the end.
  void OpenOnSuccess(const char* path) {
    deferred_ = true;
    if (std::strcmp(path, "-") == 0) {
      path_ = "standard output";
      standard_output_ = true;
      OpenMemory();
      return;
    }
    path_ = path;
    struct stat link {}, file {};
    const bool is_link = ::lstat(path, &link) == 0 && S_ISLNK(link.st_mode);
    const bool exists = ::stat(path, &file) == 0;
    if (exists && S_ISDIR(file.st_mode)) {
      open_errno_ = EISDIR;
      return;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode_ = exists ? file.st_mode & 07777 : 0666 & ~mask;
    replace_ = !is_link && (!exists || (S_ISREG(file.st_mode) && file.st_nlink == 1));
    if (replace_) OpenTemp();  // which may clear replace_
    if (replace_) return;
    if (exists && ::access(path, W_OK) == 0) return OpenMemory();
    open_errno_ = errno;
  }

  void RequireOpen() const {
    if (open_errno_ != 0) Die(std::string(path_) + ": cannot create: " + std::strerror(open_errno_));
  }

  // Appends `size` bytes to the report.
  void Write(const char* data, std::size_t size) {
    const int fd = Target();
    for (std::size_t done = 0; done < size;) {
      const ssize_t wrote = ::write(fd, data + done, size - done);
      if (wrote < 0 && errno == EINTR) continue;
      if (wrote <= 0) Fail(wrote < 0 ? errno : ENOSPC);
      done += std::size_t(wrote);
    }
  }

  // The whole report is in the file once this returns.
  void Finish() {
    if (replace_) Publish();
    if (deferred_ && !replace_) WriteThrough();
    int fd = std::exchange(fd_, -1);
    if (fd >= 0 && ::close(fd) != 0) Fail(errno);
  }

 private:
  // Where the report goes: the output itself, or the file that replaces it.
  int Target() {
    if (replace_ && temp_fd_ < 0) OpenTemp();
    return replace_ || (deferred_ && fd_ < 0) ? temp_fd_ : fd_;
  }

  // Where no file can be made beside the output (an unwritable directory),
  // replace_ is cleared and errno says why.
  void OpenTemp() {
    temp_fd_ = ::open(DirectoryOf(path_).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);  // read back if it cannot replace
    if (temp_fd_ < 0) {  // no anonymous files here: a hidden name, removed on failure
      temp_name_ = HiddenNameBeside(path_, "XXXXXX");
      temp_fd_ = ::mkstemp(temp_name_.data());
      if (temp_fd_ < 0) {  // errno stays mkstemp's
        temp_name_.clear();
        replace_ = false;
        return;
      }
      HoldPending(temp_name_.c_str());
    }
    if (::fchmod(temp_fd_, mode_) != 0) Fail(errno);
  }

  // Puts the finished report in the output's place in one step, linked
  // first to a hidden name (an anonymous file cannot be renamed): a run
  // killed between the two leaves a whole copy there, never a part.
  void Publish() {
    if (temp_fd_ < 0) OpenTemp();  // an empty report still replaces the file
    if (!replace_) return;
    if (temp_name_.empty()) {
      if (const int error = LinkBeside(temp_fd_, path_, temp_name_)) Fail(error);
      HoldPending(temp_name_.c_str());
    }
    if (::rename(temp_name_.c_str(), path_) != 0) {
      if (errno != EPERM && errno != EACCES) Fail(errno);
      CopyIntoOutput();
    }
    ReleasePending(temp_name_.c_str());
    if (::close(std::exchange(temp_fd_, -1)) != 0) Fail(errno);
  }

  // Where the output may be written but not replaced (sticky, another
  // user's): the finished report is copied in. A run killed during the copy
  // may leave a part of it; one that fails empties the output.
  void CopyIntoOutput() {
    ::unlink(temp_name_.c_str());  // the copy in fd_ below is what remains
    ReleasePending(temp_name_.c_str());
    if (fd_ < 0) fd_ = ::open(path_, O_WRONLY | O_TRUNC | O_CLOEXEC);  // deferred: first touched now
    if (fd_ < 0) Fail(errno);
    CopyTempIntoOutput();
  }
  // Copies the finished report into fd_.
  void CopyTempIntoOutput() {
    replace_ = false;  // from here a failure empties the output itself
    if (::lseek(temp_fd_, 0, SEEK_SET) != 0) Fail(errno);
    char block[std::size_t(64) << 10];
    for (;;) {
      const ssize_t got = ::read(temp_fd_, block, sizeof block);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) Fail(errno);
      if (got == 0) return;
      Write(block, std::size_t(got));
    }
  }

  void OpenMemory() {  // for a report written through at the end
    temp_fd_ = ::memfd_create("report", MFD_CLOEXEC);
    if (temp_fd_ < 0) open_errno_ = errno;
  }

  // Deferred, and not replaced: the finished report goes into the output now.
  void WriteThrough() {
    fd_ = standard_output_ ? ::dup(STDOUT_FILENO) : ::open(path_, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) Fail(errno);
    CopyTempIntoOutput();
  }

  // A report written through is emptied again, as when it was opened.
  [[noreturn]] void Fail(int error) const {
    if (!replace_ && fd_ >= 0 && ::ftruncate(fd_, 0) != 0) {
      // A device such as /dev/full cannot be truncated and holds nothing.
    }
    Die(std::string(path_) + ": cannot write: " + std::strerror(error));
  }

  const char* path_ = "";
  int fd_ = -1;
  int open_errno_ = 0;
  bool replace_ = false;
  bool deferred_ = false;          // option mode: nothing touched before Finish
  bool standard_output_ = false;  // deferred, to standard output
  mode_t mode_ = 0;
  int temp_fd_ = -1;
  std::string temp_name_;
};

}  // namespace wgt
