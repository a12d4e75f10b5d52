// Why the scaling engine (scaling_engine.hpp) is exact in fixed-width
// integers, stated once and checked on the types.
//
// Exact for every input the program accepts: costs of magnitude at most
// 2^31 (B <= 32 scales, 32 for a cost of -2^31) and n < 2^31. Potentials
// only drop, and a scale that finds no negative cycle lowers them by at
// most n - 1, so they stay within (n - 1)(2^B - 1) of 0 at every doubling;
// a scale that finds one ends the engine's work before any key is formed.
// Labels are costs of simple paths, within (n - 1) 2^31 of 0. So potentials
// and labels fit 64 bits, and Dijkstra's keys, label - potential, are
// formed in 128 (the bounds below).
//
// Where a component's potentials start from labels q instead of 0, only
// labels below kStartBound in magnitude are taken, and only where they
// leave fewer scales than the costs alone, 31 at most: then the starting
// potentials, doubled up to the last scale, stay within kStartBound (and a
// rounding each doubling) of 0, what the scales lower them by within
// (n - 1)(2^31 - 1), and a reduced cost, a scaled cost plus the difference
// of two potentials, within 64 bits.
#pragma once

#include <cstdint>

#include "min_heap.hpp"

namespace wgt {

constexpr Wide kMostNodes = (Wide(1) << 31) - 1, kMostScales = 32;
constexpr Wide kPotentialBound = (kMostNodes - 1) * ((Wide(1) << kMostScales) - 1);
constexpr Wide kLabelBound = (kMostNodes - 1) * (Wide(1) << 31);
static_assert(kPotentialBound < (Wide(1) << 63) && kLabelBound < (Wide(1) << 63), "64-bit potentials and labels");
static_assert(kPotentialBound + kLabelBound < (Wide(1) << 64), "keys within the 96 bits that PackSigned gives them");

constexpr std::int64_t kStartBound = std::int64_t(1) << 59;
constexpr Wide kStarted = Wide(kStartBound) + (Wide(1) << 32);  // the start, doubled with its roundings
constexpr Wide kStartedDrop = (kMostNodes - 1) * ((Wide(1) << (kMostScales - 1)) - 1);
static_assert(kStarted + kStartedDrop < (Wide(1) << 63), "64-bit potentials from labels");
static_assert(2 * kStarted + kStartedDrop + (Wide(1) << 31) < (Wide(1) << 63), "64-bit reduced costs from them");
static_assert(kStarted + kStartedDrop + kLabelBound < (Wide(1) << 64), "and keys in 96 bits");

}  // namespace wgt
