// The records of a graph file's body, in either format, one arc or edge at
// a time: the same loop reads both, each record with the messages its
// format calls for.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "dimacs_reader.hpp"
#include "int_reader.hpp"

namespace wgt {

// The triples "x y c" of a native file, named "edge" in messages.
class NativeRecords {
 public:
  static constexpr const char* kRecord = "edge";
  explicit NativeRecords(IntReader& in) : in_(in) {}

  // Record i (from 0) of m. Inlined by force: out of line, the reader of
  // every integer costs a call, and GCC stops inlining it once the file
  // holds more code.
  [[gnu::always_inline]] void Next(std::int32_t i, std::int32_t m, std::int32_t& x, std::int32_t& y, std::int32_t& c) {
    auto read = [&](std::int32_t& value) __attribute__((always_inline)) {
      if (!in_.Next(value)) [[unlikely]]
        FailEnd(i, m);
    };
    read(x), read(y), read(c);
  }
  void Finish(std::int32_t) {}  // nothing after the m-th triple is read

 private:
  [[noreturn, gnu::cold, gnu::noinline]] void FailEnd(std::int32_t i, std::int32_t m) const {
    in_.FailAtEnd("file ends after " + std::to_string(i) + " of " + std::to_string(m) + " edges");
  }
  IntReader& in_;
};

// The arc lines "a x y c" of a DIMACS file, named "arc" in messages.
class DimacsRecords {
 public:
  static constexpr const char* kRecord = "arc";
  explicit DimacsRecords(DimacsReader reader) : reader_(std::move(reader)) {}

  [[gnu::always_inline]] void Next(std::int32_t i, std::int32_t m, std::int32_t& x, std::int32_t& y, std::int32_t& c) {
    reader_.NextArc(i, m, x, y, c);
  }
  void Finish(std::int32_t m) { reader_.Finish(m); }

 private:
  DimacsReader reader_;
};

}  // namespace wgt
