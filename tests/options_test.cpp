// The command line both programs share: usage errors, the outputs replaced
// only by a run that succeeds, standard input and output, and the two
// input formats giving the same bytes.
#include <gtest/gtest.h>

#include "harness.hpp"

namespace {

std::pair<Outcome, Files> RunWith(const Program& program, const std::vector<std::string>& args, const Files& files) {
  std::vector<std::string> argv = {program.path};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunIn(argv, program.output, files);
}
// The program behind a pipe: `before` | PROGRAM args.
Outcome RunPiped(const Program& program, const std::string& before, const std::string& args, const Files& files) {
  return RunIn({"/bin/sh", "-c", before + " | " + program.path + " " + args}, program.output, files).first;
}

const std::string kDistanceGraph = "3 3\n1 2 5\n2 3 -2\n1 3 4\n";
const std::string kDistanceDimacs = "c the same graph\np sp 3 3\na 1 2 5\nc between arcs\na 2 3 -2\na 1 3 4\n";
const std::string kCountGraph = "4 5 1 4\n1 2 1\n2 4 1\n1 3 1\n3 4 1\n1 4 3\n";

// Exit status 2, the message and the hint on standard error, nothing on
// standard output, and every file as it was.
TEST(CommandLineErrors, ExitTwoAndTouchNoFile) {
  struct Case {
    const Program& program;
    std::vector<std::string> args;
    std::string message;
  };
  // The usage errors of the manual pages are run there, files checked too.
  const Case cases[] = {
      {kDistance, {"-s", "2x"}, "invalid node number '2x' for -s (1 to 2147483647)"},
      {kDistance, {"-s", "99999999999"}, "invalid node number '99999999999' for -s (1 to 2147483647)"},
      {kDistance, {"--verbose=1"}, "option '--verbose' takes no value"},
      {kDistance, {"-i", "a", "b"}, "more than one input: 'a' and 'b'"},
      {kDistance, {"-o", ""}, "empty file name for -o"},
      {kDistance, {"-o", "-", "--cycle=-"}, "standard output named for two outputs"},
      {kPathCount, {"--all=yes"}, "option '--all' takes no value"},
      {kPathCount, {"-t", "-1"}, "invalid node number '-1' for -t (1 to 2147483647)"},
  };

  for (const Case& c : cases) {
    const Files before = {{c.program.input, c.program.Name() == "quembol" ? kCountGraph : kDistanceGraph},
                          {c.program.output, "an earlier result"}};
    const auto [run, after] = RunWith(c.program, c.args, before);
    const std::string name = c.program.Name();
    EXPECT_EQ(run.status, 2) << c.message;
    EXPECT_EQ(run.err, name + ": " + c.message + "\nTry '" + name + " --help' for more information.\n");
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(after, before) << c.message;
  }
}

// In option mode a run that fails leaves an earlier output byte for byte
// and creates none; one that succeeds replaces every output it names.
TEST(CommandLineOutputs, OnlyASuccessfulRunReplacesOutputs) {
  const Files earlier = {{"g.txt", "3 2\n1 2 5\n2 7 1\n"}, {"out.txt", "earlier"}, {"tree.txt", "earlier tree"}};
  auto [bad, after_bad] = RunWith(kDistance, {"-o", "out.txt", "--tree=tree.txt", "--cycle=cycle.txt", "g.txt"}, earlier);
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.err, "mirtavosken2: g.txt:3: edge 2: end node 7 is outside 1..3\n");
  EXPECT_EQ(after_bad, earlier);  // the cycle file not created either

  const Files cyclic = {{"g.txt", "3 3\n1 2 1\n2 3 -2\n3 2 1\n"}, {"out.txt", "earlier"}, {"cycle.txt", "stale"}};
  auto [cycle, after_cycle] = RunWith(kDistance, {"-o", "out.txt", "--tree=tree.txt", "--cycle=cycle.txt", "g.txt"}, cyclic);
  EXPECT_EQ(cycle.status, 1);
  EXPECT_EQ(cycle.out, "80");
  EXPECT_EQ(cycle.err, "mirtavosken2: g.txt: negative cycle reachable from node 1 (2 edges, total cost -1): 2 -> 3 -> 2\n");
  Files expected = cyclic;
  expected["cycle.txt"] = "2 3 -2\n3 2 1\n";
  EXPECT_EQ(after_cycle, expected);  // out.txt as it was, no tree

  const Files sound = {{"g.txt", kDistanceGraph}, {"out.txt", "earlier"}, {"cycle.txt", "stale"}};
  auto [good, after_good] = RunWith(kDistance, {"-o", "out.txt", "--tree=tree.txt", "--cycle=cycle.txt", "g.txt"}, sound);
  EXPECT_EQ(good.status, 0) << good.err;
  EXPECT_EQ(after_good, (Files{{"g.txt", kDistanceGraph}, {"out.txt", "5 3 "}, {"cycle.txt", ""},
                               {"tree.txt", "1 0 0\n2 5 1\n3 3 2\n"}}));

  // The fixed names in option mode: the fixed output is not emptied by a failure.
  auto [fixed, after_fixed] = RunWith(kPathCount, {"-v"}, {{"9-quembol.in", "2 1 1 3\n"}, {"quembol.out", "earlier"}});
  EXPECT_EQ(fixed.status, 1);
  EXPECT_EQ(after_fixed.at("quembol.out"), "earlier");
}

// "-" as the output: standard output carries the result alone (no "80"),
// and the fixed output is left alone; "-" as the input: a pipe.
TEST(CommandLineOutputs, StandardInputAndOutput) {
  const Files files = {{"g.txt", kDistanceGraph}, {"mirtavosken.out", "earlier"}};
  auto [run, after] = RunWith(kDistance, {"-o", "-", "g.txt"}, files);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "5 3 ");
  EXPECT_EQ(after, files);
  auto [tree, unused] = RunWith(kDistance, {"--tree=-", "-o", "costs.txt", "-s", "2", "g.txt"}, files);
  EXPECT_EQ(tree.out, "1 - -\n2 0 0\n3 -2 2\n");
  EXPECT_EQ(RunPiped(kDistance, "cat g.txt", "-o - -", files).out, "5 3 ");
  EXPECT_EQ(RunPiped(kDistance, "cat g.txt", "-o - --input=- -s 3", files).out, "0 0 ");
  EXPECT_EQ(RunPiped(kPathCount, "cat g.txt", "-o - -", {{"g.txt", kCountGraph}}).out, "2");
  const Outcome bad = RunPiped(kPathCount, "printf '3 1 1 2\\n1 2 x\\n'", "-", {});
  EXPECT_EQ(bad.err, "quembol: standard input:2: 'x' is not an integer\n");
}

// The native and DIMACS forms of one graph give the same bytes, whether
// the format is detected or named; DIMACS arcs are directed for quembol.
TEST(CommandLineFormats, NativeAndDimacsGiveTheSameBytes) {
  const Files files = {{"g.txt", kDistanceGraph}, {"g.gr", kDistanceDimacs}};
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"g.txt"}, {"g.gr"}, {"-f", "dimacs", "g.gr"}, {"--format=native", "g.txt"}}) {
    std::vector<std::string> all = args;
    all.insert(all.end(), {"-o", "-", "--tree=t", "-s", "1"});
    auto [run, after] = RunWith(kDistance, all, files);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "5 3 ");
    EXPECT_EQ(after.at("t"), "1 0 0\n2 5 1\n3 3 2\n");
  }
  auto [forced, unused] = RunWith(kDistance, {"-f", "native", "g.gr"}, files);
  EXPECT_EQ(forced.err, "mirtavosken2: g.gr:1: 'c' is not an integer\n");
  // 1 -> 2 -> 3 one way only: 3 cannot reach 1 along the arcs.
  const Files arcs = {{"g.gr", "p sp 3 2\na 1 2 1\na 2 3 1\n"}};
  EXPECT_EQ(RunWith(kPathCount, {"-s", "1", "-t", "3", "-o", "-", "g.gr"}, arcs).first.out, "1");
  EXPECT_EQ(RunWith(kPathCount, {"-s", "3", "-t", "1", "-o", "-", "g.gr"}, arcs).first.out, "0");
  EXPECT_EQ(RunWith(kPathCount, {"-s", "3", "--all", "-o", "-", "g.gr"}, arcs).first.out, "1 - 0\n2 - 0\n3 0 1\n");
}

}  // namespace
