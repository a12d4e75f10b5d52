// Nodes each end of the path counter settled on 9-quembol.in in the current
// directory: the shipped program's own code, with a tally that keeps the
// figures. Prints "S_END D_END".
//   settled
#define main ShippedMain
#include "../pathcount/quembol.cpp"
#undef main

namespace {

struct Keeping {
  std::uint64_t from_s = 0, from_d = 0;
  void Settled(std::uint64_t s_end, std::uint64_t d_end) { from_s = s_end, from_d = d_end; }
};

}  // namespace

int main() {
  wgt::program_name = "settled";
  fin.Open(kInput);
  fin.RequireOpen();
  ReadGraph();
  Keeping tally;
  CountPaths(tally);
  std::printf("%llu %llu\n", static_cast<unsigned long long>(tally.from_s), static_cast<unsigned long long>(tally.from_d));
}
