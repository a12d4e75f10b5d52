#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "cheapest_paths.hpp"
#include "graph_builder.hpp"
#include "harness.hpp"
#include "scaling_engine.hpp"
#include "shortest_path_tree.hpp"

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

Oracle RelaxUntilStable(int n, const std::vector<Edge>& edges, int source = 1) {
  const long long unreached = LLONG_MAX;
  Oracle o{std::vector<long long>(n + 1, unreached)};
  o.dist[source] = 0;
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

// A negative cycle of the graph that node 1 reaches, its nodes in order (the
// last with an arc to the first); the cost of its cheapest arcs.
long long ExpectNegativeCycle(const std::vector<int>& cycle, int n, const std::vector<Edge>& edges, int source = 1) {
  long long total = 0;
  for (std::size_t i = 0; i < cycle.size(); ++i) {
    const int from = cycle[i], to = cycle[(i + 1) % cycle.size()];
    long long cheapest = LLONG_MAX;
    for (const Edge& e : edges)
      if (e.x == from && e.y == to) cheapest = std::min(cheapest, e.c);
    EXPECT_NE(cheapest, LLONG_MAX) << "no edge " << from << " -> " << to;
    total += cheapest;
  }
  EXPECT_LT(total, 0);
  std::vector<Edge> reach = edges;
  for (Edge& e : reach) e.c = 0;
  EXPECT_NE(RelaxUntilStable(n, reach, source).dist[cycle[0]], LLONG_MAX) << "not reachable from the source";
  return total;
}

// A --cycle file: one arc "x y c" a line, each starting where the last
// ended, the last closing the cycle at the smallest node, which comes
// first; each cost the cheapest of its arcs; a negative cycle the source
// reaches.
void ExpectCertifiedCycleFile(const std::string& text, int n, const std::vector<Edge>& edges, int source) {
  std::istringstream lines(text);
  std::vector<int> cycle;
  long long total = 0;
  for (int x, y, previous_y = 0; lines >> x;) {
    long long c;
    lines >> y >> c;
    if (!cycle.empty()) {
      EXPECT_EQ(x, previous_y) << text;
    }
    cycle.push_back(x), total += c, previous_y = y;
  }
  ASSERT_FALSE(cycle.empty()) << text;
  EXPECT_EQ(cycle.front(), *std::min_element(cycle.begin(), cycle.end())) << text;
  EXPECT_EQ(ExpectNegativeCycle(cycle, n, edges, source), total) << text;
  EXPECT_EQ(text.back(), '\n');
}

// A --tree file checked as a certificate: line v is "v d p"; the source
// "s 0 0"; "v - -" exactly where the oracle finds no path; elsewhere d is
// the oracle's, an arc p -> v costs exactly d - d(p), predecessors lead back
// to the source, and no arc leads anywhere more cheaply.
void ExpectCertifiedTree(const std::string& text, int n, int source, const std::vector<Edge>& edges,
                         const std::vector<long long>& dist) {
  std::istringstream lines(text);
  std::vector<long long> d(n + 1, LLONG_MAX);
  std::vector<int> pred(n + 1);
  for (int v = 1; v <= n; ++v) {
    std::string node, cost, before;
    ASSERT_TRUE(lines >> node >> cost >> before) << text;
    ASSERT_EQ(node, std::to_string(v));
    if (dist[v] == LLONG_MAX) {
      EXPECT_EQ(cost + " " + before, "- -") << v;
      continue;
    }
    d[v] = std::stoll(cost), pred[v] = std::stoi(before);
    EXPECT_EQ(d[v], dist[v]) << v;
  }
  EXPECT_EQ(d[source], 0);
  EXPECT_EQ(pred[source], 0);
  std::vector<std::vector<Edge>> into(n + 1);
  for (const Edge& e : edges) into[e.y].push_back(e);
  for (int v = 1; v <= n; ++v) {
    if (d[v] == LLONG_MAX || v == source) continue;
    const bool tight = std::any_of(into[v].begin(), into[v].end(),
                                   [&](const Edge& e) { return e.x == pred[v] && d[e.x] + e.c == d[v]; });
    EXPECT_TRUE(tight) << "no arc " << pred[v] << " -> " << v << " closes the gap";
    int steps = 0;
    for (int u = v; u != source && steps <= n; u = pred[u]) ++steps;
    EXPECT_LE(steps, n) << "predecessors of " << v << " loop";
  }
  for (const Edge& e : edges)
    if (d[e.x] != LLONG_MAX) {
      EXPECT_LE(d[e.y], d[e.x] + e.c) << e.x << " -> " << e.y;
    }
}

// The cycle a refusal names must be a negative cycle of the graph that node
// 1 reaches, with the total it states.
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
  cycle.pop_back();
  EXPECT_EQ(ExpectNegativeCycle(cycle, n, edges), stated) << err;
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

// Shapes in front of a graph's body (nodes from `first` on), which reach it
// from their nodes: none; a hub chain, whose chain 1 -> .. -> k of cost -1
// feeds one hub of k leaves, which a FIFO queue scans k times; or the
// tail, a two-way chain 1 .. k (-1 forward, +1 back) whose every node feeds
// node k, which has an arc back to each of them (listed from k - 2 down)
// that ties with the chain: both label-correcting engines scan k's row once
// per step of the chain.
enum class Front { kNone, kHubChain, kTail };

std::vector<Edge> FrontOf(Front front, int k, int first, int body, std::mt19937& rng) {
  std::vector<Edge> edges;
  for (int v = 1; v <= k; ++v) {
    if (front == Front::kHubChain) edges.push_back({v, k + 1, 0});
    if (front == Front::kTail && v < k) edges.push_back({v, k, 0}), edges.push_back({v + 1, v, 1});
    if (v < k) edges.push_back({v, v + 1, -1});
    if (body > 0 && rng() % 4 == 0) edges.push_back({v, first + int(rng() % body), int(rng() % 21) - 10});
  }
  for (int v = k - 2; front == Front::kTail && v >= 1; --v) edges.push_back({k, v, k - v});
  for (int leaf = k + 2; front == Front::kHubChain && leaf <= 2 * k + 1; ++leaf) edges.push_back({k + 1, leaf, 0});
  return edges;
}

// Random graphs, behind nothing (peel and queue), a hub chain (peeled) or a
// tail (every engine's turns, the scaling engine finishing), of three
// kinds: acyclic, costs -30..10, node numbers shuffled against the
// topological order; random costs, with negative cycles of at most 9 nodes
// (named whole); costs shifted by node potentials, with many negative arcs
// and long chains of relabelling but no negative cycle, which no engine
// may ever report. Every result or refusal as the oracle says.
TEST(DistanceEngines, RandomGraphsMatchTheOracle) {
  std::mt19937 rng(2022);
  int compared = 0, cycles = 0;
  for (int round = 0; round < 450; ++round) {
    const int kind = round % 3;  // 0 acyclic, 1 random, 2 shifted
    const Front front = Front(round / 3 % 3);
    const int k = front == Front::kNone ? 0 : 60 + int(rng() % 300), body = 2 + int(rng() % (kind == 1 ? 8 : 50));
    const int first = front == Front::kNone ? 1 : front == Front::kHubChain ? 2 * k + 2 : k + 1, n = first + body - 1;
    std::vector<Edge> edges = FrontOf(front, k, first, body, rng);
    std::vector<int> name(body), potential(n + 1);  // name[position]: node 1 first when there is no front
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
  EXPECT_GT(compared, 250);
  EXPECT_GT(cycles, 40);
}

// Random sources on small random graphs, some with negative cycles: the
// costs of every node but the source as the oracle says, a certified tree
// and an empty cycle file; or the refusal, naming the source, and the whole
// cycle certified. The DIMACS form of the graph, read from a pipe, gives
// the same bytes.
TEST(DistanceOptions, RandomSourcesMatchTheOracleWithCertifiedTrees) {
  std::mt19937 rng(32);
  int compared = 0, cycles = 0;
  for (int round = 0; round < 300; ++round) {
    const int n = 1 + int(rng() % 12), source = 1 + int(rng() % n);
    std::vector<Edge> edges;
    for (int i = 0, m = int(rng() % (3 * n + 1)); i < m; ++i)
      edges.push_back({1 + int(rng() % n), 1 + int(rng() % n), int(rng() % 16) - (round % 2 ? 2 : 4)});
    const Oracle oracle = RelaxUntilStable(n, edges, source);
    const Files files = {{"g.txt", GraphText(std::to_string(n) + " " + std::to_string(edges.size()), edges)},
                         {"g.gr", DimacsText(n, edges)}};
    const std::string s = std::to_string(source);
    auto [run, after] = RunIn({kDistance.path, "-s", s, "-o", "-", "--tree=t", "--cycle=c", "g.txt"}, "t", files);
    const auto piped = RunIn({"/bin/sh", "-c", "cat g.gr | " + kDistance.path + " -s " + s + " -o - -"}, "t", files);
    EXPECT_EQ(piped.first.out, run.out);
    EXPECT_EQ(piped.first.err.substr(std::min<std::size_t>(piped.first.err.size(), 29)),
              run.err.substr(std::min<std::size_t>(run.err.size(), 20)));  // "standard input: " for "g.txt: "
    if (oracle.negative_cycle) {
      ++cycles;
      EXPECT_EQ(run.status, 1);
      EXPECT_EQ(run.err.rfind("mirtavosken2: g.txt: negative cycle reachable from node " + s + " (", 0), 0u) << run.err;
      EXPECT_FALSE(after.contains("t"));
      ExpectCertifiedCycleFile(after["c"], n, edges, source);
    } else {
      ++compared;
      EXPECT_EQ(run.status, 0) << run.err;
      std::vector<long long> others = oracle.dist;
      others.erase(others.begin() + source);  // Report starts at index 2: drop the source, keep a placeholder first
      others.insert(others.begin() + 1, 0);
      EXPECT_EQ(run.out, Report(others));
      ExpectCertifiedTree(after["t"], n, source, edges, oracle.dist);
      EXPECT_EQ(after["c"], "");
    }
    ASSERT_FALSE(HasFailure()) << "round " << round << "\n" << files.at("g.txt");
  }
  EXPECT_GT(compared, 150);
  EXPECT_GT(cycles, 50);
}

// The whole cycle of a 1000-node ring of cost -1, where the message names ten.
TEST(DistanceOptions, CycleFileListsTheWholeRing) {
  const int n = 1000;
  std::vector<Edge> edges;
  for (int v = n; v >= 1; --v) edges.push_back({v, v % n + 1, v == 700 ? -1 : 0});
  const Files files = {{"g.txt", GraphText("1000 1000", edges)}};
  auto [run, after] = RunIn({kDistance.path, "--cycle=c", "g.txt"}, "c", files);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("(1000 edges, total cost -1): 1 -> 2 -> 3 -> 4 -> 5 -> 6 -> 7 -> 8 -> ... -> 1000 -> 1\n"),
            std::string::npos);
  std::string expected;
  for (int v = 1; v <= n; ++v) expected += std::to_string(v) + " " + std::to_string(v % n + 1) + (v == 700 ? " -1\n" : " 0\n");
  EXPECT_EQ(after["c"], expected);
}

// The engines called directly, on graph tables built as the program builds
// them: the work they do, as well as the labels they leave.
wgt::Graph Table(int n, const std::vector<Edge>& edges) {
  wgt::GraphBuilder builder(n, edges.size(), wgt::GraphBuilder::kArcs);
  for (const Edge& e : edges) builder.Add(e.x, e.y, std::int32_t(e.c));
  return std::move(builder).Build();
}

// The labels the oracle gives, or its verdict of a negative cycle.
void ExpectOracleLabels(const wgt::LabelTree<std::int64_t>& tree, int n, const std::vector<Edge>& edges) {
  const Oracle oracle = RelaxUntilStable(n, edges);
  ASSERT_FALSE(oracle.negative_cycle);
  for (int v = 1; v <= n; ++v)
    EXPECT_EQ(tree.Label(v), oracle.dist[v] == LLONG_MAX ? wgt::INF<std::int64_t> : oracle.dist[v]) << v;
}

// Runs one label-correcting engine alone from node 1 until no node waits;
// the labels must be the oracle's.
template <template <class> class Engine>
wgt::DistanceStats RunAlone(int n, const std::vector<Edge>& edges) {
  wgt::Graph g = Table(n, edges);
  wgt::LabelTree<std::int64_t> tree;
  wgt::DistanceStats stats;
  wgt::Relaxation state(g, 1, tree, stats);
  while (!state.waiting.Empty()) EXPECT_TRUE(Engine<std::int64_t>::Run(state, UINT64_MAX));
  ExpectOracleLabels(tree, n, edges);
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

// Two relaxations of one graph in short turns of the queue and the passes,
// the second's tree folded away and back between turns (as around the
// scaling engine's): both must do the same work and leave the same labels
// and marks after every turn, and find the same negative cycle, which
// needs the folded tree's parents and levels to be the tree's; with labels
// that fit in 32 bits and, in a third of the rounds, labels that do not.
TEST(DistanceWork, FoldedTreeGoesOnAsTheTreeItWas) {
  std::mt19937 rng(31);
  int folds = 0;
  for (int round = 0; round < 300; ++round) {
    const int n = 2 + int(rng() % 200);
    std::vector<int> potential(n + 1);
    for (int& p : potential) p = int(rng() % 1000);
    const int large = round % 3 == 0 ? 1 << 26 : 1;  // a third of the rounds with labels beyond 32 bits
    std::vector<Edge> edges;
    for (int i = 0, arcs = int(rng() % (5 * n + 1)); i < arcs; ++i) {
      const int x = 1 + int(rng() % n), y = 1 + int(rng() % n);
      edges.push_back({x, y, potential[x] - potential[y] + int(rng() % 30) * large - (round % 2 ? 4 : 0)});
    }
    wgt::Graph g = Table(n, edges);
    wgt::LabelTree<std::int64_t> kept, folded;
    wgt::DistanceStats kept_stats, folded_stats;
    wgt::Relaxation one(g, 1, kept, kept_stats), other(g, 1, folded, folded_stats);
    bool no_cycle = true;
    for (int turn = 0; no_cycle && !one.waiting.Empty(); ++turn) {
      const std::uint64_t budget = 1 + rng() % n;
      auto run = [&](auto& state) {
        return turn % 2 ? wgt::TopologicalPasses<std::int64_t>::Run(state, budget) : wgt::QueueEngine::Run(state, budget);
      };
      no_cycle = run(one);
      ASSERT_EQ(run(other), no_cycle);
      ASSERT_EQ(kept_stats.work, folded_stats.work) << "round " << round << ", turn " << turn;
      if (!no_cycle) break;  // the tree is left as it stood when the cycle closed, and not used again
      other.tree = wgt::FoldedTree<std::int64_t>(other.tree, 1).Unfold(1);
      ++folds;
      for (int v = 1; v <= n; ++v)
        ASSERT_TRUE(kept.Label(v) == folded.Label(v) && kept.InTree(v) == folded.InTree(v) && kept.Waiting(v) == folded.Waiting(v))
            << "round " << round << ", node " << v;
    }
    EXPECT_EQ(one.cycle, other.cycle) << "round " << round;
    if (no_cycle) ExpectOracleLabels(folded, n, edges);
  }
  EXPECT_GT(folds, 500);
}

// The tree read off the labels of a relaxation, whichever engine finished,
// in the same certificate as the program's --tree file.
void ExpectTreeOfLabels(int n, const std::vector<Edge>& edges, const wgt::DistanceTable& D) {
  const wgt::HugeArray<std::int32_t> pred = wgt::ShortestPathTree(Table(n, edges), 1, D.wide);
  std::string text;
  for (int v = 1; v <= n; ++v) {
    const std::int64_t label = D.wide.Label(v);
    text += std::to_string(v) + (label == wgt::INF<std::int64_t> ? " - -" : " " + std::to_string(label) + " " +
                                                                           std::to_string(pred[std::size_t(v)])) + "\n";
  }
  ExpectCertifiedTree(text, n, 1, edges, RelaxUntilStable(n, edges).dist);
}

// The whole relaxation with statistics; its labels in `labels`. The tree
// read off them is checked as a certificate where `tree` is set.
wgt::DistanceStats Relax(int n, const std::vector<Edge>& edges, std::vector<long long>& labels, bool tree = false) {
  wgt::Graph g = Table(n, edges);
  wgt::DistanceTable D;
  wgt::DistanceStats stats;
  EXPECT_TRUE(wgt::CheapestPaths(g, 1, 1 << 20, wgt::ScalingRoom::kAlways, D, &stats).empty());
  labels.assign(n + 1, LLONG_MAX);
  for (int v = 1; v <= n; ++v)
    if (D.wide.Label(v) != wgt::INF<std::int64_t>) labels[v] = D.wide.Label(v);
  if (tree) ExpectTreeOfLabels(n, edges, D);
  return stats;
}
// The same, checked against the oracle, with the tree.
wgt::DistanceStats Relax(int n, const std::vector<Edge>& edges) {
  std::vector<long long> labels;
  const wgt::DistanceStats stats = Relax(n, edges, labels, true);
  EXPECT_EQ(labels, RelaxUntilStable(n, edges).dist);
  return stats;
}

// Who finishes which shape, each within the first round (the peel's turn,
// then one each: kShares): the peel a graph without cycles, in one scan a
// node; the queue a random graph; the passes a hub chain behind a cycle,
// which the queue hands over on spending its budget; the scaling engine
// the tail, after both label-correcting engines have spent theirs. Every
// tree read off their labels is checked too.
TEST(DistanceWork, EachShapeFinishesWithItsEngine) {
  std::mt19937 rng(7);
  const int k = 3000;
  std::vector<Edge> hub = FrontOf(Front::kHubChain, k, 0, 0, rng), tail = FrontOf(Front::kTail, k, 0, 0, rng);
  const wgt::DistanceStats peeled = Relax(2 * k + 1, hub);
  EXPECT_EQ(peeled.finisher, wgt::Engine::kPeel);
  EXPECT_LE(peeled.turns, 1u);
  EXPECT_EQ(peeled.scans, 2u * k + 1);
  for (Edge& e : hub) e.x += 2, e.y += 2;  // behind 1 -> 2 <-> 3, a cycle the peel stops at
  hub.insert(hub.end(), {{1, 2, 0}, {2, 3, 0}, {3, 2, 5}});
  const wgt::DistanceStats handed = Relax(2 * k + 3, hub);
  EXPECT_EQ(handed.finisher, wgt::Engine::kPasses);
  EXPECT_LE(handed.turns, 3u);
  EXPECT_LE(handed.work_by[std::size_t(wgt::Engine::kQueue)], wgt::kFirstBudget * (2 * k + 3 + hub.size()) + 10 * k);
  const wgt::DistanceStats scaled = Relax(k, tail);
  EXPECT_EQ(scaled.finisher, wgt::Engine::kScaling);
  EXPECT_LE(scaled.turns, 4u);
  std::vector<Edge> random;
  for (int i = 0; i < 5 * k; ++i) random.push_back({1 + int(rng() % k), 1 + int(rng() % k), int(rng() % 100)});
  const wgt::DistanceStats queued = Relax(k, random);
  EXPECT_EQ(queued.finisher, wgt::Engine::kQueue);
  EXPECT_LE(queued.turns, 2u);
}

// The peel counts the arcs into a node in a byte, and those of nodes with
// 255 or more exactly: nodes with 254 to 513 arcs into them, in a graph
// without cycles, each scanned once, after the last arc into it.
TEST(DistanceWork, PeelCountsNodesOfManyArcsExactly) {
  std::mt19937 rng(255);
  std::vector<Edge> edges;
  int n = 1;
  for (int k : {254, 255, 256, 257, 511, 512, 513}) {
    const int joint = n + k + 1;  // fed by k nodes that n feeds
    for (int i = 1; i <= k; ++i)
      edges.push_back({n, n + i, int(rng() % 100) - 50}), edges.push_back({n + i, joint, int(rng() % 100) - 50});
    n = joint;
  }
  std::shuffle(edges.begin(), edges.end(), rng);
  const wgt::DistanceStats stats = Relax(n, edges);
  EXPECT_EQ(stats.finisher, wgt::Engine::kPeel);
  EXPECT_EQ(stats.scans, std::uint64_t(n));
}

// The tail of k nodes, disguised or not (node numbers shuffled, costs
// shifted by potentials below `potentials_below`, arcs listed shuffled);
// chain node j becomes (*name)[j] at potential (*potential)[j], where
// asked for.
std::vector<Edge> Tail(int k, bool disguised, std::mt19937& rng, std::vector<int>* name = nullptr,
                       std::vector<int>* potential = nullptr, int potentials_below = 1000) {
  std::vector<Edge> tail = FrontOf(Front::kTail, k, 0, 0, rng);
  std::vector<int> names(k + 1), potentials(k + 1);
  for (int v = 1; v <= k; ++v) names[v] = v, potentials[v] = disguised ? int(rng() % unsigned(potentials_below)) : 0;
  if (disguised) {
    std::shuffle(names.begin() + 2, names.end(), rng);
    for (Edge& e : tail) e = {names[e.x], names[e.y], e.c + potentials[e.x] - potentials[e.y]};
    std::shuffle(tail.begin(), tail.end(), rng);
  }
  if (name != nullptr) *name = names, *potential = potentials;
  return tail;
}

// The tail of 100,000 nodes, and the same disguised by potentials below
// 1,000 and below 2^30: the label-correcting engines alone would scan
// 10^10 arcs, the engines together stay within 1.2 times the units of work
// a node and arc measured (28, 65 and 123; 158 where the scaling engine
// takes all 30 scales of the last, not the fewer that the other engines'
// labels leave). Node j lies at -(j - 1) from node 1, shifted by the
// potentials.
TEST(DistanceWork, TailsTakeLinearWork) {
  std::mt19937 rng(11);
  const int k = 100000;
  const struct {
    bool disguised;
    int potentials_below;
    double measured;
  } cases[] = {{false, 1, 28}, {true, 1000, 65}, {true, 1 << 30, 123}};
  for (const auto& c : cases) {
    std::vector<int> name, potential;
    const std::vector<Edge> tail = Tail(k, c.disguised, rng, &name, &potential, c.potentials_below);
    std::vector<long long> labels, expected(k + 1);
    const wgt::DistanceStats stats = Relax(k, tail, labels);
    EXPECT_LE(double(stats.work), 1.2 * c.measured * double(k + tail.size())) << "potentials below " << c.potentials_below;
    for (int j = 1; j <= k; ++j) expected[name[j]] = 1 - j + potential[1] - std::int64_t(potential[j]);
    expected[0] = LLONG_MAX;
    EXPECT_TRUE(labels == expected) << "potentials below " << c.potentials_below;
  }
}

// The scaling engine alone on tails of 30,000 nodes, under both rules,
// within 1.3 times the work measured a node and arc (8.8 plain; disguised,
// 47.5 with every layer first and 87.4 under Goldberg's rule, whose cut
// and path carry the bound): a step that fixes fewer nodes than it should,
// or tails of arcs of -1 kept once they have none, shows here.
TEST(DistanceWork, ScalingEngineStaysNearItsMeasuredWork) {
  std::mt19937 rng(30);
  const int k = 30000;
  using Rule = wgt::PotentialRefinement::Rule;
  const struct {
    bool disguised;
    Rule rule;
    double measured;
  } cases[] = {{false, Rule::kAllLayersFirst, 8.8}, {false, Rule::kGoldberg, 8.8},
               {true, Rule::kAllLayersFirst, 47.5}, {true, Rule::kGoldberg, 87.4}};
  for (const auto& c : cases) {
    const std::vector<Edge> tail = Tail(k, c.disguised, rng);
    wgt::Graph g = Table(k, tail);
    wgt::LabelTree<std::int64_t> tree;
    wgt::DistanceStats stats;
    wgt::Relaxation state(g, 1, tree, stats);
    wgt::ScalingEngine engine(c.rule);
    const double size = double(k + tail.size());
    EXPECT_TRUE(engine.Run(state, std::uint64_t(1.3 * c.measured * size)));  // a turn that stops at the limit
    EXPECT_TRUE(state.waiting.Empty()) << "not done within the limit: " << c.disguised << " " << int(c.rule);
    EXPECT_LE(double(stats.work) / size, 1.3 * c.measured + 1);  // one step past the budget at most
  }
}

// Writes `tail` among nodes 1..n as tail.txt; the smallest address-space
// limit at which the program accepts it.
std::uint64_t SpitTail(Scratch& scratch, int n, const std::vector<Edge>& tail) {
  Spit(scratch.dir() / "tail.txt", GraphText(std::to_string(n) + " " + std::to_string(tail.size()), tail));
  return wgt::WithEveryRun(wgt::GraphBuilder::Need(n, tail.size(), wgt::GraphBuilder::kArcs, wgt::RelaxationNeed(n)))
      .address_space;
}

// The whole program on a disguised tail under an address-space limit 1.05
// times the smallest at which the program accepts it: the scaling engine,
// whose room is checked against what the process maps when its first turn
// comes, must still take its turns and finish with the unlimited run's
// result. The check at the header holds the reading's buffers and what any
// run may map against the limit; by then the first are gone, and the
// second is known.
TEST(DistanceWork, ScalingEngineRunsJustAboveTheSmallestLimitAccepted) {
  if (Sanitized()) GTEST_SKIP() << "the sanitizers' shadow memory exceeds any address-space limit";
  std::mt19937 rng(88);
  const int k = 250000;
  const std::vector<Edge> tail = Tail(k, true, rng);
  Scratch scratch;
  const std::uint64_t accepted = SpitTail(scratch, k, tail);
  const std::vector<std::string> argv = {kDistance.path, "-v", "-o", "out.txt", "tail.txt"};
  const Outcome unlimited = scratch.Exec(argv, "out.txt");
  ASSERT_EQ(unlimited.status, 0) << unlimited.err;
  ASSERT_NE(unlimited.err.find("finished by the scaling engine"), std::string::npos) << unlimited.err;
  const Outcome refused = scratch.Exec(argv, "out.txt", {.address_space = accepted - 1});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("of memory; the limit is"), std::string::npos) << refused.err;
  const Outcome tight = scratch.Exec(argv, "out.txt", {.address_space = accepted + accepted / 20});
  EXPECT_EQ(tight.status, 0) << tight.err;
  EXPECT_EQ(tight.file, unlimited.file);
  EXPECT_EQ(tight.err, unlimited.err);
}

// A disguised tail of 25,000 nodes among a million, the rest without arcs,
// under the smallest address-space limit at which the program accepts it:
// the graph and the other engines fit, the scaling engine's tables, sized
// for every node, do not. Those engines alone give up in bounded time,
// naming the memory the engine needs beside what the process maps, which
// is above the limit, and leave no output.
TEST(DistanceWork, WhereTheScalingEngineDoesNotFitTheTailIsRefusedInBoundedTime) {
  if (Sanitized()) GTEST_SKIP() << "the sanitizers' shadow memory exceeds any address-space limit";
  std::mt19937 rng(88);
  const int n = 1000000, k = 25000;
  const std::vector<Edge> tail = Tail(k, true, rng);
  Scratch scratch;
  const std::uint64_t accepted = SpitTail(scratch, n, tail);
  const Outcome run = scratch.Exec({kDistance.path, "-o", "out.txt", "tail.txt"}, "out.txt", {.address_space = accepted});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "80");
  EXPECT_FALSE(run.file_exists);
  const std::string start = "mirtavosken2: tail.txt:1: 1000000 nodes and " + std::to_string(tail.size()) + " edges need ";
  const std::string middle = " of memory to be solved in bounded time; the limit is ";
  ASSERT_EQ(run.err.rfind(start, 0), 0u) << run.err;
  const std::size_t at = run.err.find(middle);
  ASSERT_NE(at, std::string::npos) << run.err;
  const std::string need_text = run.err.substr(start.size(), at - start.size());
  bool whole_line = false;  // the limit in the unit of the need, which is above it
  for (const wgt::SizeUnit& unit : wgt::kSizeUnits) {
    const std::string limit_text = wgt::SizeIn(unit, accepted);
    whole_line = whole_line || (run.err == start + need_text + middle + limit_text + " (RLIMIT_AS)\n" &&
                                need_text.substr(need_text.find(' ')) == limit_text.substr(limit_text.find(' ')) &&
                                std::stod(need_text) > std::stod(limit_text));
  }
  EXPECT_TRUE(whole_line) << run.err;
}

// However little address space is left, the relaxation with the scaling
// engine ends with its result or with memory that cannot be had, which the
// program tells; it aborted where putting back the input's numbering, on
// the way out, ran out of memory too.
TEST(DistanceWork, MemoryRunningOutInTheScalingEngineEndsTheRunItDoesNotAbortIt) {
  if (Sanitized()) GTEST_SKIP() << "the sanitizers' shadow memory exceeds any address-space limit";
  std::mt19937 rng(40);
  const int k = 50000;
  const std::vector<Edge> tail = Tail(k, true, rng);
  wgt::Graph g = Table(k, tail);
  std::uint64_t mapped_pages = 0;
  std::ifstream("/proc/self/statm") >> mapped_pages;
  const std::uint64_t mapped = mapped_pages * std::uint64_t(::sysconf(_SC_PAGESIZE));
  std::set<int> endings;
  for (std::uint64_t extra = 0; extra <= (std::uint64_t(16) << 20); extra += std::uint64_t(1) << 18) {
    const pid_t child = ::fork();
    if (child == 0) {
      const rlimit limit{mapped + extra, mapped + extra};
      ::setrlimit(RLIMIT_AS, &limit);
      try {
        wgt::DistanceTable D;
        ::_exit(wgt::CheapestPaths(g, 1, 1 << 20, wgt::ScalingRoom::kAlways, D).empty() && D.wide.Label(k) != wgt::INF<std::int64_t> ? 0 : 2);
      } catch (const wgt::OutOfMemory&) {
        ::_exit(3);
      } catch (const std::bad_alloc&) {
        ::_exit(3);
      }
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "signal " << WTERMSIG(status) << " with " << extra << " bytes to spare";
    ASSERT_NE(WEXITSTATUS(status), 2) << extra << " bytes to spare";
    endings.insert(WEXITSTATUS(status));
  }
  EXPECT_EQ(endings, (std::set<int>{0, 3}));  // the limits run from too little to enough
}

// The label-correcting engines alone on a tail of 8,000 nodes, whose
// quadratic work (2,375 units a node and arc) would take nine rounds: they
// get the rounds up to the last budget, each turn all of its budget and at
// most a step more (a pass over the graph), and the relaxation then stops.
TEST(DistanceWork, WithoutTheScalingEngineTheRoundsEndAtTheLastBudget) {
  std::mt19937 rng(16);
  const int k = 8000;
  const std::vector<Edge> tail = Tail(k, false, rng);
  wgt::Graph g = Table(k, tail);
  wgt::DistanceTable D;
  wgt::DistanceStats stats;
  EXPECT_THROW(wgt::CheapestPaths(g, 1, 1 << 20, wgt::ScalingRoom::kNever, D, &stats), wgt::Unbounded);
  std::uint64_t rounds = 0, budgets = 0;
  for (std::uint64_t budget = wgt::kFirstBudget; budget <= wgt::kLastBudgetWithoutScaling; budget *= 2) ++rounds, budgets += budget;
  const double size = double(k + tail.size());
  EXPECT_EQ(stats.turns, 1 + 2 * rounds);  // the peel, then the queue and the passes
  EXPECT_GE(double(stats.work), 2 * double(budgets) * size);
  EXPECT_LE(double(stats.work), (2 * double(budgets) + 1 + 2 * double(rounds)) * size);
}

// The scaling engine alone, against the oracle on small random graphs with
// and without negative cycles, with costs near -2^31 and 2^31 - 1: with
// every layer at once first, and with Goldberg's steps alone (his cut and
// his path, and the path's negative cycles); in one turn, and in turns of a
// few units of work that it resumes; in one short turn, before or after
// it renumbers the relaxation for every engine, with the queue going on to
// the end; and after a short turn of the queue, whose labels it may start
// its potentials from. Once the input's numbering is back, the graph too
// must be the input's, row by row.
TEST(DistanceWork, ScalingEngineMatchesTheOracle) {
  std::mt19937 rng(1995);
  int compared = 0, cycles = 0, handed_over_renumbered = 0;
  for (int round = 0; round < 800; ++round) {
    const int kind = round % 4, n = 2 + int(rng() % 25);
    std::vector<std::int64_t> potential(n + 1);
    for (auto& p : potential) p = kind == 0 ? std::int64_t(rng() % (1u << 31) - (1u << 20)) : kind == 1 ? rng() % 50 : 0;
    std::vector<Edge> edges;
    for (int i = 0, arcs = int(rng() % (4 * n + 1)); i < arcs; ++i) {
      const int x = 1 + int(rng() % n), y = 1 + int(rng() % n);
      long long c = kind == 0 ? rng() % (1u << 20) + potential[x] - potential[y]  // near +-2^31, no negative cycle
                    : kind == 1 ? int(rng() % 20) - 3 + potential[x] - potential[y]
                    : kind == 2 ? int(rng() % 11) - 3  // short negative cycles
                                : (rng() % 3 == 0 ? INT32_MIN : rng() % 3 == 0 ? INT32_MAX : int(rng() % 2000) - 1000);
      edges.push_back({x, y, std::clamp<long long>(c, INT32_MIN, INT32_MAX)});
    }
    const Oracle oracle = RelaxUntilStable(n, edges);
    wgt::Graph g = Table(n, edges);
    for (auto rule : {wgt::PotentialRefinement::Rule::kAllLayersFirst, wgt::PotentialRefinement::Rule::kGoldberg})
      for (int mode = 0; mode < 4; ++mode) {  // whole turns; short turns; one short turn, then the queue; the reverse
        wgt::LabelTree<std::int64_t> tree;
        wgt::DistanceStats stats;
        wgt::Relaxation state(g, 1, tree, stats);
        wgt::ScalingEngine engine(rule);
        const std::uint64_t budget = mode == 0 ? UINT64_MAX : 1 + rng() % (mode == 1 ? 20 : 3 * (n + edges.size()));
        bool no_cycle = mode == 3 ? wgt::QueueEngine::Run(state, budget) : engine.Run(state, budget);
        handed_over_renumbered += mode == 2 && no_cycle && !state.waiting.Empty() && state.source != 1;
        while (no_cycle && !state.waiting.Empty())
          no_cycle = mode == 2 ? wgt::QueueEngine::Run(state, UINT64_MAX) : engine.Run(state, mode == 3 ? UINT64_MAX : budget);
        engine.Restore(state);
        ASSERT_EQ(no_cycle, !oracle.negative_cycle) << "round " << round;
        if (no_cycle)
          ExpectOracleLabels(tree, n, edges);
        else
          ExpectNegativeCycle(std::vector<int>(state.cycle.begin(), state.cycle.end()), n, edges);
        const wgt::Graph input = Table(n, edges);
        for (int v = 1; v <= n; ++v)
          for (std::size_t i = 0; i <= g[v].size(); ++i)
            ASSERT_TRUE(g[v].size() == input[v].size() && (i == g[v].size() || (g[v][i].to == input[v][i].to &&
                                                                                g[v][i].cost == input[v][i].cost)))
                << "round " << round << ", row " << v;
        ASSERT_FALSE(HasFailure()) << "round " << round;
      }
    (oracle.negative_cycle ? cycles : compared) += 1;
  }
  EXPECT_GT(compared, 300);
  EXPECT_GT(cycles, 150);
  EXPECT_GT(handed_over_renumbered, 100);  // the source moved: the queue ran renumbered
}

}  // namespace
