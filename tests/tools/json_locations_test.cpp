// The location index: where values and member names stand, repeated members, error positions,
// and how member paths are shown.
#include <gtest/gtest.h>

#include <string>

#include "tools/common/json_locations.h"

namespace {

using namespace barterbox::tools;

MemberPath Path(std::initializer_list<PathStep> steps) {
    return MemberPath(steps);
}

TEST(JsonLocations, IndexJson_FindsValuesAndNamesAcrossLines) {
    const std::string text = "{\n"
                             "  \"Settings\": {\"MaxMultiplier\": 5},\n"
                             "  \"List\": [ 1, [true, null], \"x\" ],\n"
                             "\t\"Empty\": {}\n"
                             "}";
    const JsonLocations index = IndexJson(text);
    EXPECT_EQ(ValuePosition(index, {}), (TextPosition{1, 1}));
    EXPECT_EQ(NamePosition(index, Path({"Settings"})), (TextPosition{2, 3}));
    EXPECT_EQ(ValuePosition(index, Path({"Settings"})), (TextPosition{2, 15}));
    EXPECT_EQ(NamePosition(index, Path({"Settings", "MaxMultiplier"})), (TextPosition{2, 16}));
    EXPECT_EQ(ValuePosition(index, Path({"Settings", "MaxMultiplier"})), (TextPosition{2, 33}));
    EXPECT_EQ(ValuePosition(index, Path({"List", size_t{0}})), (TextPosition{3, 13}));
    EXPECT_EQ(ValuePosition(index, Path({"List", size_t{1}})), (TextPosition{3, 16}));
    EXPECT_EQ(ValuePosition(index, Path({"List", size_t{1}, size_t{1}})), (TextPosition{3, 23}));
    EXPECT_EQ(ValuePosition(index, Path({"List", size_t{2}})), (TextPosition{3, 30}));
    EXPECT_EQ(NamePosition(index, Path({"Empty"})), (TextPosition{4, 2})); // a tab is one byte
    EXPECT_EQ(ValuePosition(index, Path({"Empty"})), (TextPosition{4, 11}));
    // An array element has no name; its value stands for it.
    EXPECT_EQ(NamePosition(index, Path({"List", size_t{2}})), (TextPosition{3, 30}));
}

TEST(JsonLocations, IndexJson_DecodesEscapedNamesAsTheLibraryDoes) {
    const std::string text = R"({"a\"b": 1, "\u00e9t\u00e9": 2, "x\\/y": 3})";
    const JsonLocations index = IndexJson(text);
    EXPECT_EQ(ValuePosition(index, Path({"a\"b"})), (TextPosition{1, 10}));
    EXPECT_EQ(ValuePosition(index, Path({"\xC3\xA9t\xC3\xA9"})), (TextPosition{1, 30}));
    EXPECT_EQ(ValuePosition(index, Path({"x\\/y"})), (TextPosition{1, 42}));
}

TEST(JsonLocations, IndexJson_CountsColumnsInBytesAfterAByteOrderMark) {
    // The same count as the library's own error texts: bytes, the mark included.
    const std::string text = "\xEF\xBB\xBF{\"\xC3\xA9\": 1, \"b\": 2}";
    const JsonLocations index = IndexJson(text);
    EXPECT_EQ(ValuePosition(index, {}), (TextPosition{1, 4}));
    EXPECT_EQ(NamePosition(index, Path({"\xC3\xA9"})), (TextPosition{1, 5}));
    EXPECT_EQ(NamePosition(index, Path({"b"})), (TextPosition{1, 14}));
}

TEST(JsonLocations, IndexJson_KeepsTheLaterOfARepeatedMemberAndRecordsBoth) {
    const std::string text = "{\"a\": 1,\n \"b\": {\"c\": 1, \"c\": 2},\n \"a\": 3}";
    const JsonLocations index = IndexJson(text);
    EXPECT_EQ(ValuePosition(index, Path({"a"})), (TextPosition{3, 7}));
    ASSERT_EQ(index.Repeats.size(), 2u);
    EXPECT_EQ(index.Repeats[0].Member, Path({"b", "c"}));
    EXPECT_EQ(index.Repeats[0].First, (TextPosition{2, 8}));
    EXPECT_EQ(index.Repeats[0].Later, (TextPosition{2, 16}));
    EXPECT_EQ(index.Repeats[1].Member, Path({"a"}));
    EXPECT_EQ(index.Repeats[1].First, (TextPosition{1, 2}));
    EXPECT_EQ(index.Repeats[1].Later, (TextPosition{3, 2}));
}

TEST(JsonLocations, IndexJson_SurvivesDeepNestingAndFallsBackToAnAncestor) {
    // Deep enough to overflow the stack of a recursive walk.
    const size_t depth = 200000;
    const std::string text = std::string(depth, '[') + std::string(depth, ']');
    ParsedJson parsed = ParseJsonText(text);
    ASSERT_TRUE(parsed.Parsed) << parsed.Error;
    MemberPath deep(40, PathStep(size_t{0}));
    // Indexed down to 32 levels: the 33rd bracket is the nearest ancestor on record.
    EXPECT_EQ(ValuePosition(parsed.Locations, deep), (TextPosition{1, 33}));
}

TEST(JsonLocations, ParseJsonText_GivesTheLibraryTextAndWhereItStopped) {
    struct Case {
        const char* Text;
        TextPosition Where;
        const char* Error;
    };
    const Case cases[] = {
        {"{\n  \"a\": x}",
         {2, 8},
         "[json.exception.parse_error.101] parse error at line 2, column 8: syntax error while "
         "parsing value - invalid literal; last read: '\"a\": x'"},
        {"",
         {1, 1},
         "[json.exception.parse_error.101] parse error at line 1, column 1: syntax error while "
         "parsing value - unexpected end of input; expected '[', '{', or a literal"},
        {"{} // note",
         {1, 4},
         "[json.exception.parse_error.101] parse error at line 1, column 4: syntax error while "
         "parsing value - invalid literal; last read: '{} /'; expected end of input"},
        {"{\"a\":\n 1e400}",
         {2, 6},
         "[json.exception.out_of_range.406] number overflow parsing '1e400'"},
    };
    for (const Case& c : cases) {
        const ParsedJson parsed = ParseJsonText(c.Text);
        EXPECT_FALSE(parsed.Parsed) << c.Text;
        EXPECT_EQ(parsed.Error, c.Error) << c.Text;
        EXPECT_EQ(parsed.ErrorPosition, c.Where) << c.Text;
    }
}

TEST(JsonLocations, PathsShowBareNamesQuotedNamesAndIndexes) {
    const MemberPath path = Path({"Exchanges", "Iron Deal", "Give", "Wood"});
    EXPECT_EQ(DisplayPath(path), "Exchanges.\"Iron Deal\".Give.Wood");
    EXPECT_EQ(PointerPath(path), "/Exchanges/Iron Deal/Give/Wood");
    const MemberPath players = Path({"Players", size_t{1}, "Inventory", size_t{0}, "Item"});
    EXPECT_EQ(DisplayPath(players), "Players[1].Inventory[0].Item");
    EXPECT_EQ(PointerPath(players), "/Players/1/Inventory/0/Item");
    const MemberPath odd = Path({"a/b~c", "", "Blueprint'/Game/X.X'"});
    EXPECT_EQ(DisplayPath(odd), "\"a/b~c\".\"\".\"Blueprint'/Game/X.X'\"");
    EXPECT_EQ(PointerPath(odd), "/a~1b~0c//Blueprint'~1Game~1X.X'");
    EXPECT_EQ(DisplayPath({}), "");
    EXPECT_EQ(PointerPath({}), "");
}

} // namespace
