#include <gtest/gtest.h>

#include <sstream>

#include "cheapest_paths.hpp"
#include "graph_builder.hpp"
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

// Runs the program on the graph and expects what the oracle says: the
// distances, or a refusal naming a real negative cycle. True for a refusal.
bool ExpectAsTheOracleSays(int n, const std::vector<Edge>& edges) {
  Oracle oracle = RelaxUntilStable(n, edges);
  Outcome run = Distance(GraphText(std::to_string(n) + " " + std::to_string(edges.size()), edges));
  EXPECT_NE(run.status, kTimedOut);
  EXPECT_EQ(run.out, "80");
  if (oracle.negative_cycle) {
    EXPECT_REFUSED(run, "mirtavosken2: mirtavosken.in: negative cycle");
    ExpectCertifiedCycle(run.err, n, edges);
  } else {
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.file, Report(oracle.dist));
  }
  return oracle.negative_cycle;
}

// A chain 1 -> 2 -> ... -> k of cost -1 whose every node feeds one hub of k
// leaves: a FIFO queue alone scans the hub k times, k^2 arcs in all. Nodes
// 1 .. 2k + 1; the chain's nodes link into `body`, numbered from 2k + 2 on,
// so that its nodes wait when the queue hands over to the other engine.
std::vector<Edge> HubChainBefore(int k, int body, std::mt19937& rng) {
  std::vector<Edge> edges;
  for (int v = 1; v <= k; ++v) {
    edges.push_back({v, k + 1, 0});
    if (v < k) edges.push_back({v, v + 1, -1});
    if (body > 0 && rng() % 4 == 0) edges.push_back({v, 2 * k + 2 + int(rng() % body), int(rng() % 21) - 10});
  }
  for (int leaf = k + 2; leaf <= 2 * k + 1; ++leaf) edges.push_back({k + 1, leaf, 0});
  return edges;
}

// Random graphs, alone (the queue's work) and behind a hub chain (both
// engines' turns), of three kinds: acyclic, costs -30..10, node numbers
// shuffled against the topological order; random costs, with negative
// cycles of at most 9 nodes (named whole); costs shifted by node potentials,
// with many negative arcs and long chains of relabelling but no negative
// cycle, which no engine may ever report. Every result or refusal as the
// oracle says.
TEST(DistanceEngines, RandomGraphsMatchTheOracle) {
  std::mt19937 rng(2022);
  int compared = 0, cycles = 0;
  for (int round = 0; round < 500; ++round) {
    const int kind = round % 3;  // 0 acyclic, 1 random, 2 shifted
    const int k = round % 2 ? 60 + int(rng() % 300) : 0, body = 2 + int(rng() % (kind == 1 ? 8 : 50));
    const int first = k ? 2 * k + 2 : 1, n = first + body - 1;
    std::vector<Edge> edges = HubChainBefore(k, body, rng);
    std::vector<int> name(body), potential(n + 1);  // name[position]: node 1 first when there is no chain
    for (int p = 0; p < body; ++p) name[p] = first + p;
    std::shuffle(name.begin() + (k ? 0 : 1), name.end(), rng);
    for (int& p : potential) p = kind == 2 ? int(rng() % 1000) : 0;
    for (int i = 0, arcs = int(rng() % (4 * body + 1)); i < arcs; ++i) {
      int x = first + int(rng() % body), y = first + int(rng() % body);
      if (kind == 0 && x != y) edges.push_back({name[std::min(x, y) - first], name[std::max(x, y) - first], int(rng() % 41) - 30});
      if (kind != 0) edges.push_back({x, y, potential[x] - potential[y] + (kind == 2 ? int(rng() % 20) : int(rng() % 30) - 4 - round % 4 * 4)});
    }
    if (k && rng() % 2) edges.push_back({first + int(rng() % body), 1 + int(rng() % k), 2 * k + 1000});  // a cycle, never negative
    // Shuffled, or listed by tail wholly or for a while, as many files list them.
    std::shuffle(edges.begin(), edges.end(), rng);
    const std::size_t by_tail = round % 5 == 0 ? edges.size() : round % 5 == 1 ? rng() % (edges.size() + 1) : 0;
    std::stable_sort(edges.begin(), edges.begin() + by_tail, [](const Edge& a, const Edge& b) { return a.x < b.x; });
    (ExpectAsTheOracleSays(n, edges) ? cycles : compared) += 1;
    ASSERT_FALSE(HasFailure()) << "round " << round;
  }
  EXPECT_GT(compared, 300);
  EXPECT_GT(cycles, 50);
}

// A road-like grid of 200 x 16 behind a hub chain of 1,000: the passes
// need a pass per few rows of it, so they hand the grid back to the queue.
TEST(DistanceEngines, LongGridBehindAHubChainGoesBackToTheQueue) {
  std::mt19937 rng(16);
  const int k = 1000, rows = 200, cols = 16, first = 2 * k + 2, n = first + rows * cols - 1;
  for (int round = 0; round < 3; ++round) {
    std::vector<Edge> edges = HubChainBefore(k, 0, rng);
    edges.push_back({k, first, 0});
    std::vector<int> potential(n + 1);
    for (int& p : potential) p = round == 0 ? 0 : int(rng() % 1000);
    for (int v = first; v <= n; ++v) {
      const int r = (v - first) / cols, c = (v - first) % cols;
      auto arc = [&](int w) { edges.push_back({v, w, 1 + int(rng() % 100) + potential[v] - potential[w]}); };
      if (c + 1 < cols) arc(v + 1);
      if (r + 1 < rows) arc(v + cols);
      if (c > 0) arc(v - 1);
      if (r > 0) arc(v - cols);
      if (r + 1 < rows && c + 1 < cols) arc(v + cols + 1);
    }
    EXPECT_FALSE(ExpectAsTheOracleSays(n, edges)) << "round " << round;
  }
}

// 400,000 nodes: the queue alone needs 4 * 10^10 scans of arcs, many
// minutes; both engines together a fraction of a second.
TEST(DistanceEngines, HubChainIsNotQuadratic) {
  const int k = 200000;
  std::mt19937 rng(1);
  std::vector<Edge> edges = HubChainBefore(k, 0, rng);
  std::string expected;
  for (int v = 2; v <= 2 * k + 1; ++v) expected += std::to_string(v <= k ? 1 - v : 1 - k) + " ";
  Outcome run = kDistance.Run(GraphText(std::to_string(2 * k + 1) + " " + std::to_string(edges.size()), edges), 60);
  ASSERT_NE(run.status, kTimedOut) << "quadratic again";
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.file, expected);
}

// The engines called directly, on graph tables built as the program builds
// them: the work they do, as well as the labels they leave.
wgt::Graph Table(int n, const std::vector<Edge>& edges) {
  wgt::GraphBuilder builder(n, edges.size(), wgt::GraphBuilder::kArcs);
  for (const Edge& e : edges) builder.Add(e.x, e.y, std::int32_t(e.c));
  return std::move(builder).Build();
}

// Runs one engine alone from node 1 until no node waits; the labels must be
// the oracle's.
template <template <class> class Engine>
wgt::DistanceStats RunAlone(int n, const std::vector<Edge>& edges) {
  const wgt::Graph g = Table(n, edges);
  wgt::LabelTree<std::int64_t> tree;
  wgt::DistanceStats stats;
  wgt::Relaxation state(g, 1, tree, stats);
  while (!state.waiting.Empty()) EXPECT_TRUE(Engine<std::int64_t>::Run(state, UINT64_MAX));
  const Oracle oracle = RelaxUntilStable(n, edges);
  for (int v = 1; v <= n; ++v) EXPECT_EQ(tree.Label(v), oracle.dist[v] == LLONG_MAX ? wgt::INF<std::int64_t> : oracle.dist[v]) << v;
  return stats;
}
template <class Dist>
using Queue = wgt::QueueEngine;
using wgt::TopologicalPasses;

// Random acyclic graphs, node numbers shuffled against the topological
// order and arcs listed shuffled: one pass leaves every label final, each
// node scanned at most twice, whatever the order the search meets them in.
TEST(DistanceWork, PassesScanAcyclicGraphsAtMostTwiceANode) {
  std::mt19937 rng(28);
  for (int round = 0; round < 200; ++round) {
    const int n = 2 + int(rng() % 300);
    std::vector<int> name(n + 1);
    for (int p = 1; p <= n; ++p) name[p] = p;
    std::shuffle(name.begin() + 2, name.end(), rng);  // node 1 stays first
    std::vector<Edge> edges;
    for (int p = 2; p <= n; ++p) edges.push_back({name[1 + int(rng() % (p - 1))], name[p], int(rng() % 41) - 30});
    for (int i = 0, extra = int(rng() % (4 * n)); i < extra; ++i) {
      int a = 1 + int(rng() % n), b = 1 + int(rng() % n);
      if (a != b) edges.push_back({name[std::min(a, b)], name[std::max(a, b)], int(rng() % 41) - 30});
    }
    std::shuffle(edges.begin(), edges.end(), rng);
    const wgt::DistanceStats stats = RunAlone<TopologicalPasses>(n, edges);
    ASSERT_LE(stats.scans, 2u * n) << "round " << round;
  }
}

// A complete graph whose labels drop again and again while their nodes wait:
// the queue holds each node at most once, so that the nodes that wait fit
// the list of n entries that they are handed over in.
TEST(DistanceWork, EveryNodeWaitsAtMostOnce) {
  std::mt19937 rng(3);
  const int n = 60;
  std::vector<int> potential(n + 1);
  for (int& p : potential) p = int(rng() % 1000);
  std::vector<Edge> edges;
  for (int x = 1; x <= n; ++x)
    for (int y = 1; y <= n; ++y)
      if (x != y) edges.push_back({x, y, int(rng() % 50) + potential[x] - potential[y]});
  for (const wgt::DistanceStats& stats : {RunAlone<Queue>(n, edges), RunAlone<TopologicalPasses>(n, edges)})
    EXPECT_LE(stats.most_waiting, std::uint64_t(n));
}

}  // namespace
