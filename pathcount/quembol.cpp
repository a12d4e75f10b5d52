// quembol: how many distinct cheapest paths join a source and a destination
// in an undirected graph with costs of 0 or more, by Dijkstra's method with
// binary heaps and a path count carried beside each distance, searching
// from both ends where it can and stopping once the count is final
// (path_count.hpp).
//
// Reads "9-quembol.in": n m S D, then m triples x y c (an edge x - y of cost c).
// Writes "quembol.out": the number of cheapest paths from S to D, modulo 2^64.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

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

wgt::IntReader fin;
wgt::ReportWriter fout;

// What the input file holds: the graph table G of nodes 1..n, the source S,
// the destination D, and the range of the costs, which decides the search
// and the width of its distances.
struct PathCountInput {
  Graph G;
  std::int32_t n = 0, S = 0, D = 0;
  wgt::CostRange costs{0, 0};
};

// Out of line, so that the loop that reads the edges stays small.
[[noreturn, gnu::cold, gnu::noinline]] void FailEdge(std::int32_t i, const std::string& what) {
  fin.Fail("edge " + std::to_string(i + 1) + ": " + what);
}
[[noreturn, gnu::cold, gnu::noinline]] void FailEdgesEnd(std::int32_t i, std::int32_t m) {
  fin.FailAtEnd("file ends after " + std::to_string(i) + " of " + std::to_string(m) + " edges");
}
std::string OutsideNodes(std::int32_t node, std::int32_t n) {
  return std::to_string(node) + " is outside 1.." + std::to_string(n);
}

PathCountInput ReadGraph() {
  auto read_header = [&](std::int32_t& value) {
    if (!fin.Next(value))
      fin.FailAtEnd("file ends inside the header: expected node count, edge count, source and destination");
  };
  std::int32_t n, m, S, D;
  read_header(n);
  if (n < 1) fin.Fail("node count " + std::to_string(n) + " is below 1");
  read_header(m);
  if (m < 0) fin.Fail("edge count " + std::to_string(m) + " is negative");
  const std::uint64_t nodes = std::uint64_t(n) + 1, arcs = 2 * std::uint64_t(m);
  const wgt::MemoryNeed tables{wgt::kSearchBytesPerNode * nodes, wgt::kSearchBytesPerNode * nodes};
  wgt::RequireMemory(kInput, fin.Line(), std::to_string(n) + " nodes and " + std::to_string(m) + " edges",
                     wgt::GraphBuilder::Need(n, arcs, wgt::GraphBuilder::kEdges, tables));
  read_header(S);
  if (S < 1 || S > n) fin.Fail("source node " + OutsideNodes(S, n));
  read_header(D);
  if (D < 1 || D > n) fin.Fail("destination node " + OutsideNodes(D, n));

  wgt::GraphBuilder builder(n, arcs, wgt::GraphBuilder::kEdges);
  std::int32_t largest = 0, smallest = INT32_MAX;  // kept local: stores to the table cannot alias them
  for (std::int32_t i = 0; i < m; ++i) {
    std::int32_t x, y, c;
    if (!fin.Next(x)) FailEdgesEnd(i, m);
    if (x < 1 || x > n) FailEdge(i, "node " + OutsideNodes(x, n));
    if (!fin.Next(y)) FailEdgesEnd(i, m);
    if (y < 1 || y > n) FailEdge(i, "node " + OutsideNodes(y, n));
    if (!fin.Next(c)) FailEdgesEnd(i, m);
    if (c < 0) FailEdge(i, "cost " + std::to_string(c) + " is negative");
    largest = std::max(largest, c);
    smallest = std::min(smallest, c);
    builder.AddEdge(x, y, c);
  }
  return {std::move(builder).Build(), n, S, D, {smallest, largest}};
}

}  // namespace

int main(int argc, char** argv) {
  return wgt::RunProgram(argc, argv, kProgram, fin, fout, [] {
    const PathCountInput input = ReadGraph();
    wgt::ReachTable d;  // distances from S, as far as the search went
    HugeArray<std::uint64_t> nr(std::size_t(input.n) + 1, wgt::Touch::kSparse);  // cheapest paths found
    fout.Put(wgt::Dijkstra(input.G, input.S, input.D, input.costs, d, nr));
    fout.Finish();
  });
}
