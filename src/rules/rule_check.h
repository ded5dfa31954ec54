// The trade rules applied to one request: whether the player may run the exchange now, and how
// many runs the limits leave; and the ledger kept up to date with what completed.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "audit/exchange_outcome.h"
#include "rules/player_groups.h"
#include "rules/run_ledger.h"

namespace barterbox {

// The runs an attempt holds in the cluster's ledger, which count until they are confirmed or
// released; no attempt id without a Cluster block. The deadline bounds every wait of the attempt.
struct RuleHold {
    std::string Attempt;
    std::chrono::steady_clock::time_point Deadline;
};

struct RuleVerdict {
    // The multiplier the rules leave: the one asked for, a lower one, or 0 with a refusal.
    int32_t Runs = 0;
    std::optional<RuleRefusal> Refusal;
    std::optional<TradeRule> LoweredBy;
    RuleHold Hold;
};

// In the order the rules are checked: closed, groups, cooldown, Day, Week, Total, stock. Without
// rules.json every request passes as asked. With a Cluster block and `hold`, the runs it leaves
// are held in the cluster's ledger (RuleVerdict::Hold) until they are confirmed or released;
// without `hold` (a preview), the counts are read and nothing is held.
RuleVerdict CheckRules(const RuleSubject& subject, std::string_view exchange, int32_t requested,
                       RuleTime now, bool hold = true);

// Counts the runs of a completed exchange, when rules are in force, confirming those it held.
void CountCompletedRuns(const RuleSubject& subject, std::string_view exchange, int32_t runs,
                        RuleTime now, const RuleHold& hold);
// The attempt did not complete: the runs it held no longer count.
void ReleaseHeldRuns(const RuleHold& hold);

// Whether the exchange is open to the player at all: not disabled, and in its groups. The chat
// listing shows only those.
bool OpenToPlayer(const RuleSubject& subject, std::string_view exchange);

// The character states in which the exchange is refused: every state, unless rules.json's Refuse
// (the exchange's own or Default's) lists fewer.
CharacterStates StatesRefusedFor(std::string_view exchange);

// One exchange's rules as they stand for a player, for Barterbox.Limits: "day 15/20, week 15/100,
// cooldown 10m (ready in 9m 30s)"; std::nullopt when no rule applies to the exchange.
std::optional<std::string> StandingText(const RuleSubject& subject, std::string_view exchange,
                                        RuleTime now);

} // namespace barterbox
