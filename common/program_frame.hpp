// What every run of either program does around its own work.
#pragma once

#include <new>

#include "error_exit.hpp"
#include "int_reader.hpp"
#include "report_writer.hpp"

namespace wgt {

// The frame both programs share: names the program in messages, opens the
// input and creates or empties the output (even when the input is missing),
// reports either failure, then does the work. Running out of memory ends
// with a message rather than an uncaught exception.
template <class Work>
int RunProgram(const char* program, IntReader& in, const char* input, ReportWriter& out, const char* output,
               Work work) {
  program_name = program;
  try {
    in.Open(input);
    out.Open(output);
    in.RequireOpen();
    out.RequireOpen();
    work();
  } catch (const std::bad_alloc&) {
    Die("out of memory");
  }
  return 0;
}

}  // namespace wgt
