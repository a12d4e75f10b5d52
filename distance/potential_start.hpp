// Where the scales of the scaling engine (scaling_engine.hpp) begin in a
// strongly connected component, and from which potentials: from 0 at the
// costs' own scales; or, where the labels that the label-correcting engines
// have found so far leave fewer scales, from those labels, scaled down.
// Labels are costs of real paths, so they undo any shift of the costs by
// potentials: on costs shifted by potentials up to 2^30 (30 scales) they
// leave some 20, and spare 30 to 40% of the engine's work. One pass over
// the component finds both counts, so the labels add no work where they do
// not help; the bound takes the fewer scales (scaling_bound.hpp).
//
// Preconditions: the component is the nodes lo..end-1 of g, the labels'
// nodes numbered as g's. Time O(nodes + arcs of the component).
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>

#include "folded_tree.hpp"
#include "graph.hpp"
#include "label_tree.hpp"
#include "memory.hpp"
#include "scaling_bound.hpp"

namespace wgt {

// The magnitudes of the most negative arcs inside the component lo..end-1
// of g (0 where none is negative): of their costs c, and of the costs
// c + q(u) - q(v) that potentials q reduce them to. At potentials 0 the
// scales begin at shift B - 1, B = Scales(), where 2^B exceeds the first.
// At potentials floor(q / 2^s) they can begin at the least shift s with
// 2^s at least the second, FirstReducedShift(), as every arc's reduced
// cost then starts at -1 or more:
//   ceil(c / 2^s) + floor(q(u) / 2^s) - floor(q(v) / 2^s) > (c + q(u) - q(v)) / 2^s - 1 >= -2;
// and where the second is 0 (FirstReducedShift() is then -1), q itself
// leaves every cost 0 or more. Precondition: c + q(u) - q(v) fits 64 bits.
struct MostNegative {
  std::uint64_t cost = 0, reduced = 0;
  int Scales() const { return int(std::bit_width(cost)); }
  int FirstReducedShift() const { return reduced == 0 ? -1 : int(std::bit_width(reduced - 1)); }
};
template <class Potential>
MostNegative MostNegativeOf(const Graph& g, std::int32_t lo, std::int32_t end, Potential q, std::uint64_t& work) {
  MostNegative most;
  for (std::int32_t u = lo; u < end; ++u) {
    work += 1 + g[u].size();
    const std::int64_t from = q(u);
    for (const Arc& a : g[u]) {
      if (a.to < lo || a.to >= end) continue;
      most.cost = std::max(most.cost, std::uint64_t(std::max<std::int64_t>(0, -std::int64_t(a.cost))));
      most.reduced = std::max(most.reduced, std::uint64_t(std::max<std::int64_t>(0, q(a.to) - from - a.cost)));
    }
  }
  return most;
}

// The shift that the component lo..end-1 of g begins at, -1 where it needs
// none, with its potentials p set for it: 0 where the costs' own scales are
// taken, else the labels scaled down. Only labels below kStartBound
// in magnitude are taken, and only where every node of the component has
// one.
template <class Dist>
int StartScales(const Graph& g, std::int32_t lo, std::int32_t end, const FoldedTree<Dist>& labels,
                HugeArray<std::int64_t>& p, std::uint64_t& work) {
  auto q = [&](std::int32_t v) { return std::int64_t(labels.Label(v)); };
  bool labelled = true;
  for (std::int32_t u = lo; u < end && labelled; ++u)
    labelled = labels.Label(u) != INF<Dist> && q(u) > -kStartBound && q(u) < kStartBound;
  const MostNegative most = labelled ? MostNegativeOf(g, lo, end, q, work)
                                     : MostNegativeOf(g, lo, end, [](std::int32_t) { return std::int64_t(0); }, work);
  const int own = most.Scales() - 1, from_labels = most.FirstReducedShift();
  if (!labelled || from_labels >= own) return own;
  for (std::int32_t u = lo; u < end; ++u) p[u] = from_labels < 0 ? q(u) : q(u) >> from_labels;
  return from_labels;
}

}  // namespace wgt
