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
// (potential_refinement.hpp) repairs.
//
// Time O(sqrt(n) m log N + m log n) whatever the input (Goldberg's bound for
// the scales, the heap for the last step), against O(n m) for the
// label-correcting engines; on graphs without cycles, and on components
// without negative arcs, O(m log n). The engine works on a copy of the
// reached graph renumbered in topological order of its components, which
// keeps the nodes of a component, and those of a long path, close in memory.
// It keeps its tables between turns and goes on from where the last turn
// stopped; the shared labels change only once it is done. Exact on every
// input the program accepts (scaling_bound.hpp).
#pragma once

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "component_order.hpp"
#include "graph.hpp"
#include "memory.hpp"
#include "min_heap.hpp"
#include "potential_refinement.hpp"
#include "reduced_dijkstra.hpp"
#include "scaling_bound.hpp"
#include "relaxation.hpp"

namespace wgt {

class ScalingEngine {
 public:
  // At its largest, while the components are refined: the order and ends of
  // the components, the local graph's row bounds, labels, potentials, the
  // refinement's tables and the heap (two 128-bit entries a node); and a
  // copy of every arc.
  static constexpr std::uint64_t kBytesPerNode = ComponentOrder::kBytesPerNode + 2 * sizeof(std::int64_t) +
                                                 PotentialRefinement::kBytesPerNode + 2 * sizeof(Wide);
  static constexpr std::uint64_t kBytesPerArc = sizeof(Arc);

  explicit ScalingEngine(const Graph& g, PotentialRefinement::Rule rule = PotentialRefinement::Rule::kAllLayersFirst)
      : g_(g), rule_(rule) {}

  // Goes on for `budget` more work, from where the last turn stopped: a
  // turn stops at the first step that ends past its budget. Once done,
  // labels every node that state's source reaches with its cheapest path
  // cost and empties state.waiting; returns false with a negative cycle in
  // state.cycle.
  template <class Dist>
  bool Run(Relaxation<Dist>& state, std::uint64_t budget) {
    const std::uint64_t before = work_;
    limit_ = work_ + budget;
    const bool no_cycle = Advance(state.source);
    state.stats.work += work_ - before;
    if (!no_cycle) {
      state.cycle.clear();
      for (std::int32_t v : cycle_) state.cycle.push_back(order_.Node(std::size_t(v) - 1));
      return false;
    }
    if (phase_ == Phase::kDone) {
      for (std::size_t i = 0; i < order_.Reached(); ++i) state.tree.Settle(order_.Node(i), Dist(label_[i + 1]));
      state.waiting.Clear();
    }
    return true;
  }

 private:
  enum class Phase { kOrder, kRenumber, kComponents, kDone };
  enum class Stage { kEnter, kRefine, kDijkstra };  // within a component

  // Steps until done, at a negative cycle (false), or past the limit.
  bool Advance(std::int32_t source) {
    while (phase_ != Phase::kDone && work_ <= limit_) {
      if (phase_ == Phase::kOrder) {
        order_.Find(g_, source, work_);
        phase_ = Phase::kRenumber;
      } else if (phase_ == Phase::kRenumber) {
        Renumber(source);
        phase_ = Phase::kComponents;
      } else if (!StepComponent()) {
        return false;
      }
    }
    return true;
  }

  // The reached graph renumbered; every label unreached but the source's.
  void Renumber(std::int32_t source) {
    local_ = order_.Renumber(g_, source, work_);
    label_ = HugeArray<std::int64_t>(order_.Reached() + 1, Touch::kSparse);
    p_ = HugeArray<std::int64_t>(order_.Reached() + 1, Touch::kSparse);
    for (std::size_t v = 1; v <= order_.Reached(); ++v) label_[v] = kUnlabelled;
    label_[order_.LocalSource()] = 0;
  }

  // One step within the current component: a component of one node, or
  // the entry into a larger one, or one iteration of its refinement, or
  // Dijkstra's method in it. False at a negative cycle.
  bool StepComponent() {
    if (component_ == order_.Components()) {
      phase_ = Phase::kDone;
      return true;
    }
    const std::int32_t lo = order_.Begin(component_), end = order_.End(component_);
    switch (stage_) {
      case Stage::kEnter:
        if (end - lo == 1) {
          ++component_;
          return SettleSingleton(lo);
        }
        shift_ = Scales(lo, end) - 1;
        if (shift_ < 0) {
          stage_ = Stage::kDijkstra;
          return true;
        }
        if (refinement_.get() == nullptr) refinement_ = std::make_unique<PotentialRefinement>(order_.Reached() + 1, rule_);
        refinement_->Begin(local_, lo, end, shift_, p_);
        stage_ = Stage::kRefine;
        return true;
      case Stage::kRefine:
        switch (refinement_->Step(cycle_, work_)) {
          case PotentialRefinement::Outcome::kGoingOn:
            return true;
          case PotentialRefinement::Outcome::kNegativeCycle:
            return false;
          case PotentialRefinement::Outcome::kFeasible:
            break;
        }
        if (shift_-- == 0) {
          assert((ScaledComponent{&local_, lo, end, 0, p_.data()}.LeastReduced() >= 0));
          stage_ = Stage::kDijkstra;
          return true;
        }
        for (std::int32_t u = lo; u < end; ++u) p_[u] *= 2;  // every arc at least -1 at the next scale
        refinement_->Begin(local_, lo, end, shift_, p_);
        return true;
      case Stage::kDijkstra:
        if (heap_.get() == nullptr) heap_ = std::make_unique<MinHeap<Wide>>(2 * (order_.Reached() + 1));
        SettleReduced(local_, lo, end, label_, p_, *heap_, work_);
        stage_ = Stage::kEnter;
        ++component_;
        return true;
    }
    return true;
  }

  // A component of one node: its label is final. False at a negative
  // self-loop.
  bool SettleSingleton(std::int32_t u) {
    work_ += 1 + local_[u].size();
    for (const Arc& a : local_[u]) {
      if (a.to == u && a.cost < 0) {
        cycle_.assign(1, u);
        return false;
      }
      label_[a.to] = std::min(label_[a.to], label_[u] + a.cost);
    }
    return true;
  }

  // The number of scales B for the component lo..end-1: 2^B exceeds the
  // magnitude of its most negative arc, 0 where none is negative.
  int Scales(std::int32_t lo, std::int32_t end) {
    std::uint64_t largest_negative = 0;
    for (std::int32_t u = lo; u < end; ++u) {
      work_ += 1 + local_[u].size();
      for (const Arc& a : local_[u])
        if (a.to >= lo && a.to < end && a.cost < 0) largest_negative = std::max(largest_negative, std::uint64_t(-std::int64_t(a.cost)));
    }
    return int(std::bit_width(largest_negative));
  }

  const Graph& g_;
  const PotentialRefinement::Rule rule_;
  std::uint64_t work_ = 0, limit_ = 0;
  Phase phase_ = Phase::kOrder;
  Stage stage_ = Stage::kEnter;
  std::size_t component_ = 0;  // the component being labelled
  int shift_ = 0;              // its scale: costs ceil(c / 2^shift)
  ComponentOrder order_;
  Graph local_;  // order_.Node(i) as node i + 1
  HugeArray<std::int64_t> label_, p_;
  std::unique_ptr<PotentialRefinement> refinement_;
  std::unique_ptr<MinHeap<Wide>> heap_;
  std::vector<std::int32_t> cycle_;  // in local nodes
};

}  // namespace wgt
