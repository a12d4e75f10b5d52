// A simple cycle of negative cost out of a closed walk of negative cost:
// walking it, each time the walk comes back to a node, the loop since that
// node's last visit is cut out, and returned if it costs less than 0. The
// loops cut out and the cycle left at the end add up to the walk, so one
// of them is negative. The walk so far, loops cut out, is a simple path:
// it fits in a table a node, as does each node's place on it, which counts
// only where the path has that node there, so neither table needs clearing.
//
// Preconditions: the walk is closed (the last arc ends where it starts)
// and its cost below 0; `path` and `place` tables a node, of anything. Time
// O(length of the walk); memory that of the cycle besides the two tables.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "graph.hpp"
#include "memory.hpp"

namespace wgt {

// The nodes of the cycle in order, the last with an arc to the first, for
// the walk from `start` over the arcs arc(0), ..., arc(length - 1), each
// from the head of the one before, whose costs cost(a) gives.
template <class ArcOf, class Cost>
std::vector<std::int32_t> SimpleNegativeCycle(std::int32_t start, std::size_t length, ArcOf arc, Cost cost,
                                              HugeArray<std::int32_t>& path, HugeArray<std::int32_t>& place) {
  std::size_t size = 0;  // the path: the walk's arcs path[0..size), by their places on it
  auto tail = [&](std::size_t i) { return i == 0 ? start : arc(std::size_t(path[i - 1])).to; };
  for (std::size_t k = 0; k < length; ++k) {
    place[tail(size)] = std::int32_t(size);
    path[size++] = std::int32_t(k);
    const std::int32_t back = arc(k).to;
    const std::size_t from = std::size_t(place[back]);
    if (from >= size || tail(from) != back) continue;
    std::int64_t loop = 0;
    for (std::size_t i = from; i < size; ++i) loop += cost(arc(std::size_t(path[i])));
    if (loop < 0) {
      std::vector<std::int32_t> cycle;
      for (std::size_t i = from; i < size; ++i) cycle.push_back(tail(i));
      return cycle;
    }
    size = from;
  }
  assert(false && "a closed walk of negative cost holds a negative cycle");
  return {};
}

}  // namespace wgt
