// Seeded generator of the benchmark inputs.
//   gen FAMILY SIZE SEED > file
// FAMILY: dist-random | dist-grid | count-random | count-grid
// SIZE:   medium (about 200,000 nodes) | large (about 1,000,000 nodes)
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct SplitMix {
  std::uint64_t state;
  std::uint64_t Next() {
    std::uint64_t z = (state += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
  }
  std::int64_t Below(std::int64_t bound) { return std::int64_t(Next() % std::uint64_t(bound)); }
};

class Out {
 public:
  ~Out() { Flush(); }
  void Line(std::initializer_list<std::int64_t> values) {
    if (buffer_.size() - used_ < 128) Flush();
    for (std::int64_t v : values) {
      used_ = std::size_t(std::to_chars(buffer_.data() + used_, buffer_.data() + buffer_.size(), v).ptr - buffer_.data());
      buffer_[used_++] = ' ';
    }
    buffer_[used_ - 1] = '\n';
  }

 private:
  void Flush() {
    std::fwrite(buffer_.data(), 1, used_, stdout);
    used_ = 0;
  }
  std::vector<char> buffer_ = std::vector<char>(1 << 20);
  std::size_t used_ = 0;
};

// Random directed graph with negative costs but no negative cycle: each cost
// is a reduced cost of 0..99 shifted by random node potentials.
void DistRandom(std::int64_t n, std::int64_t m, SplitMix& rng, Out& out) {
  std::vector<std::int64_t> potential(std::size_t(n) + 1);
  for (auto& p : potential) p = rng.Below(200);
  out.Line({n, m});
  for (std::int64_t i = 0; i < m; ++i) {
    std::int64_t x = 1 + rng.Below(n), y = 1 + rng.Below(n);
    out.Line({x, y, rng.Below(100) + potential[std::size_t(x)] - potential[std::size_t(y)]});
  }
}

// Side x side grid, row-major node numbers, edges to every neighbour (both
// directions for the directed family) with random costs lo..hi.
void Grid(std::int64_t side, bool directed, std::int64_t lo, std::int64_t hi, SplitMix& rng, Out& out) {
  std::int64_t n = side * side;
  std::int64_t m = (directed ? 4 : 2) * side * (side - 1);
  if (directed)
    out.Line({n, m});
  else
    out.Line({n, m, 1, n});
  for (std::int64_t r = 0; r < side; ++r)
    for (std::int64_t c = 0; c < side; ++c) {
      std::int64_t v = r * side + c + 1;
      auto edge = [&](std::int64_t w) { out.Line({v, w, lo + rng.Below(hi - lo + 1)}); };
      if (c + 1 < side) edge(v + 1);
      if (r + 1 < side) edge(v + side);
      if (directed && c > 0) edge(v - 1);
      if (directed && r > 0) edge(v - side);
    }
}

void CountRandom(std::int64_t n, std::int64_t m, SplitMix& rng, Out& out) {
  out.Line({n, m, 1, n});
  for (std::int64_t i = 0; i < m; ++i) out.Line({1 + rng.Below(n), 1 + rng.Below(n), 1 + rng.Below(10)});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: gen FAMILY SIZE SEED\n");
    return 2;
  }
  std::string family = argv[1], size = argv[2];
  bool large = size == "large";
  SplitMix rng{std::strtoull(argv[3], nullptr, 10)};
  Out out;
  std::int64_t n = large ? 1000000 : 200000;
  std::int64_t side = large ? 1000 : 450;
  if (family == "dist-random")
    DistRandom(n, 5 * n, rng, out);
  else if (family == "dist-grid")
    Grid(side, true, 1, 100, rng, out);
  else if (family == "count-random")
    CountRandom(n, large ? 4 * n : 5 * n, rng, out);
  else if (family == "count-grid")
    Grid(side, false, 1, 1, rng, out);
  else
    return 2;
  return 0;
}
