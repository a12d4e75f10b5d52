// Tables a node that the parts of one iteration of a refinement
// (potential_refinement.hpp) lend each other, since no two use them at the
// same time: the search for the admissible layers' components, the walks
// within them, the cut's count a layer, and the closure. A list of nodes
// and two more tables of node numbers, ahead and behind, which hold
// nothing between uses: the search's stacks, the closure's settled nodes
// and its buckets' lists (level_buckets.hpp); the improvable nodes, until
// the closure opens, and then the first node of each of its levels; a
// level a node, 0 everywhere between uses, the layers' and then the
// closure's, which each node is handed over with; and a link a node,
// which each user leaves as it found it: {kNoNode, 0} everywhere.
//
// Memory kBytesPerNode a node, on pages touched as they are used.
#pragma once

#include <cstddef>
#include <cstdint>

#include "memory.hpp"
#include "scaled_component.hpp"

namespace wgt {

struct IterationScratch {
  static constexpr std::uint64_t kBytesPerNode = 5 * sizeof(std::int32_t) + sizeof(Link);

  explicit IterationScratch(std::size_t nodes)
      : list(nodes, Touch::kSparse), ahead(nodes, Touch::kSparse), behind(nodes, Touch::kSparse),
        heads(nodes, Touch::kSparse), level(nodes, Touch::kSparse), link(nodes, Touch::kSparse) {}

  HugeArray<std::int32_t> list, ahead, behind, heads, level;
  HugeArray<Link> link;
};

}  // namespace wgt
