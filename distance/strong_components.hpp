// Strongly connected components by Tarjan's depth-first search (1972),
// without recursion, over the arcs of a graph table that a predicate lets
// through. Components are reported as they close, which is in reverse
// topological order: every arc that leaves a component leads into one
// reported before it. The tables are reused from search to search, and a
// search touches only the nodes it reaches.
//
// Preconditions: nodes 0..size-1 (node 0 included). Time O(nodes reached +
// their arcs); memory kBytesPerNode a node.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "graph.hpp"
#include "memory.hpp"

namespace wgt {

class StrongComponents {
  struct Frame {
    std::int32_t node;
    std::uint32_t next;  // the next arc of its row to look at
  };
  static constexpr std::uint32_t kUnseen = 0, kClosed = UINT32_MAX;  // index_ values besides DFS numbers

 public:
  static constexpr std::uint64_t kBytesPerNode = 3 * sizeof(std::uint32_t) + sizeof(Frame);

  explicit StrongComponents(std::size_t nodes)
      : index_(nodes, Touch::kSparse), low_(nodes, Touch::kSparse), stack_(nodes, Touch::kSparse),
        frames_(nodes, Touch::kSparse) {}

  // Searches from `root`, unless an earlier search since Reset reached it,
  // following the arcs (u, a) of g for which follows(u, a) holds, and calls
  // closed(members) for each component as it closes. Stops early, returning
  // false, when closed returns false. `work` grows by 1 + arcs a node.
  template <class Follows, class Closed>
  bool Search(const Graph& g, std::int32_t root, Follows follows, Closed closed, std::uint64_t& work) {
    if (index_[root] != kUnseen) return true;
    std::size_t depth = 0;
    // Entering v: the search will next look at its heads, so their
    // numbers and row bounds are fetched now.
    auto enter = [&](std::int32_t v) {
      index_[v] = low_[v] = ++counter_;
      stack_[stacked_++] = v;
      frames_[depth++] = {v, 0};
      work += 1 + g[v].size();
      for (const Arc& a : g[v]) __builtin_prefetch(&index_[a.to]), g.PrefetchBounds(a.to);
    };
    enter(root);
    while (depth > 0) {
      Frame& top = frames_[depth - 1];
      const std::int32_t u = top.node;
      const auto row = g[u];
      if (top.next < row.size()) {
        const Arc& a = row[top.next++];
        if (!follows(u, a)) continue;
        const std::uint32_t seen = index_[a.to];
        if (seen == kUnseen)
          enter(a.to);
        else if (seen != kClosed && seen < low_[u])  // on the stack: in u's component
          low_[u] = seen;
        continue;
      }
      if (--depth > 0 && low_[u] < low_[frames_[depth - 1].node]) low_[frames_[depth - 1].node] = low_[u];
      if (low_[u] != index_[u]) continue;
      std::size_t first = stacked_;
      while (stack_[--first] != u) {
      }
      for (std::size_t i = first; i < stacked_; ++i) index_[stack_[i]] = kClosed;
      const std::span<const std::int32_t> members(&stack_[first], stacked_ - first);
      stacked_ = first;
      if (!closed(members)) return false;
    }
    return true;
  }

  // Forgets the searches since the last Reset: the nodes listed, which must
  // be every node they reached.
  void Reset(std::span<const std::int32_t> reached) {
    for (std::int32_t v : reached) index_[v] = kUnseen;
    counter_ = 0;
  }

 private:
  HugeArray<std::uint32_t> index_;  // DFS number, kUnseen, or kClosed once its component is reported
  HugeArray<std::uint32_t> low_;
  HugeArray<std::int32_t> stack_;   // nodes whose component is still open, in DFS order
  HugeArray<Frame> frames_;
  std::size_t stacked_ = 0;
  std::uint32_t counter_ = 0;
};

}  // namespace wgt
