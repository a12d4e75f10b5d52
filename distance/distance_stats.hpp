// What a relaxation reports of its work, for the bench and the tests: the
// statistics, and whether the engines count more than the work that their
// budgets need.
#pragma once

#include <cstddef>
#include <cstdint>

namespace wgt {

// Whether the engines count scans, arcs scanned and the nodes that wait
// besides the work that budgets need: in the bench tools' and the tests'
// builds (WGT_STATISTICS), not in the programs', where it would cost the
// inner loops 1 to 2% of the queue's time on the bench's graphs.
#ifdef WGT_STATISTICS
constexpr bool kStatistics = true;
#else
constexpr bool kStatistics = false;
#endif

// Which engine did the work; kUndecided before any has finished.
enum class Engine : std::uint8_t { kUndecided, kPeel, kQueue, kPasses, kScaling };
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
  std::uint32_t turns = 0;               // turns taken, the peel's included
  Engine finisher = Engine::kUndecided;  // the engine that left no node waiting, or found the cycle

  // Records a turn of `engine` that did `done_work`, and whether it ended
  // the relaxation.
  void Turn(Engine engine, std::uint64_t done_work, bool finished) {
    ++turns;
    work_by[std::size_t(engine)] += done_work;
    if (finished) finisher = engine;
  }
};

}  // namespace wgt
