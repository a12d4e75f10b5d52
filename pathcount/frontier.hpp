// One end of a cheapest-path count: Dijkstra's method from a node, with a
// lazy heap (min_heap.hpp) whose outdated entries stay in it and are skipped
// when they surface, and a path count beside each distance. Nodes are
// settled in (distance, node) order. A count searches from one end or from
// both (path_count.hpp), and stops as soon as the count at the other end is
// final, so an end settles only the nodes it must.
//
// Distances are kept as Inf minus the distance ("reach"): a table of zero
// bytes then reads "not reached", so it needs no filling and costs nothing
// where the search never goes, and a nearer node has a larger reach.
//
// Preconditions: costs of 0 or more; reach and count tables of n + 1
// entries, all zero, owned by the caller; every distance below Inf<Dist>.
// Time O((n + m) log n) for a whole search; memory (kBytesPerNode) at most
// two heap entries a node (outdated entries are dropped when the heap is
// full), the reach, and, for the end that keeps its meeting layer, one node
// number a node.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>

#include "graph.hpp"
#include "memory.hpp"
#include "min_heap.hpp"

namespace wgt {

template <class Dist>
constexpr Dist Inf = std::numeric_limits<Dist>::max();

// A distance that no path has: every real one is at most n * C < 2^62, so
// sums of two of these fit 64 bits.
constexpr std::uint64_t kNoDistance = std::uint64_t(1) << 62;

// When a node's count is formed. On the way (kOnTheWay): copied on every
// strict improvement and summed on every tie, as nodes are settled in
// (distance, node) order; edges of cost 0 are counted in that order with no
// further correction. At settling (kAtSettling), where every cost is at
// least 1: the sum over the node's arcs from nodes settled at its distance
// less the cost, all of which are settled by then. The second writes counts
// only for settled nodes, not for every node reached.
enum class Counting { kOnTheWay, kAtSettling };

// kKeepsLayer: the end keeps the nodes it settled at the last distance it
// settled, which ForEachFrom visits (counting at settling); the end that
// never calls it keeps none.
template <class Dist, class Key, Counting kCounting, bool kKeepsLayer>
class Frontier {
  static_assert(!kKeepsLayer || kCounting == Counting::kAtSettling);

 public:
  static constexpr std::uint64_t kBytesPerNode =
      sizeof(Dist) + 2 * sizeof(Key) + (kKeepsLayer ? sizeof(std::int32_t) : 0);

  Frontier(const Graph& g, std::int32_t from, HugeArray<Dist>& reach, HugeArray<std::uint64_t>& count)
      : g_(g), from_(from), reach_(reach), count_(count), heap_(2 * reach.size()),
        layer_(kKeepsLayer ? reach.size() : 0, Touch::kSparse) {
    reach_[from] = Inf<Dist>;
    count_[from] = 1;
    heap_.Push(Pack<Key>(0, from));
  }

  bool Reached(std::int32_t v) const { return reach_[v] != 0; }
  std::uint64_t Distance(std::int32_t v) const { return Reached(v) ? std::uint64_t(Inf<Dist> - reach_[v]) : kNoDistance; }
  // Counting at settling, the paths into v over its arcs from nodes one
  // cost nearer: with every cost at least 1, those are settled, and their
  // counts final, once v's distance is not above the next key. The end
  // itself has one path. (SettleNext gathers the same sum for the node it
  // settles while it relaxes the row.)
  std::uint64_t Count(std::int32_t v) const {
    if (v == from_) return 1;
    std::uint64_t paths = 0;
    for (const Arc& a : g_[v])
      if (reach_[a.to] - Dist(a.cost) == reach_[v]) paths += count_[a.to];
    return paths;
  }
  std::uint64_t ArcsScanned() const { return arcs_scanned_; }
  std::uint64_t Settled() const { return settled_; }
  // Calls visit(v) for every node reached at distance `next` or more, where
  // `next` is what Next() returned (counting at settling): those waiting in
  // the heap, and those already settled at `next`.
  template <class Visit>
  void ForEachFrom(std::uint64_t next, Visit visit) const requires kKeepsLayer {
    for (std::size_t i = 1; i <= heap_.Size(); ++i)
      if (Current(heap_.At(i))) visit(NodeOf(heap_.At(i)));
    if (layer_key_ == next)
      for (std::size_t i = 0; i < layer_size_; ++i) visit(layer_[i]);
  }

  // Drops outdated entries; the distance of the next node to settle, or
  // kNoDistance when none is left. Precedes every call to SettleNext.
  std::uint64_t Next() {
    for (; !heap_.Empty(); heap_.Pop())
      if (Current(heap_.At(1))) return std::uint64_t(heap_.At(1) >> 32);
    return kNoDistance;
  }

  // Settles the next node and relaxes its row; lowered(y, distance) follows
  // every strict improvement.
  template <class Lowered>
  void SettleNext(Lowered lowered) {
    const Key top = heap_.Pop();
    const std::int32_t x = NodeOf(top);
    // The next node out is at the top, the one after it at position 2 or
    // 3 unless x's arcs push a nearer one: fetch their rows while x is
    // relaxed (their bounds were fetched when they were pushed).
    for (std::size_t i = 1; i <= 3 && i <= heap_.Size(); ++i) g_.PrefetchRow(NodeOf(heap_.At(i)));
    const auto row = g_[x];
    for (const Arc& a : row) __builtin_prefetch(&reach_[a.to]);  // overlap the misses
    if constexpr (kKeepsLayer) {
      if (std::uint64_t(top >> 32) != layer_key_) layer_key_ = std::uint64_t(top >> 32), layer_size_ = 0;
      layer_[layer_size_++] = x;
    }
    ++settled_;
    arcs_scanned_ += row.size();
    const Dist from = reach_[x];  // x is final: only its count can still grow, through a self-loop of cost 0
    std::uint64_t paths = x == from_;  // counting at settling: Count(x), gathered in this pass
    for (const Arc& a : row) {
      const Dist through = from - Dist(a.cost), there = reach_[a.to];
      if (through > there) {
        reach_[a.to] = through;
        if constexpr (kCounting == Counting::kOnTheWay) count_[a.to] = count_[x];
        Push(Pack<Key>(Inf<Dist> - through, a.to));
        g_.PrefetchBounds(a.to);
        lowered(a.to, std::uint64_t(Inf<Dist> - through));
      } else if constexpr (kCounting == Counting::kOnTheWay) {
        if (through == there) count_[a.to] += count_[x];
      } else if (there - Dist(a.cost) == from) {  // a.to is one cost nearer, so settled
        paths += count_[a.to];
      }
    }
    if constexpr (kCounting == Counting::kAtSettling) count_[x] = paths;
  }

 private:
  // The heap holds at most twice the nodes: each node has at most one
  // current entry, and when it is full the outdated ones go, at least half
  // of them, so that dropping them costs O(1) a push. Keys are unique, so
  // the order of the current entries is what it would have been.
  void Push(Key key) {
    if (heap_.Full()) heap_.Filter([this](Key entry) { return Current(entry); });
    heap_.Push(key);
  }
  // Whether a heap entry still holds its node's distance.
  bool Current(Key key) const { return Dist(key >> 32) == Inf<Dist> - reach_[NodeOf(key)]; }

  const Graph& g_;
  std::int32_t from_;
  HugeArray<Dist>& reach_;
  HugeArray<std::uint64_t>& count_;
  MinHeap<Key> heap_;
  HugeArray<std::int32_t> layer_;  // the nodes settled at layer_key_, where kept
  std::size_t layer_size_ = 0;
  std::uint64_t layer_key_ = kNoDistance;
  std::uint64_t arcs_scanned_ = 0;
  std::uint64_t settled_ = 0;
};

}  // namespace wgt
