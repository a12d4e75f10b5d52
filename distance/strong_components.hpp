// Strongly connected components by Tarjan's depth-first search (1972),
// without recursion, over the arcs of a graph table that a predicate lets
// through, in one word a node as Pearce has it (Inf. Process. Lett. 116(1),
// 2016): a node's word is its search number while it is open, lowered in
// place to the least number it reaches, and once closed its component's
// number, the count of nodes closed before it, kept counted down from the
// top, so that no closed node ever lowers an open one. Components are reported as they close, which is in reverse
// topological order: every arc that leaves a component leads into one
// reported before it. The tables are reused from search to search, and a
// search touches only the nodes it reaches. Its stacks, the open nodes and
// the depth-first path, are borrowed scratch tables (iteration_scratch.hpp)
// that hold nothing once a search returns.
//
// Preconditions: nodes 0..size-1 (node 0 included); the scratch tables
// free during Search. Time O(nodes reached + their arcs); memory
// kBytesPerNode a node besides the scratch tables.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "graph.hpp"
#include "iteration_scratch.hpp"
#include "memory.hpp"

namespace wgt {

class StrongComponents {
  // A frame of the depth-first path: its node, and the next place in its
  // row to look at, below kRoot, the flag that nothing it reaches has
  // lowered its word. Rows hold under 2^31 arcs.
  static constexpr std::uint32_t kRoot = std::uint32_t(1) << 31;
  static constexpr std::uint32_t kUnseen = 0, kFirstClosed = UINT32_MAX;  // word_ values besides search numbers

 public:
  static constexpr std::uint64_t kBytesPerNode = sizeof(std::uint32_t);

  StrongComponents(std::size_t nodes, IterationScratch& scratch)
      : word_(nodes, Touch::kSparse), stack_(scratch.list), path_(scratch.ahead), place_(scratch.behind) {}

  // Searches from `root`, unless an earlier search since Reset reached it,
  // following the arcs (u, a) of g for which follows(u, a) holds, and calls
  // closed(members) for each component as it closes. Stops early, returning
  // false, when closed returns false. `work` grows by 1 + arcs a node.
  template <class Follows, class Closed>
  bool Search(const Graph& g, std::int32_t root, Follows follows, Closed closed, std::uint64_t& work) {
    if (word_[root] != kUnseen) return true;
    std::size_t depth = 0;
    // Entering v: the search will next look at its heads, so their words
    // and row bounds are fetched now.
    auto enter = [&](std::int32_t v) {
      word_[v] = ++counter_;
      stack_[stacked_++] = v;
      path_[depth] = v, SetPlace(depth++, kRoot);
      work += 1 + g[v].size();
      for (const Arc& a : g[v]) __builtin_prefetch(&word_[a.to]), g.PrefetchBounds(a.to);
    };
    enter(root);
    while (depth > 0) {
      const std::size_t top = depth - 1;
      const std::int32_t u = path_[top];
      const auto row = g[u];
      if (const std::uint32_t place = Place(top); (place & ~kRoot) < row.size()) {
        SetPlace(top, place + 1);
        const Arc& a = row[place & ~kRoot];
        if (!follows(u, a)) continue;
        const std::uint32_t seen = word_[a.to];
        if (seen == kUnseen)
          enter(a.to);
        else if (seen < word_[u])  // open, so in u's component
          word_[u] = seen, SetPlace(top, Place(top) & ~kRoot);
        continue;
      }
      const bool is_root = Place(top) & kRoot;
      if (--depth > 0 && word_[u] < word_[path_[depth - 1]])
        word_[path_[depth - 1]] = word_[u], SetPlace(depth - 1, Place(depth - 1) & ~kRoot);
      if (!is_root) continue;
      std::size_t first = stacked_;
      while (stack_[--first] != u) {
      }
      for (std::size_t i = first; i < stacked_; ++i) word_[stack_[i]] = kFirstClosed - closed_;
      closed_ += std::uint32_t(stacked_ - first);
      const std::span<const std::int32_t> members(&stack_[first], stacked_ - first);
      stacked_ = first;
      if (!closed(members)) return false;
    }
    return true;
  }

  // The number of v's component: how many nodes closed before it since
  // the last Reset, so that a caller that lists the members as they close
  // finds the component's first at that place. Precondition: v's component
  // has closed.
  std::uint32_t Component(std::int32_t v) const { return kFirstClosed - word_[v]; }

  // Forgets the searches since the last Reset: the nodes listed, which must
  // be every node they reached.
  void Reset(std::span<const std::int32_t> reached) {
    for (std::int32_t v : reached) word_[v] = kUnseen;
    counter_ = 0, closed_ = 0;
  }

 private:
  // A frame's place, kept in a borrowed table of signed words.
  std::uint32_t Place(std::size_t depth) const { return std::uint32_t(place_[depth]); }
  void SetPlace(std::size_t depth, std::uint32_t place) { place_[depth] = std::int32_t(place); }

  HugeArray<std::uint32_t> word_;   // kUnseen, a search number or the least reached, or a closed component's
  HugeArray<std::int32_t>& stack_;  // nodes whose component is still open, in search order
  HugeArray<std::int32_t>& path_;   // the depth-first path's nodes
  HugeArray<std::int32_t>& place_;  // and their frames' places
  std::size_t stacked_ = 0;
  std::uint32_t counter_ = 0, closed_ = 0;  // nodes entered, and closed, since Reset
};

}  // namespace wgt
