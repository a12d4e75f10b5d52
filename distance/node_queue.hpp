// A first-in-first-out queue of node numbers in a ring that doubles when
// full, so that its memory follows the longest the queue has been rather
// than the node count. Push and Pop O(1) amortised; memory at most 12 bytes
// per queued node while the ring doubles (the old ring and one twice its
// size), 8 after.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "memory.hpp"
#include "distance_stats.hpp"

namespace wgt {

class NodeQueue {
 public:
  // The old ring and one twice its size, while it doubles.
  static constexpr std::uint64_t kBytesPerNode = 3 * sizeof(std::int32_t);

  bool Empty() const { return size_ == 0; }
  std::size_t Size() const { return size_; }
  // The most nodes it has held at once (counted with the statistics).
  std::size_t Most() const { return most_; }
  // The node k places behind the front. Precondition: k < Size().
  std::int32_t Peek(std::size_t k) const { return ring_[(head_ + k) & mask_]; }
  void Push(std::int32_t x) {
    if (size_ == ring_.size()) Grow();
    ring_[(head_ + size_++) & mask_] = x;
    if constexpr (kStatistics) most_ = std::max(most_, size_);
  }
  // Precondition: !Empty().
  std::int32_t Pop() {
    std::int32_t x = ring_[head_];
    head_ = (head_ + 1) & mask_;
    --size_;
    return x;
  }

 private:
  // The first ring holds 4096 nodes, 16 KiB, the least worth a mapping of
  // its own; small graphs never grow it.
  void Grow() {
    HugeArray<std::int32_t> bigger(std::max<std::size_t>(2 * ring_.size(), 4096));
    for (std::size_t k = 0; k < size_; ++k) bigger[k] = Peek(k);
    ring_ = std::move(bigger);
    mask_ = ring_.size() - 1;
    head_ = 0;
  }

  HugeArray<std::int32_t> ring_;
  std::size_t mask_ = 0, head_ = 0, size_ = 0, most_ = 0;
};

}  // namespace wgt
