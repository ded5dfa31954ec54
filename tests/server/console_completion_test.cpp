// Tab completion: which words the console offers where, and reading exchange names from a config.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tools/server/console/console_completion.h"

namespace {

using barterbox::server::BlueprintFormOf;
using barterbox::server::CompletionCandidates;
using barterbox::server::CompletionSources;
using barterbox::server::ExchangeNamesInConfig;
using testing::ElementsAre;
using testing::IsEmpty;

CompletionSources Sources() {
    CompletionSources sources;
    sources.Players = {"Bram", "Ada", "Cleo"};
    sources.EosIds = {"0002aa", "0002bb"};
    sources.Groups = {"VIP", "Donor", "Veteran"};
    sources.ItemClasses = {"PrimalItemResource_Wood_C", "PrimalItemResource_Stone_C"};
    sources.ItemBlueprints = {"Blueprint'/G/R/PrimalItemResource_Wood.PrimalItemResource_Wood'",
                              "Blueprint'/G/R/PrimalItemResource_Stone.PrimalItemResource_Stone'"};
    sources.ChatCommands = {"/exchange", "/ex"};
    sources.ConsoleCommands = {"DoExchange", "Barterbox.List", "Barterbox.Remove", "Barterbox.Add"};
    sources.RconCommands = {"Barterbox.Do"};
    sources.Exchanges = {"Wood", "Stone", "Ingots"};
    return sources;
}

TEST(ConsoleCompletion, OffersTheWordsThatFitWhereTheCursorIs) {
    const CompletionSources sources = Sources();
    EXPECT_THAT(CompletionCandidates("", sources).size(), 18u);
    EXPECT_THAT(CompletionCandidates("cl", sources), ElementsAre("clock"));
    EXPECT_THAT(CompletionCandidates("we", sources), ElementsAre("webhook"));
    EXPECT_THAT(CompletionCandidates("re", sources), ElementsAre("reload-plugin"));
    EXPECT_THAT(CompletionCandidates("chat ", sources), ElementsAre("Ada", "Bram", "Cleo"));
    EXPECT_THAT(CompletionCandidates("chat B", sources), ElementsAre("Bram"));
    EXPECT_THAT(CompletionCandidates("chat Bram /e", sources), ElementsAre("/ex", "/exchange"));
    EXPECT_THAT(CompletionCandidates("chat Bram /ex W", sources), ElementsAre("Wood"));
    EXPECT_THAT(CompletionCandidates("chat Bram /exchange ", sources),
                ElementsAre("Ingots", "Stone", "Wood"));
    EXPECT_THAT(CompletionCandidates("console Ada Barterbox.", sources),
                ElementsAre("Barterbox.Add", "Barterbox.List", "Barterbox.Remove"));
    EXPECT_THAT(CompletionCandidates("console Ada Barterbox.Remove S", sources),
                ElementsAre("Stone"));
    EXPECT_THAT(CompletionCandidates("console Ada DoExchange 0002a", sources),
                ElementsAre("0002aa"));
    EXPECT_THAT(CompletionCandidates("console Ada DoExchange 0002aa I", sources),
                ElementsAre("Ingots"));
    EXPECT_THAT(CompletionCandidates("rcon B", sources), ElementsAre("Barterbox.Do"));
    EXPECT_THAT(CompletionCandidates("rcon Barterbox.Do   0002b", sources), ElementsAre("0002bb"));
    EXPECT_THAT(CompletionCandidates("rcon Barterbox.Do 0002bb In", sources),
                ElementsAre("Ingots"));
    EXPECT_THAT(CompletionCandidates("admin Ada o", sources), ElementsAre("off", "on"));
    EXPECT_THAT(CompletionCandidates("join Dana 0002dd a", sources), ElementsAre("admin"));
    EXPECT_THAT(CompletionCandidates("group C", sources), ElementsAre("Cleo"));
    EXPECT_THAT(CompletionCandidates("group Cleo v", sources), ElementsAre("VIP", "Veteran"));
    EXPECT_THAT(CompletionCandidates("group Cleo VIP o", sources), ElementsAre("off", "on"));
    EXPECT_THAT(CompletionCandidates("group Cleo VIP on ", sources), IsEmpty());
    EXPECT_THAT(CompletionCandidates("give Ada PrimalItemResource_S", sources),
                ElementsAre("PrimalItemResource_Stone_C"));
}

// Letter case counts for nothing, as the host matches command words.
TEST(ConsoleCompletion, IgnoresTheCaseOfWhatWasTyped) {
    const CompletionSources sources = Sources();
    EXPECT_THAT(CompletionCandidates("PLA", sources), ElementsAre("players"));
    EXPECT_THAT(CompletionCandidates("Chat b", sources), ElementsAre("Bram"));
    EXPECT_THAT(CompletionCandidates("console Ada barterbox.r", sources),
                ElementsAre("Barterbox.Remove"));
    EXPECT_THAT(CompletionCandidates("console Ada BARTERBOX.REMOVE s", sources),
                ElementsAre("Stone"));
    EXPECT_THAT(CompletionCandidates("give Ada primalitemresource_w", sources),
                ElementsAre("PrimalItemResource_Wood_C"));
}

// Barterbox.Add NAME GIVE:QTY RECEIVE:QTY: class names for Give, ending in the ":" before the
// quantity, and blueprints for Receive, which also fit by their item's name and end in their
// closing quote: the operator types ":1" after one, which must not read "::1". Neither is
// followed by a space.
TEST(ConsoleCompletion, OffersTheWorldsItemsInsideAdd) {
    const CompletionSources sources = Sources();
    EXPECT_THAT(
        CompletionCandidates("console Ada Barterbox.Add Deal PrimalItemResource_W", sources),
        ElementsAre("PrimalItemResource_Wood_C:"));
    const std::string stone = "Blueprint'/G/R/PrimalItemResource_Stone.PrimalItemResource_Stone'";
    EXPECT_THAT(CompletionCandidates("console Ada barterbox.add \"Iron Deal\" "
                                     "PrimalItemResource_Wood_C:10 primalitemresource_st",
                                     sources),
                ElementsAre(stone));
    EXPECT_THAT(
        CompletionCandidates("console Ada Barterbox.Add Deal x:1 Blueprint'/G/R/", sources).size(),
        2u);
    EXPECT_THAT(CompletionCandidates("console Ada Barterbox.Add Deal x:1 y:1 ", sources),
                IsEmpty());
    for (const char* item : {"console Ada Barterbox.Add Deal Primal",
                             "console Ada barterbox.add Deal x:1 Blueprint'/G/R/"}) {
        EXPECT_TRUE(barterbox::server::QuantityFollows(item)) << item;
    }
    for (const char* word : {"console Ada Barterbox.Add De", "console Ada Barterbox.Add D x:1 y:1 ",
                             "chat Ada /ex Wood", "give Ada Primal"}) {
        EXPECT_FALSE(barterbox::server::QuantityFollows(word)) << word;
    }
}

TEST(ConsoleCompletion, BlueprintFormOf_TakesClassPathsAndBlueprintPaths) {
    EXPECT_EQ(BlueprintFormOf("/G/R/PrimalItemResource_Wood.PrimalItemResource_Wood_C"),
              "Blueprint'/G/R/PrimalItemResource_Wood.PrimalItemResource_Wood'");
    EXPECT_EQ(BlueprintFormOf("/G/R/PrimalItemResource_Wood.PrimalItemResource_Wood"),
              "Blueprint'/G/R/PrimalItemResource_Wood.PrimalItemResource_Wood'");
    // A blueprint whose own name ends in _C is still a blueprint.
    EXPECT_EQ(BlueprintFormOf("/G/R/Thing_C.Thing_C"), "Blueprint'/G/R/Thing_C.Thing_C'");
}

TEST(ConsoleCompletion, OffersNothingWhereNoWordIsKnown) {
    const CompletionSources sources = Sources();
    EXPECT_THAT(CompletionCandidates("players ", sources), IsEmpty());
    EXPECT_THAT(CompletionCandidates("chat Ada hello ", sources), IsEmpty());
    EXPECT_THAT(CompletionCandidates("give Ada PrimalItemResource_Wood ", sources), IsEmpty());
    EXPECT_THAT(CompletionCandidates("join ", sources), IsEmpty());
    EXPECT_THAT(CompletionCandidates("xyz", sources), IsEmpty());
}

TEST(ConsoleCompletion, ExchangeNamesInConfig_TakesTheReachableNamesOfAReadableFile) {
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / "barterbox-completion-config.json";
    {
        std::ofstream out(file);
        out << R"({"Exchanges": {"Wood": {}, "Iron Deal": {}, "stone": {}}, "Settings": {}})";
    }
    EXPECT_THAT(ExchangeNamesInConfig(file.string()), ElementsAre("Wood", "stone"));
    {
        std::ofstream out(file);
        out << "{ not json";
    }
    EXPECT_THAT(ExchangeNamesInConfig(file.string()), IsEmpty());
    std::filesystem::remove(file);
    EXPECT_THAT(ExchangeNamesInConfig(file.string()), IsEmpty());
}

} // namespace
