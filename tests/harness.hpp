// Test harness: runs a built program in a scratch directory and captures
// everything it leaves behind, and writes graphs as input text.
#pragma once

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
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

// What a run's child does in the scratch directory before the program
// starts: its standard output, limits, cgroup and user.
struct Setup {
  std::string out = "stdout.txt";  // relative to the scratch directory, or absolute (/dev/full)
  rlim_t address_space = 0;        // RLIMIT_AS in bytes, where not 0
  int umask = -1;                  // the file mode creation mask, where not -1
  std::string cgroup = "";         // a cgroup directory to enter, where not empty
  uid_t uid = 0;                   // the user to run as, with group `gid`, where not 0 (needs root)
  gid_t gid = 0;
};

// A fresh directory per test, removed afterwards.
class Scratch {
 public:
  Scratch() {
    std::string pattern = (fs::temp_directory_path() / "graphtest-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp: " + std::string(std::strerror(errno)));
    dir_ = pattern;
  }
  ~Scratch() {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  const fs::path& dir() const { return dir_; }

  // Runs argv[0] (a path, or a command looked up in PATH) with its arguments here, with no standard input, its
  // standard error to stderr.txt, after `setup`; stops it after `seconds`,
  // so that a program that hangs fails its test rather than the whole
  // suite. Every run here takes well under a second (a few under the
  // sanitizers).
  Outcome Exec(const std::vector<std::string>& argv, const std::string& output_name, const Setup& setup = {},
               int seconds = 30) const {
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const std::string procs = setup.cgroup.empty() ? "" : setup.cgroup + "/cgroup.procs";
    std::fflush(nullptr);  // or the child writes the parent's buffered output, which counts as its own
    const pid_t pid = fork();
    if (pid == 0) StartChild(args, setup, procs);  // never returns
    Outcome run;
    run.status = Wait(pid, seconds);
    run.out = setup.out[0] == '/' ? "" : Slurp(dir_ / setup.out);
    run.err = Slurp(dir_ / "stderr.txt");
    fs::path output = dir_ / output_name;
    run.file_exists = fs::exists(fs::symlink_status(output));
    if (fs::is_regular_file(output)) run.file = Slurp(output);
    return run;
  }

 private:
  // In the child of a process that may have threads: system calls only.
  [[noreturn]] void StartChild(const std::vector<char*>& args, const Setup& setup, const std::string& procs) const {
    setpgid(0, 0);  // so that a time limit stops whatever the program started too
    if (chdir(dir_.c_str()) != 0) _exit(126);
    const int in = open("/dev/null", O_RDONLY), out = open(setup.out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644),
              err = open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(126);
    if (!procs.empty()) {
      char text[24], *end = text + sizeof text, *p = end;
      for (pid_t self = getpid(); self > 0 || p == end; self /= 10) *--p = char('0' + self % 10);
      const int fd = open(procs.c_str(), O_WRONLY);
      if (fd < 0 || write(fd, p, std::size_t(end - p)) != end - p) _exit(126);
      close(fd);
    }
    if (setup.address_space != 0) {
      const rlimit limit{setup.address_space, setup.address_space};
      if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(126);
    }
    if (setup.umask >= 0) umask(mode_t(setup.umask));
    if (setup.uid != 0 && (setgroups(0, nullptr) != 0 || setresgid(setup.gid, setup.gid, setup.gid) != 0 ||
                           setresuid(setup.uid, setup.uid, setup.uid) != 0))
      _exit(126);
    execvp(args[0], args.data());
    _exit(127);
  }

  // The exit status, -1 for a signal, kTimedOut once stopped at the limit.
  static int Wait(pid_t pid, int seconds) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    int raw = 0;
    while (waitpid(pid, &raw, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > limit) {
        kill(-pid, SIGKILL);
        waitpid(pid, &raw, 0);
        return kTimedOut;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }

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
    return scratch.Exec({path}, output, {}, seconds);
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

// The same edges as a DIMACS file's arcs, in the same order.
inline std::string DimacsText(int n, const std::vector<Edge>& edges) {
  std::string text = "c a graph\np sp " + std::to_string(n) + " " + std::to_string(edges.size()) + "\n";
  for (const Edge& e : edges) text += "a " + std::to_string(e.x) + " " + std::to_string(e.y) + " " + std::to_string(e.c) + "\n";
  return text;
}

using Files = std::map<std::string, std::string>;

// The files of a scratch directory, the run's own streams left out.
inline Files DirectoryFiles(const Scratch& scratch) {
  Files files;
  for (const auto& entry : fs::directory_iterator(scratch.dir())) {
    const std::string name = entry.path().filename().string();
    if (name != "stdout.txt" && name != "stderr.txt") files[name] = Slurp(entry.path());
  }
  return files;
}

// Runs argv in a directory that holds `files`: the outcome, and what the
// directory holds after.
inline std::pair<Outcome, Files> RunIn(const std::vector<std::string>& argv, const std::string& output,
                                       const Files& files) {
  Scratch scratch;
  for (const auto& [name, bytes] : files) Spit(scratch.dir() / name, bytes);
  Outcome run = scratch.Exec(argv, output);
  return {run, DirectoryFiles(scratch)};
}
