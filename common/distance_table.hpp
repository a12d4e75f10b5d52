// A distance table whose entries are as narrow as the input allows.
#pragma once

#include <cstdint>

#include "memory.hpp"

namespace wgt {

// A distance table with 32-bit entries while every sum fits, which halves the
// memory a path search works through, else 64-bit ones. One of the two is
// filled.
struct DistanceTable {
  HugeArray<std::int32_t> narrow;
  HugeArray<std::int64_t> wide;
};

}  // namespace wgt
