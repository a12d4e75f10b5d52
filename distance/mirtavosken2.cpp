// mirtavosken2: the cheapest path cost from a source (node 1 unless told
// otherwise) to every node of a directed graph whose costs may be negative.
// A peel in topological order settles what no cycle reaches; then three
// engines take turns (cheapest_paths.hpp): a first-in-first-out work queue
// (Bellman-Ford-Moore) and passes in topological order, both correcting
// labels with subtree disassembly, and Goldberg's scaling algorithm, whose
// bound holds on every input.
//
// With no argument: reads "mirtavosken.in": n m, then m triples x y c (an
// edge x -> y of cost c). Writes "mirtavosken.out": for nodes 2..n the
// distance, or 0 when unreached, each followed by one space. Prints "80" on
// standard output, which callers rely on. Options (--help) choose the
// files, the format (native or DIMACS), the source, and add the tree of
// cheapest paths and the whole negative cycle.
#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "arc_records.hpp"
#include "cheapest_paths.hpp"
#include "command_line.hpp"
#include "dimacs_reader.hpp"
#include "distance_options.hpp"
#include "error_exit.hpp"
#include "graph.hpp"
#include "graph_builder.hpp"
#include "int_reader.hpp"
#include "label_tree.hpp"
#include "memory_budget.hpp"
#include "negative_cycle.hpp"
#include "program_frame.hpp"
#include "report_writer.hpp"
#include "shortest_path_tree.hpp"

namespace {

using wgt::Die;
using wgt::Graph;
using wgt::INF;

wgt::IntReader fin;
wgt::ReportWriter fout;

// What the input file holds: the graph table G of nodes 1..n and m arcs,
// the largest magnitude of its costs, which decides the width of the
// labels; and the line of the header that sized it.
struct DistanceInput {
  Graph G;
  std::int32_t n = 0, m = 0;
  std::int32_t largest_magnitude = 0;
  long header_line = 0;
};

// Out of line, so that the loop that reads the edges stays small.
[[noreturn, gnu::cold, gnu::noinline]] void FailNodeOutOfRange(const char* record, std::int32_t edge, const char* which,
                                                               std::int32_t node, std::int32_t n) {
  fin.Fail(std::string(record) + " " + std::to_string(edge) + ": " + which + " node " + std::to_string(node) +
           " is outside 1.." + std::to_string(n));
}

// How the memory messages name an input's size.
std::string NodesAndEdges(std::int32_t n, std::int32_t m) {
  return std::to_string(n) + " nodes and " + std::to_string(m) + " edges";
}

// Checks the source and the memory, then reads the m arcs.
// Precondition: n >= 1.
template <class Records>
DistanceInput ReadArcs(Records arcs, std::int32_t n, std::int32_t m, std::int32_t source) {
  if (source > n) fin.Fail("source node " + std::to_string(source) + " is outside 1.." + std::to_string(n));
  const std::uint64_t count = m > 0 ? std::uint64_t(m) : 0;
  wgt::RequireMemory(fin.Path(), fin.Line(), NodesAndEdges(n, m),
                     wgt::GraphBuilder::Need(n, count, wgt::GraphBuilder::kArcs, wgt::RelaxationNeed(n)));
  const long header_line = fin.Line();
  wgt::GraphBuilder builder(n, count, wgt::GraphBuilder::kArcs);
  std::int32_t largest_magnitude = 0;
  for (std::int32_t i = 0; i < m; ++i) {
    std::int32_t x, y, c;
    arcs.Next(i, m, x, y, c);
    if (x < 1 || x > n) FailNodeOutOfRange(Records::kRecord, i + 1, "start", x, n);
    if (y < 1 || y > n) FailNodeOutOfRange(Records::kRecord, i + 1, "end", y, n);
    largest_magnitude = std::max(largest_magnitude, c == INT32_MIN ? INT32_MAX : std::abs(c));
    builder.Add(x, y, c);
  }
  arcs.Finish(m);
  return {std::move(builder).Build(), n, m, largest_magnitude, header_line};
}

DistanceInput ReadGraph(wgt::InputFormat format, std::int32_t source) {
  if (format == wgt::InputFormat::kDimacs || (format == wgt::InputFormat::kDetect && wgt::LooksLikeDimacs(fin))) {
    wgt::DimacsReader dimacs(fin);
    std::int32_t n, m;
    dimacs.ReadProblem(n, m);
    if (n < 1) fin.Fail("node count " + std::to_string(n) + " is below 1");
    if (m < 0) fin.Fail("arc count " + std::to_string(m) + " is negative");
    return ReadArcs(wgt::DimacsRecords(dimacs), n, m, source);
  }
  const std::string header = "file ends inside the header: expected the node count and the edge count";
  std::int32_t n, m;
  if (!fin.Next(n)) fin.FailAtEnd(header);
  if (n < 1) fin.Fail("node count " + std::to_string(n) + " is below 1");
  if (!fin.Next(m)) fin.FailAtEnd(header);
  return ReadArcs(wgt::NativeRecords(fin), n, m, source);
}

// Writes the arcs of a negative cycle, "x y c" a line.
void WriteCycle(const Graph& G, const std::vector<std::int32_t>& cycle, wgt::ReportWriter& out) {
  for (const wgt::CycleArc& arc : wgt::CycleArcs(G, cycle)) {
    out.Put(arc.from), out.Put(' '), out.Put(arc.to), out.Put(' '), out.Put(arc.cost), out.Put('\n');
  }
  out.Finish();
}

// Writes "80" to standard output, where callers look for it unless a report
// goes there, and reports if it cannot be delivered; then fills D with the
// cheapest path costs from `source`, or refuses the input, naming a
// negative cycle that makes them meaningless (and writing it whole where
// asked for), or naming the memory in which they are found in bounded time
// where the engines without it did not find them.
void Mirtavosken(DistanceInput& input, std::int32_t source, bool banner, wgt::ReportWriter* cycle_report,
                 wgt::DistanceTable& D, wgt::DistanceStats& stats) {
  if (banner && (std::fputs("80", stdout) < 0 || std::fflush(stdout) != 0))
    Die(std::string("standard output: ") + std::strerror(errno));
  std::vector<std::int32_t> cycle;
  try {
    cycle = wgt::CheapestPaths(input.G, source, input.largest_magnitude, wgt::ScalingRoom::kWhereItFits, D, &stats);
  } catch (const wgt::Unbounded& unbounded) {  // where the room is checked, a limit leaves the engine out
    wgt::DieOverLimit(fin.Path(), input.header_line, NodesAndEdges(input.n, input.m), *unbounded.binding,
                      " to be solved in bounded time");
  }
  if (cycle.empty()) return;
  if (cycle_report != nullptr) WriteCycle(input.G, cycle, *cycle_report);
  Die(std::string(fin.Path()) + ": negative cycle reachable from node " + std::to_string(source) + " " +
      wgt::NameCycle(input.G, cycle));
}

// For every node but the source, in order: its cheapest path cost, or 0
// where there is none, each followed by a space.
template <class Dist>
void WriteReport(const wgt::LabelTree<Dist>& D, std::int32_t n, std::int32_t source) {
  for (std::int32_t i = 1; i <= n; ++i) {
    if (i == source) continue;
    if (D.Label(i) == INF<Dist>)
      fout.Put('0');
    else
      fout.Put(D.Label(i));
    fout.Put(' ');
  }
  fout.Finish();
}

// Line v: "v cost predecessor", "v - -" where the source cannot reach v.
template <class Dist>
void WriteTree(const Graph& G, std::int32_t source, const wgt::LabelTree<Dist>& D, wgt::ReportWriter& out) {
  const wgt::HugeArray<std::int32_t> pred = wgt::ShortestPathTree(G, source, D);
  for (std::int32_t v = 1; v <= std::int32_t(G.NodeCount()); ++v) {
    out.Put(v);
    if (D.Label(v) == INF<Dist>) {
      out.Put(' '), out.Put('-'), out.Put(' '), out.Put('-');
    } else {
      out.Put(' '), out.Put(D.Label(v)), out.Put(' '), out.Put(pred[std::size_t(v)]);
    }
    out.Put('\n');
  }
  out.Finish();
}

// For --verbose: who finished, after how much.
void TellWork(const DistanceInput& input, const wgt::DistanceStats& stats) {
  static constexpr const char* kNames[] = {"no engine", "the peel", "the queue", "the passes", "the scaling engine"};
  const double size = double(input.G.NodeCount() + input.G.ArcCount());
  char text[160];
  std::snprintf(text, sizeof text, "%s: %zu nodes, %zu arcs: finished by %s in %u turn%s, %.1f units of work a node and arc\n",
                wgt::program_name, input.G.NodeCount(), input.G.ArcCount(), kNames[std::size_t(stats.finisher)],
                stats.turns, stats.turns == 1 ? "" : "s", double(stats.work) / size);
  std::fputs(text, stderr);
}

}  // namespace

int main(int argc, char** argv) {
  return wgt::RunProgram(argc, argv, wgt::kProgram, fin, fout, [](const wgt::CommandLine& line) {
    wgt::ReportWriter tree, cycle;
    for (auto [writer, name] : {std::pair{&tree, &line.tree}, std::pair{&cycle, &line.cycle}}) {
      if (name->empty()) continue;
      writer->OpenOnSuccess(name->c_str());
      writer->RequireOpen();
    }
    const std::int32_t source = line.source.value_or(1);
    DistanceInput input = ReadGraph(line.format, source);
    const bool banner = line.output != "-" && line.tree != "-" && line.cycle != "-";
    wgt::DistanceTable D;
    wgt::DistanceStats stats;
    Mirtavosken(input, source, banner, line.cycle.empty() ? nullptr : &cycle, D, stats);
    auto report = [&](const auto& labels) {
      WriteReport(labels, input.n, source);
      if (!line.tree.empty()) WriteTree(input.G, source, labels, tree);
    };
    if (D.wide.Size() > 0)
      report(D.wide);
    else
      report(D.narrow);
    if (!line.cycle.empty()) cycle.Finish();
    if (line.verbose) TellWork(input, stats);
  });
}
