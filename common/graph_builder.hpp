// Builds the graph table from arcs given in input order, at close to one
// copy of the arcs in memory.
#pragma once

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "error_exit.hpp"
#include "graph.hpp"
#include "memory.hpp"
#include "memory_budget.hpp"

namespace wgt {

// Collects arcs, or undirected edges, in input order and turns them into a
// Graph. While the arcs come grouped by tail in increasing order, as many
// files list them, they go straight into the table; so do edges listed by
// their smaller end in increasing order, as grid files list them, one arc
// each, doubled in place at the end. From the first arc out of that order on, arcs
// wait in 64 KiB blocks, one chain per range of 65536 source nodes, taken
// four at a time; a stable counting sort then fills the table range by range
// (degrees, row starts, arcs) and hands each range's blocks back, so that
// memory stays close to one copy of the arcs and every scatter lands in a
// small, cache-resident slice. Adjacent blocks are handed back in one call:
// each call interrupts the other core to flush its TLB.
// Nodes are 1..n; time O(n + arcs).
class GraphBuilder {
 public:
  enum Input { kArcs, kEdges };  // what the builder is given: Add or AddEdge

  GraphBuilder(std::int32_t n, std::uint64_t max_arcs, Input input)
      : n_(n), max_arcs_(max_arcs), chains_((std::size_t(n) >> 16) + 1), offsets_(std::size_t(n) + 2), arcs_(max_arcs),
        back_(input == kEdges ? std::size_t(n) + 2 : 0) {}
  ~GraphBuilder() { Unmap(arena_, arena_blocks_ * sizeof(Block)); }
  GraphBuilder(const GraphBuilder&) = delete;
  GraphBuilder& operator=(const GraphBuilder&) = delete;

  // Peak memory of building a graph of `arcs` arcs over nodes 1..n and then
  // allocating `later` beside it. While the table fills, the waiting blocks
  // it has copied are handed back, so pages peak near the blocks alone; the
  // blocks' address space stays until the builder goes. Arcs in order need
  // only the table, edges in order a second array of row bounds beside it.
  static MemoryNeed Need(std::int32_t n, std::uint64_t arcs, Input input, MemoryNeed later) {
    const std::uint64_t chains = (std::uint64_t(n) >> 16) + 1;
    const std::uint64_t waiting = (arcs / kPerBlock + (kSlab + 1) * chains + 1) * sizeof(Block);
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
    AddWaiting(from, to, cost);
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
    AddWaiting(x, y, cost);
    AddWaiting(y, x, cost);
  }

  Graph Build() && {
    if (in_order_) {
      while (last_from_ <= n_) offsets_[std::size_t(++last_from_)] = std::uint32_t(count_);
      if (back_.size() != 0) return std::move(*this).DoubleEdges();
      return Graph(std::move(offsets_), std::move(arcs_).template Shrink<Arc>(count_));
    }
    return std::move(*this).SortWaiting();
  }

 private:
  static constexpr std::size_t kPerBlock = 6553;
  struct alignas(4096) Block {  // page-aligned, so that a copied block can be handed back
    std::uint16_t source[kPerBlock];  // low 16 bits; the chain gives the rest
    std::int32_t to[kPerBlock];
    std::int32_t cost[kPerBlock];
  };
  static_assert(sizeof(Block) == 65536);
  static constexpr std::size_t kSlab = 4;  // blocks a chain takes at a time
  struct Chain {
    std::vector<Block*> blocks;
    std::size_t fill = kPerBlock;
    Block* slab = nullptr;  // the chain's next blocks, taken together
    std::size_t slab_left = 0;
  };

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
    return Graph(std::move(back_), std::move(arcs_).template Shrink<Arc>(2 * count_));
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
      AddWaiting(from, arcs_[i].to, arcs_[i].cost);
      if (edges) AddWaiting(arcs_[i].to, from, arcs_[i].cost);
      if ((i + 1) % kPerHuge == 0) ::madvise(&arcs_[i + 1 - kPerHuge], kHuge, MADV_DONTNEED);
    }
    arcs_ = {};
    offsets_ = {};
    back_ = {};
  }

  void AddWaiting(std::int32_t from, std::int32_t to, std::int32_t cost) {
    Chain& chain = chains_[std::size_t(from) >> 16];
    if (chain.fill == kPerBlock) {
      chain.blocks.push_back(NewBlock(chain));
      chain.fill = 0;
    }
    Block& block = *chain.blocks.back();
    block.source[chain.fill] = std::uint16_t(from);
    block.to[chain.fill] = to;
    block.cost[chain.fill] = cost;
    ++chain.fill;
  }

  // The row bounds are touched range by range as the blocks go, not beside all of them.
  Graph SortWaiting() && {
    std::uint64_t total = 0;
    for (const Chain& chain : chains_) total += chain.blocks.empty() ? 0 : (chain.blocks.size() - 1) * kPerBlock + chain.fill;
    if (total >= UINT32_MAX) Die("out of memory: too many edges");
    HugeArray<std::uint32_t> offsets(std::size_t(n_) + 2);
    HugeArray<Arc> arcs(total);
    Releaser copied;
    std::uint32_t start = 0;
    for (std::size_t c = 0; c < chains_.size(); ++c) {
      std::uint32_t* next = &offsets[c << 16];  // the range's rows, by the low 16 bits of their node
      ForEachBlock(chains_[c], [&](const Block& block, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) ++next[block.source[i]];
      });
      const std::size_t nodes = std::min<std::size_t>(std::size_t(1) << 16, std::size_t(n_) + 1 - (c << 16));
      for (std::size_t x = 0; x < nodes; ++x) start += std::exchange(next[x], start);
      ForEachBlock(chains_[c], [&](const Block& block, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) arcs[next[block.source[i]]++] = {block.to[i], block.cost[i]};
        copied.Add(&block);
      });
    }
    copied.Flush();
    // Each cursor now stands at the end of its row: shift them back to starts.
    offsets[std::size_t(n_) + 1] = std::uint32_t(total);
    for (std::size_t x = std::size_t(n_); x >= 1; --x) offsets[x] = offsets[x - 1];
    return Graph(std::move(offsets), std::move(arcs));
  }

  // Hands back runs of adjacent blocks, up to a huge page at a time.
  class Releaser {
   public:
    void Add(const Block* block) {
      if (block != end_ || std::size_t(end_ - start_) * sizeof(Block) >= kHuge) {
        Flush();
        start_ = block;
      }
      end_ = block + 1;
    }
    void Flush() {
      if (start_ != end_) ::madvise(const_cast<Block*>(start_), std::size_t(end_ - start_) * sizeof(Block), MADV_DONTNEED);
      start_ = end_ = nullptr;
    }

   private:
    const Block* start_ = nullptr;
    const Block* end_ = nullptr;
  };

  // Calls visit(block, arcs in it) for the chain's blocks in input order.
  template <class Visit>
  static void ForEachBlock(const Chain& chain, Visit visit) {
    for (std::size_t b = 0; b < chain.blocks.size(); ++b)
      visit(*chain.blocks[b], b + 1 == chain.blocks.size() ? chain.fill : kPerBlock);
  }

  Block* NewBlock(Chain& chain) {
    if (arena_ == nullptr) {  // mapped only once arcs come out of order
      std::uint64_t blocks = max_arcs_ / kPerBlock + kSlab * chains_.size() + 1;
      arena_blocks_ = std::min<std::uint64_t>(blocks, PhysicalMemory() / sizeof(Block));
      arena_ = static_cast<Block*>(MapZeroed(arena_blocks_ * sizeof(Block)));
    }
    if (chain.slab_left == 0) {
      if (arena_used_ == arena_blocks_) Die("out of memory: the edges need more than " + GiB(arena_blocks_ * sizeof(Block)));
      chain.slab = &arena_[arena_used_];
      chain.slab_left = std::min<std::uint64_t>(kSlab, arena_blocks_ - arena_used_);
      arena_used_ += chain.slab_left;
    }
    --chain.slab_left;
    return chain.slab++;
  }

  std::int32_t n_;
  std::uint64_t max_arcs_;
  std::vector<Chain> chains_;
  // The table itself while arcs come in order: rows up to last_from_ begun.
  bool in_order_ = true;
  std::int32_t last_from_ = 0;
  std::uint64_t count_ = 0;
  HugeArray<std::uint32_t> offsets_;
  HugeArray<Arc> arcs_;
  // Edges in order: arcs each row gets from edges whose smaller end is
  // another node; later the cursors of those parts, and then the row bounds.
  HugeArray<std::uint32_t> back_;
  Block* arena_ = nullptr;
  std::uint64_t arena_blocks_ = 0;
  std::uint64_t arena_used_ = 0;
};

}  // namespace wgt
