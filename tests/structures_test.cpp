// The small structures on their own, each against a naive one: the
// digits read eight bytes at a time, the integer reader's refusals,
// Tarjan's components and Dial's buckets.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <random>
#include <set>

#include "graph_builder.hpp"
#include "harness.hpp"
#include "int_reader.hpp"
#include "level_buckets.hpp"
#include "memory.hpp"
#include "strong_components.hpp"
#include "swar_digits.hpp"

namespace {

// Every byte in every position of eight, and every length of digits
// before it: the count of leading digits and their value.
TEST(SwarDigits, EveryByteInEveryPosition) {
  for (int position = 0; position < 8; ++position)
    for (int byte = 0; byte < 256; ++byte) {
      char text[8] = {'9', '1', '8', '2', '7', '3', '6', '4'};
      text[position] = char(byte);
      const bool digit = byte >= '0' && byte <= '9';
      ASSERT_EQ(wgt::DigitsInEight(text), digit ? 8u : std::size_t(position)) << position << " " << byte;
      for (int length = 1; length <= position && length < 8; ++length) {
        std::uint64_t value = 0;
        for (int i = 0; i < length; ++i) value = value * 10 + std::uint64_t(text[i] - '0');
        ASSERT_EQ(wgt::ValueOfDigits(text, std::size_t(length)), value) << position << " " << byte << " " << length;
      }
    }
}

// `text` matched literally by a death test's regular expression.
std::string Escaped(const std::string& text) {
  std::string pattern;
  for (char c : text) pattern += std::string(std::strchr("+*?.()[]{}|^$\\", c) != nullptr ? "\\" : "") + c;
  return pattern;
}

// Tokens the reader refuses, read in this process: each dies with its
// message, and none passes a count of no digits to ValueOfDigits, whose
// check would abort first.
TEST(IntReaderDeathTest, MalformedTokensEndWithTheirMessage) {
  for (const std::string token : {"-", "+", "x", ":", "/", "-:", "+/", "--1"}) {
    Scratch scratch;
    const std::string path = (scratch.dir() / "tokens").string();
    Spit(path, "12 " + token + std::string(64, ' '));
    EXPECT_EXIT(
        {
          wgt::IntReader in;
          in.Open(path.c_str());
          std::int32_t value;
          while (in.Next(value)) {
          }
        },
        testing::ExitedWithCode(1), "'" + Escaped(token) + "' is not an integer");
  }
}

// Random graphs of a few nodes, searched from a few roots, then again
// after a Reset: Tarjan's components are the classes of mutual
// reachability over the arcs the predicate lets through, reported in
// reverse topological order, each once, and numbered by the nodes closed
// before them.
TEST(StrongComponents, MatchMutualReachability) {
  std::mt19937 rng(1972);
  for (int round = 0; round < 300; ++round) {
    const int n = 1 + int(rng() % 12);
    std::vector<Edge> edges;
    for (int i = 0, m = int(rng() % (3 * n + 1)); i < m; ++i)
      edges.push_back({1 + int(rng() % n), 1 + int(rng() % n), int(rng() % 3)});
    wgt::GraphBuilder builder(n, edges.size(), wgt::GraphBuilder::kArcs);
    for (const Edge& e : edges) builder.Add(e.x, e.y, std::int32_t(e.c));
    const wgt::Graph g = std::move(builder).Build();
    std::vector<std::vector<bool>> reaches(n + 1, std::vector<bool>(n + 1));
    for (int v = 1; v <= n; ++v) reaches[v][v] = true;
    for (const Edge& e : edges)
      if (e.c != 0) reaches[e.x][e.y] = true;  // arcs of cost 0 are not followed
    for (int k = 1; k <= n; ++k)
      for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) reaches[i][j] = reaches[i][j] || (reaches[i][k] && reaches[k][j]);
    wgt::IterationScratch scratch(std::size_t(n) + 1);
    wgt::StrongComponents scc(std::size_t(n) + 1, scratch);
    for (int reuse = 0; reuse < 2; ++reuse) {
      std::vector<int> component(n + 1, -1);
      std::vector<std::int32_t> reached;
      int closed = 0;
      std::uint64_t work = 0;
      std::vector<bool> searched(n + 1);
      for (int r = 0, roots = 1 + int(rng() % 3); r < roots; ++r) {
        const int root = 1 + int(rng() % n);
        for (int v = 1; v <= n; ++v) searched[v] = searched[v] || reaches[root][v];
        scc.Search(
            g, root, [](std::int32_t, const wgt::Arc& a) { return a.cost != 0; },
            [&](std::span<const std::int32_t> members) {
              for (std::int32_t v : members) {
                EXPECT_EQ(component[v], -1) << v;
                component[v] = closed, reached.push_back(v);
              }
              closed += int(members.size());
              return true;
            },
            work);
      }
      for (int v = 1; v <= n; ++v) {
        ASSERT_EQ(component[v] != -1, bool(searched[v])) << "round " << round << " node " << v;
        if (component[v] != -1) {
          EXPECT_EQ(scc.Component(v), std::uint32_t(component[v])) << v;
        }
        for (int w = 1; w <= n; ++w) {
          if (component[v] == -1 || component[w] == -1) continue;
          EXPECT_EQ(component[v] == component[w], reaches[v][w] && reaches[w][v]) << v << " " << w;
        }
      }
      for (const Edge& e : edges) {  // an arc out of a component leads into one closed before it
        if (e.c != 0 && component[e.x] != -1) {
          EXPECT_LE(component[e.y], component[e.x]);
        }
      }
      ASSERT_FALSE(HasFailure()) << "round " << round << " search " << reuse;
      scc.Reset(reached);
    }
  }
}

// A table that could not be mapped is told in a unit it reads at least 1
// in, not as "0.00 GiB".
TEST(SizeText, ReadsAtLeastOneInItsUnit) {
  EXPECT_EQ(wgt::SizeText(0), "0 bytes");
  EXPECT_EQ(wgt::SizeText(1000), "1000 bytes");
  EXPECT_EQ(wgt::SizeText(6 << 10), "6 KiB");
  EXPECT_EQ(wgt::SizeText(std::uint64_t(3) << 20), "3.0 MiB");
  EXPECT_EQ(wgt::SizeText(std::uint64_t(1) << 28), "256.0 MiB");
  EXPECT_EQ(wgt::SizeText(std::uint64_t(3) << 29), "1.50 GiB");
}

// Random raises and takes from the highest level down, as a closure does:
// the buckets hold what a map from levels to sets holds, and each node
// taken keeps its level until forgotten.
TEST(LevelBuckets, MatchAMapOfSets) {
  std::mt19937 rng(1969);
  for (int round = 0; round < 200; ++round) {
    const int n = 2 + int(rng() % 40), top = 1 + int(rng() % (n - 1));
    wgt::IterationScratch scratch{std::size_t(n)};
    wgt::LevelBuckets buckets(scratch);
    buckets.Open(top);
    std::map<int, std::set<int>> naive;
    std::vector<int> level(n, 0);
    auto put = [&](int v, int at) {
      if (level[v] != 0) naive[level[v]].erase(v);
      buckets.Put(v, at), naive[at].insert(v), level[v] = at;
    };
    for (int i = 0; i < n; ++i)
      if (rng() % 2) put(int(rng() % n), 1 + int(rng() % top));
    for (int at = top; at >= 1; --at)
      for (std::int32_t v; (v = buckets.Take(at)) != wgt::LevelBuckets::kEmpty;) {
        ASSERT_EQ(naive[at].count(v), 1u) << "round " << round;
        naive[at].erase(v), level[v] = -at;  // settled: never put again
        EXPECT_EQ(buckets.Level(v), 0);
        for (int w = int(rng() % n), k = 0; k < 2; ++k, w = int(rng() % n))  // raise a few, up to this level
          if (level[w] >= 0 && level[w] < at && rng() % 2) put(w, level[w] + 1 + int(rng() % (at - level[w])));
      }
    for (const auto& [at, members] : naive) EXPECT_TRUE(members.empty()) << at;
    for (int v = 0; v < n; ++v) {
      EXPECT_EQ(buckets.TakenAt(v), std::max(-level[v], 0)) << "round " << round << " node " << v;
      buckets.Forget(v);
      EXPECT_EQ(buckets.TakenAt(v) + buckets.Level(v), 0);
    }
  }
}

}  // namespace
