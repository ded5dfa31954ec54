// libFuzzer target for rules.json's reading rules: any bytes must read without a crash or
// undefined behaviour; every problem found must be placed at a line and column of the text, as
// the plugin's log and the checker name it; rules read without errors hold only values in range;
// and any bytes as a duration read to at most the longest duration.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "catalogue/config_reading.h"
#include "catalogue/json_locations.h"
#include "rules/rule_duration.h"
#include "rules/rules_reading.h"

namespace {

using namespace barterbox;

void CheckLimits(const RunLimits& limits) {
    for (const std::optional<int64_t>& limit : {limits.Day, limits.Week, limits.Total}) {
        if (limit && *limit < 1) {
            std::abort();
        }
    }
    if (limits.Cooldown && (limits.Cooldown->count() < 0 || *limits.Cooldown > kLongestDuration)) {
        std::abort();
    }
}

void CheckRules(const ExchangeRules& rules) {
    CheckLimits(rules.Limits);
    if ((rules.Stock && *rules.Stock < 1) || (rules.Restock && rules.Restock->count() < 1)) {
        std::abort();
    }
    for (const GroupLimits& group : rules.For.value_or(std::vector<GroupLimits>{})) {
        CheckLimits(group.Limits);
    }
    if (rules.Groups) {
        for (const std::string& group : *rules.Groups) {
            if (group.empty()) {
                std::abort();
            }
        }
    }
}

void CheckPlaced(const JsonLocations& locations, const std::vector<RulesProblem>& problems) {
    for (const RulesProblem& problem : problems) {
        const MemberPath path(problem.Path.begin(), problem.Path.end());
        if (!ValuePosition(locations, path).Known() || !NamePosition(locations, path).Known() ||
            RulesProblemText(problem).empty()) {
            std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const std::optional<RuleSeconds> duration = ReadDurationText(text)) {
        if (duration->count() < 0 || *duration > kLongestDuration ||
            TimeLeftText(*duration).empty()) {
            std::abort();
        }
    }
    nlohmann::json root;
    try {
        root = ParseConfigText(text);
    } catch (const nlohmann::json::exception&) {
        return 0;
    }
    const RulesReading reading = ReadTradeRules(root);
    const JsonLocations locations = IndexJson(text);
    CheckPlaced(locations, reading.Errors);
    CheckPlaced(locations, reading.Unknown);
    if (reading.Errors.empty()) {
        CheckRules(reading.Rules.Default);
        for (const NamedRules& named : reading.Rules.Exchanges) {
            CheckRules(RulesForExchange(reading.Rules, named.Name));
        }
    }
    return 0;
}
