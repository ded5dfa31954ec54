// The search for item generators: sets of exchanges that, run in some proportion, leave a player
// with at least as much of every item class and strictly more of at least one.
#pragma once

#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "exact_simplex.h"
#include "finding.h"
#include "rules/trade_rules.h"
#include "trade_table.h"

namespace barterbox::tools {

// One loop in whole numbers: how often each exchange runs in one round, what the round gains, and
// which class pays which Give entry.
struct TradeLoop {
    std::vector<std::pair<size_t, BigInteger>> Runs;   // exchange, runs; in the table's order
    std::vector<std::pair<size_t, BigInteger>> Gains;  // class, gain; only classes that grow
    std::set<std::tuple<size_t, size_t, size_t>> Paid; // exchange, Give entry, class
};

struct LoopSearch {
    std::vector<TradeLoop> Loops;
    bool Stopped = false; // the deadline came before the search had looked everywhere
};

// Every loop once: the best one among the exchanges left, then again without its exchanges, until
// none is left. Exact, so a cycle that only breaks even is no loop. At the deadline it stops with
// the loops it has found.
LoopSearch FindLoops(const TradeTable& table, Deadline deadline = std::nullopt);

// One error per loop, at the first exchange in it; with rules.json's rules, what its Day limits
// leave of the loop.
std::vector<Finding> LoopFindings(const std::string& fileName, const TradeTable& table,
                                  const std::vector<TradeLoop>& loops, const TradeRules* rules);

} // namespace barterbox::tools
