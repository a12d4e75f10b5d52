#include <gtest/gtest.h>

#include <climits>
#include <queue>

#include "harness.hpp"

namespace {

// The literal full run, as the program once did it: Dijkstra's method from s
// over everything s reaches, (distance, node) pairs leaving a heap smallest
// first, outdated ones skipped, rows in input order, counts copied on every
// strict improvement and summed on every tie (read afresh, so that a
// self-loop of cost 0 doubles the count for the arcs after it).
std::uint64_t LiteralCount(int n, int s, int t, const std::vector<Edge>& edges) {
  std::vector<std::vector<std::pair<int, long long>>> rows(n + 1);
  for (const Edge& e : edges) {
    rows[e.x].push_back({e.y, e.c});
    rows[e.y].push_back({e.x, e.c});
  }
  std::vector<long long> dist(n + 1, LLONG_MAX);
  std::vector<std::uint64_t> count(n + 1);
  std::priority_queue<std::pair<long long, int>, std::vector<std::pair<long long, int>>, std::greater<>> heap;
  dist[s] = 0;
  count[s] = 1;
  heap.push({0, s});
  while (!heap.empty()) {
    auto [e, x] = heap.top();
    heap.pop();
    if (e > dist[x]) continue;
    for (auto [y, c] : rows[x]) {
      if (dist[x] + c < dist[y]) {
        dist[y] = dist[x] + c;
        count[y] = count[x];
        heap.push({dist[y], y});
      } else if (dist[x] + c == dist[y]) {
        count[y] += count[x];
      }
    }
  }
  return count[t];
}

std::string Header(int n, std::size_t m, int s, int t) {
  return std::to_string(n) + " " + std::to_string(m) + " " + std::to_string(s) + " " + std::to_string(t);
}

void ExpectLiteralCount(int n, int s, int t, const std::vector<Edge>& edges) {
  EXPECT_SUCCESS(kPathCount, GraphText(Header(n, edges.size(), s, t), edges),
                 std::to_string(LiteralCount(n, s, t, edges)), "");
}

// Small multigraphs with self-loops and parallel edges, costs drawn from
// `costs`; pairs include S = D and, in graphs of several parts, a D that S
// cannot reach. In a third of the rounds the edges are listed by their
// smaller end (either end first), which the table takes in order; in
// another third only a prefix is, so that the order breaks after rows
// have begun.
void CompareOnRandomGraphs(std::uint32_t seed, const std::vector<long long>& costs) {
  std::mt19937 rng(seed);
  for (int round = 0; round < 400; ++round) {
    int n = 1 + rng() % 9, m = rng() % 25, s = 1 + rng() % n, t = 1 + rng() % n;
    std::vector<Edge> edges;
    for (int i = 0; i < m; ++i) edges.push_back({1 + int(rng() % n), 1 + int(rng() % n), costs[rng() % costs.size()]});
    auto sorted_end = round % 3 == 0 ? edges.end() : round % 3 == 1 ? edges.begin() + rng() % (m + 1) : edges.begin();
    std::stable_sort(edges.begin(), sorted_end,
                     [](const Edge& a, const Edge& b) { return std::min(a.x, a.y) < std::min(b.x, b.y); });
    ExpectLiteralCount(n, s, t, edges);
  }
}

// Edges of cost 0 keep the search to the source's end, whose heap order
// decides the count.
TEST(PathCountOracle, RandomGraphsWithEdgesOfCostZero) { CompareOnRandomGraphs(20261207, {0, 1, 2}); }

// Costs of 1 or more: the search runs from both ends; costs near 2^31 need
// 64-bit distances.
TEST(PathCountOracle, RandomGraphsWithPositiveCosts) {
  CompareOnRandomGraphs(7, {1, 2, 3});
  CompareOnRandomGraphs(8, {2147483647, 2147483646, 1});
}

// Diamonds in series double the count each: 2^63 after 63, 0 after 64.
// An edge of cost 0 between two extra nodes sends the search down the
// source's end alone; without it, it runs from both ends.
TEST(PathCountOracle, CountsWrapOnBothSearches) {
  for (int diamonds : {63, 64}) {
    for (bool zero_edge : {false, true}) {
      std::vector<Edge> edges;
      for (int i = 0; i < diamonds; ++i) {
        int a = 1 + 3 * i;
        edges.insert(edges.end(), {{a, a + 1, 1}, {a, a + 2, 1}, {a + 1, a + 3, 1}, {a + 2, a + 3, 1}});
      }
      int n = 3 * diamonds + 1 + 2;
      if (zero_edge) edges.push_back({n - 1, n, 0});
      EXPECT_SUCCESS(kPathCount, GraphText(Header(n, edges.size(), 1, 3 * diamonds + 1), edges),
                     diamonds == 63 ? "9223372036854775808" : "0", "");
    }
  }
}

// Where the two ends meet, many arcs have the same total: a grid between
// opposite corners and between the middles of opposite sides, unit and
// mixed costs, four and eight neighbours.
TEST(PathCountOracle, WideMeetingLayers) {
  std::mt19937 rng(3);
  const int side = 24, n = side * side;
  for (bool king : {false, true}) {
    for (int max_cost : {1, 2}) {
      std::vector<Edge> edges;
      for (int r = 0; r < side; ++r)
        for (int c = 0; c < side; ++c) {
          int v = r * side + c + 1;
          auto edge = [&](int w) { edges.push_back({v, w, 1 + int(rng() % max_cost)}); };
          if (c + 1 < side) edge(v + 1);
          if (r + 1 < side) edge(v + side);
          if (king && r + 1 < side && c + 1 < side) edge(v + side + 1);
          if (king && r + 1 < side && c > 0) edge(v + side - 1);
        }
      ExpectLiteralCount(n, 1, n, edges);
      ExpectLiteralCount(n, side / 2, n - side / 2, edges);
      ExpectLiteralCount(n, n / 2, n / 2 + 3, edges);
    }
  }
}

TEST(PathCountOracle, LargeGraphWithManyTies) {
  std::mt19937 rng(11);
  const int n = 140000, m = 400000;
  for (int max_cost : {2, 3}) {
    std::vector<Edge> edges;
    for (int i = 0; i < m; ++i) edges.push_back({1 + int(rng() % n), 1 + int(rng() % n), int(rng() % max_cost)});
    if (max_cost == 3)
      for (Edge& e : edges) ++e.c;  // 1..3: from both ends
    for (int t : {n, 77777, 3}) ExpectLiteralCount(n, 1, t, edges);
  }
}

}  // namespace
