// One renumbering of the relaxation, shared by every engine: the graph, the
// label tree, the waiting nodes and the source, with the nodes that the
// source reaches first, component by component in topological order
// (component_order.hpp), and the others after them in the input's order.
// A component's nodes, and those of a long path through components, then
// lie together in memory, for the scaling engine, which needs each
// component as a range of nodes, and for the label-correcting engines'
// later turns alike. Restore puts back the input's numbering: rows keep the
// order of their arcs, so the graph is the input's again, byte for byte,
// and a negative cycle found meanwhile is named from the input's nodes.
//
// Time O(n + m) each way; memory one node number a node while applied;
// while renumbering, a second graph, or a second label tree (a second
// folded tree on the way there), and the inverse numbering.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

#include "component_order.hpp"
#include "folded_tree.hpp"
#include "graph.hpp"
#include "label_tree.hpp"
#include "memory.hpp"
#include "relaxation.hpp"

namespace wgt {

// g with node old_of_new[u] as node u, each arc's head v as new_of_old[v].
// Preconditions: the two are inverse permutations of 1..n, each 0 at 0.
inline Graph PermutedGraph(const Graph& g, const HugeArray<std::int32_t>& old_of_new,
                           const HugeArray<std::int32_t>& new_of_old) {
  const std::size_t n = g.NodeCount();
  HugeArray<std::uint32_t> offsets(n + 2);
  HugeArray<Arc> arcs(g.ArcCount());
  std::size_t count = 0;
  for (std::size_t u = 1; u <= n; ++u) {
    // Rows come from all over the old table: their bounds are fetched 32
    // rows ahead, the rows 16, so that many misses are under way at once.
    if (u + 32 <= n) g.PrefetchBounds(old_of_new[u + 32]);
    if (u + 16 <= n) g.PrefetchRow(old_of_new[u + 16]);
    offsets[u] = std::uint32_t(count);
    for (const Arc& a : g[old_of_new[u]]) arcs[count++] = {new_of_old[std::size_t(a.to)], a.cost};
  }
  offsets[n + 1] = std::uint32_t(count);
  return Graph(std::move(offsets), std::move(arcs));
}

class SharedNumbering {
 public:
  bool Applied() const { return node_.size() > 0; }
  // The input's node that node v stands for while applied.
  std::int32_t Node(std::int32_t v) const { return node_[std::size_t(v)]; }

  // Renumbers state, and its tree folded away in `labels`, so that the
  // i-th node of the order becomes node i, taking over the order's table.
  // Precondition: not applied; order found from state.source on
  // state.graph.
  template <class Dist>
  void Apply(Relaxation<Dist>& state, FoldedTree<Dist>& labels, ComponentOrder& order, std::uint64_t& work) {
    const std::size_t n = state.graph.NodeCount();
    node_ = order.TakeNodes();
    HugeArray<std::int32_t> local(n + 1);
    std::size_t next = 1;
    for (; next <= order.Reached(); ++next) local[std::size_t(node_[next])] = std::int32_t(next);
    for (std::size_t v = 1; v <= n; ++v)
      if (local[v] == 0) node_[next] = std::int32_t(v), local[v] = std::int32_t(next++);
    Renumber(state, labels, node_, local);
    work += n + state.graph.ArcCount();
  }

  // Puts back the input's numbering, where applied: in state, and in its
  // labels, the tree or whatever stands for it (with a Renumber of its own).
  template <class Dist>
  void Restore(Relaxation<Dist>& state, std::uint64_t& work) { Restore(state, state.tree, work); }
  template <class Dist, class Labels>
  void Restore(Relaxation<Dist>& state, Labels& labels, std::uint64_t& work) {
    if (!Applied()) return;
    const std::size_t n = state.graph.NodeCount();
    HugeArray<std::int32_t> local(n + 1);
    for (std::size_t u = 1; u <= n; ++u) local[std::size_t(node_[u])] = std::int32_t(u);
    Renumber(state, labels, local, node_);
    for (std::int32_t& v : state.cycle) v = node_[std::size_t(v)];
    node_ = HugeArray<std::int32_t>();
    work += n + state.graph.ArcCount();
  }

 private:
  // Node old_of_new[u] becomes u everywhere in state and in its labels:
  // the tree, or the tree folded away.
  template <class Dist, class Labels>
  static void Renumber(Relaxation<Dist>& state, Labels& labels, const HugeArray<std::int32_t>& old_of_new,
                       const HugeArray<std::int32_t>& new_of_old) {
    state.graph = PermutedGraph(state.graph, old_of_new, new_of_old);
    labels.Renumber(old_of_new, new_of_old);
    state.waiting.Map([&](std::int32_t v) { return new_of_old[std::size_t(v)]; });
    state.source = new_of_old[std::size_t(state.source)];
  }

  HugeArray<std::int32_t> node_;  // node_[v]: the input's node that v stands for
};

}  // namespace wgt
