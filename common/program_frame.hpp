// What every run of either program does around its own work: the command
// line, the files, and the failures they share.
#pragma once

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "error_exit.hpp"
#include "int_reader.hpp"
#include "report_writer.hpp"

namespace wgt {

// What a program is called, which files it reads and writes, and the text
// that --help prints.
struct ProgramInfo {
  const char* name;
  const char* input;
  const char* output;
  const char* usage;
};

// Prints `text` on standard output for --help and --version; reports if it
// cannot be delivered.
inline int Tell(const std::string& text) {
  if (std::fputs(text.c_str(), stdout) < 0 || std::fflush(stdout) != 0)
    Die(std::string("standard output: ") + std::strerror(errno));
  return 0;
}

// The frame both programs share. --help and --version answer and touch no
// file; any other argument is ignored, since callers may pass some.
// Otherwise: names the program in messages, opens the input and creates or
// empties the output (even when the input is missing), reports either
// failure, then does the work. Running out of memory ends with a message rather than an
// uncaught exception.
template <class Work>
int RunProgram(int argc, char** argv, const ProgramInfo& program, IntReader& in, ReportWriter& out, Work work) {
  program_name = program.name;
  if (argc > 1 && std::strcmp(argv[1], "--help") == 0) return Tell(program.usage);
  if (argc > 1 && std::strcmp(argv[1], "--version") == 0)
    return Tell(std::string(program.name) + " " + WGT_VERSION + "\n");
  try {
    in.Open(program.input);
    out.Open(program.output);
    in.RequireOpen();
    out.RequireOpen();
    work();
  } catch (const std::bad_alloc&) {
    Die("out of memory");
  }
  return 0;
}

}  // namespace wgt
