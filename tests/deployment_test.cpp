// How the programs behave where they are deployed: under memory limits,
// killed mid-run, with a standard output that fails.
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <tuple>

#include "harness.hpp"

namespace {

struct Case {
  const Program& program;
  std::string name, big_header, small_graph, small_result;
};

const Case kCases[] = {
    {kDistance, "mirtavosken2", "4000000 20000000\n1 2 3\n", "3 3\n1 2 5\n2 3 -2\n1 3 4\n", "5 3 "},
    {kPathCount, "quembol", "4000000 20000000 1 2\n1 2 3\n", "4 4 1 4\n1 2 1\n2 4 1\n1 3 1\n3 4 1\n", "2"},
};

std::string Refusal(const Case& c) {
  return c.name + ": " + c.program.input + ":1: 4000000 nodes and 20000000 edges need ";
}

// Under the limit that `setup` sets, a 4M-node header is refused, naming
// the limit, and a small graph is answered under `small_setup`.
void ExpectRefusedThenFits(const Setup& setup, const Setup& small_setup, const std::string& limit) {
  for (const Case& c : kCases) {
    Scratch big;
    Spit(big.dir() / c.program.input, c.big_header);
    Outcome run = big.Exec({c.program.path}, c.program.output, setup);
    EXPECT_REFUSED(run, Refusal(c));
    EXPECT_NE(run.err.find("of memory; the limit is 0.10 GiB (" + limit + ")\n"), std::string::npos) << run.err;
    Scratch small;  // tight, but enough
    Spit(small.dir() / c.program.input, c.small_graph);
    run = small.Exec({c.program.path}, c.program.output, small_setup);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.file, c.small_result);
  }
}

TEST(MemoryBudget, AddressSpaceLimitRefusesAtTheHeader) {
  if (Sanitized()) GTEST_SKIP() << "the sanitizers' shadow memory exceeds any address-space limit";
  ExpectRefusedThenFits({.address_space = 100 << 20}, {.address_space = 64 << 20}, "RLIMIT_AS");
}

// Under address-space limits from just above the smallest at which the
// program loads at all up to those at which the header is refused, every
// run ends with its one-line message and status 1, the stale output
// emptied: not an abort where the program's own buffers are made before
// main, nor a stale result where the input's buffer does not fit. (The
// first 512 KiB above the loader's limit are left out: near it the C++
// runtime cannot even throw.)
TEST(MemoryBudget, TheSmallestAddressSpacesEndWithAMessage) {
  if (Sanitized()) GTEST_SKIP() << "the sanitizers' shadow memory exceeds any address-space limit";
  constexpr rlim_t kStep = 64 << 10;
  for (const Case& c : kCases) {
    auto run = [&](rlim_t limit) {
      Scratch scratch;
      Spit(scratch.dir() / c.program.input, c.small_graph);
      Spit(scratch.dir() / c.program.output, "stale result");
      return scratch.Exec({c.program.path}, c.program.output, {.address_space = limit});
    };
    std::vector<std::pair<rlim_t, Outcome>> runs;
    rlim_t loader = 0;  // the largest limit at which the dynamic loader fails (127)
    for (rlim_t limit = kStep; limit <= (rlim_t(8) << 20); limit += kStep) {
      runs.emplace_back(limit, run(limit));
      if (runs.back().second.status == 127) loader = limit;
    }
    ASSERT_GT(loader, 0u) << "no limit small enough to stop the loader";
    for (const auto& [limit, outcome] : runs) {
      if (limit < loader + 8 * kStep) continue;
      EXPECT_REFUSED(outcome, c.name + ": ");
      ASSERT_FALSE(HasFailure()) << c.name << " at " << limit / 1024 << " KiB";
    }
  }
}

// A memory cgroup of `bytes` (a multiple of the page size), where this
// machine lets the test make one.
class MemoryCgroup {
 public:
  explicit MemoryCgroup(long bytes = 100 << 20) {
    const std::pair<fs::path, std::string> kinds[] = {{"/sys/fs/cgroup/memory", "memory.limit_in_bytes"},
                                                      {"/sys/fs/cgroup", "memory.max"}};
    for (const auto& [root, limit_file] : kinds) {
      if (!fs::exists(root / limit_file) && !fs::exists(root / "cgroup.subtree_control")) continue;
      fs::path dir = root / ("graphtest-" + std::to_string(getpid()));
      std::error_code error;
      if (!fs::create_directory(dir, error)) continue;
      std::ofstream(dir / limit_file) << bytes;
      if (Slurp(dir / limit_file).rfind(std::to_string(bytes), 0) == 0) {
        dir_ = dir;
        return;
      }
      fs::remove(dir, error);
    }
  }
  ~MemoryCgroup() {
    std::error_code error;
    if (!dir_.empty()) fs::remove(dir_, error);
  }
  bool Usable() const { return !dir_.empty(); }
  Setup Enter() const { return {.cgroup = dir_.string()}; }

 private:
  fs::path dir_;
};

TEST(MemoryBudget, CgroupLimitRefusesAtTheHeader) {
  MemoryCgroup cgroup;
  if (!cgroup.Usable()) GTEST_SKIP() << "no writable memory cgroup here (needs root and a cgroup file system)";
  ExpectRefusedThenFits(cgroup.Enter(), cgroup.Enter(), "cgroup");
}

// S and D each joined to one side of a complete bipartite middle, costs
// chosen so that every node of the far side is lowered once per node of the
// near side, from both ends: heaps that kept outdated entries would hold one
// per edge, about 35 MiB more than the check allows for. Under a cgroup of
// 56 MiB the count must come, not a kill by the kernel.
TEST(MemoryBudget, HeapsStayWithinTheCheckOnABipartiteMiddle) {
  if (Sanitized()) GTEST_SKIP() << "the sanitizers' own memory exceeds the limit";
  MemoryCgroup cgroup(56 << 20);
  if (!cgroup.Usable()) GTEST_SKIP() << "no writable memory cgroup here (needs root and a cgroup file system)";
  const int side = 1500, k = 4 * side + 1;  // nodes: S = 1, D = 2, then each side
  std::string text = std::to_string(2 + 2 * side) + " " + std::to_string(side * (side + 2)) + " 1 2\n";
  for (int i = 1; i <= side; ++i) text += "1 " + std::to_string(2 + i) + " " + std::to_string(i) + "\n";
  for (int j = 1; j <= side; ++j) text += "2 " + std::to_string(2 + side + j) + " " + std::to_string(j) + "\n";
  for (int i = 1; i <= side; ++i)
    for (int j = 1; j <= side; ++j)
      text += std::to_string(2 + i) + " " + std::to_string(2 + side + j) + " " + std::to_string(k - 2 * i - 2 * j) + "\n";
  Scratch scratch;
  Spit(scratch.dir() / kPathCount.input, text);
  Outcome run = scratch.Exec({kPathCount.path}, kPathCount.output, cgroup.Enter());
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.file, "1");  // the one path S - side 1's last - side 2's last - D
}

// A new output follows the umask; an existing one keeps its mode.
TEST(OutputFile, ModeFollowsTheUmaskOrStays) {
  for (const Case& c : kCases) {
    // umask, the existing output's mode or 0 for none, the mode expected
    for (auto [umask, before, after] : {std::tuple{077, 0, 0600}, {022, 0, 0644}, {077, 0640, 0640}}) {
      Scratch scratch;
      Spit(scratch.dir() / c.program.input, c.small_graph);
      if (before != 0) Spit(scratch.dir() / c.program.output, "an earlier result");
      if (before != 0) fs::permissions(scratch.dir() / c.program.output, fs::perms(before));
      Outcome run = scratch.Exec({c.program.path}, c.program.output, {.umask = umask});
      EXPECT_EQ(run.file, c.small_result);
      EXPECT_EQ(fs::status(scratch.dir() / c.program.output).permissions(), fs::perms(after)) << c.name << umask;
    }
  }
}

// In a sticky directory such as /tmp, an output that another user owns may
// be written but not replaced: the run must still deliver its whole result.
TEST(OutputFile, StickyDirectoryOutputOfAnotherUserIsWrittenInto) {
  const passwd* entry = getpwnam("nobody");  // the record is overwritten by the next call
  const uid_t owner = entry ? entry->pw_uid : 0, owner_group = entry ? entry->pw_gid : 0;
  entry = getpwnam("daemon");
  const uid_t runner = entry ? entry->pw_uid : 0, runner_group = entry ? entry->pw_gid : 0;
  if (geteuid() != 0 || owner == 0 || runner == 0)
    GTEST_SKIP() << "needs root, and the users nobody and daemon, to run as another user";
  for (const Case& c : kCases) {
    Scratch scratch;
    fs::permissions(scratch.dir(), fs::perms(01777));
    Spit(scratch.dir() / c.program.input, c.small_graph);
    fs::path output = scratch.dir() / c.program.output;
    Spit(output, "an earlier result");
    fs::permissions(output, fs::perms(0666));
    ASSERT_EQ(chown(output.c_str(), owner, owner_group), 0);
    // A copy beside the files: the build tree may lie where the other user
    // cannot reach it (a folder of mode 0700 from mktemp, say).
    const fs::path program = scratch.dir() / fs::path(c.program.path).filename();
    fs::copy_file(c.program.path, program);
    fs::permissions(program, fs::perms(0755));
    Outcome run = scratch.Exec({program.string()}, c.program.output, {.uid = runner, .gid = runner_group});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.file, c.small_result) << c.name;
    struct stat after {};
    ASSERT_EQ(stat(output.c_str(), &after), 0);
    EXPECT_EQ(after.st_uid, owner) << "replaced rather than written into";
    for (const auto& file : fs::directory_iterator(scratch.dir()))
      EXPECT_NE(file.path().filename().string()[0], '.') << "left behind: " << file.path();
  }
}

TEST(StandardOutput, AFailedEightyIsReported) {
  Scratch scratch;
  Spit(scratch.dir() / kDistance.input, "2 1\n1 2 5\n");
  Outcome run = scratch.Exec({kDistance.path}, kDistance.output, {.out = "/dev/full"});
  EXPECT_REFUSED(run, "mirtavosken2: standard output: No space left on device\n");
}

// Bytes the process has asked to write so far.
long long WrittenBytes(pid_t pid) {
  std::ifstream io("/proc/" + std::to_string(pid) + "/io");
  for (std::string key; io >> key;) {
    long long value = 0;
    io >> value;
    if (key == "wchar:") return value;
  }
  return -1;
}

pid_t Start(const Scratch& scratch, const std::string& program) {
  std::fflush(nullptr);  // or the child writes the parent's buffered output, which counts as its own
  pid_t pid = fork();
  if (pid == 0) {
    if (chdir(scratch.dir().c_str()) != 0) _exit(127);
    freopen("/dev/null", "w", stdout);
    execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

// A run killed at any moment leaves its output empty or whole.
TEST(KilledRun, LeavesTheOutputEmptyOrWhole) {
  const int n = 400000;  // a path with a branch at every node: several MiB of report
  std::string text = std::to_string(n) + " " + std::to_string(2 * (n - 1)) + "\n";
  for (int v = 1; v < n; ++v)
    text += std::to_string(v) + " " + std::to_string(v + 1) + " 1\n" + std::to_string(v) + " " +
            std::to_string(1 + (v * 7LL) % n) + " 500000\n";
  Scratch complete;
  Spit(complete.dir() / kDistance.input, text);
  const std::string whole = complete.Exec({kDistance.path}, kDistance.output).file;
  ASSERT_GT(whole.size(), 2u << 20);

  // Killed while reading, while relaxing, and as soon as the first bytes of
  // the report were written, then at growing times after.
  const long long written_marks[] = {-1, 0, 1, 1 << 20, 2 << 20};
  int empty_seen = 0;
  for (long long mark : written_marks) {
    for (int delay_ms : {0, 1, 3}) {
      Scratch scratch;
      Spit(scratch.dir() / kDistance.input, text);
      pid_t pid = Start(scratch, kDistance.path);
      auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(5);
      if (mark >= 0)  // "80" on standard output comes first
        for (long long w; (w = WrittenBytes(pid)) >= 0 && w <= mark + 2 && std::chrono::steady_clock::now() < give_up;)
          std::this_thread::yield();
      std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms));
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
      std::string left = Slurp(scratch.dir() / kDistance.output);
      EXPECT_TRUE(fs::exists(scratch.dir() / kDistance.output) || mark < 0) << "mark " << mark;
      EXPECT_TRUE(left.empty() || left == whole) << "mark " << mark << ", " << left.size() << " bytes left";
      empty_seen += left.empty();
      // Killed in the instant between naming the finished report and
      // renaming it, a whole copy may stand under a hidden name; never a part.
      for (const auto& entry : fs::directory_iterator(scratch.dir()))
        if (entry.path().filename().string()[0] == '.') { EXPECT_EQ(Slurp(entry.path()), whole) << entry.path(); }
    }
  }
  EXPECT_GT(empty_seen, 0);
}

}  // namespace
