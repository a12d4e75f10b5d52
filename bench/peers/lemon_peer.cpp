// Peer: LEMON's Bellman-Ford, and its Dijkstra followed by counting over the
// tight edges.   lemon_peer distance|count
#include <lemon/bellman_ford.h>
#include <lemon/dijkstra.h>
#include <lemon/smart_graph.h>

#include <algorithm>
#include <cstring>

#include "peer_io.hpp"

int Distance() {
  PeerInput g = ReadInput("mirtavosken.in", false);
  lemon::SmartDigraph graph;
  graph.reserveNode(g.n);
  graph.reserveArc(g.m);
  std::vector<lemon::SmartDigraph::Node> node(std::size_t(g.n) + 1);
  for (int v = 1; v <= g.n; ++v) node[std::size_t(v)] = graph.addNode();
  lemon::SmartDigraph::ArcMap<long long> cost(graph);
  for (const PeerEdge& e : g.edges) cost[graph.addArc(node[std::size_t(e.x)], node[std::size_t(e.y)])] = e.c;
  lemon::BellmanFord<lemon::SmartDigraph, lemon::SmartDigraph::ArcMap<long long>> bf(graph, cost);
  bf.run(node[1]);
  WriteDistances(
      "mirtavosken.out", g.n, [&](int v) { return bf.reached(node[std::size_t(v)]); },
      [&](int v) { return bf.dist(node[std::size_t(v)]); });
  return 0;
}

int Count() {
  PeerInput g = ReadInput("9-quembol.in", true);
  lemon::SmartGraph graph;
  graph.reserveNode(g.n);
  graph.reserveEdge(g.m);
  std::vector<lemon::SmartGraph::Node> node(std::size_t(g.n) + 1);
  for (int v = 1; v <= g.n; ++v) node[std::size_t(v)] = graph.addNode();
  lemon::SmartGraph::EdgeMap<long long> cost(graph);
  for (const PeerEdge& e : g.edges) cost[graph.addEdge(node[std::size_t(e.x)], node[std::size_t(e.y)])] = e.c;
  lemon::Dijkstra<lemon::SmartGraph, lemon::SmartGraph::EdgeMap<long long>> dijkstra(graph, cost);
  dijkstra.run(node[std::size_t(g.s)]);
  auto dist = [&](int v) {
    return dijkstra.reached(node[std::size_t(v)]) ? dijkstra.dist(node[std::size_t(v)]) : INT64_MAX;
  };
  WriteCount("quembol.out", CountTightPaths(g, dist, [&](int v, auto visit) {
               for (lemon::SmartGraph::OutArcIt a(graph, node[std::size_t(v)]); a != lemon::INVALID; ++a)
                 visit(graph.id(graph.target(a)) + 1, cost[a]);
             }));
  return 0;
}

int main(int argc, char** argv) { return argc > 1 && std::strcmp(argv[1], "count") == 0 ? Count() : Distance(); }
