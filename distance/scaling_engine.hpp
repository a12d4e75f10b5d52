// The bounded engine of the distance program: the strongly connected
// components of the graph that the source reaches (strong_components.hpp),
// taken in topological order; in each, Goldberg's scaling algorithm (SIAM J.
// Comput. 24(3), 1995) finds potentials under which no arc inside it costs
// less than 0, or a negative cycle, and Dijkstra's method with those
// potentials (reduced_dijkstra.hpp) then settles its nodes from the labels
// that earlier components gave them. Scaling takes the costs a bit at a
// time, from ceil(c / 2^(B-1)) to c itself, where 2^B > N, the largest
// negative cost's magnitude: doubling the potentials of one scale leaves
// every arc at the next at least -1, which one refinement
// (potential_refinement.hpp) repairs; from the other engines' labels
// where those leave fewer scales (potential_start.hpp).
//
// Time O(sqrt(n) m log N + m log n) whatever the input (Goldberg's bound for
// the scales, the heap for the last step); O(m log n) without cycles. It
// renumbers the relaxation for every engine in topological order of the
// components (shared_numbering.hpp), keeps its numbering, labels and
// potentials between turns, the other tables only within one, folding the
// label tree away meanwhile (folded_tree.hpp), and goes on from where the
// last turn stopped; the shared labels change, and the input's numbering
// comes back, once it is done. Exact on every input the program accepts
// (scaling_bound.hpp).
#pragma once

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "component_order.hpp"
#include "folded_tree.hpp"
#include "graph.hpp"
#include "memory.hpp"
#include "min_heap.hpp"
#include "potential_refinement.hpp"
#include "potential_start.hpp"
#include "reduced_dijkstra.hpp"
#include "relaxation.hpp"
#include "scaling_bound.hpp"
#include "shared_numbering.hpp"

namespace wgt {

class ScalingEngine {
 public:
  // What it keeps between turns: the order (to be the numbering) and ends,
  // labels, potentials (and its needs: relaxation_memory.hpp).
  static constexpr std::uint64_t kKeptBytesPerNode = ComponentOrder::kBytesPerNode + 2 * sizeof(std::int64_t);
  static constexpr std::uint64_t kDominantShare = 8;  // a component of more than 1/8 of the nodes is dominant

  explicit ScalingEngine(PotentialRefinement::Rule rule = PotentialRefinement::Rule::kAllLayersFirst) : rule_(rule) {}

  // Goes on for `budget` more work, from where the last turn stopped: a
  // turn stops at the first step that ends past its budget. Once done,
  // labels every node that state's source reaches with its cheapest path
  // cost and empties state.waiting; returns false with a negative cycle in
  // state.cycle. Between its first turn and then, state is renumbered; the
  // input's numbering is back once it is done, or once Restore is called.
  // Precondition: the same state at every turn.
  template <class Dist>
  bool Run(Relaxation<Dist>& state, std::uint64_t budget) {
    const std::uint64_t before = work_;
    limit_ = work_ + budget;
    FoldedTree<Dist> folded(state.tree, state.source);  // it reads the labels alone
    state.waiting.Release();
    const bool no_cycle = Advance(state, folded);
    if (!no_cycle) state.cycle = cycle_;
    refinement_.reset(), heap_.reset();  // room for the tree, the other engines' turns, or the input's numbering
    if (no_cycle && phase_ != Phase::kDone) {
      state.tree = std::move(folded).Unfold(state.source);
    } else {
      // The tree, made in the input's numbering, never lies beside a second graph or tree.
      folded = FoldedTree<Dist>(), p_ = HugeArray<std::int64_t>();
      if (no_cycle) state.waiting.Clear();
      LabelsIntoTree<Dist> result{state.tree, label_, no_cycle ? order_.Reached() : 0, state.source};
      numbering_.Restore(state, result, work_);
      label_ = EngineLabels();
    }
    state.stats.work += work_ - before;
    return no_cycle;
  }

  // Puts back the input's numbering of state, where the engine changed it,
  // once another engine is done; its own tables go first.
  template <class Dist>
  void Restore(Relaxation<Dist>& state) {
    label_ = EngineLabels(), p_ = HugeArray<std::int64_t>();
    numbering_.Restore(state, work_);
  }

 private:
  enum class Phase { kOrder, kRenumber, kComponents, kDone };
  enum class Stage { kEnter, kRefine, kDijkstra };  // within a component

  // Steps until done, at a negative cycle (false), or past the limit.
  template <class Dist>
  bool Advance(Relaxation<Dist>& state, FoldedTree<Dist>& folded) {
    while (phase_ != Phase::kDone && work_ <= limit_) {
      if (phase_ == Phase::kOrder)
        order_.Find(state.graph, state.source, work_), phase_ = Phase::kRenumber;
      else if (phase_ == Phase::kRenumber)
        Renumber(state, folded), phase_ = Phase::kComponents;
      else if (!StepComponent(folded))
        return false;
    }
    return true;
  }

  // The relaxation renumbered; every label unreached but the source's.
  template <class Dist>
  void Renumber(Relaxation<Dist>& state, FoldedTree<Dist>& folded) {
    numbering_.Apply(state, folded, order_, work_);
    g_ = &state.graph;
    label_ = EngineLabels(order_.Reached() + 1);
    p_ = HugeArray<std::int64_t>(order_.Reached() + 1, Touch::kSparse);
    label_.Set(state.source, 0);
  }

  // One step within the current component: a component of one node, or
  // the entry into a larger one, or one iteration of its refinement, or
  // Dijkstra's method in it. False at a negative cycle.
  template <class Dist>
  bool StepComponent(const FoldedTree<Dist>& folded) {
    if (component_ == order_.Components()) {
      phase_ = Phase::kDone;
      return true;
    }
    const std::int32_t lo = order_.Begin(component_), end = order_.End(component_);
    switch (stage_) {
      case Stage::kEnter:
        if (end - lo == 1) {
          ++component_;
          return SettleSingleton(*g_, lo, label_, cycle_, work_);
        }
        shift_ = StartScales(*g_, lo, end, folded, p_, work_);
        stage_ = shift_ < 0 ? Stage::kDijkstra : Stage::kRefine;
        return shift_ < 0 || BeginScale(lo, end);
      case Stage::kRefine:
        // A turn's end took the refinement's tables: the scale begins again
        // from its potentials, under which no reduced cost went below -1.
        if (refinement_.get() == nullptr) return BeginScale(lo, end);
        switch (refinement_->Step(cycle_, work_)) {
          case PotentialRefinement::Outcome::kGoingOn:
            return true;
          case PotentialRefinement::Outcome::kNegativeCycle:
            return false;
          case PotentialRefinement::Outcome::kFeasible:
            break;
        }
        if (shift_-- == 0) {
          stage_ = Stage::kDijkstra;
          return true;
        }
        for (std::int32_t u = lo; u < end; ++u) p_[u] *= 2;  // every arc at least -1 at the next scale
        return BeginScale(lo, end);
      case Stage::kDijkstra: {
        assert((ScaledComponent{g_, lo, end, 0, p_.data()}.LeastReduced() >= 0));
        // In a dominant component the refinement's tables and the heap make
        // way for each other; there are at most kDominantShare of them.
        const std::size_t size = std::size_t(end - lo);
        const bool dominant = kDominantShare * size > order_.Reached();
        if (dominant) refinement_.reset();
        if (heap_.get() == nullptr || heap_->Capacity() < 2 * size) heap_.reset(), heap_ = std::make_unique<MinHeap<Wide>>(2 * size);
        SettleReduced(*g_, lo, end, label_, p_, *heap_, work_);
        if (dominant) heap_.reset();
        stage_ = Stage::kEnter;
        ++component_;
        return true;
      }
    }
    return true;
  }

  // Begins the current scale, making the refinement's tables where they
  // are gone; true, as a step that finds no cycle.
  bool BeginScale(std::int32_t lo, std::int32_t end) {
    if (refinement_.get() == nullptr) refinement_ = std::make_unique<PotentialRefinement>(order_.Reached() + 1, rule_);
    refinement_->Begin(*g_, lo, end, shift_, p_);
    return true;
  }

  const PotentialRefinement::Rule rule_;
  std::uint64_t work_ = 0, limit_ = 0;
  Phase phase_ = Phase::kOrder;
  Stage stage_ = Stage::kEnter;
  std::size_t component_ = 0;  // the component being labelled
  int shift_ = 0;              // its scale: costs ceil(c / 2^shift)
  ComponentOrder order_;
  SharedNumbering numbering_;  // the order's i-th node as node i, in the order's table
  const Graph* g_ = nullptr;   // the relaxation's graph, once renumbered
  EngineLabels label_;
  HugeArray<std::int64_t> p_;
  std::unique_ptr<PotentialRefinement> refinement_;
  std::unique_ptr<MinHeap<Wide>> heap_;
  std::vector<std::int32_t> cycle_;  // in local nodes
};

}  // namespace wgt
