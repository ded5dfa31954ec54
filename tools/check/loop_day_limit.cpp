// A loop under the Day limits; see loop_day_limit.h. A round runs exchange e r_e times, and a
// player may run it at most D_e times a day, so no more than D_e / r_e rounds a day come out of
// it; items carry over from day to day, so a round may straddle midnight and the smallest of
// these ratios, exact, is the rate.
#include "loop_day_limit.h"

#include <algorithm>

namespace barterbox::tools {

namespace {

bool ClosedToEveryone(const ExchangeRules& rules) {
    return rules.Enabled == false || (rules.Groups && rules.Groups->empty());
}

// The most runs a day that some player may make: the Day limit, or a larger one that a group in
// For grants (a player may be in any group). Nothing when there is no Day limit.
std::optional<int64_t> MostRunsADay(const ExchangeRules& rules) {
    if (!rules.Limits.Day) {
        return std::nullopt;
    }
    int64_t most = *rules.Limits.Day;
    if (rules.For) {
        for (const GroupLimits& group : *rules.For) {
            most = std::max(most, group.Limits.Day.value_or(most));
        }
    }
    return most;
}

std::string Amounts(const TradeTable& table, const TradeLoop& loop, const Rational& rounds) {
    std::string text;
    for (size_t i = 0; i < loop.Gains.size(); ++i) {
        text += i == 0 ? "" : i + 1 == loop.Gains.size() ? " and " : ", ";
        text += (Rational(loop.Gains[i].second) * rounds).str();
        text += ' ';
        text += table.Classes[loop.Gains[i].first].Name;
    }
    return text;
}

} // namespace

std::optional<std::string> LoopDayLimitText(const TradeTable& table, const TradeLoop& loop,
                                            const TradeRules& rules) {
    for (const auto& [exchange, runs] : loop.Runs) {
        const std::string& name = table.Exchanges[exchange].Name;
        if (ClosedToEveryone(RulesForExchange(rules, name))) {
            return "; rules.json closes " + name + " to every player, so no one can run the loop";
        }
    }
    std::optional<Rational> rounds;
    for (const auto& [exchange, runs] : loop.Runs) {
        const std::optional<int64_t> most =
            MostRunsADay(RulesForExchange(rules, table.Exchanges[exchange].Name));
        if (!most) {
            return std::nullopt;
        }
        const Rational ratio = Rational(*most) / Rational(runs);
        rounds = rounds ? std::min(*rounds, ratio) : ratio;
    }
    if (!rounds) {
        return std::nullopt;
    }
    std::string text = "; rules.json's Day limits allow at most ";
    text += rounds->str();
    text += *rounds == 1 ? " round a day" : " rounds a day";
    text += ", so it mints at most ";
    text += Amounts(table, loop, *rounds);
    text += " per player per day";
    return text;
}

} // namespace barterbox::tools
