// A binary min-heap of keys with a capacity fixed up front. Keys pack a
// distance above a node number (Pack), so that they order by distance and
// then by node, as one integer: 64 bits for 32-bit distances, 128 for
// 64-bit ones. The root is at index 1, so that the eight great-grandchildren
// of i, 8i..8i+7, fill one cache line: a pop prefetches three and four
// levels ahead of where it stands.
//
// Push and Pop O(log size), Filter O(size); memory one key per entry of the
// capacity, on small pages touched only as the heap grows.
#pragma once

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>

#include "memory.hpp"

namespace wgt {

__extension__ using Wide = unsigned __int128;

template <class Key>
Key Pack(std::int64_t dist, std::int32_t node) {
  return Key(dist) << 32 | Key(std::uint32_t(node));
}
template <class Key>
std::int32_t NodeOf(Key key) {
  return std::int32_t(std::uint32_t(key));
}
// Distances of either sign below 2^64 in magnitude in 128-bit keys,
// offset by 2^64, so that they order as unsigned integers as they do as
// signed ones, in the 96 bits above the node.
__extension__ using SignedWide = __int128;
inline Wide PackSigned(SignedWide dist, std::int32_t node) {
  return Wide(dist + (SignedWide(1) << 64)) << 32 | Wide(std::uint32_t(node));
}
inline SignedWide SignedDistanceOf(Wide key) { return SignedWide(key >> 32) - (SignedWide(1) << 64); }

template <class Key>
class MinHeap {
 public:
  // Small pages: a heap that holds few entries touches few.
  explicit MinHeap(std::size_t capacity) : a_(capacity + 1, Touch::kSparse) {}
  bool Empty() const { return size_ == 0; }
  std::size_t Size() const { return size_; }
  // Entry i in heap order, 1 being the smallest. Precondition: 1 <= i <= Size().
  Key At(std::size_t i) const { return a_[i]; }
  bool Full() const { return size_ + 1 == a_.size(); }
  std::size_t Capacity() const { return a_.size() - 1; }
  // Keeps the entries for which keep(key) holds, in heap order again.
  // Time O(Size()).
  template <class Keep>
  void Filter(Keep keep) {
    std::size_t kept = 0;
    for (std::size_t i = 1; i <= size_; ++i)
      if (keep(a_[i])) a_[++kept] = a_[i];
    size_ = kept;
    for (std::size_t i = size_ / 2; i >= 1; --i) SiftDown(i, a_[i]);
  }
  // Precondition: !Full().
  void Push(Key key) {
    assert(!Full());
    std::size_t i = ++size_;
    for (; i > 1 && key < a_[i / 2]; i /= 2) a_[i] = a_[i / 2];
    a_[i] = key;
  }
  // Precondition: !Empty().
  Key Pop() {
    assert(!Empty());
    Key top = a_[1];
    const Key last = a_[size_--];
    SiftDown(1, last);
    return top;
  }

 private:
  // Places `last` at i or below, moving smaller children up.
  void SiftDown(std::size_t i, Key last) {
    for (std::size_t child; (child = 2 * i) <= size_; i = child) {
      // Never past the end: pages there were never touched, and on small
      // pages every such prefetch costs a page walk.
      __builtin_prefetch(&a_[std::min(8 * i, size_)]);
      __builtin_prefetch(&a_[std::min(16 * i, size_)]);
      __builtin_prefetch(&a_[std::min(16 * i + 8, size_)]);
      child += child < size_ && a_[child + 1] < a_[child];
      if (!(a_[child] < last)) break;
      a_[i] = a_[child];
    }
    a_[i] = last;
  }

  HugeArray<Key> a_;
  std::size_t size_ = 0;
};

}  // namespace wgt
