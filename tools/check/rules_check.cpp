// The rules.json checks. The plugin's own reading (ReadTradeRules) names every value it refuses
// and every member it passes over; this file places each at its line and column and says what
// the plugin then does.
#include "rules_check.h"

#include <algorithm>
#include <span>

#include "member_suggestion.h"
#include "plugin_text.h"
#include "rules/rules_reading.h"

namespace barterbox::tools {

namespace {

// At its load the plugin closes every exchange rather than open an economy meant to be limited.
constexpr const char* kRefused = "; the plugin refuses the whole file: at its load every exchange "
                                 "is closed, and a Reload keeps the rules in force";

MemberPath PathOf(const RulesMemberPath& path) {
    return MemberPath(path.begin(), path.end());
}

Finding At(Severity level, const std::string& fileName, TextPosition where, MemberPath member,
           std::string message) {
    std::optional<std::string> exchange = ExchangeOfMember(member);
    return {level, fileName, where, std::move(exchange), std::move(member), std::move(message)};
}

Finding RefusedValue(const std::string& fileName, const JsonLocations& locations,
                     const RulesProblem& problem) {
    MemberPath member = PathOf(problem.Path);
    std::string message = member.empty() ? "the root " + problem.Message : problem.Message;
    message += kRefused;
    const TextPosition where = ValuePosition(locations, member);
    return At(Severity::Error, fileName, where, std::move(member), std::move(message));
}

// Which members the object holding an unknown one may have: the root's, an entry's (Default or
// Exchanges.NAME) or a group's under For.
enum class RulesObject { Root, Entry, Group, Cluster, Database };

RulesObject HolderOf(const RulesMemberPath& member) {
    if (member.size() <= 1) {
        return RulesObject::Root;
    }
    if (member[0] == RulesMemberPath::value_type(std::string("Cluster"))) {
        return member.size() == 2 ? RulesObject::Cluster : RulesObject::Database;
    }
    const bool inDefault = member[0] == RulesMemberPath::value_type(std::string("Default"));
    return member.size() == (inDefault ? 2u : 3u) ? RulesObject::Entry : RulesObject::Group;
}

std::span<const std::string_view> KnownMembers(RulesObject holder) {
    switch (holder) {
    case RulesObject::Root:
        return kRulesRootMembers;
    case RulesObject::Entry:
        return kExchangeRuleMembers;
    case RulesObject::Cluster:
        return kClusterMembers;
    case RulesObject::Database:
        return kClusterDatabaseMembers;
    case RulesObject::Group:
        break;
    }
    return kGroupRuleMembers;
}

// "(did you mean "Day"?)", or for an entry's member written under a group, which ones a group may
// set: a group cannot have a Stock or Groups of its own.
std::string UnknownHint(const RulesMemberPath& member) {
    const auto* named = std::get_if<std::string>(&member.back());
    if (named == nullptr) {
        return "";
    }
    const std::string& name = *named;
    const RulesObject holder = HolderOf(member);
    if (holder == RulesObject::Group &&
        std::find(kExchangeRuleMembers.begin(), kExchangeRuleMembers.end(), name) !=
            kExchangeRuleMembers.end()) {
        return " here (a group in For may set only Cooldown, Day, Week and Total)";
    }
    if (const std::optional<std::string_view> meant = SuggestMember(name, KnownMembers(holder))) {
        return " (did you mean \"" + std::string(*meant) + "\"?)";
    }
    return "";
}

Finding PassedOver(const std::string& fileName, const JsonLocations& locations,
                   const RulesProblem& problem) {
    MemberPath member = PathOf(problem.Path);
    std::string message = "unknown member" + UnknownHint(problem.Path);
    const RulesObject holder = HolderOf(problem.Path);
    message += holder == RulesObject::Cluster || holder == RulesObject::Database
                   ? "; the plugin passes over it"
                   : "; the plugin passes over it, so it limits nothing";
    const TextPosition where = NamePosition(locations, member);
    return At(Severity::Warning, fileName, where, std::move(member), std::move(message));
}

} // namespace

RulesCheck CheckRulesText(const std::string& fileName, std::string_view text) {
    RulesCheck check;
    PluginText read = ReadPluginText(fileName, text, check.Findings);
    if (!read.Parsed) {
        return check;
    }
    check.Parsed = true;
    check.Document = std::move(read.Document);
    check.Locations = std::move(read.Locations);
    RulesReading reading = ReadTradeRules(check.Document);
    for (const RulesProblem& problem : reading.Errors) {
        check.Findings.push_back(RefusedValue(fileName, check.Locations, problem));
    }
    for (const RulesProblem& problem : reading.Unknown) {
        check.Findings.push_back(PassedOver(fileName, check.Locations, problem));
    }
    check.Exchanges = reading.Rules.Exchanges.size();
    if (reading.Errors.empty()) {
        check.Rules = std::move(reading.Rules);
    }
    std::stable_sort(check.Findings.begin(), check.Findings.end(),
                     [](const Finding& a, const Finding& b) { return a.Where < b.Where; });
    return check;
}

} // namespace barterbox::tools
