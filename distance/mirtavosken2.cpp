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

#include "cheapest_paths.hpp"
#include "error_exit.hpp"
#include "graph.hpp"
#include "graph_builder.hpp"
#include "int_reader.hpp"
#include "label_tree.hpp"
#include "memory_budget.hpp"
#include "negative_cycle.hpp"
#include "program_frame.hpp"
#include "report_writer.hpp"

namespace {

using wgt::Die;
using wgt::Graph;
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

wgt::IntReader fin;
wgt::ReportWriter fout;

// What the input file holds: the graph table G of nodes 1..n and the
// largest magnitude of its costs, which decides the width of the labels;
// and whether the scaling engine's tables fit in memory beside it.
struct DistanceInput {
  Graph G;
  std::int32_t n = 0;
  std::int32_t largest_magnitude = 0;
  bool scaling_fits = false;
};

// Out of line, so that the loop that reads the edges stays small.
[[noreturn, gnu::cold, gnu::noinline]] void FailNodeOutOfRange(std::int32_t edge, const char* which, std::int32_t node,
                                                               std::int32_t n) {
  fin.Fail("edge " + std::to_string(edge) + ": " + which + " node " + std::to_string(node) + " is outside 1.." +
           std::to_string(n));
}

DistanceInput ReadGraph() {
  const std::string header = "file ends inside the header: expected the node count and the edge count";
  std::int32_t n, m;
  if (!fin.Next(n)) fin.FailAtEnd(header);
  if (n < 1) fin.Fail("node count " + std::to_string(n) + " is below 1");
  if (!fin.Next(m)) fin.FailAtEnd(header);
  const std::uint64_t arcs = m > 0 ? std::uint64_t(m) : 0;
  const std::uint64_t nodes = std::uint64_t(n) + 1, tables = wgt::kRelaxationBytesPerNode * nodes;
  wgt::RequireMemory(kInput, fin.Line(), std::to_string(n) + " nodes and " + std::to_string(m) + " edges",
                     wgt::GraphBuilder::Need(n, arcs, wgt::GraphBuilder::kArcs, {tables, tables}));
  const std::uint64_t scaling = tables + wgt::kScalingBytesPerNode * nodes + wgt::kScalingBytesPerArc * arcs;
  const bool scaling_fits = wgt::FitsMemory(wgt::GraphBuilder::Need(n, arcs, wgt::GraphBuilder::kArcs, {scaling, scaling}));
  wgt::GraphBuilder builder(n, arcs, wgt::GraphBuilder::kArcs);
  std::int32_t largest_magnitude = 0;
  for (std::int32_t i = 0; i < m; ++i) {
    // Inlined by force: out of line, the reader of every integer costs a
    // call, and GCC stops inlining it once the file holds more code.
    auto read = [&](std::int32_t& value) __attribute__((always_inline)) {
      if (!fin.Next(value))
        fin.FailAtEnd("file ends after " + std::to_string(i) + " of " + std::to_string(m) + " edges");
    };
    auto read_node = [&](std::int32_t& node, const char* which) __attribute__((always_inline)) {
      read(node);
      if (node < 1 || node > n) FailNodeOutOfRange(i + 1, which, node, n);
    };
    std::int32_t x, y, c;
    read_node(x, "start");
    read_node(y, "end");
    read(c);
    largest_magnitude = std::max(largest_magnitude, c == INT32_MIN ? INT32_MAX : std::abs(c));
    builder.Add(x, y, c);
  }
  return {std::move(builder).Build(), n, largest_magnitude, scaling_fits};
}

// Writes "80" to standard output, where callers look for it, and reports
// if it cannot be delivered; then fills D with the cheapest path costs from
// `source`, or refuses the input, naming a negative cycle that makes them
// meaningless.
void Mirtavosken(const DistanceInput& input, std::int32_t source, wgt::DistanceTable& D) {
  if (std::fputs("80", stdout) < 0 || std::fflush(stdout) != 0)
    Die(std::string("standard output: ") + std::strerror(errno));
  const std::vector<std::int32_t> cycle =
      wgt::CheapestPaths(input.G, source, input.largest_magnitude, input.scaling_fits, D);
  if (!cycle.empty())
    Die(std::string(kInput) + ": negative cycle reachable from node 1 " + wgt::NameCycle(input.G, cycle));
}

// For nodes 2..n: the cheapest path cost from node 1, or 0 where there is
// none, each followed by a space.
template <class Dist>
void WriteReport(const wgt::LabelTree<Dist>& D, std::int32_t n) {
  for (std::int32_t i = 2; i <= n; ++i) {
    if (D.Label(i) == INF<Dist>)
      fout.Put('0');
    else
      fout.Put(D.Label(i));
    fout.Put(' ');
  }
  fout.Finish();
}

}  // namespace

int main(int argc, char** argv) {
  return wgt::RunProgram(argc, argv, kProgram, fin, fout, [] {
    const DistanceInput input = ReadGraph();
    wgt::DistanceTable D;
    Mirtavosken(input, 1, D);
    if (D.wide.Size() > 0)
      WriteReport(D.wide, input.n);
    else
      WriteReport(D.narrow, input.n);
  });
}
