// One scale of Goldberg's scaling algorithm for shortest paths (SIAM J.
// Comput. 24(3), 1995): given node potentials p under which every arc (u, v)
// inside a strongly connected component has a reduced cost
// c(u, v) + p(u) - p(v) of at least -1, with the costs c scaled down to
// ceil(cost / 2^shift), lowers p until every one is at least 0, or finds a
// negative cycle.
//
// Arcs of reduced cost 0 or less are admissible; the head of an arc of -1
// is improvable. An iteration searches the admissible arcs from the
// improvable nodes (strong_components.hpp): an admissible cycle through an
// arc of -1 is a negative cycle; otherwise their components form an acyclic
// graph, and each node's layer d(v) is the most arcs of -1 on an admissible
// path into it. Then p(v) += g(v), g the closure on Dial's buckets
// (level_buckets.hpp) of starting values h <= 0: g(v) is the least over w of
// h(w) plus the cost of a cheapest path w ~> v on which arcs of -1 count 0.
// Every reduced cost then stays at least -1, no arc becomes -1, and an arc
// (u, v) of -1 becomes 0 or more where g(v) < g(u). Three choices of h:
// - every layer at once, h = -d where d > 0: it always fixes the top
//   layer, and in practice most improvable nodes, so it is tried first;
// - Goldberg's cut, h = -1 on the layers from the fullest one i up: it
//   fixes every improvable node of layer i, at least k / D of the k, where
//   D is the top layer;
// - Goldberg's path, h = -t from the t-th arc of -1 on an admissible path
//   with D of them: it fixes the D improvable nodes on it, or shows a
//   negative cycle, which is then extracted.
// After an iteration of all layers that fixed fewer than sqrt(k), the next
// takes the path where D * D >= k and the cut otherwise, which fixes at
// least sqrt(k). So at least sqrt(k) improvable nodes are fixed every two
// iterations: O(sqrt(n)) iterations of O(m) each.
//
// Each step's closure starts from values no lower than the exact distances
// from a virtual source in the reduced costs, so the potentials drop by at
// most n - 1 at a scale (exactness: scaling_engine.hpp).
//
// Preconditions: nodes 1..size-1 of a graph table whose component to refine
// is the nodes lo..hi-1; p of 64 bits. Memory kBytesPerNode a node.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "graph.hpp"
#include "level_buckets.hpp"
#include "memory.hpp"
#include "strong_components.hpp"

namespace wgt {

class PotentialRefinement {
  struct Link {  // how a node was reached: from `tail`, over the arc `arc`
    std::int32_t tail;
    std::uint32_t arc;
  };

 public:
  enum class Outcome { kFeasible, kNegativeCycle, kGoingOn };
  // Which step an iteration takes: every layer at once unless the last one
  // fixed too few, or Goldberg's steps alone (his algorithm as published).
  enum class Rule { kAllLayersFirst, kGoldberg };

  static constexpr std::uint64_t kBytesPerNode = StrongComponents::kBytesPerNode + LevelBuckets::kBytesPerNode +
                                                 9 * sizeof(std::int32_t) + 3 * sizeof(Link);

  explicit PotentialRefinement(std::size_t nodes, Rule rule = Rule::kAllLayersFirst)
      : rule_(rule), scc_(nodes), buckets_(nodes), tails_(nodes, Touch::kSparse), heads_(nodes, Touch::kSparse),
        reached_(nodes, Touch::kSparse), component_(nodes, Touch::kSparse), start_(nodes + 1, Touch::kSparse),
        layer_(nodes, Touch::kSparse), drop_(nodes, Touch::kSparse), settled_(nodes, Touch::kSparse),
        position_(nodes, Touch::kSparse), link_(nodes, Touch::kSparse), trail_(nodes, Touch::kSparse),
        parent_(nodes, Touch::kSparse) {}

  // Starts on the component lo..hi-1 of g at costs ceil(cost / 2^shift),
  // every reduced cost at least -1 under p.
  void Begin(const Graph& g, std::int32_t lo, std::int32_t hi, int shift, HugeArray<std::int64_t>& p) {
    g_ = &g, lo_ = lo, hi_ = hi, shift_ = shift, p_ = p.data();
    tails_count_ = 0;
    for (std::int32_t u = lo; u < hi; ++u) tails_[tails_count_++] = u;  // FindImprovable keeps the right ones
    last_k_ = 0, last_all_layers_ = false;
  }

  // One iteration: kFeasible once every reduced cost is 0 or more, or a
  // negative cycle, its nodes in `cycle` in order, the last with an arc to
  // the first; else kGoingOn.
  Outcome Step(std::vector<std::int32_t>& cycle, std::uint64_t& work) {
    const std::uint64_t k = FindImprovable(work);
    if (k == 0) return Outcome::kFeasible;
    const bool poor =
        rule_ == Rule::kGoldberg || (last_all_layers_ && (last_k_ - k) * (last_k_ - k) < last_k_);
    last_k_ = k, last_all_layers_ = !poor;
    std::int32_t top = 0;
    bool cycle_found = !Layer(top, cycle, work);
    if (!cycle_found) {
      if (!poor)
        AllLayers(top, work);
      else if (std::uint64_t(top) * std::uint64_t(top) >= k)
        cycle_found = !Path(top, cycle, work);
      else
        Cut(top);
    }
    Forget();
    return cycle_found ? Outcome::kNegativeCycle : Outcome::kGoingOn;
  }

 private:
  static constexpr std::int32_t kNone = 0;  // no node: nodes are 1..size-1, and tables start zeroed

  bool Inside(const Arc& a) const { return a.to >= lo_ && a.to < hi_; }
  std::int64_t Scaled(std::int32_t cost) const {
    return (std::int64_t(cost) + (std::int64_t(1) << shift_) - 1) >> shift_;  // ceil(cost / 2^shift)
  }
  std::int64_t Reduced(std::int32_t u, const Arc& a) const { return Scaled(a.cost) + p_[u] - p_[a.to]; }
  bool Admissible(std::int32_t u, const Arc& a) const { return Inside(a) && Reduced(u, a) <= 0; }
  std::uint32_t Index(const Arc& a) const { return g_->ArcIndex(a); }
  const Arc& ArcOf(const Link& link) const { return g_->ArcAt(link.arc); }

  // Lists the heads of the arcs of -1, each at layer 1 and linked to one
  // such arc, and keeps the tails that still have one; their number, k.
  std::uint64_t FindImprovable(std::uint64_t& work) {
    heads_count_ = 0;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < tails_count_; ++i) {
      const std::int32_t u = tails_[i];
      bool any = false;
      work += 1 + (*g_)[u].size();
      for (const Arc& a : (*g_)[u]) {
        if (!Inside(a) || Reduced(u, a) != -1) continue;
        any = true;
        if (layer_[a.to] == 0) {
          layer_[a.to] = 1;
          link_[a.to] = {u, Index(a)};
          heads_[heads_count_++] = a.to;
        }
      }
      if (any) tails_[kept++] = u;
    }
    tails_count_ = kept;
    return heads_count_;
  }

  // Searches the admissible arcs from the improvable nodes and gives each
  // node reached its layer, the top one in `top`. A component's first
  // member (its entry) is the one whose layer came from outside it, over
  // the arc it is linked to. False, with the cycle, where an arc of -1
  // closes an admissible cycle.
  bool Layer(std::int32_t& top, std::vector<std::int32_t>& cycle, std::uint64_t& work) {
    const Graph& g = *g_;
    reached_count_ = 0, components_ = 0;
    auto admissible = [&](std::int32_t u, const Arc& a) { return Admissible(u, a); };
    auto closed = [&](std::span<const std::int32_t> members) {
      start_[components_] = std::uint32_t(reached_count_);
      for (std::int32_t v : members) component_[v] = components_, reached_[reached_count_++] = v;
      ++components_;
      return true;
    };
    for (std::size_t i = 0; i < heads_count_; ++i) scc_.Search(g, heads_[i], admissible, closed, work);
    start_[components_] = std::uint32_t(reached_count_);
    top = 0;
    for (std::int32_t c = components_ - 1; c >= 0; --c) {  // in topological order: the last closed first
      std::uint32_t entry = start_[c];
      for (std::uint32_t i = start_[c]; i < start_[c + 1]; ++i)
        if (layer_[reached_[i]] > layer_[reached_[entry]]) entry = i;
      std::swap(reached_[start_[c]], reached_[entry]);
      const std::int32_t d = layer_[reached_[start_[c]]];
      top = std::max(top, d);
      for (std::uint32_t i = start_[c]; i < start_[c + 1]; ++i) {
        const std::int32_t u = reached_[i];
        layer_[u] = d;
        work += 1 + g[u].size();
        for (const Arc& a : g[u]) {
          if (!Admissible(u, a)) continue;
          const std::int32_t negative = Reduced(u, a) == -1;
          if (component_[a.to] != c) {
            if (d + negative > layer_[a.to]) layer_[a.to] = d + negative, link_[a.to] = {u, Index(a)};
          } else if (negative) {  // the arc and a path back within the component
            cycle.clear();
            WalkWithin(a.to, u, work);
            cycle.push_back(a.to);
            for (std::size_t t = trail_count_; t-- > 0;) cycle.push_back(ArcOf(trail_[t]).to);
            return false;
          }
        }
      }
    }
    return true;
  }

  // Every layer at once: h = -d.
  void AllLayers(std::int32_t top, std::uint64_t& work) {
    buckets_.Open(top);
    for (std::size_t i = 0; i < reached_count_; ++i) buckets_.Put(reached_[i], layer_[reached_[i]]);
    Close(top, work);
  }

  // Goldberg's cut at the layer that holds the most improvable nodes: the
  // layers from it up form a set that no admissible arc leaves, so lowering
  // their potentials by 1 needs no closure.
  void Cut(std::int32_t top) {
    std::vector<std::uint64_t> improvable(std::size_t(top) + 1);
    for (std::size_t i = 0; i < heads_count_; ++i) ++improvable[std::size_t(layer_[heads_[i]])];
    const auto fullest = std::int32_t(std::max_element(improvable.begin() + 1, improvable.end()) - improvable.begin());
    for (std::size_t i = 0; i < reached_count_; ++i)
      if (layer_[reached_[i]] >= fullest) --p_[reached_[i]];
  }

  // Goldberg's path: the admissible path with `top` arcs of -1 into the top
  // layer, found back along the links from a node of the top layer, each
  // component crossed from its entry by a search within it. A node of the
  // path after its t-th arc of -1 starts at -t; the heads of those arcs then
  // all become fixed unless a negative cycle passes through one of them.
  // False, with that cycle, where one does.
  bool Path(std::int32_t top, std::vector<std::int32_t>& cycle, std::uint64_t& work) {
    std::size_t first = 0;
    while (layer_[reached_[first]] != top) ++first;
    std::vector<Link> path;  // its arcs, backwards
    for (std::int32_t v = reached_[first];;) {  // within v's component from its entry e, then over the link into e
      const std::int32_t e = reached_[start_[component_[v]]];
      WalkWithin(e, v, work);
      path.insert(path.end(), &trail_[0], &trail_[trail_count_]);
      path.push_back(link_[e]);
      v = link_[e].tail;
      if (layer_[v] == 0) break;  // outside the search: the path's start
    }
    trail_count_ = path.size();
    std::copy(path.rbegin(), path.rend(), &trail_[0]);
    buckets_.Open(top);
    for (std::int32_t t = 0, i = 0; std::size_t(i) < trail_count_; ++i) {
      const std::int32_t head = ArcOf(trail_[i]).to;
      if (Reduced(trail_[i].tail, ArcOf(trail_[i])) == -1) ++t, position_[head] = i + 1;
      if (t > 0) buckets_.Put(head, t);
    }
    for (std::size_t i = 0; i < reached_count_; ++i) link_[reached_[i]] = {kNone, 0};  // now the closure's tree
    Close(top, work);
    std::int32_t left = kNone;  // a tail whose arc of -1 still enters an improvable node of the path
    const Arc* arc = nullptr;
    for (std::size_t i = 0; i < tails_count_ && left == kNone; ++i)
      for (const Arc& a : (*g_)[tails_[i]])
        if (Inside(a) && position_[a.to] > 0 && Reduced(tails_[i], a) == -1) {
          left = tails_[i], arc = &a;
          break;
        }
    const std::size_t at = left == kNone ? 0 : std::size_t(position_[arc->to] - 1);
    for (std::size_t i = 0; i < trail_count_; ++i) position_[ArcOf(trail_[i]).to] = 0;
    if (left == kNone) return true;
    ExtractCycle(at, left, *arc, cycle);
    return false;
  }

  // An arc (w, x) of -1 left after the path's closure, x the head of the
  // path's arc at `at`: w descends in the closure's tree from a node r of
  // the path after x (the levels along the way leave no other way), and the
  // walk x ~> r along the path, r ~> w down the tree, w -> x costs less
  // than 0. Cut into simple cycles, one of them is negative.
  void ExtractCycle(std::size_t at, std::int32_t w, const Arc& a, std::vector<std::int32_t>& cycle) {
    std::vector<Link> walk;  // the walk's arcs, in order
    for (std::int32_t v = w; link_[v].tail != kNone; v = link_[v].tail) walk.push_back(link_[v]);
    const std::int32_t r = walk.empty() ? w : walk.back().tail;
    std::vector<Link> along;
    for (std::size_t i = at + 1; i < trail_count_ && ArcOf(trail_[i - 1]).to != r; ++i) along.push_back(trail_[i]);
    walk.insert(walk.end(), along.rbegin(), along.rend());
    std::reverse(walk.begin(), walk.end());
    walk.push_back({w, Index(a)});
    SimpleNegativeCycle(walk, cycle);
  }

  // A simple cycle of negative cost from a closed walk of negative cost,
  // given by its arcs in order: each time the walk returns to a node, the
  // loop since its last visit is cut out, and kept if it costs less than 0.
  void SimpleNegativeCycle(const std::vector<Link>& walk, std::vector<std::int32_t>& cycle) {
    std::vector<Link> path;  // the walk so far, loops cut out
    std::vector<std::int64_t> cost{0};  // cost[i]: of path[0..i)
    for (const Link& arc : walk) {
      path.push_back(arc);
      cost.push_back(cost.back() + Scaled(ArcOf(arc).cost));
      position_[arc.tail] = std::int32_t(path.size());
      const std::int32_t head = ArcOf(arc).to;
      if (position_[head] <= 0) continue;
      const std::size_t from = std::size_t(position_[head]) - 1;
      if (cost.back() - cost[from] < 0) {
        cycle.clear();
        for (std::size_t i = from; i < path.size(); ++i) cycle.push_back(path[i].tail);
        break;
      }
      for (std::size_t i = from; i < path.size(); ++i) position_[path[i].tail] = 0;
      path.resize(from), cost.resize(from + 1);
    }
    for (const Link& arc : path) position_[arc.tail] = 0;
  }

  // The closure from the levels put (level = -h), highest first; lowers
  // p(v) by the level each node is settled at, and links each node to the
  // arc that gave it its level.
  void Close(std::int32_t top, std::uint64_t& work) {
    const Graph& g = *g_;
    for (std::int32_t level = top; level >= 1; --level) {
      for (std::int32_t u; (u = buckets_.Take(level)) != LevelBuckets::kNone;) {
        drop_[u] = level;
        settled_[settled_count_++] = u;
        work += 1 + g[u].size();
        for (const Arc& a : g[u]) {
          if (!Inside(a) || drop_[a.to] != 0) continue;
          const std::int64_t next = level - std::max<std::int64_t>(Reduced(u, a), 0);
          if (next > buckets_.Level(a.to)) buckets_.Put(a.to, std::int32_t(next)), link_[a.to] = {u, Index(a)};
        }
      }
    }
    for (std::size_t i = 0; i < settled_count_; ++i) p_[settled_[i]] -= drop_[settled_[i]];
  }

  // An admissible path from `from` to `to` within their component, by a
  // breadth-first search, into trail_ backwards (its last arc first).
  void WalkWithin(std::int32_t from, std::int32_t to, std::uint64_t& work) {
    const std::int32_t c = component_[from];
    std::size_t queued = 0;
    settled_[queued++] = from;
    parent_[from] = {from, 0};
    for (std::size_t next = 0; next < queued && parent_[to].tail == kNone;) {
      const std::int32_t u = settled_[next++];
      work += 1 + (*g_)[u].size();
      for (const Arc& a : (*g_)[u])
        if (Admissible(u, a) && component_[a.to] == c && parent_[a.to].tail == kNone)
          parent_[a.to] = {u, Index(a)}, settled_[queued++] = a.to;
    }
    trail_count_ = 0;
    for (std::int32_t v = to; v != from; v = parent_[v].tail) trail_[trail_count_++] = parent_[v];
    for (std::size_t i = 0; i < queued; ++i) parent_[settled_[i]] = {kNone, 0};
  }

  // Clears what an iteration left in the tables.
  void Forget() {
    for (std::size_t i = 0; i < reached_count_; ++i) layer_[reached_[i]] = 0;
    for (std::size_t i = 0; i < settled_count_; ++i) drop_[settled_[i]] = 0;
    scc_.Reset({&reached_[0], reached_count_});
    settled_count_ = 0;
  }

  const Rule rule_;
  StrongComponents scc_;
  LevelBuckets buckets_;
  const Graph* g_ = nullptr;
  std::int32_t lo_ = 0, hi_ = 0;
  int shift_ = 0;
  std::int64_t* p_ = nullptr;
  HugeArray<std::int32_t> tails_, heads_, reached_, component_;  // tails of arcs of -1; improvable; searched
  HugeArray<std::uint32_t> start_;                             // where each component begins in reached_
  HugeArray<std::int32_t> layer_, drop_, settled_, position_;
  HugeArray<Link> link_, trail_, parent_;
  std::size_t tails_count_ = 0, heads_count_ = 0, reached_count_ = 0, settled_count_ = 0, trail_count_ = 0;
  std::int32_t components_ = 0;
  std::uint64_t last_k_ = 0;      // improvable nodes before the last iteration
  bool last_all_layers_ = false;  // whether it took every layer at once
};

}  // namespace wgt
