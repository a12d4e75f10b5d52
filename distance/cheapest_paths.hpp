// The distance program's core: the cheapest path cost from a source to every
// node of a directed graph whose costs may be negative, or a negative cycle
// that the source reaches. A peel in topological order (topological_peel.hpp)
// settles what no cycle reaches; then three engines take turns: two that
// correct labels on the same label tree with Tarjan's subtree disassembly
// (label_tree.hpp, relaxation.hpp), a first-in-first-out queue
// (queue_phase.hpp) and passes in topological order (topological_passes.hpp),
// and one with a proven bound, Goldberg's scaling algorithm on the strongly
// connected components in turn (scaling_engine.hpp).
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "graph.hpp"
#include "label_tree.hpp"
#include "queue_phase.hpp"
#include "relaxation.hpp"
#include "scaling_engine.hpp"
#include "topological_passes.hpp"
#include "topological_peel.hpp"

namespace wgt {

// The distance table: the label tree, whose records hold the labels, with
// 32-bit labels while every sum fits (half the memory to work through),
// else 64-bit ones. One of the two is filled.
struct DistanceTable {
  LabelTree<std::int32_t> narrow;
  LabelTree<std::int64_t> wide;
};

// What the relaxation adds to the graph at its largest, for the checks
// before allocating: without the scaling engine, a node's 64-bit tree
// record, its place in the waiting list and on the path of a negative cycle
// when one is reported, and the largest of the peel's, the queue's and the
// passes' tables, which never coexist; with it, its tables too, which it
// keeps between its turns, and its copy of every arc.
constexpr std::uint64_t kRelaxationBytesPerNode =
    LabelTree<std::int64_t>::kBytesPerNode + WaitingList::kBytesPerNode + sizeof(std::int32_t) +
    std::max({TopologicalPeel::kBytesPerNode, QueueEngine::kBytesPerNode, TopologicalPasses<std::int64_t>::kBytesPerNode});
constexpr std::uint64_t kScalingBytesPerNode = ScalingEngine::kBytesPerNode, kScalingBytesPerArc = ScalingEngine::kBytesPerArc;

// The work each label-correcting engine may do in its first turn, per node
// and arc of the graph, in their units (relaxation.hpp): the queue needs
// under 5 on the bench's random graphs and grids. The scaling engine gets
// kScalingShare times as much in its own units: on the inputs where the
// label-correcting engines are slow, a unit of theirs costs up to ten times
// one of the scaling engine's (150 ns against 13 on a disguised tail of a
// million nodes), whose copy of the graph keeps what it visits together.
constexpr std::uint64_t kFirstBudget = 8, kScalingShare = 8;

// The peel, then the engines' turns until no node waits. Returns false at a
// negative cycle (state.cycle).
//
// The turns: in each round the queue, the passes and the scaling engine get
// budgets in the ratio 1 : 1 : kScalingShare, which double from round to
// round. No turn's work is lost to its own engine: the label-correcting
// engines go on from the labels as they stand, the scaling engine from
// where its last turn stopped (it works on its own copy of the graph and
// labels). So if an engine needs W of work of its own and finishes in round
// r, the rounds before gave it less than W; its budget in round r is below
// W plus its first budget, and all three together, 2 + kScalingShare times
// as much over all rounds up to r, did less than (2 + kScalingShare) 2
// times that in their units (one step more a turn: a turn ends at the first
// step past its budget, a scan or a pass over the graph). The total is thus
// within a constant factor of the engine fastest on the input, plus a
// linear term. For the scaling engine, whose work does not depend on the
// others', that bounds the whole relaxation by its O(sqrt(n) m log N +
// m log n). The label-correcting engines share labels, and one's work may
// help or hinder the other's, so for them the argument holds as far as that
// goes: each is fast where the other is slow (the queue scans a node of
// many arcs again at every step of a chain that feeds it, the passes need
// as many passes as the longest shortest path has arcs). The scaling engine
// is left out where its tables do not fit in memory (`scaling_fits`), and
// where its keys could overflow 64 bits (ScalingEngine::Fits), which no
// graph that fits in memory reaches.
template <class Dist>
bool Relax(Relaxation<Dist>& state, std::int32_t largest_magnitude, bool scaling_fits) {
  const std::uint64_t size = state.graph.NodeCount() + state.graph.ArcCount();
  auto turn = [&](Engine engine, auto run) {
    const std::uint64_t before = state.stats.work;
    ++state.stats.turns;
    const bool found = !run();
    state.stats.work_by[std::size_t(engine)] += state.stats.work - before;
    if (found || state.waiting.Empty()) state.stats.finisher = engine;
    return found || state.waiting.Empty();
  };
  bool found = false;
  auto cycle = [&](bool ok) { return found = !ok, ok; };
  if (turn(Engine::kPeel, [&] { return cycle(TopologicalPeel::Run(state)); })) return !found;
  std::unique_ptr<ScalingEngine> scaling;
  const bool bounded = scaling_fits && ScalingEngine::Fits(state.graph.NodeCount(), std::uint64_t(largest_magnitude));
  for (std::uint64_t budget = kFirstBudget * size;; budget *= 2) {
    if (turn(Engine::kQueue, [&] { return cycle(QueueEngine::Run(state, budget)); })) return !found;
    if (turn(Engine::kPasses, [&] { return cycle(TopologicalPasses<Dist>::Run(state, budget)); })) return !found;
    if (!bounded) continue;
    if (!scaling) scaling = std::make_unique<ScalingEngine>(state.graph);
    if (turn(Engine::kScaling, [&] { return cycle(scaling->Run(state, kScalingShare * budget)); })) return !found;
  }
}

// Fills D with the cheapest path costs from `source` in G, whose costs are
// at most `largest_magnitude` in absolute value, and returns an empty
// vector; or returns a negative cycle that the source reaches, y .. x,
// closed by the arc (x, y), D then holding no result. The scaling engine
// takes its turns only where `scaling_fits` (its tables in memory). Labels
// are 32-bit while no simple path can leave that range and the tree's
// levels fit beside its flags, else 64-bit. `stats`, where given, hears
// what the engines did. Precondition: 1 <= source <= n.
inline std::vector<std::int32_t> CheapestPaths(const Graph& G, std::int32_t source, std::int32_t largest_magnitude,
                                               bool scaling_fits, DistanceTable& D, DistanceStats* stats = nullptr) {
  DistanceStats ignored;
  DistanceStats& tally = stats != nullptr ? *stats : ignored;
  auto relax = [&](auto& tree) {
    Relaxation state(G, source, tree, tally);
    if (!Relax(state, largest_magnitude, scaling_fits)) return std::move(state.cycle);
    return std::vector<std::int32_t>();
  };
  if (std::int64_t(G.NodeCount()) * std::max(largest_magnitude, 1) < (std::int64_t(1) << 29)) return relax(D.narrow);
  return relax(D.wide);
}

}  // namespace wgt
