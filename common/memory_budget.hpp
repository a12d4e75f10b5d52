// The check before allocating tables sized from the input: Linux
// overcommits, so a table the machine cannot hold would be granted and the
// process killed later, without a message.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <string>

#include "error_exit.hpp"
#include "memory.hpp"

namespace wgt {

inline std::uint64_t PhysicalMemory() {
#ifdef WGT_MEMORY_BUDGET  // fuzzing builds: a small machine, so that big tables are refused fast
  return WGT_MEMORY_BUDGET;
#else
  return std::uint64_t(::sysconf(_SC_PHYS_PAGES)) * std::uint64_t(::sysconf(_SC_PAGESIZE));
#endif
}

// Linux overcommits: a table larger than the machine would be granted and the
// process killed later, so tables sized from the input are checked up front.
inline void RequireMemory(const char* file, long line, const std::string& what,
                          std::uint64_t bytes) {
  if (bytes > PhysicalMemory())
    Die(file, line, what + " need " + GiB(bytes) + " of memory; this machine has " +
                        GiB(PhysicalMemory()));
}

}  // namespace wgt
