// The check before allocating tables sized from the input. Linux overcommits,
// and a container's or batch scheduler's memory limit is enforced by the
// OOM killer: a graph too large for the limit would be granted its tables
// and the process killed later, without a message. So each program
// estimates its peak from the header and compares it with the smallest of
// the limits that bind it: physical memory, its cgroup's memory limit (v2
// memory.max, v1 memory.limit_in_bytes, at its own level and above) and
// RLIMIT_AS / RLIMIT_DATA, which count address space rather than pages.
#pragma once

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdint>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

#include "error_exit.hpp"
#include "memory.hpp"

namespace wgt {

// A program's peak needs: pages it touches, and address space it maps.
struct MemoryNeed {
  std::uint64_t resident = 0;
  std::uint64_t address_space = 0;
};

inline std::uint64_t PhysicalMemory() {
#ifdef WGT_MEMORY_BUDGET  // fuzzing builds: a small machine, so that big tables are refused fast
  return WGT_MEMORY_BUDGET;
#else
  return std::uint64_t(::sysconf(_SC_PHYS_PAGES)) * std::uint64_t(::sysconf(_SC_PAGESIZE));
#endif
}

// The start of a small file of the kernel's, or "" if it cannot be read.
inline std::string ReadSmallFile(const std::string& path) {
  char text[4096];
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return "";
  ssize_t got = ::read(fd, text, sizeof text);
  ::close(fd);
  return got > 0 ? std::string(text, std::size_t(got)) : "";
}

// A limit file's value; "max" (v2) or an unreadable file means no limit.
inline std::uint64_t ReadLimitFile(const std::string& path) {
  std::string text = ReadSmallFile(path);
  std::uint64_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end != text.data() ? value : UINT64_MAX;
}

// The smallest memory limit of the cgroups this process lies in, its own
// and every one above it, as far as /sys/fs/cgroup shows them. Lines of
// /proc/self/cgroup read "ID:CONTROLLERS:PATH"; v2's has no controllers.
inline std::uint64_t CgroupMemoryLimit() {
  std::string self = ReadSmallFile("/proc/self/cgroup");
  std::uint64_t limit = UINT64_MAX;
  for (std::size_t start = 0, end; start < self.size(); start = end + 1) {
    end = std::min(self.find('\n', start), self.size());
    std::size_t first = self.find(':', start), second = self.find(':', first + 1);
    if (second >= end) continue;
    std::string controllers(1, ',');  // ",memory," matches whole names only
    controllers.append(self, first + 1, second - first - 1).push_back(',');
    std::string path = self.substr(second + 1, end - second - 1);
    std::string root, file;
    if (controllers == ",,") {
      root = "/sys/fs/cgroup", file = "/memory.max";  // v2, or v2 beside v1 in "unified"
      limit = std::min(limit, ReadLimitFile("/sys/fs/cgroup/unified" + path + file));
    } else if (controllers.find(",memory,") != std::string::npos) {
      root = "/sys/fs/cgroup/memory", file = "/memory.limit_in_bytes";
    } else {
      continue;
    }
    for (;;) {
      limit = std::min(limit, ReadLimitFile(root + path + file));
      if (path.empty() || path == "/") break;
      path.erase(path.rfind('/'));
    }
  }
  return limit;
}

inline std::uint64_t ResourceLimit(int resource) {
  rlimit limit{};
  if (::getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return UINT64_MAX;
  return limit.rlim_cur;
}

struct BindingLimit {
  std::uint64_t need, limit;
  const char* name;
};

// What every run needs beside its tables: the program, its libraries and
// buffers; in address space, the same and the huge-page alignment of each
// table.
constexpr MemoryNeed kEveryRun = {std::uint64_t(8) << 20, std::uint64_t(24) << 20};

// The smallest limit that a process needing `need` in all exceeds, if any:
// the resident peak is held against physical memory and the cgroup, the
// address space against the resource limits.
inline std::optional<BindingLimit> BindingOf(MemoryNeed need) {
  const BindingLimit checks[] = {
      {need.resident, PhysicalMemory(), "physical memory"},
      {need.resident, CgroupMemoryLimit(), "cgroup"},
      {need.address_space, ResourceLimit(RLIMIT_AS), "RLIMIT_AS"},
      {need.address_space, ResourceLimit(RLIMIT_DATA), "RLIMIT_DATA"},
  };
  std::optional<BindingLimit> binding;
  for (const BindingLimit& check : checks)
    if (check.need > check.limit && (!binding || check.limit < binding->limit)) binding = check;
  return binding;
}

// `need`, with what every run needs beside its tables.
constexpr MemoryNeed WithEveryRun(MemoryNeed need) {
  return {need.resident + kEveryRun.resident, need.address_space + kEveryRun.address_space};
}

// The same for a process whose tables need `need`.
inline std::optional<BindingLimit> Binding(MemoryNeed need) { return BindingOf(WithEveryRun(need)); }

// What the process maps, and holds resident, now (/proc/self/statm); none
// where that cannot be read.
inline std::optional<MemoryNeed> MappedNow() {
  const std::string text = ReadSmallFile("/proc/self/statm");
  const char* const end = text.data() + text.size();
  std::uint64_t size = 0, resident = 0;
  const auto [after_size, size_error] = std::from_chars(text.data(), end, size);
  if (size_error != std::errc() || after_size == end) return std::nullopt;
  const auto [after_resident, resident_error] = std::from_chars(after_size + 1, end, resident);
  if (resident_error != std::errc()) return std::nullopt;
  const std::uint64_t page = std::uint64_t(::sysconf(_SC_PAGESIZE));
  return MemoryNeed{resident * page, size * page};
}

// The smallest limit that `more`, beside what the process maps now,
// exceeds, if any; where that cannot be read, beside `mapped_at_most`.
inline std::optional<BindingLimit> BindingBeside(MemoryNeed more, MemoryNeed mapped_at_most) {
  const MemoryNeed now = MappedNow().value_or(mapped_at_most);
  return BindingOf({now.resident + more.resident, now.address_space + more.address_space});
}

// The need and the limit as a message gives them: in GiB to two places,
// or, where those would read the same and hide by how much the need is
// over, in the first finer unit that tells them apart.
inline std::pair<std::string, std::string> MemoryFigures(std::uint64_t need, std::uint64_t limit) {
  std::string need_text, limit_text;
  for (const SizeUnit& unit : kSizeUnits) {
    need_text = SizeIn(unit, need), limit_text = SizeIn(unit, limit);
    if (need_text != limit_text) break;
  }
  return {need_text, limit_text};
}

// Refuses `what`, which needs memory `for_what` and is held to `binding`.
[[noreturn]] inline void DieOverLimit(const char* file, long line, const std::string& what, BindingLimit binding,
                                      const std::string& for_what = "") {
  const auto [need_text, limit_text] = MemoryFigures(binding.need, binding.limit);
  Die(file, line, what + " need " + need_text + " of memory" + for_what + "; the limit is " + limit_text + " (" + binding.name + ")");
}

// Refuses, naming the binding limit, when `need` does not fit.
inline void RequireMemory(const char* file, long line, const std::string& what, MemoryNeed need) {
  if (const std::optional<BindingLimit> binding = Binding(need)) DieOverLimit(file, line, what, *binding);
}

}  // namespace wgt
