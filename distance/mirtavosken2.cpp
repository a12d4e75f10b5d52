// mirtavosken2: the cheapest path cost from node 1 to every node of a
// directed graph whose costs may be negative, by label-correcting relaxation
// with a first-in-first-out work queue (Bellman-Ford-Moore).
//
// Reads "mirtavosken.in": n m, then m triples x y c (an edge x -> y of cost c).
// Writes "mirtavosken.out": for nodes 2..n the distance, or 0 when unreached,
// each followed by one space. Prints "80" on standard output, which callers
// of the original tool have come to expect.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include "graphio.hpp"

namespace {

using graphio::Arc;
using graphio::Die;
using graphio::Graph;
using graphio::HugeArray;

constexpr const char* kInput = "mirtavosken.in";
constexpr const char* kOutput = "mirtavosken.out";

// Distances are exact: a walk the relaxation builds has fewer than 2^31 edges
// of at most 2^31 each, so every sum fits in 64 bits.
constexpr std::int64_t INF = std::numeric_limits<std::int64_t>::max();

// Bytes per node of all tables together, for the check before allocating.
constexpr std::uint64_t kBytesPerNode = 4 + 8 + 4 + 4 + 4 + 4 + 1;

graphio::IntReader fin(kInput);
graphio::ReportWriter fout(kOutput);
std::int32_t n, m;
Graph G;
HugeArray<std::int64_t> D;
HugeArray<std::int32_t> cnt;   // edges on the walk that gave each node its distance
HugeArray<std::int32_t> pred;  // the node whose scan gave each node its distance; 0 for none

void ReadGraph() {
  const std::string header = "file ends inside the header: expected the node count and the edge count";
  if (!fin.Next(n)) fin.FailAtEnd(header);
  if (n < 1) fin.Fail("node count " + std::to_string(n) + " is below 1");
  graphio::RequireMemory(kInput, fin.Line(), std::to_string(n) + " nodes", std::uint64_t(n) * kBytesPerNode);
  if (!fin.Next(m)) fin.FailAtEnd(header);
  graphio::GraphBuilder builder(n, m > 0 ? std::uint64_t(m) : 0);
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
    builder.Add(x, y, c);
  }
  G = std::move(builder).Build();
}

// First-in-first-out queue of node numbers in a ring of fixed capacity.
class NodeQueue {
 public:
  explicit NodeQueue(std::size_t capacity) : ring_(capacity) {}
  bool Empty() const { return size_ == 0; }
  void Push(std::int32_t x) {
    ring_[tail_] = x;
    if (++tail_ == ring_.size()) tail_ = 0;
    ++size_;
  }
  std::int32_t Pop() {
    std::int32_t x = ring_[head_];
    if (++head_ == ring_.size()) head_ = 0;
    --size_;
    return x;
  }

 private:
  HugeArray<std::int32_t> ring_;
  std::size_t head_ = 0, tail_ = 0, size_ = 0;
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
    std::int64_t cheapest = INF;
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

// Label-correcting relaxation from `source` with a FIFO queue in which each
// node waits at most once. On return dist[v] is the least cost of a path
// source -> v, or INF when there is none; a negative cycle reachable from the
// source ends the program with a message naming it. Reads n and G.
// Time O(n * m) in the worst case, usually far less; detecting a negative
// cycle costs at most about n further queue passes.
void Mirtavosken(std::int32_t source, HugeArray<std::int64_t>& dist) {
  std::fputs("80", stdout);
  NodeQueue queue{std::size_t(n)};
  NodeFlags queued{std::size_t(n) + 1};
  dist = HugeArray<std::int64_t>(std::size_t(n) + 1);
  std::fill(dist.data(), dist.data() + dist.size(), INF);
  cnt = HugeArray<std::int32_t>(std::size_t(n) + 1);
  pred = HugeArray<std::int32_t>(std::size_t(n) + 1);
  dist[source] = 0;
  queue.Push(source);
  queued.Set(source);
  while (!queue.Empty()) {
    std::int32_t x = queue.Pop();
    queued.Reset(x);
    for (const Arc& a : G[x]) {
      std::int64_t through = dist[x] + a.cost;  // read afresh: a negative self-loop lowers dist[x]
      if (through >= dist[a.to]) continue;
      dist[a.to] = through;
      pred[a.to] = x;
      cnt[a.to] = cnt[x] + 1;
      if (cnt[a.to] >= n) OnLongWalk(a.to);
      if (!queued.Test(a.to)) {
        queued.Set(a.to);
        queue.Push(a.to);
      }
    }
  }
}

void WriteReport() {
  for (std::int32_t i = 2; i <= n; ++i) {
    if (D[i] == INF)
      fout.Put('0');
    else
      fout.Put(D[i]);
    fout.Put(' ');
  }
  fout.Finish();
}

}  // namespace

int main() {
  graphio::program_name = "mirtavosken2";
  try {
    fin.RequireOpen();
    fout.RequireOpen();
    ReadGraph();
    Mirtavosken(1, D);
    WriteReport();
  } catch (const std::bad_alloc&) {
    Die("out of memory");
  }
  return 0;
}
