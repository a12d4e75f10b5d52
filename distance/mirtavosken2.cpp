// mirtavosken2: the cheapest path cost from node 1 to every node of a
// directed graph whose costs may be negative, by label-correcting relaxation
// with a first-in-first-out work queue (Bellman-Ford-Moore).
//
// Reads "mirtavosken.in": n m, then m triples x y c (an edge x -> y of cost c).
// Writes "mirtavosken.out": for nodes 2..n the distance, or 0 when unreached,
// each followed by one space. Prints "80" on standard output, which callers
// rely on.
#include <algorithm>
#include <cstdlib>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

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

constexpr const char* kInput = "mirtavosken.in";
constexpr const char* kOutput = "mirtavosken.out";

// Marks a node not reached (yet). Distances are exact: 64-bit sums cannot
// overflow, since a walk the relaxation builds has fewer than 2^31 edges of at
// most 2^31 each; 32-bit ones are used while they stay in range.
template <class Dist>
constexpr Dist INF = std::numeric_limits<Dist>::max();

// Bytes per node of all tables at their largest (row bounds, 64-bit
// distances, cnt, pred, queue ring, cycle marks, flags), for the check
// before allocating.
constexpr std::uint64_t kBytesPerNode = 4 + 8 + 4 + 4 + 8 + 4 + 1;

wgt::IntReader fin;
wgt::ReportWriter fout;
std::int32_t n, m;
Graph G;
std::int32_t W;  // the largest edge cost magnitude

wgt::DistanceTable D;
HugeArray<std::int32_t> cnt;   // edges on the walk that gave each node its distance
HugeArray<std::int32_t> pred;  // the node whose scan gave each node its distance; 0 for none

void ReadGraph() {
  const std::string header = "file ends inside the header: expected the node count and the edge count";
  if (!fin.Next(n)) fin.FailAtEnd(header);
  if (n < 1) fin.Fail("node count " + std::to_string(n) + " is below 1");
  wgt::RequireMemory(kInput, fin.Line(), std::to_string(n) + " nodes", std::uint64_t(n) * kBytesPerNode);
  if (!fin.Next(m)) fin.FailAtEnd(header);
  wgt::GraphBuilder builder(n, m > 0 ? std::uint64_t(m) : 0);
  for (std::int32_t i = 0; i < m; ++i) {
    auto read = [&](std::int32_t& value) {
      if (!fin.Next(value))
        fin.FailAtEnd("file ends after " + std::to_string(i) + " of " + std::to_string(m) + " edges");
    };
    auto read_node = [&](std::int32_t& node, const char* which) {
      read(node);
      if (node < 1 || node > n)
        fin.Fail("edge " + std::to_string(i + 1) + ": " + which + " node " + std::to_string(node) +
                 " is outside 1.." + std::to_string(n));
    };
    std::int32_t x, y, c;
    read_node(x, "start");
    read_node(y, "end");
    read(c);
    W = std::max(W, c == INT32_MIN ? INT32_MAX : std::abs(c));
    builder.Add(x, y, c);
  }
  G = std::move(builder).Build();
}

// First-in-first-out queue of node numbers in a ring that doubles when
// full, so that its memory follows the longest the queue has been rather
// than the node count.
class NodeQueue {
 public:
  bool Empty() const { return size_ == 0; }
  std::size_t Size() const { return size_; }
  // The node k places behind the front. Precondition: k < Size().
  std::int32_t Peek(std::size_t k) const { return ring_[(head_ + k) & mask_]; }
  void Push(std::int32_t x) {
    if (size_ == ring_.size()) Grow();
    ring_[(head_ + size_++) & mask_] = x;
  }
  std::int32_t Pop() {
    std::int32_t x = ring_[head_];
    head_ = (head_ + 1) & mask_;
    --size_;
    return x;
  }

 private:
  void Grow() {
    HugeArray<std::int32_t> bigger(std::max<std::size_t>(2 * ring_.size(), 4096));
    for (std::size_t k = 0; k < size_; ++k) bigger[k] = Peek(k);
    ring_ = std::move(bigger);
    mask_ = ring_.size() - 1;
    head_ = 0;
  }

  HugeArray<std::int32_t> ring_;
  std::size_t mask_ = 0, head_ = 0, size_ = 0;
};

// One bit per node.
class NodeFlags {
 public:
  explicit NodeFlags(std::size_t size) : words_(size / 64 + 1) {}
  bool Test(std::int32_t x) const { return words_[std::size_t(x) >> 6] >> (x & 63) & 1; }
  void Set(std::int32_t x) { words_[std::size_t(x) >> 6] |= std::uint64_t(1) << (x & 63); }
  void Reset(std::int32_t x) { words_[std::size_t(x) >> 6] &= ~(std::uint64_t(1) << (x & 63)); }

 private:
  HugeArray<std::uint64_t> words_;
};

std::string CycleText(const std::vector<std::int32_t>& cycle) {
  constexpr std::size_t kShown = 8;
  std::string text;
  for (std::size_t i = 0; i < cycle.size(); ++i) {
    if (cycle.size() > kShown + 1 && i == kShown) {
      text += "... -> ";
      i = cycle.size() - 1;
    }
    text += std::to_string(cycle[i]) + " -> ";
  }
  return text + std::to_string(cycle[0]);
}

// `start` lies on a cycle of predecessor links. Every such cycle is negative;
// it is named starting from its smallest node, with the cheapest of any
// parallel edges, so that the user can find it in the data.
[[noreturn]] void ReportNegativeCycle(std::int32_t start) {
  std::vector<std::int32_t> cycle;
  for (std::int32_t v = start; cycle.empty() || v != start; v = pred[v]) cycle.push_back(v);
  std::reverse(cycle.begin(), cycle.end());
  std::rotate(cycle.begin(), std::min_element(cycle.begin(), cycle.end()), cycle.end());
  std::int64_t total = 0;
  for (std::size_t i = 0; i < cycle.size(); ++i) {
    std::int32_t to = cycle[(i + 1) % cycle.size()];
    std::int64_t cheapest = INF<std::int64_t>;
    for (const Arc& a : G[cycle[i]])
      if (a.to == to) cheapest = std::min<std::int64_t>(cheapest, a.cost);
    total += cheapest;
  }
  Die(std::string(kInput) + ": negative cycle reachable from node 1 (" + std::to_string(cycle.size()) +
      " edges, total cost " + std::to_string(total) + "): " + CycleText(cycle));
}

// cnt[y] >= n: the walk that gave y its distance repeats a node, and the part
// between the repeats is a negative cycle. It normally stands among the
// predecessor links behind y. If those links lead back to the source instead
// (an earlier node has been lowered since and is still waiting), cnt[y] was
// stale: it is set to the links' true length and the relaxation goes on.
void OnLongWalk(std::int32_t y) {
  static HugeArray<std::uint32_t> seen;
  static std::uint32_t walk = 0;
  if (seen.size() == 0) seen = HugeArray<std::uint32_t>(std::size_t(n) + 1);
  ++walk;
  std::int32_t edges = -1, v = y;
  for (; v != 0 && seen[v] != walk; v = pred[v], ++edges) seen[v] = walk;
  if (v != 0) ReportNegativeCycle(v);
  cnt[y] = edges;
}

// How many queue places ahead the rows are fetched.
constexpr std::size_t kAhead = 16;

// Label-correcting relaxation from `source` with a FIFO queue in which each
// node waits at most once. On return dist[v] is the least cost of a path
// source -> v, or INF when there is none; a negative cycle reachable from the
// source ends the program with a message naming it. Returns false, with dist
// unfinished, if a sum leaves the range of Dist. Reads n and G.
// Time O(n * m) in the worst case, usually far less; detecting a negative
// cycle costs at most about n further queue passes.
template <class Dist>
bool Relax(std::int32_t source, HugeArray<Dist>& dist) {
  NodeQueue queue;
  NodeFlags queued{std::size_t(n) + 1};
  dist = HugeArray<Dist>(std::size_t(n) + 1);
  std::fill(dist.data(), dist.data() + dist.size(), INF<Dist>);
  cnt = HugeArray<std::int32_t>(std::size_t(n) + 1);
  pred = HugeArray<std::int32_t>(std::size_t(n) + 1);
  dist[source] = 0;
  queue.Push(source);
  queued.Set(source);
  Dist* d = dist.data();  // locals, so that stores do not force reloads
  std::int32_t* length = cnt.data();
  std::int32_t* from = pred.data();
  const std::int32_t nodes = n;
  while (!queue.Empty()) {
    // FIFO order tells which rows come next: fetch them ahead of time.
    if (queue.Size() > 2 * kAhead) G.PrefetchBounds(queue.Peek(2 * kAhead));
    if (queue.Size() > kAhead) G.PrefetchRow(queue.Peek(kAhead));
    std::int32_t x = queue.Pop();
    queued.Reset(x);
    auto row = G[x];
    for (const Arc& a : row) __builtin_prefetch(&d[a.to]);
    for (const Arc& a : row) {
      Dist through;  // d[x] is read afresh: a negative self-loop lowers it
      if (__builtin_add_overflow(d[x], Dist(a.cost), &through) || through == INF<Dist>) return false;
      if (through >= d[a.to]) continue;
      d[a.to] = through;
      from[a.to] = x;
      std::int32_t edges = length[x] + 1;
      length[a.to] = edges;
      if (edges >= nodes) OnLongWalk(a.to);
      if (!queued.Test(a.to)) {
        queued.Set(a.to);
        queue.Push(a.to);
      }
    }
  }
  return true;
}

// Writes "80" to standard output, then fills the distance table from
// `source`: 32-bit while no walk of n edges can leave that range and no sum
// does, else 64-bit.
void Mirtavosken(std::int32_t source, wgt::DistanceTable& dist) {
  std::fputs("80", stdout);
  bool narrow = std::int64_t(n) * W < (std::int64_t(1) << 30);
  if (narrow && Relax(source, dist.narrow)) return;
  dist.narrow = {};
  Relax(source, dist.wide);
}

template <class Dist>
void WriteReport(const HugeArray<Dist>& dist) {
  for (std::int32_t i = 2; i <= n; ++i) {
    if (dist[i] == INF<Dist>)
      fout.Put('0');
    else
      fout.Put(dist[i]);
    fout.Put(' ');
  }
  fout.Finish();
}

}  // namespace

int main() {
  return wgt::RunProgram("mirtavosken2", fin, kInput, fout, kOutput, [] {
    ReadGraph();
    Mirtavosken(1, D);
    if (D.wide.size() > 0)
      WriteReport(D.wide);
    else
      WriteReport(D.narrow);
  });
}
