// The distance program's core: the cheapest path cost from a source to every
// node of a directed graph whose costs may be negative, or a negative cycle
// that the source reaches. Label-correcting relaxation with Tarjan's subtree
// disassembly (label_tree.hpp), by engines that take turns on the same
// labels (relaxation.hpp): a first-in-first-out queue (queue_phase.hpp) and
// passes in topological order (topological_passes.hpp).
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "graph.hpp"
#include "label_tree.hpp"
#include "queue_phase.hpp"
#include "relaxation.hpp"
#include "topological_passes.hpp"

namespace wgt {

// The distance table: the label tree, whose records hold the labels, with
// 32-bit labels while every sum fits (half the memory to work through),
// else 64-bit ones. One of the two is filled.
struct DistanceTable {
  LabelTree<std::int32_t> narrow;
  LabelTree<std::int64_t> wide;
};

// Bytes a node that the relaxation adds to the graph at its largest: 64-bit
// tree records, the waiting list, the larger of the queue's ring and the
// passes' tables, and the path of a negative cycle when one is reported.
constexpr std::uint64_t kRelaxationBytesPerNode =
    LabelTree<std::int64_t>::kBytesPerNode + WaitingList::kBytesPerNode +
    std::max(QueueEngine::kBytesPerNode, TopologicalPasses<std::int64_t>::kBytesPerNode) + sizeof(std::int32_t);

// The work each engine may do in its turn, in scans of nodes and their arcs
// (1 + arcs a scan), per node and arc of the graph; both engines get the same
// budget in a round, and it doubles from one round to the next. The queue
// needs under 2.5 on the bench's random graphs and grids; on chains that
// feed a node of many arcs it scans that node again at every step, and on
// graphs without cycles it may scan a node once per arc into it, while the
// passes scan each node at most twice. On graphs with cycles the passes may
// need as many passes as the longest shortest path has arcs, where the queue
// is fast: so neither engine runs for long where the other would be far
// faster.
constexpr std::uint64_t kFirstBudget = 8;

// The engines take turns from the source until no node waits. Returns false
// at a negative cycle (state.cycle). Time O(n m) in the worst case, O(n + m)
// without cycles.
template <class Dist>
bool Relax(Relaxation<Dist>& state) {
  const std::uint64_t size = state.graph.NodeCount() + state.graph.ArcCount();
  auto turn = [&](Engine engine, auto run, std::uint64_t budget) {
    const std::uint64_t before = state.stats.work;
    ++state.stats.turns;
    const bool found = !run(state, budget);
    state.stats.work_by[std::size_t(engine)] += state.stats.work - before;
    if (found || state.waiting.Empty()) state.stats.finisher = engine;
    return !found;
  };
  for (std::uint64_t budget = kFirstBudget * size;; budget *= 2) {
    if (!turn(Engine::kQueue, QueueEngine::Run<Dist>, budget)) return false;
    if (state.waiting.Empty()) return true;
    if (!turn(Engine::kPasses, TopologicalPasses<Dist>::Run, budget)) return false;
    if (state.waiting.Empty()) return true;
  }
}

// Fills D with the cheapest path costs from `source` in G, whose costs are
// at most `largest_magnitude` in absolute value, and returns an empty
// vector; or returns a negative cycle that the source reaches, y .. x,
// closed by the arc (x, y), D then holding no result. Labels are 32-bit
// while no simple path can leave that range and the tree's levels fit
// beside its flags, else 64-bit. `stats`, where given, hears what the
// engines did. Precondition: 1 <= source <= n.
inline std::vector<std::int32_t> CheapestPaths(const Graph& G, std::int32_t source, std::int32_t largest_magnitude,
                                               DistanceTable& D, DistanceStats* stats = nullptr) {
  DistanceStats ignored;
  DistanceStats& tally = stats != nullptr ? *stats : ignored;
  auto relax = [&](auto& tree) {
    Relaxation state(G, source, tree, tally);
    if (!Relax(state)) return std::move(state.cycle);
    return std::vector<std::int32_t>();
  };
  if (std::int64_t(G.NodeCount()) * std::max(largest_magnitude, 1) < (std::int64_t(1) << 29)) return relax(D.narrow);
  return relax(D.wide);
}

}  // namespace wgt
