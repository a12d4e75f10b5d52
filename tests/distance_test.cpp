#include <gtest/gtest.h>

#include <sstream>

#include "harness.hpp"

namespace {

Outcome Distance(const std::string& input) { return kDistance.Run(input); }

// The message names the cycle as "N edges, total cost C): a -> b -> ... -> a".
void ExpectNegativeCycle(const std::string& input, const std::string& message) {
  Outcome run = Distance(input);
  EXPECT_REFUSED(run, "mirtavosken2: mirtavosken.in: negative cycle reachable from node 1 " + message);
  EXPECT_EQ(run.out, "80");
}

// Listed by tail, and again with the first edge moved to the end, so that a
// million edges taken in order must move into the general build.
TEST(DistanceNegativeCycle, LongCycleIsFoundQuickly) {
  const int n = 1000000;
  std::string header = std::to_string(n) + " " + std::to_string(n) + "\n", first = "1 2 0\n", rest;
  for (int v = 2; v <= n; ++v) rest += std::to_string(v) + " " + std::to_string(v % n + 1) + (v == n ? " -1\n" : " 0\n");
  for (const std::string& text : {header + first + rest, header + rest + first})
    ExpectNegativeCycle(text, "(1000000 edges, total cost -1): 1 -> 2 -> 3 -> 4 -> 5 -> 6 -> 7 -> 8 -> ... -> 1000000 -> 1\n");
}

TEST(DistanceNegativeCycle, ShortCycleInFrontOfALargeGraphIsFoundQuickly) {
  // 1 -> 2 -> 3 -> 2 costs -1 a round; 3 leads into a 300,000-node chain
  // with branches, which every round would otherwise lower again.
  const int n = 300000;
  std::string text = std::to_string(n) + " " + std::to_string(3 + 2 * (n - 3)) + "\n1 2 0\n2 3 0\n3 2 -1\n";
  for (int v = 3; v < n; ++v) text += std::to_string(v) + " " + std::to_string(v + 1) + " 1\n" +
                                      std::to_string(v) + " " + std::to_string(4 + (v * 7919LL) % (n - 3)) + " 5\n";
  ExpectNegativeCycle(text, "(2 edges, total cost -1): 2 -> 3 -> 2\n");
}

// Independent oracle: relax every edge until nothing changes; a change in
// pass n means a negative cycle reachable from node 1.
struct Oracle {
  std::vector<long long> dist;
  bool negative_cycle = false;
};

Oracle RelaxUntilStable(int n, const std::vector<Edge>& edges) {
  const long long unreached = LLONG_MAX;
  Oracle o{std::vector<long long>(n + 1, unreached)};
  o.dist[1] = 0;
  for (int pass = 1;; ++pass) {
    bool changed = false;
    for (const Edge& e : edges)
      if (o.dist[e.x] != unreached && o.dist[e.x] + e.c < o.dist[e.y]) {
        o.dist[e.y] = o.dist[e.x] + e.c;
        changed = true;
      }
    if (!changed) return o;
    if (pass == n) {
      o.negative_cycle = true;
      return o;
    }
  }
}

std::string Report(const std::vector<long long>& dist) {
  std::string text;
  for (std::size_t v = 2; v < dist.size(); ++v) text += (dist[v] == LLONG_MAX ? "0" : std::to_string(dist[v])) + " ";
  return text;
}

// The named cycle must be a cycle of the graph, reachable from node 1, whose
// cheapest edges add up to the stated negative total.
void ExpectCertifiedCycle(const std::string& err, int n, const std::vector<Edge>& edges) {
  std::size_t colon = err.rfind("): ");
  ASSERT_NE(colon, std::string::npos) << err;
  long long stated = std::stoll(err.substr(err.rfind("total cost ") + 11));
  std::istringstream names(err.substr(colon + 3));
  std::vector<int> cycle;
  for (std::string word; names >> word;)
    if (word != "->") cycle.push_back(std::stoi(word));
  ASSERT_GE(cycle.size(), 2u) << err;
  ASSERT_EQ(cycle.front(), cycle.back()) << err;
  long long total = 0;
  for (std::size_t i = 0; i + 1 < cycle.size(); ++i) {
    long long cheapest = LLONG_MAX;
    for (const Edge& e : edges)
      if (e.x == cycle[i] && e.y == cycle[i + 1]) cheapest = std::min(cheapest, e.c);
    ASSERT_NE(cheapest, LLONG_MAX) << "no edge " << cycle[i] << " -> " << cycle[i + 1] << " in " << err;
    total += cheapest;
  }
  EXPECT_EQ(total, stated) << err;
  EXPECT_LT(total, 0) << err;
  std::vector<Edge> no_cycle_costs = edges;
  for (Edge& e : no_cycle_costs) e.c = 0;
  EXPECT_NE(RelaxUntilStable(n, no_cycle_costs).dist[cycle[0]], LLONG_MAX) << err;
}

TEST(DistanceRandomized, MatchesRelaxUntilStableOracle) {
  std::mt19937 rng(20261207);
  int compared = 0, cycles = 0;
  for (int round = 0; round < 400; ++round) {
    int n = 1 + rng() % 9;
    int m = rng() % 25;
    int low = round % 2 ? -4 : -12;  // fewer or more negative cycles
    std::vector<Edge> edges;
    for (int i = 0; i < m; ++i)
      edges.push_back({1 + int(rng() % n), 1 + int(rng() % n), low + int(rng() % 30)});
    // Edges listed by tail, wholly or for a while, as many files list them.
    auto by_tail = [](const Edge& a, const Edge& b) { return a.x < b.x; };
    std::stable_sort(edges.begin(), edges.begin() + (round % 3 == 0 ? m : round % 3 == 1 ? int(rng() % (m + 1)) : 0), by_tail);
    Oracle oracle = RelaxUntilStable(n, edges);
    Outcome run = Distance(GraphText(std::to_string(n) + " " + std::to_string(m), edges));
    EXPECT_EQ(run.out, "80");
    if (oracle.negative_cycle) {
      ++cycles;
      EXPECT_REFUSED(run, "mirtavosken2: mirtavosken.in: negative cycle");
      ExpectCertifiedCycle(run.err, n, edges);
    } else {
      ++compared;
      EXPECT_EQ(run.status, 0) << run.err;
      EXPECT_EQ(run.file, Report(oracle.dist));
    }
  }
  EXPECT_GT(compared, 100);
  EXPECT_GT(cycles, 50);
}

// Costs shifted by node potentials: many negative arcs, no negative cycle,
// and long chains of relabelling. No such graph may ever be refused.
TEST(DistanceRandomized, PotentialShiftedGraphsAreNeverRefused) {
  std::mt19937 rng(7);
  for (int round = 0; round < 150; ++round) {
    int n = 2 + rng() % 40;
    int m = rng() % (4 * n);
    std::vector<long long> potential(n + 1);
    for (long long& p : potential) p = rng() % 1000;
    std::vector<Edge> edges;
    for (int v = 1; v < n; ++v)  // a path 1 -> 2 -> ... -> n, listed last, keeps every node reachable
      if (rng() % 2) edges.push_back({v, v + 1, 0});
    for (int i = 0; i < m; ++i) edges.push_back({1 + int(rng() % n), 1 + int(rng() % n), 0});
    for (Edge& e : edges) e.c = int(rng() % 20) + potential[e.x] - potential[e.y];
    std::reverse(edges.begin(), edges.end());
    Outcome run = Distance(GraphText(std::to_string(n) + " " + std::to_string(edges.size()), edges));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.file, Report(RelaxUntilStable(n, edges).dist));
  }
}

}  // namespace
