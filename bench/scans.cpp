// Scans per reached node of the distance program's relaxation on
// mirtavosken.in in the current directory: the shipped program's own code,
// with a tally that counts. Prints scans per node and arcs scanned per arc.
// Inputs with a negative cycle end with the program's refusal.
//   scans
#define main ShippedMain
#include "../distance/mirtavosken2.cpp"
#undef main

namespace {

struct Counting {
  std::uint64_t scans = 0, arcs = 0;
  void Scan(std::size_t row) { ++scans, arcs += row; }
};

template <class Dist>
void Report(const wgt::LabelTree<Dist>& tree, const Counting& tally) {
  std::uint64_t reached = 0;
  for (std::int32_t v = 1; v <= n; ++v) reached += tree.Label(v) != INF<Dist>;
  std::printf("%.2f scans per node, %.2f arcs scanned per arc\n", double(tally.scans) / double(reached),
              double(tally.arcs) / double(std::max<std::size_t>(G.ArcCount(), 1)));
}

}  // namespace

int main() {
  wgt::program_name = "scans";
  fin.Open(kInput);
  fin.RequireOpen();
  ReadGraph();
  Counting tally;
  RelaxInto(1, D, tally);
  if (D.wide.Size() > 0)
    Report(D.wide, tally);
  else
    Report(D.narrow, tally);
}
