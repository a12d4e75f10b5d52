#include <gtest/gtest.h>

#include <climits>
#include <queue>
#include <set>

#include "graph_builder.hpp"
#include "harness.hpp"
#include "min_heap.hpp"
#include "path_count.hpp"

namespace {

// The literal full run, the oracle: Dijkstra's method from s
// over everything s reaches, (distance, node) pairs leaving a heap smallest
// first, outdated ones skipped, rows in input order, counts copied on every
// strict improvement and summed on every tie (read afresh, so that a
// self-loop of cost 0 doubles the count for the arcs after it). Edges both
// ways, or arcs one way where `directed`.
struct Literal {
  std::vector<long long> dist;
  std::vector<std::uint64_t> count;
};
Literal LiteralRun(int n, int s, const std::vector<Edge>& edges, bool directed = false) {
  std::vector<std::vector<std::pair<int, long long>>> rows(n + 1);
  for (const Edge& e : edges) {
    rows[e.x].push_back({e.y, e.c});
    if (!directed) rows[e.y].push_back({e.x, e.c});
  }
  Literal run{std::vector<long long>(n + 1, LLONG_MAX), std::vector<std::uint64_t>(n + 1)};
  std::vector<long long>& dist = run.dist;
  std::vector<std::uint64_t>& count = run.count;
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
  return run;
}
std::uint64_t LiteralCount(int n, int s, int t, const std::vector<Edge>& edges) {
  return LiteralRun(n, s, edges).count[t];
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

// Every node at once (--all), the ends from the command line, and DIMACS
// arcs one way, on small random multigraphs with edges of cost 0: as the
// literal run from the source gives them, and the same count for a pair.
TEST(PathCountOptions, EveryNodeAndDirectedArcsAsTheLiteralRun) {
  std::mt19937 rng(32);
  for (int round = 0; round < 200; ++round) {
    const int n = 1 + int(rng() % 9), m = int(rng() % 25), s = 1 + int(rng() % n), t = 1 + int(rng() % n);
    std::vector<Edge> edges;
    for (int i = 0; i < m; ++i) edges.push_back({1 + int(rng() % n), 1 + int(rng() % n), int(rng() % 3) + (round % 2)});
    const Files files = {{"g.txt", GraphText(Header(n, edges.size(), 1, 1), edges)}, {"g.gr", DimacsText(n, edges)}};
    for (bool directed : {false, true}) {
      const Literal literal = LiteralRun(n, s, edges, directed);
      std::string every;
      for (int v = 1; v <= n; ++v)
        every += std::to_string(v) + " " + (literal.dist[v] == LLONG_MAX ? "-" : std::to_string(literal.dist[v])) + " " +
                 std::to_string(literal.count[v]) + "\n";
      const std::string input = directed ? "g.gr" : "g.txt";
      auto all = RunIn({kPathCount.path, "--source=" + std::to_string(s), "--all", "-o", "-", input}, "none", files);
      EXPECT_EQ(all.first.status, 0) << all.first.err;
      EXPECT_EQ(all.first.out, every);
      auto pair = RunIn({kPathCount.path, "-s", std::to_string(s), "-t", std::to_string(t), "-o", "-", input}, "none", files);
      EXPECT_EQ(pair.first.out, std::to_string(literal.count[t]));
    }
    ASSERT_FALSE(HasFailure()) << "round " << round << "\n" << files.at("g.txt");
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

// A complete bipartite middle whose costs make every node of the far side
// be lowered once per node of the near side, from both ends: the heaps fill
// and drop their outdated entries again and again. Some edges are doubled,
// some costs raised by one, so that counts other than 1 come out.
TEST(PathCountOracle, HeapsThatDropOutdatedEntries) {
  std::mt19937 rng(5);
  const int side = 40, n = 2 + 2 * side, k = 6 * side + 10;
  for (int round = 0; round < 10; ++round) {
    std::vector<Edge> edges;
    for (int i = 1; i <= side; ++i) {
      edges.push_back({1, 2 + i, i});
      edges.push_back({2, 2 + side + i, i});
      for (int j = 1; j <= side; ++j)
        for (int copies = 1 + int(rng() % 2); copies > 0; --copies)
          edges.push_back({2 + i, 2 + side + j, k - 3 * i - 3 * j + int(rng() % 4 == 0)});
    }
    ExpectLiteralCount(n, 1, 2, edges);
  }
}

// The heap against a sorted multiset: after any mix of pushes, pops and
// filters, pops come out smallest first.
TEST(MinHeap, PopsInOrderAfterFilters) {
  std::mt19937_64 rng(9);
  wgt::MinHeap<std::uint64_t> heap(1000);
  std::multiset<std::uint64_t> naive;
  for (int step = 0; step < 100000; ++step) {
    if (heap.Full() || rng() % 100 == 0) {
      heap.Filter([](std::uint64_t key) { return key % 3 != 0; });
      std::erase_if(naive, [](std::uint64_t key) { return key % 3 == 0; });
    } else if (rng() % 2 && !heap.Empty()) {
      ASSERT_EQ(heap.Pop(), *naive.begin());
      naive.erase(naive.begin());
    } else {
      const std::uint64_t key = rng() % 100000;
      heap.Push(key);
      naive.insert(key);
    }
    ASSERT_EQ(heap.Size(), naive.size());
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

// The count called directly on a random graph with costs 1..10 (20,000
// nodes, 80,000 edges): from both ends, each end settling where it has
// scanned fewer arcs, a random pair costs a fraction of the nodes that the
// search from S alone settles before D's count is final; the counts agree.
TEST(PathCountWork, BothEndsSettleFewerNodesThanOne) {
  std::mt19937 rng(12);
  const int n = 20000, m = 80000;
  wgt::GraphBuilder builder(n, 2 * m, wgt::GraphBuilder::kEdges);
  for (int i = 0; i < m; ++i) builder.AddEdge(1 + int(rng() % n), 1 + int(rng() % n), 1 + int(rng() % 10));
  const wgt::Graph g = std::move(builder).Build();
  for (int pair = 0; pair < 5; ++pair) {
    const int s = 1 + int(rng() % n), t = 1 + int(rng() % n);
    auto count = [&](auto search, wgt::SearchStats& stats) {
      wgt::HugeArray<std::int32_t> reach(n + 1);
      wgt::HugeArray<std::uint64_t> nr(n + 1);
      return search(g, s, t, reach, nr, stats);
    };
    wgt::SearchStats one, both;
    EXPECT_EQ(count(wgt::CountFromBothEnds<std::int32_t, std::uint64_t>, both),
              count(wgt::CountFromSource<std::int32_t, std::uint64_t>, one));
    EXPECT_GT(both.settled_from_d, 0u);
    EXPECT_LT(4 * (both.settled_from_s + both.settled_from_d), one.settled_from_s) << s << " " << t;
  }
}

}  // namespace
