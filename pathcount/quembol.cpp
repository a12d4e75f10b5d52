// quembol: how many distinct cheapest paths join a source and a destination
// in an undirected graph with costs of 0 or more, by Dijkstra's method with a
// binary heap and a path count carried beside each distance.
//
// Reads "9-quembol.in": n m S D, then m triples x y c (an edge x - y of cost c).
// Writes "quembol.out": the number of cheapest paths from S to D, modulo 2^64.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

#include "error_exit.hpp"
#include "frontier.hpp"
#include "graph.hpp"
#include "graph_builder.hpp"
#include "int_reader.hpp"
#include "memory.hpp"
#include "memory_budget.hpp"
#include "program_frame.hpp"
#include "report_writer.hpp"

namespace {

using wgt::Arc;
using wgt::Graph;
using wgt::HugeArray;

constexpr const char* kInput = "9-quembol.in";
constexpr const char* kOutput = "quembol.out";
constexpr wgt::ProgramInfo kProgram{"quembol", kInput, kOutput, R"(Usage: quembol [--help | --version]
Reads the undirected graph in 9-quembol.in (n m S D, then m lines x y c: an
edge x - y of cost c >= 0) from the current directory, and writes to
quembol.out the number of distinct cheapest paths from S to D, modulo 2^64.
Any other argument is ignored.
Exit status: 0 when the whole result is in quembol.out; 1 otherwise, with one
line on standard error (bad input, too little memory, a file that cannot be
read or written).
Manual: man 1 quembol
)"};

// Bytes per node of the tables the search adds to the graph, at most: per
// end a 64-bit reach and a heap of up to two 128-bit keys a node
// (frontier.hpp), one count, and the nodes that the source's end settles at
// one distance; for the check before allocating.
constexpr std::uint64_t kBytesPerNode = 2 * (8 + 2 * 16) + 8 + 4;

wgt::IntReader fin;
wgt::ReportWriter fout;
std::int32_t n, m, S, D;
std::int32_t largest_cost, smallest_cost;
Graph G;
// The distance table from S, as reaches (frontier.hpp): 32-bit while n
// times the largest cost stays below Inf, so that no tentative distance (a
// final one plus one edge) leaves the range, else 64-bit. One is filled.
struct ReachTable {
  HugeArray<std::int32_t> narrow;
  HugeArray<std::int64_t> wide;
};
ReachTable d;
HugeArray<std::uint64_t> nr;  // cheapest paths found so far; wraps modulo 2^64

// Out of line, so that the loop that reads the edges stays small.
[[noreturn, gnu::cold, gnu::noinline]] void FailEdge(std::int32_t i, const std::string& what) {
  fin.Fail("edge " + std::to_string(i + 1) + ": " + what);
}
[[noreturn, gnu::cold, gnu::noinline]] void FailEdgesEnd(std::int32_t i) {
  fin.FailAtEnd("file ends after " + std::to_string(i) + " of " + std::to_string(m) + " edges");
}
std::string OutsideNodes(std::int32_t node) { return std::to_string(node) + " is outside 1.." + std::to_string(n); }

void ReadGraph() {
  auto read_header = [&](std::int32_t& value) {
    if (!fin.Next(value))
      fin.FailAtEnd("file ends inside the header: expected node count, edge count, source and destination");
  };
  read_header(n);
  if (n < 1) fin.Fail("node count " + std::to_string(n) + " is below 1");
  read_header(m);
  if (m < 0) fin.Fail("edge count " + std::to_string(m) + " is negative");
  const std::uint64_t nodes = std::uint64_t(n) + 1, arcs = 2 * std::uint64_t(m);
  const wgt::MemoryNeed tables{kBytesPerNode * nodes, kBytesPerNode * nodes};
  wgt::RequireMemory(kInput, fin.Line(), std::to_string(n) + " nodes and " + std::to_string(m) + " edges",
                     wgt::GraphBuilder::Need(n, arcs, wgt::GraphBuilder::kEdges, tables));
  read_header(S);
  if (S < 1 || S > n) fin.Fail("source node " + OutsideNodes(S));
  read_header(D);
  if (D < 1 || D > n) fin.Fail("destination node " + OutsideNodes(D));

  wgt::GraphBuilder builder(n, arcs, wgt::GraphBuilder::kEdges);
  std::int32_t largest = 0, smallest = INT32_MAX;  // kept local: stores to the table cannot alias them
  for (std::int32_t i = 0; i < m; ++i) {
    std::int32_t x, y, c;
    if (!fin.Next(x)) FailEdgesEnd(i);
    if (x < 1 || x > n) FailEdge(i, "node " + OutsideNodes(x));
    if (!fin.Next(y)) FailEdgesEnd(i);
    if (y < 1 || y > n) FailEdge(i, "node " + OutsideNodes(y));
    if (!fin.Next(c)) FailEdgesEnd(i);
    if (c < 0) FailEdge(i, "cost " + std::to_string(c) + " is negative");
    largest = std::max(largest, c);
    smallest = std::min(smallest, c);
    builder.AddEdge(x, y, c);
  }
  largest_cost = largest;
  smallest_cost = smallest;
  G = std::move(builder).Build();
  nr = HugeArray<std::uint64_t>(std::size_t(n) + 1, wgt::Touch::kSparse);
}

using wgt::Counting;
using wgt::Frontier;
using wgt::Inf;
using wgt::kNone;

// Counts nothing: the shipped program's tally of how far each end went (a
// bench build counts with its own).
struct Untallied {
  void Settled(std::uint64_t, std::uint64_t) {}
};

// From the source alone, until the count at the destination is final: keys
// leave the heap in increasing order, and only a node settled at no more
// than D's distance can still add to D's count, so the search stops once the
// next key is larger. Exact for edges of cost 0 too, which tie at equal keys.
template <class Dist, class Key, class Tally>
void CountFromSource(std::int32_t source, HugeArray<Dist>& reach, Tally& tally) {
  Frontier<Dist, Key, Counting::kOnTheWay> from_source(G, source, reach, nr);
  for (std::uint64_t next; (next = from_source.Next()) != kNone && next <= from_source.Distance(D);)
    from_source.SettleNext([](std::int32_t, std::uint64_t) {});
  tally.Settled(from_source.Settled(), 0);
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
// least best. The ends therefore share one count table.
template <class Dist, class Key, class Tally>
void CountFromBothEnds(std::int32_t source, HugeArray<Dist>& reach, Tally& tally) {
  HugeArray<Dist> reach_back(std::size_t(n) + 1, wgt::Touch::kSparse);
  Frontier<Dist, Key, Counting::kAtSettling> from_s(G, source, reach, nr), from_d(G, D, reach_back, nr);
  std::uint64_t best = kNone;
  for (;;) {
    const std::uint64_t next_s = from_s.Next(), next_d = from_d.Next();
    if (next_s + next_d >= best) break;
    if (from_s.ArcsScanned() <= from_d.ArcsScanned())
      from_s.SettleNext([&](std::int32_t v, std::uint64_t dist) { best = std::min(best, dist + from_d.Distance(v)); });
    else
      from_d.SettleNext([&](std::int32_t v, std::uint64_t dist) { best = std::min(best, dist + from_s.Distance(v)); });
  }
  tally.Settled(from_s.Settled(), from_d.Settled());
  const std::uint64_t next_s = from_s.Next(), radius = std::min(next_s, best);
  std::uint64_t paths = 0;
  if (best != kNone) {
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
  nr[D] = paths;
}

// Counts the cheapest paths from `source` to D into nr[D], with `reach` the
// table of reaches from the source as far as the search went (Inf minus the
// distance, 0 where not reached). From both ends where every cost is at
// least 1; from the source alone where edges of cost 0 make the count depend
// on the order in which the source's end settles ties.
template <class Dist, class Key, class Tally>
void Dijkstra(std::int32_t source, HugeArray<Dist>& reach, Tally& tally) {
  reach = HugeArray<Dist>(std::size_t(n) + 1, wgt::Touch::kSparse);
  if (source == D || m == 0 || smallest_cost == 0)
    CountFromSource<Dist, Key>(source, reach, tally);
  else
    CountFromBothEnds<Dist, Key>(source, reach, tally);
}

// Counts from S, with reaches as narrow as the costs allow.
template <class Tally>
void CountPaths(Tally& tally) {
  if (std::int64_t(n) * largest_cost < std::numeric_limits<std::int32_t>::max())
    Dijkstra<std::int32_t, std::uint64_t>(S, d.narrow, tally);
  else
    Dijkstra<std::int64_t, wgt::Wide>(S, d.wide, tally);
}

}  // namespace

int main(int argc, char** argv) {
  return wgt::RunProgram(argc, argv, kProgram, fin, fout, [] {
    ReadGraph();
    Untallied tally;
    CountPaths(tally);
    fout.Put(nr[D]);
    fout.Finish();
  });
}
