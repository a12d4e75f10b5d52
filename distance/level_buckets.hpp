// Dial's buckets (1969) for a shortest-path closure whose distances are
// whole levels 1..top: nodes sit in doubly linked lists, one a level, and
// are taken from the highest level down. A node's level may only rise, and
// never above the level being taken, as in Dijkstra's method with
// non-negative integer lengths counted downwards. A node taken keeps the
// level it was taken at, in the same word, until it is forgotten: the
// closure's result, read where the closure reads whether a node is settled.
// Every table is a borrowed scratch table (iteration_scratch.hpp): the
// lists' links, the levels' first nodes and each node's level, which is 0
// everywhere between closures.
//
// Preconditions: nodes 0..size-1, levels 1..size-1; a node taken is not put
// again before it is forgotten; the scratch tables ahead, behind and heads
// free from Open until every node is taken, and level from Open until every
// node is forgotten. Put and Take O(1), a sweep O(top); no memory besides
// the scratch tables.
#pragma once

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>

#include "iteration_scratch.hpp"
#include "memory.hpp"

namespace wgt {

class LevelBuckets {
 public:
  static constexpr std::int32_t kEmpty = -1;  // no node: the end of a level's list

  explicit LevelBuckets(IterationScratch& scratch)
      : next_(scratch.ahead), prev_(scratch.behind), level_(scratch.level), head_(scratch.heads) {}

  // Empties levels 1..top, which must hold no node, and no node taken
  // may be left unforgotten.
  void Open(std::int32_t top) {
    assert(top >= 0 && std::size_t(top) < head_.size());
    for (std::int32_t level = 0; level <= top; ++level) head_[std::size_t(level)] = kEmpty;
    top_ = top;
  }
  // The level v sits at, or 0 where it sits at none.
  std::int32_t Level(std::int32_t v) const { return std::max(level_[v], 0); }
  // The level v was taken at, or 0 where it was not taken since forgotten.
  std::int32_t TakenAt(std::int32_t v) const { return std::max(-level_[v], 0); }
  void Forget(std::int32_t v) { level_[v] = 0; }
  // Puts v at `level`, taking it from the level it sat at.
  void Put(std::int32_t v, std::int32_t level) {
    assert(level >= 1 && level <= top_ && level_[v] >= 0);
    if (level_[v] != 0) Unlink(v);
    level_[v] = level;
    prev_[v] = kEmpty;
    next_[v] = head_[std::size_t(level)];
    if (next_[v] != kEmpty) prev_[next_[v]] = v;
    head_[std::size_t(level)] = v;
  }
  // Takes a node from `level`, or kEmpty when none sits there.
  std::int32_t Take(std::int32_t level) {
    const std::int32_t v = head_[std::size_t(level)];
    if (v != kEmpty) {
      Unlink(v);
      level_[v] = -level;
    }
    return v;
  }

 private:
  void Unlink(std::int32_t v) {
    if (prev_[v] != kEmpty)
      next_[prev_[v]] = next_[v];
    else
      head_[std::size_t(level_[v])] = next_[v];
    if (next_[v] != kEmpty) prev_[next_[v]] = prev_[v];
  }

  HugeArray<std::int32_t>& next_;  // links on, and back
  HugeArray<std::int32_t>& prev_;
  HugeArray<std::int32_t>& level_;  // where a node sits; minus where it was taken; 0 for neither
  HugeArray<std::int32_t>& head_;   // each level's first node
  std::int32_t top_ = 0;
};

}  // namespace wgt
