// Arcs that wait, in input order, to be sorted into the graph table, at
// close to one copy of the arcs in memory.
#pragma once

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "graph.hpp"
#include "memory.hpp"
#include "memory_budget.hpp"

namespace wgt {

// Arcs wait in 64 KiB blocks, one chain per range of 65536 source nodes,
// taken four at a time; a stable counting sort then fills the table range by
// range (degrees, row starts, arcs) and hands each range's blocks back, so
// that memory stays close to one copy of the arcs and every scatter lands in
// a small, cache-resident slice. Adjacent blocks are handed back in one
// call: each call interrupts the other core to flush its TLB. The blocks are
// mapped at the first arc. Nodes are 1..n; time O(n + arcs).
class WaitingArcs {
 public:
  WaitingArcs(std::int32_t n, std::uint64_t max_arcs) : n_(n), max_arcs_(max_arcs), chains_((std::size_t(n) >> 16) + 1) {}
  ~WaitingArcs() { Unmap(arena_, arena_blocks_ * sizeof(Block)); }
  WaitingArcs(const WaitingArcs&) = delete;
  WaitingArcs& operator=(const WaitingArcs&) = delete;

  // The blocks' bytes for `arcs` arcs over nodes 1..n, at the most.
  static std::uint64_t Bytes(std::int32_t n, std::uint64_t arcs) {
    const std::uint64_t chains = (std::uint64_t(n) >> 16) + 1;
    return (arcs / kPerBlock + (kSlab + 1) * chains + 1) * sizeof(Block);
  }

  // Appends the arc (to, cost) to row `from`. Precondition: 1 <= from <= n.
  void Add(std::int32_t from, std::int32_t to, std::int32_t cost) {
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

  // The table, rows in input order. The row bounds are touched range by
  // range as the blocks go, not beside all of them.
  Graph Sort() && {
    std::uint64_t total = 0;
    for (const Chain& chain : chains_) total += chain.blocks.empty() ? 0 : (chain.blocks.size() - 1) * kPerBlock + chain.fill;
    if (total >= UINT32_MAX) throw OutOfMemory{"out of memory: too many edges"};
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
    if (arena_ == nullptr) {  // mapped at the first arc: arcs in order never come here
      std::uint64_t blocks = max_arcs_ / kPerBlock + kSlab * chains_.size() + 1;
      arena_blocks_ = std::min<std::uint64_t>(blocks, PhysicalMemory() / sizeof(Block));
      arena_ = static_cast<Block*>(MapZeroed(arena_blocks_ * sizeof(Block)));
    }
    if (chain.slab_left == 0) {
      if (arena_used_ == arena_blocks_)
        throw OutOfMemory{"out of memory: the edges need more than " + SizeText(arena_blocks_ * sizeof(Block))};
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
  Block* arena_ = nullptr;
  std::uint64_t arena_blocks_ = 0;
  std::uint64_t arena_used_ = 0;
};

}  // namespace wgt
