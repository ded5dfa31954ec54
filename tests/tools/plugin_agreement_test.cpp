// The checker against the plugin itself: the same file loaded by the real LoadConfig must bear out
// what the checker says (which exchanges stay, what quantities read as, when the file is refused).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "catalogue/config_file.h"
#include "catalogue/exchange_catalogue.h"
#include "catalogue/plugin_settings.h"
#include "exchange/inventory.h"
#include "host_fixture.h"
#include "hostsim/world/world.h"
#include "platform/os_path.h"
#include "scratch_folder.h"
#include "tools/check/config_check.h"
#include "tools/check/world_check.h"
#include "tools/common/world_file.h"

namespace {

using namespace barterbox;
using barterbox::tools::CheckConfigText;
using barterbox::tools::Finding;

class PluginAgreement : public testing_support::HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        CreateLogger();
        folder_ = platform::OsPath(testing_support::MakeScratchFolder("barterbox-agreement"));
        ConfigPath() = (folder_ / "config.json").string();
    }
    void TearDown() override {
        std::filesystem::remove_all(folder_);
        HostFixture::TearDown();
    }

    // Loads the text with the plugin and returns the checker's findings for the same text.
    std::vector<Finding> LoadAndCheck(const std::string& text) {
        std::ofstream(ConfigPath(), std::ios::binary) << text;
        Sink().Clear();
        LoadConfig();
        return CheckConfigText("config.json", text).Findings;
    }

    static std::vector<std::string> StoredNames() {
        std::vector<std::string> names;
        for (const auto& [key, definition] : Catalogue()) {
            names.push_back(definition.Name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path folder_;
};

bool Mentions(const std::vector<Finding>& findings, const std::string& exchange,
              const std::string& words) {
    return std::any_of(findings.begin(), findings.end(), [&](const Finding& finding) {
        return finding.Exchange == exchange && finding.Member.size() == 2 &&
               finding.Message.find(words) != std::string::npos;
    });
}

TEST_F(PluginAgreement, ExchangesReportedAsDroppedOrShadowedAreTheOnesThePluginLacks) {
    const std::vector<std::string> names = {"Keep", "NoGive", "NoReceive",
                                            "Wood", "wood",   "GiveArray"};
    const auto findings = LoadAndCheck(R"({"Exchanges": {
        "Keep": {"Give": {"a": 1}, "Receive": {"/b": 1}},
        "NoGive": {"Receive": {"/b": 1}},
        "NoReceive": {"Give": {"a": 1}},
        "Wood": {"Give": {"a": 1}, "Receive": {"/b": 1}},
        "wood": {"Give": {"a": 2}, "Receive": {"/b": 2}},
        "GiveArray": {"Give": ["a"], "Receive": {"/b": 1}}
    }})");
    std::vector<std::string> expectedStored;
    for (const std::string& name : names) {
        const bool lost = Mentions(findings, name, "drops this exchange") ||
                          Mentions(findings, name, "shadowed by");
        if (!lost) {
            expectedStored.push_back(name);
        }
    }
    std::sort(expectedStored.begin(), expectedStored.end());
    EXPECT_EQ(StoredNames(), expectedStored);
    EXPECT_EQ(expectedStored, (std::vector<std::string>{"Keep", "wood"}));
}

TEST_F(PluginAgreement, QuantitiesReadAsTheCheckerSays) {
    struct Case {
        const char* Written;
        int32_t Read;
    };
    const Case cases[] = {{"2.9", 2},
                          {"-0.5", 0},
                          {"3000000000", 2147483647},
                          {"-1e12", -2147483647 - 1},
                          {"\"5\"", 1},
                          {"true", 1},
                          {"null", 1},
                          {"[7]", 1},
                          {"7", 7}};
    for (const Case& c : cases) {
        const auto findings = LoadAndCheck(std::string(R"({"Exchanges": {"A": {"Give": {"a": )") +
                                           c.Written + R"(}, "Receive": {"/b": 1}}}})");
        const ExchangeDefinition* stored = FindExchange("A");
        ASSERT_NE(stored, nullptr) << c.Written;
        EXPECT_EQ(stored->Give.at(0).Quantity, c.Read) << c.Written;
        const bool saysRead = std::any_of(findings.begin(), findings.end(), [&](const Finding& f) {
            return f.Message.find("reads it as " + std::to_string(c.Read)) != std::string::npos;
        });
        // Only a plain whole number in range passes without a word.
        EXPECT_EQ(saysRead, std::string(c.Written) != "7") << c.Written;
    }
}

TEST_F(PluginAgreement, FilesWithErrorsAreTheFilesThePluginRefuses) {
    const char* const texts[] = {
        R"({"Settings": {"ChatPrefix": 1}, "Exchanges": {"A": {"Give": {"a": 1}, "Receive": {"/b": 1}}}})",
        R"({"Exchanges": {"A": {"Description": null, "Give": {"a": 1}, "Receive": {"/b": 1}}}})",
        R"({"Exchanges": {"A": 5, "B": {"Give": {"a": 1}, "Receive": {"/b": 1}}}})",
        R"({"Exchanges": {"B": {"Give": {"a": 1}, "Receive": {"/b": 1}}}} x)",
        R"({"Exchanges": {"B": {"Give": {"a": 1e999}, "Receive": {"/b": 1}}}})",
        R"({"Settings": {"MaxMultiplier": null}})",
        R"({"Exchanges": {"B": {"Give": {"a": 1}, "Receive": {"/b": 1}}}, "Settings": 5})",
        R"([{"Exchanges": {"B": {"Give": {"a": 1}, "Receive": {"/b": 1}}}}])",
    };
    for (const char* text : texts) {
        const auto findings = LoadAndCheck(text);
        const bool checkerRefuses = std::any_of(findings.begin(), findings.end(), [](auto& f) {
            return f.Level == barterbox::tools::Severity::Error;
        });
        const auto lines = LogTexts();
        const bool pluginRefuses = std::any_of(lines.begin(), lines.end(), [](auto& line) {
            return line.find("Failed to parse config.json") != std::string::npos;
        });
        EXPECT_EQ(checkerRefuses, pluginRefuses) << text;
        if (pluginRefuses) {
            EXPECT_EQ(ExchangeCount(), 0u) << text;
        }
    }
}

TEST_F(PluginAgreement, ParseErrorsQuoteTheTextThePluginLogs) {
    const std::string text = "{\n  \"Exchanges\": {\"A\": {\"Give\": {\"a\": 1,}}}\n}";
    const auto findings = LoadAndCheck(text);
    ASSERT_EQ(findings.size(), 1u);
    // The checker names the cause first, then quotes the library as the plugin's log does.
    const std::string& message = findings[0].Message;
    const size_t library = message.find("[json.exception");
    ASSERT_NE(library, std::string::npos) << message;
    EXPECT_EQ(message.substr(0, library), "a trailing comma before \"}\"; JSON allows no comma "
                                          "after the last member; ");
    const std::string logged =
        "[Barterbox][error] Barterbox: Failed to parse config.json: " + message.substr(library);
    EXPECT_EQ(LogTexts(), std::vector<std::string>{logged});
}

TEST_F(PluginAgreement, GiveItemsMatchTheClassesWhoseItemsThePluginCounts) {
    // Classes written both ways, as a world file may; the plugin sees the game's _C names.
    const barterbox::tools::WorldReadResult read = barterbox::tools::ReadWorldText(R"({
      "ItemClasses": [
        {"Path": "/Game/R/PrimalItemResource_Metal.PrimalItemResource_Metal", "MaxStack": 100},
        {"Path": "/Game/R/PrimalItemResource_MetalIngot.PrimalItemResource_MetalIngot_C",
         "MaxStack": 100},
        {"Path": "/Game/R/PrimalItemResource_Wood.PrimalItemResource_Wood_C", "MaxStack": 100}]})");
    ASSERT_TRUE(read.Ok());
    const auto& classes = read.Contents.ItemClasses;
    hostsim::World world;
    AShooterPlayerController* ada = world.Join("Ada", "0002ada");
    // Each class's own quantity, a power of two, so that a count tells which classes it took in.
    for (size_t i = 0; i < classes.size(); ++i) {
        world.AddItemClass(classes[i].Path, 100);
        world.GiveItems("Ada", classes[i].Path, 1 << i);
    }
    for (const char* identifier :
         {"PrimalItemResource_Metal", "PrimalItemResource_Metal_C", "Metal_C", "MetalIngot",
          "Wood_C", "R/PrimalItemResource_Wood", "PrimalItemResource_Wood.PrimalItemResource_Wood",
          "/Game/R/PrimalItemResource_MetalIngot.PrimalItemResource_MetalIngot_C", "_C", "", "wood",
          "PrimalItemResource_Wood_C_C",
          "Blueprint'/Game/R/PrimalItemResource_Wood.PrimalItemResource_Wood'"}) {
        int32_t expected = 0;
        for (size_t index : barterbox::tools::ClassesMatchingGive(classes, identifier)) {
            expected += 1 << index;
        }
        EXPECT_EQ(CountItems(ada, identifier), expected) << identifier;
    }
}

TEST_F(PluginAgreement, MaxMultiplierReadsAsTheCheckerSays) {
    struct Case {
        const char* Written;
        int32_t Read;
    };
    const Case cases[] = {
        {"7.9", 7}, {"false", 0}, {"true", 1}, {"-4e20", -2147483647 - 1}, {"1e10", 2147483647}};
    for (const Case& c : cases) {
        const auto findings =
            LoadAndCheck(std::string(R"({"Settings": {"MaxMultiplier": )") + c.Written + "}}");
        EXPECT_EQ(Settings().MaxMultiplier, c.Read) << c.Written;
        ASSERT_FALSE(findings.empty()) << c.Written;
        EXPECT_NE(findings[0].Message.find("reads it as " + std::to_string(c.Read)),
                  std::string::npos)
            << c.Written << ": " << findings[0].Message;
    }
}

} // namespace
