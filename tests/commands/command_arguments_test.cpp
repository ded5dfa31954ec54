// The argument forms of the commands, table-driven.
#include <gtest/gtest.h>

#include "commands/command_arguments.h"

namespace {

using namespace barterbox;
using Strings = std::vector<std::string>;

TEST(CommandArguments, ArgumentText_IsEverythingAfterTheFirstSpace) {
    EXPECT_EQ(ArgumentText("Barterbox.Remove"), std::nullopt);
    EXPECT_EQ(ArgumentText(""), std::nullopt);
    EXPECT_EQ(ArgumentText("Barterbox.Remove "), "");
    EXPECT_EQ(ArgumentText("Barterbox.Remove   my deal  "), "  my deal  ");
    EXPECT_EQ(ArgumentText("x\ty z"), "z"); // only the space character separates
}

TEST(CommandArguments, TrimSpaces_TrimsOnlyTheSpaceCharacter) {
    EXPECT_EQ(TrimSpaces("   my deal  "), "my deal");
    EXPECT_EQ(TrimSpaces("    "), "");
    EXPECT_EQ(TrimSpaces("\tWood "), "\tWood");
}

TEST(CommandArguments, SplitQuotedArguments_HonoursQuotesAndDropsEmptyArguments) {
    const std::pair<const char*, Strings> cases[] = {
        {"\"Iron Deal\" metal:10 MetalIngot:5", {"Iron Deal", "metal:10", "MetalIngot:5"}},
        {"Iron Deal metal:10 MetalIngot:5", {"Iron", "Deal", "metal:10", "MetalIngot:5"}},
        {"  a   b  ", {"a", "b"}},
        {"\"\" a", {"a"}},
        {"\"unclosed quote runs on", {"unclosed quote runs on"}},
        {"we\"ird na\"me x", {"weird name", "x"}},
        {"tab\tstays", {"tab\tstays"}},
        {"", {}},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(SplitQuotedArguments(text), expected) << text;
    }
}

TEST(CommandArguments, SplitOnSpaces_MakesNoEmptyTokensAndKnowsNoQuotes) {
    const std::pair<const char*, Strings> cases[] = {
        {"Barterbox.Do   EOS1   Wood  5 ", {"Barterbox.Do", "EOS1", "Wood", "5"}},
        {"   ", {}},
        {"\"My Deal\"", {"\"My", "Deal\""}},
        {"a\tb c", {"a\tb", "c"}},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(SplitOnSpaces(text), expected) << text;
    }
}

TEST(CommandArguments, ReadLeadingInteger_ReadsLikeTheCRuntime) {
    const std::pair<const char*, std::optional<int32_t>> cases[] = {
        {"3", 3},
        {"  7x", 7},
        {"\t-4", -4},
        {"+12", 12},
        {"2 9", 2},
        {"0", 0},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"abc", std::nullopt},
        {"", std::nullopt},
        {"+", std::nullopt},
        {"+-3", std::nullopt},
        {"- 3", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ReadLeadingInteger(text), expected) << '"' << text << '"';
    }
}

} // namespace
