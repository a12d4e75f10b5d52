// Seeded generator of the benchmark inputs.
//   gen FAMILY SIZE SEED [PAIR] > file
// FAMILY: dist-random | dist-grid | dist-road | dist-road-pot | dist-long |
//         dist-wide | dist-dag | dist-hub | dist-schedule |
//         dist-dag-far | dist-dag-far-back | dist-hub-shuffled |
//         dist-tail | dist-tail-disguised | dist-tail-hub, each also -cycle |
//         dist-leap-long | dist-leap-square | dist-leap-wide |
//         dist-cycle-front | dist-cycle-deep | dist-cycle-long | dist-cycle-woven |
//         count-random | count-zero | count-grid | count-king | count-road
// SIZE:   medium (about 200,000 nodes) | large (about 1,000,000 nodes) |
//         huge (about 16,000,000 nodes) | a node count
// PAIR (path counts; the same graph for every pair): corners (1 and n, the
//         default) | middles (of opposite sides) | near (the centre and a node
//         ten rows and ten columns on) | rand1 | rand2 (random nodes) |
//         same (S = D) | apart (D an extra node without edges)
// The grid and negative-cycle families follow the shortest-path studies of
// Cherkassky, Goldberg and Radzik (1996) and Cherkassky and Goldberg (1999).
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
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

// Nodes 2..n in a random order: a numbering that hides any structure.
std::vector<std::int64_t> Shuffled(std::int64_t n, SplitMix& rng) {
  std::vector<std::int64_t> order(std::size_t(n) - 1);
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = std::int64_t(i) + 2;
  for (std::size_t i = order.size(); i > 1; --i) std::swap(order[i - 1], order[std::size_t(rng.Below(std::int64_t(i)))]);
  return order;
}

// Random acyclic graph with costs -1000..0, as difference constraints built
// level by level give: node 1 first in the topological order, the others
// shuffled behind it; each arc joins a node to one of the 100 after it in
// that order, and every node but node 1 has one from the 100 before it (so
// node 1 reaches all). Arcs are listed in random order, so that no reader
// sees the order.
void DistAcyclic(std::int64_t n, std::int64_t m, SplitMix& rng, Out& out) {
  constexpr std::int64_t kReach = 100;
  std::vector<std::int64_t> node = Shuffled(n, rng);
  node.insert(node.begin(), 1);  // node[p]: the node at topological position p
  std::vector<std::array<std::int64_t, 3>> arcs(static_cast<std::size_t>(m));
  for (std::int64_t i = 0; i < m; ++i) {
    std::int64_t to = i < n - 1 ? i + 1 : 1 + rng.Below(n - 1);
    std::int64_t from = std::max<std::int64_t>(0, to - 1 - rng.Below(kReach));
    arcs[std::size_t(i)] = {node[std::size_t(from)], node[std::size_t(to)], -rng.Below(1001)};
  }
  for (std::size_t i = arcs.size(); i > 1; --i) std::swap(arcs[i - 1], arcs[std::size_t(rng.Below(std::int64_t(i)))]);
  out.Line({n, m});
  for (const auto& a : arcs) out.Line({a[0], a[1], a[2]});
}

// A chain 1 -> 2 -> ... -> k of cost -1, each chain node with an arc of cost
// 0 to one hub, the hub with arcs of cost 0 to h leaves; k = h. A FIFO queue
// scans the hub again at every step of the chain.
void HubChain(std::int64_t n, Out& out) {
  std::int64_t k = (n - 1) / 2, hub = k + 1;
  out.Line({n, 2 * k - 1 + (n - hub)});
  for (std::int64_t v = 1; v <= k; ++v) {
    out.Line({v, hub, 0});
    if (v < k) out.Line({v, v + 1, -1});
  }
  for (std::int64_t leaf = hub + 1; leaf <= n; ++leaf) out.Line({hub, leaf, 0});
}

// A project schedule as a longest-path problem: layers of 1,000 tasks, each
// depending on four tasks of the layer before; the arc from a task to one
// that waits for it costs minus the first's duration (1..100), so a task's
// distance is minus its earliest start. Node 1 starts the project, with arcs
// of cost 0 to the first layer. Task numbers are shuffled.
void Schedule(std::int64_t n, SplitMix& rng, Out& out) {
  constexpr std::int64_t kWidth = 1000, kDepends = 4;
  std::vector<std::int64_t> task = Shuffled(n, rng);
  std::vector<std::int64_t> duration(std::size_t(n) + 1);
  for (auto& d : duration) d = 1 + rng.Below(100);
  std::int64_t first = std::min(kWidth, n - 1), later = n - 1 - first;
  out.Line({n, first + kDepends * later});
  for (std::int64_t i = 0; i < first; ++i) out.Line({1, task[std::size_t(i)], 0});
  for (std::int64_t i = first; i < n - 1; ++i) {
    std::int64_t layer = i / kWidth * kWidth, before = layer - kWidth;
    for (std::int64_t j = 0; j < kDepends; ++j) {
      std::int64_t pred = task[std::size_t(before + rng.Below(kWidth))];
      out.Line({pred, task[std::size_t(i)], -duration[std::size_t(pred)]});
    }
  }
}

// Arcs held before they are written, for the shapes that relabel or shuffle.
using ArcList = std::vector<std::array<std::int64_t, 3>>;

void Shuffle(ArcList& arcs, SplitMix& rng) {
  for (std::size_t i = arcs.size(); i > 1; --i) std::swap(arcs[i - 1], arcs[std::size_t(rng.Below(std::int64_t(i)))]);
}

void Write(std::int64_t n, const ArcList& arcs, Out& out) {
  out.Line({n, std::int64_t(arcs.size())});
  for (const auto& a : arcs) out.Line({a[0], a[1], a[2]});
}

// Hides a shape's structure: nodes 2..n renumbered at random, arc lines
// shuffled, every cost c(x, y) shifted by p(x) - p(y) for node potentials p
// below `potentials` (1000 unless told), which leaves every cycle's cost and
// every cheapest path as it was.
void Disguise(std::int64_t n, ArcList& arcs, SplitMix& rng, std::int64_t potentials = 1000) {
  std::vector<std::int64_t> name = Shuffled(n, rng), potential(std::size_t(n) + 1);
  name.insert(name.begin(), {0, 1});  // name[v]: v's new number; node 1 stays
  for (auto& p : potential) p = rng.Below(potentials);
  for (auto& a : arcs) a = {name[std::size_t(a[0])], name[std::size_t(a[1])], a[2] + potential[std::size_t(a[0])] - potential[std::size_t(a[1])]};
  Shuffle(arcs, rng);
}

// The tail: a chain 1..k, arcs j -> j+1 of cost -1 and j+1 -> j of cost +1,
// every chain node an arc of cost 0 to k (first in its row), and k an arc
// back to every chain node j of cost k - j (listed from k - 2 down to 1),
// which ties with the chain. k is lowered once per step of the chain and rescans its k arcs
// each time, in the queue and in the passes alike. With `cycle`, k -> 1
// costs one less: a negative cycle of cost -1 through every node. n = k.
ArcList Tail(std::int64_t k, bool cycle) {
  ArcList arcs;
  for (std::int64_t j = 1; j < k; ++j) {
    arcs.push_back({j, k, 0});
    arcs.push_back({j, j + 1, -1});
    arcs.push_back({j + 1, j, 1});
  }
  for (std::int64_t j = k - 2; j >= 1; --j) arcs.push_back({k, j, k - j - (cycle && j == 1)});
  return arcs;
}

// The tail of n / 2 nodes joined to a random part of the others, 4 arcs a
// node among them of cost 0..99; every chain node an arc of cost 0..99 into
// the random part, and as many arcs lead back into the chain at cost k and
// more, too dear to shorten it or to close a negative cycle through it.
ArcList TailJoined(std::int64_t n, SplitMix& rng) {
  const std::int64_t k = n / 2, part = n - k;
  ArcList arcs = Tail(k, false);
  auto in_part = [&] { return k + 1 + rng.Below(part); };
  for (std::int64_t v = k + 1; v <= n; ++v)
    for (int i = 0; i < 4; ++i) arcs.push_back({v, in_part(), rng.Below(100)});
  for (std::int64_t j = 1; j <= k; ++j) {
    arcs.push_back({j, in_part(), rng.Below(100)});
    arcs.push_back({in_part(), 1 + rng.Below(k), k + rng.Below(100)});
  }
  return arcs;
}

// The tail with a hub: the two-way chain 1..k as in Tail, every chain node
// an arc of cost 0 to a node w, w one to k, and every chain node one to a
// hub with k leaves, all of cost 0. With `cycle`, an arc k -> 1 of cost
// k - 2 closes a negative cycle of cost -1. n = 2k + 2: w = k + 1, the hub
// k + 2, the leaves after it.
ArcList TailWithHub(std::int64_t n, bool cycle) {
  const std::int64_t k = (n - 2) / 2, w = k + 1, hub = k + 2;
  ArcList arcs;
  for (std::int64_t j = 1; j <= k; ++j) {
    arcs.push_back({j, w, 0});
    arcs.push_back({j, hub, 0});
    if (j < k) arcs.push_back({j, j + 1, -1});
    if (j < k) arcs.push_back({j + 1, j, 1});
  }
  arcs.push_back({w, k, 0});
  for (std::int64_t leaf = hub + 1; leaf <= n; ++leaf) arcs.push_back({hub, leaf, 0});
  if (cycle) arcs.push_back({k, 1, k - 2});
  return arcs;
}

// Layers of `width` nodes with long arcs of negative cost: in each layer a
// two-way ring of costs 1..100; every node an arc to the same place in the
// next layer of cost -1000 + (0..100), and two to random nodes d layers
// ahead, d uniform from 1 to the last layer, of cost -900 d + (0..100).
// Node 1 has arcs of cost 0 to every node of the first layer; the layers'
// nodes are numbered from 2 in layer order, arcs listed by tail. The long
// arcs hand out early labels that the single steps beat later.
void Leaps(std::int64_t layers, std::int64_t width, SplitMix& rng, Out& out) {
  const std::int64_t n = 1 + layers * width;
  out.Line({n, width + 2 * width * layers + 3 * width * (layers - 1)});
  auto node = [&](std::int64_t layer, std::int64_t place) { return 2 + layer * width + place; };
  for (std::int64_t place = 0; place < width; ++place) out.Line({1, node(0, place), 0});
  for (std::int64_t layer = 0; layer < layers; ++layer)
    for (std::int64_t place = 0; place < width; ++place) {
      const std::int64_t v = node(layer, place);
      out.Line({v, node(layer, (place + 1) % width), 1 + rng.Below(100)});
      out.Line({v, node(layer, (place + width - 1) % width), 1 + rng.Below(100)});
      if (layer + 1 == layers) continue;
      out.Line({v, node(layer + 1, place), -1000 + rng.Below(101)});
      for (int leap = 0; leap < 2; ++leap) {
        const std::int64_t d = 1 + rng.Below(layers - 1 - layer);
        out.Line({v, node(layer + d, rng.Below(width)), -900 * d + rng.Below(101)});
      }
    }
}

// A random acyclic graph whose arcs reach far: a path through every node in
// a hidden topological order, node 1 first, and random arcs from a position
// i to a position uniformly between i + 1 and i + 1 + n, clipped at the
// last (so that about half of them end at the last node), costs -1000..0,
// node numbers and arc lines shuffled. With `back`, one more arc from the
// last node into node 1, of cost 10^9: a cycle that never improves.
void FarAcyclic(std::int64_t n, std::int64_t m, bool back, SplitMix& rng, Out& out) {
  std::vector<std::int64_t> node = Shuffled(n, rng);
  node.insert(node.begin(), 1);  // node[p]: the node at topological position p
  ArcList arcs;
  arcs.reserve(std::size_t(m) + 1);
  for (std::int64_t p = 0; p + 1 < n; ++p) arcs.push_back({node[std::size_t(p)], node[std::size_t(p) + 1], -rng.Below(1001)});
  while (std::int64_t(arcs.size()) < m) {
    const std::int64_t from = rng.Below(n - 1), to = std::min(n - 1, from + 1 + rng.Below(n + 1));
    arcs.push_back({node[std::size_t(from)], node[std::size_t(to)], -rng.Below(1001)});
  }
  if (back) arcs.push_back({node[std::size_t(n) - 1], 1, 1000000000});
  Shuffle(arcs, rng);
  Write(n, arcs, out);
}

// The hub chain of HubChain with node numbers 2..n and arc lines shuffled.
void ShuffledHubChain(std::int64_t n, SplitMix& rng, Out& out) {
  const std::int64_t k = n / 2, hub = k + 1;
  ArcList arcs;
  for (std::int64_t v = 1; v <= k; ++v) {
    arcs.push_back({v, hub, 0});
    if (v < k) arcs.push_back({v, v + 1, -1});
  }
  for (std::int64_t leaf = hub + 1; leaf <= n; ++leaf) arcs.push_back({hub, leaf, 0});
  std::vector<std::int64_t> name = Shuffled(n, rng);
  name.insert(name.begin(), {0, 1});
  for (auto& a : arcs) a = {name[std::size_t(a[0])], name[std::size_t(a[1])], a[2]};
  Shuffle(arcs, rng);
  Write(n, arcs, out);
}

// The header of a path-count file: n nodes (one more, without edges, for
// the pair "apart"), m edges and the pair. `side` is the grid's, or 0.
void CountHeader(std::int64_t n, std::int64_t m, std::int64_t side, const std::string& pair, Out& out) {
  SplitMix pick{std::hash<std::string>{}(pair)};
  std::int64_t s = 1, d = n;
  if (pair == "middles" && side > 0)
    s = side / 2 + 1, d = (side - 1) * side + side / 2 + 1;
  else if (pair == "near" && side > 0)
    s = side / 2 * side + side / 2 + 1, d = std::min(n, s + 10 * side + 10);
  else if (pair == "rand1" || pair == "rand2")
    s = 1 + pick.Below(n), d = 1 + pick.Below(n);
  else if (pair == "same")
    d = s = 1 + pick.Below(n);
  else if (pair == "apart")
    d = n + 1;
  out.Line({n + (pair == "apart"), m, s, d});
}

// Side x side grid, row-major node numbers, edges to every neighbour (both
// directions for the directed family) with random costs lo..hi.
void Grid(std::int64_t side, bool directed, std::int64_t lo, std::int64_t hi, const std::string& pair, SplitMix& rng,
          Out& out) {
  std::int64_t n = side * side;
  std::int64_t m = (directed ? 4 : 2) * side * (side - 1);
  if (directed)
    out.Line({n, m});
  else
    CountHeader(n, m, side, pair, out);
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

// Road-like directed grid of rows x cols, row-major node numbers, arcs listed
// by tail: the four neighbours both ways plus a diagonal street to the
// lower right, costs 1..100, each shifted by p(x) - p(y) for node potentials
// p of 0..spread-1 (no negative cycle whatever the spread).
void Road(std::int64_t rows, std::int64_t cols, std::int64_t spread, SplitMix& rng, Out& out) {
  std::int64_t n = rows * cols;
  std::vector<std::int64_t> potential(std::size_t(n) + 1);
  if (spread > 0)
    for (auto& p : potential) p = rng.Below(spread);
  std::int64_t m = 2 * rows * (cols - 1) + 2 * cols * (rows - 1) + (rows - 1) * (cols - 1);
  out.Line({n, m});
  for (std::int64_t r = 0; r < rows; ++r)
    for (std::int64_t c = 0; c < cols; ++c) {
      std::int64_t v = r * cols + c + 1;
      auto arc = [&](std::int64_t w) {
        out.Line({v, w, 1 + rng.Below(100) + potential[std::size_t(v)] - potential[std::size_t(w)]});
      };
      if (c + 1 < cols) arc(v + 1);
      if (r + 1 < rows) arc(v + cols);
      if (c > 0) arc(v - 1);
      if (r > 0) arc(v - cols);
      if (r + 1 < rows && c + 1 < cols) arc(v + cols + 1);
    }
}

// A random graph with potential-shifted costs (no negative cycle of its
// own) into which a cycle of total cost -1 is planted:
//   front:  1 -> 2 -> 3 -> 4 -> 2, and the rest reachable only through 4;
//   deep:   four random nodes of the graph;
//   long:   a ring through half the nodes, from node 1, and the graph on the
//           other half reachable only from the ring;
//   woven:  a ring through every node, the graph's arcs among them.
void NegativeCycle(const std::string& shape, std::int64_t n, SplitMix& rng, Out& out) {
  std::vector<std::int64_t> potential(std::size_t(n) + 1);
  for (auto& p : potential) p = rng.Below(200);
  auto cost = [&](std::int64_t x, std::int64_t y) { return rng.Below(100) + potential[std::size_t(x)] - potential[std::size_t(y)]; };
  std::vector<std::int64_t> cycle;
  if (shape == "front")
    cycle = {2, 3, 4};
  else if (shape == "deep")
    for (int i = 0; i < 4; ++i) cycle.push_back(2 + rng.Below(n - 1));
  else
    for (std::int64_t v = 1; v <= (shape == "long" ? n / 2 : n); ++v) cycle.push_back(v);
  std::int64_t random_arcs = 5 * n;
  std::int64_t first = shape == "front" ? 5 : shape == "long" ? n / 2 + 1 : 1;  // the random graph's nodes
  std::int64_t entries = shape == "long" ? 1000 : 1;  // arcs from the cycle into the graph behind it
  out.Line({n, random_arcs + std::int64_t(cycle.size()) + (shape == "front" ? 2 : shape == "long" ? entries : 0)});
  if (shape == "front") {
    out.Line({1, 2, 0});
    out.Line({4, 5, 0});
  }
  if (shape == "long")
    for (std::int64_t i = 0; i < entries; ++i) out.Line({1 + rng.Below(n / 2), first + rng.Below(n - first + 1), 0});
  for (std::size_t i = 0; i < cycle.size(); ++i) {
    std::int64_t x = cycle[i], y = cycle[(i + 1) % cycle.size()];
    out.Line({x, y, potential[std::size_t(x)] - potential[std::size_t(y)] - (i == 0 ? 1 : 0)});
  }
  for (std::int64_t i = 0; i < random_arcs; ++i) {
    std::int64_t x = first + rng.Below(n - first + 1), y = first + rng.Below(n - first + 1);
    out.Line({x, y, cost(x, y)});
  }
}

// Undirected side x side grid with all eight neighbours, unit costs.
void King(std::int64_t side, const std::string& pair, Out& out) {
  std::int64_t n = side * side;
  CountHeader(n, 2 * side * (side - 1) + 2 * (side - 1) * (side - 1), side, pair, out);
  for (std::int64_t r = 0; r < side; ++r)
    for (std::int64_t c = 0; c < side; ++c) {
      std::int64_t v = r * side + c + 1;
      if (c + 1 < side) out.Line({v, v + 1, 1});
      if (r + 1 < side) out.Line({v, v + side, 1});
      if (r + 1 < side && c + 1 < side) out.Line({v, v + side + 1, 1});
      if (r + 1 < side && c > 0) out.Line({v, v + side - 1, 1});
    }
}

// Undirected road-like grid: the four neighbours and a diagonal street to
// the lower right, costs 1..100.
void CountRoad(std::int64_t side, const std::string& pair, SplitMix& rng, Out& out) {
  std::int64_t n = side * side;
  CountHeader(n, 2 * side * (side - 1) + (side - 1) * (side - 1), side, pair, out);
  for (std::int64_t r = 0; r < side; ++r)
    for (std::int64_t c = 0; c < side; ++c) {
      std::int64_t v = r * side + c + 1;
      if (c + 1 < side) out.Line({v, v + 1, 1 + rng.Below(100)});
      if (r + 1 < side) out.Line({v, v + side, 1 + rng.Below(100)});
      if (r + 1 < side && c + 1 < side) out.Line({v, v + side + 1, 1 + rng.Below(100)});
    }
}

// Random undirected graph, costs 1..10; with `zeros`, a tenth of them 0.
void CountRandom(std::int64_t n, std::int64_t m, bool zeros, const std::string& pair, SplitMix& rng, Out& out) {
  CountHeader(n, m, 0, pair, out);
  for (std::int64_t i = 0; i < m; ++i) {
    std::int64_t x = 1 + rng.Below(n), y = 1 + rng.Below(n), c = 1 + rng.Below(10);
    out.Line({x, y, zeros && rng.Below(10) == 0 ? 0 : c});
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 && argc != 5) {
    std::fprintf(stderr, "usage: gen FAMILY SIZE SEED [PAIR]\n");
    return 2;
  }
  std::string family = argv[1], size = argv[2], pair = argc == 5 ? argv[4] : "corners";
  SplitMix rng{std::strtoull(argv[3], nullptr, 10)};
  Out out;
  std::int64_t n = size == "medium" ? 200000 : size == "large" ? 1000000 : size == "huge" ? 16000000 : std::atoll(size.c_str());
  if (n < 16) return 2;
  std::int64_t side = size == "medium" ? 450 : std::int64_t(std::sqrt(double(n)));
  if (family == "dist-random")
    DistRandom(n, 5 * n, rng, out);
  else if (family == "dist-grid")
    Grid(side, true, 1, 100, pair, rng, out);
  else if (family == "dist-road")
    Road(side, side, 0, rng, out);
  else if (family == "dist-road-pot")
    Road(side, side, 1000, rng, out);
  else if (family == "dist-long")
    Road(n / 16, 16, 0, rng, out);
  else if (family == "dist-wide")
    Road(16, n / 16, 0, rng, out);
  else if (family == "dist-dag")
    DistAcyclic(n, 5 * n, rng, out);
  else if (family == "dist-hub")
    HubChain(n, out);
  else if (family == "dist-schedule")
    Schedule(n, rng, out);
  else if (family == "dist-dag-far" || family == "dist-dag-far-back")
    FarAcyclic(n, 5 * n, family == "dist-dag-far-back", rng, out);
  else if (family == "dist-hub-shuffled")
    ShuffledHubChain(n, rng, out);
  else if (family == "dist-tail-joined" || family == "dist-tail-joined-wide" || family == "dist-tail-disguised-wide") {
    ArcList arcs = family == "dist-tail-disguised-wide" ? Tail(n, false) : TailJoined(n, rng);
    Disguise(n, arcs, rng, family.ends_with("-wide") ? std::int64_t(1) << 30 : 1000);
    Write(n, arcs, out);
  } else if (family.rfind("dist-tail", 0) == 0) {
    const bool cycle = family.ends_with("-cycle"), hub = family.rfind("dist-tail-hub", 0) == 0;
    ArcList arcs = hub ? TailWithHub(n, cycle) : Tail(n, cycle);
    if (family.rfind("dist-tail-disguised", 0) == 0) Disguise(n, arcs, rng);
    Write(n, arcs, out);
  } else if (family == "dist-leap-long")
    Leaps(n / 16, 16, rng, out);
  else if (family == "dist-leap-wide")
    Leaps(16, n / 16, rng, out);
  else if (family == "dist-leap-square")
    Leaps(side, side, rng, out);
  else if (family.rfind("dist-cycle-", 0) == 0)
    NegativeCycle(family.substr(11), n, rng, out);
  else if (family == "count-king")
    King(side, pair, out);
  else if (family == "count-road")
    CountRoad(side, pair, rng, out);
  else if (family == "count-random" || family == "count-zero")
    CountRandom(n, size == "medium" ? 5 * n : 4 * n, family == "count-zero", pair, rng, out);
  else if (family == "count-grid")
    Grid(side, false, 1, 1, pair, rng, out);
  else
    return 2;
  return 0;
}
