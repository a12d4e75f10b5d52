// Builds the graph table from arcs, or undirected edges, given in input
// order, at close to one copy of the arcs in memory.
#pragma once

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <utility>

#include "graph.hpp"
#include "memory.hpp"
#include "memory_budget.hpp"
#include "waiting_arcs.hpp"

namespace wgt {

// Collects arcs, or undirected edges, in input order and turns them into a
// Graph. While the arcs come grouped by tail in increasing order, as many
// files list them, they go straight into the table; so do edges listed by
// their smaller end in increasing order, as grid files list them, one arc
// each, doubled in place at the end. From the first arc out of that order
// on, arcs wait in blocks (waiting_arcs.hpp) and are sorted into the table
// at the end. Nodes are 1..n; time O(n + arcs).
class GraphBuilder {
 public:
  enum Input { kArcs, kEdges };  // what the builder is given: Add or AddEdge

  GraphBuilder(std::int32_t n, std::uint64_t max_arcs, Input input)
      : n_(n), waiting_(n, max_arcs), offsets_(std::size_t(n) + 2), arcs_(max_arcs),
        back_(input == kEdges ? std::size_t(n) + 2 : 0) {}

  // Peak memory of building a graph of `arcs` arcs over nodes 1..n and then
  // allocating `later` beside it. While the table fills, the waiting blocks
  // it has copied are handed back, so pages peak near the blocks alone; the
  // blocks' address space stays until the builder goes. Arcs in order need
  // only the table, edges in order a second array of row bounds beside it.
  static MemoryNeed Need(std::int32_t n, std::uint64_t arcs, Input input, MemoryNeed later) {
    const std::uint64_t waiting = WaitingArcs::Bytes(n, arcs);
    const std::uint64_t offsets = 4 * (std::uint64_t(n) + 2), table = offsets + sizeof(Arc) * arcs;
    const std::uint64_t slack = 2 * kHuge;  // a huge page half filled at each end of the table
    const std::uint64_t back = input == kEdges ? offsets : 0;
    return {std::max(waiting + offsets + slack, table + std::max(back, later.resident)),
            table + back + std::max(waiting, later.address_space)};
  }
  // Appends the arc (to, cost) to row `from`. Precondition: 1 <= from <= n.
  void Add(std::int32_t from, std::int32_t to, std::int32_t cost) {
    if (in_order_) {
      if (from >= last_from_) {
        while (last_from_ < from) offsets_[std::size_t(++last_from_)] = std::uint32_t(count_);
        arcs_[count_++] = {to, cost};
        return;
      }
      LeaveOrder();
    }
    waiting_.Add(from, to, cost);
  }

  // Appends the arc (y, cost) to row x and the arc (x, cost) to row y, in
  // that order. While edges come by their smaller end in increasing order,
  // each is held as one arc in its smaller end's row, and the rows of its
  // larger end are only counted. Preconditions: 1 <= x, y <= n; built for kEdges.
  void AddEdge(std::int32_t x, std::int32_t y, std::int32_t cost) {
    if (in_order_) {
      auto [low, high] = std::minmax(x, y);
      if (low >= last_from_) {
        while (last_from_ < low) offsets_[std::size_t(++last_from_)] = std::uint32_t(count_);
        arcs_[count_++] = {high, cost};
        if (high != low) ++back_[std::size_t(high)];
        return;
      }
      LeaveOrder();
    }
    waiting_.Add(x, y, cost);
    waiting_.Add(y, x, cost);
  }

  Graph Build() && {
    if (in_order_) {
      while (last_from_ <= n_) offsets_[std::size_t(++last_from_)] = std::uint32_t(count_);
      if (back_.size() != 0) return std::move(*this).DoubleEdges();
      return Graph(std::move(offsets_), std::move(arcs_).Shrink(count_));
    }
    return std::move(waiting_).Sort();
  }

 private:
  // Turns the edges held in order into the table in place, rows from the
  // last: row x becomes its arcs from smaller ends (in input order, since
  // those edges all come before the ones that start at x) and then its held
  // arcs, a self-loop twice. Row x's held arcs go to the end of its final
  // place, last first, and each leaves its reverse at the end of the part
  // still free in its other end's row, already placed. Row x ends no lower
  // than its held arcs did (each row's place is at least as long as its held
  // arcs), so nothing is overwritten before it is read, and the free parts'
  // cursors end as the row starts.
  Graph DoubleEdges() && {
    std::uint64_t end = 2 * count_;
    for (std::int32_t x = n_; x >= 1; --x) {
      const std::uint32_t from_smaller = back_[std::size_t(x)];
      for (std::uint64_t i = offsets_[std::size_t(x) + 1]; i-- > offsets_[std::size_t(x)];) {
        const Arc held = arcs_[i];
        arcs_[--end] = held;
        if (held.to == x)
          arcs_[--end] = held;
        else
          arcs_[--back_[std::size_t(held.to)]] = {x, held.cost};
      }
      back_[std::size_t(x)] = std::uint32_t(end);
      end -= from_smaller;
    }
    back_[std::size_t(n_) + 1] = std::uint32_t(2 * count_);
    offsets_ = {};
    return Graph(std::move(back_), std::move(arcs_).Shrink(2 * count_));
  }

  // Moves the arcs taken in order into the waiting blocks, handing their
  // pages back a huge page at a time, so that memory never holds them twice.
  // An edge held as one arc becomes its two.
  [[gnu::noinline]] void LeaveOrder() {
    in_order_ = false;
    constexpr std::uint64_t kPerHuge = kHuge / sizeof(Arc);
    const bool edges = back_.size() != 0;
    std::int32_t from = 0;
    for (std::uint64_t i = 0; i < count_; ++i) {
      while (from < last_from_ && offsets_[std::size_t(from) + 1] <= i) ++from;
      waiting_.Add(from, arcs_[i].to, arcs_[i].cost);
      if (edges) waiting_.Add(arcs_[i].to, from, arcs_[i].cost);
      if ((i + 1) % kPerHuge == 0) ::madvise(&arcs_[i + 1 - kPerHuge], kHuge, MADV_DONTNEED);
    }
    arcs_ = {};
    offsets_ = {};
    back_ = {};
  }

  std::int32_t n_;
  WaitingArcs waiting_;
  // The table itself while arcs come in order: rows up to last_from_ begun.
  bool in_order_ = true;
  std::int32_t last_from_ = 0;
  std::uint64_t count_ = 0;
  HugeArray<std::uint32_t> offsets_;
  HugeArray<Arc> arcs_;
  // Edges in order: arcs each row gets from edges whose smaller end is
  // another node; later the cursors of those parts, and then the row bounds.
  HugeArray<std::uint32_t> back_;
};

}  // namespace wgt
