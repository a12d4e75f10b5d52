// The nodes that a source reaches, strongly connected component by
// component in topological order (Tarjan's search, strong_components.hpp):
// the order that the scaling engine renumbers the relaxation in
// (shared_numbering.hpp).
//
// Preconditions: nodes 1..n. Time O(nodes reached + their arcs); memory
// kBytesPerNode a node, and Tarjan's tables while it searches; the order's
// table can be taken over as a numbering (TakeNodes).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>

#include "graph.hpp"
#include "iteration_scratch.hpp"
#include "memory.hpp"
#include "strong_components.hpp"

namespace wgt {

class ComponentOrder {
 public:
  // The order and the components' ends.
  static constexpr std::uint64_t kBytesPerNode = 2 * sizeof(std::uint32_t);

  // The nodes that `source` reaches, component by component.
  void Find(const Graph& g, std::int32_t source, std::uint64_t& work) {
    order_ = HugeArray<std::int32_t>(g.NodeCount() + 1, Touch::kSparse);
    ends_ = HugeArray<std::uint32_t>(g.NodeCount() + 1, Touch::kSparse);
    IterationScratch stacks(g.NodeCount() + 1);
    StrongComponents scc(g.NodeCount() + 1, stacks);
    scc.Search(
        g, source, [](std::int32_t, const Arc&) { return true; },
        [&](std::span<const std::int32_t> members) {
          for (std::int32_t v : members) order_[++reached_] = v;
          ends_[components_++] = std::uint32_t(members.size());
          return true;
        },
        work);
    std::reverse(&order_[1], &order_[reached_ + 1]);  // closed in reverse topological order
    std::reverse(&ends_[0], &ends_[components_]);
    for (std::size_t c = 0, end = 0; c < components_; ++c) end += ends_[c], ends_[c] = std::uint32_t(end);
  }

  std::size_t Reached() const { return reached_; }
  std::size_t Components() const { return components_; }
  // The table of the nodes reached, in the order, from place 1 on, each
  // other place 0; given away.
  HugeArray<std::int32_t> TakeNodes() { return std::move(order_); }
  // Component c as nodes lo..end-1 once renumbered in the order.
  std::int32_t Begin(std::size_t c) const { return std::int32_t(c == 0 ? 1 : ends_[c - 1] + 1); }
  std::int32_t End(std::size_t c) const { return std::int32_t(ends_[c] + 1); }

 private:
  HugeArray<std::int32_t> order_;  // the reached nodes, component by component, from place 1 on
  HugeArray<std::uint32_t> ends_;  // where each component ends in order_
  std::size_t reached_ = 0, components_ = 0;
};

}  // namespace wgt
