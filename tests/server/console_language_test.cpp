// The console language: which lines become which commands, and the one-line refusals of the rest.
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "tools/server/console/console_language.h"

namespace {

using barterbox::server::ConsoleCommand;
using barterbox::server::ConsoleError;
using barterbox::server::ConsoleVerb;
using barterbox::server::ParseConsoleLine;

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
        RefusalCase{"edit config.json", "usage: edit FILE TEXT..."}));

} // namespace
