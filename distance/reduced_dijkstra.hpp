// Dijkstra's method on costs reduced by potentials (Johnson's reweighting),
// the last step of the scaling engine in each strongly connected component
// (and the only one in a component of one node):
// under potentials p with c(u, v) + p(u) - p(v) >= 0 on every arc inside
// the component, label(v) - p(v) orders the nodes as Dijkstra's method
// needs, while the labels themselves stay the real path costs.
//
// Preconditions: the component is the nodes lo..end-1 of g, no arc inside
// it of negative reduced cost; the labels of its nodes are those that
// earlier components gave (kUnlabelled where none); every label + cost and
// label - p below 2^63 in magnitude (keys are formed in 128 bits). Time
// O(m' log n') for the component's n' nodes and m' arcs: each node settled
// once, which is checked; memory the heap's, two entries a node.
#pragma once

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <limits>
#include <vector>

#include "graph.hpp"
#include "label_tree.hpp"
#include "memory.hpp"
#include "min_heap.hpp"

namespace wgt {

constexpr std::int64_t kUnlabelled = std::numeric_limits<std::int64_t>::max();

// The labels, kUnlabelled until given, on a zeroed table whose pages are
// touched only as labels are given: each is kept xor kUnlabelled, so that
// a component's pages stay untouched until its turn, when the tables of
// the scales before it are gone. O(1) a query.
class EngineLabels {
 public:
  EngineLabels() = default;
  explicit EngineLabels(std::size_t nodes) : stored_(nodes, Touch::kSparse) {}
  std::int64_t operator[](std::int32_t v) const { return stored_[std::size_t(v)] ^ kUnlabelled; }
  void Set(std::int32_t v, std::int64_t label) { stored_[std::size_t(v)] = label ^ kUnlabelled; }

 private:
  HugeArray<std::int64_t> stored_;
};

// The labels of nodes 1..reached, put into a fresh tree as a numbering is
// taken back: Renumber as SharedNumbering::Restore calls it.
template <class Dist>
struct LabelsIntoTree {
  LabelTree<Dist>& tree;
  const EngineLabels& label;
  std::size_t reached;
  std::int32_t source;
  void Renumber(const HugeArray<std::int32_t>&, const HugeArray<std::int32_t>& new_of_old) {
    tree = LabelTree<Dist>(std::int32_t(new_of_old.size() - 1), new_of_old[std::size_t(source)]);
    for (std::size_t v = 1; v <= reached; ++v) tree.Settle(new_of_old[v], Dist(label[std::int32_t(v)]));
  }
};

// Settles the component's labels; arcs that leave it only lower the labels
// of later components. Adds the nodes and arcs scanned to `work`.
inline void SettleReduced(const Graph& g, std::int32_t lo, std::int32_t end, EngineLabels& label,
                          const HugeArray<std::int64_t>& p, MinHeap<Wide>& heap, std::uint64_t& work) {
  auto key = [&](std::int32_t v) { return SignedWide(label[v]) - p[v]; };
  auto current = [&](Wide entry) { return SignedDistanceOf(entry) == key(NodeOf(entry)); };
  for (std::int32_t v = lo; v < end; ++v)
    if (label[v] != kUnlabelled) heap.Push(PackSigned(key(v), v));
  [[maybe_unused]] std::int64_t settled = 0;
  while (!heap.Empty()) {
    const Wide top = heap.Pop();
    if (!current(top)) continue;
    assert(++settled <= end - lo);  // potentials that reduce no arc below 0 settle each node once
    const std::int32_t u = NodeOf(top);
    work += 1 + g[u].size();
    for (const Arc& a : g[u]) {
      if (label[u] + a.cost >= label[a.to]) continue;
      label.Set(a.to, label[u] + a.cost);
      if (a.to < lo || a.to >= end) continue;
      if (heap.Full()) heap.Filter(current);
      heap.Push(PackSigned(key(a.to), a.to));
    }
  }
}

// A component of one node u: its label is final, and lowers those of its
// heads. False at a negative self-loop, then `cycle` holding u.
inline bool SettleSingleton(const Graph& g, std::int32_t u, EngineLabels& label,
                            std::vector<std::int32_t>& cycle, std::uint64_t& work) {
  work += 1 + g[u].size();
  for (const Arc& a : g[u]) {
    if (a.to == u && a.cost < 0) {
      cycle.assign(1, u);
      return false;
    }
    if (label[u] + a.cost < label[a.to]) label.Set(a.to, label[u] + a.cost);
  }
  return true;
}

}  // namespace wgt
