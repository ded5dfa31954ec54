// Reading rules.json; see rules_reading.h.
#include "rules_reading.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <span>

#include "discord_reading.h"
#include "host/ascii_case.h"
#include "rules/cluster_reading.h"
#include "rules/rule_duration.h"

namespace barterbox {
using nlohmann::json;

std::string RulesValueText(const json& value) {
    switch (value.type()) {
    case json::value_t::object:
        return "an object";
    case json::value_t::array:
        return "an array";
    case json::value_t::string:
        return "a string";
    case json::value_t::boolean:
        return "a boolean";
    case json::value_t::null:
        return "null";
    case json::value_t::number_float:
        return "a fraction";
    case json::value_t::number_integer:
    case json::value_t::number_unsigned:
        return "the number " + value.dump();
    case json::value_t::binary:
    case json::value_t::discarded:
        break;
    }
    return "a value";
}

namespace {

std::string TypeWithArticle(const json& value) {
    return RulesValueText(value);
}

class RulesReader {
public:
    RulesReading Read(const json& root) {
        if (!root.is_object()) {
            Fail({}, "must be an object with Default and Exchanges, not " + TypeWithArticle(root));
            return std::move(reading_);
        }
        PassOverUnknown(root, {}, kRulesRootMembers);
        if (const auto it = root.find("Default"); it != root.end()) {
            reading_.Rules.Default = Entry(*it, {std::string("Default")});
        }
        if (const auto it = root.find("Exchanges"); it != root.end()) {
            ReadExchanges(*it, {std::string("Exchanges")});
        }
        if (const auto it = root.find("Discord"); it != root.end()) {
            reading_.Rules.Discord = ReadDiscordSettings(*it, reading_);
        }
        ReadTextRules(root, reading_);
        if (const auto it = root.find("Cluster"); it != root.end()) {
            reading_.Rules.Cluster = ReadCluster(*it, {std::string("Cluster")}, reading_);
        }
        return std::move(reading_);
    }

private:
    RulesReading reading_;

    void Fail(RulesMemberPath path, std::string message) {
        reading_.Errors.push_back({std::move(path), std::move(message)});
    }

    static RulesMemberPath Child(RulesMemberPath path, std::variant<std::string, size_t> step) {
        path.push_back(std::move(step));
        return path;
    }

    void PassOverUnknown(const json& object, const RulesMemberPath& path,
                         std::span<const std::string_view> known) {
        PassOverUnknownMembers(object, path, known, reading_);
    }

    void ReadExchanges(const json& exchanges, const RulesMemberPath& path) {
        if (!exchanges.is_object()) {
            Fail(path, "must be an object of exchange names, not " + TypeWithArticle(exchanges));
            return;
        }
        for (auto it = exchanges.begin(); it != exchanges.end(); ++it) {
            reading_.Rules.Exchanges.push_back(
                {it.key(), Entry(it.value(), Child(path, it.key()))});
        }
    }

    ExchangeRules Entry(const json& entry, const RulesMemberPath& path) {
        ExchangeRules rules;
        if (!entry.is_object()) {
            Fail(path, "must be an object of rules, not " + TypeWithArticle(entry));
            return rules;
        }
        PassOverUnknown(entry, path, kExchangeRuleMembers);
        if (const json* enabled = Member(entry, "Enabled")) {
            if (enabled->is_boolean()) {
                rules.Enabled = enabled->get<bool>();
            } else {
                Fail(Child(path, "Enabled"),
                     "must be true or false, not " + TypeWithArticle(*enabled));
            }
        }
        if (const json* groups = Member(entry, "Groups")) {
            rules.Groups = GroupNames(*groups, Child(path, "Groups"));
        }
        rules.Limits = Limits(entry, path);
        if (const json* stock = Member(entry, "Stock")) {
            rules.Stock = Limit(*stock, Child(path, "Stock"));
        }
        if (const json* restock = Member(entry, "Restock")) {
            rules.Restock = Duration(*restock, Child(path, "Restock"));
            if (rules.Restock && rules.Restock->count() < 1) {
                Fail(Child(path, "Restock"), "must be at least 1 second");
                rules.Restock.reset();
            }
        }
        if (const json* overrides = Member(entry, "For")) {
            rules.For = GroupOverrides(*overrides, Child(path, "For"));
        }
        if (const json* refuse = Member(entry, "Refuse")) {
            rules.Refuse = States(*refuse, Child(path, "Refuse"));
        }
        return rules;
    }

    static const json* Member(const json& object, const char* name) {
        const auto it = object.find(name);
        return it == object.end() ? nullptr : &*it;
    }

    RunLimits Limits(const json& entry, const RulesMemberPath& path) {
        RunLimits limits;
        if (const json* cooldown = Member(entry, "Cooldown")) {
            limits.Cooldown = Duration(*cooldown, Child(path, "Cooldown"));
        }
        const std::pair<const char*, std::optional<int64_t> RunLimits::*> counts[] = {
            {"Day", &RunLimits::Day}, {"Week", &RunLimits::Week}, {"Total", &RunLimits::Total}};
        for (const auto& [name, field] : counts) {
            if (const json* value = Member(entry, name)) {
                limits.*field = Limit(*value, Child(path, name));
            }
        }
        return limits;
    }

    std::optional<RuleSeconds> Duration(const json& value, const RulesMemberPath& path) {
        if (std::optional<RuleSeconds> duration = ReadDuration(value)) {
            return duration;
        }
        std::string message = "must be a duration, a whole number of seconds or a text such as "
                              "\"90s\", \"10m\" or \"1h30m\" (units s, m, h, d, w), not ";
        message += value.is_string() ? value.dump() : TypeWithArticle(value);
        Fail(path, std::move(message));
        return std::nullopt;
    }

    std::optional<int64_t> Limit(const json& value, const RulesMemberPath& path) {
        if (value.is_number_unsigned() && value.get<uint64_t>() >= 1 &&
            value.get<uint64_t>() <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
            return static_cast<int64_t>(value.get<uint64_t>());
        }
        if (value.is_number_integer() && !value.is_number_unsigned() && value.get<int64_t>() >= 1) {
            return value.get<int64_t>();
        }
        Fail(path, "must be a whole number of at least 1, not " + TypeWithArticle(value));
        return std::nullopt;
    }

    std::vector<std::string> GroupNames(const json& groups, const RulesMemberPath& path) {
        std::vector<std::string> names;
        if (!groups.is_array()) {
            Fail(path, "must be an array of group names, not " + TypeWithArticle(groups));
            return names;
        }
        for (size_t index = 0; index < groups.size(); ++index) {
            const json& group = groups[index];
            if (group.is_string() && !group.get_ref<const std::string&>().empty()) {
                names.push_back(group.get<std::string>());
            } else {
                Fail(Child(path, index), "must be a group name, a text that is not empty, not " +
                                             TypeWithArticle(group));
            }
        }
        return names;
    }

    // The words of the states, each known; a word that is not one fails alone, the others hold.
    CharacterStates States(const json& words, const RulesMemberPath& path) {
        CharacterStates states;
        if (!words.is_array()) {
            Fail(path, "must be an array of states, not " + TypeWithArticle(words));
            return CharacterStates::All();
        }
        for (size_t index = 0; index < words.size(); ++index) {
            const json& word = words[index];
            const std::optional<CharacterState> state =
                word.is_string() ? StateNamed(word.get_ref<const std::string&>()) : std::nullopt;
            if (state) {
                states.Add(*state);
                continue;
            }
            std::string message = "must be one of dead, unconscious, carried, riding, "
                                  "transferring or noglin, not ";
            message += word.is_string() ? word.dump() : TypeWithArticle(word);
            Fail(Child(path, index), std::move(message));
        }
        return states;
    }

    std::vector<GroupLimits> GroupOverrides(const json& overrides, const RulesMemberPath& path) {
        std::vector<GroupLimits> groups;
        if (!overrides.is_object()) {
            Fail(path, "must be an object of group names, not " + TypeWithArticle(overrides));
            return groups;
        }
        for (auto it = overrides.begin(); it != overrides.end(); ++it) {
            const RulesMemberPath groupPath = Child(path, it.key());
            if (!it.value().is_object()) {
                Fail(groupPath, "must be an object of limits, not " + TypeWithArticle(it.value()));
                continue;
            }
            PassOverUnknown(it.value(), groupPath, kGroupRuleMembers);
            groups.push_back({it.key(), Limits(it.value(), groupPath)});
        }
        return groups;
    }
};

template <typename T> void Inherit(std::optional<T>& field, const std::optional<T>& fallback) {
    if (!field) {
        field = fallback;
    }
}

} // namespace

void PassOverUnknownMembers(const json& object, const RulesMemberPath& path,
                            std::span<const std::string_view> known, RulesReading& reading) {
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (std::find(known.begin(), known.end(), it.key()) == known.end()) {
            RulesMemberPath member = path;
            member.emplace_back(it.key());
            reading.Unknown.push_back({std::move(member), "is not a member the plugin knows"});
        }
    }
}

RulesReading ReadTradeRules(const json& root) {
    return RulesReader{}.Read(root);
}

ExchangeRules RulesForExchange(const TradeRules& rules, std::string_view exchange) {
    ExchangeRules merged;
    for (const NamedRules& named : rules.Exchanges) {
        if (EqualIgnoringAsciiCase(named.Name, exchange)) {
            merged = named.Rules;
            break;
        }
    }
    const ExchangeRules& fallback = rules.Default;
    Inherit(merged.Enabled, fallback.Enabled);
    Inherit(merged.Groups, fallback.Groups);
    Inherit(merged.Limits.Cooldown, fallback.Limits.Cooldown);
    Inherit(merged.Limits.Day, fallback.Limits.Day);
    Inherit(merged.Limits.Week, fallback.Limits.Week);
    Inherit(merged.Limits.Total, fallback.Limits.Total);
    Inherit(merged.Stock, fallback.Stock);
    Inherit(merged.Restock, fallback.Restock);
    Inherit(merged.For, fallback.For);
    Inherit(merged.Refuse, fallback.Refuse);
    return merged;
}

bool RulesApply(const ExchangeRules& rules) {
    const RunLimits& limits = rules.Limits;
    return rules.Enabled == false || rules.Groups || limits.Cooldown || limits.Day || limits.Week ||
           limits.Total || rules.Stock || (rules.For && !rules.For->empty());
}

bool RulesCount(const ExchangeRules& rules) {
    const auto counts = [](const RunLimits& limits) {
        return limits.Cooldown || limits.Day || limits.Week || limits.Total;
    };
    if (counts(rules.Limits) || rules.Stock) {
        return true;
    }
    const std::vector<GroupLimits> none;
    const std::vector<GroupLimits>& groups = rules.For ? *rules.For : none;
    return std::any_of(groups.begin(), groups.end(),
                       [&](const GroupLimits& group) { return counts(group.Limits); });
}

std::string RulesMemberText(const RulesMemberPath& path) {
    return DisplayPath(path);
}

std::string RulesProblemText(const RulesProblem& problem) {
    std::string text = problem.Path.empty() ? "the file" : RulesMemberText(problem.Path);
    text += ' ';
    text += problem.Message;
    return text;
}

} // namespace barterbox
