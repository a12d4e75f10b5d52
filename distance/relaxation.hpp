// What the label-correcting engines of the distance program share: the
// graph, the label tree, the list of nodes that wait between turns, the
// negative cycle once one is found, the statistics, and the one scan step
// that every engine takes, which counts the work that budgets are spent in.
//
// Memory: the waiting list, 4 bytes a node on pages touched as it fills.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "graph.hpp"
#include "distance_stats.hpp"
#include "label_tree.hpp"
#include "memory.hpp"

namespace wgt {

// The nodes that wait for a scan between engines' turns, each at most once.
class WaitingList {
 public:
  static constexpr std::uint64_t kBytesPerNode = sizeof(std::int32_t);

  explicit WaitingList(std::size_t nodes) : node_(nodes, Touch::kSparse) {}
  bool Empty() const { return count_ == 0; }
  std::size_t Size() const { return count_; }
  std::int32_t operator[](std::size_t i) const { return node_[i]; }
  // Precondition: v is not in the list, so that it never holds more than
  // one entry a node.
  void Add(std::int32_t v) { node_[count_++] = v; }
  void Clear() { count_ = 0; }
  // Hands back the pages that a fuller list touched, for a turn that adds none.
  void Release() { node_.Release(count_); }
  // Renames every entry v as to(v), in order.
  template <class To>
  void Map(To to) {
    for (std::size_t i = 0; i < count_; ++i) node_[i] = to(node_[i]);
  }
  // Keeps the entries for which keep(v) holds, in order.
  template <class Keep>
  void Filter(Keep keep) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < count_; ++i)
      if (keep(node_[i])) node_[kept++] = node_[i];
    count_ = kept;
  }

 private:
  HugeArray<std::int32_t> node_;
  std::size_t count_ = 0;
};

// What a turn's scans did, counted where the compiler can keep it in
// registers, and added to the statistics at the turn's end.
struct ScanTally {
  std::uint64_t scans = 0, arcs = 0, work = 0;
};

// The work of lowering a label beyond the arc's: the node is hung anew in
// the tree and its old subtree cut out, which touches records scattered
// over memory where the arc's scan touched one. At 2, the budgets of the
// label-correcting engines run out early where nearly every arc scanned
// lowers its head, as on the tails, where a unit of their work costs five
// times what it costs elsewhere; and not yet where a queue about to find a
// negative cycle lowers many labels on its way, as on a ring of negative
// cost woven through a random graph.
constexpr std::uint64_t kLowerWork = 2;

// How a scan step ended.
enum class Scanned { kDone, kPaused, kNegativeCycle };

// How many scans ahead an engine that knows its next nodes fetches their
// rows. A scan of a row of a few arcs takes some 10 ns and a miss to memory
// about 100 ns, so 16 scans ahead hide one miss; each fetch needs what the
// one before it brought: a row's bounds are fetched 32 scans ahead, the row
// 16, and the records of its heads 8, once the row has arrived.
constexpr std::size_t kAhead = 16;

// Fetches what the scans to come will touch, for an engine whose next nodes
// stand in `upcoming` (queue.Peek(k), k < queue.Size(), the node k scans
// ahead); head(v) fetches what the engine reads of a head v besides its
// record. Inlined by force: GCC would otherwise judge a function of
// prefetches alone free of effects and drop its calls.
template <class Dist, class Upcoming, class Head>
[[gnu::always_inline]] inline void PrefetchAhead(const Graph& g, const LabelTree<Dist>& tree, const Upcoming& upcoming,
                                                 Head head) {
  if (upcoming.Size() > 2 * kAhead) g.PrefetchBounds(upcoming.Peek(2 * kAhead));
  if (upcoming.Size() > kAhead) {
    g.PrefetchRow(upcoming.Peek(kAhead));
    tree.Prefetch(upcoming.Peek(kAhead));
  }
  if (upcoming.Size() > kAhead / 2) {
    const std::int32_t soon = upcoming.Peek(kAhead / 2);
    if (tree.InTree(soon))  // a node cut off the tree will be skipped
      for (const Arc& a : g[soon]) tree.Prefetch(a.to), head(a.to);
  }
}
template <class Dist, class Upcoming>
[[gnu::always_inline]] inline void PrefetchAhead(const Graph& g, const LabelTree<Dist>& tree, const Upcoming& upcoming) {
  PrefetchAhead(g, tree, upcoming, [](std::int32_t) {});
}

template <class Dist>
class Relaxation {
 public:
  // Labels from `source`, which alone is reached and waits.
  Relaxation(Graph& g, std::int32_t from, LabelTree<Dist>& labels, DistanceStats& statistics)
      : graph(g), source(from), tree(labels), waiting(g.NodeCount() + 1), stats(statistics) {
    tree = LabelTree<Dist>(std::int32_t(g.NodeCount()), source);
    tree.Wait(source);
    waiting.Add(source);
  }

  // The scan step, in two forms: the whole row, or from row position `next`
  // on with a pause at each lowering that lowered(y) asks for. Each arc
  // (x, y) whose cost lowers y's label lowers it and hangs y under x; then
  // lowered(y) hears of it. x's label holds throughout: lowering it would
  // close a cycle. The scan and the work of the whole row are counted in
  // `tally` when the scan begins, the work of each lowering as it happens.
  // Both stop at an arc that closes a negative cycle, with the cycle in
  // `cycle`. Precondition: x is in the tree and its scan has begun
  // (LabelTree::StartScan).
  //
  // The whole row; false at a negative cycle. Its own loop, so that the
  // compiler keeps the queue's loop around it in registers.
  template <class Lowered>
  [[gnu::always_inline]] bool ScanAll(std::int32_t x, ScanTally& tally, Lowered lowered) {
    return ScanAll(x, tally, lowered, [](std::int32_t) {});
  }
  // The whole row, after `visit` has seen each arc's head.
  template <class Lowered, class Visit>
  [[gnu::always_inline]] bool ScanAll(std::int32_t x, ScanTally& tally, Lowered lowered, Visit visit) {
    const auto label = tree.LabelsView();
    const Dist from = label[x];
    for (const Arc& a : Begin(x, tally)) {
      visit(a.to);
      const Dist through = from + Dist(a.cost);
      if (through >= label[a.to]) continue;
      if (!Lower(a.to, through, x, tally)) return false;
      lowered(a.to);
    }
    return true;
  }
  // From `next` on: lowered(y) returns false to pause the scan there,
  // `next` then standing after that arc (a scan paused after its last arc
  // ends when resumed).
  template <class Lowered>
  [[gnu::always_inline]] Scanned Scan(std::int32_t x, std::uint32_t& next, ScanTally& tally, Lowered lowered) {
    const auto row = next == 0 ? Begin(x, tally) : graph[x];
    const auto label = tree.LabelsView();
    const Dist from = label[x];
    for (const Arc *a = row.data() + next, *end = row.data() + row.size(); a != end; ++a) {
      const Dist through = from + Dist(a->cost);
      if (through >= label[a->to]) continue;
      if (!Lower(a->to, through, x, tally)) return Scanned::kNegativeCycle;
      if (!lowered(a->to)) {
        next = std::uint32_t(a + 1 - row.data());
        return Scanned::kPaused;
      }
    }
    next = std::uint32_t(row.size());
    return Scanned::kDone;
  }

  // Adds a turn's tally, and the most nodes that waited at once in it.
  void Record(const ScanTally& tally, std::uint64_t most_waiting) {
    stats.scans += tally.scans, stats.arcs_scanned += tally.arcs, stats.work += tally.work;
    stats.most_waiting = std::max(stats.most_waiting, most_waiting);
  }

  Graph& graph;          // renumbered only by SharedNumbering, with the rest
  std::int32_t source;
  LabelTree<Dist>& tree;
  WaitingList waiting;
  std::vector<std::int32_t> cycle;  // y .. x, closed by the arc (x, y), once found
  DistanceStats& stats;

 private:
  // A scan of x begins: its row, counted.
  [[gnu::always_inline]] std::span<const Arc> Begin(std::int32_t x, ScanTally& tally) {
    const auto row = graph[x];
    if constexpr (kStatistics) ++tally.scans, tally.arcs += row.size();
    tally.work += 1 + row.size();
    return row;
  }
  // Lowers y to `label` under x, counted; false where that closes a cycle.
  [[gnu::always_inline]] bool Lower(std::int32_t y, Dist label, std::int32_t x, ScanTally& tally) {
    tally.work += kLowerWork;
    return tree.Lower(y, label, x, cycle);
  }
};

}  // namespace wgt
