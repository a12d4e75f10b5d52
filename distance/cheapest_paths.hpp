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
#include <optional>
#include <vector>

#include "graph.hpp"
#include "memory_budget.hpp"
#include "label_tree.hpp"
#include "queue_phase.hpp"
#include "relaxation.hpp"
#include "relaxation_memory.hpp"
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

// The work each label-correcting engine may do in its first turn, per node
// and arc of the graph, in their units (relaxation.hpp): the queue needs
// under 5 on the bench's random graphs and grids. The scaling engine gets
// kScalingShare times as much in its own units: on the inputs where the
// label-correcting engines are slow, a unit of theirs costs up to ten times
// one of the scaling engine's (150 ns against 13 on a disguised tail of a
// million nodes), whose numbering of the graph keeps what it visits together.
constexpr std::uint64_t kFirstBudget = 8, kScalingShare = 8;

// Without the scaling engine nothing bounds the label-correcting engines:
// the disguised tail of a million nodes would keep them some twelve hours.
// So they get the rounds up to the one whose budget is
// kLastBudgetWithoutScaling a node and arc (in all at most four times that
// for both, and a step a turn), and the relaxation then stops, unfinished,
// with Unbounded.
constexpr std::uint64_t kLastBudgetWithoutScaling = 32;
struct Unbounded {
  std::optional<BindingLimit> binding;  // the limit that left the scaling engine out, if one did
};

// The engines that take turns after the peel, in order, and their shares
// of a round's budget.
struct Share {
  Engine engine;
  std::uint64_t share;
};
constexpr Share kShares[] = {{Engine::kQueue, 1}, {Engine::kPasses, 1}, {Engine::kScaling, kScalingShare}};

// The peel, then the engines' turns until no node waits. Returns false at a
// negative cycle (state.cycle).
//
// In each round every engine gets its share of a budget that doubles from
// round to round, and no engine loses its work between turns: the
// label-correcting engines go on from the labels as they stand, the scaling
// engine from where its last turn stopped (it works on labels of its own,
// and starts a component's potentials from the others' labels only where
// they leave it fewer scales, so their work may spare it scales and adds
// none to it; from its first turn on, all work on the one graph renumbered
// for it). What is proven: if the scaling engine needs W of its own work, it
// finishes by the first round whose share reaches W, and every round up to
// it, for all engines together, costs at most (2 + kScalingShare) /
// kScalingShare times the scaling engine's share of it, plus a step a turn
// past the budget (a turn ends at the first step, a scan or a pass over the
// graph, that ends past it). The shares double, so the whole relaxation
// costs O(W + n + m): Goldberg's O(sqrt(n) m log N + m log n) on any input.
// What is not: that the label-correcting engines, which share labels and
// may help or hinder each other, finish within a constant factor of their
// work alone; each is fast where the other is slow (the queue scans a node
// of many arcs again at every step of a chain that feeds it, the passes
// need as many passes as the longest shortest path has arcs), and where
// both are slow the scaling engine bounds them. It is left out where its
// tables do not fit in memory (`room`), and then so are the rounds past
// kLastBudgetWithoutScaling.
template <class Dist>
bool Relax(Relaxation<Dist>& state, ScalingRoom room) {
  std::unique_ptr<ScalingEngine> scaling;
  auto run = [&](Engine engine, std::uint64_t budget) {
    switch (engine) {
      case Engine::kPeel:
        return TopologicalPeel::Run(state);
      case Engine::kQueue:
        return QueueEngine::Run(state, budget);
      case Engine::kPasses:
        return TopologicalPasses<Dist>::Run(state, budget);
      case Engine::kScaling:
        if (!scaling) scaling = std::make_unique<ScalingEngine>();
        return scaling->Run(state, budget);
      case Engine::kUndecided:
        break;
    }
    return true;
  };
  bool no_cycle = true;
  // A turn; true once the relaxation is done: a negative cycle, or no node
  // waits. Then the input's numbering is back, where the scaling engine
  // changed it; not where a turn throws, as the run then ends: putting it
  // back needs memory, which may be what ran out.
  auto turn = [&](Engine engine, std::uint64_t budget) {
    const std::uint64_t before = state.stats.work;
    no_cycle = run(engine, budget);
    const bool done = !no_cycle || state.waiting.Empty();
    state.stats.Turn(engine, state.stats.work - before, done);
    if (done && scaling) scaling->Restore(state);
    return done;
  };
  // Whether the scaling engine takes its turns, decided at its first; where
  // it is left out, the limit that leaves it out.
  std::optional<BindingLimit> binding;
  auto scaling_takes_turns = [&] {
    if (room == ScalingRoom::kWhereItFits) {
      binding = ScalingBinding(state);
      room = binding ? ScalingRoom::kNever : ScalingRoom::kAlways;
    }
    return room == ScalingRoom::kAlways;
  };
  if (turn(Engine::kPeel, 0)) return no_cycle;
  const std::uint64_t size = state.graph.NodeCount() + state.graph.ArcCount();
  for (std::uint64_t budget = kFirstBudget * size;; budget *= 2) {
    if (room == ScalingRoom::kNever && budget > kLastBudgetWithoutScaling * size) throw Unbounded{binding};
    for (const Share& share : kShares)
      if ((share.engine != Engine::kScaling || scaling_takes_turns()) && turn(share.engine, share.share * budget))
        return no_cycle;
  }
}

// Fills D with the cheapest path costs from `source` in G, whose costs are
// at most `largest_magnitude` in absolute value, and returns an empty
// vector; or returns a negative cycle that the source reaches, y .. x,
// closed by the arc (x, y), D then holding no result. G is renumbered
// meanwhile, and the same as before once it returns (not where it throws,
// which ends the run). The scaling engine takes its turns as `room` says;
// without it, the relaxation may stop unfinished and throw Unbounded. Labels are 32-bit while no simple
// path can leave that range and the tree's levels fit beside its flags,
// else 64-bit. `stats`, where given, hears what the engines did.
// Precondition: 1 <= source <= n.
inline std::vector<std::int32_t> CheapestPaths(Graph& G, std::int32_t source, std::int32_t largest_magnitude,
                                               ScalingRoom room, DistanceTable& D, DistanceStats* stats = nullptr) {
  DistanceStats ignored;
  DistanceStats& tally = stats != nullptr ? *stats : ignored;
  auto relax = [&](auto& tree) {
    Relaxation state(G, source, tree, tally);
    if (!Relax(state, room)) return std::move(state.cycle);
    return std::vector<std::int32_t>();
  };
  if (std::int64_t(G.NodeCount()) * std::max(largest_magnitude, 1) < (std::int64_t(1) << 29)) return relax(D.narrow);
  return relax(D.wide);
}

}  // namespace wgt
