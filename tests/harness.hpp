// Test harness: runs a built program in a scratch directory and captures
// everything it leaves behind, and writes graphs as input text.
#pragma once

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

struct Outcome {
  int status = -1;  // exit status, or -1 when ended by a signal; kTimedOut past the time limit
  std::string out, err;
  std::string file;  // the output file's bytes
  bool file_exists = false;
};

inline std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void Spit(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// The exit status of a run stopped at its time limit (timeout's).
constexpr int kTimedOut = 124;

// A fresh directory per test, removed afterwards.
class Scratch {
 public:
  Scratch() {
    static std::mt19937_64 rng{std::random_device{}()};
    dir_ = fs::temp_directory_path() / ("graphtest-" + std::to_string(rng()));
    fs::create_directories(dir_);
  }
  ~Scratch() { fs::remove_all(dir_); }
  const fs::path& dir() const { return dir_; }

  // Runs `program` here with no arguments and no standard input, after the
  // shell commands `setup` (limits, say), its standard output to `out`;
  // stops it after `seconds`, so that a program that hangs fails its test
  // rather than the whole suite. Every run here takes well under a second
  // (a few under the sanitizers).
  Outcome Exec(const std::string& program, const std::string& output_name, const std::string& setup = "true",
               const std::string& out = "stdout.txt", int seconds = 30) const {
    std::string command = "cd '" + dir_.string() + "' && " + setup + " && exec timeout -k 5 " +
                          std::to_string(seconds) + " '" + program + "' >" + out + " 2>stderr.txt </dev/null";
    int raw = std::system(command.c_str());
    Outcome run;
    if (WIFEXITED(raw)) run.status = WEXITSTATUS(raw);
    run.out = Slurp(dir_ / "stdout.txt");
    run.err = Slurp(dir_ / "stderr.txt");
    fs::path output = dir_ / output_name;
    run.file_exists = fs::exists(fs::symlink_status(output));
    if (fs::is_regular_file(output)) run.file = Slurp(output);
    return run;
  }

 private:
  fs::path dir_;
};

// Built with AddressSanitizer, whose shadow memory exceeds any address-space
// limit a test could set.
inline bool Sanitized() {
#if defined(__SANITIZE_ADDRESS__)
  return true;
#endif
  return false;
}

// A program under test, its fixed file names, and what it prints on
// standard output once its input has been read.
struct Program {
  std::string path, input, output, banner;

  // The name it prints its messages under.
  std::string Name() const { return path.substr(path.rfind('/') + 1); }

  // Runs the program on `text` as its input file in a fresh directory that
  // holds a stale output file, which every run must replace or empty.
  Outcome Run(const std::string& text, int seconds = 30) const {
    Scratch scratch;
    Spit(scratch.dir() / input, text);
    Spit(scratch.dir() / output, "stale result");
    return scratch.Exec(path, output, "true", "stdout.txt", seconds);
  }
};

inline const Program kDistance{DISTANCE_PROGRAM, "mirtavosken.in", "mirtavosken.out", "80"};
inline const Program kPathCount{PATHCOUNT_PROGRAM, "9-quembol.in", "quembol.out", ""};

// A run that succeeds with exactly `expected_file` in the output file and
// `expected_out` on standard output, and nothing on standard error.
#define EXPECT_SUCCESS(program, input, expected_file, expected_out) \
  do {                                                               \
    Outcome run_ = (program).Run(input);                             \
    EXPECT_EQ(run_.status, 0) << (input) << run_.err;                \
    EXPECT_EQ(run_.file, expected_file) << (input);                  \
    EXPECT_EQ(run_.out, expected_out) << (input);                    \
    EXPECT_EQ(run_.err, "") << (input);                              \
  } while (0)

// A failed run: status 1, one line on standard error starting with `prefix`,
// and an empty output file.
#define EXPECT_REFUSED(run, prefix)                                      \
  do {                                                                   \
    EXPECT_EQ((run).status, 1) << (run).err;                             \
    EXPECT_EQ((run).err.rfind(prefix, 0), 0u) << (run).err;              \
    EXPECT_EQ(std::count((run).err.begin(), (run).err.end(), '\n'), 1);  \
    EXPECT_EQ((run).file, "");                                           \
  } while (0)

struct Edge {
  int x, y;
  long long c;
};

// `header` followed by one line per edge.
inline std::string GraphText(const std::string& header, const std::vector<Edge>& edges) {
  std::string text = header + "\n";
  for (const Edge& e : edges)
    text += std::to_string(e.x) + " " + std::to_string(e.y) + " " + std::to_string(e.c) + "\n";
  return text;
}
