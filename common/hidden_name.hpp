// Names beside an output for the file that replaces it: hidden (".NAME."
// and a suffix) in the output's own directory, so that a rename is one step
// within one file system.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace wgt {

// The directory `path` names a file in.
inline std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// ".NAME.SUFFIX" in the directory of `path`.
inline std::string HiddenNameBeside(const std::string& path, const std::string& suffix) {
  const std::size_t base = path.rfind('/') + 1;  // 0 when there is no slash
  return path.substr(0, base) + "." + path.substr(base) + "." + suffix;
}

// Gives the anonymous file open at `fd` a hidden name beside `path`,
// ".NAME.PID-N" for the first N free: 0 with the name in `name`, or errno.
inline int LinkBeside(int fd, const std::string& path, std::string& name) {
  const std::string proc = "/proc/self/fd/" + std::to_string(fd);
  for (int attempt = 0;; ++attempt) {
    const std::string candidate = HiddenNameBeside(path, std::to_string(::getpid()) + "-" + std::to_string(attempt));
    if (::linkat(AT_FDCWD, proc.c_str(), AT_FDCWD, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      name = candidate;
      return 0;
    }
    if (errno != EEXIST || attempt == 100) return errno;
  }
}

}  // namespace wgt
