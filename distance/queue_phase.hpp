// The first-in-first-out engine of the distance program: scans the nodes
// that wait, in queue order, each waiting at most once, on the label tree
// shared with the topological passes (label_tree.hpp). Nodes cut off the
// tree that wait are skipped, since their labels are about to drop again.
// Fast on graphs with cycles (about 2 scans a node on random graphs and
// grids); on a chain that feeds a node of many arcs it scans that node once
// per chain node, which is why it runs for a budget of work at a time.
//
// Time O(budget + the rows of the nodes that wait); memory the queue's ring
// (node_queue.hpp), at most one entry per node.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "graph.hpp"
#include "label_tree.hpp"
#include "memory.hpp"
#include "node_queue.hpp"

namespace wgt {

// How many queue places ahead the rows are fetched.
constexpr std::size_t kAhead = 16;

// FIFO order tells which rows and labels come next: fetches them ahead,
// rows' bounds first, then the rows, then the labels their arcs lead to.
// Inlined early: GCC would otherwise judge a function of prefetches alone
// free of effects and drop its calls.
template <class Dist>
[[gnu::always_inline]] inline void PrefetchAhead(const Graph& g, const NodeQueue& queue, const LabelTree<Dist>& tree) {
  if (queue.Size() > 2 * kAhead) g.PrefetchBounds(queue.Peek(2 * kAhead));
  if (queue.Size() > kAhead) {
    g.PrefetchRow(queue.Peek(kAhead));
    tree.Prefetch(queue.Peek(kAhead));
  }
  if (queue.Size() > kAhead / 2) {
    const std::int32_t soon = queue.Peek(kAhead / 2);
    if (tree.InTree(soon))  // a node cut off the tree will be skipped
      for (const Arc& a : g[soon]) tree.Prefetch(a.to);
  }
}

// Scans from the `count` nodes that wait in waiting[0..count) (each once,
// marked waiting in the tree) until none waits or more than `budget` of work
// is done: scans of nodes and their arcs. On return waiting[0..count) holds
// the nodes that still wait, in queue order. Returns false, with the path
// y .. x in `cycle`, when the arc (x, y) closes a negative cycle.
// `tally.Scan(arcs)` hears of every scan.
template <class Dist, class Tally>
bool RunQueue(const Graph& g, LabelTree<Dist>& tree, HugeArray<std::int32_t>& waiting, std::size_t& count,
              std::uint64_t budget, std::vector<std::int32_t>& cycle, Tally& tally) {
  NodeQueue queue;
  for (std::size_t i = 0; i < count; ++i) queue.Push(waiting[i]);
  for (std::uint64_t work = 0; !queue.Empty() && work <= budget;) {
    PrefetchAhead(g, queue, tree);
    const std::int32_t x = queue.Pop();
    if (!tree.StartScan(x)) continue;
    const auto row = g[x];
    tally.Scan(row.size());
    work += 1 + row.size();
    if (!tree.Scan(x, row, cycle, [&](std::int32_t y) {
          if (tree.Wait(y)) queue.Push(y);
        }))
      return false;
  }
  for (count = 0; !queue.Empty();) waiting[count++] = queue.Pop();
  return true;
}

}  // namespace wgt
