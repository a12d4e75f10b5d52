// quembol: how many distinct cheapest paths join a source and a destination
// in an undirected graph with costs of 0 or more, by Dijkstra's method with a
// binary heap and a path count carried beside each distance.
//
// Reads "9-quembol.in": n m S D, then m triples x y c (an edge x - y of cost c).
// Writes "quembol.out": the number of cheapest paths from S to D, modulo 2^64.
#include <algorithm>
#include <cstdint>
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

// Marks a node not reached (yet). Distances are exact: a tentative distance
// is a final one plus one edge, at most n * C, so 64-bit sums never overflow
// and 32-bit ones are used while n * C stays below 2^31.
template <class Dist>
constexpr Dist Inf = std::numeric_limits<Dist>::max();

// Bytes per node of the tables the search adds to the graph (64-bit
// distances, counts) and per heap entry (128-bit keys), for the check before
// allocating. The heap's capacity is one entry per arc, but in practice it
// holds fewer entries than there are nodes, and pages never touched cost
// nothing but address space.
constexpr std::uint64_t kBytesPerNode = 8 + 8, kBytesPerEntry = 16;

wgt::IntReader fin;
wgt::ReportWriter fout;
std::int32_t n, m, S, D;
std::int32_t C;  // the largest edge cost
Graph G;
wgt::DistanceTable d;
HugeArray<std::uint64_t> nr;  // cheapest paths found so far; wraps modulo 2^64

void ReadGraph() {
  auto read_header = [&](std::int32_t& value) {
    if (!fin.Next(value))
      fin.FailAtEnd("file ends inside the header: expected node count, edge count, source and destination");
  };
  auto check_node = [&](std::int32_t node, const std::string& what) {
    if (node < 1 || node > n) fin.Fail(what + " " + std::to_string(node) + " is outside 1.." + std::to_string(n));
  };
  read_header(n);
  if (n < 1) fin.Fail("node count " + std::to_string(n) + " is below 1");
  read_header(m);
  if (m < 0) fin.Fail("edge count " + std::to_string(m) + " is negative");
  const std::uint64_t nodes = std::uint64_t(n) + 1, arcs = 2 * std::uint64_t(m);
  const wgt::MemoryNeed tables{(kBytesPerNode + kBytesPerEntry) * nodes, kBytesPerNode * nodes + kBytesPerEntry * (arcs + 2)};
  wgt::RequireMemory(kInput, fin.Line(), std::to_string(n) + " nodes and " + std::to_string(m) + " edges",
                     wgt::GraphBuilder::Need(n, arcs, tables));
  read_header(S);
  check_node(S, "source node");
  read_header(D);
  check_node(D, "destination node");

  wgt::GraphBuilder builder(n, arcs);
  for (std::int32_t i = 0; i < m; ++i) {
    auto read = [&](std::int32_t& value) {
      if (!fin.Next(value))
        fin.FailAtEnd("file ends after " + std::to_string(i) + " of " + std::to_string(m) + " edges");
    };
    std::int32_t x, y, c;
    read(x);
    if (x < 1 || x > n) check_node(x, "edge " + std::to_string(i + 1) + ": node");
    read(y);
    if (y < 1 || y > n) check_node(y, "edge " + std::to_string(i + 1) + ": node");
    read(c);
    if (c < 0) fin.Fail("edge " + std::to_string(i + 1) + ": cost " + std::to_string(c) + " is negative");
    C = std::max(C, c);
    builder.Add(x, y, c);
    builder.Add(y, x, c);
  }
  G = std::move(builder).Build();
  nr = HugeArray<std::uint64_t>(std::size_t(n) + 1);
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
  explicit MinHeap(std::size_t capacity) : a_(capacity + 1) {}
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
      __builtin_prefetch(&a_[8 * i]);
      __builtin_prefetch(&a_[16 * i]);
      __builtin_prefetch(&a_[16 * i + 8]);
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

// Dijkstra's method from `source` with a lazy heap: outdated entries stay in
// it and are skipped when they surface. On return dist[v] is the least cost
// source -> v (Inf if unreached) and nr[v] counts the cheapest paths, copied
// on every strict improvement and summed on every tie. Edges of cost 0 are
// counted in the order the heap hands nodes out, smaller node first on equal
// distance, with no further correction. Reads n and G.
// Time O((n + m) log m); each strict improvement pushes one entry.
template <class Dist, class Key>
void Dijkstra(std::int32_t source, HugeArray<Dist>& dist) {
  MinHeap<Key> heap(G.ArcCount() + 1);
  dist = HugeArray<Dist>(std::size_t(n) + 1);
  std::fill(dist.data(), dist.data() + dist.size(), Inf<Dist>);
  nr[source] = 1;
  dist[source] = 0;
  heap.Push(Pack<Key>(0, source));
  while (!heap.Empty()) {
    Key top = heap.Pop();
    auto x = std::int32_t(std::uint32_t(top));
    if (Dist(top >> 32) > dist[x]) continue;
    // The next nodes out are near the top: fetch their rows while x is
    // relaxed (their bounds were fetched when they were pushed).
    for (std::size_t i = 1; i <= 3 && i <= heap.Size(); ++i) G.PrefetchRow(std::int32_t(std::uint32_t(heap.At(i))));
    auto row = G[x];
    for (const Arc& a : row) __builtin_prefetch(&dist[a.to]);  // overlap the misses
    for (const Arc& a : row) {
      Dist through = dist[x] + a.cost;
      if (through < dist[a.to]) {
        dist[a.to] = through;
        nr[a.to] = nr[x];
        heap.Push(Pack<Key>(through, a.to));
        G.PrefetchBounds(a.to);
      } else if (through == dist[a.to]) {
        nr[a.to] += nr[x];
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  return wgt::RunProgram(argc, argv, kProgram, fin, fout, [] {
    ReadGraph();
    if (std::int64_t(n) * C < (std::int64_t(1) << 31))
      Dijkstra<std::int32_t, std::uint64_t>(S, d.narrow);
    else
      Dijkstra<std::int64_t, Wide>(S, d.wide);
    fout.Put(nr[D]);
    fout.Finish();
  });
}
