// The shortest-path format of the 9th DIMACS Implementation Challenge, read
// line by line through the integer reader: comment lines "c ...", one
// problem line "p sp NODES ARCS", then arc lines "a TAIL HEAD COST", comments
// anywhere. Each line holds one record; what follows the arcs may only be
// comments. Time O(bytes).
#pragma once

#include <cstdint>
#include <string>

#include "int_reader.hpp"

namespace wgt {

// The format a file's first non-blank character names: 'c' or 'p' starts
// a DIMACS file, anything else (a digit, a sign) a native one.
inline bool LooksLikeDimacs(IntReader& in) {
  const int first = in.Peek();
  return first == 'c' || first == 'p';
}

class DimacsReader {
 public:
  explicit DimacsReader(IntReader& in) : in_(in) {}

  // Reads up to and including the problem line: its node and arc counts.
  // The counts are checked by the caller, like a native header.
  void ReadProblem(std::int32_t& n, std::int32_t& m) {
    for (;;) {
      const int first = in_.Peek();
      if (first < 0) in_.FailAtEnd("file ends before the problem line 'p sp NODES ARCS'");
      const std::string word = in_.NextWord();
      if (first == 'c') {
        in_.SkipLine();
        continue;
      }
      if (word == "a") in_.Fail("arc line before the problem line 'p sp NODES ARCS'");
      if (word != "p") FailLineType(word);
      const long line = in_.Line();
      const std::string problem = in_.NextWord();
      if (problem != "sp" || in_.Line() != line)
        in_.FailAt(line, "problem line names " + (in_.Line() != line ? "no problem" : IntReader::Quote(problem)) +
                             ", not 'sp'");
      if (!in_.NextOnLine(n, line) || !in_.NextOnLine(m, line)) in_.FailAt(line, "problem line needs 'p sp NODES ARCS'");
      line_ = problem_line_ = line;
      return;
    }
  }

  // The next arc line's tail, head and cost; `arcs` of `total` read so far.
  [[gnu::always_inline]] void NextArc(std::int32_t arcs, std::int32_t total, std::int32_t& tail, std::int32_t& head,
                                      std::int32_t& cost) {
    if (!in_.TakeTag('a')) [[unlikely]]
      SkipToArc(arcs, total);
    const long line = in_.Line();
    if (line == line_ || !in_.NextOnLine(tail, line) || !in_.NextOnLine(head, line) || !in_.NextOnLine(cost, line))
        [[unlikely]]
      FailArcLine(line, line == line_);
    line_ = line;
  }

  // After the last arc: comments alone may follow.
  void Finish(std::int32_t total) {
    for (int first; (first = in_.Peek()) >= 0;) {
      if (in_.Line() == line_) FailCrowded(line_);
      const std::string word = in_.NextWord();
      if (first == 'c')
        in_.SkipLine();
      else if (word == "a")
        in_.Fail("more arc lines than the " + std::to_string(total) + " of the problem line");
      else
        FailLineType(word);
    }
  }

 private:
  // Comment lines before an arc line, or what is wrong where none follows.
  [[gnu::noinline]] void SkipToArc(std::int32_t arcs, std::int32_t total) {
    for (;;) {
      const int first = in_.Peek();
      if (first < 0) in_.FailAtEnd("file ends after " + std::to_string(arcs) + " of " + std::to_string(total) + " arcs");
      if (in_.Line() == line_) FailCrowded(line_);
      const std::string word = in_.NextWord();
      if (word == "a") return;
      if (first != 'c') FailLineType(word);
      in_.SkipLine();
    }
  }

  [[noreturn, gnu::cold, gnu::noinline]] void FailArcLine(long line, bool crowded) const {
    if (crowded) FailCrowded(line);
    in_.FailAt(line, "arc line needs 'a TAIL HEAD COST'");
  }

  // More on the line of the last record than it holds.
  [[noreturn, gnu::cold, gnu::noinline]] void FailCrowded(long line) const {
    if (line == problem_line_) in_.FailAt(line, "problem line holds more than 'p sp NODES ARCS'");
    in_.FailAt(line, "arc line holds more than its tail, head and cost");
  }

  [[noreturn, gnu::cold, gnu::noinline]] void FailLineType(const std::string& word) const {
    if (word == "p") in_.Fail("a second problem line");
    in_.Fail("unknown line type " + IntReader::Quote(word) + " (expected c, p or a)");
  }

  IntReader& in_;
  long line_ = 0;          // the line of the last record read
  long problem_line_ = 0;  // the problem line's
};

}  // namespace wgt
