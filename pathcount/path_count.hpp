// The path counter's core: how many distinct cheapest paths join S and D in
// an undirected graph with costs of 0 or more, modulo 2^64, by Dijkstra's
// method with binary heaps (frontier.hpp): from both ends at once where
// every cost is at least 1, stopping once the searches meet; from S alone
// where an edge of cost 0 makes the count depend on the order in which the
// source's end settles ties (smaller distance, then smaller node number).
// Either way the count is the one a search over every node that S reaches
// would give.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <type_traits>

#include "frontier.hpp"
#include "graph.hpp"
#include "memory.hpp"

namespace wgt {

// How far a count went, for the bench and the tests.
struct SearchStats {
  std::uint64_t settled_from_s = 0, settled_from_d = 0;
};

// The smallest and the largest cost of the graph's edges.
struct CostRange {
  std::int32_t smallest, largest;
};

// The table of distances from S, as reaches (frontier.hpp): 32-bit or
// 64-bit (WithReachTable). One is filled.
struct ReachTable {
  HugeArray<std::int32_t> narrow;
  HugeArray<std::int64_t> wide;
};

// Bytes a node that a count adds to the graph at most, for the check before
// allocating: both ends' tables at 64 bits, only the source's end keeping
// its meeting layer, and the count table.
constexpr std::uint64_t kSearchBytesPerNode = Frontier<std::int64_t, Wide, Counting::kAtSettling, true>::kBytesPerNode +
                                              Frontier<std::int64_t, Wide, Counting::kAtSettling, false>::kBytesPerNode +
                                              sizeof(std::uint64_t);

// From S alone, until the count at D is final: keys leave the heap in
// increasing order, and only a node settled at no more than D's distance
// can still add to D's count, so the search stops once the next key is
// larger. Exact for edges of cost 0 too, which tie at equal keys. `reach`
// and `nr` (cheapest paths found so far) hold n + 1 zeros.
template <class Dist, class Key>
std::uint64_t CountFromSource(const Graph& G, std::int32_t S, std::int32_t D, HugeArray<Dist>& reach,
                              HugeArray<std::uint64_t>& nr, SearchStats& stats) {
  Frontier<Dist, Key, Counting::kOnTheWay, false> from_s(G, S, reach, nr);
  for (std::uint64_t next; (next = from_s.Next()) != kNoDistance && next <= from_s.Distance(D);)
    from_s.SettleNext([](std::int32_t, std::uint64_t) {});
  stats.settled_from_s = from_s.Settled();
  return nr[D];
}

// Cheapest paths counted from both ends at once, every cost at least 1.
// Each step settles a node on the end that has scanned fewer arcs; `best` is
// the least sum of the two ends' distances over nodes both have reached.
// Once the next keys sum to at least `best`, best is the distance d, and
// every cheapest path crosses the radius r = min(next key from S, d) in
// exactly one arc (u, v): d_S(u) < r <= d_S(u) + c. Then u has been settled
// from S, and v's distance from D is not above D's next key, so both counts
// are final: the paths number the sum of nr_S(u) * nr_D(v) over such arcs
// with d_S(u) + c + d_D(v) = d (modulo 2^64 as over the integers). Each v
// is reached from S but not settled before r: it waits in the heap or was
// settled at r itself (when r is d, v is D, which waits).
// No node is settled from both ends: by the time the second end would
// settle it, the next keys sum to at least its two distances, so to at
// least best. The ends therefore share one count table, `nr`; `reach` and
// `nr` hold n + 1 zeros.
template <class Dist, class Key>
std::uint64_t CountFromBothEnds(const Graph& G, std::int32_t S, std::int32_t D, HugeArray<Dist>& reach,
                                HugeArray<std::uint64_t>& nr, SearchStats& stats) {
  HugeArray<Dist> reach_back(reach.size(), Touch::kSparse);
  Frontier<Dist, Key, Counting::kAtSettling, true> from_s(G, S, reach, nr);
  Frontier<Dist, Key, Counting::kAtSettling, false> from_d(G, D, reach_back, nr);
  std::uint64_t best = kNoDistance;
  for (;;) {
    const std::uint64_t next_s = from_s.Next(), next_d = from_d.Next();
    if (next_s + next_d >= best) break;
    if (from_s.ArcsScanned() <= from_d.ArcsScanned())
      from_s.SettleNext([&](std::int32_t v, std::uint64_t dist) { best = std::min(best, dist + from_d.Distance(v)); });
    else
      from_d.SettleNext([&](std::int32_t v, std::uint64_t dist) { best = std::min(best, dist + from_s.Distance(v)); });
  }
  stats.settled_from_s = from_s.Settled(), stats.settled_from_d = from_d.Settled();
  const std::uint64_t next_s = from_s.Next(), radius = std::min(next_s, best);
  std::uint64_t paths = 0;
  if (best != kNoDistance) {
    from_s.ForEachFrom(next_s, [&](std::int32_t v) {
      const std::uint64_t dv = from_s.Distance(v);
      if (dv + from_d.Distance(v) != best) return;
      std::uint64_t crossing = 0;  // paths from S into v through an arc that crosses the radius
      for (const Arc& a : G[v]) {
        const std::uint64_t du = from_s.Distance(a.to);
        if (du + std::uint64_t(a.cost) == dv && du < radius) crossing += nr[a.to];
      }
      paths += crossing * from_d.Count(v);
    });
  }
  return paths;
}

// Every node's distance and count from S: the search from S alone, over
// every node S reaches. `reach` and `nr` hold n + 1 zeros.
template <class Dist, class Key>
void CountToEvery(const Graph& G, std::int32_t S, HugeArray<Dist>& reach, HugeArray<std::uint64_t>& nr,
                  SearchStats& stats) {
  Frontier<Dist, Key, Counting::kOnTheWay, false> from_s(G, S, reach, nr);
  while (from_s.Next() != kNoDistance) from_s.SettleNext([](std::int32_t, std::uint64_t) {});
  stats.settled_from_s = from_s.Settled();
}

// Calls search<Dist, Key>(reach) on the table of d that G's distances
// need, made n + 1 zeros: 32-bit while n times the largest cost stays below
// Inf, so that no tentative distance (a final one plus one edge) leaves
// the range, else 64-bit.
template <class Search>
auto WithReachTable(const Graph& G, CostRange costs, ReachTable& d, Search search) {
  auto made = [&](auto& reach) -> auto& {
    reach = std::remove_reference_t<decltype(reach)>(G.NodeCount() + 1, Touch::kSparse);
    return reach;
  };
  if (std::int64_t(G.NodeCount()) * costs.largest < std::numeric_limits<std::int32_t>::max())
    return search.template operator()<std::int32_t, std::uint64_t>(made(d.narrow));
  return search.template operator()<std::int64_t, Wide>(made(d.wide));
}

// Every node's distance from S in G, whose costs lie in `costs`, and its
// number of cheapest paths modulo 2^64: d receives the distances (Inf minus
// the distance, 0 where not reached) and `nr` the counts. Preconditions as
// for Dijkstra.
inline void DijkstraToEvery(const Graph& G, std::int32_t S, CostRange costs, ReachTable& d,
                            HugeArray<std::uint64_t>& nr, SearchStats* stats = nullptr) {
  SearchStats ignored;
  SearchStats& tally = stats != nullptr ? *stats : ignored;
  WithReachTable(G, costs, d, [&]<class Dist, class Key>(HugeArray<Dist>& reach) {
    CountToEvery<Dist, Key>(G, S, reach, nr, tally);
  });
}

// The number of cheapest paths from S to D in G, whose costs lie in
// `costs`, modulo 2^64: from both ends where every cost is at least 1, from
// S alone otherwise. d receives the distances from S as far as the search
// went (Inf minus the distance, 0 where not reached) and `nr` the counts it
// formed. `stats`, where given, hears how many nodes each end settled. A
// `directed` graph, whose rows do not list the arcs into a node, is
// searched from S alone. Preconditions: 1 <= S, D <= n; costs of 0 or
// more; nr holds n + 1 zeros.
inline std::uint64_t Dijkstra(const Graph& G, std::int32_t S, std::int32_t D, CostRange costs, ReachTable& d,
                              HugeArray<std::uint64_t>& nr, SearchStats* stats = nullptr, bool directed = false) {
  SearchStats ignored;
  SearchStats& tally = stats != nullptr ? *stats : ignored;
  const bool both_ends = !directed && S != D && G.ArcCount() > 0 && costs.smallest > 0;
  return WithReachTable(G, costs, d, [&]<class Dist, class Key>(HugeArray<Dist>& reach) {
    return both_ends ? CountFromBothEnds<Dist, Key>(G, S, D, reach, nr, tally)
                     : CountFromSource<Dist, Key>(G, S, D, reach, nr, tally);
  });
}

}  // namespace wgt
