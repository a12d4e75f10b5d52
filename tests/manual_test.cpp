// The programs as installed tools: --help and --version, and manual pages
// that list exactly the messages the programs print.
#include <gtest/gtest.h>

#include <set>

#include "harness.hpp"

namespace {

TEST(CommandLine, HelpAndVersionTouchNoFile) {
  for (const Program* program : {&kDistance, &kPathCount}) {
    const std::string name = program->Name();
    Scratch scratch;
    Spit(scratch.dir() / program->output, "an earlier result");
    for (const char* option : {"--help", "--version"}) {
      Outcome run = scratch.Exec({program->path, option}, program->output);
      EXPECT_EQ(run.status, 0);
      EXPECT_EQ(run.err, "");
      EXPECT_EQ(run.file, "an earlier result");  // nothing read, nothing created, the earlier result untouched
      EXPECT_FALSE(fs::exists(scratch.dir() / program->input));
      const bool help = std::string(option) == "--help";
      EXPECT_EQ(run.out.rfind(help ? "Usage: " + name + " [--help | --version]\n" : name + " " + WGT_VERSION + "\n", 0), 0u);
      if (help) { EXPECT_NE(run.out.find("Manual: man 1 " + name + "\n"), std::string::npos) << run.out; }
    }

    // Any other argument is ignored.
    Spit(scratch.dir() / program->input, program == &kDistance ? "2 1\n1 2 5\n" : "1 0 1 1\n");
    Outcome other = scratch.Exec({program->path, "-v"}, program->output);
    EXPECT_EQ(other.status, 0) << other.err;
    EXPECT_EQ(other.file, program == &kDistance ? "5 " : "1");
  }
}

// The example lines of a manual page's DIAGNOSTICS, as they print: its
// first block (`block` 0), the messages of a run with no argument, or its
// second, those that options add.
std::set<std::string> ManualMessages(const Program& program, int block = 0) {
  std::string page = Slurp(fs::path(MANUAL_DIR) / (program.Name() + ".1"));
  std::size_t start = page.find(".SH DIAGNOSTICS\n");
  for (int i = 0; i <= block; ++i) start = page.find(".nf\n", start) + 4;
  std::set<std::string> lines;
  for (std::size_t end; (end = page.find('\n', start)) != std::string::npos && page.compare(start, 3, ".fi") != 0;
       start = end + 1) {
    std::string line = page.substr(start, end - start);
    for (std::size_t dash; (dash = line.find("\\-")) != std::string::npos;) line.replace(dash, 2, "-");
    lines.insert(line);
  }
  return lines;
}

TEST(Manual, PagesRenderWithoutWarnings) {
  for (const Program* program : {&kDistance, &kPathCount}) {
    std::string page = std::string(MANUAL_DIR) + "/" + program->Name() + ".1";
    Scratch scratch;
    Outcome run = scratch.Exec({"groff", "-man", "-ww", "-Tutf8", page}, "none", {.out = "/dev/null"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "") << page;
  }
}

// How to make a program print one message of its manual page.
struct Scenario {
  std::string message;
  std::string input;  // the input file's bytes; "<none>" or "<directory>"
  Setup setup = {};
  std::string output_kind = "file";  // or "directory", "/dev/full"
};

std::vector<Scenario> Scenarios(const Program& program) {
  const std::string name = program.Name();
  const std::string in = name + ": " + program.input, out = name + ": " + program.output;
  const bool distance = &program == &kDistance;
  const std::string header = distance ? "10 9\n" : "10 9 1 2\n";
  std::vector<Scenario> common = {
      {in + ": cannot open: No such file or directory", "<none>"},
      {in + ": cannot read: Is a directory", "<directory>"},
      {in + ": file is empty", ""},
      {in + ":7: file ends after 5 of 9 edges", header + "1 2 1\n1 3 1\n1 4 1\n1 5 1\n1 6 1\n1 7"},
      {in + ":3: '1.5' is not an integer", header + "1 2 1\n2 3 1.5\n"},
      {in + ":3: '4294967296' is out of range (-2147483648 to 2147483647)", header + "1 2 1\n2 3 4294967296\n"},
      {in + ":1: node count 0 is below 1", distance ? "0 0\n" : "0 0 1 1\n"},
      {out + ": cannot create: Is a directory", header, {}, "directory"},
      {out + ": cannot write: No space left on device", distance ? "2 1\n1 2 5\n" : "1 0 1 1\n", {}, "/dev/full"},
  };
  std::vector<Scenario> own;
  if (distance) {
    own = {
        {in + ":1: file ends inside the header: expected the node count and the edge count", "10\n"},
        {in + ":4: edge 3: end node 12 is outside 1..10", "10 3\n1 2 1\n2 3 1\n3 12 1\n"},
        {in + ":1: 4000000 nodes and 20000000 edges need 0.39 GiB of memory; the limit is 0.10 GiB (RLIMIT_AS)",
         "4000000 20000000\n1 2 3\n", {.address_space = 100 << 20}},
        {in + ": negative cycle reachable from node 1 (3 edges, total cost -1): 2 -> 5 -> 4 -> 2",
         "5 4\n1 2 1\n2 5 1\n5 4 -2\n4 2 0\n"},
        {name + ": standard output: No space left on device", "2 1\n1 2 5\n", {.out = "/dev/full"}},
    };
  } else {
    own = {
        {in + ":1: file ends inside the header: expected node count, edge count, source and destination", "10 9 1"},
        {in + ":1: edge count -1 is negative", "3 -1 1 3\n"},
        {in + ":1: source node 0 is outside 1..3", "3 0 0 3\n"},
        {in + ":1: destination node 9 is outside 1..3", "3 0 1 9\n"},
        {in + ":5: edge 4: node 9 is outside 1..3", "3 4 1 3\n1 2 1\n2 3 1\n1 3 1\n3 9 1\n"},
        {in + ":5: edge 4: cost -2 is negative", "3 4 1 3\n1 2 1\n2 3 1\n1 3 1\n3 2 -2\n"},
        {in + ":1: 4000000 nodes and 20000000 edges need 0.74 GiB of memory; the limit is 0.10 GiB (RLIMIT_AS)",
         "4000000 20000000 1 2\n1 2 3\n", {.address_space = 100 << 20}},
    };
  }
  common.insert(common.end(), own.begin(), own.end());
  return common;
}

TEST(Manual, EveryListedMessageIsWhatTheProgramPrints) {
  for (const Program* program : {&kDistance, &kPathCount}) {
    std::set<std::string> covered;
    for (const Scenario& s : Scenarios(*program)) {
      covered.insert(s.message);
      if (s.setup.address_space != 0 && Sanitized()) continue;  // shadow memory exceeds the limit
      Scratch scratch;
      if (s.input == "<directory>")
        fs::create_directory(scratch.dir() / program->input);
      else if (s.input != "<none>")
        Spit(scratch.dir() / program->input, s.input);
      if (s.output_kind == "directory") fs::create_directory(scratch.dir() / program->output);
      if (s.output_kind == "/dev/full") fs::create_symlink("/dev/full", scratch.dir() / program->output);
      Outcome run = scratch.Exec({program->path}, program->output, s.setup);
      EXPECT_EQ(run.status, 1);
      EXPECT_EQ(run.err, s.message + "\n");
      if (s.output_kind == "file") {  // created or emptied at start-up, whatever follows
        EXPECT_TRUE(run.file_exists) << s.message;
        EXPECT_EQ(run.file, "") << s.message;
      }
    }
    EXPECT_EQ(covered, ManualMessages(*program));
  }
}

// How to make a program print one message that options add: the command
// line, run where `file` holds `text`. The first line of standard error.
struct OptionScenario {
  std::string message;
  std::vector<std::string> args;
  std::string file = "", text = "";  // no file: `text` comes through a pipe where args end in "-"
};

std::vector<OptionScenario> OptionScenarios(const Program& program) {
  const std::string name = program.Name() + ": ";
  if (&program == &kPathCount)
    return {
        {"invalid option -- 'x'", {"-x"}},
        {"unrecognized option '--tree'", {"--tree"}},
        {"option '--target' requires a value", {"--target"}},
        {"invalid node number 'x' for --target (1 to 2147483647)", {"--target=x"}},
        {"a DIMACS file names no source: give one with --source=N", {"roads.gr"}, "roads.gr", "p sp 3 0\n"},
        {"a DIMACS file names no target: give one with --target=N, or ask for --all", {"-s", "1", "roads.gr"},
         "roads.gr", "p sp 3 0\n"},
        {"standard input:3: '1.5' is not an integer", {"-i", "-"}, "", "3 2 1 3\\n1 2 1\\n2 3 1.5\\n"},
        {"roads.gr:1: destination node 9 is outside 1..3", {"-s", "1", "-t", "9", "roads.gr"}, "roads.gr", "p sp 3 0\n"},
        {"roads.gr:5: arc 4: cost -2 is negative", {"-s", "1", "--all", "roads.gr"}, "roads.gr",
         "p sp 3 4\na 1 2 1\na 2 3 1\na 1 3 1\na 3 2 -2\n"},
    };
  const std::string arcs = "a 1 2 1\na 2 3 1\n";
  return {
      {"invalid option -- 'x'", {"-x"}},
      {"unrecognized option '--colour'", {"--colour"}},
      {"option '--source' requires a value", {"--source"}},
      {"invalid node number '0' for --source (1 to 2147483647)", {"--source=0"}},
      {"invalid format 'csv' for --format (native or dimacs)", {"--format=csv"}},
      {"more than one input: 'a.txt' and 'b.txt'", {"a.txt", "b.txt"}},
      {"'out.txt' named for two outputs", {"-o", "out.txt", "--tree=out.txt"}},
      {"standard input:3: '1.5' is not an integer", {"-"}, "", "3 2\\n1 2 1\\n2 3 1.5\\n"},
      {"g.txt:1: source node 12 is outside 1..10", {"-s", "12", "g.txt"}, "g.txt", "10 0\n"},
      {"g.txt: negative cycle reachable from node 3 (2 edges, total cost -1): 2 -> 3 -> 2", {"-s", "3", "g.txt"},
       "g.txt", "3 2\n2 3 -1\n3 2 0\n"},
      {"road.gr:1: file ends before the problem line 'p sp NODES ARCS'", {"road.gr"}, "road.gr", "c nothing\n"},
      {"road.gr:2: arc line before the problem line 'p sp NODES ARCS'", {"road.gr"}, "road.gr", "c\n" + arcs},
      {"road.gr:1: problem line names 'max', not 'sp'", {"road.gr"}, "road.gr", "p max 10 2\n"},
      {"road.gr:1: problem line needs 'p sp NODES ARCS'", {"road.gr"}, "road.gr", "p sp 10\n" + arcs},
      {"road.gr:1: arc count -1 is negative", {"road.gr"}, "road.gr", "p sp 10 -1\n"},
      {"road.gr:3: a second problem line", {"road.gr"}, "road.gr", "p sp 10 2\na 1 2 1\np sp 10 2\n"},
      {"road.gr:3: unknown line type 'x' (expected c, p or a)", {"road.gr"}, "road.gr", "p sp 10 2\na 1 2 1\nx\n"},
      {"road.gr:2: arc line needs 'a TAIL HEAD COST'", {"road.gr"}, "road.gr", "p sp 10 2\na 1 2\n"},
      {"road.gr:2: arc line holds more than its tail, head and cost", {"road.gr"}, "road.gr", "p sp 10 2\na 1 2 3 4\n"},
      {"road.gr:1: problem line holds more than 'p sp NODES ARCS'", {"road.gr"}, "road.gr", "p sp 10 2 7\na 1 2 3\n"},
      {"road.gr:3: arc 2: end node 12 is outside 1..10", {"road.gr"}, "road.gr", "p sp 10 2\na 1 2 1\na 2 12 1\n"},
      {"road.gr:3: file ends after 2 of 9 arcs", {"road.gr"}, "road.gr", "p sp 10 9\n" + arcs},
      {"road.gr:4: more arc lines than the 2 of the problem line", {"road.gr"}, "road.gr", "p sp 10 2\n" + arcs + arcs},
  };
}

TEST(Manual, EveryListedOptionMessageIsWhatTheProgramPrints) {
  for (const Program* program : {&kDistance, &kPathCount}) {
    std::set<std::string> covered;
    for (const OptionScenario& s : OptionScenarios(*program)) {
      const std::string message = program->Name() + ": " + s.message;
      covered.insert(message);
      std::vector<std::string> argv = {program->path};
      argv.insert(argv.end(), s.args.begin(), s.args.end());
      Files files = {{program->output, "an earlier result"}};
      if (!s.file.empty()) files[s.file] = s.text;  // else piped
      const bool piped = argv.back() == "-";  // a pipe that brings a bad token
      std::string line;
      for (const std::string& arg : argv) line += arg + " ";
      const auto [run, after] =
          piped ? RunIn({"/bin/sh", "-c", "printf '" + s.text + "' | " + line}, "none", files) : RunIn(argv, "none", files);
      EXPECT_EQ(run.err.substr(0, run.err.find('\n') + 1), message + "\n");
      const bool usage = run.err == message + "\nTry '" + program->Name() + " --help' for more information.\n";
      EXPECT_EQ(run.status, usage ? 2 : 1) << message;
      EXPECT_EQ(after, files) << message;  // a failed run in option mode touches no file
    }
    EXPECT_EQ(covered, ManualMessages(*program, 1));
  }
}

}  // namespace
