// The rules.json checks. The plugin's own reading (ReadTradeRules) names every value it refuses
// and every member it passes over; this file places each at its line and column and says what
// the plugin then does.
#include "rules_check.h"

#include <algorithm>
#include <array>
#include <span>

#include "member_suggestion.h"
#include "plugin_text.h"
#include "rules/message_table.h"
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
// Exchanges.NAME), a group's under For, the message names of Messages, the lists of Commands,
// or the Cluster block and its Database.
enum class RulesObject { Root, Entry, Group, Messages, Commands, Cluster, Database };

constexpr std::array<std::string_view, kMessageCount> MessageNames() {
    std::array<std::string_view, kMessageCount> names{};
    for (std::size_t index = 0; index < kMessageCount; ++index) {
        names[index] = kMessages[index].Name;
    }
    return names;
}
constexpr std::array<std::string_view, kMessageCount> kMessageNames = MessageNames();

bool StartsAt(const RulesMemberPath& member, const char* root) {
    return member[0] == RulesMemberPath::value_type(std::string(root));
}

RulesObject HolderOf(const RulesMemberPath& member) {
    if (member.size() <= 1) {
        return RulesObject::Root;
    }
    if (StartsAt(member, "Messages")) {
        return RulesObject::Messages;
    }
    if (StartsAt(member, "Commands")) {
        return RulesObject::Commands;
    }
    if (StartsAt(member, "Cluster")) {
        return member.size() == 2 ? RulesObject::Cluster : RulesObject::Database;
    }
    const bool inDefault = StartsAt(member, "Default");
    return member.size() == (inDefault ? 2u : 3u) ? RulesObject::Entry : RulesObject::Group;
}

std::span<const std::string_view> KnownMembers(RulesObject holder) {
    switch (holder) {
    case RulesObject::Root:
        return kRulesRootMembers;
    case RulesObject::Entry:
        return kExchangeRuleMembers;
    case RulesObject::Messages:
        return kMessageNames;
    case RulesObject::Commands:
        return kChatWordMembers;
    case RulesObject::Cluster:
        return kClusterMembers;
    case RulesObject::Database:
        return kClusterDatabaseMembers;
    case RulesObject::Group:
        break;
    }
    return kGroupRuleMembers;
}

// What passing over an unknown member costs: a limit that limits nothing, a text nobody reads.
const char* PassedOverEffect(RulesObject holder) {
    switch (holder) {
    case RulesObject::Messages:
        return "; the plugin passes over it, so no one reads this text";
    case RulesObject::Commands:
        return "; the plugin passes over it, so it registers no chat word";
    case RulesObject::Cluster:
    case RulesObject::Database:
        return "; the plugin passes over it";
    case RulesObject::Root:
    case RulesObject::Entry:
    case RulesObject::Group:
        break;
    }
    return "; the plugin passes over it, so it limits nothing";
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

bool InDiscord(const RulesMemberPath& member) {
    return !member.empty() && member[0] == RulesMemberPath::value_type(std::string("Discord"));
}

// A member of the Discord block, or an event name in its Events, that the plugin does not know.
std::string DiscordUnknown(const RulesProblem& problem) {
    const RulesMemberPath& member = problem.Path;
    if (const auto* index = std::get_if<size_t>(&member.back())) {
        (void)index;
        const std::string::size_type quote = problem.Message.find('"');
        const std::string event =
            quote == std::string::npos
                ? std::string()
                : problem.Message.substr(quote + 1, problem.Message.size() - quote - 2);
        std::string message = "unknown event \"" + event + "\"";
        if (const auto meant = SuggestMember(event, kDiscordEvents)) {
            message += " (did you mean \"" + std::string(*meant) + "\"?)";
        }
        return message + "; the plugin passes over it, so nothing is posted for it";
    }
    std::string message = "unknown member";
    if (const auto* name = std::get_if<std::string>(&member.back())) {
        if (const auto meant = SuggestMember(*name, kDiscordMembers)) {
            message += " (did you mean \"" + std::string(*meant) + "\"?)";
        }
    }
    return message + "; the plugin passes over it";
}

Finding PassedOver(const std::string& fileName, const JsonLocations& locations,
                   const RulesProblem& problem) {
    MemberPath member = PathOf(problem.Path);
    if (InDiscord(problem.Path)) {
        const TextPosition where = std::holds_alternative<size_t>(problem.Path.back())
                                       ? ValuePosition(locations, member)
                                       : NamePosition(locations, member);
        return At(Severity::Warning, fileName, where, std::move(member), DiscordUnknown(problem));
    }
    const RulesObject holder = HolderOf(problem.Path);
    std::string message = holder == RulesObject::Messages ? "unknown message" : "unknown member";
    message += UnknownHint(problem.Path);
    message += PassedOverEffect(holder);
    const TextPosition where = NamePosition(locations, member);
    return At(Severity::Warning, fileName, where, std::move(member), std::move(message));
}

// A webhook that is not Discord's takes the posts all the same (a relay, a test server), but a
// mistyped URL is more likely.
void CheckWebhookUrl(const std::string& fileName, RulesCheck& check) {
    if (!check.Rules || !check.Rules->Discord ||
        IsDiscordWebhookUrl(check.Rules->Discord->Webhook)) {
        return;
    }
    MemberPath member{std::string("Discord"), std::string("Webhook")};
    const TextPosition where = ValuePosition(check.Locations, member);
    check.Findings.push_back(At(Severity::Warning, fileName, where, std::move(member),
                                "is no Discord webhook URL (https://discord.com/api/webhooks/ID/"
                                "TOKEN); the plugin posts to it all the same"));
}

// A text that cannot stand for its message: the rest of the file holds, and players and
// administrators read the default where the administrator meant the translation.
Finding UnusedMessage(const std::string& fileName, const JsonLocations& locations,
                      const RulesProblem& problem) {
    MemberPath member = PathOf(problem.Path);
    std::string message = problem.Message + "; the plugin uses the default text instead";
    const TextPosition where = ValuePosition(locations, member);
    return At(Severity::Error, fileName, where, std::move(member), std::move(message));
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
    for (const RulesProblem& problem : reading.UnusedMessages) {
        check.Findings.push_back(UnusedMessage(fileName, check.Locations, problem));
    }
    check.Exchanges = reading.Rules.Exchanges.size();
    if (reading.Errors.empty()) {
        check.Rules = std::move(reading.Rules);
    }
    CheckWebhookUrl(fileName, check);
    std::stable_sort(check.Findings.begin(), check.Findings.end(),
                     [](const Finding& a, const Finding& b) { return a.Where < b.Where; });
    return check;
}

} // namespace barterbox::tools
