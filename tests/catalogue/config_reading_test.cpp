// The reading rules of config.json on parsed documents: saturated numbers, the settings' defaults
// and the type check that runs before anything is applied.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "catalogue/config_reading.h"

namespace {

using barterbox::FindTypeError;
using barterbox::MultiplierFromJson;
using barterbox::QuantityFromJson;
using nlohmann::json;

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

struct NumberCase {
    const char* Text; // parsed by the library, as the loader does
    int32_t Quantity;
    int32_t Multiplier;
};

const NumberCase kNumberCases[] = {
    {"7", 7, 7},
    {"0", 0, 0},
    {"-4", -4, -4},
    {"2.9", 2, 2},
    {"-2.9", -2, -2},
    {"-0.5", 0, 0},
    {"1e2", 100, 100},
    {"2147483647", kMax, kMax},
    {"2147483648", kMax, kMax},
    {"-2147483648", kMin, kMin},
    {"-2147483649", kMin, kMin},
    {"2147483646.99", 2147483646, 2147483646},
    {"-2147483648.7", kMin, kMin},
    {"9223372036854775807", kMax, kMax},
    {"-9223372036854775808", kMin, kMin},
    {"18446744073709551615", kMax, kMax},    // the library's unsigned integer
    {"99999999999999999999999", kMax, kMax}, // past 64 bits: read as a double
    {"-99999999999999999999999", kMin, kMin},
    {"1e300", kMax, kMax},
    {"-1e300", kMin, kMin},
    {"true", 1, 1},
    {"false", 1, 0},
    {"\"5\"", 1, 100},
    {"null", 1, 100},
    {"{}", 1, 100},
    {"[3]", 1, 100},
};

TEST(ConfigReading, Numbers_AreCutTowardZeroAndSaturated) {
    for (const NumberCase& c : kNumberCases) {
        const json value = json::parse(c.Text);
        EXPECT_EQ(QuantityFromJson(value), c.Quantity) << c.Text;
        EXPECT_EQ(MultiplierFromJson(value), c.Multiplier) << c.Text;
    }
}

TEST(ConfigReading, Numbers_OutsideWhatAParseGivesStaySafe) {
    // Documents built in memory (the checker's, say) can hold values a parse never yields.
    const double infinity = std::numeric_limits<double>::infinity();
    EXPECT_EQ(QuantityFromJson(json(infinity)), kMax);
    EXPECT_EQ(QuantityFromJson(json(-infinity)), kMin);
    EXPECT_EQ(QuantityFromJson(json(std::nan(""))), 0);
    EXPECT_EQ(MultiplierFromJson(json(std::nan(""))), 0);
    EXPECT_EQ(QuantityFromJson(json(std::numeric_limits<double>::max())), kMax);
    EXPECT_EQ(QuantityFromJson(json(std::numeric_limits<double>::denorm_min())), 0);
}

struct TypeCase {
    const char* Document;
    const char* Error; // null when the document has no type error
};

const TypeCase kTypeCases[] = {
    // Each value of the wrong type, named.
    {R"({"Settings":{"ChatPrefix":5}})", "Settings.ChatPrefix must be a string, not a number"},
    {R"({"Settings":{"ChatPrefix":null}})", "Settings.ChatPrefix must be a string, not null"},
    {R"({"Settings":{"AllowMultiplier":1}})",
     "Settings.AllowMultiplier must be a boolean, not a number"},
    {R"({"Settings":{"AllowMultiplier":"true"}})",
     "Settings.AllowMultiplier must be a boolean, not a string"},
    {R"({"Settings":{"MaxMultiplier":"10"}})",
     "Settings.MaxMultiplier must be a number or a boolean, not a string"},
    {R"({"Settings":{"MaxMultiplier":null}})",
     "Settings.MaxMultiplier must be a number or a boolean, not null"},
    {R"({"Settings":{"MaxMultiplier":[1]}})",
     "Settings.MaxMultiplier must be a number or a boolean, not an array"},
    {R"({"Exchanges":{"Wood":[1]}})", "exchange \"Wood\" must be an object, not an array"},
    {R"({"Exchanges":{"Wood":null}})", "exchange \"Wood\" must be an object, not null"},
    {R"({"Exchanges":{"Wood":"x"}})", "exchange \"Wood\" must be an object, not a string"},
    {R"({"Exchanges":{"Wood":{"Description":null}}})",
     "Description of exchange \"Wood\" must be a string, not null"},
    {R"({"Exchanges":{"Wood":{"Description":{}}}})",
     "Description of exchange \"Wood\" must be a string, not an object"},
    {R"({"Exchanges":{"Wood":{"Description":false}}})",
     "Description of exchange \"Wood\" must be a string, not a boolean"},
    // The first in the document's sorted order: exchanges before settings, then by name.
    {R"({"Settings":{"ChatPrefix":1},"Exchanges":{"b":1,"a":{"Description":2}}})",
     "Description of exchange \"a\" must be a string, not a number"},
    {R"({"Settings":{"MaxMultiplier":"x","AllowMultiplier":0}})",
     "Settings.AllowMultiplier must be a boolean, not a number"},
    // Types the reading rules accept or ignore.
    {R"({"Settings":{"MaxMultiplier":true,"ChatPrefix":"","AllowMultiplier":false}})", nullptr},
    {R"({"Settings":{"MaxMultiplier":1.5e99}})", nullptr},
    {R"({"Settings":[{"ChatPrefix":1}],"Exchanges":"none"})", nullptr},
    {R"({"Exchanges":{"Wood":{"Give":null,"Receive":[1],"Other":null}}})", nullptr},
    {R"({"Exchanges":{"Wood":{"Give":{"a":null,"b":"x","c":{}}}}})", nullptr},
    {R"({"Other":{"Settings":{"ChatPrefix":1}}})", nullptr},
    {R"([{"Settings":{"ChatPrefix":1}}])", nullptr},
    {R"("text")", nullptr},
    {R"({})", nullptr},
};

TEST(ConfigReading, FindTypeError_NamesTheFirstValueOfTheWrongType) {
    for (const TypeCase& c : kTypeCases) {
        const std::optional<std::string> error = FindTypeError(json::parse(c.Document));
        if (c.Error == nullptr) {
            EXPECT_EQ(error, std::nullopt) << c.Document;
        } else {
            EXPECT_EQ(error, std::optional<std::string>(c.Error)) << c.Document;
        }
    }
}

TEST(ConfigReading, ReadSettings_TakesDefaultsForMissingKeysAndNothingWithoutAnObject) {
    const auto partial =
        barterbox::ReadSettings(json::parse(R"({"Settings":{"MaxMultiplier":7}})"));
    ASSERT_TRUE(partial.has_value());
    EXPECT_EQ(partial->ChatPrefix, "Barterbox");
    EXPECT_TRUE(partial->AllowMultiplier);
    EXPECT_EQ(partial->MaxMultiplier, 7);

    for (const char* document : {R"({})", R"({"Settings":[]})", R"({"Settings":null})", R"([])",
                                 R"({"settings":{"MaxMultiplier":7}})"}) {
        EXPECT_EQ(barterbox::ReadSettings(json::parse(document)), std::nullopt) << document;
    }
}

TEST(ConfigReading, ReadExchanges_KeepsEveryMemberInByteOrderWithItemsInByteOrder) {
    const json root = json::parse(R"({"Exchanges":{
        "b":{"Give":{"z":1,"Z":2,"a":2.5},"Receive":{"r":"x"},"Description":"d"},
        "B":{"Give":{}},
        "a":{"Receive":[1]}}})");
    const auto definitions = barterbox::ReadExchanges(root);
    ASSERT_EQ(definitions.size(), 3u);
    EXPECT_EQ(definitions[0].Name, "B");
    EXPECT_EQ(definitions[1].Name, "a");
    EXPECT_EQ(definitions[2].Name, "b");
    EXPECT_FALSE(barterbox::IsUsableExchange(definitions[0]));
    EXPECT_FALSE(barterbox::IsUsableExchange(definitions[1]));
    ASSERT_TRUE(barterbox::IsUsableExchange(definitions[2]));

    const auto& b = definitions[2];
    EXPECT_EQ(b.Description, "d");
    ASSERT_EQ(b.Give.size(), 3u);
    EXPECT_EQ(b.Give[0].Item, "Z");
    EXPECT_EQ(b.Give[0].Quantity, 2);
    EXPECT_EQ(b.Give[1].Item, "a");
    EXPECT_EQ(b.Give[1].Quantity, 2);
    EXPECT_EQ(b.Give[2].Item, "z");
    EXPECT_EQ(b.Give[2].Quantity, 1);
    ASSERT_EQ(b.Receive.size(), 1u);
    EXPECT_EQ(b.Receive[0].Quantity, 1);
}

std::string Describe(const std::vector<barterbox::ExchangeDefinition>& definitions) {
    std::string text;
    for (const auto& definition : definitions) {
        text += definition.Name + "|" + definition.Description + "|";
        for (const auto* list : {&definition.Give, &definition.Receive}) {
            for (const auto& item : *list) {
                text += item.Item + "=" + std::to_string(item.Quantity) + ",";
            }
            text += "|";
        }
        text += "\n";
    }
    return text;
}

TEST(ConfigReading, TakeExchanges_GivesWhatReadExchangesGivesAndEmptiesTheMember) {
    const char* const documents[] = {
        R"({"Exchanges":{"b":{"Give":{"z":1,"a":2.5},"Receive":{"r":"x"},"Description":"d"},
                         "B":{"Give":{}},"a":{"Receive":[1]},"c":{"Give":null}}})",
        R"({"Exchanges":{"Long name past the small-string buffer":{
             "Description":"long text past the small-string buffer",
             "Give":{"Long item name past the buffer":7},"Receive":{"x":1}}}})",
        R"({"Exchanges":{}})",
        R"({"Exchanges":[]})",
        R"({})",
        R"([])",
    };
    for (const char* document : documents) {
        json root = json::parse(document);
        const std::string read = Describe(barterbox::ReadExchanges(root));
        const std::string taken = Describe(barterbox::TakeExchanges(root));
        EXPECT_EQ(taken, read) << document;
        EXPECT_EQ(barterbox::ReadExchanges(root).size(), 0u) << document;
    }
}

} // namespace
