// The labels of a label-correcting search and its shortest-path tree, with
// Tarjan's subtree disassembly: every reached node hangs under the node
// whose scan last lowered it, and lowering a node cuts its old subtree out
// of the tree, since the labels below it are no longer backed by their
// parents. The tree is kept as a preorder thread (the nodes in depth-first
// order, linked in a circle through the root) with each node's level, so
// that a subtree is the run of nodes after its root whose levels are deeper.
// One record per node holds its label, its place in the thread, its level
// and whether it waits for a scan, so that relabelling a node touches one
// cache line.
//
// Preconditions: nodes 1..n; levels up to n fit in Tag beside three flags.
// Memory: one record a node, 16 bytes for 32-bit labels, 24 for 64-bit ones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <type_traits>
#include <vector>

#include "graph.hpp"
#include "memory.hpp"

namespace wgt {

// Marks a node not reached (yet). Labels are exact: every label is the cost
// of a simple path, fewer than 2^31 arcs of at most 2^31 each, so 64-bit
// sums cannot overflow, and 32-bit ones are used only while n times the
// largest cost magnitude stays below 2^29.
template <class Dist>
constexpr Dist INF = std::numeric_limits<Dist>::max();

template <class Dist>
class FoldedTree;

template <class Dist>
class LabelTree {
  friend class FoldedTree<Dist>;  // folds the records away and back
  // Wide enough for a level up to n: 32 bits while n < 2^29.
  using Tag = std::conditional_t<sizeof(Dist) == 4, std::uint32_t, std::uint64_t>;
  struct Node {
    Dist label;
    std::int32_t next, prev;  // preorder thread
    Tag tag;
  };

 public:
  static constexpr std::uint64_t kBytesPerNode = sizeof(Node);
  static_assert(kBytesPerNode == (sizeof(Dist) == 4 ? 16 : 24));

  LabelTree() = default;
  LabelTree(std::int32_t nodes, std::int32_t root) : node_(std::size_t(nodes) + 1) {
    for (std::size_t v = 0; v < node_.size(); ++v) node_[v].label = INF<Dist>;
    node_[root] = {0, root, root, kLevel | kInTree};
  }

  std::size_t Size() const { return node_.size(); }
  Dist Label(std::int32_t v) const { return node_[v].label; }
  // The labels, read through a pointer that a loop keeps in a register:
  // read through the tree, the compiler reloads the table's address after
  // any call it cannot see into. Valid while the tree lives.
  class Labels {
   public:
    explicit Labels(const Node* node) : node_(node) {}
    Dist operator[](std::int32_t v) const { return node_[v].label; }

   private:
    const Node* node_;
  };
  Labels LabelsView() const { return Labels(node_.data()); }
  bool InTree(std::int32_t v) const { return node_[v].tag & kInTree; }
  bool Waiting(std::int32_t v) const { return node_[v].tag & kWaiting; }
  [[gnu::always_inline]] void Prefetch(std::int32_t v) const { __builtin_prefetch(&node_[v]); }  // see graph.hpp

  // Node old_of_new[u] becomes u, the tree's shape and labels kept.
  // Preconditions: the two are inverse permutations of 0..n, 0 fixed.
  // Time O(n); memory a second table while it runs.
  template <class Numbers>
  void Renumber(const Numbers& old_of_new, const Numbers& new_of_old) {
    HugeArray<Node> moved(node_.size());
    for (std::size_t u = 0; u < node_.size(); ++u) {
      Node record = node_[std::size_t(old_of_new[u])];
      record.next = new_of_old[std::size_t(record.next)], record.prev = new_of_old[std::size_t(record.prev)];
      moved[u] = record;
    }
    node_ = std::move(moved);
  }

  // Gives v its final label, found by an engine that keeps no tree; the
  // tree is not used after that.
  void Settle(std::int32_t v, Dist label) { node_[v].label = label; }

  // Marks v as waiting for a scan; true if it was not waiting yet.
  bool Wait(std::int32_t v) {
    Tag& tag = node_[v].tag;
    bool fresh = !(tag & kWaiting);
    tag |= kWaiting;
    return fresh;
  }
  // Marks v as no longer waiting, its scan begun; true if it is to be
  // scanned, false if it was cut off the tree while it waited: its label
  // is about to drop again, and it will wait again then.
  bool StartScan(std::int32_t v) {
    Tag& tag = node_[v].tag;
    tag &= ~kWaiting;
    return tag & kInTree;
  }

  // Lowers y's label to `label` and hangs y under x, whose scan found it,
  // cutting y's old subtree out of the tree. Returns false, with the path
  // y .. x in `cycle` and nothing changed, when x lies in that subtree: the
  // arc (x, y) closes a negative cycle. Precondition: x is in the tree.
  // Time O(1 + size of y's old subtree).
  [[gnu::always_inline]] bool Lower(std::int32_t y, Dist label, std::int32_t x, std::vector<std::int32_t>& cycle) {
    Node& below = node_[y];
    if (below.tag & kInTree) {
      if (y == x) return FindPath(y, x, cycle);
      std::int32_t v = below.next;
      if (below.tag & kParent) {
        const Tag deeper = below.tag | (kLevel - 1);  // any tag above this is a deeper level
        for (; node_[v].tag > deeper; v = node_[v].next) {
          if (v == x) return FindPath(y, x, cycle);
          node_[v].tag &= ~kInTree;  // the level stays, for FindPath
        }
      }
      node_[below.prev].next = v;
      node_[v].prev = below.prev;
    }
    Node& above = node_[x];
    below.label = label;
    below.tag = ((above.tag / kLevel) + 1) * kLevel | kInTree | (below.tag & kWaiting);
    below.prev = x;
    below.next = above.next;
    node_[above.next].prev = y;
    above.next = y;
    above.tag |= kParent;
    return true;
  }

 private:
  // tag: level * kLevel | these. kParent may outlive the node's last child
  // (a cut does not clear it in the parent); it only spares a leaf the look
  // at its successor in the thread.
  static constexpr Tag kWaiting = 1, kInTree = 2, kParent = 4, kLevel = 8;

  // The tree path from y down to x, its descendant, whose subtree walk may
  // have begun. In preorder the last node met at each depth before x is x's
  // ancestor at that depth.
  bool FindPath(std::int32_t y, std::int32_t x, std::vector<std::int32_t>& path) const {
    const Tag top = node_[y].tag / kLevel;
    path.assign(1, y);
    for (std::int32_t v = y; v != x;) {
      v = node_[v].next;
      path.resize(std::size_t(node_[v].tag / kLevel - top));
      path.push_back(v);
    }
    return false;
  }

  HugeArray<Node> node_;
};

}  // namespace wgt
