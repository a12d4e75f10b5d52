// Peer: igraph's Bellman-Ford and all-shortest-paths Dijkstra.
//   igraph_peer distance|count   (in a directory holding the input file)
#include <igraph.h>

#include <cmath>
#include <cstring>

#include "peer_io.hpp"

int main(int argc, char** argv) {
  bool count = argc > 1 && std::strcmp(argv[1], "count") == 0;
  PeerInput g = ReadInput(count ? "9-quembol.in" : "mirtavosken.in", count);
  igraph_vector_int_t ends;
  igraph_vector_t weights;
  igraph_vector_int_init(&ends, 2 * g.m);
  igraph_vector_init(&weights, g.m);
  for (int i = 0; i < g.m; ++i) {
    VECTOR(ends)[2 * i] = g.edges[std::size_t(i)].x - 1;
    VECTOR(ends)[2 * i + 1] = g.edges[std::size_t(i)].y - 1;
    VECTOR(weights)[i] = double(g.edges[std::size_t(i)].c);
  }
  igraph_t graph;
  igraph_create(&graph, &ends, g.n, count ? IGRAPH_UNDIRECTED : IGRAPH_DIRECTED);
  if (count) {
    igraph_vector_int_t paths;
    igraph_vector_int_init(&paths, 0);
    igraph_get_all_shortest_paths_dijkstra(&graph, nullptr, nullptr, &paths, g.s - 1, igraph_vss_1(g.t - 1),
                                           &weights, IGRAPH_ALL);
    WriteCount("quembol.out", std::uint64_t(VECTOR(paths)[g.t - 1]));
  } else {
    igraph_matrix_t dist;
    igraph_matrix_init(&dist, 0, 0);
    igraph_distances_bellman_ford(&graph, &dist, igraph_vss_1(0), igraph_vss_all(), &weights, IGRAPH_OUT);
    WriteDistances(
        "mirtavosken.out", g.n, [&](int v) { return std::isfinite(MATRIX(dist, 0, v - 1)); },
        [&](int v) { return (long long)MATRIX(dist, 0, v - 1); });
  }
  return 0;
}
