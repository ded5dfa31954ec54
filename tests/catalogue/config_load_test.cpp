// LoadConfig against files on disk, grouped by outcome: no file, a file that does not parse, a
// file with a value of the wrong type, and a file that loads; each checked by its exact log lines,
// the table and the settings afterwards.
#include <chrono>
#include <filesystem>
#include <functional>
#include <future>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "catalogue/atomic_file.h"
#include "catalogue/config_file.h"
#include "catalogue/exchange_catalogue.h"
#include "catalogue/plugin_settings.h"
#include "config_fixture.h"

namespace {

using namespace barterbox;
using testing_support::ReadBytes;
using testing_support::WriteBytes;
using Lines = std::vector<std::string>;

const char* const kLoaded0 = "[Barterbox][info] Barterbox: Loaded 0 exchanges";

// Settings that are not the defaults, so that tests see whether a load touched them.
PluginSettings NonDefaultSettings() {
    return {"Trader", false, 9};
}

void ExpectSettings(const PluginSettings& expected) {
    EXPECT_EQ(Settings().ChatPrefix, expected.ChatPrefix);
    EXPECT_EQ(Settings().AllowMultiplier, expected.AllowMultiplier);
    EXPECT_EQ(Settings().MaxMultiplier, expected.MaxMultiplier);
}

class ConfigLoad : public testing_support::ConfigFixture {
protected:
    // A table and settings from before the load, which every outcome must deal with.
    void PrepareEarlierState() {
        PutExchange({"Old", "", {{"a", 1}}, {{"b", 1}}});
        Settings() = NonDefaultSettings();
    }
    void Load(const std::string& text) {
        WriteBytes(ConfigFile(), text);
        LoadConfig();
    }
    // A file that is refused whole: one error line with `reason`, an empty table, and the
    // settings from before the load.
    void ExpectRefused(const std::string& text, const std::string& reason) {
        PrepareEarlierState();
        Sink().Clear();
        Load(text);
        EXPECT_EQ(LogTexts(),
                  Lines{"[Barterbox][error] Barterbox: Failed to parse config.json: " + reason});
        EXPECT_EQ(ExchangeCount(), 0u);
        ExpectSettings(NonDefaultSettings());
    }
};

// --- No file ---------------------------------------------------------------------------------

TEST_F(ConfigLoad, MissingFile_WarnsOnceEmptiesTheTableAndCreatesNothing) {
    PrepareEarlierState();
    LoadConfig();
    EXPECT_EQ(LogTexts(),
              Lines{"[Barterbox][warning] Barterbox: No config.json found, creating default"});
    EXPECT_EQ(ExchangeCount(), 0u);
    ExpectSettings(NonDefaultSettings());
    EXPECT_EQ(FolderEntries(), Lines{});
}

// --- Text the library rejects ----------------------------------------------------------------

struct ParseCase {
    const char* Name;
    std::string Text;
    const char* LibraryError;
};

const ParseCase kParseCases[] = {
    {"empty file", "",
     "[json.exception.parse_error.101] parse error at line 1, column 1: syntax error while "
     "parsing value - unexpected end of input; expected '[', '{', or a literal"},
    {"trailing text", "{} x",
     "[json.exception.parse_error.101] parse error at line 1, column 4: syntax error while "
     "parsing value - invalid literal; last read: '{} x'; expected end of input"},
    {"a second document", "{}{}",
     "[json.exception.parse_error.101] parse error at line 1, column 3: syntax error while "
     "parsing value - unexpected '{'; expected end of input"},
    {"block comment", "{/* note */}",
     "[json.exception.parse_error.101] parse error at line 1, column 2: syntax error while "
     "parsing object key - invalid literal; last read: '{/'; expected string literal"},
    {"line comment after the document", "{}\n// note\n",
     "[json.exception.parse_error.101] parse error at line 2, column 1: syntax error while "
     "parsing value - invalid literal; last read: '{}<U+000A>/'; expected end of input"},
    {"truncated", "{\"Exchanges\":",
     "[json.exception.parse_error.101] parse error at line 1, column 14: syntax error while "
     "parsing value - unexpected end of input; expected '[', '{', or a literal"},
    {"trailing comma", "{\"Settings\":{},}",
     "[json.exception.parse_error.101] parse error at line 1, column 16: syntax error while "
     "parsing object key - unexpected '}'; expected string literal"},
    {"broken byte-order mark", "\xEF\xBB{}",
     "[json.exception.parse_error.101] parse error at line 1, column 3: syntax error while "
     "parsing value - invalid BOM; must be 0xEF 0xBB 0xBF if given; last read: '\xEF\xBB{'"},
    {"number too large for a double", "{\"Settings\":{\"MaxMultiplier\":1e400}}",
     "[json.exception.out_of_range.406] number overflow parsing '1e400'"},
    {"ill-formed UTF-8", "{\"Settings\":{\"ChatPrefix\":\"\xFF\"}}",
     "[json.exception.parse_error.101] parse error at line 1, column 28: syntax error while "
     "parsing value - invalid string: ill-formed UTF-8 byte; last read: '\"\xFF'"},
};

TEST_F(ConfigLoad, ParseError_LogsTheLibrarysTextAndLeavesTableEmptyAndSettingsAlone) {
    for (const ParseCase& c : kParseCases) {
        SCOPED_TRACE(c.Name);
        ExpectRefused(c.Text, c.LibraryError);
    }
}

// --- Values of the wrong type ----------------------------------------------------------------

struct TypeCase {
    const char* Text;
    const char* Message;
};

// Each file has usable settings and exchanges beside the bad value, which must not be applied.
const TypeCase kTypeCases[] = {
    {R"({"Settings":{"ChatPrefix":"New","MaxMultiplier":"many"},
         "Exchanges":{"Wood":{"Give":{"a":1},"Receive":{"b":1}}}})",
     "Settings.MaxMultiplier must be a number or a boolean, not a string"},
    {R"({"Settings":{"ChatPrefix":"New","AllowMultiplier":"yes"},
         "Exchanges":{"Wood":{"Give":{"a":1},"Receive":{"b":1}}}})",
     "Settings.AllowMultiplier must be a boolean, not a string"},
    {R"({"Settings":{"ChatPrefix":["New"]},
         "Exchanges":{"Wood":{"Give":{"a":1},"Receive":{"b":1}}}})",
     "Settings.ChatPrefix must be a string, not an array"},
    {R"({"Settings":{"ChatPrefix":"New"},
         "Exchanges":{"A":{"Give":{"a":1},"Receive":{"b":1}},"Z":{"Description":null}}})",
     "Description of exchange \"Z\" must be a string, not null"},
    {R"({"Settings":{"ChatPrefix":"New"},
         "Exchanges":{"A":{"Give":{"a":1},"Receive":{"b":1}},"B":7}})",
     "exchange \"B\" must be an object, not a number"},
};

TEST_F(ConfigLoad, TypeError_IsReportedLikeAParseErrorAndNothingIsApplied) {
    for (const TypeCase& c : kTypeCases) {
        SCOPED_TRACE(c.Text);
        ExpectRefused(c.Text, c.Message);
    }
}

// --- Files that load -------------------------------------------------------------------------

TEST_F(ConfigLoad, File_LoadsEachExchangeInByteOrderAndLogsTheCount) {
    PrepareEarlierState();
    Load(R"({
      "Settings": {"MaxMultiplier": 20, "ChatPrefix": "Market", "AllowMultiplier": false},
      "Exchanges": {
        "Wood": {"Description": "Wood for stone",
                 "Give": {"PrimalItemResource_Wood": 10, "PrimalItemResource_Fiber": 2},
                 "Receive": {"Blueprint'/Game/Stone.Stone'": 3}},
        "Metal": {"Give": {"Ore": 2}, "Receive": {"Ingot": 1}}
      }
    })");
    EXPECT_EQ(LogTexts(), (Lines{"[Barterbox][info] Barterbox: Loaded 'Metal'",
                                 "[Barterbox][info] Barterbox: Loaded 'Wood'",
                                 "[Barterbox][info] Barterbox: Loaded 2 exchanges"}));
    EXPECT_EQ(FindExchange("Old"), nullptr) << "a load starts from an empty table";
    ExpectSettings({"Market", false, 20});

    const ExchangeDefinition* wood = FindExchange("wood");
    ASSERT_NE(wood, nullptr);
    EXPECT_EQ(wood->Name, "Wood");
    EXPECT_EQ(wood->Description, "Wood for stone");
    ASSERT_EQ(wood->Give.size(), 2u);
    EXPECT_EQ(wood->Give[0].Item, "PrimalItemResource_Fiber");
    EXPECT_EQ(wood->Give[0].Quantity, 2);
    EXPECT_EQ(wood->Give[1].Item, "PrimalItemResource_Wood");
    EXPECT_EQ(wood->Give[1].Quantity, 10);
    ASSERT_EQ(wood->Receive.size(), 1u);
    EXPECT_EQ(wood->Receive[0].Item, "Blueprint'/Game/Stone.Stone'");
    EXPECT_EQ(wood->Receive[0].Quantity, 3);
    EXPECT_EQ(FindExchange("Metal")->Description, "");
}

TEST_F(ConfigLoad, EmptyObject_LogsZeroAndLeavesTheSettings) {
    PrepareEarlierState();
    Load("{}");
    EXPECT_EQ(LogTexts(), Lines{kLoaded0});
    EXPECT_EQ(ExchangeCount(), 0u);
    ExpectSettings(NonDefaultSettings());
}

TEST_F(ConfigLoad, RootOfAnotherType_YieldsNothingButTheCountLine) {
    for (const char* text : {"[]", "5", "\"text\"", "null", "[{\"Settings\":{}}]"}) {
        SCOPED_TRACE(text);
        PrepareEarlierState();
        Sink().Clear();
        Load(text);
        EXPECT_EQ(LogTexts(), Lines{kLoaded0});
        EXPECT_EQ(ExchangeCount(), 0u);
        ExpectSettings(NonDefaultSettings());
    }
}

TEST_F(ConfigLoad, Settings_MissingKeysTakeTheirDefaultsNotTheEarlierValues) {
    PrepareEarlierState();
    Load(R"({"Settings": {"MaxMultiplier": 5}})");
    ExpectSettings({"Barterbox", true, 5});
}

TEST_F(ConfigLoad, Settings_OfAnotherTypeOrAbsentLeaveTheEarlierValues) {
    for (const char* text : {R"({"Settings": []})", R"({"Settings": "x"})", R"({"Settings": null})",
                             R"({"settings": {"MaxMultiplier": 5}})"}) {
        SCOPED_TRACE(text);
        PrepareEarlierState();
        Load(text);
        ExpectSettings(NonDefaultSettings());
    }
}

TEST_F(ConfigLoad, MaxMultiplier_ReadsBooleansAsOneAndZeroAndSaturates) {
    const std::pair<const char*, int32_t> cases[] = {
        {"true", 1},
        {"false", 0},
        {"7.9", 7},
        {"-7.9", -7},
        {"4294967296", 2147483647},
        {"-1e30", -2147483647 - 1},
        {"1e19", 2147483647},
        {"18446744073709551616", 2147483647},
    };
    for (const auto& [value, expected] : cases) {
        Load(std::string(R"({"Settings": {"MaxMultiplier": )") + value + "}}");
        EXPECT_EQ(Settings().MaxMultiplier, expected) << value;
    }
}

TEST_F(ConfigLoad, Quantities_NonNumbersCountAsOneAndNumbersAreCutAndSaturated) {
    Load(R"({"Exchanges": {"X": {
        "Give": {"a": 2.9, "b": "5", "c": true, "d": null, "e": [], "f": {}, "g": 0, "h": -3},
        "Receive": {"i": 99999999999, "j": -99999999999, "k": 1e100, "l": -0.9}}}})");
    const ExchangeDefinition* x = FindExchange("X");
    ASSERT_NE(x, nullptr);
    std::vector<std::pair<std::string, int32_t>> give;
    for (const ItemAmount& item : x->Give) {
        give.emplace_back(item.Item, item.Quantity);
    }
    std::vector<std::pair<std::string, int32_t>> receive;
    for (const ItemAmount& item : x->Receive) {
        receive.emplace_back(item.Item, item.Quantity);
    }
    EXPECT_EQ(
        give,
        (std::vector<std::pair<std::string, int32_t>>{
            {"a", 2}, {"b", 1}, {"c", 1}, {"d", 1}, {"e", 1}, {"f", 1}, {"g", 0}, {"h", -3}}));
    EXPECT_EQ(receive,
              (std::vector<std::pair<std::string, int32_t>>{
                  {"i", 2147483647}, {"j", -2147483647 - 1}, {"k", 2147483647}, {"l", 0}}));
}

TEST_F(ConfigLoad, ExchangesWithoutGiveOrReceiveItems_AreDroppedWithAWarningAfterTheCount) {
    Load(R"({"Exchanges": {
        "NoGive": {"Receive": {"a": 1}},
        "EmptyGive": {"Give": {}, "Receive": {"a": 1}},
        "GiveArray": {"Give": [{"a": 1}], "Receive": {"a": 1}},
        "NoReceive": {"Give": {"a": 1}},
        "ReceiveNull": {"Give": {"a": 1}, "Receive": null},
        "Kept": {"Give": {"a": 1}, "Receive": {"b": 1}, "Extra": true}
    }, "Unknown": 1})");
    const std::string dropped = "[Barterbox][warning] Barterbox: Dropped '";
    EXPECT_EQ(LogTexts(),
              (Lines{"[Barterbox][info] Barterbox: Loaded 'Kept'",
                     "[Barterbox][info] Barterbox: Loaded 1 exchanges",
                     dropped + "EmptyGive' from config.json: it has no Give items",
                     dropped + "GiveArray' from config.json: it has no Give items",
                     dropped + "NoGive' from config.json: it has no Give items",
                     dropped + "NoReceive' from config.json: it has no Receive items",
                     dropped + "ReceiveNull' from config.json: it has no Receive items"}));
    EXPECT_EQ(ExchangeCount(), 1u);
}

TEST_F(ConfigLoad, ExchangesOfAnotherType_AreIgnored) {
    for (const char* text :
         {R"({"Exchanges": []})", R"({"Exchanges": "Wood"})", R"({"Exchanges": null})"}) {
        Sink().Clear();
        Load(text);
        EXPECT_EQ(LogTexts(), Lines{kLoaded0}) << text;
    }
}

TEST_F(ConfigLoad, NamesDifferingOnlyInCase_BothLogAndTheLaterInByteOrderWinsWithAWarning) {
    Load(R"({"Exchanges": {
        "wood": {"Description": "lower", "Give": {"a": 1}, "Receive": {"b": 1}},
        "Wood": {"Description": "upper", "Give": {"a": 1}, "Receive": {"b": 1}}}})");
    EXPECT_EQ(LogTexts(), (Lines{"[Barterbox][info] Barterbox: Loaded 'Wood'",
                                 "[Barterbox][info] Barterbox: Loaded 'wood'",
                                 "[Barterbox][info] Barterbox: Loaded 1 exchanges",
                                 "[Barterbox][warning] Barterbox: 'wood' replaced 'Wood' from "
                                 "config.json: the names differ only in letter case"}));
    const ExchangeDefinition* wood = FindExchange("WOOD");
    ASSERT_NE(wood, nullptr);
    EXPECT_EQ(wood->Name, "wood");
    EXPECT_EQ(wood->Description, "lower");
}

TEST_F(ConfigLoad, RepeatedMemberNames_TheLaterOneWins) {
    Load(R"({
      "Settings": {"ChatPrefix": "First", "ChatPrefix": "Second"},
      "Exchanges": {
        "Wood": {"Description": "first", "Give": {"a": 1}, "Receive": {"b": 1}},
        "Wood": {"Description": "second", "Give": {"a": 2, "a": 3}, "Receive": {"c": 1}}
      },
      "Settings": {"ChatPrefix": "Third"}
    })");
    EXPECT_EQ(LogTexts(), (Lines{"[Barterbox][info] Barterbox: Loaded 'Wood'",
                                 "[Barterbox][info] Barterbox: Loaded 1 exchanges"}));
    EXPECT_EQ(Settings().ChatPrefix, "Third");
    const ExchangeDefinition* wood = FindExchange("Wood");
    ASSERT_NE(wood, nullptr);
    EXPECT_EQ(wood->Description, "second");
    ASSERT_EQ(wood->Give.size(), 1u);
    EXPECT_EQ(wood->Give[0].Quantity, 3);
    ASSERT_EQ(wood->Receive.size(), 1u);
    EXPECT_EQ(wood->Receive[0].Item, "c");
}

TEST_F(ConfigLoad, ByteOrderMarkAndUtf8Text_AreAccepted) {
    Load("\xEF\xBB\xBF{\"Settings\": {\"ChatPrefix\": \"B\xC3\xB6rse\"}, \"Exchanges\": "
         "{\"\xC3\x89tain\": {\"Description\": \"\\u00e9\", \"Give\": {\"a\": 1}, "
         "\"Receive\": {\"b\": 1}}}}");
    EXPECT_EQ(LogTexts(), (Lines{"[Barterbox][info] Barterbox: Loaded '\xC3\x89tain'",
                                 "[Barterbox][info] Barterbox: Loaded 1 exchanges"}));
    EXPECT_EQ(Settings().ChatPrefix, "B\xC3\xB6rse");
    ASSERT_NE(FindExchange("\xC3\x89tain"), nullptr);
    EXPECT_EQ(FindExchange("\xC3\x89tain")->Description, "\xC3\xA9");
}

TEST_F(ConfigLoad, TwoLoadsOfTheSameFile_LeaveTheSameEntries) {
    const std::string text = R"({"Exchanges": {
        "A": {"Give": {"a": 1}, "Receive": {"b": 1}},
        "B": {"Give": {"a": 1}, "Receive": {"b": 1}},
        "C": {"Give": {"a": 1}, "Receive": {"b": 1}}}})";
    Load(text);
    Load(text);
    EXPECT_EQ(ExchangeCount(), 3u);
    for (const char* name : {"a", "b", "c"}) {
        EXPECT_NE(FindExchange(name), nullptr) << name;
    }
}

// Only a regular file is read: a device would be read until memory runs out, a pipe would block
// the server for ever.
TEST_F(ConfigLoad, SomethingOtherThanAFileInItsPlace_CountsAsNoFile) {
    const std::vector<std::function<void(const std::string&)>> makers = {
        [](const std::string& path) { std::filesystem::create_directory(path); },
#if !defined(_WIN32) // a link to a device and a named pipe in a folder are POSIX's
        [](const std::string& path) { std::filesystem::create_symlink("/dev/zero", path); },
        [](const std::string& path) { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); },
#endif
    };
    for (const auto& make : makers) {
        std::filesystem::remove_all(ConfigFile());
        make(ConfigFile());
        PrepareEarlierState();
        LoadConfig();
        EXPECT_EQ(LogTexts(),
                  Lines{"[Barterbox][warning] Barterbox: No config.json found, creating default"});
        EXPECT_EQ(ExchangeCount(), 0u);
        ExpectSettings(NonDefaultSettings());
        Sink().Clear();
    }
}

#if !defined(_WIN32) // named pipes in a folder are POSIX's
// A named pipe renamed into config.json's place after the file was looked at, just before it is
// opened: the open must not wait for a writer that never comes.
std::string& PipeToSwapIn() {
    static std::string pipe;
    return pipe;
}

TEST_F(ConfigLoad, PipeSwappedInJustBeforeTheOpen_NeverHoldsTheLoad) {
    WriteBytes(ConfigFile(), "{}");
    PipeToSwapIn() = Folder() + "/pipe";
    ASSERT_EQ(mkfifo(PipeToSwapIn().c_str(), 0600), 0);
    FileSystem().OpenRegular = [](const char* path) {
        std::filesystem::rename(PipeToSwapIn(), path);
        return RealFileSystem().OpenRegular(path);
    };
    PrepareEarlierState();
    auto load = std::async(std::launch::async, [] { LoadConfig(); });
    if (load.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        // Lets the blocked open go, so that the test ends with a failure rather than a hang.
        const int writer = open(ConfigFile().c_str(), O_WRONLY | O_NONBLOCK);
        load.wait();
        close(writer);
        FAIL() << "the load waited on the named pipe";
    }
    EXPECT_EQ(LogTexts(),
              Lines{"[Barterbox][warning] Barterbox: No config.json found, creating default"});
    EXPECT_EQ(ExchangeCount(), 0u);
}
#endif

} // namespace
