// The checks of config.json and of the rules.json beside it: one file (or pair) per kind of
// finding, checked for the exact line the administrator reads (position, member, message) and for
// the exit status it leads to.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tools/check/check_run.h"
#include "tools/check/config_check.h"
#include "tools/check/finding_output.h"

namespace {

using namespace barterbox::tools;

std::vector<std::string> Lines(const std::vector<Finding>& findings) {
    std::vector<std::string> lines;
    for (const Finding& finding : findings) {
        lines.push_back(HumanLine(finding));
    }
    return lines;
}

struct ConfigCase {
    const char* Name;
    std::string Text;
    std::vector<std::string> Lines;
    int Status;
    std::optional<std::string> Rules = std::nullopt; // rules.json beside config.json
};

// A case with a rules.json, written in the order a reader takes it in: the two files, then what
// the check prints and its exit status.
ConfigCase RulesCase(const char* name, std::string config, std::string rules,
                     std::vector<std::string> lines, int status) {
    return {name, std::move(config), std::move(lines), status, std::move(rules)};
}

class ConfigCheckFindings : public ::testing::TestWithParam<ConfigCase> {};

// Every finding of the files, as a run without a world reports them: the config's own, those of
// its trades, then rules.json's.
TEST_P(ConfigCheckFindings, CheckTexts_ReportsTheFindingWhereItStands) {
    CheckResult result;
    CheckTexts({"config.json", GetParam().Text, "rules.json", GetParam().Rules}, result);
    EXPECT_EQ(Lines(result.Findings), GetParam().Lines);
    EXPECT_EQ(ExitStatus(result.Findings), GetParam().Status);
}

// A clean exchange to put beside the one under test, so each case shows only its own finding.
const std::string kSettings =
    R"("Settings": {"AllowMultiplier": true, "ChatPrefix": "Trader", "MaxMultiplier": 10})";

// A clean table for the rules cases: three exchanges and no loop.
const std::string kRulesConfig =
    "{\"Exchanges\": {\n"
    "  \"Ingots\": {\"Give\": {\"Metal\": 2}, \"Receive\": {\"/G/Ingot.Ingot\": 1}},\n"
    "  \"Paste\": {\"Give\": {\"Stone\": 8}, \"Receive\": {\"/G/Paste.Paste\": 2}},\n"
    "  \"Polymer\": {\"Give\": {\"Paste\": 4}, \"Receive\": {\"/G/Polymer.Polymer\": 1}}\n"
    "}}";

// Two exchanges that mint a B for every round of one run each.
const std::string kLoopConfig =
    "{\"Exchanges\": {\n"
    "  \"Sell\": {\"Give\": {\"/G/A.A\": 1}, \"Receive\": {\"/G/B.B\": 2}},\n"
    "  \"Buy\": {\"Give\": {\"/G/B.B\": 1}, \"Receive\": {\"/G/A.A\": 1}}\n"
    "}}";

INSTANTIATE_TEST_SUITE_P(
    Cases, ConfigCheckFindings,
    ::testing::Values(
        ConfigCase{"CleanConfig",
                   "{" + kSettings +
                       R"(, "Exchanges": {"Wood": {"Description": "d", "Give": {"Wood": 10},)"
                       R"( "Receive": {"Blueprint'/G/S.S'": 5, "/G/F.F": 1}}}})",
                   {},
                   0},
        ConfigCase{"EmptyObject", "{}", {}, 0},

        // Errors: what the plugin cannot parse, with the library's own text.
        ConfigCase{"SyntaxError",
                   "{\n  \"Exchanges\": {\n    \"Wood\": x\n  }\n}",
                   {"config.json:3:13: error: [json.exception.parse_error.101] parse error at "
                    "line 3, column 13: syntax error while parsing value - invalid literal; last "
                    "read: '\"Wood\": x'"},
                   2},
        // Errors: parse errors whose cause has a plain name, pointed at where the cause stands.
        ConfigCase{"TrailingComma",
                   "{\"Exchanges\": {},\n}",
                   {"config.json:1:17: error: a trailing comma before \"}\"; JSON allows no comma "
                    "after the last member; [json.exception.parse_error.101] parse error at line "
                    "2, column 1: syntax error while parsing object key - unexpected '}'; "
                    "expected string literal"},
                   2},
        ConfigCase{"TrailingCommaInAList",
                   "{\"Exchanges\": [1, 2 ,\n  ]}",
                   {"config.json:1:21: error: a trailing comma before \"]\"; JSON allows no comma "
                    "after the last element; [json.exception.parse_error.101] parse error at line "
                    "2, column 3: syntax error while parsing value - unexpected ']'; expected "
                    "'[', '{', or a literal"},
                   2},
        ConfigCase{"MissingComma",
                   "{\"Exchanges\": {\"A\": {\"Give\": {\"x\": 1}\n    \"Receive\": {\"/y\": 1}}}}",
                   {"config.json:1:38: error: a missing comma; a comma must separate two members; "
                    "[json.exception.parse_error.101] parse error at line 2, column 13: syntax "
                    "error while parsing object - unexpected string literal; expected '}'"},
                   2},
        ConfigCase{"MissingCommaInAList",
                   "{\"Exchanges\": [\"a\\\"\" [2]]}",
                   {"config.json:1:21: error: a missing comma; a comma must separate two elements; "
                    "[json.exception.parse_error.101] parse error at line 1, column 22: syntax "
                    "error while parsing array - unexpected '['; expected ']'"},
                   2},
        ConfigCase{"Comment",
                   "// exchanges\n{}",
                   {"config.json:1:1: error: a comment; JSON has no comments; "
                    "[json.exception.parse_error.101] parse error at line 1, column 1: syntax "
                    "error while parsing value - invalid literal; last read: '/'"},
                   2},
        ConfigCase{"BlockCommentAfterAValue",
                   "{\"Settings\": {} /* none */}",
                   {"config.json:1:17: error: a comment; JSON has no comments; "
                    "[json.exception.parse_error.101] parse error at line 1, column 17: syntax "
                    "error while parsing object - invalid literal; last read: '\"Settings\": {} "
                    "/'; expected '}'"},
                   2},
        ConfigCase{"SingleQuotedString",
                   "{\"Settings\": {\"ChatPrefix\": 'Trader'}}",
                   {"config.json:1:29: error: a string in single quotes; JSON strings take double "
                    "quotes; [json.exception.parse_error.101] parse error at line 1, column 29: "
                    "syntax error while parsing value - invalid literal; last read: "
                    "'\"ChatPrefix\": ''"},
                   2},
        ConfigCase{"MissingColonHasNoPlainName",
                   "{\"Settings\" {}}",
                   {"config.json:1:13: error: [json.exception.parse_error.101] parse error at line "
                    "1, column 13: syntax error while parsing object separator - unexpected '{'; "
                    "expected ':'"},
                   2},

        // Errors: what takes players' items for nothing.
        ConfigCase{"ReceiveNotABlueprintPath",
                   "{\"Exchanges\": {\"Q\": {\"Give\": {\"x\": 1},\n"
                   "  \"Receive\": {\"PrimalItemResource_Crystal\": 1, \"/G/Ok.Ok\": 1}}}}",
                   {"config.json:2:15: error: Exchanges.Q.Receive.PrimalItemResource_Crystal: not "
                    "a blueprint path (it holds no \"/\"); the game hands out nothing for it, "
                    "so the exchange never completes"},
                   2},
        ConfigCase{"ItemHoldingANul",
                   "{\"Exchanges\": {\"Q\": {\"Give\": {\"\\u0000x\": 1},\n"
                   "  \"Receive\": {\"\\u0000Blueprint'/G/S.S'\": 1}}}}",
                   {"config.json:1:31: error: Exchanges.Q.Give.\"\\u0000x\": holds a NUL "
                    "character, where the game ends the name; it then matches other items than "
                    "the one written (all of them, when nothing stands before it)",
                    "config.json:2:15: error: Exchanges.Q.Receive.\"\\u0000Blueprint'/G/S.S'\": "
                    "holds a NUL character, where the game ends the name; the game hands out "
                    "nothing for it, so the exchange never completes"},
                   2},
        ConfigCase{
            "QuantityWrittenAsAString",
            "{\"Exchanges\": {\"Q\": {\"Give\": {\"x\": \"10\"}, \"Receive\": {\"/y\": 1}}}}",
            {"config.json:1:36: error: Exchanges.Q.Give.x: quantity \"10\" is a string, not a "
             "number; the plugin reads it as 1"},
            2},
        ConfigCase{"EmptyFile",
                   "",
                   {"config.json:1:1: error: [json.exception.parse_error.101] parse error at line "
                    "1, column 1: syntax error while parsing value - unexpected end of input; "
                    "expected '[', '{', or a literal"},
                   2},
        ConfigCase{"NumberTooLargeForADouble",
                   "{\"Settings\": {\"MaxMultiplier\": 1e400}}",
                   {"config.json:1:36: error: [json.exception.out_of_range.406] number overflow "
                    "parsing '1e400'"},
                   2},

        // Errors: values of the wrong JSON type, which make the plugin refuse the file.
        ConfigCase{
            "WrongTypes",
            "{\"Settings\": {\"ChatPrefix\": 5, \"AllowMultiplier\": \"yes\",\n"
            "              \"MaxMultiplier\": \"10\"},\n"
            " \"Exchanges\": {\"A\": [], \"B\": {\"Description\": null, \"Give\": {\"x\": 1},"
            " \"Receive\": {\"/y\": 1}}}}",
            {"config.json:1:29: error: Settings.ChatPrefix: must be a string, not a number; the "
             "plugin refuses the whole file and loads no exchanges",
             "config.json:1:51: error: Settings.AllowMultiplier: must be a boolean, not a string; "
             "the plugin refuses the whole file and loads no exchanges",
             "config.json:2:32: error: Settings.MaxMultiplier: must be a number or a boolean, not "
             "a string; the plugin refuses the whole file and loads no exchanges",
             "config.json:3:21: error: Exchanges.A: must be an object, not an array; the plugin "
             "refuses the whole file and loads no exchanges",
             "config.json:3:46: error: Exchanges.B.Description: must be a string, not null; the "
             "plugin refuses the whole file and loads no exchanges"},
            2},

        // Warnings: containers of another type, which the plugin passes over.
        ConfigCase{"RootNotAnObject",
                   "[{\"Exchanges\": {}}]",
                   {"config.json:1:1: warning: the root is an array, not an object; the plugin "
                    "reads no settings and no exchanges"},
                   1},
        ConfigCase{"SettingsAndExchangesNotObjects",
                   "{\"Settings\": \"Trader\", \"Exchanges\": [\"Wood\"]}",
                   {"config.json:1:14: warning: Settings: is a string, not an object; the plugin "
                    "ignores it and keeps its settings",
                    "config.json:1:37: warning: Exchanges: is an array, not an object; the "
                    "plugin loads no exchanges"},
                   1},

        // Warnings: exchanges that the plugin drops.
        ConfigCase{"ExchangesWithoutItems",
                   "{\"Exchanges\": {\n"
                   "  \"NoGive\": {\"Receive\": {\"/y\": 1}},\n"
                   "  \"NoReceive\": {\"Give\": {\"x\": 1}, \"Receive\": {}},\n"
                   "  \"Neither\": {\"Description\": \"d\"},\n"
                   "  \"GiveList\": {\"Give\": [\"x\"], \"Receive\": {\"/y\": 1}}\n"
                   "}}",
                   {"config.json:2:3: warning: Exchanges.NoGive: has no Give items; the plugin "
                    "drops this exchange",
                    "config.json:3:3: warning: Exchanges.NoReceive: has no Receive items; the "
                    "plugin drops this exchange",
                    "config.json:4:3: warning: Exchanges.Neither: has neither Give nor Receive "
                    "items; the plugin drops this exchange",
                    "config.json:5:3: warning: Exchanges.GiveList: has no Give items; the plugin "
                    "drops this exchange",
                    "config.json:5:24: warning: Exchanges.GiveList.Give: is an array, not an "
                    "object; the plugin reads no items from it"},
                   1},

        // Warnings: names.
        ConfigCase{"NamesEqualUpToCase",
                   "{\"Exchanges\": {\n"
                   "  \"wood\": {\"Give\": {\"x\": 1}, \"Receive\": {\"/y\": 1}},\n"
                   "  \"Wood\": {\"Give\": {\"x\": 1}, \"Receive\": {\"/y\": 1}},\n"
                   "  \"WOOD\": {\"Give\": {\"x\": 1}, \"Receive\": {\"/y\": 1}},\n"
                   "  \"WOOd\": {\"Give\": {\"x\": 1}},\n"
                   "  \"\xC3\x89tain\": {\"Give\": {\"x\": 1}, \"Receive\": {\"/y\": 1}},\n"
                   "  \"\xC3\xA9tain\": {\"Give\": {\"x\": 1}, \"Receive\": {\"/y\": 1}}\n"
                   "}}",
                   {"config.json:3:3: warning: Exchanges.Wood: shadowed by \"wood\", a name equal "
                    "up to the case of A to Z that comes later in byte order; the plugin keeps "
                    "only \"wood\"",
                    "config.json:4:3: warning: Exchanges.WOOD: shadowed by \"wood\", a name equal "
                    "up to the case of A to Z that comes later in byte order; the plugin keeps "
                    "only \"wood\"",
                    "config.json:5:3: warning: Exchanges.WOOd: has no Receive items; the plugin "
                    "drops this exchange",
                    "config.json:6:3: warning: Exchanges.\"\xC3\x89tain\": the name holds "
                    "characters outside ASCII; no chat or RCON command can reach this exchange",
                    "config.json:7:3: warning: Exchanges.\"\xC3\xA9tain\": the name holds "
                    "characters outside ASCII; no chat or RCON command can reach this exchange"},
                   1},
        ConfigCase{"ShadowingNamesAreQuotedAsJson",
                   "{\"Exchanges\": {\n"
                   "  \"A\\u001b\": {\"Give\": {\"x\": 1}, \"Receive\": {\"/y\": 1}},\n"
                   "  \"a\\u001b\": {\"Give\": {\"x\": 1}, \"Receive\": {\"/y\": 1}}\n"
                   "}}",
                   {"config.json:2:3: warning: Exchanges.\"A\\u001b\": shadowed by \"a\\u001b\", a "
                    "name equal up to the case of A to Z that comes later in byte order; the "
                    "plugin keeps only \"a\\u001b\""},
                   1},
        ConfigCase{"NamesNoCommandCanReach",
                   "{\"Exchanges\": {\n"
                   "  \"Iron Deal\": {\"Give\": {\"x\": 1}, \"Receive\": {\"/y\": 1}},\n"
                   "  \"\": {\"Give\": {\"x\": 1}, \"Receive\": {\"/y\": 1}},\n"
                   "  \"Tab\\tName\": {\"Give\": {\"x\": 1}, \"Receive\": {\"/y\": 1}}\n"
                   "}}",
                   {"config.json:2:3: warning: Exchanges.\"Iron Deal\": the name holds a space; "
                    "no chat or RCON command can reach this exchange",
                    "config.json:3:3: warning: Exchanges.\"\": the name is empty; no chat or RCON "
                    "command can reach this exchange"},
                   1},

        // Warnings: quantities.
        ConfigCase{
            "GiveQuantities",
            "{\"Exchanges\": {\"Q\": {\"Receive\": {\"/y\": 1}, \"Give\": {\n"
            "  \"a\": 0,\n"
            "  \"b\": -3,\n"
            "  \"c\": 2.9,\n"
            "  \"d\": 3000000000,\n"
            "  \"e\": -3000000000,\n"
            "  \"f\": \"5\",\n"
            "  \"g\": true,\n"
            "  \"h\": null,\n"
            "  \"i\": {\"n\": 5},\n"
            "  \"j\": -0.5,\n"
            "  \"k\": 4.0,\n"
            "  \"l\": 1e10\n"
            "}}}}",
            {"config.json:2:8: warning: Exchanges.Q.Give.a: quantity 0 is 0 or less; every run of "
             "this exchange fails",
             "config.json:3:8: warning: Exchanges.Q.Give.b: quantity -3 is 0 or less; every run "
             "of this exchange fails",
             "config.json:4:8: warning: Exchanges.Q.Give.c: quantity 2.9 is not a whole number; "
             "the plugin reads it as 2",
             "config.json:5:8: warning: Exchanges.Q.Give.d: quantity 3000000000 is beyond the "
             "signed 32-bit range; the plugin reads it as 2147483647",
             "config.json:6:8: warning: Exchanges.Q.Give.e: quantity -3000000000 is beyond the "
             "signed 32-bit range; the plugin reads it as -2147483648",
             "config.json:6:8: warning: Exchanges.Q.Give.e: quantity -3000000000 (read as "
             "-2147483648) is 0 or less; every run of this exchange fails",
             "config.json:7:8: error: Exchanges.Q.Give.f: quantity \"5\" is a string, not a "
             "number; the plugin reads it as 1",
             "config.json:8:8: warning: Exchanges.Q.Give.g: quantity true is a boolean, not a "
             "number; the plugin reads it as 1",
             "config.json:9:8: warning: Exchanges.Q.Give.h: quantity null is null, not a number; "
             "the plugin reads it as 1",
             "config.json:10:8: warning: Exchanges.Q.Give.i: quantity is an object, not a number; "
             "the plugin reads it as 1",
             "config.json:11:8: warning: Exchanges.Q.Give.j: quantity -0.5 is not a whole "
             "number; the plugin reads it as 0",
             "config.json:11:8: warning: Exchanges.Q.Give.j: quantity -0.5 (read as 0) is 0 or "
             "less; every run of this exchange fails",
             "config.json:13:8: warning: Exchanges.Q.Give.l: quantity 10000000000.0 is beyond the "
             "signed 32-bit range; the plugin reads it as 2147483647"},
            2},
        ConfigCase{
            "ReceiveQuantityNotPositive",
            R"({"Exchanges": {"Q": {"Give": {"x": 1}, "Receive": {"/y": 0}}}})",
            {"config.json:1:58: warning: Exchanges.Q.Receive.\"/y\": quantity 0 is 0 or less; "
             "every run of this exchange is refused before anything is taken"},
            1},

        // Warnings: the multiplier settings.
        ConfigCase{"MaxMultiplierNotPositive",
                   "{\"Settings\": {\"MaxMultiplier\": 0}}",
                   {"config.json:1:32: warning: Settings.MaxMultiplier: 0 is 0 or less; every "
                    "exchange then fails"},
                   1},
        ConfigCase{"MaxMultiplierReadOtherwise",
                   "{\"Settings\": {\"MaxMultiplier\": false}}\n",
                   {"config.json:1:32: warning: Settings.MaxMultiplier: false is a boolean, not a "
                    "number; the plugin reads it as 0",
                    "config.json:1:32: warning: Settings.MaxMultiplier: false (read as 0) is 0 or "
                    "less; every exchange then fails"},
                   1},
        ConfigCase{"MaxMultiplierFractional",
                   "{\"Settings\": {\"MaxMultiplier\": 7.5}}",
                   {"config.json:1:32: warning: Settings.MaxMultiplier: 7.5 is not a whole number; "
                    "the plugin reads it as 7"},
                   1},
        ConfigCase{"MaxMultiplierBeyondRange",
                   "{\"Settings\": {\"MaxMultiplier\": -9999999999}}",
                   {"config.json:1:32: warning: Settings.MaxMultiplier: -9999999999 is beyond the "
                    "signed 32-bit range; the plugin reads it as -2147483648",
                    "config.json:1:32: warning: Settings.MaxMultiplier: -9999999999 (read as "
                    "-2147483648) is 0 or less; every exchange then fails"},
                   1},
        ConfigCase{"MultipliersOffWithAMaximum",
                   "{\"Settings\": {\"AllowMultiplier\": false, \"MaxMultiplier\": 5}}",
                   {"config.json:1:34: warning: Settings.AllowMultiplier: false while "
                    "MaxMultiplier is 5; with multipliers off every run uses 1, so MaxMultiplier "
                    "should be 1"},
                   1},
        ConfigCase{"MultipliersOffWithTheDefaultMaximum",
                   "{\"Settings\": {\"AllowMultiplier\": false}}",
                   {"config.json:1:34: warning: Settings.AllowMultiplier: false while "
                    "MaxMultiplier is 100 (its default when absent); with multipliers off every "
                    "run uses 1, so MaxMultiplier should be 1"},
                   1},
        ConfigCase{"MultipliersOffWithAMaximumOfOne",
                   "{\"Settings\": {\"AllowMultiplier\": false, \"MaxMultiplier\": 1}}",
                   {},
                   0},

        // Warnings: members the plugin ignores, and members given twice.
        ConfigCase{
            "UnknownMembers",
            "{\"Version\": 2, \"settings\": {},\n"
            " \"Settings\": {\"Prefix\": \"T\", \"maxmultiplier\": 5},\n"
            " \"Exchanges\": {\"A\": {\"Give\": {\"x\": 1}, \"Receive\": {\"/y\": 1}, \"Note\": "
            "\"\"}}}",
            {"config.json:1:2: warning: Version: unknown member; the plugin ignores it and a save "
             "drops it",
             "config.json:1:16: warning: settings: unknown member (did you mean \"Settings\"?); "
             "the plugin ignores it and a save drops it",
             "config.json:2:15: warning: Settings.Prefix: unknown member; the plugin ignores it "
             "and a save drops it",
             "config.json:2:30: warning: Settings.maxmultiplier: unknown member (did you mean "
             "\"MaxMultiplier\"?); the plugin ignores it and a save drops it",
             "config.json:3:62: warning: Exchanges.A.Note: unknown member; the plugin ignores it "
             "and a save drops it"},
            1},
        ConfigCase{
            "MisspeltMembersGetTheNearestKnownName",
            "{\"Exchange\": {}, \"Settings\": {\"Chatprefix\": \"T\", \"MaxMultiplyer\": 5,\n"
            " \"AllowMultipliers\": true}, \"Exchanges\": {\"A\": {\"Give\": {\"x\": 1},\n"
            " \"Recieve\": {\"/y\": 1}, \"Descripton\": \"d\", \"Giv\": {}}}}",
            {"config.json:1:2: warning: Exchange: unknown member (did you mean \"Exchanges\"?); "
             "the plugin ignores it and a save drops it",
             "config.json:1:31: warning: Settings.Chatprefix: unknown member (did you mean "
             "\"ChatPrefix\"?); the plugin ignores it and a save drops it",
             "config.json:1:50: warning: Settings.MaxMultiplyer: unknown member (did you mean "
             "\"MaxMultiplier\"?); the plugin ignores it and a save drops it",
             "config.json:2:2: warning: Settings.AllowMultipliers: unknown member (did you mean "
             "\"AllowMultiplier\"?); the plugin ignores it and a save drops it",
             "config.json:2:43: warning: Exchanges.A: has no Receive items; the plugin drops "
             "this exchange",
             "config.json:3:2: warning: Exchanges.A.Recieve: unknown member (did you mean "
             "\"Receive\"?); the plugin ignores it and a save drops it",
             "config.json:3:24: warning: Exchanges.A.Descripton: unknown member (did you mean "
             "\"Description\"?); the plugin ignores it and a save drops it",
             "config.json:3:43: warning: Exchanges.A.Giv: unknown member (did you mean "
             "\"Give\"?); the plugin ignores it and a save drops it"},
            1},
        ConfigCase{"RepeatedMembers",
                   "{\"Exchanges\": {\n"
                   "  \"A\": {\"Give\": {\"x\": 1}, \"Receive\": {\"/y\": 1}},\n"
                   "  \"A\": {\"Give\": {\"x\": 2, \"x\": 3}, \"Receive\": {\"/y\": 1}}\n"
                   "}}",
                   {"config.json:2:3: warning: Exchanges.A: given again at line 3, column 3 in "
                    "the same object; the plugin keeps only that later one",
                    "config.json:3:18: warning: Exchanges.A.Give.x: given again at line 3, column "
                    "26 in the same object; the plugin keeps only that later one"},
                   1},
        ConfigCase{"EmptyGiveText",
                   R"({"Exchanges": {"A": {"Give": {"": 1}, "Receive": {"/G/B.B": 1}}}})",
                   {"config.json:1:31: error: Exchanges.A.Give.\"\": the empty item text matches "
                    "every item; the plugin takes the quantity from whatever the player carries"},
                   2},

        // Loops: exchanges that, run in some proportion, leave a player with more of something
        // and less of nothing. Without a world the classes are those the Receive items make.
        ConfigCase{"TwoExchangeLoop",
                   "{\"Exchanges\": {\n"
                   "  \"Sell\": {\"Give\": {\"/G/A.A\": 1}, \"Receive\": {\"/G/B.B\": 2}},\n"
                   "  \"Buy\": {\"Give\": {\"/G/B.B\": 1}, \"Receive\": {\"/G/A.A\": 1}}\n"
                   "}}",
                   {"config.json:2:3: error: Exchanges.Sell: loop: Sell x1, Buy x1 gains 1 B_C per "
                    "round"},
                   2},
        // "Metal" means raw metal, but it is also a part of the ingot's path, so the ingots that
        // Buy hands out pay for the gem that buys them.
        ConfigCase{"LoopThroughASubstringMatch",
                   "{\"Exchanges\": {\n"
                   "  \"Buy\": {\"Give\": {\"/G/Gem.Gem\": 1}, \"Receive\": "
                   "{\"/G/MetalIngot.MetalIngot\": 3}},\n"
                   "  \"Trade\": {\"Give\": {\"Metal\": 2}, \"Receive\": {\"/G/Gem.Gem\": 1}}\n"
                   "}}",
                   {"config.json:2:3: error: Exchanges.Buy: loop: Buy x1, Trade x1 gains 1 "
                    "MetalIngot_C per round"},
                   2},
        // Each exchange needs what only the third one makes; no two of them gain on their own.
        ConfigCase{
            "ThreeExchangeLoopThatNoPairForms",
            "{\"Exchanges\": {\n"
            "  \"E1\": {\"Give\": {\"/G/A.A\": 1, \"/G/B.B\": 1}, \"Receive\": "
            "{\"/G/C.C\": 3}},\n"
            "  \"E2\": {\"Give\": {\"/G/B.B\": 1, \"/G/C.C\": 1}, \"Receive\": "
            "{\"/G/A.A\": 3}},\n"
            "  \"E3\": {\"Give\": {\"/G/C.C\": 1, \"/G/A.A\": 1}, \"Receive\": "
            "{\"/G/B.B\": 3}}\n"
            "}}",
            {"config.json:2:3: error: Exchanges.E1: loop: E1 x2, E2 x1, E3 x1 gains 4 C_C per "
             "round"},
            2},
        ConfigCase{"CycleThatBreaksEvenIsNoLoop",
                   "{\"Exchanges\": {\n"
                   "  \"E1\": {\"Give\": {\"/G/A.A\": 1, \"/G/B.B\": 1}, \"Receive\": "
                   "{\"/G/C.C\": 2}},\n"
                   "  \"E2\": {\"Give\": {\"/G/B.B\": 1, \"/G/C.C\": 1}, \"Receive\": "
                   "{\"/G/A.A\": 2}},\n"
                   "  \"E3\": {\"Give\": {\"/G/C.C\": 1, \"/G/A.A\": 1}, \"Receive\": "
                   "{\"/G/B.B\": 2}},\n"
                   "  \"Sell\": {\"Give\": {\"/G/A.A\": 3}, \"Receive\": {\"/G/D.D\": 2}},\n"
                   "  \"Buy\": {\"Give\": {\"/G/D.D\": 2}, \"Receive\": {\"/G/A.A\": 3}}\n"
                   "}}",
                   {},
                   0},
        ConfigCase{"TwoIndependentLoops",
                   "{\"Exchanges\": {\n"
                   "  \"Sell\": {\"Give\": {\"/G/A.A\": 1}, \"Receive\": {\"/G/B.B\": 2}},\n"
                   "  \"Buy\": {\"Give\": {\"/G/B.B\": 1}, \"Receive\": {\"/G/A.A\": 1}},\n"
                   "  \"Up\": {\"Give\": {\"/G/C.C\": 5}, \"Receive\": {\"/G/D.D\": 1}},\n"
                   "  \"Down\": {\"Give\": {\"/G/D.D\": 1}, \"Receive\": {\"/G/C.C\": 6}}\n"
                   "}}",
                   {"config.json:2:3: error: Exchanges.Sell: loop: Sell x1, Buy x1 gains 1 B_C per "
                    "round",
                    "config.json:4:3: error: Exchanges.Up: loop: Up x1, Down x1 gains 1 C_C per "
                    "round"},
                   2},
        ConfigCase{"OneExchangeThatPaysWithWhatItHandsOut",
                   R"({"Exchanges": {"Mint": {"Give": {"Ingot": 2}, )"
                   R"("Receive": {"/G/MetalIngot.MetalIngot": 3}}}})",
                   {"config.json:1:16: error: Exchanges.Mint: loop: Mint x1 gains 1 "
                    "MetalIngot_C per round"},
                   2},
        // "Metal" takes ingots and plates alike; a round pays its 2 with one of each.
        ConfigCase{"LoopPayingOneGiveEntryWithTwoClasses",
                   "{\"Exchanges\": {\n"
                   "  \"Smelt\": {\"Give\": {\"/G/Ore.Ore\": 1}, \"Receive\": "
                   "{\"/G/MetalIngot.MetalIngot\": 1}},\n"
                   "  \"Press\": {\"Give\": {\"Metal\": 2}, \"Receive\": "
                   "{\"/G/MetalPlate.MetalPlate\": 1, \"/G/Ore.Ore\": 3}}\n"
                   "}}",
                   {"config.json:2:3: error: Exchanges.Smelt: loop: Smelt x1, Press x1 gains 2 "
                    "Ore_C per round",
                    "config.json:3:22: warning: Exchanges.Press.Give.Metal: also matches "
                    "MetalPlate_C (handed out by Press), most likely not meant; players can pay it "
                    "with what the table hands out"},
                   2},
        ConfigCase{"LoopThatGainsTwoClasses",
                   R"({"Exchanges": {"Mint": {"Give": {"/G/A.A": 1}, )"
                   R"("Receive": {"/G/A.A": 1, "/G/B.B": 1, "/G/C.C": 1}}}})",
                   {"config.json:1:16: error: Exchanges.Mint: loop: Mint x1 gains 1 B_C and 1 C_C "
                    "per round"},
                   2},
        // Two C a round do not make up for the A it loses.
        ConfigCase{"LosingCycleWithAByProductIsNoLoop",
                   "{\"Exchanges\": {\n"
                   "  \"Sell\": {\"Give\": {\"/G/A.A\": 2}, \"Receive\": {\"/G/B.B\": 1}},\n"
                   "  \"Buy\": {\"Give\": {\"/G/B.B\": 1}, \"Receive\": {\"/G/A.A\": 1, "
                   "\"/G/C.C\": 2}}\n"
                   "}}",
                   {},
                   0},
        // "PrimalItemResource_Metal" means raw metal, yet its own exchange's ingots pay for it:
        // no loop at these rates, but one slip of a rate away; "Ingot" means the ingots.
        ConfigCase{"GivePaidWithItsOwnExchangesProduct",
                   "{\"Exchanges\": {\n"
                   "  \"Smelt\": {\"Give\": {\"PrimalItemResource_Metal\": 5}, \"Receive\": "
                   "{\"/G/PrimalItemResource_MetalIngot.PrimalItemResource_MetalIngot\": 3}},\n"
                   "  \"Melt\": {\"Give\": {\"Ingot\": 5}, \"Receive\": "
                   "{\"/G/MetalIngot.MetalIngot\": 3}}\n"
                   "}}",
                   {"config.json:2:22: warning: Exchanges.Smelt.Give.PrimalItemResource_Metal: "
                    "also matches PrimalItemResource_MetalIngot_C (handed out by Smelt), most "
                    "likely not meant; players can pay it with what the table hands out"},
                   1},
        // Exchanges that never complete, or that the plugin does not keep, make no loop.
        ConfigCase{
            "NoLoopThroughExchangesThatNeverRunWhole",
            "{\"Exchanges\": {\n"
            "  \"Sell\": {\"Give\": {\"/G/A.A\": 1, \"/G/C.C\": 0}, \"Receive\": "
            "{\"/G/B.B\": 2}},\n"
            "  \"Buy\": {\"Give\": {\"/G/B.B\": 1}, \"Receive\": {\"/G/A.A\": 1, "
            "\"C\": 1}},\n"
            "  \"Up\": {\"Give\": {\"/G/D.D\": 1}, \"Receive\": {\"/G/D.D\": 2}},\n"
            "  \"up\": {\"Give\": {\"/G/D.D\": 1}, \"Receive\": {\"/G/D.D\": 1}}\n"
            "}}",
            {"config.json:2:44: warning: Exchanges.Sell.Give.\"/G/C.C\": quantity 0 is 0 or "
             "less; every run of this exchange fails",
             "config.json:3:59: error: Exchanges.Buy.Receive.C: not a blueprint path (it "
             "holds no \"/\"); the game hands out nothing for it, so the exchange never "
             "completes",
             "config.json:4:3: warning: Exchanges.Up: shadowed by \"up\", a name equal up to "
             "the case of A to Z that comes later in byte order; the plugin keeps only "
             "\"up\""},
            2},
        // One item in a million is still an item generator.
        ConfigCase{"LoopThatGainsATinyFraction",
                   "{\"Exchanges\": {\n"
                   "  \"Pack\": {\"Give\": {\"/G/A.A\": 1000000}, \"Receive\": {\"/G/B.B\": 1}},\n"
                   "  \"Unpack\": {\"Give\": {\"/G/B.B\": 1}, \"Receive\": {\"/G/A.A\": 1000001}}\n"
                   "}}",
                   {"config.json:2:3: error: Exchanges.Pack: loop: Pack x1, Unpack x1 gains 1 A_C "
                    "per round"},
                   2},

        // rules.json beside config.json.
        RulesCase(
            "RulesClean", kRulesConfig,
            "{\"Default\": {\"Cooldown\": \"10m\"},\n"
            " \"Exchanges\": {\n"
            "  \"ingots\": {\"Day\": 20, \"For\": {\"VIP\": {\"Day\": 40, \"Cooldown\": 60}}},\n"
            "  \"Paste\": {\"Enabled\": false, \"Stock\": 5},\n"
            "  \"Polymer\": {\"Groups\": [\"VIP\"], \"Stock\": 3, \"Restock\": \"1h30m\"}\n"
            "}}",
            {}, 0),
        RulesCase(
            "RulesDiscord", kRulesConfig,
            "{\"Discord\": {\"Webhook\": \"https://discord.com/api/webhook/1/abc\",\n"
            " \"Events\": [\"complete\", \"compelte\", \"refused:dya\"], \"Usrname\": \"X\"}}",
            {"rules.json:1:25: warning: Discord.Webhook: is no Discord webhook URL "
             "(https://discord.com/api/webhooks/ID/TOKEN); the plugin posts to it all the same",
             "rules.json:2:25: warning: Discord.Events[1]: unknown event \"compelte\" (did "
             "you mean \"complete\"?); the plugin passes over it, so nothing is posted for it",
             "rules.json:2:37: warning: Discord.Events[2]: unknown event \"refused:dya\" "
             "(did you mean \"refused:day\"?); the plugin passes over it, so nothing is "
             "posted for it",
             "rules.json:2:53: warning: Discord.Usrname: unknown member (did you mean "
             "\"Username\"?); the plugin passes over it"},
            1),
        RulesCase(
            "RulesParseError", kRulesConfig, "{\"Exchanges\": {\n  \"Ingots\": {\"Day\": 20,}\n}}",
            {"rules.json:2:23: error: a trailing comma before \"}\"; JSON allows no comma after "
             "the last member; [json.exception.parse_error.101] parse error at line 2, column 24: "
             "syntax error while parsing object key - unexpected '}'; expected string literal"},
            2),
        RulesCase("RulesWrongTypes", kRulesConfig,
                  "{\"Exchanges\": {\n"
                  "  \"Ingots\": {\"Enabled\": \"no\", \"Day\": \"20\", \"Groups\": \"VIP\"},\n"
                  "  \"Paste\": [],\n"
                  "  \"Polymer\": {\"For\": {\"VIP\": 40}}\n"
                  "}}",
                  {"rules.json:2:25: error: Exchanges.Ingots.Enabled: must be true or false, not a "
                   "string; the plugin refuses the whole file: at its load every exchange is "
                   "closed, and a Reload keeps the rules in force",
                   "rules.json:2:38: error: Exchanges.Ingots.Day: must be a whole number of at "
                   "least 1, not a string; the plugin refuses the whole file: at its load every "
                   "exchange is closed, and a Reload keeps the rules in force",
                   "rules.json:2:54: error: Exchanges.Ingots.Groups: must be an array of group "
                   "names, not a string; the plugin refuses the whole file: at its load every "
                   "exchange is closed, and a Reload keeps the rules in force",
                   "rules.json:3:12: error: Exchanges.Paste: must be an object of rules, not an "
                   "array; the plugin refuses the whole file: at its load every exchange is "
                   "closed, and a Reload keeps the rules in force",
                   "rules.json:4:30: error: Exchanges.Polymer.For.VIP: must be an object of "
                   "limits, not the number 40; the plugin refuses the whole file: at its load "
                   "every exchange is closed, and a Reload keeps the rules in force"},
                  2),
        RulesCase("RulesRootNotAnObject", kRulesConfig, "[{\"Exchanges\": {}}]",
                  {"rules.json:1:1: error: the root must be an object with Default and Exchanges, "
                   "not an array; the plugin refuses the whole file: at its load every exchange is "
                   "closed, and a Reload keeps the rules in force"},
                  2),
        RulesCase(
            "RulesDurationsThatDoNotRead", kRulesConfig,
            "{\"Default\": {\"Cooldown\": \"10x\"},\n"
            " \"Exchanges\": {\n"
            "  \"Ingots\": {\"Cooldown\": -5, \"For\": {\"VIP\": {\"Cooldown\": \"1h 30m\"}}},\n"
            "  \"Polymer\": {\"Stock\": 3, \"Restock\": \"0s\"}\n"
            "}}",
            {"rules.json:1:26: error: Default.Cooldown: must be a duration, a whole number of "
             "seconds or a text such as \"90s\", \"10m\" or \"1h30m\" (units s, m, h, d, w), not "
             "\"10x\"; the plugin refuses the whole file: at its load every exchange is closed, "
             "and a Reload keeps the rules in force",
             "rules.json:3:26: error: Exchanges.Ingots.Cooldown: must be a duration, a whole "
             "number of seconds or a text such as \"90s\", \"10m\" or \"1h30m\" (units s, m, h, d, "
             "w), not the number -5; the plugin refuses the whole file: at its load every exchange "
             "is closed, and a Reload keeps the rules in force",
             "rules.json:3:58: error: Exchanges.Ingots.For.VIP.Cooldown: must be a duration, a "
             "whole number of seconds or a text such as \"90s\", \"10m\" or \"1h30m\" (units s, m, "
             "h, d, w), not \"1h 30m\"; the plugin refuses the whole file: at its load every "
             "exchange is closed, and a Reload keeps the rules in force",
             "rules.json:4:38: error: Exchanges.Polymer.Restock: must be at least 1 second; the "
             "plugin refuses the whole file: at its load every exchange is closed, and a Reload "
             "keeps the rules in force"},
            2),
        RulesCase("RulesLimitsBelowOne", kRulesConfig,
                  "{\"Exchanges\": {\n"
                  "  \"Ingots\": {\"Day\": 0, \"Week\": -1, \"Total\": 2.5},\n"
                  "  \"Polymer\": {\"Stock\": 0}\n"
                  "}}",
                  {"rules.json:2:21: error: Exchanges.Ingots.Day: must be a whole number of at "
                   "least 1, not the number 0; the plugin refuses the whole file: at its load "
                   "every exchange is closed, and a Reload keeps the rules in force",
                   "rules.json:2:32: error: Exchanges.Ingots.Week: must be a whole number of at "
                   "least 1, not the number -1; the plugin refuses the whole file: at its load "
                   "every exchange is closed, and a Reload keeps the rules in force",
                   "rules.json:2:45: error: Exchanges.Ingots.Total: must be a whole number of at "
                   "least 1, not a fraction; the plugin refuses the whole file: at its load every "
                   "exchange is closed, and a Reload keeps the rules in force",
                   "rules.json:3:24: error: Exchanges.Polymer.Stock: must be a whole number of at "
                   "least 1, not the number 0; the plugin refuses the whole file: at its load "
                   "every exchange is closed, and a Reload keeps the rules in force"},
                  2),
        RulesCase("RulesUnknownMembersWithSuggestions", kRulesConfig,
                  "{\"Exchange\": {}, \"Default\": {\"cooldown\": \"1m\"},\n"
                  " \"Exchanges\": {\n"
                  "  \"Ingots\": {\"Dya\": 20, \"Note\": \"x\", \"For\": {\"VIP\": {\"Wek\": 9, "
                  "\"Stock\": 1}}},\n"
                  "  \"Paste\": {\"Day\": 1, \"Day\": 2}\n"
                  "}}",
                  {"rules.json:1:2: warning: Exchange: unknown member (did you mean "
                   "\"Exchanges\"?); the plugin passes over it, so it limits nothing",
                   "rules.json:1:30: warning: Default.cooldown: unknown member (did you mean "
                   "\"Cooldown\"?); the plugin passes over it, so it limits nothing",
                   "rules.json:3:14: warning: Exchanges.Ingots.Dya: unknown member (did you mean "
                   "\"Day\"?); the plugin passes over it, so it limits nothing",
                   "rules.json:3:25: warning: Exchanges.Ingots.Note: unknown member; the plugin "
                   "passes over it, so it limits nothing",
                   "rules.json:3:54: warning: Exchanges.Ingots.For.VIP.Wek: unknown member (did "
                   "you mean \"Week\"?); the plugin passes over it, so it limits nothing",
                   "rules.json:3:64: warning: Exchanges.Ingots.For.VIP.Stock: unknown member here "
                   "(a group in For may set only Cooldown, Day, Week and Total); the plugin passes "
                   "over it, so it limits nothing",
                   "rules.json:4:13: warning: Exchanges.Paste.Day: given again at line 4, column "
                   "23 in the same object; the plugin keeps only that later one"},
                  1),
        RulesCase(
            "RulesEmptyGroups", kRulesConfig,
            "{\"Default\": {\"Groups\": []},\n"
            " \"Exchanges\": {\"Paste\": {\"Groups\": []}, \"Polymer\": {\"Groups\": [\"VIP\"]}}}",
            {"rules.json:1:24: error: Default.Groups: is empty, so nobody may run any exchange "
             "whose rules set no Groups of their own; to close exchanges on purpose, write "
             "\"Enabled\": false",
             "rules.json:2:36: error: Exchanges.Paste.Groups: is empty, so nobody may run this "
             "exchange; to close it on purpose, write \"Enabled\": false"},
            2),
        RulesCase(
            "RulesForExchangesConfigLacks", kRulesConfig,
            "{\"Exchanges\": {\n"
            "  \"INGOTS\": {\"Day\": 5},\n"
            "  \"Gunpowder\": {\"Day\": 5},\n"
            "  \"ingots\": {\"Day\": 9}\n"
            "}}",
            {"rules.json:3:3: warning: Exchanges.Gunpowder: config.json has no exchange of this "
             "name, whatever the case of A to Z; the rule applies to nothing",
             "rules.json:4:3: warning: Exchanges.ingots: names the same exchange as \"INGOTS\", up "
             "to the case of A to Z; the plugin uses only the rules of \"INGOTS\""},
            1),
        // A config the plugin refuses loads no exchange, so no rule is said to apply to nothing.
        RulesCase("RulesBesideARefusedConfig",
                  "{\"Settings\": {\"ChatPrefix\": 5}, \"Exchanges\": {}}",
                  "{\"Exchanges\": {\"Gunpowder\": {\"Day\": 5}}}",
                  {"config.json:1:29: error: Settings.ChatPrefix: must be a string, not a number; "
                   "the plugin refuses the whole file and loads no exchanges"},
                  2),
        RulesCase("RulesRestockWithoutStock", kRulesConfig,
                  "{\"Default\": {\"Restock\": \"1d\"},\n"
                  " \"Exchanges\": {\n"
                  "  \"Ingots\": {\"Restock\": \"1h\"},\n"
                  "  \"Paste\": {\"Stock\": 10},\n"
                  "  \"Polymer\": {\"Stock\": 3, \"Restock\": \"1w\"}\n"
                  "}}",
                  {"rules.json:3:14: warning: Exchanges.Ingots.Restock: there is no Stock to "
                   "refill (neither here nor in Default), so it does nothing"},
                  1),
        RulesCase(
            "RulesDefaultRestockWithoutStock", kRulesConfig,
            "{\"Default\": {\"Restock\": \"1d\"}, \"Exchanges\": {\"Paste\": {\"Stock\": 10, "
            "\"Restock\": \"1h\"}}}",
            {"rules.json:1:14: warning: Default.Restock: there is no Stock to refill (neither in "
             "Default nor in an exchange that takes this Restock), so it does nothing"},
            1),

        // Messages, DisplayNames and Commands: the words players and administrators read.
        RulesCase("RulesMessagesThatCannotStand", kRulesConfig,
                  "{\"Messages\": {\n"
                  "  \"ExchangeComplet\": \"Fertig: {} x{}\",\n"
                  "  \"NotEnoughItems\": \"Du brauchst {} {}\",\n"
                  "  \"CooldownWait\": \"Noch {1}, dann {0}\",\n"
                  "  \"DayLimit\": \"{0} {2}\",\n"
                  "  \"SoldOut\": \"{} }\",\n"
                  "  \"AllClosed\": 5\n"
                  "}}",
                  {"rules.json:2:3: warning: Messages.ExchangeComplet: unknown message (did you "
                   "mean \"ExchangeComplete\"?); the plugin passes over it, so no one reads this "
                   "text",
                   "rules.json:3:21: error: Messages.NotEnoughItems: has 2 placeholders, the "
                   "default has 3; the plugin uses the default text instead",
                   "rules.json:5:15: error: Messages.DayLimit: {1} is missing; the default has 2 "
                   "placeholders; the plugin uses the default text instead",
                   "rules.json:6:14: error: Messages.SoldOut: a '}' that no '{' opens (write }} "
                   "for the brace itself); the plugin uses the default text instead",
                   "rules.json:7:16: error: Messages.AllClosed: must be a text, not the number 5; "
                   "the plugin uses the default text instead"},
                  2),
        // A Give text as written, a class and a short name of a Receive item, a whole Receive
        // text: each names an item players read; an exchange's name or another table's item none.
        RulesCase("RulesDisplayNamesNothingUses", kRulesConfig,
                  "{\"DisplayNames\": {\n"
                  "  \"metal\": \"Metall\",\n"
                  "  \"INGOT\": \"Barren\",\n"
                  "  \"Paste.Paste\": \"Paste\",\n"
                  "  \"/G/Polymer.Polymer\": \"Polymer\",\n"
                  "  \"Ingots\": \"Barren\",\n"
                  "  \"Obsidian\": \"Obsidian\"\n"
                  "}}",
                  {"rules.json:6:3: warning: DisplayNames.Ingots: no exchange of config.json takes "
                   "or gives this item, whatever the case of A to Z; players never read this name",
                   "rules.json:7:3: warning: DisplayNames.Obsidian: no exchange of config.json "
                   "takes or gives this item, whatever the case of A to Z; players never read this "
                   "name"},
                  1),
        RulesCase(
            "RulesChatWordsThatCannotBeRegistered", kRulesConfig,
            "{\"Commands\": {\n"
            "  \"Exchange\": [\"/exchange\", \"tausch\", \"/EXCHANGE\", \"/ex tausch\", "
            "\"/exinfo\"],\n"
            "  \"Preveiw\": [\"/info\"]\n"
            "}}",
            {"rules.json:2:29: error: Commands.Exchange[1]: must be a chat word that starts "
             "with \"/\", such as \"/tausch\", not \"tausch\"; the plugin refuses the whole "
             "file: at its load every exchange is closed, and a Reload keeps the rules in "
             "force",
             "rules.json:2:39: error: Commands.Exchange[2]: \"/EXCHANGE\" is listed twice; "
             "the plugin refuses the whole file: at its load every exchange is closed, and a "
             "Reload keeps the rules in force",
             "rules.json:2:52: error: Commands.Exchange[3]: must be one word without spaces "
             "or control characters, not \"/ex tausch\"; the plugin refuses the whole file: "
             "at its load every exchange is closed, and a Reload keeps the rules in force",
             "rules.json:2:66: error: Commands.Exchange[4]: \"/exinfo\" is a default word of "
             "Preview, which rules.json leaves out; drop it here or give Preview words of its "
             "own; the plugin refuses the whole file: at its load every exchange is closed, "
             "and a Reload keeps the rules in force",
             "rules.json:3:3: warning: Commands.Preveiw: unknown member (did you mean "
             "\"Preview\"?); the plugin passes over it, so it registers no chat word"},
            2),
        // The clash is placed at the word written, not at the default list that rules.json lacks.
        RulesCase("RulesChatWordTakingADefault", kRulesConfig,
                  "{\"Commands\": {\"Preview\": [\"/EX\"]}}",
                  {"rules.json:1:27: error: Commands.Preview[0]: \"/ex\" is a default word of "
                   "Exchange, which rules.json leaves out; drop it here or give Exchange words of "
                   "its own; the plugin refuses the whole file: at its load every exchange is "
                   "closed, and a Reload keeps the rules in force"},
                  2),

        // Loops under Day limits: what a player can mint in a day at most.
        RulesCase("RulesLoopLimitedPerDay", kLoopConfig,
                  "{\"Default\": {\"Day\": 20},\n"
                  " \"Exchanges\": {\"Sell\": {\"For\": {\"VIP\": {\"Day\": 30}, \"Donor\": "
                  "{\"Day\": 25}}},\n"
                  "               \"Buy\": {\"Day\": 45}}}",
                  {"config.json:2:3: error: Exchanges.Sell: loop: Sell x1, Buy x1 gains 1 B_C per "
                   "round; rules.json's Day limits allow at most 30 rounds a day, so it mints at "
                   "most 30 B_C per player per day"},
                  2),
        RulesCase(
            "RulesLoopWithAnExchangeUnlimitedPerDay", kLoopConfig,
            "{\"Exchanges\": {\"Sell\": {\"Day\": 20}, \"Buy\": {\"Week\": 50}}}",
            {"config.json:2:3: error: Exchanges.Sell: loop: Sell x1, Buy x1 gains 1 B_C per round"},
            2),
        RulesCase(
            "RulesLoopRunningAnExchangeTwiceARound",
            "{\"Exchanges\": {\n"
            "  \"E1\": {\"Give\": {\"/G/A.A\": 1, \"/G/B.B\": 1}, \"Receive\": {\"/G/C.C\": 3}},\n"
            "  \"E2\": {\"Give\": {\"/G/B.B\": 1, \"/G/C.C\": 1}, \"Receive\": {\"/G/A.A\": 3}},\n"
            "  \"E3\": {\"Give\": {\"/G/C.C\": 1, \"/G/A.A\": 1}, \"Receive\": {\"/G/B.B\": 3}}\n"
            "}}",
            "{\"Default\": {\"Day\": 5}, \"Exchanges\": {\"E3\": {\"Day\": 4}}}",
            {"config.json:2:3: error: Exchanges.E1: loop: E1 x2, E2 x1, E3 x1 gains 4 C_C per "
             "round; rules.json's Day limits allow at most 5/2 rounds a day, so it mints at most "
             "10 C_C per player per day"},
            2),
        RulesCase("RulesLoopThroughAClosedExchange", kLoopConfig,
                  "{\"Default\": {\"Day\": 20}, \"Exchanges\": {\"Buy\": {\"Enabled\": false}}}",
                  {"config.json:2:3: error: Exchanges.Sell: loop: Sell x1, Buy x1 gains 1 B_C per "
                   "round; rules.json closes Buy to every player, so no one can run the loop"},
                  2),
        // The plugin applies no rules from a file it refuses; the loop stands as it is.
        RulesCase(
            "RulesLoopBesideRefusedRules", kLoopConfig,
            "{\"Default\": {\"Day\": 20}, \"Exchanges\": {\"Buy\": {\"Day\": \"5\"}}}",
            {"config.json:2:3: error: Exchanges.Sell: loop: Sell x1, Buy x1 gains 1 B_C per round",
             "rules.json:1:55: error: Exchanges.Buy.Day: must be a whole number of at least 1, not "
             "a string; the plugin refuses the whole file: at its load every exchange is closed, "
             "and a Reload keeps the rules in force"},
            2)),
    [](const ::testing::TestParamInfo<ConfigCase>& info) { return info.param.Name; });

TEST(ConfigCheck, CheckConfigText_NamesTheExchangeOfEveryFindingUnderIt) {
    const ConfigCheck check = CheckConfigText(
        "config.json", R"({"Settings": {"MaxMultiplier": 0}, "Exchanges": {"A b": {"Give": {}}}})");
    ASSERT_EQ(check.Findings.size(), 2u);
    EXPECT_EQ(check.Findings[0].Exchange, std::nullopt);
    EXPECT_EQ(check.Findings[1].Exchange, "A b");
    EXPECT_EQ(PointerPath(check.Findings[1].Member), "/Exchanges/A b");
}

TEST(ConfigCheck, CheckConfigText_AcceptsAByteOrderMarkAsThePluginDoes) {
    const ConfigCheck check =
        CheckConfigText("config.json", "\xEF\xBB\xBF{\"Settings\": {\"MaxMultiplier\": 0}}");
    EXPECT_TRUE(check.Parsed);
    EXPECT_EQ(Lines(check.Findings),
              std::vector<std::string>{"config.json:1:35: warning: Settings.MaxMultiplier: 0 is 0 "
                                       "or less; every exchange then fails"});
}

} // namespace
