// The console language: which lines become which commands, and the one-line refusals of the rest.
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "audit/audit_clock.h"
#include "platform/process_environment.h"
#include "tools/server/console/clock_duration.h"
#include "tools/server/console/console_language.h"
#include "tools/server/hosting/plugin_clock.h"

namespace {

using barterbox::server::ClockTime;
using barterbox::server::ClockTimeText;
using barterbox::server::ConsoleCommand;
using barterbox::server::ConsoleError;
using barterbox::server::ConsoleVerb;
using barterbox::server::ParseConsoleLine;
using barterbox::server::ReadClockDuration;
using barterbox::server::ReadClockTime;
using namespace std::chrono_literals;

ConsoleCommand Parsed(std::string_view line) {
    const auto parsed = ParseConsoleLine(line);
    if (const auto* error = std::get_if<ConsoleError>(&parsed)) {
        ADD_FAILURE() << "\"" << line << "\" was refused: " << error->Message;
        return {};
    }
    return std::get<ConsoleCommand>(parsed);
}

std::string Refusal(std::string_view line) {
    const auto parsed = ParseConsoleLine(line);
    if (const auto* error = std::get_if<ConsoleError>(&parsed)) {
        return error->Message;
    }
    ADD_FAILURE() << "\"" << line << "\" was accepted";
    return {};
}

struct TextCase {
    std::string_view Line;
    ConsoleVerb Verb;
    std::string_view Player;
    std::string_view Text;
};

// Test names show the line, not the bytes of the case.
void PrintTo(const TextCase& c, std::ostream* out) {
    *out << testing::PrintToString(std::string(c.Line));
}

class ConsoleLanguageText : public testing::TestWithParam<TextCase> {};

// TEXT is the rest of the line after the single space that follows NAME (or rcon), as written.
TEST_P(ConsoleLanguageText, KeepsTheRestOfTheLineExactly) {
    const TextCase& expected = GetParam();
    const ConsoleCommand command = Parsed(expected.Line);
    EXPECT_EQ(command.Verb, expected.Verb);
    EXPECT_EQ(command.Player, expected.Player);
    EXPECT_EQ(command.Text, expected.Text);
}

INSTANTIATE_TEST_SUITE_P(
    ConsoleLanguage, ConsoleLanguageText,
    testing::Values(
        TextCase{"chat Ada /ex Wood 3", ConsoleVerb::Chat, "Ada", "/ex Wood 3"},
        TextCase{"chat Ada /ex  Wood   3  ", ConsoleVerb::Chat, "Ada", "/ex  Wood   3  "},
        TextCase{"chat Ada  /ex", ConsoleVerb::Chat, "Ada", " /ex"},
        TextCase{"chat   Ada /ex", ConsoleVerb::Chat, "Ada", "/ex"},
        TextCase{"chat Ada \t/ex", ConsoleVerb::Chat, "Ada", "\t/ex"},
        TextCase{"console Ada Barterbox.Remove   my deal  ", ConsoleVerb::Console, "Ada",
                 "Barterbox.Remove   my deal  "},
        TextCase{"rcon Barterbox.Do 0002a Wood", ConsoleVerb::Rcon, "", "Barterbox.Do 0002a Wood"},
        TextCase{"rcon  Barterbox.Do  x ", ConsoleVerb::Rcon, "", " Barterbox.Do  x "},
        TextCase{"  chat Ada # not a comment", ConsoleVerb::Chat, "Ada", "# not a comment"},
        TextCase{"chat Ada /ex Wood\r", ConsoleVerb::Chat, "Ada", "/ex Wood"}));

TEST(ConsoleLanguage, BlankLinesAndCommentsDoNothing) {
    for (const std::string_view line : {"", "   ", "\t", "# a comment", "   # indented", "\r"}) {
        EXPECT_EQ(Parsed(line).Verb, ConsoleVerb::Nothing) << "\"" << line << "\"";
    }
}

TEST(ConsoleLanguage, WordCommands_TakeTheirArguments) {
    const ConsoleCommand join = Parsed("join Dana 0002d4a4 admin");
    EXPECT_EQ(join.Verb, ConsoleVerb::Join);
    EXPECT_EQ(join.Player, "Dana");
    EXPECT_EQ(join.EosId, "0002d4a4");
    EXPECT_TRUE(join.Admin);
    EXPECT_FALSE(Parsed("join Dana 0002d4a4").Admin);

    EXPECT_TRUE(Parsed("admin Dana on").Admin);
    EXPECT_FALSE(Parsed("admin Dana off").Admin);

    const ConsoleCommand give = Parsed("give  Dana   PrimalItemResource_Wood  250 ");
    EXPECT_EQ(give.Verb, ConsoleVerb::Give);
    EXPECT_EQ(give.Player, "Dana");
    EXPECT_EQ(give.Item, "PrimalItemResource_Wood");
    EXPECT_EQ(give.Quantity, 250);
    EXPECT_EQ(Parsed("give Dana X 2147483647").Quantity, 2147483647);

    EXPECT_EQ(Parsed("leave Dana").Verb, ConsoleVerb::Leave);
    EXPECT_EQ(Parsed("inv Dana").Verb, ConsoleVerb::Inventory);
    EXPECT_EQ(Parsed("players").Verb, ConsoleVerb::Players);
    EXPECT_EQ(Parsed("reload-plugin").Verb, ConsoleVerb::ReloadPlugin);
    EXPECT_EQ(Parsed("help").Verb, ConsoleVerb::Help);
    EXPECT_EQ(Parsed("quit").Verb, ConsoleVerb::Quit);

    const ConsoleCommand group = Parsed("group  Dana VIP on");
    EXPECT_EQ(group.Verb, ConsoleVerb::Group);
    EXPECT_EQ(group.Player, "Dana");
    EXPECT_EQ(group.Group, "VIP");
    EXPECT_TRUE(group.Member);
    EXPECT_FALSE(Parsed("group Dana VIP off").Member);

    const ConsoleCommand clock = Parsed("clock");
    EXPECT_EQ(clock.Verb, ConsoleVerb::Clock);
    EXPECT_FALSE(clock.ClockSetTo || clock.ClockMovedOn) << "only shown";
    EXPECT_EQ(Parsed("clock +1h30m").ClockMovedOn, 5400s);
    const ConsoleCommand set = Parsed("clock 2026-12-08T15:25:01Z");
    ASSERT_TRUE(set.ClockSetTo);
    EXPECT_EQ(ClockTimeText(*set.ClockSetTo), "2026-12-08T15:25:01.000Z");

    EXPECT_EQ(Parsed("show config.json").File, "config.json");
    const ConsoleCommand edit = Parsed("edit config.json {\"Exchanges\":  {}} ");
    EXPECT_EQ(edit.Verb, ConsoleVerb::Edit);
    EXPECT_EQ(edit.File, "config.json");
    EXPECT_EQ(edit.Text, "{\"Exchanges\":  {}} ") << "the text exactly as written";
}

struct RefusalCase {
    std::string_view Line;
    std::string_view Message;
};

void PrintTo(const RefusalCase& c, std::ostream* out) {
    *out << testing::PrintToString(std::string(c.Line));
}

class ConsoleLanguageRefusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(ConsoleLanguageRefusal, GivesOneLineReason) {
    EXPECT_EQ(Refusal(GetParam().Line), GetParam().Message);
}

INSTANTIATE_TEST_SUITE_P(
    ConsoleLanguage, ConsoleLanguageRefusal,
    testing::Values(
        RefusalCase{"bogus", "unknown command \"bogus\"; help lists the commands"},
        RefusalCase{"Players", "unknown command \"Players\"; help lists the commands"},
        RefusalCase{"players now", "usage: players"}, RefusalCase{"quit now", "usage: quit"},
        RefusalCase{"join Eve", "usage: join NAME EOSID [admin]"},
        RefusalCase{"join Eve 0002e boss", "usage: join NAME EOSID [admin]"},
        RefusalCase{"join Eve 0002e admin more", "usage: join NAME EOSID [admin]"},
        RefusalCase{"leave", "usage: leave NAME"}, RefusalCase{"inv Ada Bram", "usage: inv NAME"},
        RefusalCase{"admin Ada yes", "usage: admin NAME on|off"},
        RefusalCase{"give Ada Wood", "usage: give NAME ITEM QTY"},
        RefusalCase{"give Ada Wood 0",
                    "QTY must be a whole number from 1 to 2147483647, not \"0\""},
        RefusalCase{"give Ada Wood -3",
                    "QTY must be a whole number from 1 to 2147483647, not \"-3\""},
        RefusalCase{"give Ada Wood +3",
                    "QTY must be a whole number from 1 to 2147483647, not \"+3\""},
        RefusalCase{"give Ada Wood 5x",
                    "QTY must be a whole number from 1 to 2147483647, not \"5x\""},
        RefusalCase{"give Ada Wood 2147483648",
                    "QTY must be a whole number from 1 to 2147483647, not \"2147483648\""},
        RefusalCase{"chat", "usage: chat NAME TEXT..."},
        RefusalCase{"chat Ada", "usage: chat NAME TEXT..."},
        RefusalCase{"chat Ada ", "usage: chat NAME TEXT..."},
        RefusalCase{"console Ada", "usage: console NAME TEXT..."},
        RefusalCase{"rcon", "usage: rcon TEXT..."}, RefusalCase{"rcon ", "usage: rcon TEXT..."},
        RefusalCase{"show", "usage: show FILE"}, RefusalCase{"show a b", "usage: show FILE"},
        RefusalCase{"edit config.json", "usage: edit FILE TEXT..."},
        RefusalCase{"group Ada VIP", "usage: group NAME GROUP on|off"},
        RefusalCase{"group Ada VIP yes", "usage: group NAME GROUP on|off"},
        RefusalCase{"group Ada Big Spender on", "usage: group NAME GROUP on|off"},
        RefusalCase{"clock now later", "usage: clock [TIME|+DURATION]"},
        RefusalCase{"webhook", "usage: webhook start|hang|wait N"},
        RefusalCase{"webhook wait 0", "usage: webhook start|hang|wait N"},
        RefusalCase{"webhook start hang", "usage: webhook start|hang|wait N"},
        RefusalCase{"clock 2026-12-08 15:25:01", "usage: clock [TIME|+DURATION]"},
        RefusalCase{"clock tomorrow", "TIME must be a UTC time from 1970 to 2199 like "
                                      "2026-12-08T15:25:01.123Z or 2026-12-08T15:25:01Z, not "
                                      "\"tomorrow\""},
        RefusalCase{"clock -1h", "TIME must be a UTC time from 1970 to 2199 like "
                                 "2026-12-08T15:25:01.123Z or 2026-12-08T15:25:01Z, not \"-1h\""},
        RefusalCase{"clock +1y", "DURATION must be whole seconds or numbers with the units s, m, "
                                 "h, d and w (90, 10m, 1h30m), up to 100 years, not \"1y\""},
        RefusalCase{"clock +", "DURATION must be whole seconds or numbers with the units s, m, "
                               "h, d and w (90, 10m, 1h30m), up to 100 years, not \"\""}));

// Times as the records write them, with or without milliseconds; nothing else passes for one.
TEST(ConsoleLanguage, ClockTimes_AreRealUtcTimesInTheRecordsForm) {
    struct Case {
        std::string_view Text;
        std::string_view Read; // empty when refused
    };
    const Case cases[] = {
        {"2026-12-08T15:25:01.123Z", "2026-12-08T15:25:01.123Z"},
        {"2026-12-08T15:25:01Z", "2026-12-08T15:25:01.000Z"},
        {"2028-02-29T23:59:59.999Z", "2028-02-29T23:59:59.999Z"},
        {"1970-01-01T00:00:00Z", "1970-01-01T00:00:00.000Z"},
        {"2199-12-31T23:59:59.999Z", "2199-12-31T23:59:59.999Z"},
        {"1969-12-31T23:59:59.999Z", ""}, // before 1970
        {"2200-01-01T00:00:00Z", ""},     // from 2200: the plugin's clock ends in 2262
        {"9999-12-31T23:59:59.999Z", ""},
        {"0000-01-01T00:00:00Z", ""}, // year 0 would read as a time long before 1970
        {"2027-02-29T00:00:00Z", ""},
        {"2026-02-30T10:00:00Z", ""},
        {"2026-04-31T10:00:00.000Z", ""},
        {"2026-00-10T10:00:00Z", ""},
        {"2026-12-00T10:00:00Z", ""},
        {"2026-12-08T24:00:00Z", ""},
        {"2026-12-08T15:60:00Z", ""},
        {"2026-12-08T15:25:60Z", ""},
        {"2026-13-08T15:25:01Z", ""},
        {"2026-12-08T15:25:01.5Z", ""},
        {"2026-12-08T15:25:01.1234Z", ""},
        {"2026-12-08T15:25:01", ""},
        {"2026-12-08t15:25:01Z", ""},
        {"+2026-12-08T15:25:01Z", ""},
        {"2026-12-08T15:25:+1Z", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        const std::optional<ClockTime> time = ReadClockTime(c.Text);
        EXPECT_EQ(time ? ClockTimeText(*time) : "", c.Read) << c.Text;
    }
}

TEST(ConsoleLanguage, ClockDurations_AreWholeSecondsOrUnitsUpToTenYears) {
    struct Case {
        std::string_view Text;
        std::optional<std::chrono::seconds> Duration;
    };
    const Case cases[] = {
        {"90", 90s},
        {"0", 0s},
        {"90s", 90s},
        {"10m", 600s},
        {"1h30m", 5400s},
        {"1w", 604800s},
        {"1w2d3h4m5s", 604800s + 2 * 86400s + 3 * 3600s + 4 * 60s + 5s},
        {"316224000", 316224000s},
        {"316224001", std::nullopt},
        {"523w", std::nullopt},
        {"522w2d", 522 * 604800s + 2 * 86400s},
        {"99999999999999999999s", std::nullopt},
        {"9223372036854775807w", std::nullopt},
        {"1h30", std::nullopt},
        {"1y", std::nullopt},
        {"1H", std::nullopt},
        {"h", std::nullopt},
        {"1.5h", std::nullopt},
        {"-5", std::nullopt},
        {" 5", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadClockDuration(c.Text), c.Duration) << c.Text;
    }
    EXPECT_EQ(barterbox::server::kLongestClockStep, 316224000s);
}

// The plugin reads the clock the server fixes, to the millisecond.
TEST(ConsoleLanguage, ClockTheServerSets_IsTheTimeThePluginTakes) {
    for (const char* text :
         {"2026-12-08T15:25:01.123Z", "1970-01-01T00:00:00.000Z", "2199-12-31T23:59:59.999Z"}) {
        const ClockTime time = *ReadClockTime(text);
        ASSERT_TRUE(barterbox::server::SetPluginClock(time));
        EXPECT_EQ(barterbox::AuditTimeText(barterbox::AuditClock()), text);
        EXPECT_EQ(barterbox::server::PluginClock(), time);
    }
    barterbox::platform::SetProcessEnvironment("BARTERBOX_FIXED_CLOCK", "");
}

} // namespace
