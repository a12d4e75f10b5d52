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

#include "distance_table.hpp"
#include "error_exit.hpp"
#include "graph.hpp"
#include "graph_builder.hpp"
#include "int_reader.hpp"
#include "memory.hpp"
#include "memory_budget.hpp"
#include "program_frame.hpp"
#include "report_writer.hpp"

namespace {

using wgt::Arc;
using wgt::Die;
using wgt::Graph;
using wgt::HugeArray;

constexpr const char* kInput = "9-quembol.in";
constexpr const char* kOutput = "quembol.out";
constexpr wgt::ProgramInfo kProgram{"quembol", kInput, kOutput, R"(Usage: quembol [--help | --version]
Reads the undirected graph in 9-quembol.in (n m S D, then m lines x y c: an
edge x - y of cost c >= 0) from the current directory, and writes to
quembol.out the number of distinct cheapest paths from S to D, modulo 2^64.
Takes no other arguments.
Exit status: 0 when the whole result is in quembol.out; 1 otherwise, with one
line on standard error (bad input, too little memory, a file that cannot be
read or written).
Manual: man 1 quembol
)"};

// Distances are kept as Inf minus the distance ("reach"): a table of zero
// bytes then reads "not reached", so it needs no filling and costs nothing
// where the search never goes, and a nearer node has a larger reach.
// Distances are exact: a tentative distance is a final one plus one edge, at
// most n * C, so 64-bit reaches stay positive, and 32-bit ones are used while
// n * C stays below Inf.
template <class Dist>
constexpr Dist Inf = std::numeric_limits<Dist>::max();

// Bytes per node of the tables the search adds to the graph (per end a
// 64-bit reach, one count, and the nodes that the source's end settles at
// one distance) and per heap entry (128-bit keys), for the check before
// allocating. Each end's heap has a capacity of one entry per arc, but in
// practice the two hold fewer entries together than there are nodes, and
// pages never touched cost nothing but address space.
constexpr std::uint64_t kBytesPerNode = 2 * 8 + 8 + 4, kBytesPerEntry = 16;

wgt::IntReader fin;
wgt::ReportWriter fout;
std::int32_t n, m, S, D;
std::int32_t C;   // the largest edge cost
std::int32_t C0;  // the smallest
Graph G;
wgt::DistanceTable d;
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
  const wgt::MemoryNeed tables{(kBytesPerNode + kBytesPerEntry) * nodes, kBytesPerNode * nodes + 2 * kBytesPerEntry * (arcs + 2)};
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
  C = largest;
  C0 = smallest;
  G = std::move(builder).Build();
  nr = HugeArray<std::uint64_t>(std::size_t(n) + 1, wgt::Touch::kSparse);
}

// A heap entry: the distance in the high bits, the node in the low 32, so
// that entries order by distance and then by node number: 64 bits for 32-bit
// distances, 128 for 64-bit ones.
__extension__ using Wide = unsigned __int128;

template <class Key>
Key Pack(std::int64_t dist, std::int32_t node) {
  return Key(dist) << 32 | Key(std::uint32_t(node));
}

// Binary min-heap of keys with a capacity fixed up front. Root at index 1,
// so that the eight great-grandchildren of i, 8i..8i+7, fill one cache line:
// a pop prefetches three and four levels ahead of where it stands.
template <class Key>
class MinHeap {
 public:
  // Small pages: a heap that holds few entries touches few.
  explicit MinHeap(std::size_t capacity) : a_(capacity + 1, wgt::Touch::kSparse) {}
  bool Empty() const { return size_ == 0; }
  std::size_t Size() const { return size_; }
  // Entry i in heap order, 1 being the smallest. Precondition: i <= Size().
  Key At(std::size_t i) const { return a_[i]; }
  void Push(Key key) {
    std::size_t i = ++size_;
    for (; i > 1 && key < a_[i / 2]; i /= 2) a_[i] = a_[i / 2];
    a_[i] = key;
  }
  Key Pop() {
    Key top = a_[1], last = a_[size_--];
    std::size_t i = 1;
    for (std::size_t child; (child = 2 * i) <= size_; i = child) {
      // Never past the end: pages there were never touched, and on small
      // pages every such prefetch costs a page walk.
      __builtin_prefetch(&a_[std::min(8 * i, size_)]);
      __builtin_prefetch(&a_[std::min(16 * i, size_)]);
      __builtin_prefetch(&a_[std::min(16 * i + 8, size_)]);
      child += child < size_ && a_[child + 1] < a_[child];
      if (!(a_[child] < last)) break;
      a_[i] = a_[child];
    }
    a_[i] = last;
    return top;
  }

 private:
  HugeArray<Key> a_;
  std::size_t size_ = 0;
};

// A distance that no path has: every real one is at most n * C < 2^62, so
// sums of two of these fit 64 bits.
constexpr std::uint64_t kNone = std::uint64_t(1) << 62;

// Nodes settled from each end: the bench builds the program with
// QUEMBOL_REPORT_SETTLED to see how far a search went; the shipped program
// prints nothing.
void Report([[maybe_unused]] std::uint64_t from_s, [[maybe_unused]] std::uint64_t from_d) {
#ifdef QUEMBOL_REPORT_SETTLED
  std::fprintf(stderr, "settled %llu %llu\n", (unsigned long long)from_s, (unsigned long long)from_d);
#endif
}

// When a node's count is formed. On the way (kOnTheWay): copied on every
// strict improvement and summed on every tie, as nodes are settled in
// (distance, node) order; edges of cost 0 are counted in that order with no
// further correction. At settling (kAtSettling), where every cost is at
// least 1: the sum over the node's arcs from nodes settled at its distance
// less the cost, all of which are settled by then. The second writes counts
// only for settled nodes, not for every node reached.
enum class Counting { kOnTheWay, kAtSettling };

// Dijkstra's method from one end, with a lazy heap: outdated entries stay in
// it and are skipped when they surface. Nodes are settled in (distance,
// node) order. Reach and count tables are the caller's, all zero on entry.
// Time O((n + m) log m) for a whole run; each strict improvement pushes one entry.
template <class Dist, class Key, Counting kCounting>
class Frontier {
 public:
  Frontier(std::int32_t from, HugeArray<Dist>& reach, HugeArray<std::uint64_t>& count)
      : from_(from), reach_(reach), count_(count), heap_(G.ArcCount() + 1),
        layer_(kCounting == Counting::kAtSettling ? std::size_t(n) : 0, wgt::Touch::kSparse) {
    reach_[from] = Inf<Dist>;
    count_[from] = 1;
    heap_.Push(Pack<Key>(0, from));
  }

  bool Reached(std::int32_t v) const { return reach_[v] != 0; }
  std::uint64_t Distance(std::int32_t v) const { return Reached(v) ? std::uint64_t(Inf<Dist> - reach_[v]) : kNone; }
  // Counting at settling, the paths into v over its arcs from nodes one
  // cost nearer: with every cost at least 1, those are settled, and their
  // counts final, once v's distance is not above the next key. The end
  // itself has one path.
  std::uint64_t Count(std::int32_t v) const {
    if (v == from_) return 1;
    std::uint64_t paths = 0;
    for (const Arc& a : G[v])
      if (reach_[a.to] - Dist(a.cost) == reach_[v]) paths += count_[a.to];
    return paths;
  }
  std::uint64_t ArcsScanned() const { return arcs_scanned_; }
  std::uint64_t Settled() const { return settled_; }
  // Calls visit(v) for every node reached at distance `next` or more, where
  // `next` is what Next() returned (counting at settling): those waiting in
  // the heap, and those already settled at `next`.
  template <class Visit>
  void ForEachFrom(std::uint64_t next, Visit visit) const {
    for (std::size_t i = 1; i <= heap_.Size(); ++i) {
      auto v = std::int32_t(std::uint32_t(heap_.At(i)));
      if (Dist(heap_.At(i) >> 32) == Inf<Dist> - reach_[v]) visit(v);  // outdated entries skipped
    }
    if (layer_key_ == next)
      for (std::size_t i = 0; i < layer_size_; ++i) visit(layer_[i]);
  }

  // Drops outdated entries; the distance of the next node to settle, or
  // kNone when none is left. Precedes every call to SettleNext.
  std::uint64_t Next() {
    for (; !heap_.Empty(); heap_.Pop()) {
      Key top = heap_.At(1);
      auto x = std::int32_t(std::uint32_t(top));
      if (Dist(top >> 32) == Inf<Dist> - reach_[x]) return std::uint64_t(top >> 32);
    }
    return kNone;
  }

  // Settles the next node and relaxes its row; lowered(y, distance) follows
  // every strict improvement.
  template <class Lowered>
  void SettleNext(Lowered lowered) {
    const Key top = heap_.Pop();
    auto x = std::int32_t(std::uint32_t(top));
    // The next nodes out are near the top: fetch their rows while x is
    // relaxed (their bounds were fetched when they were pushed).
    for (std::size_t i = 1; i <= 3 && i <= heap_.Size(); ++i) G.PrefetchRow(std::int32_t(std::uint32_t(heap_.At(i))));
    auto row = G[x];
    for (const Arc& a : row) __builtin_prefetch(&reach_[a.to]);  // overlap the misses
    if constexpr (kCounting == Counting::kAtSettling) {
      if (std::uint64_t(top >> 32) != layer_key_) layer_key_ = std::uint64_t(top >> 32), layer_size_ = 0;
      layer_[layer_size_++] = x;
    }
    ++settled_;
    arcs_scanned_ += row.size();
    const Dist from = reach_[x];  // x is final: only its count can still grow, through a self-loop of cost 0
    std::uint64_t paths = x == from_;  // counting at settling: Count(x), gathered in this pass
    for (const Arc& a : row) {
      const Dist through = from - Dist(a.cost), there = reach_[a.to];
      if (through > there) {
        reach_[a.to] = through;
        if constexpr (kCounting == Counting::kOnTheWay) count_[a.to] = count_[x];
        heap_.Push(Pack<Key>(Inf<Dist> - through, a.to));
        G.PrefetchBounds(a.to);
        lowered(a.to, std::uint64_t(Inf<Dist> - through));
      } else if constexpr (kCounting == Counting::kOnTheWay) {
        if (through == there) count_[a.to] += count_[x];
      } else if (there - Dist(a.cost) == from) {  // a.to is one cost nearer, so settled
        paths += count_[a.to];
      }
    }
    if constexpr (kCounting == Counting::kAtSettling) count_[x] = paths;
  }

 private:
  std::int32_t from_;
  HugeArray<Dist>& reach_;
  HugeArray<std::uint64_t>& count_;
  MinHeap<Key> heap_;
  HugeArray<std::int32_t> layer_;  // the nodes settled at layer_key_, counting at settling
  std::size_t layer_size_ = 0;
  std::uint64_t layer_key_ = kNone;
  std::uint64_t arcs_scanned_ = 0;
  std::uint64_t settled_ = 0;
};

// From the source alone, until the count at the destination is final: keys
// leave the heap in increasing order, and only a node settled at no more
// than D's distance can still add to D's count, so the search stops once the
// next key is larger. Exact for edges of cost 0 too, which tie at equal keys.
template <class Dist, class Key>
void CountFromSource(HugeArray<Dist>& reach) {
  Frontier<Dist, Key, Counting::kOnTheWay> from_source(S, reach, nr);
  for (std::uint64_t next; (next = from_source.Next()) != kNone && next <= from_source.Distance(D);)
    from_source.SettleNext([](std::int32_t, std::uint64_t) {});
  Report(from_source.Settled(), 0);
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
template <class Dist, class Key>
void CountFromBothEnds(HugeArray<Dist>& reach) {
  HugeArray<Dist> reach_back(std::size_t(n) + 1, wgt::Touch::kSparse);
  Frontier<Dist, Key, Counting::kAtSettling> from_s(S, reach, nr), from_d(D, reach_back, nr);
  std::uint64_t best = kNone;
  for (;;) {
    const std::uint64_t next_s = from_s.Next(), next_d = from_d.Next();
    if (next_s + next_d >= best) break;
    if (from_s.ArcsScanned() <= from_d.ArcsScanned())
      from_s.SettleNext([&](std::int32_t v, std::uint64_t dist) { best = std::min(best, dist + from_d.Distance(v)); });
    else
      from_d.SettleNext([&](std::int32_t v, std::uint64_t dist) { best = std::min(best, dist + from_s.Distance(v)); });
  }
  Report(from_s.Settled(), from_d.Settled());
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

// Counts the cheapest paths from `source` (which is S) to D into nr[D], with
// dist the distance table from S as far as the search went (reach: Inf minus
// the distance, 0 where not reached). From both ends where every cost is at
// least 1; from S alone where edges of cost 0 make the count depend on the
// order in which the source's end settles ties.
template <class Dist, class Key>
void Dijkstra(std::int32_t source, HugeArray<Dist>& dist) {
  dist = HugeArray<Dist>(std::size_t(n) + 1, wgt::Touch::kSparse);
  if (source == D || m == 0 || C0 == 0)
    CountFromSource<Dist, Key>(dist);
  else
    CountFromBothEnds<Dist, Key>(dist);
}

}  // namespace

int main(int argc, char** argv) {
  return wgt::RunProgram(argc, argv, kProgram, fin, fout, [] {
    ReadGraph();
    if (std::int64_t(n) * C < std::numeric_limits<std::int32_t>::max())
      Dijkstra<std::int32_t, std::uint64_t>(S, d.narrow);
    else
      Dijkstra<std::int64_t, Wide>(S, d.wide);
    fout.Put(nr[D]);
    fout.Finish();
  });
}
