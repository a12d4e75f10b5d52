// mirtavosken2: the cheapest path cost from node 1 to every node of a
// directed graph whose costs may be negative, by label-correcting relaxation
// with a first-in-first-out work queue (Bellman-Ford-Moore) and subtree
// disassembly.
//
// Reads "mirtavosken.in": n m, then m triples x y c (an edge x -> y of cost c).
// Writes "mirtavosken.out": for nodes 2..n the distance, or 0 when unreached,
// each followed by one space. Prints "80" on standard output, which callers
// rely on.
#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <type_traits>
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
constexpr wgt::ProgramInfo kProgram{"mirtavosken2", kInput, kOutput, R"(Usage: mirtavosken2 [--help | --version]
Reads the directed graph in mirtavosken.in (n m, then m lines x y c: an edge
x -> y of cost c, which may be negative) from the current directory, and
writes to mirtavosken.out the cheapest path cost from node 1 to nodes 2..n,
each followed by a space, 0 where a node cannot be reached. Prints 80 on
standard output. Takes no other arguments.
Exit status: 0 when the whole result is in mirtavosken.out; 1 otherwise, with
one line on standard error (bad input, a negative cycle reachable from node
1, too little memory, a file that cannot be read or written).
Manual: man 1 mirtavosken2
)"};

// Marks a node not reached (yet). Distances are exact: every label is the
// cost of a simple path, fewer than 2^31 edges of at most 2^31 each, so
// 64-bit sums cannot overflow; 32-bit ones are used while n times the
// largest cost magnitude stays below 2^29 (see Mirtavosken).
template <class Dist>
constexpr Dist INF = std::numeric_limits<Dist>::max();

// Bytes per node of the tables the relaxation adds to the graph at their
// largest (64-bit tree records, a queue ring of up to 2n entries while it
// doubles), for the check before allocating.
constexpr std::uint64_t kBytesPerNode = 24 + 12;

wgt::IntReader fin;
wgt::ReportWriter fout;
std::int32_t n, m;
Graph G;
std::int32_t W;  // the largest edge cost magnitude

wgt::DistanceTable D;

// Out of line, so that the loop that reads the edges stays small.
[[noreturn, gnu::cold, gnu::noinline]] void FailNodeOutOfRange(std::int32_t edge, const char* which, std::int32_t node) {
  fin.Fail("edge " + std::to_string(edge) + ": " + which + " node " + std::to_string(node) + " is outside 1.." +
           std::to_string(n));
}

void ReadGraph() {
  const std::string header = "file ends inside the header: expected the node count and the edge count";
  if (!fin.Next(n)) fin.FailAtEnd(header);
  if (n < 1) fin.Fail("node count " + std::to_string(n) + " is below 1");
  if (!fin.Next(m)) fin.FailAtEnd(header);
  const std::uint64_t arcs = m > 0 ? std::uint64_t(m) : 0;
  const std::uint64_t tables = kBytesPerNode * (std::uint64_t(n) + 1);
  wgt::RequireMemory(kInput, fin.Line(), std::to_string(n) + " nodes and " + std::to_string(m) + " edges",
                     wgt::GraphBuilder::Need(n, arcs, wgt::GraphBuilder::kArcs, {tables, tables}));
  wgt::GraphBuilder builder(n, arcs, wgt::GraphBuilder::kArcs);
  for (std::int32_t i = 0; i < m; ++i) {
    auto read = [&](std::int32_t& value) {
      if (!fin.Next(value))
        fin.FailAtEnd("file ends after " + std::to_string(i) + " of " + std::to_string(m) + " edges");
    };
    auto read_node = [&](std::int32_t& node, const char* which) {
      read(node);
      if (node < 1 || node > n) FailNodeOutOfRange(i + 1, which, node);
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

// The labels and the current shortest-path tree: every reached node hangs
// under the node whose scan last lowered it. The tree is a preorder thread
// (circular, through the root) with each node's level, so that a subtree is
// the run of nodes after its root whose levels are deeper. One record per
// node holds its label, its place in the thread, its level and its queue
// status, so that relabelling a node touches one cache line.
template <class Dist>
class LabelTree {
 public:
  LabelTree(std::int32_t nodes, std::int32_t root) : node_(std::size_t(nodes) + 1) {
    for (std::size_t v = 0; v < node_.size(); ++v) node_[v].label = INF<Dist>;
    node_[root] = {0, root, root, kLevel | kInTree};
  }

  Dist Label(std::int32_t v) const { return node_[v].label; }
  bool InTree(std::int32_t v) const { return node_[v].tag & kInTree; }
  // The labels of nodes 0..n, packed in place into the front of the records'
  // memory, whose rest is handed back: the distances cost no memory of their own.
  HugeArray<Dist> TakeLabels() && {
    static_assert(offsetof(Node, label) == 0 && sizeof(Node) >= sizeof(Dist));
    const std::size_t count = node_.size();
    auto* packed = reinterpret_cast<Dist*>(node_.data());
    for (std::size_t v = 0; v < count; ++v) packed[v] = node_[v].label;  // never ahead of the read
    return std::move(node_).template Shrink<Dist>(count);
  }
  void Prefetch(std::int32_t v) const { __builtin_prefetch(&node_[v]); }

  // Marks v as waiting in the queue; true if it was not there yet.
  bool Enqueue(std::int32_t v) {
    Tag& tag = node_[v].tag;
    bool fresh = !(tag & kQueued);
    tag |= kQueued;
    return fresh;
  }
  // Marks v, taken off the queue, as no longer there; true if it is to be
  // scanned, false if it was cut off the tree while it waited.
  bool Dequeue(std::int32_t v) {
    Tag& tag = node_[v].tag;
    tag &= ~kQueued;
    return tag & kInTree;
  }

  // Lowers y's label to `label` and hangs y under x, whose scan found it. y's
  // old subtree leaves the tree: the labels below y are no longer backed by
  // their parents, so those of its nodes that wait in the queue are skipped
  // when they come up, unless lowered again before. Returns false, with the
  // path y .. x in `cycle` and nothing changed, when x lies in that subtree:
  // the arc (x, y) closes a negative cycle. Precondition: x is in the tree.
  // Time O(1 + size of y's old subtree).
  bool Lower(std::int32_t y, Dist label, std::int32_t x, std::vector<std::int32_t>& cycle) {
    Node& below = node_[y];
    if (below.tag & kInTree) {
      if (y == x) return FindPath(y, x, cycle);
      std::int32_t v = below.next;
      if (below.tag & kParent) {
        const Tag deeper = below.tag | (kLevel - 1);  // any tag above this is a deeper level
        for (; node_[v].tag > deeper; v = node_[v].next) {
          if (v == x) return FindPath(y, x, cycle);
          node_[v].tag &= ~kInTree;  // the level stays, for FindPath
        }
      }
      node_[below.prev].next = v;
      node_[v].prev = below.prev;
    }
    Node& above = node_[x];
    below.label = label;
    below.tag = ((above.tag / kLevel) + 1) * kLevel | kInTree | (below.tag & kQueued);
    below.prev = x;
    below.next = above.next;
    node_[above.next].prev = y;
    above.next = y;
    above.tag |= kParent;
    return true;
  }

 private:
  // Wide enough for a level up to n: 32 bits while n < 2^29.
  using Tag = std::conditional_t<sizeof(Dist) == 4, std::uint32_t, std::uint64_t>;
  // tag: level * kLevel | these. kParent may outlive the node's last child
  // (a cut does not clear it in the parent); it only spares a leaf the look
  // at its successor in the thread.
  static constexpr Tag kQueued = 1, kInTree = 2, kParent = 4, kLevel = 8;
  struct Node {
    Dist label;
    std::int32_t next, prev;  // preorder thread
    Tag tag;
  };

  // The tree path from y down to x, its descendant, whose subtree walk may
  // have begun. In preorder the last node met at each depth before x is x's
  // ancestor at that depth.
  bool FindPath(std::int32_t y, std::int32_t x, std::vector<std::int32_t>& path) const {
    const Tag top = node_[y].tag / kLevel;
    path.assign(1, y);
    for (std::int32_t v = y; v != x;) {
      v = node_[v].next;
      path.resize(std::size_t(node_[v].tag / kLevel - top));
      path.push_back(v);
    }
    return false;
  }

  HugeArray<Node> node_;
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

// `cycle` lists the nodes of a negative cycle in order. It is named starting
// from its smallest node, with the cheapest of any parallel edges, so that
// the user can find it in the data.
[[noreturn]] void ReportNegativeCycle(std::vector<std::int32_t> cycle) {
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

// How many queue places ahead the rows are fetched.
constexpr std::size_t kAhead = 16;

// Label-correcting relaxation from `source` with a FIFO queue in which each
// node waits at most once, and Tarjan's subtree disassembly: a node lowered
// cuts its old subtree out of the shortest-path tree, and the cut nodes that
// wait are skipped, since their labels are about to drop again. A label is
// thus always the cost of a simple tree path, so no sum leaves Dist's range
// when |cost| * n does not, and a negative cycle reachable from the source is
// reported the moment its last arc is relaxed. On return dist[v] is the least
// cost of a path source -> v, or INF when there is none. Reads n and G.
// Time O(n * m) in the worst case, usually far less.
template <class Dist>
void Relax(std::int32_t source, HugeArray<Dist>& dist) {
  LabelTree<Dist> tree(n, source);
  {
    NodeQueue queue;  // released before the distances are handed back
    std::vector<std::int32_t> cycle;
    tree.Enqueue(source);
    queue.Push(source);
    while (!queue.Empty()) {
      // FIFO order tells which rows and labels come next: fetch them ahead.
      if (queue.Size() > 2 * kAhead) G.PrefetchBounds(queue.Peek(2 * kAhead));
      if (queue.Size() > kAhead) {
        G.PrefetchRow(queue.Peek(kAhead));
        tree.Prefetch(queue.Peek(kAhead));
      }
      if (queue.Size() > kAhead / 2) {
        const std::int32_t soon = queue.Peek(kAhead / 2);
        if (tree.InTree(soon))  // a node cut off the tree will be skipped
          for (const Arc& a : G[soon]) tree.Prefetch(a.to);
      }
      std::int32_t x = queue.Pop();
      if (!tree.Dequeue(x)) continue;
      auto row = G[x];
      // Lowering x itself would close a cycle and end the run, so its label holds.
      const Dist from = tree.Label(x);
      for (const Arc& a : row) {
        Dist through = from + Dist(a.cost);
        if (through >= tree.Label(a.to)) continue;
        if (!tree.Lower(a.to, through, x, cycle)) ReportNegativeCycle(cycle);  // a.to .. x, back to a.to
        if (tree.Enqueue(a.to)) queue.Push(a.to);
      }
    }
  }
  dist = std::move(tree).TakeLabels();
}

// Writes "80" to standard output, where callers look for it, and reports
// if it cannot be delivered; then fills the distance table from
// `source`: 32-bit while no simple path can leave that range and the tree's
// levels fit beside the flags, else 64-bit.
void Mirtavosken(std::int32_t source, wgt::DistanceTable& dist) {
  if (std::fputs("80", stdout) < 0 || std::fflush(stdout) != 0)
    Die(std::string("standard output: ") + std::strerror(errno));
  if (std::int64_t(n) * std::max(W, 1) < (std::int64_t(1) << 29))
    Relax(source, dist.narrow);
  else
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

int main(int argc, char** argv) {
  return wgt::RunProgram(argc, argv, kProgram, fin, fout, [] {
    ReadGraph();
    Mirtavosken(1, D);
    if (D.wide.size() > 0)
      WriteReport(D.wide);
    else
      WriteReport(D.narrow);
  });
}
