// quembol: how many distinct cheapest paths join a source and a destination
// in an undirected graph with costs of 0 or more, by Dijkstra's method with
// binary heaps and a path count carried beside each distance, searching
// from both ends where it can and stopping once the count is final
// (path_count.hpp).
//
// With no argument: reads "9-quembol.in": n m S D, then m triples x y c (an
// edge x - y of cost c). Writes "quembol.out": the number of cheapest paths
// from S to D, modulo 2^64. Options (--help) choose the files, the format
// (native, or DIMACS, whose arcs are directed), the two ends, or every
// node's distance and count from the source at once.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

#include "arc_records.hpp"
#include "command_line.hpp"
#include "dimacs_reader.hpp"
#include "path_count_options.hpp"
#include "graph.hpp"
#include "graph_builder.hpp"
#include "int_reader.hpp"
#include "memory.hpp"
#include "memory_budget.hpp"
#include "path_count.hpp"
#include "program_frame.hpp"
#include "report_writer.hpp"

namespace {

using wgt::Graph;
using wgt::HugeArray;

wgt::IntReader fin;
wgt::ReportWriter fout;

// What the input file holds: the graph table G of nodes 1..n, the source S,
// the destination D (0 where every node is asked for), the range of the
// costs, which decides the search and the width of its distances, and
// whether the graph's arcs are directed.
struct PathCountInput {
  Graph G;
  std::int32_t n = 0, S = 0, D = 0;
  wgt::CostRange costs{0, 0};
  bool directed = false;
};

// Out of line, so that the loop that reads the edges stays small.
[[noreturn, gnu::cold, gnu::noinline]] void FailEdge(const char* record, std::int32_t i, const std::string& what) {
  fin.Fail(std::string(record) + " " + std::to_string(i + 1) + ": " + what);
}
std::string OutsideNodes(std::int32_t node, std::int32_t n) {
  return std::to_string(node) + " is outside 1.." + std::to_string(n);
}

// Arcs in the table: two an edge, one an arc.
std::uint64_t ArcsOf(std::int32_t m, wgt::GraphBuilder::Input input) {
  return (input == wgt::GraphBuilder::kEdges ? 2 : 1) * std::uint64_t(m);
}

// The checks once the counts are known; the memory before any edge is stored.
void CheckCounts(std::int32_t n, std::int32_t m, const char* what, wgt::GraphBuilder::Input input) {
  if (n < 1) fin.Fail("node count " + std::to_string(n) + " is below 1");
  if (m < 0) fin.Fail(std::string(what) + " count " + std::to_string(m) + " is negative");
  const std::uint64_t nodes = std::uint64_t(n) + 1, arcs = ArcsOf(m, input);
  const wgt::MemoryNeed tables{wgt::kSearchBytesPerNode * nodes, wgt::kSearchBytesPerNode * nodes};
  wgt::RequireMemory(fin.Path(), fin.Line(), std::to_string(n) + " nodes and " + std::to_string(m) + " edges",
                     wgt::GraphBuilder::Need(n, arcs, input, tables));
}

// The node that `given` names, or the header's: within 1..n.
std::int32_t End(std::optional<std::int32_t> given, std::int32_t header, const char* which, std::int32_t n) {
  const std::int32_t node = given.value_or(header);
  if (node < 1 || node > n) fin.Fail(std::string(which) + " node " + OutsideNodes(node, n));
  return node;
}

// Reads the m records into the graph, as edges or as arcs.
template <class Records>
PathCountInput ReadEdges(Records records, std::int32_t n, std::int32_t m, wgt::GraphBuilder::Input input) {
  wgt::GraphBuilder builder(n, ArcsOf(m, input), input);
  std::int32_t largest = 0, smallest = INT32_MAX;  // kept local: stores to the table cannot alias them
  for (std::int32_t i = 0; i < m; ++i) {
    std::int32_t x, y, c;
    records.Next(i, m, x, y, c);
    if (x < 1 || x > n) FailEdge(Records::kRecord, i, "node " + OutsideNodes(x, n));
    if (y < 1 || y > n) FailEdge(Records::kRecord, i, "node " + OutsideNodes(y, n));
    if (c < 0) FailEdge(Records::kRecord, i, "cost " + std::to_string(c) + " is negative");
    largest = std::max(largest, c);
    smallest = std::min(smallest, c);
    if (input == wgt::GraphBuilder::kEdges)
      builder.AddEdge(x, y, c);
    else
      builder.Add(x, y, c);
  }
  records.Finish(m);
  return {std::move(builder).Build(), n, 0, 0, {smallest, largest}, input == wgt::GraphBuilder::kArcs};
}

// A DIMACS file names no end node: the command line must.
PathCountInput ReadDimacs(const wgt::CommandLine& line) {
  if (!line.source) wgt::DieOfUsage(wgt::kProgram, "a DIMACS file names no source: give one with --source=N");
  if (!line.target && !line.all)
    wgt::DieOfUsage(wgt::kProgram, "a DIMACS file names no target: give one with --target=N, or ask for --all");
  wgt::DimacsReader dimacs(fin);
  std::int32_t n, m;
  dimacs.ReadProblem(n, m);
  CheckCounts(n, m, "arc", wgt::GraphBuilder::kArcs);
  const std::int32_t S = End(line.source, 0, "source", n), D = line.all ? 0 : End(line.target, 0, "destination", n);
  PathCountInput input = ReadEdges(wgt::DimacsRecords(dimacs), n, m, wgt::GraphBuilder::kArcs);
  input.S = S, input.D = D;
  return input;
}

PathCountInput ReadGraph(const wgt::CommandLine& line) {
  if (line.format == wgt::InputFormat::kDimacs || (line.format == wgt::InputFormat::kDetect && wgt::LooksLikeDimacs(fin)))
    return ReadDimacs(line);
  auto read_header = [&](std::int32_t& value) {
    if (!fin.Next(value))
      fin.FailAtEnd("file ends inside the header: expected node count, edge count, source and destination");
  };
  std::int32_t n, m, S, D;
  read_header(n);
  if (n < 1) fin.Fail("node count " + std::to_string(n) + " is below 1");
  read_header(m);
  CheckCounts(n, m, "edge", wgt::GraphBuilder::kEdges);
  read_header(S);
  S = End(line.source, S, "source", n);
  read_header(D);
  D = line.all ? 0 : End(line.target, D, "destination", n);
  PathCountInput input = ReadEdges(wgt::NativeRecords(fin), n, m, wgt::GraphBuilder::kEdges);
  input.S = S, input.D = D;
  return input;
}

// Line v: "v distance count", "v - 0" where the source cannot reach v.
template <class Dist>
void WriteEvery(const wgt::HugeArray<Dist>& reach, const wgt::HugeArray<std::uint64_t>& nr, std::int32_t n) {
  for (std::int32_t v = 1; v <= n; ++v) {
    fout.Put(v), fout.Put(' ');
    if (reach[std::size_t(v)] == 0)
      fout.Put('-');
    else
      fout.Put(wgt::Inf<Dist> - reach[std::size_t(v)]);
    fout.Put(' '), fout.Put(nr[std::size_t(v)]), fout.Put('\n');
  }
}

// For --verbose: how far the search went.
void TellWork(const PathCountInput& input, const wgt::SearchStats& stats) {
  char text[160];
  std::snprintf(text, sizeof text, "%s: %zu nodes, %zu arcs: settled %llu nodes from the source, %llu from the destination\n",
                wgt::program_name, input.G.NodeCount(), input.G.ArcCount(),
                static_cast<unsigned long long>(stats.settled_from_s), static_cast<unsigned long long>(stats.settled_from_d));
  std::fputs(text, stderr);
}

}  // namespace

int main(int argc, char** argv) {
  return wgt::RunProgram(argc, argv, wgt::kProgram, fin, fout, [](const wgt::CommandLine& line) {
    const PathCountInput input = ReadGraph(line);
    wgt::ReachTable d;  // distances from S, as far as the search went
    HugeArray<std::uint64_t> nr(std::size_t(input.n) + 1, wgt::Touch::kSparse);  // cheapest paths found
    wgt::SearchStats stats;
    if (line.all) {
      wgt::DijkstraToEvery(input.G, input.S, input.costs, d, nr, &stats);
      if (d.wide.size() > 0)
        WriteEvery(d.wide, nr, input.n);
      else
        WriteEvery(d.narrow, nr, input.n);
    } else {
      fout.Put(wgt::Dijkstra(input.G, input.S, input.D, input.costs, d, nr, &stats, input.directed));
    }
    fout.Finish();
    if (line.verbose) TellWork(input, stats);
  });
}
