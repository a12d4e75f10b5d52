// The one way both programs fail: a line "PROGRAM: what is wrong" on
// standard error and exit status 1. Callers see to it that no partial
// result is left behind first.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <string>

namespace wgt {

// Set once by main; every message starts with it.
inline const char* program_name = "";
// Half-written files to remove before exiting with a failure: one a
// report at most, and a run writes at most three reports.
inline const char* pending_temps[3] = {};
inline void HoldPending(const char* name) {
  for (const char*& slot : pending_temps)
    if (slot == nullptr) {
      slot = name;
      return;
    }
}
inline void ReleasePending(const char* name) {
  for (const char*& slot : pending_temps)
    if (slot == name) slot = nullptr;
}

// One line on standard error, exit status 1. A report is only written once
// the result is complete, so no stale or partial report survives a failure.
[[noreturn]] inline void Die(const std::string& what) {
  std::string line = std::string(program_name) + ": " + what + "\n";
  if (::write(STDERR_FILENO, line.data(), line.size()) < 0) {
    // Nothing left to tell the user through.
  }
  for (const char* name : pending_temps)
    if (name != nullptr) ::unlink(name);
  std::exit(1);
}

[[noreturn]] inline void Die(const char* file, long line, const std::string& what) {
  Die(std::string(file) + ":" + std::to_string(line) + ": " + what);
}

}  // namespace wgt
