// Reading and writing for the peer programs, the way a user of a graph
// library would do it: formatted stream extraction into an edge list.
#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <vector>

struct PeerEdge {
  int x, y;
  long long c;
};

struct PeerInput {
  int n = 0, m = 0, s = 1, t = 1;
  std::vector<PeerEdge> edges;
};

// Distance files: n m, then m triples. Count files: n m S D, then m triples.
inline PeerInput ReadInput(const char* path, bool with_ends) {
  std::ifstream in(path);
  PeerInput g;
  in >> g.n >> g.m;
  if (with_ends) in >> g.s >> g.t;
  g.edges.resize(std::size_t(g.m));
  for (PeerEdge& e : g.edges) in >> e.x >> e.y >> e.c;
  return g;
}

// `reached` and `dist` are indexed by node number 1..n.
template <class Reached, class Dist>
void WriteDistances(const char* path, int n, Reached reached, Dist dist) {
  std::ofstream out(path);
  for (int v = 2; v <= n; ++v) out << (reached(v) ? dist(v) : 0) << ' ';
}

inline void WriteCount(const char* path, std::uint64_t count) { std::ofstream(path) << count; }

// Counts cheapest paths from s once the distances are known (costs >= 1):
// nodes in order of distance, each summing the counts over its tight edges.
template <class Dist, class ForEachNeighbour>
std::uint64_t CountTightPaths(const PeerInput& g, Dist dist, ForEachNeighbour for_each_neighbour) {
  std::vector<int> order;
  for (int v = 1; v <= g.n; ++v)
    if (dist(v) < INT64_MAX) order.push_back(v);
  std::sort(order.begin(), order.end(), [&](int a, int b) { return dist(a) < dist(b); });
  std::vector<std::uint64_t> count(std::size_t(g.n) + 1);
  count[std::size_t(g.s)] = 1;
  for (int v : order)
    for_each_neighbour(v, [&](int u, long long c) {
      if (dist(u) < INT64_MAX && dist(u) + c == dist(v)) count[std::size_t(v)] += count[std::size_t(u)];
    });
  return count[std::size_t(g.t)];
}
