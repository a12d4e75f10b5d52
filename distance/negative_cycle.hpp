// How a negative cycle is named to the user: from its smallest node, with
// the cost of its cheapest edges, a long one by its first eight nodes and
// its last, so that it can be found in the data; and its arcs, for a file
// that lists them all.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "graph.hpp"

namespace wgt {

// "a -> b -> ... -> a", for the nodes of a cycle in order.
inline std::string CycleText(const std::vector<std::int32_t>& cycle) {
  constexpr std::size_t kShown = 8;
  std::string text;
  for (std::size_t i = 0; i < cycle.size(); ++i) {
    if (cycle.size() > kShown + 1 && i == kShown) {
      text += "... -> ";
      i = cycle.size() - 1;
    }
    text += std::to_string(cycle[i]) + " -> ";
  }
  return text + std::to_string(cycle[0]);
}

// The arcs of a cycle of `g` whose nodes come in order, a -> b an arc of
// it, from its smallest node on, each the cheapest of its parallel arcs.
struct CycleArc {
  std::int32_t from, to;
  std::int64_t cost;
};
inline std::vector<CycleArc> CycleArcs(const Graph& g, std::vector<std::int32_t> cycle) {
  std::rotate(cycle.begin(), std::min_element(cycle.begin(), cycle.end()), cycle.end());
  std::vector<CycleArc> arcs;
  for (std::size_t i = 0; i < cycle.size(); ++i) {
    const std::int32_t to = cycle[(i + 1) % cycle.size()];
    std::int64_t cheapest = std::numeric_limits<std::int64_t>::max();
    for (const Arc& a : g[cycle[i]])
      if (a.to == to) cheapest = std::min<std::int64_t>(cheapest, a.cost);
    arcs.push_back({cycle[i], to, cheapest});
  }
  return arcs;
}

// "(N edges, total cost C): a -> b -> ... -> a" for the nodes of a cycle of
// `g` in order, a -> b an arc of it.
inline std::string NameCycle(const Graph& g, const std::vector<std::int32_t>& cycle) {
  std::vector<std::int32_t> nodes;
  std::int64_t total = 0;
  for (const CycleArc& arc : CycleArcs(g, cycle)) nodes.push_back(arc.from), total += arc.cost;
  return "(" + std::to_string(nodes.size()) + " edges, total cost " + std::to_string(total) + "): " + CycleText(nodes);
}

}  // namespace wgt
