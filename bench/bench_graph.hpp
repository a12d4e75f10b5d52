// A bench input read into the programs' own graph table, for the tools that
// run the programs' cores on it. Bench inputs are valid: nothing is checked.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "graph.hpp"
#include "graph_builder.hpp"
#include "int_reader.hpp"

struct BenchGraph {
  wgt::Graph G;
  std::int32_t n = 0, S = 0, D = 0;  // S and D for path-count inputs
  std::int32_t smallest = INT32_MAX, largest = INT32_MIN, largest_magnitude = 0;  // of the costs
};

// Reads a distance input (kArcs: n m, then arcs) or a path-count input
// (kEdges: n m S D, then edges) from `path`.
inline BenchGraph ReadBenchGraph(const char* path, wgt::GraphBuilder::Input input) {
  wgt::IntReader in;
  in.Open(path);
  in.RequireOpen();
  BenchGraph graph;
  std::int32_t m = 0;
  in.Next(graph.n);
  in.Next(m);
  if (input == wgt::GraphBuilder::kEdges) in.Next(graph.S), in.Next(graph.D);
  const std::uint64_t arcs = std::uint64_t(std::max(m, 0)) * (input == wgt::GraphBuilder::kEdges ? 2 : 1);
  wgt::GraphBuilder builder(graph.n, arcs, input);
  for (std::int32_t i = 0, x, y, c; i < m && in.Next(x) && in.Next(y) && in.Next(c); ++i) {
    graph.smallest = std::min(graph.smallest, c), graph.largest = std::max(graph.largest, c);
    graph.largest_magnitude = std::max(graph.largest_magnitude, c == INT32_MIN ? INT32_MAX : std::abs(c));
    if (input == wgt::GraphBuilder::kEdges)
      builder.AddEdge(x, y, c);
    else
      builder.Add(x, y, c);
  }
  graph.G = std::move(builder).Build();
  return graph;
}
