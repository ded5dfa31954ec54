// The rules layer's record; see rules_state.h.
#include "rules_state.h"

#include "catalogue/exchange_definition.h"
#include "host/ascii_case.h"

namespace barterbox {

RulesState& TheRulesState() {
    static RulesState state;
    return state;
}

void ResetRulesState() {
    TheRulesState() = RulesState{};
}

void SetRulesInForce(TradeRules rules) {
    RulesState& state = TheRulesState();
    state.Merged.clear();
    // The first of two entries that differ only in letter case is the one that counts, as the
    // checker warns.
    for (const NamedRules& named : rules.Exchanges) {
        state.Merged.try_emplace(ExchangeKey(named.Name), RulesForExchange(rules, named.Name));
    }
    TradeRules defaultOnly;
    defaultOnly.Default = rules.Default;
    state.MergedDefault = RulesForExchange(defaultOnly, "");
    state.Messages = {};
    for (MessageOverride& message : rules.Messages) {
        state.Messages[static_cast<std::size_t>(message.Id)] = std::move(message.Text);
    }
    state.DisplayNames.clear();
    for (const DisplayName& name : rules.DisplayNames) {
        state.DisplayNames.try_emplace(AsciiLowered(name.Item), name.Name);
    }
    state.Rules = std::move(rules);
}

const ExchangeRules* RulesInForceFor(std::string_view exchange) {
    const RulesState& state = TheRulesState();
    if (!state.Rules) {
        return nullptr;
    }
    const auto merged = state.Merged.find(ExchangeKey(exchange));
    return merged != state.Merged.end() ? &merged->second : &state.MergedDefault;
}

} // namespace barterbox
