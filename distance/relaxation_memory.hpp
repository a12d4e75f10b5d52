// What the distance program's relaxation needs in memory: the figure that
// the check before allocating holds against the limits, without the
// scaling engine; and, at the scaling engine's first turn, whether its
// tables fit beside what the process then maps (memory_budget.hpp).
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>

#include "folded_tree.hpp"
#include "graph.hpp"
#include "graph_builder.hpp"
#include "label_tree.hpp"
#include "memory.hpp"
#include "memory_budget.hpp"
#include "queue_phase.hpp"
#include "relaxation.hpp"
#include "scaling_engine.hpp"
#include "topological_passes.hpp"
#include "topological_peel.hpp"

namespace wgt {

// What the relaxation adds to the graph at its largest without the scaling
// engine, for the check before allocating: throughout, a node's 64-bit
// tree record, its place in the waiting list and on the path of a negative
// cycle when one is reported; in each turn, the largest of the peel's, the
// queue's and the passes' tables, which go at its end.
constexpr std::uint64_t kRelaxationBytesPerNode =
    LabelTree<std::int64_t>::kBytesPerNode + WaitingList::kBytesPerNode + sizeof(std::int32_t);
constexpr std::uint64_t kTurnBytesPerNode =
    std::max({TopologicalPeel::kBytesPerNode, QueueEngine::kBytesPerNode, TopologicalPasses<std::int64_t>::kBytesPerNode});
// What the relaxation of nodes 1..n needs beside the graph.
constexpr MemoryNeed RelaxationNeed(std::int32_t n) {
  const std::uint64_t bytes = (kRelaxationBytesPerNode + kTurnBytesPerNode) * (std::uint64_t(n) + 1);
  return {bytes, bytes};
}

// What the scaling engine adds to the relaxation at its largest: in a
// turn, with the tree folded away, what it keeps, the refinement and the
// heap's two entries a node of a component that is not dominant;
// renumbering, the order and ends, the inverse numbering and a second graph
// or tree; or unfolding the tree; each dense table huge-page aligned.
template <class Dist>
constexpr std::uint64_t ScalingNeed(std::uint64_t nodes, std::uint64_t arcs) {
  constexpr std::uint64_t kKept = ScalingEngine::kKeptBytesPerNode, kFolded = FoldedTree<Dist>::kBytesPerNode,
                          kTree = LabelTree<Dist>::kBytesPerNode;
  constexpr std::uint64_t kRefining = kKept + PotentialRefinement::kBytesPerNode + 2 * sizeof(Wide) / ScalingEngine::kDominantShare;
  static_assert(kRefining >= kKept + 2 * sizeof(Wide));  // Dijkstra's method in a dominant one
  constexpr std::uint64_t kRenumbering = ComponentOrder::kBytesPerNode + sizeof(std::int32_t);
  constexpr std::uint64_t kUnfolding = kKept + kFolded + FoldedTree<Dist>::kUnfoldBytesPerNode;
  const std::uint64_t second = std::max(sizeof(std::uint32_t) * nodes + sizeof(Arc) * arcs, kTree * nodes);
  return std::max({(kRefining + kFolded - kTree) * nodes, kRenumbering * nodes + second + 4 * kHuge,
                   kUnfolding * nodes + 4 * kHuge});
}

// Where the scaling engine takes its turns: always, never, or where its
// tables fit when its first turn comes, beside all that the process maps
// then. The check before allocating cannot tell that: it holds the peak of
// reading the graph, whose buffers are gone by then, and what any run may
// map besides its tables, against the limits.
enum class ScalingRoom { kAlways, kNever, kWhereItFits };

// The limit, if any, that leaves the scaling engine no room beside what
// the process maps now: between its turns, what it keeps beside the other
// engines' tables, huge-page aligned; in one, all it needs
// (ScalingNeed). Where the mapping cannot be read, it is taken to
// be all that the check before allocating allowed.
template <class Dist>
std::optional<BindingLimit> ScalingBinding(const Relaxation<Dist>& state) {
  const std::uint64_t nodes = state.graph.NodeCount() + 1, arcs = state.graph.ArcCount();
  const std::uint64_t between = (kTurnBytesPerNode + ScalingEngine::kKeptBytesPerNode) * nodes + 2 * kHuge;
  const std::uint64_t more = std::max(between, ScalingNeed<Dist>(nodes, arcs));
  const std::int32_t n = std::int32_t(nodes - 1);
  return BindingBeside({more, more}, WithEveryRun(GraphBuilder::Need(n, arcs, GraphBuilder::kArcs, RelaxationNeed(n))));
}

}  // namespace wgt
