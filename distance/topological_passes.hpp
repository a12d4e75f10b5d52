// Label-correcting passes in topological order, after Goldberg and Radzik
// (1993) in the form Cherkassky, Goldberg and Radzik (1996) call GOR1. A
// pass searches depth first from the nodes that wait for a scan; the search
// scans each node it meets, lowering labels as it goes, and descends into
// every node it lowers that the pass has not met yet. Then the nodes met are
// scanned once more in the topological order of that search (reverse
// postorder), but only those lowered since their scan. A node lowered after
// its turn waits for the next pass.
//
// On a graph without cycles one pass leaves every label final, each node
// scanned at most twice: every arc between nodes met leads forward in that
// order. In general a pass takes time linear in the arcs of the nodes met,
// and the number of passes is bounded by the number of arcs on the longest
// shortest path, as for Bellman-Ford. Negative cycles are found by the label
// tree (label_tree.hpp) the moment one closes.
//
// Memory: 13 bytes a node (the order, the search's stack, a byte saying
// whether the pass met a node), on pages touched only as the passes reach
// them, mapped only during a turn.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "label_tree.hpp"
#include "memory.hpp"
#include "relaxation.hpp"

namespace wgt {

template <class Dist>
class TopologicalPasses {
  struct Frame {
    std::int32_t node;
    std::uint32_t next;  // where its scan resumes
  };

 public:
  static constexpr std::uint64_t kBytesPerNode = sizeof(std::int32_t) + sizeof(Frame) + sizeof(std::uint8_t);
  static_assert(kBytesPerNode == 13);

  // Runs passes from the nodes in state.waiting until none waits, or until a
  // pass ends with more than `budget` of work done; then state.waiting holds
  // the nodes that still wait. Returns false at a negative cycle
  // (state.cycle).
  static bool Run(Relaxation<Dist>& state, std::uint64_t budget) {
    TopologicalPasses passes(state.graph.NodeCount() + 1);
    std::uint64_t most = state.waiting.Size();
    while (!state.waiting.Empty() && passes.tally_.work <= budget) {
      passes.ordered_ = 0;
      bool no_cycle = true;
      for (std::size_t i = 0; i < state.waiting.Size() && no_cycle; ++i) {
        const std::int32_t root = state.waiting[i];
        if (!passes.met_[root] && state.tree.StartScan(root)) no_cycle = passes.Search(state, root);
      }
      if (no_cycle) state.waiting.Clear();
      if (!no_cycle || !passes.ScanInOrder(state)) {
        state.Record(passes.tally_, most);
        return false;
      }
      most = std::max<std::uint64_t>(most, state.waiting.Size());
    }
    state.Record(passes.tally_, most);
    return true;
  }

 private:
  explicit TopologicalPasses(std::size_t nodes) : order_(nodes), stack_(nodes), met_(nodes) {}

  // Depth first from `root`, whose scan has begun: a scan pauses at each
  // node it lowers that the pass has not met, and the search descends into
  // it. The stack holds a path of the label tree: a node on it is lowered
  // only by one below it, which closes a cycle, so the nodes on it stay in
  // the tree. A node the search lowers again after leaving it lies behind
  // the current one in the order.
  bool Search(Relaxation<Dist>& state, std::int32_t root) {
    std::size_t depth = 0;
    // Entering v: the search will next descend into one of its heads, so
    // their records and row bounds are fetched now, as a queue would fetch
    // its next nodes'.
    auto enter = [&](std::int32_t v) {
      met_[v] = 1;
      stack_[depth++] = {v, 0};
      for (const Arc& a : state.graph[v]) state.tree.Prefetch(a.to), state.graph.PrefetchBounds(a.to);
    };
    enter(root);
    while (depth > 0) {
      Frame& top = stack_[depth - 1];
      std::int32_t unmet = 0;
      const Scanned scanned = state.Scan(top.node, top.next, tally_, [&](std::int32_t y) {
        if (met_[y]) {
          state.tree.Wait(y);
          return true;
        }
        unmet = y;
        return false;
      });
      if (scanned == Scanned::kNegativeCycle) return false;
      if (unmet != 0) {
        state.tree.StartScan(unmet);
        enter(unmet);
      } else {
        order_[ordered_++] = top.node;
        --depth;
      }
    }
    return true;
  }

  // Scans, in reverse postorder, the nodes met that were lowered since the
  // search scanned them; lists the nodes lowered after their turn for the
  // next pass.
  bool ScanInOrder(Relaxation<Dist>& state) {
    LabelTree<Dist>& tree = state.tree;
    for (std::size_t i = ordered_; i-- > 0;) {
      const std::int32_t x = order_[i];
      met_[x] = 0;  // its turn has come
      if (!tree.Waiting(x) || !tree.StartScan(x)) continue;
      if (!state.ScanAll(x, tally_, [&](std::int32_t y) {
            if (tree.Wait(y) && !met_[y]) state.waiting.Add(y);  // lowered after its turn
          }))
        return false;
    }
    return true;
  }

  HugeArray<std::int32_t> order_;
  HugeArray<Frame> stack_;
  HugeArray<std::uint8_t> met_;
  std::size_t ordered_ = 0;
  ScanTally tally_;
};

}  // namespace wgt
