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
    for (const std::uint64_t start = state.stats.work; !queue.Empty() && state.stats.work - start <= budget;) {
      PrefetchAhead(state.graph, queue, tree);
      const std::int32_t x = queue.Pop();
      if (!tree.StartScan(x)) continue;
      if (!state.ScanAll(x, [&](std::int32_t y) {
            if (tree.Wait(y)) queue.Push(y);
          }))
        return false;
      state.NoteWaiting(queue.Size());
    }
    while (!queue.Empty()) state.waiting.Add(queue.Pop());
    return true;
  }

 private:
  // How many scans ahead the queue's rows are fetched. A scan of a row of a
  // few arcs takes some 10 ns and a miss to memory about 100 ns, so 16 scans
  // ahead hide one miss; each fetch needs what the one before it brought:
  // a row's bounds are fetched 32 scans ahead, the row 16, and the labels
  // of its heads 8, once the row has arrived.
  static constexpr std::size_t kAhead = 16;

  // FIFO order tells which rows and labels come next. Inlined by force:
  // GCC would otherwise judge a function of prefetches alone free of
  // effects and drop its calls.
  template <class Dist>
  [[gnu::always_inline]] static void PrefetchAhead(const Graph& g, const NodeQueue& queue,
                                                   const LabelTree<Dist>& tree) {
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
};

}  // namespace wgt
