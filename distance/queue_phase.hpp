// The first-in-first-out engine of the distance program (Bellman-Ford-Moore):
// scans the nodes that wait, in queue order, each waiting at most once, on
// the label tree shared with the other engines (relaxation.hpp). Nodes cut
// off the tree while they wait are skipped, since their labels are about to
// drop again. Fast on graphs with cycles (about 2 scans a node on random
// graphs and grids); on a chain that feeds a node of many arcs it scans that
// node once per chain node, which is why it runs for a budget of work at a
// time.
//
// Time O(budget + the row of the last node scanned); memory the queue's ring
// (node_queue.hpp), at most one entry a node.
#pragma once

#include <cstddef>
#include <cstdint>

#include "graph.hpp"
#include "label_tree.hpp"
#include "node_queue.hpp"
#include "relaxation.hpp"

namespace wgt {

struct QueueEngine {
  static constexpr std::uint64_t kBytesPerNode = NodeQueue::kBytesPerNode;

  // Scans from the nodes in state.waiting until none waits or more than
  // `budget` of work is done; then state.waiting holds the nodes that still
  // wait, in queue order. Returns false at a negative cycle (state.cycle).
  template <class Dist>
  static bool Run(Relaxation<Dist>& state, std::uint64_t budget) {
    NodeQueue queue;
    for (std::size_t i = 0; i < state.waiting.Size(); ++i) queue.Push(state.waiting[i]);
    state.waiting.Clear();
    LabelTree<Dist>& tree = state.tree;
    ScanTally tally;
    while (!queue.Empty() && tally.work <= budget) {
      PrefetchAhead(state.graph, tree, queue);
      const std::int32_t x = queue.Pop();
      if (!tree.StartScan(x)) continue;
      if (!state.ScanAll(x, tally, [&](std::int32_t y) {
            if (tree.Wait(y)) queue.Push(y);
          })) {
        state.Record(tally, queue.Most());
        return false;
      }
    }
    state.Record(tally, queue.Most());
    while (!queue.Empty()) state.waiting.Add(queue.Pop());
    return true;
  }
};

}  // namespace wgt
