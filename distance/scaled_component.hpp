// The view a scale of the scaling engine has of one strongly connected
// component: its nodes lo..hi-1 of a graph table, its costs scaled down to
// ceil(cost / 2^shift), and the potentials p that reduce them. The parts of
// a refinement (admissible_layers.hpp, dial_closure.hpp) share it; none of
// them owns it.
//
// Preconditions: 0 <= shift <= 32, so that a scaled cost fits 64 bits with
// room for the potentials (scaling_engine.hpp bounds them). O(1) a query.
#pragma once

#include <cassert>
#include <cstdint>
#include <span>

#include "graph.hpp"

namespace wgt {

// How a node was reached: from `tail`, over the arc at index `arc` of the
// table. A tail of kNoNode marks a node reached from outside the search.
struct Link {
  std::int32_t tail;
  std::uint32_t arc;
};
constexpr std::int32_t kNoNode = 0;  // nodes are 1..n, and tables start zeroed

// A path from `start` over the arcs at these indices, each from the head
// of the one before.
struct ArcPath {
  std::int32_t start;
  std::span<const std::uint32_t> arcs;
};

struct ScaledComponent {
  const Graph* g = nullptr;
  std::int32_t lo = 0, hi = 0;
  int shift = 0;
  std::int64_t* p = nullptr;

  bool Inside(const Arc& a) const { return a.to >= lo && a.to < hi; }
  std::int64_t Scaled(std::int32_t cost) const {
    assert(shift >= 0 && shift <= 32);
    return (std::int64_t(cost) + (std::int64_t(1) << shift) - 1) >> shift;
  }
  std::int64_t Reduced(std::int32_t u, const Arc& a) const { return Scaled(a.cost) + p[u] - p[a.to]; }
  // Arcs of reduced cost 0 or less inside the component.
  bool Admissible(std::int32_t u, const Arc& a) const { return Inside(a) && Reduced(u, a) <= 0; }
  std::uint32_t Index(const Arc& a) const { return g->ArcIndex(a); }
  const Arc& ArcAt(std::uint32_t index) const { return g->ArcAt(index); }
  const Arc& ArcOf(const Link& link) const { return ArcAt(link.arc); }
  std::span<const Arc> Row(std::int32_t u) const { return (*g)[u]; }

  // The least reduced cost of an arc inside the component: the
  // certificate that a scale is done (0 or more) or may begin (-1 or more).
  std::int64_t LeastReduced() const {
    std::int64_t least = 0;
    for (std::int32_t u = lo; u < hi; ++u)
      for (const Arc& a : Row(u))
        if (Inside(a) && Reduced(u, a) < least) least = Reduced(u, a);
    return least;
  }
};

}  // namespace wgt
