#include <gtest/gtest.h>

#include <numeric>

#include "harness.hpp"

namespace {

void ExpectCount(const std::string& input, const std::string& expected) {
  EXPECT_SUCCESS(kPathCount, input, expected, "");
}

TEST(PathCountReport, EdgeCases) {
  ExpectCount("1 0 1 1\n", "1");                              // source is destination
  ExpectCount("3 1 1 3\n1 2 4\n", "0");                       // unreachable
  ExpectCount("2 2 1 2\n1 2 3\n1 2 3\n", "2");                // parallel, equal cost
  ExpectCount("2 2 1 2\n1 2 3\n2 1 4\n", "1");                // parallel, different cost
  ExpectCount("4 4 1 4\n1 2 1\n2 4 1\n1 3 1\n3 4 1\n", "2");  // the square
  ExpectCount("3 3 1 3\n1 3 10\n1 2 2\n2 3 2\n", "1");        // a dearer path found first is dropped
  ExpectCount("2 2 1 2\n1 1 5\n1 2 1\n", "1");                // self-loop of positive cost
  ExpectCount("3 2 3 1\n1 2 1\n2 3 1\n", "1");                // walked against the input direction
}

TEST(PathCountReport, ZeroCostEdgesFollowTheHeapOrder) {
  ExpectCount("2 1 1 1\n1 2 0\n", "2");  // a second cheapest path back to the source
  ExpectCount("2 1 1 2\n1 2 0\n", "1");
  ExpectCount("1 1 1 1\n1 1 0\n", "4");  // a zero self-loop doubles the count once per entry
  // Rows are scanned in input order: the doubling counts for edges after it.
  ExpectCount("2 2 1 2\n1 2 1\n1 1 0\n", "1");
  ExpectCount("2 2 1 2\n1 1 0\n1 2 1\n", "4");
  // Node 2 is acted on before node 3 adds its paths to it, so node 4 keeps
  // the one path it got then, while node 2 ends up with three.
  ExpectCount("4 4 1 4\n1 2 0\n1 3 0\n3 2 0\n2 4 1\n", "1");
  ExpectCount("4 4 1 2\n1 2 0\n1 3 0\n3 2 0\n2 4 1\n", "3");
}

TEST(PathCountReport, CountsWrapModuloTwoToThe64) {
  // k stages of three parallel unit edges: 3^k paths.
  const int k = 41;
  std::string text = std::to_string(k + 1) + " " + std::to_string(3 * k) + " 1 " + std::to_string(k + 1) + "\n";
  std::uint64_t expected = 1;
  for (int i = 1; i <= k; ++i) {
    for (int j = 0; j < 3; ++j) text += std::to_string(i) + " " + std::to_string(i + 1) + " 7\n";
    expected *= 3;
  }
  ExpectCount(text, std::to_string(expected));
}

TEST(PathCountReport, ExactBeyondThirtyTwoBits) {
  ExpectCount("4 4 1 4\n1 2 2000000000\n2 4 2000000000\n1 3 2000000000\n3 4 2000000000\n", "2");
  ExpectCount("2 1 1 2\n1 2 1061109567\n", "1");
  ExpectCount("3 3 1 3\n1 2 2147483647\n2 3 2147483647\n1 3 2147483647\n", "1");
}

TEST(PathCountReport, AcceptsWhatFormattedExtractionAccepts) {
  ExpectCount("4 4 1 4 1 2 1 2 4 1 1 3 1 3 4 1", "2");
  ExpectCount("+4\t04 1 4\r\n1 2 +1\r\n2 4 1\r\n1 3 01\r\n3 4 1", "2");
  ExpectCount("2 1 1 2\n1 2 3\ntrailing words are not read", "1");
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
