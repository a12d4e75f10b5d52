// How a negative cycle is named to the user: from its smallest node, with
// the cost of its cheapest edges, a long one by its first eight nodes and
// its last, so that it can be found in the data.
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

// "(N edges, total cost C): a -> b -> ... -> a" for the nodes of a cycle of
// `g` in order, a -> b an arc of it.
inline std::string NameCycle(const Graph& g, std::vector<std::int32_t> cycle) {
  std::rotate(cycle.begin(), std::min_element(cycle.begin(), cycle.end()), cycle.end());
  std::int64_t total = 0;
  for (std::size_t i = 0; i < cycle.size(); ++i) {
    const std::int32_t to = cycle[(i + 1) % cycle.size()];
    std::int64_t cheapest = std::numeric_limits<std::int64_t>::max();
    for (const Arc& a : g[cycle[i]])
      if (a.to == to) cheapest = std::min<std::int64_t>(cheapest, a.cost);
    total += cheapest;
  }
  return "(" + std::to_string(cycle.size()) + " edges, total cost " + std::to_string(total) + "): " + CycleText(cycle);
}

}  // namespace wgt
