// Inputs as files: a corpus of worked examples, edge cases, refusals and
// hostile shapes replayed on every run; and shapes too large or too odd to
// keep as files (long lines, FIFOs, endless devices).
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <thread>

#include "harness.hpp"

namespace {

// Each NAME.in either succeeds with exactly NAME.out in the output file, or
// fails with one line on standard error that starts with NAME.err. The
// banner on standard output comes once the input is read: with a result or
// a negative cycle, never with a refused input.
void Replay(const Program& program, const std::string& corpus) {
  int replayed = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(CORPUS_DIR) / corpus)) {
    if (entry.path().extension() != ".in") continue;
    ++replayed;
    Scratch scratch;
    fs::copy_file(entry.path(), scratch.dir() / program.input);
    Spit(scratch.dir() / program.output, "stale");
    Outcome run = scratch.Exec({program.path}, program.output);
    fs::path err = fs::path(entry.path()).replace_extension(".err");
    SCOPED_TRACE(entry.path().string());
    if (fs::exists(err)) {
      EXPECT_REFUSED(run, Slurp(err));
      EXPECT_EQ(run.out, run.err.find(": negative cycle ") != std::string::npos ? program.banner : "");
    } else {
      EXPECT_EQ(run.status, 0) << run.err;
      EXPECT_EQ(run.err, "");
      EXPECT_EQ(run.file, Slurp(fs::path(entry.path()).replace_extension(".out")));
      EXPECT_EQ(run.out, program.banner);
    }
  }
  EXPECT_GT(replayed, 25);
}

TEST(Corpus, Distance) { Replay(kDistance, "distance"); }
TEST(Corpus, PathCount) { Replay(kPathCount, "pathcount"); }

// A path 1 -> 2 -> ... -> n of unit costs, all on one line of many megabytes.
TEST(HostileInput, ManyMegabytesOnOneLine) {
  const int n = 700000;
  std::string text = std::to_string(n) + " " + std::to_string(n - 1);
  std::string expected;
  for (int v = 1; v < n; ++v) {
    text += " " + std::to_string(v) + " " + std::to_string(v + 1) + " 1";
    expected += std::to_string(v) + " ";
  }
  ASSERT_GT(text.size(), 8u << 20);
  Outcome run = kDistance.Run(text);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.file == expected);
}

// Leading zeros are accepted however many there are, across read blocks.
TEST(HostileInput, TokenOfSeveralMegabytes) {
  Scratch scratch;
  Spit(scratch.dir() / kPathCount.input, "2 1 1 2\n1 2 " + std::string(3 << 20, '0') + "7\n");
  Outcome run = scratch.Exec({kPathCount.path}, kPathCount.output);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.file, "1");

  Spit(scratch.dir() / kPathCount.input, "2 1 1 2\n1 2 " + std::string(3 << 20, '9') + "\n");
  run = scratch.Exec({kPathCount.path}, kPathCount.output);
  EXPECT_REFUSED(run, "quembol: 9-quembol.in:2: '999999999999999999999999...' is out of range");
}

// A malformed token is quoted whole wherever it falls across the reader's
// 128 KiB blocks (here at the 1 MiB and 2 MiB marks), and on the right line.
TEST(HostileInput, TokensSplitAcrossReadBlocksAreQuotedWhole) {
  const std::string tokens[] = {"1.5", "abc", "+-3", "12x", "0000000000000000000000000000007y"};
  for (const std::string& token : tokens) {
    std::string shown = token.size() > 24 ? token.substr(0, 24) + "..." : token;
    for (std::size_t boundary : {std::size_t(1) << 20, std::size_t(2) << 20})
      for (std::size_t before = 1; before < std::min<std::size_t>(token.size(), 25); ++before) {
        std::string text = "3 1\n1 2";
        text += std::string(boundary - before - text.size(), ' ') + token + "\n";
        Outcome run = kDistance.Run(text);
        EXPECT_REFUSED(run, "mirtavosken2: mirtavosken.in:2: '" + shown + "' is not an integer\n");
      }
  }
}

// Tokens of every length from 1 to 10 digits, with signs, leading zeros
// and every kind of white space, read exactly: the costs of many parallel
// arcs, of which the cheapest wins. Malformed and out-of-range tokens in
// the middle of a file are quoted whole, at every length.
TEST(HostileInput, TokensOfEveryLengthAreReadExactly) {
  std::mt19937 rng(8);
  auto pick = [&](const std::string& from) { return from[rng() % from.size()]; };
  auto spaces = [&] { return std::string(1 + rng() % 3, ' ') + pick(" \t\n\v\f\r"); };
  auto format = [&](long long value) {  // sign, leading zeros
    std::string digits = std::string(rng() % 4 == 0 ? rng() % 3 : 0, '0') + std::to_string(std::llabs(value));
    return (value < 0 ? "-" : rng() % 4 == 0 ? "+" : "") + digits;
  };
  long long cheapest[2] = {LLONG_MAX, LLONG_MAX};
  std::string text = "3 2000";
  for (int i = 0; i < 2000; ++i) {
    const int to = 2 + i % 2, length = 1 + int(rng() % 10);
    long long value = 0;
    for (int d = 0; d < length; ++d) value = value * 10 + (d == 0 ? 1 + rng() % 9 : rng() % 10);
    value = std::min<long long>(value, INT32_MAX) * (rng() % 2 ? -1 : 1);
    cheapest[to - 2] = std::min(cheapest[to - 2], value);
    text += spaces() + format(1) + spaces() + format(to) + spaces() + format(value);
  }
  Outcome run = kDistance.Run(text + "\n");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.file, std::to_string(cheapest[0]) + " " + std::to_string(cheapest[1]) + " ");

  const std::string padding(64, ' ');
  // '/' and ':' stand on either side of the digits in ASCII.
  for (const std::string token : {"-", "+", "5-", "12x", "1234567x", "12345678x", "123456789x", "1234567890x", "1:",
                                  "12:3", "/5", "1/2", "1234567:", "-7/"}) {
    run = kDistance.Run("3 2\n1 2 5\n1 3 " + token + padding + "\n" + padding);
    EXPECT_REFUSED(run, "mirtavosken2: mirtavosken.in:3: '" + token + "' is not an integer\n");
  }
  for (const std::string token : {"2147483648", "-2147483649", "99999999999", "0000002147483648"}) {
    run = kDistance.Run("3 2\n1 2 5\n1 3 " + token + padding + "\n" + padding);
    EXPECT_REFUSED(run, "mirtavosken2: mirtavosken.in:3: '" + token + "' is out of range (-2147483648 to 2147483647)\n");
  }
  run = kDistance.Run("3 2\n1 2 -2147483648" + padding + "\n1 3 +0002147483647" + padding + "\n" + padding);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.file, "-2147483648 2147483647 ");
}

// A slow producer behind a FIFO. The writer gives up after 10 s, so that a
// program that never opens its input fails the test rather than hanging it.
TEST(HostileInput, FifoWithAWriter) {
  Scratch scratch;
  fs::path fifo = scratch.dir() / kPathCount.input;
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::thread writer([&] {
    const std::string text = "4 4 1 4\n1 2 1\n2 4 1\n1 3 1\n3 4 1\n";
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    auto left_ms = [&] {
      return int(std::max<long>(0, std::chrono::duration_cast<std::chrono::milliseconds>(give_up - std::chrono::steady_clock::now()).count()));
    };
    int fd;  // non-blocking: open fails with ENXIO until the program opens its end
    while ((fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK)) < 0 && errno == ENXIO && left_ms() > 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_GE(fd, 0) << "the program never opened its input";
    for (char c : text) {  // in dribs, as a slow producer
      pollfd ready{fd, POLLOUT, 0};
      ASSERT_EQ(poll(&ready, 1, left_ms()), 1) << "the program stopped reading";
      ASSERT_EQ(write(fd, &c, 1), 1);
    }
    close(fd);
  });
  Outcome run = scratch.Exec({kPathCount.path}, kPathCount.output);
  writer.join();
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.file, "2");
}

TEST(HostileInput, EndlessDevices) {
  for (const Program* program : {&kDistance, &kPathCount}) {
    Scratch zero;
    fs::create_symlink("/dev/zero", zero.dir() / program->input);
    Outcome run = zero.Exec({program->path}, program->output);
    EXPECT_REFUSED(run, program->Name() + ": " + program->input +
                            ":1: '\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00");
  }
}

}  // namespace
