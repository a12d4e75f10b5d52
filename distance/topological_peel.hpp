// The peel that precedes the engines' turns: Kahn's topological order
// (1962) over the nodes that no cycle reaches, each scanned once, after
// every arc into it, so with its final label. The source's label is final
// unless a negative cycle runs through it, so the arcs into the source are
// left out of the count: a graph without cycles but through the source
// peels whole, and an arc into the source that would lower it is found, by
// the label tree, to close a negative cycle. Unreached nodes are peeled
// too, without a scan, so that the nodes they lead to can be. What is left
// lies on a cycle or behind one, and the nodes of it that were lowered wait
// for the engines.
//
// Time O(n + m) (O(log n) for an arc into one of the few nodes of 255 arcs
// or more); memory kBytesPerNode a node: the count of arcs not yet scanned
// into each node, and a queue of the nodes ready, which tells which rows to
// fetch ahead; both released when the peel ends.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "label_tree.hpp"
#include "memory.hpp"
#include "node_queue.hpp"
#include "relaxation.hpp"

namespace wgt {

// How many arcs not yet scanned lead into each node: a byte a node, and
// the exact counts of the few nodes with 255 or more in a table beside it.
class ArcsInto {
 public:
  // Counted in one pass over the table, after the build, where the heads
  // come in order and no miss stalls the reader. A byte that wraps to 0
  // marks its node as one of the many, counted again exactly.
  explicit ArcsInto(const Graph& g) : count_(g.NodeCount() + 1) {
    // Pointers held in locals: a store of a byte may alias any object, so
    // the compiler would reload the tables' bounds after every one.
    const Arc* const arcs = g.ArcCount() > 0 ? &g.ArcAt(0) : nullptr;
    const Arc* const end = arcs + g.ArcCount();
    std::uint8_t* const count = count_.data();
    for (const Arc* a = arcs; a != end; ++a)
      if (++count[a->to] == 0) [[unlikely]] Wrapped(a->to);
    for (std::int32_t v : wrapped_) count[v] = kMany;
    wrapped_ = {};
    for (std::size_t v = 1; v < count_.size(); ++v)
      if (count[v] == kMany) many_.push_back({std::int32_t(v), 0});
    for (const Arc* a = arcs; a != end && !many_.empty(); ++a)
      if (count[a->to] == kMany) ++Many(a->to);
  }
  bool None(std::int32_t v) const { return count_[v] == 0; }
  void Clear(std::int32_t v) { count_[v] = 0; }
  // Counts one arc into v scanned; true once none is left.
  bool Scanned(std::int32_t v) {
    if (count_[v] != kMany) return --count_[v] == 0;
    return --Many(v) == 0 && (count_[v] = 0, true);
  }
  [[gnu::always_inline]] void Prefetch(std::int32_t v) const { __builtin_prefetch(&count_[v]); }  // see graph.hpp

 private:
  static constexpr std::uint8_t kMany = 255;  // the count is in many_
  struct Exact {
    std::int32_t node;
    std::uint32_t count;
  };
  std::uint32_t& Many(std::int32_t v) {
    return std::lower_bound(many_.begin(), many_.end(), v, [](const Exact& e, std::int32_t w) { return e.node < w; })->count;
  }

  // Out of line, so that the counting loop keeps no vector in registers.
  [[gnu::noinline, gnu::cold]] void Wrapped(std::int32_t v) { wrapped_.push_back(v); }

  HugeArray<std::uint8_t> count_;
  std::vector<Exact> many_;  // by node
  std::vector<std::int32_t> wrapped_;  // while counting: nodes whose byte wrapped, once a 256 arcs
};

struct TopologicalPeel {
  static constexpr std::size_t kListedAtLeast = 256;

  // The byte of the counts, and the nodes ready to be peeled in a ring that
  // doubles (node_queue.hpp); the exact counts take at most 12 bytes a 256
  // arcs while they are found, 8 after.
  static constexpr std::uint64_t kBytesPerNode = sizeof(std::uint8_t) + NodeQueue::kBytesPerNode;

  // Peels from the source, alone in state.waiting; then state.waiting holds
  // the nodes lowered and not peeled. Returns false at a negative cycle
  // (state.cycle).
  template <class Dist>
  static bool Run(Relaxation<Dist>& state) {
    const Graph& g = state.graph;
    const std::size_t n = g.NodeCount();
    ArcsInto into(g);
    into.Clear(state.source);
    NodeQueue ready;
    for (std::size_t v = 1; v <= n; ++v)
      if (into.None(std::int32_t(v))) ready.Push(std::int32_t(v));
    LabelTree<Dist>& tree = state.tree;
    ScanTally tally;
    // Where the peel goes through, every node lowered is peeled: the nodes
    // lowered are listed only while few, to be found again by a pass over
    // the tree where too many were lowered and some are left. Either way
    // every waiting node ends in the list once; the bound only decides
    // which is cheaper, a list a 64th of the nodes long costing less than
    // the pass, and one of a few hundred nodes nothing.
    const std::size_t listed = std::max<std::size_t>(n / 64, kListedAtLeast);
    std::uint64_t waiting = 1;  // nodes lowered (the source first) and not peeled
    while (!ready.Empty()) {
      // Inlined by force, as PrefetchAhead is: GCC dropped the count's fetch
      // otherwise, and each arc's count then missed the cache.
      PrefetchAhead(g, tree, ready, [&](std::int32_t v) __attribute__((always_inline)) { into.Prefetch(v); });
      const std::int32_t x = ready.Pop();
      if (ready.Size() < kAhead) {
        // Too few nodes ready to fetch ahead, as where one order alone is
        // topological: one of x's heads is likely the next, so all of them
        // are fetched now, the bounds of their rows before x's scan and
        // the rows of those that become ready as they do.
        for (const Arc& a : g[x]) tree.Prefetch(a.to), g.PrefetchBounds(a.to);
      }
      auto scanned = [&](std::int32_t y) {  // one arc into y less
        if (y == state.source || !into.Scanned(y)) return;
        if (ready.Size() < kAhead) g.PrefetchRow(y);
        ready.Push(y);
      };
      if (!tree.Waiting(x)) {  // not reached: nothing to lower
        for (const Arc& a : g[x]) scanned(a.to);
        continue;
      }
      --waiting;
      tree.StartScan(x);  // in the tree: nothing is cut in the peel
      if (!state.ScanAll(
              x, tally,
              [&](std::int32_t y) {
                if (!tree.Wait(y)) return;
                if (state.waiting.Size() < listed) state.waiting.Add(y);
                ++waiting;
              },
              scanned)) {
        state.Record(tally, ready.Most());
        return false;
      }
    }
    if (state.waiting.Size() < listed) {
      state.waiting.Filter([&](std::int32_t v) { return tree.Waiting(v); });
    } else {
      state.waiting.Clear();
      for (std::size_t v = 1; v <= n && waiting > 0; ++v)
        if (tree.Waiting(std::int32_t(v))) state.waiting.Add(std::int32_t(v)), --waiting;
    }
    state.Record(tally, state.waiting.Size());
    return true;
  }
};

}  // namespace wgt
