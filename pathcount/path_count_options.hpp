// The command line of the path counter: its options for getopt_long, its
// fixed file names, and what --help prints.
#pragma once

#include <getopt.h>

#include "command_line.hpp"
#include "program_frame.hpp"

namespace wgt {

constexpr const char* kInput = "9-quembol.in";
constexpr const char* kOutput = "quembol.out";

constexpr option kOwnOptions[] = {{"target", required_argument, nullptr, 't'},
                                  {"all", no_argument, nullptr, kAllOption}};
constexpr auto kLongOptions = WithSharedOptions(kOwnOptions);
constexpr ProgramInfo kProgram{"quembol", kInput, kOutput, {":hVvi:o:f:s:t:", kLongOptions.data()},
                                    R"(Usage: quembol [--help | --version]
  or:  quembol [OPTION]... [INPUT]
Counts the distinct cheapest paths between two nodes of a graph with costs
of 0 or more, modulo 2^64.

With no argument: reads 9-quembol.in (n m S D, then m lines x y c: an
undirected edge x - y of cost c >= 0) from the current directory, and writes
to quembol.out the number of cheapest paths from S to D. The output is
emptied at start-up.

With arguments, the output is replaced only by a run that succeeds:
  INPUT, -i, --input=FILE   read FILE instead of 9-quembol.in; - is standard
                            input
  -o, --output=FILE         write to FILE instead of quembol.out; - is
                            standard output
  -f, --format=FORMAT       native (n m S D, then x y c lines, undirected
                            edges) or dimacs (c comment lines, p sp n m, then
                            a x y c lines, directed arcs); by default a file
                            that starts with c or p is read as DIMACS
  -s, --source=N            count from node N instead of S (needed with
                            DIMACS)
  -t, --target=N            count the paths to node N instead of D (needed
                            with DIMACS unless --all)
      --all                 every node instead of one: line v is
                            "v distance count", "v - 0" where the source
                            cannot reach v
  -v, --verbose             tell on standard error how many nodes the
                            search settled
  -h, --help                show this help and exit
  -V, --version             show the version and exit
Exit status: 0 when the whole result is written; 1 otherwise, with one line
on standard error (bad input, too little memory, a file that cannot be read
or written); 2 for a command line that cannot be run.
Manual: man 1 quembol
)"};

}  // namespace wgt
