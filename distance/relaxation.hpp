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
#include <vector>

#include "graph.hpp"
#include "label_tree.hpp"
#include "memory.hpp"

namespace wgt {

// Which engine did the work; kNone before any has finished.
enum class Engine : std::uint8_t { kNone, kPeel, kQueue, kPasses, kScaling };
constexpr std::size_t kEngines = 5;

// What a relaxation did, for the bench and the tests.
struct DistanceStats {
  std::uint64_t scans = 0;         // scans of a node's row, by every engine
  std::uint64_t arcs_scanned = 0;  // the arcs of those scans
  // Work: a scan of a node costs 1 plus its arcs; the scaling engine counts
  // the nodes and arcs its passes visit in the same units. Budgets are
  // spent in it.
  std::uint64_t work = 0;
  std::uint64_t work_by[kEngines] = {};
  std::uint64_t most_waiting = 0;  // the most nodes waiting for a scan at once
  std::uint32_t turns = 0;         // turns taken by the engines that take turns
  Engine finisher = Engine::kNone;  // the engine that left no node waiting, or found the cycle
};

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

// The work of lowering a label beyond the arc's: the node is hung anew in
// the tree and its old subtree cut out, which touches three or four records
// scattered over memory where the arc's scan touched one.
constexpr std::uint64_t kLowerWork = 4;

// How a scan step ended.
enum class Scanned { kDone, kPaused, kNegativeCycle };

// How many scans ahead an engine that knows its next nodes fetches their
// rows. A scan of a row of a few arcs takes some 10 ns and a miss to memory
// about 100 ns, so 16 scans ahead hide one miss; each fetch needs what the
// one before it brought: a row's bounds are fetched 32 scans ahead, the row
// 16, and the records of its heads 8, once the row has arrived.
constexpr std::size_t kAhead = 16;

// Fetches what the scans to come will touch; upcoming(k) is the node k
// scans ahead, or 0 where the engine cannot tell yet, and head(v) fetches
// what the engine reads of a head v besides its record. Inlined by force:
// GCC would otherwise judge a function of prefetches alone free of effects
// and drop its calls.
template <class Dist, class Upcoming, class Head>
[[gnu::always_inline]] inline void PrefetchAhead(const Graph& g, const LabelTree<Dist>& tree, Upcoming upcoming,
                                                 Head head) {
  if (const std::int32_t later = upcoming(2 * kAhead)) g.PrefetchBounds(later);
  if (const std::int32_t next = upcoming(kAhead)) {
    g.PrefetchRow(next);
    tree.Prefetch(next);
  }
  const std::int32_t soon = upcoming(kAhead / 2);
  if (soon != 0 && tree.InTree(soon))  // a node cut off the tree will be skipped
    for (const Arc& a : g[soon]) tree.Prefetch(a.to), head(a.to);
}
template <class Dist, class Upcoming>
[[gnu::always_inline]] inline void PrefetchAhead(const Graph& g, const LabelTree<Dist>& tree, Upcoming upcoming) {
  PrefetchAhead(g, tree, upcoming, [](std::int32_t) {});
}

template <class Dist>
class Relaxation {
 public:
  // Labels from `source`, which alone is reached and waits.
  Relaxation(const Graph& g, std::int32_t from, LabelTree<Dist>& labels, DistanceStats& statistics)
      : graph(g), source(from), tree(labels), waiting(g.NodeCount() + 1), stats(statistics) {
    tree = LabelTree<Dist>(std::int32_t(g.NodeCount()), source);
    tree.Wait(source);
    waiting.Add(source);
  }

  // The scan step: relaxes x's arcs from row position `next` on; lowered(y)
  // hears of every head it lowers and hangs under x, and returns false to
  // pause the scan there, `next` then standing after that arc (a scan
  // paused after its last arc ends when resumed). The work of
  // the whole row is counted when the scan begins (next == 0). Stops at an
  // arc that closes a negative cycle, with the cycle in `cycle`. x's label
  // holds throughout: lowering it would close a cycle. Precondition: x is
  // in the tree and its scan has begun (LabelTree::StartScan).
  template <class Lowered>
  [[gnu::always_inline]] Scanned Scan(std::int32_t x, std::uint32_t& next, Lowered lowered) {
    const auto row = graph[x];
    if (next == 0) {
      ++stats.scans;
      stats.arcs_scanned += row.size();
      stats.work += 1 + row.size();
    }
    const Dist from = tree.Label(x);
    for (const Arc *a = row.data() + next, *end = row.data() + row.size(); a != end; ++a) {
      const Dist through = from + Dist(a->cost);
      if (through >= tree.Label(a->to)) continue;
      next = std::uint32_t(a + 1 - row.data());
      if (!tree.Lower(a->to, through, x, cycle)) return Scanned::kNegativeCycle;
      stats.work += kLowerWork;
      if (!lowered(a->to)) return Scanned::kPaused;
    }
    next = std::uint32_t(row.size());
    return Scanned::kDone;
  }
  // The whole row, never paused. Returns false at a negative cycle.
  template <class Lowered>
  [[gnu::always_inline]] bool ScanAll(std::int32_t x, Lowered lowered) {
    std::uint32_t next = 0;
    return Scan(x, next, [&](std::int32_t y) {
             lowered(y);
             return true;
           }) != Scanned::kNegativeCycle;
  }

  void NoteWaiting(std::uint64_t count) { stats.most_waiting = std::max(stats.most_waiting, count); }

  const Graph& graph;
  const std::int32_t source;
  LabelTree<Dist>& tree;
  WaitingList waiting;
  std::vector<std::int32_t> cycle;  // y .. x, closed by the arc (x, y), once found
  DistanceStats& stats;
};

}  // namespace wgt
