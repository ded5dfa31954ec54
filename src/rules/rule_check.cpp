// The rule check; see rule_check.h.
#include "rule_check.h"

#include "rules/message_texts.h"

#include <algorithm>
#include <array>

#include <fmt/format.h>

#include "catalogue/exchange_definition.h"
#include "rules/rule_duration.h"
#include "rules/rules_state.h"
#include "rules/trade_rules.h"

namespace barterbox {
namespace {

using std::chrono::ceil;

// The groups a check asks about: the exchange's Groups, then those of For, in one question to
// the Permissions plugin.
struct Memberships {
    bool InGroups = true; // in one of Groups, or Groups unset
    std::vector<bool> InFor;
};

Memberships MembershipsFor(const RuleSubject& subject, const ExchangeRules& rules) {
    std::vector<std::string> groups = rules.Groups.value_or(std::vector<std::string>{});
    const size_t inGroups = groups.size();
    for (const GroupLimits& group : rules.For.value_or(std::vector<GroupLimits>{})) {
        groups.push_back(group.Group);
    }
    Memberships memberships;
    if (groups.empty()) {
        return memberships;
    }
    const std::vector<bool> answers = GroupMemberships(subject, groups);
    const auto forBegin = answers.begin() + static_cast<std::ptrdiff_t>(inGroups);
    memberships.InGroups = !rules.Groups || std::find(answers.begin(), forBegin, true) != forBegin;
    memberships.InFor.assign(forBegin, answers.end());
    return memberships;
}

// The exchange's own limits, each field made the most generous that a group of the player's in
// For sets: the shortest cooldown, the largest limit.
RunLimits LimitsFor(const ExchangeRules& rules, const std::vector<bool>& inFor) {
    RunLimits limits = rules.Limits;
    if (!rules.For) {
        return limits;
    }
    RunLimits granted;
    const auto mostGenerous = [](auto& best, const auto& offered, auto better) {
        if (offered && (!best || better(*offered, *best))) {
            best = offered;
        }
    };
    for (size_t index = 0; index < inFor.size(); ++index) {
        if (!inFor[index]) {
            continue;
        }
        const RunLimits& offered = (*rules.For)[index].Limits;
        mostGenerous(granted.Cooldown, offered.Cooldown, std::less<>{});
        mostGenerous(granted.Day, offered.Day, std::greater<>{});
        mostGenerous(granted.Week, offered.Week, std::greater<>{});
        mostGenerous(granted.Total, offered.Total, std::greater<>{});
    }
    limits.Cooldown = granted.Cooldown ? granted.Cooldown : limits.Cooldown;
    limits.Day = granted.Day ? granted.Day : limits.Day;
    limits.Week = granted.Week ? granted.Week : limits.Week;
    limits.Total = granted.Total ? granted.Total : limits.Total;
    return limits;
}

// What one counted rule leaves: its limit and the runs already used.
struct Allowance {
    TradeRule Rule;
    int64_t Limit;
    int64_t Used;
};

// Everything a player's request is measured against, for one exchange, now.
struct Standing {
    const ExchangeRules* Rules = nullptr;
    RunLimits Limits;
    bool Closed = false;
    bool OutsideGroups = false;
    std::optional<RuleSeconds> CooldownLeft;
    std::vector<Allowance> Allowances; // in the order they are checked
    std::optional<RuleSeconds> RestockIn;
};

std::optional<RuleSeconds> CooldownLeft(const RunLimits& limits, const PlayerRuns* runs,
                                        RuleTime now) {
    if (!limits.Cooldown || runs == nullptr || !runs->Last) {
        return std::nullopt;
    }
    const RuleTime ready = *runs->Last + *limits.Cooldown;
    if (now >= ready) {
        return std::nullopt;
    }
    return ceil<RuleSeconds>(ready - now);
}

void AddPlayerAllowances(Standing& standing, const PlayerRuns* runs, RuleTime now) {
    const RunLimits& limits = standing.Limits;
    const RunHistory none;
    const RunHistory& week = runs != nullptr ? runs->ThisWeek : none;
    if (limits.Day) {
        standing.Allowances.push_back(
            {TradeRule::Day, *limits.Day, RunsSince(week, DayStart(now))});
    }
    if (limits.Week) {
        standing.Allowances.push_back(
            {TradeRule::Week, *limits.Week, RunsSince(week, WeekStart(now))});
    }
    if (limits.Total) {
        standing.Allowances.push_back(
            {TradeRule::Total, *limits.Total, runs != nullptr ? runs->Total : 0});
    }
}

void AddStockAllowance(Standing& standing, const StockRuns* stock, RuleTime now) {
    const ExchangeRules& rules = *standing.Rules;
    if (!rules.Stock) {
        return;
    }
    int64_t used = 0;
    if (rules.Restock) {
        const RuleTime begun = PeriodStart(now, *rules.Restock);
        used = stock != nullptr ? RunsSince(stock->Recent, begun) : 0;
        standing.RestockIn = ceil<RuleSeconds>(begun + *rules.Restock - now);
    } else {
        used = stock != nullptr ? stock->Total : 0;
    }
    standing.Allowances.push_back({TradeRule::Stock, *rules.Stock, used});
}

std::optional<Standing> StandingFor(const RuleSubject& subject, std::string_view exchange,
                                    RuleTime now) {
    const ExchangeRules* rules = RulesInForceFor(exchange);
    if (rules == nullptr || !RulesApply(*rules)) {
        return std::nullopt;
    }
    Standing standing;
    standing.Rules = rules;
    standing.Closed = rules->Enabled == false;
    const Memberships memberships = MembershipsFor(subject, *rules);
    standing.OutsideGroups = !memberships.InGroups;
    standing.Limits = LimitsFor(*rules, memberships.InFor);
    const RulesState& state = TheRulesState();
    const std::string key = ExchangeKey(exchange);
    const PlayerRuns* runs = FindPlayerRuns(state.Ledger, subject.EosId, key);
    standing.CooldownLeft = CooldownLeft(standing.Limits, runs, now);
    AddPlayerAllowances(standing, runs, now);
    AddStockAllowance(standing, FindStockRuns(state.Ledger, key), now);
    return standing;
}

RuleVerdict Refused(RuleRefusal refusal) {
    return RuleVerdict{0, refusal, std::nullopt};
}

} // namespace

RuleVerdict CheckRules(const RuleSubject& subject, std::string_view exchange, int32_t requested,
                       RuleTime now) {
    if (TheRulesState().Closed) {
        return Refused({TradeRule::Unreadable, 0, std::nullopt});
    }
    const std::optional<Standing> standing = StandingFor(subject, exchange, now);
    if (!standing) {
        return RuleVerdict{requested, std::nullopt, std::nullopt};
    }
    if (standing->Closed) {
        return Refused({TradeRule::Closed, 0, std::nullopt});
    }
    if (standing->OutsideGroups) {
        return Refused({TradeRule::Group, 0, std::nullopt});
    }
    if (standing->CooldownLeft) {
        return Refused({TradeRule::Cooldown, 0, standing->CooldownLeft});
    }
    RuleVerdict verdict{requested, std::nullopt, std::nullopt};
    for (const Allowance& allowance : standing->Allowances) {
        const int64_t left = allowance.Limit - allowance.Used;
        if (left <= 0) {
            const bool restocks = allowance.Rule == TradeRule::Stock && standing->RestockIn;
            return Refused(
                {allowance.Rule, allowance.Limit, restocks ? standing->RestockIn : std::nullopt});
        }
        if (left < verdict.Runs) {
            verdict.Runs = static_cast<int32_t>(left);
            verdict.LoweredBy = allowance.Rule;
        }
    }
    return verdict;
}

void CountCompletedRuns(const RuleSubject& subject, std::string_view exchange, int32_t runs,
                        RuleTime now) {
    RulesState& state = TheRulesState();
    if (state.Rules) {
        CountRuns(state.Ledger, subject.EosId, ExchangeKey(exchange), now, runs);
    }
}

CharacterStates StatesRefusedFor(std::string_view exchange) {
    const ExchangeRules* rules = RulesInForceFor(exchange);
    return rules != nullptr && rules->Refuse ? *rules->Refuse : CharacterStates::All();
}

bool OpenToPlayer(const RuleSubject& subject, std::string_view exchange) {
    const ExchangeRules* rules = RulesInForceFor(exchange);
    if (rules == nullptr) {
        return true;
    }
    if (rules->Enabled == false) {
        return false;
    }
    if (!rules->Groups) {
        return true;
    }
    const std::vector<bool> answers = GroupMemberships(subject, *rules->Groups);
    return std::find(answers.begin(), answers.end(), true) != answers.end();
}

std::optional<std::string> StandingText(const RuleSubject& subject, std::string_view exchange,
                                        RuleTime now) {
    const std::optional<Standing> standing = StandingFor(subject, exchange, now);
    if (!standing) {
        return std::nullopt;
    }
    if (standing->Closed) {
        return MessageText(MessageId::StandingClosed);
    }
    if (standing->OutsideGroups) {
        return MessageText(MessageId::StandingNotForPlayer);
    }
    std::vector<std::string> parts;
    constexpr std::array<MessageId, 4> names{MessageId::StandingDay, MessageId::StandingWeek,
                                             MessageId::StandingTotal, MessageId::StandingStock};
    for (const Allowance& allowance : standing->Allowances) {
        const size_t name =
            static_cast<size_t>(allowance.Rule) - static_cast<size_t>(TradeRule::Day);
        if (allowance.Rule == TradeRule::Stock && standing->RestockIn) {
            parts.push_back(MessageText(MessageId::StandingStockRefills, allowance.Used,
                                        allowance.Limit, TimeLeftText(*standing->RestockIn)));
        } else {
            parts.push_back(MessageText(names.at(name), allowance.Used, allowance.Limit));
        }
    }
    if (standing->Limits.Cooldown) {
        const std::string cooldown = TimeLeftText(*standing->Limits.Cooldown);
        parts.push_back(standing->CooldownLeft
                            ? MessageText(MessageId::StandingCooldownWait, cooldown,
                                          TimeLeftText(*standing->CooldownLeft))
                            : MessageText(MessageId::StandingCooldownReady, cooldown));
    }
    if (parts.empty()) {
        return MessageText(MessageId::StandingNoLimits);
    }
    return fmt::format("{}", fmt::join(parts, ", "));
}

} // namespace barterbox
