// A simple cycle of negative cost out of a closed walk of negative cost:
// walking it, each time the walk comes back to a node, the loop since that
// node's last visit is cut out, and returned if it costs less than 0. The
// loops cut out and the cycle left at the end add up to the walk, so one
// of them is negative.
//
// Preconditions: the walk is closed (the last arc ends where the first
// starts) and its cost below 0. Time and memory O(length of the walk).
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace wgt {

// The nodes of the cycle in order, the last with an arc to the first, for
// a walk of arcs that tail(arc), head(arc) and cost(arc) describe.
template <class Arc, class Tail, class Head, class Cost>
std::vector<std::int32_t> SimpleNegativeCycle(const std::vector<Arc>& walk, Tail tail, Head head, Cost cost) {
  std::vector<Arc> path;               // the walk so far, loops cut out
  std::vector<std::int64_t> sum{0};    // sum[i]: the cost of path[0..i)
  std::unordered_map<std::int32_t, std::size_t> at;  // a node's place on the path, as the tail of path[at]
  for (const Arc& arc : walk) {
    at[tail(arc)] = path.size();
    path.push_back(arc);
    sum.push_back(sum.back() + cost(arc));
    const auto back = at.find(head(arc));
    if (back == at.end()) continue;
    const std::size_t from = back->second;
    if (sum.back() - sum[from] < 0) {
      std::vector<std::int32_t> cycle;
      for (std::size_t i = from; i < path.size(); ++i) cycle.push_back(tail(path[i]));
      return cycle;
    }
    for (std::size_t i = from; i < path.size(); ++i) at.erase(tail(path[i]));
    path.resize(from), sum.resize(from + 1);
  }
  assert(false && "a closed walk of negative cost holds a negative cycle");
  return {};
}

}  // namespace wgt
