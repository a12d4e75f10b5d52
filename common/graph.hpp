// The graph table: rows of (head, cost) arcs, one row per node, each row a
// slice of one flat array in the order its arcs were added. Read-only once
// built (see graph_builder.hpp).
#pragma once

#include <cstdint>
#include <span>
#include <utility>

#include "memory.hpp"

namespace wgt {

struct Arc {
  std::int32_t to;
  std::int32_t cost;
};

// Weighted adjacency table: row x lists the arcs leaving node x, in the order
// they were added. Rows are slices of one array (offsets plus entries).
class Graph {
 public:
  Graph() = default;
  Graph(HugeArray<std::uint32_t> offsets, HugeArray<Arc> arcs)
      : offsets_(std::move(offsets)), arcs_(std::move(arcs)) {}

  std::span<const Arc> Row(std::int32_t x) const {
    return {arcs_.data() + offsets_[std::size_t(x)], offsets_[std::size_t(x) + 1] - offsets_[std::size_t(x)]};
  }
  std::span<const Arc> operator[](std::int32_t x) const { return Row(x); }
  std::size_t ArcCount() const { return arcs_.size(); }
  // Arcs by their place in the table, rows one after another.
  const Arc& ArcAt(std::uint32_t i) const { return arcs_[i]; }
  std::uint32_t ArcIndex(const Arc& a) const { return std::uint32_t(&a - arcs_.data()); }
  // Nodes 1..NodeCount(). Precondition: built (not default-constructed).
  std::size_t NodeCount() const { return offsets_.size() - 2; }

  // Hints for a caller that knows which rows it will scan next: first the
  // row's bounds, later (once those have arrived) the row itself.
  // Inlined by force, as every prefetch here: GCC judges a function of
  // prefetches alone free of effects and may drop the call.
  [[gnu::always_inline]] void PrefetchBounds(std::int32_t x) const { __builtin_prefetch(&offsets_[std::size_t(x)]); }
  // A row of a few arcs often straddles two cache lines: both ends are fetched.
  [[gnu::always_inline]] void PrefetchRow(std::int32_t x) const {
    const Arc* begin = arcs_.data() + offsets_[std::size_t(x)];
    const Arc* end = arcs_.data() + offsets_[std::size_t(x) + 1];
    __builtin_prefetch(begin);
    if (end != begin) __builtin_prefetch(end - 1);
  }

 private:
  HugeArray<std::uint32_t> offsets_;
  HugeArray<Arc> arcs_;
};

}  // namespace wgt
