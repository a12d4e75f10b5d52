#include <gtest/gtest.h>

#include <numeric>

#include "harness.hpp"

namespace {

void ExpectCount(const std::string& input, const std::string& expected) {
  EXPECT_SUCCESS(kPathCount, input, expected, "");
}

// Independent oracle for costs of 1 or more: distances by repeated
// relaxation, then counts summed over the nodes in order of distance.
std::uint64_t CountByDistanceOrder(int n, int s, int t, const std::vector<Edge>& edges) {
  const long long unreached = LLONG_MAX;
  std::vector<long long> dist(n + 1, unreached);
  dist[s] = 0;
  for (bool changed = true; changed;) {
    changed = false;
    for (const Edge& e : edges)
      for (auto [a, b] : {std::pair{e.x, e.y}, std::pair{e.y, e.x}})
        if (dist[a] != unreached && dist[a] + e.c < dist[b]) dist[b] = dist[a] + e.c, changed = true;
  }
  std::vector<int> order(n);
  std::iota(order.begin(), order.end(), 1);
  std::sort(order.begin(), order.end(), [&](int a, int b) { return dist[a] < dist[b]; });
  std::vector<std::vector<Edge>> into(n + 1);  // arcs grouped by head
  for (const Edge& e : edges) {
    into[e.y].push_back(e);
    into[e.x].push_back({e.y, e.x, e.c});
  }
  std::vector<std::uint64_t> count(n + 1);
  count[s] = 1;
  for (int v : order)
    for (const Edge& e : into[v])
      if (dist[e.x] != unreached && dist[e.x] + e.c == dist[v]) count[v] += count[e.x];
  return count[t];
}

TEST(PathCountRandomized, MatchesCountByDistanceOrder) {
  std::mt19937 rng(20261207);
  for (int round = 0; round < 300; ++round) {
    int n = 1 + rng() % 10, m = rng() % 30, s = 1 + rng() % n, t = 1 + rng() % n;
    bool large = round % 5 == 0;  // costs beyond the old 32-bit sentinel
    std::vector<Edge> edges;
    for (int i = 0; i < m; ++i)
      edges.push_back({1 + int(rng() % n), 1 + int(rng() % n), large ? 2147483647 - int(rng() % 2) : 1 + int(rng() % 3)});
    std::string header = std::to_string(n) + " " + std::to_string(m) + " " + std::to_string(s) + " " + std::to_string(t);
    ExpectCount(GraphText(header, edges), std::to_string(CountByDistanceOrder(n, s, t, edges)));
  }
}

TEST(PathCountRandomized, LargeGraphWithManyTies) {
  std::mt19937 rng(11);
  const int n = 140000, m = 400000;
  std::vector<Edge> edges;
  for (int i = 0; i < m; ++i) edges.push_back({1 + int(rng() % n), 1 + int(rng() % n), 1 + int(rng() % 2)});
  for (int t : {n, 77777, 3}) {
    std::string header = std::to_string(n) + " " + std::to_string(m) + " 1 " + std::to_string(t);
    ExpectCount(GraphText(header, edges), std::to_string(CountByDistanceOrder(n, 1, t, edges)));
  }
}

}  // namespace
