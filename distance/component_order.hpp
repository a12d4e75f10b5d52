// The nodes that a source reaches, strongly connected component by
// component in topological order (Tarjan's search, strong_components.hpp),
// and the reached graph renumbered in that order: a component's nodes, and
// those of a long path through components, lie together in memory. The
// scaling engine works on it.
//
// Preconditions: nodes 1..n. Time O(nodes reached + their arcs) for each
// step; memory kBytesPerNode a node and a copy of the reached arcs.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "graph.hpp"
#include "memory.hpp"
#include "strong_components.hpp"

namespace wgt {

class ComponentOrder {
 public:
  // The order and the components' ends; while renumbering, each node's
  // local number and the local rows' bounds.
  static constexpr std::uint64_t kBytesPerNode = 4 * sizeof(std::uint32_t);

  // The nodes that `source` reaches, component by component.
  void Find(const Graph& g, std::int32_t source, std::uint64_t& work) {
    order_ = HugeArray<std::int32_t>(g.NodeCount() + 1, Touch::kSparse);
    ends_ = HugeArray<std::uint32_t>(g.NodeCount() + 1, Touch::kSparse);
    StrongComponents scc(g.NodeCount() + 1);
    scc.Search(
        g, source, [](std::int32_t, const Arc&) { return true; },
        [&](std::span<const std::int32_t> members) {
          for (std::int32_t v : members) order_[reached_++] = v, arcs_ += g[v].size();
          ends_[components_++] = std::uint32_t(members.size());
          return true;
        },
        work);
    std::reverse(&order_[0], &order_[reached_]);  // closed in reverse topological order
    std::reverse(&ends_[0], &ends_[components_]);
    for (std::size_t c = 0, end = 0; c < components_; ++c) end += ends_[c], ends_[c] = std::uint32_t(end);
  }

  // The reached graph with node Node(i) as node i + 1, rows as they were;
  // `source` becomes node LocalSource().
  Graph Renumber(const Graph& g, std::int32_t source, std::uint64_t& work) {
    HugeArray<std::int32_t> local(g.NodeCount() + 1, Touch::kSparse);
    for (std::size_t i = 0; i < reached_; ++i) local[order_[i]] = std::int32_t(i + 1);
    local_source_ = local[source];
    HugeArray<std::uint32_t> offsets(reached_ + 2);
    HugeArray<Arc> arcs(arcs_);
    std::size_t count = 0;
    for (std::size_t i = 0; i < reached_; ++i) {
      offsets[i + 1] = std::uint32_t(count);
      for (const Arc& a : g[order_[i]]) arcs[count++] = {local[a.to], a.cost};
    }
    offsets[reached_ + 1] = std::uint32_t(count);
    work += reached_ + count;
    return Graph(std::move(offsets), std::move(arcs));
  }

  std::size_t Reached() const { return reached_; }
  std::int32_t LocalSource() const { return local_source_; }
  std::size_t Components() const { return components_; }
  // The node of the input that local node i + 1 stands for.
  std::int32_t Node(std::size_t i) const { return order_[i]; }
  // Component c as local nodes lo..end-1.
  std::int32_t Begin(std::size_t c) const { return std::int32_t(c == 0 ? 1 : ends_[c - 1] + 1); }
  std::int32_t End(std::size_t c) const { return std::int32_t(ends_[c] + 1); }

 private:
  HugeArray<std::int32_t> order_;  // the reached nodes, component by component
  HugeArray<std::uint32_t> ends_;  // where each component ends in order_
  std::size_t reached_ = 0, arcs_ = 0, components_ = 0;
  std::int32_t local_source_ = 0;
};

}  // namespace wgt
