// How far rules.json's Day limits hold a loop that mints items: the most rounds a day that any
// player may run, and so the most the loop mints per player per day.
#pragma once

#include <optional>
#include <string>

#include "loop_check.h"
#include "rules/trade_rules.h"
#include "trade_table.h"

namespace barterbox::tools {

// "; rules.json's Day limits allow at most 20 rounds a day, so it mints at most 20 B_C per player
// per day", to follow the loop's own text; or what closes it. Nothing when some exchange of the
// loop has no Day limit for some player.
std::optional<std::string> LoopDayLimitText(const TradeTable& table, const TradeLoop& loop,
                                            const TradeRules& rules);

} // namespace barterbox::tools
