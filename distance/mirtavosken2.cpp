// mirtavosken2: the cheapest path cost from node 1 to every node of a
// directed graph whose costs may be negative, by label-correcting relaxation
// with subtree disassembly, a first-in-first-out work queue
// (Bellman-Ford-Moore) and passes in topological order taking turns.
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
#include "negative_cycle.hpp"
#include "program_frame.hpp"
#include "queue_phase.hpp"
#include "report_writer.hpp"
#include "topological_passes.hpp"

namespace {

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

// The cycle y .. x, closed by the arc (x, y), makes cheapest paths meaningless.
[[noreturn]] void ReportNegativeCycle(const std::vector<std::int32_t>& cycle) {
  Die(std::string(kInput) + ": negative cycle reachable from node 1 " + wgt::NameCycle(G, cycle));
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

// Label-correcting relaxation from `source` in two engines that take turns,
// both on the same labels and shortest-path tree with Tarjan's subtree
// disassembly (label_tree.hpp): a FIFO queue in which each node waits at
// most once (queue_phase.hpp), and passes in topological order
// (topological_passes.hpp), which scan a graph without cycles in one pass.
// Nodes cut off the tree that wait are skipped, since their labels are
// about to drop again. A label is
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
    if (!wgt::RunQueue(G, tree, waiting, count, budget, cycle, tally)) ReportNegativeCycle(cycle);
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
