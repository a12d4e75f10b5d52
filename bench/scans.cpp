// What the distance program's relaxation does on mirtavosken.in in the
// current directory: its own core, called with statistics. Prints scans per
// reached node, arcs scanned per arc, the work per node and arc, the share
// of it each engine did, the turns taken and the engine that finished
// ("cycle" where it found a negative cycle).
//   scans
#include <cstdio>

#include "bench_graph.hpp"
#include "cheapest_paths.hpp"

namespace {

template <class Dist>
std::uint64_t Reached(const wgt::LabelTree<Dist>& tree) {
  std::uint64_t reached = 0;
  for (std::size_t v = 1; v < tree.Size(); ++v) reached += tree.Label(std::int32_t(v)) != wgt::INF<Dist>;
  return reached;
}

}  // namespace

int main() {
  wgt::program_name = "scans";
  BenchGraph input = ReadBenchGraph("mirtavosken.in", wgt::GraphBuilder::kArcs);
  wgt::DistanceTable D;
  wgt::DistanceStats stats;
  const bool cycle = !wgt::CheapestPaths(input.G, 1, input.largest_magnitude, wgt::ScalingRoom::kAlways, D, &stats).empty();
  const std::uint64_t reached = D.wide.Size() > 0 ? Reached(D.wide) : Reached(D.narrow);
  const char* names[] = {"none", "peel", "queue", "passes", "scaling"};
  const double size = double(input.G.NodeCount() + input.G.ArcCount());
  std::printf("%.2f scans per node, %.2f arcs scanned per arc, %.1f work per node and arc, by engine:",
              double(stats.scans) / double(reached), double(stats.arcs_scanned) / double(std::max<std::size_t>(input.G.ArcCount(), 1)),
              double(stats.work) / size);
  for (std::size_t e = 1; e < wgt::kEngines; ++e)
    if (stats.work_by[e] > 0) std::printf(" %s %.0f%%", names[e], 100.0 * double(stats.work_by[e]) / double(stats.work));
  std::printf(", %u turns, finished by %s\n", stats.turns, cycle ? "cycle" : names[std::size_t(stats.finisher)]);
}
