// A shortest-path tree read off final labels, whichever engine found them:
// a breadth-first search from the source over the tight arcs, those whose
// cost closes the gap between their ends' labels exactly. Every cheapest
// path is made of tight arcs, so the search meets every reached node, and
// it meets each once, so the tree has no cycle even where arcs of cost 0
// close cycles of tight arcs.
//
// Preconditions: the labels are the cheapest path costs from the source
// (no negative cycle reaches it). Time O(n + m); memory 8 bytes a node:
// the predecessors and the search's queue.
#pragma once

#include <cstddef>
#include <cstdint>

#include "graph.hpp"
#include "label_tree.hpp"
#include "memory.hpp"

namespace wgt {

// pred[v]: the node before v on a cheapest path from the source, 0 for the
// source and for the nodes it cannot reach.
template <class Dist>
HugeArray<std::int32_t> ShortestPathTree(const Graph& g, std::int32_t source, const LabelTree<Dist>& labels) {
  const std::size_t n = g.NodeCount();
  HugeArray<std::int32_t> pred(n + 1), queue(n);
  const auto label = labels.LabelsView();
  std::size_t head = 0, tail = 0;
  queue[tail++] = source;
  pred[source] = source;  // marks it met; cleared at the end
  constexpr std::size_t kRowsAhead = 8;  // rows fetched this many scans ahead: one miss to memory hidden
  while (head < tail) {
    if (head + kRowsAhead < tail) g.PrefetchRow(queue[head + kRowsAhead]);
    const std::int32_t x = queue[head++];
    const Dist from = label[x];
    for (const Arc& a : g[x]) {
      if (pred[a.to] != 0 || from + Dist(a.cost) != label[a.to]) continue;
      pred[a.to] = x;
      queue[tail++] = a.to;
    }
  }
  pred[source] = 0;
  return pred;
}

}  // namespace wgt
