// Dial's buckets (1969) for a shortest-path closure whose distances are
// whole levels 1..top: nodes sit in doubly linked lists, one a level, and
// are taken from the highest level down. A node's level may only rise, and
// never above the level being taken, as in Dijkstra's method with
// non-negative integer lengths counted downwards. A node taken keeps the
// level it was taken at, in the same word, until it is forgotten: the
// closure's result, read where the closure reads whether a node is settled.
// The lists' links are borrowed scratch tables (iteration_scratch.hpp),
// which hold nothing between closures.
//
// Preconditions: nodes 0..size-1, levels 1..size; a node taken is not put
// again before it is forgotten; the scratch tables ahead and behind free
// from Open until every node is taken. Put and Take O(1), a sweep O(top);
// memory kBytesPerNode a node besides the scratch tables, the heads of the
// levels included.
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
  static constexpr std::uint64_t kBytesPerNode = 2 * sizeof(std::int32_t);
  static constexpr std::int32_t kEmpty = -1;  // no node: the end of a level's list

  LevelBuckets(std::size_t nodes, IterationScratch& scratch)
      : next_(scratch.ahead), prev_(scratch.behind), level_(nodes, Touch::kSparse), head_(nodes + 1, Touch::kSparse) {}

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

  HugeArray<std::int32_t>& next_;  // borrowed, as are the links back
  HugeArray<std::int32_t>& prev_;
  HugeArray<std::int32_t> level_;  // where a node sits; minus where it was taken; 0 for neither
  HugeArray<std::int32_t> head_;  // each level's first node
  std::int32_t top_ = 0;
};

}  // namespace wgt
