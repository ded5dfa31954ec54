// rules.json's reading rules: durations as administrators write them, the time left as players
// read it, and each kind of problem named at its member.
#include <gtest/gtest.h>

#include "rules/rule_duration.h"
#include "rules/rules_reading.h"

namespace {

using namespace barterbox;
using nlohmann::json;

TEST(RuleDuration, ReadsSecondsAndUnitPairsAndNothingElse) {
    const std::pair<json, std::optional<int64_t>> cases[] = {
        {90, 90},
        {0, 0},
        {"90s", 90},
        {"10m", 600},
        {"1h30m", 5400},
        {"1w", 604800},
        {"2d12h", 216000},
        {"", std::nullopt},
        {"10", std::nullopt},     // a number in quotes has no unit
        {"m", std::nullopt},      // a unit without its number
        {"1h 30m", std::nullopt}, // no spaces between the pairs
        {"5y", std::nullopt},
        {-5, std::nullopt},
        {1.5, std::nullopt},
        {true, std::nullopt},
        {"99999999999999999999s", std::nullopt}, // beyond ten years, never overflowing
        {"523w", std::nullopt},
        {"522w", 522 * 604800},
    };
    for (const auto& [value, seconds] : cases) {
        const std::optional<RuleSeconds> read = ReadDuration(value);
        EXPECT_EQ(read ? std::optional(read->count()) : std::nullopt, seconds) << value.dump();
    }
}

TEST(RuleDuration, TimeLeftShowsTheTwoLargestUnitsRoundedUp) {
    const std::pair<int64_t, const char*> cases[] = {
        {0, "1s"},         {45, "45s"},  {600, "10m"},  {570, "9m 30s"},
        {3899, "1h 5m"},   {3600, "1h"}, {86399, "1d"}, {183600, "2d 3h"},
        {183601, "2d 4h"}, {59, "59s"},  {61, "1m 1s"}, {604800, "7d"},
    };
    for (const auto& [seconds, text] : cases) {
        EXPECT_EQ(TimeLeftText(RuleSeconds{seconds}), text) << seconds;
    }
}

// The first error of each document, as the plugin's log names it.
TEST(RulesReading, NamesEachProblemAtItsMember) {
    const std::pair<const char*, const char*> cases[] = {
        {R"([])", "the file must be an object with Default and Exchanges, not an array"},
        {R"({"Exchanges": []})", "Exchanges must be an object of exchange names, not an array"},
        {R"({"Exchanges": {"Ingots": 5}})",
         "Exchanges.Ingots must be an object of rules, not the number 5"},
        {R"({"Exchanges": {"Ingots": {"Day": 0}}})",
         "Exchanges.Ingots.Day must be a whole number of at least 1, not the number 0"},
        {R"({"Exchanges": {"Ingots": {"Total": "20"}}})",
         "Exchanges.Ingots.Total must be a whole number of at least 1, not a string"},
        {R"({"Default": {"Enabled": "no"}})",
         "Default.Enabled must be true or false, not a string"},
        {R"({"Default": {"Groups": ["VIP", ""]}})",
         "Default.Groups[1] must be a group name, a text that is not empty, not a string"},
        {R"({"Default": {"Cooldown": "10 minutes"}})",
         "Default.Cooldown must be a duration, a whole number of seconds or a text such as "
         "\"90s\", \"10m\" or \"1h30m\" (units s, m, h, d, w), not \"10 minutes\""},
        {R"({"Default": {"Stock": 3, "Restock": 0}})", "Default.Restock must be at least 1 second"},
        {R"({"Exchanges": {"Ingots": {"For": {"VIP": {"Week": 1.5}}}}})",
         "Exchanges.Ingots.For.VIP.Week must be a whole number of at least 1, not a fraction"},
        {R"({"Default": {"Refuse": "riding"}})",
         "Default.Refuse must be an array of states, not a string"},
        {R"({"Discord": []})", "Discord must be an object with Webhook and Events, not an array"},
        {R"({"Discord": {"Events": ["complete"]}})",
         "Discord must have a Webhook, the URL Discord gives the channel's webhook"},
        {R"({"Discord": {"Webhook": "discord.com/api/webhooks/1/a"}})",
         "Discord.Webhook must be the webhook's URL, a text that starts with https://, not "
         "\"discord.com/api/webhooks/1/a\""},
        {R"({"Discord": {"Webhook": "https://x/y", "Events": "complete"}})",
         "Discord.Events must be an array of event names, not a string"},
        {R"({"Discord": {"Webhook": "https://x/y", "Exchanges": ["Element", ""]}})",
         "Discord.Exchanges[1] must be an exchange name, a text that is not empty, not a string"},
        {R"({"Discord": {"Webhook": "https://x/y", "MinMultiplier": 0}})",
         "Discord.MinMultiplier must be a whole number of at least 1, not the number 0"},
        {R"({"Discord": {"Webhook": "https://x/y", "MinMultiplier": 99999999999}})",
         "Discord.MinMultiplier must be a whole number of at least 1, not the number 99999999999"},
        {R"({"Discord": {"Webhook": "https://x/y", "Username": ""}})",
         "Discord.Username must be a name of 1 to 80 characters, not a string"},
        {R"({"Default": {"Refuse": ["dead", "Riding"]}})",
         "Default.Refuse[1] must be one of dead, unconscious, carried, riding, transferring or "
         "noglin, not \"Riding\""},
        {R"({"DisplayNames": {"PrimalItemResource_ChitinPaste": ""}})",
         "DisplayNames.PrimalItemResource_ChitinPaste must be the name players read, a text that "
         "is not empty, not the empty text"},
        {R"({"Commands": {"Exchange": ["tausch"]}})",
         "Commands.Exchange[0] must be a chat word that starts with \"/\", such as \"/tausch\", "
         "not \"tausch\""},
        {R"({"Commands": {"Exchange": ["/ex tra"]}})",
         "Commands.Exchange[0] must be one word without spaces or control characters, not "
         "\"/ex tra\""},
        // The host matches chat words in any letter case; a default list counts too, and the
        // clash is named at the word written, not at the list the file leaves out.
        {R"({"Commands": {"Exchange": ["/tausch", "/TAUSCH"]}})",
         "Commands.Exchange[1] \"/TAUSCH\" is listed twice"},
        {R"({"Commands": {"Exchange": ["/exinfo"]}})",
         "Commands.Exchange[0] \"/exinfo\" is a default word of Preview, which rules.json leaves "
         "out; drop it here or give Preview words of its own"},
        {R"({"Commands": "/tausch"})",
         "Commands must be an object with Exchange and Preview, not a string"},
        {R"({"Cluster": []})", "Cluster must be an object with Server and Database, not an array"},
        {R"({"Cluster": {"Database": {}}})",
         "Cluster.Server is missing; the Cluster block needs it"},
        {R"({"Cluster": {"Server": "", "Database": {}}})",
         "Cluster.Server must be a text that is not empty, not a string"},
        {R"({"Cluster": {"Server": "Island"}})",
         "Cluster.Database is missing; the Cluster block needs it"},
        {R"({"Cluster": {"Server": "Island", "Database": {"Host": "db", "User": "u",
             "Password": 5, "Name": "ark"}}})",
         "Cluster.Database.Password must be a text, not the number 5"},
        {R"({"Cluster": {"Server": "Island", "Database": {"Host": "db", "Port": 70000,
             "User": "u", "Password": "", "Name": "ark"}}})",
         "Cluster.Database.Port must be a whole number from 1 to 65535, not the number 70000"},
        {R"({"Cluster": {"Server": "Island", "Database": {"Host": "db", "User": "u",
             "Password": "", "Name": "ark", "WaitMs": 0}}})",
         "Cluster.Database.WaitMs must be a whole number from 1 to 5000, not the number 0"},
    };
    for (const auto& [text, error] : cases) {
        const RulesReading reading = ReadTradeRules(json::parse(text));
        ASSERT_FALSE(reading.Errors.empty()) << text;
        const RulesProblem& first = reading.Errors.front();
        EXPECT_EQ(RulesProblemText(first), error) << text;
    }
}

TEST(RulesReading, DiscordKeepsItsDefaultsAndPassesOverUnknownEvents) {
    const RulesReading reading = ReadTradeRules(json::parse(R"({"Discord": {
        "Webhook": "https://discord.com/api/webhooks/1/abc", "Events": ["add", "compelte"],
        "MinMultiplier": 10}})"));
    EXPECT_TRUE(reading.Errors.empty());
    ASSERT_EQ(reading.Unknown.size(), 1u);
    EXPECT_EQ(RulesProblemText(reading.Unknown[0]),
              "Discord.Events[1] is not an event the plugin knows: \"compelte\"");
    ASSERT_TRUE(reading.Rules.Discord);
    EXPECT_EQ(reading.Rules.Discord->Events, std::vector<std::string>{"add"});
    EXPECT_EQ(reading.Rules.Discord->MinMultiplier, 10);
    EXPECT_EQ(reading.Rules.Discord->Username, "Barterbox");
    EXPECT_FALSE(reading.Rules.Discord->Exchanges);
    const RulesReading bare =
        ReadTradeRules(json::parse(R"({"Discord": {"Webhook": "http://h/"}})"));
    ASSERT_TRUE(bare.Rules.Discord);
    EXPECT_EQ(bare.Rules.Discord->Events,
              std::vector<std::string>(kDefaultDiscordEvents.begin(), kDefaultDiscordEvents.end()));
    EXPECT_TRUE(IsDiscordWebhookUrl("https://discord.com/api/webhooks/123/tok-en"));
    EXPECT_TRUE(IsDiscordWebhookUrl("https://ptb.discord.com/api/webhooks/123/t"));
    EXPECT_FALSE(IsDiscordWebhookUrl("https://discord.com/api/webhooks/abc/t"));
    EXPECT_FALSE(IsDiscordWebhookUrl("https://discord.com.evil/api/webhooks/1/t"));
    EXPECT_FALSE(IsDiscordWebhookUrl("http://discord.com/api/webhooks/1/t"));
    EXPECT_EQ(WebhookTail("https://discord.com/api/webhooks/123/secret-token"), "...et-token");
}

TEST(RulesReading, PassesOverUnknownMembersAndMergesDefaultFieldByField) {
    const RulesReading reading = ReadTradeRules(json::parse(R"({
        "Default": {"Cooldown": "10m", "Day": 20, "Groups": ["Default"], "Refuse": ["dead"]},
        "Exchanges": {"Ingots": {"Day": 5, "Dya": 3, "For": {"VIP": {"Day": 9, "Stock": 1}},
                                 "Refuse": []}}
    })"));
    EXPECT_TRUE(reading.Errors.empty());
    std::vector<std::string> unknown;
    for (const RulesProblem& problem : reading.Unknown) {
        unknown.push_back(RulesMemberText(problem.Path));
    }
    EXPECT_EQ(unknown,
              (std::vector<std::string>{"Exchanges.Ingots.Dya", "Exchanges.Ingots.For.VIP.Stock"}));
    // Matched as the catalogue matches names; its own Day, Default's cooldown and groups.
    const ExchangeRules ingots = RulesForExchange(reading.Rules, "INGOTS");
    EXPECT_EQ(ingots.Limits.Day, 5);
    EXPECT_EQ(ingots.Limits.Cooldown, RuleSeconds{600});
    EXPECT_EQ(ingots.Groups, std::vector<std::string>{"Default"});
    ASSERT_TRUE(ingots.For);
    EXPECT_EQ(ingots.For->front().Limits.Day, 9);
    EXPECT_EQ(ingots.Refuse, CharacterStates{}) << "an exchange's Refuse replaces Default's whole";
    const ExchangeRules other = RulesForExchange(reading.Rules, "Paste");
    EXPECT_EQ(other.Limits.Day, 20);
    EXPECT_FALSE(other.For);
    CharacterStates dead;
    dead.Add(CharacterState::Dead);
    EXPECT_EQ(other.Refuse, dead);
}

// A text that cannot stand for its message keeps the default and fails nothing else.
TEST(RulesReading, MessagesStandOnlyWithTheDefaultsPlaceholders) {
    const RulesReading reading = ReadTradeRules(json::parse(R"({
        "Messages": {
            "ExchangeComplete": "Tausch erledigt: {} x{}",
            "NotEnoughItems": "{1} fehlt: {0} nötig, {2} dabei",
            "UnknownExchange": "Unbekannt",
            "DayLimit": "{} {} {}",
            "NoRoom": "{0} {0}",
            "SoldOut": "{} {0}",
            "CooldownWait": "{} wieder in {:>5}",
            "AllClosed": "Geschlossen {",
            "InventoryFull": 3,
            "ExchangeComplet": "typo"
        }
    })"));
    EXPECT_TRUE(reading.Errors.empty());
    std::vector<std::pair<std::string, std::string>> unused;
    for (const RulesProblem& problem : reading.UnusedMessages) {
        unused.emplace_back(RulesMemberText(problem.Path), problem.Message);
    }
    EXPECT_EQ(
        unused,
        (std::vector<std::pair<std::string, std::string>>{
            {"Messages.AllClosed", "a '{' that does not close (write {{ for the brace itself)"},
            {"Messages.CooldownWait", "'{:>5}' is no placeholder; write {} or {0}, {1}, ..."},
            {"Messages.DayLimit", "has 3 placeholders, the default has 2"},
            {"Messages.InventoryFull", "must be a text, not the number 3"},
            {"Messages.NoRoom", "{1} is missing; the default has 2 placeholders"},
            {"Messages.SoldOut", "{} and numbered placeholders cannot be mixed"},
            {"Messages.UnknownExchange", "has 0 placeholders, the default has 1"},
        }));
    ASSERT_EQ(reading.Unknown.size(), 1u);
    EXPECT_EQ(RulesMemberText(reading.Unknown[0].Path), "Messages.ExchangeComplet");
    ASSERT_EQ(reading.Rules.Messages.size(), 2u);
    EXPECT_EQ(reading.Rules.Messages[0].Id, MessageId::ExchangeComplete);
    EXPECT_EQ(reading.Rules.Messages[1].Text, "{1} fehlt: {0} nötig, {2} dabei");
}

TEST(MessageTemplates, AcceptOnlyWhatFormatsWithTheDefaultsArguments) {
    const std::pair<const char*, size_t> accepted[] = {
        {"", 0},          {"{{}}", 0},   {"{} {}", 2},
        {"{1}{0}{1}", 2}, {"}}{{{}", 1}, {"{9}{8}{7}{6}{5}{4}{3}{2}{1}{0}", 10},
    };
    for (const auto& [text, count] : accepted) {
        EXPECT_EQ(TemplateProblem(text, count), std::nullopt) << text;
    }
    const std::pair<const char*, size_t> refused[] = {
        {"}", 0},   {"{", 0},     {"{00}", 1}, {"{2}", 2},
        {"{x}", 1}, {"{0:d}", 1}, {"{ }", 1},  {"{-1}", 1},
    };
    for (const auto& [text, count] : refused) {
        EXPECT_NE(TemplateProblem(text, count), std::nullopt) << text;
    }
}

TEST(RulesReading, ReadsTheClusterBlockWithItsDefaultsAndPassesOverUnknownMembers) {
    const RulesReading reading = ReadTradeRules(json::parse(R"({"Cluster": {
        "Server": "Island", "Region": "EU",
        "Database": {"Host": "db.example", "User": "barterbox", "Password": "", "Name": "ark"}}})"));
    EXPECT_TRUE(reading.Errors.empty());
    ASSERT_TRUE(reading.Rules.Cluster);
    EXPECT_EQ(reading.Rules.Cluster->Server, "Island");
    EXPECT_EQ(reading.Rules.Cluster->Database.Port, 3306);
    EXPECT_EQ(reading.Rules.Cluster->Database.WaitMs, 250);
    EXPECT_EQ(reading.Rules.Cluster->Database.Password, "");
    ASSERT_EQ(reading.Unknown.size(), 1u);
    EXPECT_EQ(RulesMemberText(reading.Unknown[0].Path), "Cluster.Region");
    // A half-written block is no block: the file is refused rather than counted alone.
    const RulesReading broken = ReadTradeRules(json::parse(R"({"Cluster": {"Server": "Island"}})"));
    EXPECT_FALSE(broken.Rules.Cluster);
    EXPECT_FALSE(broken.Errors.empty());
}

} // namespace
