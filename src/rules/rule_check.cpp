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

// The parts of a standing that need no count: the rules, whether they close the exchange to
// the player, and the player's limits.
std::optional<Standing> RulesStanding(const RuleSubject& subject, std::string_view exchange) {
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
    return standing;
}

// The rest, from a ledger's counts: the local one, or the cluster's for this player and exchange.
Standing Counted(Standing standing, const RunLedger& ledger, const std::string& eosId,
                 const std::string& key, RuleTime now) {
    const PlayerRuns* runs = FindPlayerRuns(ledger, eosId, key);
    standing.CooldownLeft = CooldownLeft(standing.Limits, runs, now);
    AddPlayerAllowances(standing, runs, now);
    AddStockAllowance(standing, FindStockRuns(ledger, key), now);
    return standing;
}

RuleVerdict Refused(RuleRefusal refusal) {
    return RuleVerdict{0, refusal, std::nullopt, {}};
}

RuleVerdict VerdictOf(const Standing& standing, int32_t requested) {
    if (standing.Closed) {
        return Refused({TradeRule::Closed, 0, std::nullopt});
    }
    if (standing.OutsideGroups) {
        return Refused({TradeRule::Group, 0, std::nullopt});
    }
    if (standing.CooldownLeft) {
        return Refused({TradeRule::Cooldown, 0, standing.CooldownLeft});
    }
    RuleVerdict verdict{requested, std::nullopt, std::nullopt, {}};
    for (const Allowance& allowance : standing.Allowances) {
        const int64_t left = allowance.Limit - allowance.Used;
        if (left <= 0) {
            const bool restocks = allowance.Rule == TradeRule::Stock && standing.RestockIn;
            return Refused(
                {allowance.Rule, allowance.Limit, restocks ? standing.RestockIn : std::nullopt});
        }
        if (left < verdict.Runs) {
            verdict.Runs = static_cast<int32_t>(left);
            verdict.LoweredBy = allowance.Rule;
        }
    }
    return verdict;
}

// Which runs of the cluster's ledger the standing counts now.
CountWindows WindowsFor(const ExchangeRules& rules, RuleTime now) {
    CountWindows windows{DayStart(now), WeekStart(now), std::nullopt, rules.Stock.has_value()};
    if (rules.Stock && rules.Restock) {
        windows.Stock = PeriodStart(now, *rules.Restock);
    }
    return windows;
}

// The check against the cluster's counts, which holds the runs it leaves. Closed exchanges and
// groups are refused without asking the database.
RuleVerdict ClusterVerdict(const RuleSubject& subject, const Standing& base, const std::string& key,
                           int32_t requested, RuleTime now, bool holdRuns) {
    if (base.Closed || base.OutsideGroups) {
        return VerdictOf(base, requested);
    }
    if (!holdRuns) {
        const std::optional<RunLedger> counts =
            ReadClusterCounts(subject.EosId, key, now, WindowsFor(*base.Rules, now));
        return counts ? VerdictOf(Counted(base, *counts, subject.EosId, key, now), requested)
                      : Refused({TradeRule::Ledger, 0, std::nullopt});
    }
    RuleVerdict verdict;
    RuleHold hold{{}, ClusterDeadline()};
    const HoldResult held = HoldClusterRuns(
        subject.EosId, key, now, WindowsFor(*base.Rules, now),
        [&](const RunLedger& counts) {
            verdict = VerdictOf(Counted(base, counts, subject.EosId, key, now), requested);
            return verdict.Refusal ? 0 : verdict.Runs;
        },
        hold.Deadline, hold.Attempt);
    if (held == HoldResult::Unreachable) {
        return Refused({TradeRule::Ledger, 0, std::nullopt});
    }
    verdict.Hold = std::move(hold);
    return verdict;
}

} // namespace

RuleVerdict CheckRules(const RuleSubject& subject, std::string_view exchange, int32_t requested,
                       RuleTime now, bool hold) {
    if (TheRulesState().Closed) {
        return Refused({TradeRule::Unreadable, 0, std::nullopt});
    }
    const std::optional<Standing> standing = RulesStanding(subject, exchange);
    if (!standing) {
        return RuleVerdict{requested, std::nullopt, std::nullopt, {}};
    }
    const std::string key = ExchangeKey(exchange);
    // Exchanges that count nothing trade as usual whatever becomes of the cluster's ledger.
    if (ClusterLedgerInForce() && RulesCount(*standing->Rules)) {
        return ClusterVerdict(subject, *standing, key, requested, now, hold);
    }
    return VerdictOf(Counted(*standing, TheRulesState().Ledger, subject.EosId, key, now),
                     requested);
}

void CountCompletedRuns(const RuleSubject& subject, std::string_view exchange, int32_t runs,
                        RuleTime now, const RuleHold& hold) {
    RulesState& state = TheRulesState();
    if (state.Rules) {
        CountRuns(state.Ledger, subject.EosId, ExchangeKey(exchange), now, runs);
    }
    if (!hold.Attempt.empty()) {
        ConfirmClusterRuns(hold.Attempt, hold.Deadline);
    }
}

void ReleaseHeldRuns(const RuleHold& hold) {
    if (!hold.Attempt.empty()) {
        ReleaseClusterRuns(hold.Attempt, hold.Deadline);
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
    std::optional<Standing> standing = RulesStanding(subject, exchange);
    if (!standing) {
        return std::nullopt;
    }
    const std::string key = ExchangeKey(exchange);
    if (ClusterLedgerInForce() && RulesCount(*standing->Rules)) {
        const std::optional<RunLedger> counts =
            ReadClusterCounts(subject.EosId, key, now, WindowsFor(*standing->Rules, now));
        if (!counts) {
            return "the trade ledger cannot be reached";
        }
        standing = Counted(*standing, *counts, subject.EosId, key, now);
    } else {
        standing = Counted(*standing, TheRulesState().Ledger, subject.EosId, key, now);
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
