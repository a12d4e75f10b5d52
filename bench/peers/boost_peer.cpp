// Peer: the Boost Graph Library's edge-sweeping Bellman-Ford, and its
// Dijkstra followed by counting over the tight edges.   boost_peer distance|count
#include <boost/graph/adjacency_list.hpp>
#include <boost/graph/bellman_ford_shortest_paths.hpp>
#include <boost/graph/dijkstra_shortest_paths.hpp>

#include <algorithm>
#include <cstring>

#include "peer_io.hpp"

template <class Directed>
using Graph = boost::adjacency_list<boost::vecS, boost::vecS, Directed, boost::no_property,
                                    boost::property<boost::edge_weight_t, long long>>;

template <class G>
G Build(const PeerInput& g) {
  std::vector<std::pair<int, int>> ends;
  std::vector<long long> costs;
  for (const PeerEdge& e : g.edges) ends.push_back({e.x - 1, e.y - 1}), costs.push_back(e.c);
  return G(ends.begin(), ends.end(), costs.begin(), std::size_t(g.n));
}

int Distance() {
  PeerInput g = ReadInput("mirtavosken.in", false);
  auto graph = Build<Graph<boost::directedS>>(g);
  std::vector<long long> dist(std::size_t(g.n), INT64_MAX);
  bellman_ford_shortest_paths(graph, std::size_t(g.n),
                              boost::root_vertex(std::size_t(0)).distance_map(dist.data()));
  WriteDistances(
      "mirtavosken.out", g.n, [&](int v) { return dist[std::size_t(v - 1)] != INT64_MAX; },
      [&](int v) { return dist[std::size_t(v - 1)]; });
  return 0;
}

int Count() {
  PeerInput g = ReadInput("9-quembol.in", true);
  auto graph = Build<Graph<boost::undirectedS>>(g);
  std::vector<long long> dist(std::size_t(g.n));
  dijkstra_shortest_paths(graph, std::size_t(g.s - 1), boost::distance_map(dist.data()).distance_inf(INT64_MAX));
  auto weight = get(boost::edge_weight, graph);
  WriteCount("quembol.out", CountTightPaths(
                                g, [&](int v) { return dist[std::size_t(v - 1)]; },
                                [&](int v, auto visit) {
                                  for (auto e : boost::make_iterator_range(out_edges(std::size_t(v - 1), graph)))
                                    visit(int(target(e, graph)) + 1, weight[e]);
                                }));
  return 0;
}

int main(int argc, char** argv) { return argc > 1 && std::strcmp(argv[1], "count") == 0 ? Count() : Distance(); }
