// The label tree (label_tree.hpp) folded away while an engine that keeps no
// tree of its own runs: each node's label, its parent in the tree (0 where
// it is not in the tree) and whether it waits. Folding back gives a tree
// with the same labels, parents, levels and marks, its children in order
// of their numbers; the label-correcting engines then do the very same
// work as on the tree that was folded, since what a lowering cuts and
// which path closes a cycle depend on the parents alone, not on the order
// of siblings in the thread.
//
// Preconditions: nodes 1..n, the tree's root `root`; the tree as turns
// leave it, not as it stands where a cycle closed. Time O(n) each way.
// Memory kBytesPerNode a node at most, where the tree takes 16 or 24: 8
// where every label fits in 32 bits; on pages of 4 KiB, which need no
// alignment. Folding back adds kUnfoldBytesPerNode a node while it runs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <utility>

#include "label_tree.hpp"
#include "memory.hpp"

namespace wgt {

template <class Dist>
class FoldedTree {
  using Tree = LabelTree<Dist>;
  static constexpr std::uint32_t kWaiting = std::uint32_t(1) << 31;  // beside a parent below 2^31

 public:
  static constexpr std::uint64_t kBytesPerNode = sizeof(Dist) + sizeof(std::uint32_t);
  static constexpr std::uint64_t kUnfoldBytesPerNode = 3 * sizeof(std::uint32_t);

  FoldedTree() = default;
  // Folds `tree` away, which is left empty.
  FoldedTree(Tree& tree, std::int32_t root) : above_(tree.Size(), Touch::kSparse) {
    auto& node = tree.node_;
    bool narrow = true;
    for (std::size_t v = 0; v < node.size(); ++v) narrow = narrow && Narrow(node[v].label);
    if (narrow)
      narrow_ = HugeArray<std::int32_t>(node.size(), Touch::kSparse);
    else
      wide_ = HugeArray<Dist>(node.size(), Touch::kSparse);
    for (std::size_t v = 0; v < node.size(); ++v)
      SetLabel(v, node[v].label), above_[v] = node[v].tag & Tree::kWaiting ? kWaiting : 0;
    // In preorder, a node's parent is the last node met one level up: the
    // node before it, or one of that node's ancestors. A climb passes only
    // nodes whose subtrees are over, so all climbs take O(n) steps.
    above_[std::size_t(root)] |= std::uint32_t(root);
    for (std::int32_t before = root, v = node[std::size_t(root)].next; v != root; before = v, v = node[std::size_t(v)].next) {
      std::int32_t parent = before;
      for (auto level = Level(node, before); level >= Level(node, v); --level) parent = Parent(parent);
      above_[std::size_t(v)] |= std::uint32_t(parent);
    }
    tree = Tree();
  }

  Dist Label(std::int32_t v) const {
    if (wide_.size() > 0) return wide_[std::size_t(v)];
    const std::int64_t label = narrow_[std::size_t(v)];
    return label == kNarrowInf ? INF<Dist> : Dist(label);
  }

  // Node old_of_new[u] becomes u. Preconditions: the two are inverse
  // permutations of 0..n, 0 fixed. Memory a second table while it runs.
  template <class Numbers>
  void Renumber(const Numbers& old_of_new, const Numbers& new_of_old) {
    Permute(narrow_, old_of_new), Permute(wide_, old_of_new);
    HugeArray<std::uint32_t> above(above_.size(), Touch::kSparse);
    for (std::size_t u = 0; u < above_.size(); ++u) {
      const std::size_t v = std::size_t(old_of_new[u]);
      const std::uint32_t parent = above_[v] & ~kWaiting;
      above[u] = (above_[v] & kWaiting) | std::uint32_t(new_of_old[parent]);
    }
    above_ = std::move(above);
  }

  // Folds the tree back, rooted at `root`; this is left empty.
  Tree Unfold(std::int32_t root) && {
    const std::size_t size = above_.size();
    Tree tree;
    tree.node_ = HugeArray<typename Tree::Node>(size);
    auto& node = tree.node_;
    for (std::size_t v = 0; v < size; ++v)
      node[v] = {Label(std::int32_t(v)), 0, 0, above_[v] & kWaiting ? Tree::kWaiting : typename Tree::Tag(0)};
    narrow_ = HugeArray<std::int32_t>(), wide_ = HugeArray<Dist>();
    // The children of each node, in order of their numbers: those of p at
    // child[first[p] .. first[p + 1]).
    HugeArray<std::uint32_t> first(size + 1), child(size), next(size);
    for (std::size_t v = 1; v < size; ++v)
      if (v != std::size_t(root) && Parent(std::int32_t(v)) != 0) ++first[std::size_t(Parent(std::int32_t(v))) + 1];
    for (std::size_t p = 1; p <= size; ++p) first[p] += first[p - 1];
    for (std::size_t p = 0; p < size; ++p) next[p] = first[p];
    for (std::size_t v = 1; v < size; ++v)
      if (v != std::size_t(root) && Parent(std::int32_t(v)) != 0) child[next[std::size_t(Parent(std::int32_t(v)))]++] = std::uint32_t(v);
    for (std::size_t p = 0; p < size; ++p) next[p] = first[p];
    // Depth first from the root, threading each node after the one before.
    std::int32_t last = root;
    node[std::size_t(root)].tag |= Tree::kLevel | Tree::kInTree;
    for (std::int32_t v = root;;) {
      const std::size_t at = std::size_t(v);
      if (first[at + 1] > first[at]) node[at].tag |= Tree::kParent;
      if (next[at] == first[at + 1]) {
        if (v == root) break;
        v = Parent(v);
        continue;
      }
      const std::int32_t c = std::int32_t(child[next[at]++]);
      node[std::size_t(c)].tag |= (node[at].tag / Tree::kLevel + 1) * Tree::kLevel | Tree::kInTree;
      node[std::size_t(c)].prev = last, node[std::size_t(last)].next = c;
      last = v = c;
    }
    node[std::size_t(last)].next = root, node[std::size_t(root)].prev = last;
    above_ = HugeArray<std::uint32_t>();
    return tree;
  }

 private:
  // Labels are kept in 32 bits where every one fits, "unreached" as kNarrowInf.
  static constexpr std::int32_t kNarrowInf = std::numeric_limits<std::int32_t>::max();
  static bool Narrow(Dist label) { return label == INF<Dist> || (label >= std::numeric_limits<std::int32_t>::min() && label < kNarrowInf); }
  void SetLabel(std::size_t v, Dist label) {
    if (wide_.size() > 0)
      wide_[v] = label;
    else
      narrow_[v] = label == INF<Dist> ? kNarrowInf : std::int32_t(label);
  }
  template <class T, class Numbers>
  static void Permute(HugeArray<T>& table, const Numbers& old_of_new) {
    if (table.size() == 0) return;
    HugeArray<T> permuted(table.size(), Touch::kSparse);
    for (std::size_t u = 0; u < table.size(); ++u) permuted[u] = table[std::size_t(old_of_new[u])];
    table = std::move(permuted);
  }
  std::int32_t Parent(std::int32_t v) const { return std::int32_t(above_[std::size_t(v)] & ~kWaiting); }
  static auto Level(const HugeArray<typename Tree::Node>& node, std::int32_t v) { return node[std::size_t(v)].tag / Tree::kLevel; }

  HugeArray<std::int32_t> narrow_;  // the labels, where every one fits
  HugeArray<Dist> wide_;            // else
  HugeArray<std::uint32_t> above_;  // parent | kWaiting
};

}  // namespace wgt
