// The layers of the admissible graph of one iteration of a refinement
// (potential_refinement.hpp): the arcs of reduced cost 0 or less inside the
// component, searched by Tarjan's algorithm (strong_components.hpp) from
// the improvable nodes, the heads of arcs of -1. Where no arc of -1 closes
// an admissible cycle, the components searched form an acyclic graph, and
// a node's layer is the most arcs of -1 on an admissible path into it from
// outside the search; each node keeps the tail of the arc that gave it its
// layer, and Goldberg's path finds such an arc again in the tail's row:
// half the memory of keeping the arc, for a row's scan a component that the
// path crosses. A component's entry is the member whose layer came over one.
// The layers lie in the scratch table of levels until handed to the closure.
//
// Preconditions: nodes 1..size-1; the improvable nodes seeded at layer 1,
// each once, before Build; the scratch tables list, ahead, behind and link
// free during Build, PathToTop and FullestLayer, level from the first Seed
// to HandOver or Clear (iteration_scratch.hpp). Time O(nodes searched +
// their arcs) for Build and for a path, O(nodes searched) for HandOver and
// Clear; memory kBytesPerNode a node besides the scratch tables.
#pragma once

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "graph.hpp"
#include "iteration_scratch.hpp"
#include "memory.hpp"
#include "scaled_component.hpp"
#include "strong_components.hpp"

namespace wgt {

class AdmissibleLayers {
 public:
  // The search's word a node, which numbers a component by its first place
  // in the nodes searched; those nodes, the tails that gave layers; the path.
  static constexpr std::uint64_t kBytesPerNode = StrongComponents::kBytesPerNode + 3 * sizeof(std::int32_t);

  AdmissibleLayers(std::size_t nodes, IterationScratch& scratch)
      : scratch_(scratch), scc_(nodes, scratch), reached_(nodes, Touch::kSparse), layer_(scratch.level),
        from_(nodes, Touch::kSparse), path_(nodes, Touch::kSparse) {}

  // Puts v at layer 1 over an arc of -1 into it from `tail`; false where it
  // is there already.
  bool Seed(std::int32_t v, std::int32_t tail) {
    if (layer_[v] != 0) return false;
    layer_[v] = 1, from_[v] = tail;
    return true;
  }

  // Searches the admissible arcs from the seeded nodes `heads` by Tarjan's
  // algorithm, listing the nodes reached as their components close, and
  // layers every one; the top layer. Returns -1, with the cycle in `cycle`
  // (its nodes in order, the last with an arc to the first), where an arc
  // of -1 closes an admissible cycle.
  std::int32_t Build(const ScaledComponent& c, std::span<const std::int32_t> heads, std::vector<std::int32_t>& cycle,
                     std::uint64_t& work) {
    c_ = &c;
    auto admissible = [&](std::int32_t u, const Arc& a) { return c.Admissible(u, a); };
    auto closed = [&](std::span<const std::int32_t> members) {
      for (std::int32_t v : members) reached_[reached_count_++] = v;
      return true;
    };
    for (std::int32_t head : heads) scc_.Search(*c.g, head, admissible, closed, work);
    std::int32_t top = 0;
    // In topological order, the last closed first: a component k holds
    // reached_[k .. end).
    for (std::uint32_t end = std::uint32_t(reached_count_), k; end > 0; end = k) {
      k = scc_.Component(reached_[end - 1]);
      const std::int32_t d = Enter(k, end);
      top = std::max(top, d);
      for (std::uint32_t i = k; i < end; ++i) {
        const std::int32_t u = reached_[i];
        layer_[u] = d;
        work += 1 + c.Row(u).size();
        for (const Arc& a : c.Row(u)) {
          if (!c.Admissible(u, a)) continue;
          const std::int32_t negative = c.Reduced(u, a) == -1;
          if (scc_.Component(a.to) != k) {
            if (d + negative > layer_[a.to]) layer_[a.to] = d + negative, from_[a.to] = u;
          } else if (negative) {  // the arc and a path back within the component
            cycle.assign(1, a.to);
            WalkWithin(a.to, u, [&](const Link& step) { cycle.push_back(c.ArcOf(step).to); }, work);
            std::reverse(cycle.begin() + 1, cycle.end());
            return -1;
          }
        }
      }
    }
    return top;
  }

  std::int32_t Layer(std::int32_t v) const { return layer_[v]; }
  // Hands each node searched over with its layer, start(v, layer), and
  // leaves the scratch table of levels 0 everywhere, as the closure takes it.
  template <class Start>
  void HandOver(Start start) {
    for (std::int32_t v : Reached()) start(v, std::exchange(layer_[v], 0));
  }
  // Unread from Goldberg's path on until the next Build: a table a node, of whatever it holds.
  HugeArray<std::int32_t>& TailsAfterPath() { return from_; }
  std::span<const std::int32_t> Reached() const { return {&reached_[0], reached_count_}; }

  // Goldberg's path: an admissible path with `top` arcs of -1 into the top
  // layer, in order, found back from a node of the top layer, each
  // component crossed from its entry by a walk within it, and entered over
  // an arc that gives the entry its layer.
  ArcPath PathToTop(std::int32_t top, std::uint64_t& work) {
    std::size_t first = 0;
    while (layer_[reached_[first]] != top) ++first;
    std::size_t length = 0;  // the path's arcs, backwards
    std::int32_t v = reached_[first];
    do {  // within v's component from its entry e, then over an arc into e, until outside the search
      const std::int32_t e = reached_[scc_.Component(v)];
      WalkWithin(e, v, [&](const Link& step) { path_[length++] = step.arc; }, work);
      v = from_[e];
      path_[length++] = ArcGivingLayer(v, e, work);
    } while (layer_[v] != 0);
    std::reverse(&path_[0], &path_[length]);
    return {v, {&path_[0], length}};
  }

  // Goldberg's cut: the layer that holds the most of the seeded `heads`,
  // the lowest of those that tie.
  std::int32_t FullestLayer(std::span<const std::int32_t> heads, std::int32_t top) {
    HugeArray<std::int32_t>& per_layer = scratch_.list;
    for (std::int32_t d = 0; d <= top; ++d) per_layer[std::size_t(d)] = 0;
    for (std::int32_t v : heads) ++per_layer[std::size_t(layer_[v])];
    const std::int32_t* const first = &per_layer[1];
    return std::int32_t(std::max_element(first, first + top) - first) + 1;
  }

  // Forgets the iteration: every table as it was before the first Seed.
  void Clear() {
    for (std::int32_t v : Reached()) layer_[v] = 0;
    scc_.Reset(Reached());
    reached_count_ = 0;
  }

 private:
  // Moves the entry of the component at reached_[k .. end), its member of
  // the highest layer so far, to its start; that layer.
  std::int32_t Enter(std::uint32_t k, std::uint32_t end) {
    std::uint32_t entry = k;
    for (std::uint32_t i = k; i < end; ++i)
      if (layer_[reached_[i]] > layer_[reached_[entry]]) entry = i;
    std::swap(reached_[k], reached_[entry]);
    return layer_[reached_[k]];
  }

  // The index of an admissible arc (u, v) inside the component that lifts
  // u's layer (0 outside the search) to v's, as the arc v's layer came over.
  std::uint32_t ArcGivingLayer(std::int32_t u, std::int32_t v, std::uint64_t& work) const {
    const ScaledComponent& c = *c_;
    work += 1 + c.Row(u).size();
    for (const Arc& a : c.Row(u))
      if (a.to == v && c.Admissible(u, a) && layer_[u] + (c.Reduced(u, a) == -1) == layer_[v]) return c.Index(a);
    assert(false);
    return 0;
  }

  // An admissible path from `from` to `to` within their component, by a
  // breadth-first search on the scratch tables: step(link) hears its arcs
  // backwards, its last arc first.
  template <class Step>
  void WalkWithin(std::int32_t from, std::int32_t to, Step step, std::uint64_t& work) {
    const ScaledComponent& c = *c_;
    HugeArray<std::int32_t>& queue = scratch_.list;
    HugeArray<Link>& parent = scratch_.link;
    const std::uint32_t k = scc_.Component(from);
    assert(scc_.Component(to) == k);
    std::size_t queued = 0;
    queue[queued++] = from;
    parent[from] = {from, 0};
    for (std::size_t next = 0; next < queued && parent[to].tail == kNoNode;) {
      const std::int32_t u = queue[next++];
      work += 1 + c.Row(u).size();
      for (const Arc& a : c.Row(u))
        if (c.Admissible(u, a) && scc_.Component(a.to) == k && parent[a.to].tail == kNoNode)
          parent[a.to] = {u, c.Index(a)}, queue[queued++] = a.to;
    }
    for (std::int32_t v = to; v != from; v = parent[v].tail) step(parent[v]);
    for (std::size_t i = 0; i < queued; ++i) parent[queue[i]] = {kNoNode, 0};
  }

  const ScaledComponent* c_ = nullptr;
  IterationScratch& scratch_;
  StrongComponents scc_;               // numbers the searched nodes' components until Clear
  HugeArray<std::int32_t> reached_;    // the nodes searched, component by component as they closed
  HugeArray<std::int32_t>& layer_;     // 0 for a node not searched
  HugeArray<std::int32_t> from_;       // the tail of the arc that gave each node its layer
  HugeArray<std::uint32_t> path_;      // Goldberg's path
  std::size_t reached_count_ = 0;
};

}  // namespace wgt
