// The command line of the distance program: its options for getopt_long, its
// fixed file names, and what --help prints.
#pragma once

#include <getopt.h>

#include "command_line.hpp"
#include "program_frame.hpp"

namespace wgt {

constexpr const char* kInput = "mirtavosken.in";
constexpr const char* kOutput = "mirtavosken.out";

constexpr option kOwnOptions[] = {{"tree", required_argument, nullptr, kTreeOption},
                                  {"cycle", required_argument, nullptr, kCycleOption}};
constexpr auto kLongOptions = WithSharedOptions(kOwnOptions);
constexpr ProgramInfo kProgram{"mirtavosken2", kInput, kOutput, {kSharedShortOptions, kLongOptions.data()},
                                    R"(Usage: mirtavosken2 [--help | --version]
  or:  mirtavosken2 [OPTION]... [INPUT]
Computes the cheapest path cost from a source node to every node of a
directed graph whose costs may be negative.

With no argument: reads mirtavosken.in (n m, then m lines x y c: an edge
x -> y of cost c) from the current directory, writes to mirtavosken.out the
cost from node 1 to nodes 2..n, each followed by a space, 0 where a node
cannot be reached (and where it is reached at cost 0), and prints 80 on
standard output. The output is emptied at start-up.

With arguments, outputs are replaced only by a run that succeeds:
  INPUT, -i, --input=FILE   read FILE instead of mirtavosken.in; - is
                            standard input
  -o, --output=FILE         write the costs to FILE instead of
                            mirtavosken.out; - is standard output, which
                            then gets the costs alone (no 80)
  -f, --format=FORMAT       native (n m, then x y c lines) or dimacs
                            (c comment lines, p sp n m, then a x y c lines);
                            by default a file that starts with c or p is
                            read as DIMACS
  -s, --source=N            costs from node N (default 1); the output lists
                            every node but N, in order
      --tree=FILE           also write the tree of cheapest paths: line v is
                            "v cost predecessor", the source "N 0 0", a node
                            the source cannot reach "v - -"
      --cycle=FILE          where a negative cycle is refused, write it whole,
                            one arc "x y c" a line from its smallest node; on
                            success FILE is written empty
  -v, --verbose             tell on standard error which engine finished
                            and how much work it took
  -h, --help                show this help and exit
  -V, --version             show the version and exit
Exit status: 0 when the whole result is written; 1 otherwise, with one line
on standard error (bad input, a negative cycle reachable from the source, too
little memory, a file that cannot be read or written); 2 for a command line
that cannot be run.
Manual: man 1 mirtavosken2
)"};

}  // namespace wgt
