// What every run of either program does around its own work: the command
// line, the files, and the failures they share.
#pragma once

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "command_line.hpp"
#include "error_exit.hpp"
#include "int_reader.hpp"
#include "memory.hpp"
#include "report_writer.hpp"

namespace wgt {

// What a program is called, which files it reads and writes, its options
// and the text that --help prints.
struct ProgramInfo {
  const char* name;
  const char* input;
  const char* output;
  OptionTable options;
  const char* usage;
};

// Prints `text` on standard output for --help and --version; reports if it
// cannot be delivered.
inline int Tell(const std::string& text) {
  if (std::fputs(text.c_str(), stdout) < 0 || std::fflush(stdout) != 0)
    Die(std::string("standard output: ") + std::strerror(errno));
  return 0;
}

// A command line that cannot be run: exit status 2, as GNU tools give, and
// no file read or touched.
[[noreturn]] inline void DieOfUsage(const ProgramInfo& program, const std::string& what) {
  const std::string text = std::string(program.name) + ": " + what + "\nTry '" + program.name +
                           " --help' for more information.\n";
  if (::write(STDERR_FILENO, text.data(), text.size()) < 0) {
    // Nothing left to tell the user through.
  }
  std::exit(2);
}

// A run with no argument: the fixed names, and the native format alone.
inline CommandLine FixedRun() {
  CommandLine line;
  line.format = InputFormat::kNative;
  return line;
}

// The frame both programs share. With no argument: the fixed files, the
// output created or emptied at start-up (even when the input is missing),
// as callers rely on. With any argument, the command line decides (option
// mode): --help and --version answer and touch no file, a usage error
// touches none either, and the outputs are replaced only once the run has
// succeeded (ReportWriter::OpenOnSuccess). Then: names the program in
// messages, opens the input and the output, reports either failure, and
// does work(command line). Running out of memory ends with a message rather
// than an uncaught exception.
template <class Work>
int RunProgram(int argc, char** argv, const ProgramInfo& program, IntReader& in, ReportWriter& out, Work work) {
  program_name = program.name;
  try {
    const bool option_mode = argc > 1;
    const CommandLine line = option_mode ? ParseCommandLine(argc, argv, program.options) : FixedRun();
    if (!line.usage_error.empty()) DieOfUsage(program, line.usage_error);
    if (line.help) return Tell(program.usage);
    if (line.version) return Tell(std::string(program.name) + " " + WGT_VERSION + "\n");
    in.Open(line.input.empty() ? program.input : line.input.c_str());
    if (option_mode)
      out.OpenOnSuccess(line.output.empty() ? program.output : line.output.c_str());
    else
      out.Open(program.output);
    in.RequireOpen();
    out.RequireOpen();
    work(line);
  } catch (const std::bad_alloc&) {
    Die("out of memory");
  } catch (const OutOfMemory& failure) {
    Die(failure.what);
  }
  return 0;
}

}  // namespace wgt
