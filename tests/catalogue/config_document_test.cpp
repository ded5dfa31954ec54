// The saved document follows the table change by change: after any sequence of puts, erases,
// clears, reloads and settings changes, the save text is the library's dump of the table as it is.
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "catalogue/catalogue_state.h"
#include "catalogue/config_file.h"
#include "catalogue/exchange_catalogue.h"
#include "catalogue/plugin_settings.h"
#include "library_dump.h"

namespace {

using namespace barterbox;
using testing_support::LibraryDump;

class ConfigDocument : public ::testing::Test {
protected:
    void SetUp() override { ResetCatalogueState(); }
    void TearDown() override { ResetCatalogueState(); }
};

TEST_F(ConfigDocument, APutThatChangesOnlyTheLetterCase_LeavesOneMemberUnderTheNewName) {
    PutExchange({"Wood", "", {{"a", 1}}, {{"b", 1}}});
    ConfigText();
    PutExchange({"WOOD", "again", {{"a", 2}}, {{"b", 2}}});
    const std::string text = ConfigText();
    EXPECT_EQ(text, LibraryDump());
    EXPECT_EQ(text.find("\"Wood\""), std::string::npos);
}

TEST_F(ConfigDocument, ALoadStartsItAfresh) {
    LoadConfigFromText(R"({"Exchanges": {"A": {"Give": {"x": 1}, "Receive": {"y": 1}},
                                         "B": {"Give": {"x": 2}, "Receive": {"y": 2}}}})");
    EXPECT_EQ(ConfigText(), LibraryDump());
    LoadConfigFromText(R"({"Exchanges": {"C": {"Give": {"x": 3}, "Receive": {"y": 3}}}})");
    EXPECT_EQ(ConfigText(), LibraryDump());
    LoadConfigFromText("not JSON");
    EXPECT_EQ(ConfigText(), LibraryDump());
    EXPECT_EQ(ExchangeCount(), 0u);
}

TEST_F(ConfigDocument, ASaveRefusedForTextThatIsNotUtf8_LeavesItInStepWithTheTable) {
    PutExchange({"Good", "", {{"a", 1}}, {{"b", 1}}});
    PutExchange({"Bad", "\xFF", {{"a", 1}}, {{"b", 1}}});
    EXPECT_THROW(ConfigText(), nlohmann::json::type_error);
    EraseExchange("bad");
    EXPECT_EQ(ConfigText(), LibraryDump());
}

// Random changes from a small pool of names that collide by letter case, checked against the
// library's dump at random moments, several saves in a row included.
TEST_F(ConfigDocument, FollowsAnySequenceOfChanges) {
    const std::vector<std::string> names = {"Wood",         "WOOD",         "wood", "Stone",
                                            "stone",        "\xC3\x89tain", // Étain
                                            "\xC3\xA9tain", "Fiber",        "",     "Z z"};
    std::mt19937 random(20261208);
    const auto pick = [&](std::size_t count) {
        return std::uniform_int_distribution<std::size_t>(0, count - 1)(random);
    };
    const auto items = [&] {
        std::vector<ItemAmount> list;
        for (std::size_t i = pick(4); i > 0; --i) {
            list.push_back({names[pick(names.size())], static_cast<int32_t>(pick(100))});
        }
        return list;
    };

    for (int step = 0; step < 4000; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        const std::size_t action = pick(100);
        if (action < 55) {
            PutExchange({names[pick(names.size())], std::to_string(step), items(), items()});
        } else if (action < 80) {
            EraseExchange(names[pick(names.size())]);
        } else if (action < 82) {
            ClearExchanges();
        } else if (action < 84) {
            Settings().ChatPrefix = std::to_string(step);
            Settings().MaxMultiplier = static_cast<int32_t>(step);
        } else if (action < 86) {
            // A reload of the text just saved (which drops the exchanges without items) frees
            // the document and starts a new one.
            LoadConfigFromText(ConfigText());
            ASSERT_EQ(ConfigText(), LibraryDump());
        } else {
            ASSERT_EQ(ConfigText(), LibraryDump());
        }
    }
    EXPECT_EQ(ConfigText(), LibraryDump());
}

} // namespace
