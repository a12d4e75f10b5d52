// The file a report goes to, replaced whole or not at all, and every
// failure to write it reported; the report writer (report_writer.hpp)
// fills it.
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

// The report file. It is created or emptied when opened, before the input
// is read, so that no stale result outlives a run. Where it is a regular file with
// one name, the result is written to an anonymous file beside it, named
// only once complete and then renamed over it: a run killed at any moment
// leaves it empty or whole, and a failing one removes what it wrote. Where
// the directory forbids the rename (sticky, and the output another user's),
// the finished report is copied into the output instead. Anything else (a
// symbolic or hard link to elsewhere, a device, a pipe) is written through
// as it stands, so that every name sees the result.
class ReportFile {
 public:
  ReportFile() = default;
  ~ReportFile() {
    if (fd_ >= 0) ::close(fd_);
    if (temp_fd_ >= 0) ::close(temp_fd_);
  }
  ReportFile(const ReportFile&) = delete;
  ReportFile& operator=(const ReportFile&) = delete;

  // Creates or empties the file; a failure is reported by RequireOpen.
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

  // Option mode: the output is not touched until Finish, which replaces
  // it whole, so that a run that fails leaves an existing output as it was
  // and creates none; "-" is standard output, which receives the report
  // only once it is complete. The report is written to an anonymous file
  // beside the output and renamed over it; where it cannot be (standard
  // output, a link, a device, a pipe, a directory that takes no new file),
  // it is kept in memory and written through at the end. A failure to
  // create the output shows here, before any work.
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
    if (replace_) OpenTemp();
    if (replace_) return;
    if (!exists || ::access(path, W_OK) != 0) {
      open_errno_ = errno;
      return;
    }
    OpenMemory();
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

  // Where no file can be made beside the output (a directory the user may
  // not write to, holding an output they may), the output is written
  // through as it stands; errno then says why.
  void OpenTemp() {
    temp_fd_ = ::open(DirectoryOf(path_).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);  // read back if it cannot replace
    if (temp_fd_ < 0) {  // no anonymous files here: a hidden name, removed on failure
      temp_name_ = HiddenNameBeside(path_, "XXXXXX");
      temp_fd_ = ::mkstemp(temp_name_.data());
      if (temp_fd_ < 0) {
        const int error = errno;
        temp_name_.clear();
        errno = error;
        replace_ = false;
        return;
      }
      HoldPending(temp_name_.c_str());
    }
    if (::fchmod(temp_fd_, mode_) != 0) Fail(errno);
  }

  // Puts the finished report in the output's place in one step. An
  // anonymous file cannot be renamed over another, so it is first linked to
  // a hidden name beside the output: a run killed between the two leaves the
  // output empty and a whole copy under that name, never a part of one.
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

  // Where the output may be written but not replaced (a sticky directory
  // such as /tmp, and an output that belongs to another user), the finished
  // report is copied into it. A run killed during the copy may then leave a
  // part of the report; one that fails empties the output.
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

  // A report to be written through at the end is kept in memory meanwhile.
  void OpenMemory() {
    temp_fd_ = ::memfd_create("report", MFD_CLOEXEC);
    if (temp_fd_ < 0) open_errno_ = errno;
  }

  // Deferred, and not replaced: the finished report goes into the output now.
  void WriteThrough() {
    if (temp_fd_ < 0) OpenMemory();  // nothing was written
    if (temp_fd_ < 0) Fail(open_errno_);
    fd_ = standard_output_ ? ::dup(STDOUT_FILENO) : ::open(path_, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) Fail(errno);
    CopyTempIntoOutput();
  }

  // The output was emptied when opened; written through, it is emptied again.
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
