// Nodes each end of the path counter settled on 9-quembol.in in the current
// directory: its own core, called with statistics. Prints "S_END D_END".
//   settled
#include <cstdio>

#include "bench_graph.hpp"
#include "path_count.hpp"

int main() {
  wgt::program_name = "settled";
  const BenchGraph input = ReadBenchGraph("9-quembol.in", wgt::GraphBuilder::kEdges);
  wgt::ReachTable d;
  wgt::HugeArray<std::uint64_t> nr(std::size_t(input.n) + 1, wgt::Touch::kSparse);
  wgt::SearchStats stats;
  const wgt::CostRange costs{input.G.ArcCount() > 0 ? input.smallest : 0, std::max(input.largest, 0)};
  wgt::Dijkstra(input.G, input.S, input.D, costs, d, nr, &stats);
  std::printf("%llu %llu\n", static_cast<unsigned long long>(stats.settled_from_s),
              static_cast<unsigned long long>(stats.settled_from_d));
}
