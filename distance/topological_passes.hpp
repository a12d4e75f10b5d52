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
// Memory: 13 bytes a node (the order, the search's stack of 8-byte frames,
// a byte saying whether the pass met a node), on pages touched only as the
// passes reach them; the caller keeps the list of nodes that wait.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "graph.hpp"
#include "label_tree.hpp"
#include "memory.hpp"

namespace wgt {

template <class Dist>
class TopologicalPasses {
 public:
  explicit TopologicalPasses(std::size_t nodes) : order_(nodes), stack_(nodes), met_(nodes) {}

  // Runs passes from the `count` nodes that wait in waiting[0..count) (each
  // once, marked waiting in the tree) until none waits, or until a pass
  // ends with more than `budget` of work done: scans of nodes and their
  // arcs. On return waiting[0..count) holds the nodes that still wait.
  // Returns false, with the path y .. x in `cycle`, when the arc (x, y)
  // closes a negative cycle. `tally.Scan(arcs)` hears of every scan.
  template <class Tally>
  bool Run(const Graph& g, LabelTree<Dist>& tree, HugeArray<std::int32_t>& waiting, std::size_t& count,
           std::uint64_t budget, std::vector<std::int32_t>& cycle, Tally& tally) {
    for (work_ = 0; count > 0 && work_ <= budget;) {
      ordered_ = 0;
      for (std::size_t i = 0; i < count; ++i) {
        const std::int32_t root = waiting[i];
        if (met_[root] || !tree.StartScan(root)) continue;
        if (!Search(g, tree, root, cycle, tally)) return false;
      }
      count = 0;
      if (!ScanInOrder(g, tree, waiting, count, cycle, tally)) return false;
    }
    return true;
  }

 private:
  struct Frame {
    std::int32_t node;
    std::uint32_t done;  // arcs of its row examined so far
  };

  // Depth first from `root`, whose scan has begun. The stack holds a path of
  // the label tree: a node on it is lowered only by one below it, which
  // closes a cycle, so the nodes on it stay in the tree. A node the search
  // lowers again after leaving it lies behind the current one in the order.
  template <class Tally>
  bool Search(const Graph& g, LabelTree<Dist>& tree, std::int32_t root, std::vector<std::int32_t>& cycle,
              Tally& tally) {
    std::size_t depth = 0;
    auto enter = [&](std::int32_t v) {
      met_[v] = 1;
      stack_[depth++] = {v, 0};
      tally.Scan(g[v].size());
      work_ += 1 + g[v].size();
    };
    enter(root);
    while (depth > 0) {
      Frame& top = stack_[depth - 1];
      const auto row = g[top.node];
      if (top.done == row.size()) {
        order_[ordered_++] = top.node;
        --depth;
        continue;
      }
      const Arc a = row[top.done++];
      const Dist through = tree.Label(top.node) + Dist(a.cost);
      if (through >= tree.Label(a.to)) continue;
      if (!tree.Lower(a.to, through, top.node, cycle)) return false;
      if (met_[a.to]) {
        tree.Wait(a.to);
      } else {
        tree.StartScan(a.to);
        enter(a.to);
      }
    }
    return true;
  }

  // Scans, in reverse postorder, the nodes met that were lowered since the
  // search scanned them; lists the nodes lowered after their turn for the
  // next pass.
  template <class Tally>
  bool ScanInOrder(const Graph& g, LabelTree<Dist>& tree, HugeArray<std::int32_t>& waiting, std::size_t& count,
                   std::vector<std::int32_t>& cycle, Tally& tally) {
    for (std::size_t i = ordered_; i-- > 0;) {
      const std::int32_t x = order_[i];
      met_[x] = 0;  // its turn has come
      if (!tree.Waiting(x) || !tree.StartScan(x)) continue;
      const auto row = g[x];
      tally.Scan(row.size());
      work_ += 1 + row.size();
      if (!tree.Scan(x, row, cycle, [&](std::int32_t y) {
            if (tree.Wait(y) && !met_[y]) waiting[count++] = y;  // lowered after its turn
          }))
        return false;
    }
    return true;
  }

  HugeArray<std::int32_t> order_;
  HugeArray<Frame> stack_;
  HugeArray<std::uint8_t> met_;
  std::size_t ordered_ = 0;
  std::uint64_t work_ = 0;
};

}  // namespace wgt
