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
// Time O(n + m); memory kBytesPerNode a node: the count of arcs not yet
// scanned into each node, which also threads the stack of nodes ready to
// be peeled, and is released when the peel ends.
#pragma once

#include <cstdint>

#include "label_tree.hpp"
#include "memory.hpp"
#include "relaxation.hpp"

namespace wgt {

struct TopologicalPeel {
  static constexpr std::uint64_t kBytesPerNode = sizeof(std::uint32_t);

  // Peels from the source, alone in state.waiting; then state.waiting holds
  // the nodes lowered and not peeled. Returns false at a negative cycle
  // (state.cycle).
  template <class Dist>
  static bool Run(Relaxation<Dist>& state) {
    const Graph& g = state.graph;
    const std::size_t n = g.NodeCount();
    HugeArray<std::uint32_t> into(n + 1);  // arcs not yet scanned into a node; once 0, the next node ready
    for (std::uint32_t i = 0; i < g.ArcCount(); ++i) ++into[g.ArcAt(i).to];
    into[state.source] = 0;
    std::int32_t ready = 0;  // the top of the stack of nodes ready, 0 when empty
    auto push = [&](std::int32_t v) {
      into[v] = std::uint32_t(ready);
      ready = v;
    };
    for (std::size_t v = n; v >= 1; --v)
      if (into[v] == 0) push(std::int32_t(v));
    LabelTree<Dist>& tree = state.tree;
    while (ready != 0) {
      const std::int32_t x = ready;
      ready = std::int32_t(into[x]);
      if (tree.Waiting(x) && tree.StartScan(x) && !state.ScanAll(x, [&](std::int32_t y) {
            if (tree.Wait(y)) state.waiting.Add(y);
          }))
        return false;
      for (const Arc& a : g[x])
        if (a.to != state.source && --into[a.to] == 0) push(a.to);
    }
    state.waiting.Filter([&](std::int32_t v) { return tree.Waiting(v); });
    state.NoteWaiting(state.waiting.Size());
    return true;
  }
};

}  // namespace wgt
