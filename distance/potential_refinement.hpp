// One scale of Goldberg's scaling algorithm for shortest paths (SIAM J.
// Comput. 24(3), 1995): given node potentials p under which every arc (u, v)
// inside a strongly connected component has a reduced cost
// c(u, v) + p(u) - p(v) of at least -1, with the costs c scaled down to
// ceil(cost / 2^shift), lowers p until every one is at least 0, or finds a
// negative cycle.
//
// Arcs of reduced cost 0 or less are admissible; the heads of arcs of -1
// improvable. An iteration layers the admissible graph from them
// (admissible_layers.hpp): an admissible cycle through an arc of -1 is a
// negative cycle; else v's layer d(v) is the most arcs of -1 on an
// admissible path into v. Then p(v) += g(v), g the closure
// (dial_closure.hpp) of starting values h <= 0: g(v) is the least over w
// of h(w) plus the cost of a cheapest path w ~> v on which arcs of -1 count
// 0. Every reduced cost then stays at least -1, no arc becomes -1, and an
// arc (u, v) of -1 becomes 0 or more where g(v) < g(u). Three choices of h:
// - every layer at once, h = -d where d > 0: it always fixes the top
//   layer, and in practice most improvable nodes, so it is tried first;
// - Goldberg's cut, h = -1 on the layers from the fullest one i up: it
//   fixes every improvable node of layer i, at least k / D of the k, where
//   D is the top layer;
// - Goldberg's path, h = -t from the t-th arc of -1 on an admissible path
//   with D of them: it fixes the D improvable nodes on it, or shows a
//   negative cycle, which is then extracted (simple_cycle.hpp).
// After an iteration of all layers that fixed fewer than sqrt(k), the next
// takes the path where D * D >= k and the cut otherwise, which fixes at
// least sqrt(k): at least sqrt(k) improvable nodes are fixed every two
// iterations, O(sqrt(n)) iterations of O(m) each; asserted below, with
// the certificates that a scale begins and ends as it must. Each closure
// starts no lower than the exact distances from a virtual source in the
// reduced costs, which bounds the potentials (scaling_bound.hpp).
// Preconditions: nodes 1..size-1, the component lo..hi-1; p of 64 bits. Memory kBytesPerNode a node.
#pragma once

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "admissible_layers.hpp"
#include "dial_closure.hpp"
#include "graph.hpp"
#include "iteration_scratch.hpp"
#include "memory.hpp"
#include "scaled_component.hpp"
#include "simple_cycle.hpp"

namespace wgt {

class PotentialRefinement {
 public:
  enum class Outcome { kFeasible, kNegativeCycle, kGoingOn };
  // Every layer at once unless the last one fixed too few, or Goldberg's steps alone.
  enum class Rule { kAllLayersFirst, kGoldberg };

  // The layers, the scratch they share with the closure; the tails of arcs of -1.
  static constexpr std::uint64_t kBytesPerNode =
      AdmissibleLayers::kBytesPerNode + IterationScratch::kBytesPerNode + sizeof(std::int32_t);

  explicit PotentialRefinement(std::size_t nodes, Rule rule = Rule::kAllLayersFirst)
      : rule_(rule), scratch_(nodes), layers_(nodes, scratch_), closure_(scratch_), tails_(nodes, Touch::kSparse),
        heads_(scratch_.heads) {}

  // Starts on the component lo..hi-1 of g at costs ceil(cost / 2^shift),
  // every reduced cost at least -1 under p.
  void Begin(const Graph& g, std::int32_t lo, std::int32_t hi, int shift, HugeArray<std::int64_t>& p) {
    c_ = {&g, lo, hi, shift, p.data()};
    assert(c_.LeastReduced() >= -1);
    tails_count_ = std::size_t(hi - lo), every_tail_ = true;  // FindImprovable lists the right ones
    last_k_ = 0, last_all_layers_ = false;
  }

  // One iteration: kFeasible once every reduced cost is 0 or more, or a negative cycle, its
  // nodes in `cycle` in order, the last with an arc to the first; else kGoingOn.
  Outcome Step(std::vector<std::int32_t>& cycle, std::uint64_t& work) {
    const std::uint64_t k = FindImprovable(work);
    if (k == 0) {
      assert(c_.LeastReduced() >= 0);
      return Outcome::kFeasible;
    }
    assert(last_k_ == 0 || k < last_k_);  // the last iteration fixed one at least
    const bool poor = rule_ == Rule::kGoldberg || (last_all_layers_ && (last_k_ - k) * (last_k_ - k) < last_k_);
    last_k_ = k, last_all_layers_ = !poor;
    const std::int32_t top = layers_.Build(c_, {&heads_[0], heads_count_}, cycle, work);
    bool cycle_found = top < 0;
    if (!cycle_found) {
      if (!poor)
        AllLayers(top, work);
      else if (std::uint64_t(top) * std::uint64_t(top) >= k)
        cycle_found = !Path(top, cycle, work);
      else
        Cut(top);
    }
    layers_.Clear();
    closure_.Clear();
    return cycle_found ? Outcome::kNegativeCycle : Outcome::kGoingOn;
  }

 private:
  // Seeds the heads of the arcs of -1 at layer 1, each from one such
  // arc, and keeps the tails that still have one; their number, k.
  std::uint64_t FindImprovable(std::uint64_t& work) {
    heads_count_ = 0;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < tails_count_; ++i) {
      const std::int32_t u = every_tail_ ? c_.lo + std::int32_t(i) : tails_[i];
      bool any = false;
      work += 1 + c_.Row(u).size();
      for (const Arc& a : c_.Row(u)) {
        if (!c_.Inside(a) || c_.Reduced(u, a) != -1) continue;
        any = true;
        if (layers_.Seed(a.to, u)) heads_[heads_count_++] = a.to;
      }
      if (any) tails_[kept++] = u;
    }
    tails_count_ = kept, every_tail_ = false;
    return heads_count_;
  }

  // Every layer at once: h = -d.
  void AllLayers(std::int32_t top, std::uint64_t& work) {
    closure_.Open(top);
    layers_.HandOver([&](std::int32_t v, std::int32_t layer) { closure_.Start(v, layer); });
    closure_.Close<false>(c_, top, work);
  }

  // Goldberg's cut at the layer that holds the most improvable nodes: no admissible
  // arc leaves the layers from it up, so lowering their potentials by 1 needs no closure.
  void Cut(std::int32_t top) {
    const std::int32_t fullest = layers_.FullestLayer({&heads_[0], heads_count_}, top);
    for (std::int32_t v : layers_.Reached())
      if (layers_.Layer(v) >= fullest) --c_.p[v];
  }

  // Goldberg's path into the top layer: a node of it after its t-th arc of -1 starts at -t;
  // the heads of those arcs all become fixed unless a negative cycle, then returned (false), passes one.
  bool Path(std::int32_t top, std::vector<std::int32_t>& cycle, std::uint64_t& work) {
    const ArcPath path = layers_.PathToTop(top, work);
    layers_.HandOver([](std::int32_t, std::int32_t) {});  // the closure starts on the path alone
    // The head of the path's i-th arc holds i + 1, negated unless the arc is -1; elsewhere anything.
    HugeArray<std::int32_t>& place = layers_.TailsAfterPath();
    auto improvable_at = [&](std::int32_t v) -> std::size_t {  // 1 + the place of the arc of -1 into v, else 0
      const std::size_t i = std::size_t(std::max(place[v], 0));
      return i > 0 && i <= path.arcs.size() && c_.ArcAt(path.arcs[i - 1]).to == v ? i : 0;
    };
    closure_.Open(top);
    for (std::int32_t t = 0, i = 0, tail = path.start; std::size_t(i) < path.arcs.size(); ++i) {
      const Arc& arc = c_.ArcAt(path.arcs[std::size_t(i)]);
      const bool negative = c_.Reduced(tail, arc) == -1;
      t += negative, place[arc.to] = negative ? i + 1 : -(i + 1), tail = arc.to;
      if (t > 0) closure_.Start(arc.to, t);
    }
    closure_.Close<true>(c_, top, work);
    for (std::size_t i = 0; i < tails_count_; ++i)  // an arc of -1 that still enters an improvable node of the path
      for (const Arc& a : c_.Row(tails_[i]))
        if (const std::size_t at = c_.Inside(a) ? improvable_at(a.to) : 0; at > 0 && c_.Reduced(tails_[i], a) == -1) {
          cycle = ExtractCycle(path, at - 1, tails_[i], a);
          return false;
        }
    return true;
  }

  // An arc (w, x) of -1 left after the path's closure, x the head of the
  // path's arc at `at`: w descends in the closure's tree from a node r of
  // the path after x, and the walk x ~> r along the path, r ~> w down the
  // tree, w -> x costs less than 0, and holds a simple negative cycle; cut
  // out in scratch tables that the closure no longer needs.
  std::vector<std::int32_t> ExtractCycle(const ArcPath& path, std::size_t at, std::int32_t w, const Arc& a) {
    HugeArray<std::int32_t>& climbed = scratch_.ahead;
    std::size_t down = 0;  // the tree's arcs r ~> w, the last first
    std::int32_t r = w;
    for (; closure_.TreeLink(r).tail != kNoNode; r = closure_.TreeLink(r).tail)
      climbed[down++] = std::int32_t(closure_.TreeLink(r).arc);
    std::size_t along = 0;  // the path's arcs x ~> r, from at + 1
    while (at + 1 + along < path.arcs.size() && c_.ArcAt(path.arcs[at + along]).to != r) ++along;
    auto arc = [&](std::size_t k) -> const Arc& {
      if (k < along) return c_.ArcAt(path.arcs[at + 1 + k]);
      if (k < along + down) return c_.ArcAt(std::uint32_t(climbed[down - 1 - (k - along)]));
      return a;
    };
    return SimpleNegativeCycle(c_.ArcAt(path.arcs[at]).to, along + down + 1, arc,
                               [&](const Arc& b) { return c_.Scaled(b.cost); }, scratch_.behind, scratch_.heads);
  }

  const Rule rule_;
  ScaledComponent c_;
  IterationScratch scratch_;  // before the two that borrow it
  AdmissibleLayers layers_;
  DialClosure closure_;
  HugeArray<std::int32_t> tails_;   // tails of arcs of -1
  HugeArray<std::int32_t>& heads_;  // the improvable nodes, until the closure opens
  std::size_t tails_count_ = 0, heads_count_ = 0;
  bool every_tail_ = false;       // whether the tails are yet the whole component, unlisted
  std::uint64_t last_k_ = 0;      // improvable nodes before the last iteration
  bool last_all_layers_ = false;  // whether it took every layer at once
};

}  // namespace wgt
