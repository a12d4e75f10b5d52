// The closure of one iteration of a refinement (potential_refinement.hpp):
// from starting levels -h(v) >= 1 on some nodes, each node's level
// g(v) = max over w of (level(w) - the cheapest path w ~> v), in reduced
// costs where arcs of -1 count 0, by Dijkstra's method on Dial's buckets
// (level_buckets.hpp) counted downwards; then p(v) -= g(v). Where asked
// for, each node settled links to the arc that gave it its level: the
// closure's tree, which only Goldberg's path needs, and which is left
// untouched otherwise.
//
// Preconditions: nodes 1..size-1; levels at most the top given to Open,
// which is under size; the scratch tables free from Open to Clear
// (iteration_scratch.hpp), which hold the levels, the nodes settled and
// the tree. Time O(top + nodes settled + their arcs); no memory besides
// the scratch tables.
#pragma once

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>

#include "iteration_scratch.hpp"
#include "level_buckets.hpp"
#include "memory.hpp"
#include "scaled_component.hpp"

namespace wgt {

class DialClosure {
 public:
  explicit DialClosure(IterationScratch& scratch) : buckets_(scratch), settled_(scratch.list), link_(scratch.link) {}

  // Levels 1..top, every one empty.
  void Open(std::int32_t top) { buckets_.Open(top); }
  // v starts at `level`, the highest it is given so far.
  void Start(std::int32_t v, std::int32_t level) {
    if (level > buckets_.Level(v)) buckets_.Put(v, level);
  }

  // The closure from the levels started, the highest first; lowers p(v)
  // by the level each node is settled at, and keeps the tree where
  // kKeepTree.
  template <bool kKeepTree>
  void Close(const ScaledComponent& c, std::int32_t top, std::uint64_t& work) {
    kept_tree_ = kKeepTree;
    for (std::int32_t level = top; level >= 1; --level) {
      for (std::int32_t u; (u = buckets_.Take(level)) != LevelBuckets::kEmpty;) {
        settled_[settled_count_++] = u;
        work += 1 + c.Row(u).size();
        for (const Arc& a : c.Row(u)) {
          if (!c.Inside(a) || buckets_.TakenAt(a.to) != 0) continue;
          const std::int64_t next = level - std::max<std::int64_t>(c.Reduced(u, a), 0);
          if (next <= buckets_.Level(a.to)) continue;
          buckets_.Put(a.to, std::int32_t(next));
          if constexpr (kKeepTree) link_[a.to] = {u, c.Index(a)};
        }
      }
    }
    for (std::size_t i = 0; i < settled_count_; ++i) c.p[settled_[i]] -= buckets_.TakenAt(settled_[i]);
  }

  // The arc that gave v its level in the last closure, which kept its
  // tree; a tail of kNoNode where v started at it.
  Link TreeLink(std::int32_t v) const {
    assert(kept_tree_);
    return link_[v];
  }

  // Forgets the last closure.
  void Clear() {
    for (std::size_t i = 0; i < settled_count_; ++i) {
      buckets_.Forget(settled_[i]);
      if (kept_tree_) link_[settled_[i]] = {kNoNode, 0};
    }
    settled_count_ = 0;
  }

 private:
  LevelBuckets buckets_;  // which keep each node's drop: the level it was taken at
  HugeArray<std::int32_t>& settled_;  // the nodes settled, in order
  HugeArray<Link>& link_;             // the closure's tree
  std::size_t settled_count_ = 0;
  bool kept_tree_ = false;
};

}  // namespace wgt
