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
#include <string>
#include <vector>

#include "error_exit.hpp"
#include "graph.hpp"
#include "graph_builder.hpp"
#include "int_reader.hpp"
#include "label_tree.hpp"
#include "memory.hpp"
#include "memory_budget.hpp"
#include "node_queue.hpp"
#include "program_frame.hpp"
#include "report_writer.hpp"
#include "topological_passes.hpp"

namespace {

using wgt::Arc;
using wgt::Die;
using wgt::Graph;
using wgt::HugeArray;
using wgt::INF;

constexpr const char* kInput = "mirtavosken.in";
constexpr const char* kOutput = "mirtavosken.out";
constexpr wgt::ProgramInfo kProgram{"mirtavosken2", kInput, kOutput, R"(Usage: mirtavosken2 [--help | --version]
Reads the directed graph in mirtavosken.in (n m, then m lines x y c: an edge
x -> y of cost c, which may be negative) from the current directory, and
writes to mirtavosken.out the cheapest path cost from node 1 to nodes 2..n,
each followed by a space, 0 where a node cannot be reached (and where it is
reached at cost 0). Prints 80 on standard output. Any other argument is
ignored.
Exit status: 0 when the whole result is in mirtavosken.out; 1 otherwise, with
one line on standard error (bad input, a negative cycle reachable from node
1, too little memory, a file that cannot be read or written).
Manual: man 1 mirtavosken2
)"};

// Bytes per node of the tables the relaxation adds to the graph at their
// largest, for the check before allocating: 64-bit tree records
// (label_tree.hpp), the list of nodes that wait between phases, and either
// the queue's ring while it doubles (node_queue.hpp) or the passes' tables
// (topological_passes.hpp), whichever is larger, and the path of a negative
// cycle when one is reported.
constexpr std::uint64_t kBytesPerNode = 24 + 4 + 13 + 4;

wgt::IntReader fin;
wgt::ReportWriter fout;
std::int32_t n, m;
Graph G;
std::int32_t largest_magnitude;  // of the edge costs

// The distance table: the label tree, whose records hold the labels and
// which the report reads, with 32-bit labels while every sum fits (half the
// memory to work through), else 64-bit ones. One of the two is filled.
struct DistanceTable {
  wgt::LabelTree<std::int32_t> narrow;
  wgt::LabelTree<std::int64_t> wide;
};
DistanceTable D;

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
    // Inlined by force: out of line, the reader of every integer costs a
    // call, and GCC stops inlining it once the file holds more code.
    auto read = [&](std::int32_t& value) __attribute__((always_inline)) {
      if (!fin.Next(value))
        fin.FailAtEnd("file ends after " + std::to_string(i) + " of " + std::to_string(m) + " edges");
    };
    auto read_node = [&](std::int32_t& node, const char* which) __attribute__((always_inline)) {
      read(node);
      if (node < 1 || node > n) FailNodeOutOfRange(i + 1, which, node);
    };
    std::int32_t x, y, c;
    read_node(x, "start");
    read_node(y, "end");
    read(c);
    largest_magnitude = std::max(largest_magnitude, c == INT32_MIN ? INT32_MAX : std::abs(c));
    builder.Add(x, y, c);
  }
  G = std::move(builder).Build();
}

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

// FIFO order tells which rows and labels come next: fetches them ahead,
// rows' bounds first, then the rows, then the labels their arcs lead to.
// Inlined early: GCC would otherwise judge a function of prefetches alone
// free of effects and drop its calls.
template <class Dist>
[[gnu::always_inline]] inline void PrefetchAhead(const wgt::NodeQueue& queue, const wgt::LabelTree<Dist>& tree) {
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
}

// Counts nothing: the shipped program's tally of the work (a bench build
// counts with its own).
struct Untallied {
  void Scan(std::size_t) {}
};

// The work a phase may do before the other engine takes over, in scans of
// nodes and their arcs, per node and arc of the graph; each phase may do
// twice as much as the one before. The queue needs under 2.5 on the bench's
// random graphs and grids; on chains that feed a node of many arcs it scans
// that node again at every step, and on graphs without cycles it may scan a
// node once per arc into it, while the passes scan each node at most twice.
// On graphs with cycles the passes may need as many passes as the longest
// shortest path has arcs, where the queue is fast: so neither engine runs
// for long where the other would be far faster.
constexpr std::uint64_t kPhaseBudget = 8;

// Scans the nodes in the FIFO queue until it is empty or `budget` of work is
// spent; returns the nodes that still wait, in queue order.
template <class Dist, class Tally>
std::size_t RunQueue(HugeArray<std::int32_t>& waiting, std::size_t count, wgt::LabelTree<Dist>& tree,
                     std::uint64_t budget, std::vector<std::int32_t>& cycle, Tally& tally) {
  wgt::NodeQueue queue;
  for (std::size_t i = 0; i < count; ++i) queue.Push(waiting[i]);
  for (std::uint64_t work = 0; !queue.Empty() && work <= budget;) {
    PrefetchAhead(queue, tree);
    const std::int32_t x = queue.Pop();
    if (!tree.StartScan(x)) continue;
    const auto row = G[x];
    tally.Scan(row.size());
    work += 1 + row.size();
    // Lowering x itself would close a cycle and end the run, so its label holds.
    const Dist from = tree.Label(x);
    for (const Arc& a : row) {
      const Dist through = from + Dist(a.cost);
      if (through >= tree.Label(a.to)) continue;
      if (!tree.Lower(a.to, through, x, cycle)) ReportNegativeCycle(cycle);  // a.to .. x, back to a.to
      if (tree.Wait(a.to)) queue.Push(a.to);
    }
  }
  for (count = 0; !queue.Empty();) waiting[count++] = queue.Pop();
  return count;
}

// Label-correcting relaxation from `source` in two engines that take turns,
// both on the same labels and shortest-path tree with Tarjan's subtree
// disassembly (label_tree.hpp): a FIFO queue in which each node waits at
// most once, and passes in topological order (topological_passes.hpp),
// which scan a graph without cycles in one pass. Nodes cut off the tree that
// wait are skipped, since their labels are about to drop again. A label is
// thus always the cost of a simple tree path, so no sum leaves Dist's range
// when |cost| * n does not, and a negative cycle reachable from the source
// is reported the moment its last arc is relaxed. On return tree.Label(v)
// is the least cost of a path source -> v, or INF when there is none. Reads
// n, m and G. Time O(n * m) in the worst case, O(n + m) without cycles.
template <class Dist, class Tally>
void Relax(std::int32_t source, wgt::LabelTree<Dist>& tree, Tally& tally) {
  tree = wgt::LabelTree<Dist>(n, source);
  std::vector<std::int32_t> cycle;
  HugeArray<std::int32_t> waiting(tree.Size(), wgt::Touch::kSparse);  // the nodes that wait between phases
  std::size_t count = 1;
  waiting[0] = source;
  tree.Wait(source);
  for (std::uint64_t budget = kPhaseBudget * (std::uint64_t(n) + std::uint64_t(std::max(m, 0)));; budget *= 2) {
    count = RunQueue(waiting, count, tree, budget, cycle, tally);
    if (count == 0) return;
    wgt::TopologicalPasses<Dist> passes(tree.Size());
    if (!passes.Run(G, tree, waiting, count, budget, cycle, tally)) ReportNegativeCycle(cycle);
    if (count == 0) return;
  }
}

// Fills the distance table from `source`: 32-bit while no simple path can
// leave that range and the tree's levels fit beside the flags, else 64-bit.
template <class Tally>
void RelaxInto(std::int32_t source, DistanceTable& dist, Tally& tally) {
  if (std::int64_t(n) * std::max(largest_magnitude, 1) < (std::int64_t(1) << 29))
    Relax(source, dist.narrow, tally);
  else
    Relax(source, dist.wide, tally);
}

// Writes "80" to standard output, where callers look for it, and reports
// if it cannot be delivered; then fills the distance table from `source`.
void Mirtavosken(std::int32_t source, DistanceTable& dist) {
  if (std::fputs("80", stdout) < 0 || std::fflush(stdout) != 0)
    Die(std::string("standard output: ") + std::strerror(errno));
  Untallied tally;
  RelaxInto(source, dist, tally);
}

template <class Dist>
void WriteReport(const wgt::LabelTree<Dist>& dist) {
  for (std::int32_t i = 2; i <= n; ++i) {
    if (dist.Label(i) == INF<Dist>)
      fout.Put('0');
    else
      fout.Put(dist.Label(i));
    fout.Put(' ');
  }
  fout.Finish();
}

}  // namespace

int main(int argc, char** argv) {
  return wgt::RunProgram(argc, argv, kProgram, fin, fout, [] {
    ReadGraph();
    Mirtavosken(1, D);
    if (D.wide.Size() > 0)
      WriteReport(D.wide);
    else
      WriteReport(D.narrow);
  });
}
