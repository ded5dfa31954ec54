// Matching inventory items against item identifiers: the class's path first, then its name;
// case-sensitive; the item's own object never counts.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "exchange/item_matching.h"
#include "exchange_fixture.h"
#include "host/game_names.h"
#include "hostsim/name_registry.h"

namespace {

using namespace exchange_tests;
using barterbox::ItemMatches;

class ItemMatching : public ExchangeFixture {
protected:
    UPrimalItem* Add(const std::string& className, int32_t quantity = 1) {
        return world->FindItem(world->AddStack("Alice", className, quantity));
    }
};

TEST_F(ItemMatching, Identifiers_MatchBySubstringOfTheClassPathOrName) {
    UPrimalItem* wood = Add(kWood);
    const std::string path = PathOf(kWood);
    const std::vector<std::pair<std::string, bool>> cases = {
        {"", true},
        {"PrimalItemResource_Wood", true},
        {"Resource_Wo", true},
        {"/Game/PrimalEarth", true},
        {path, true},
        // The game's class is the one the blueprint generates: PrimalItemResource_Wood_C.
        {path + "_C", true},
        {"PrimalItemResource_Wood_C", true},
        {"Wood_C", true},
        {"primalitemresource_wood", false}, // case-sensitive
        {"Wood ", false},
        {path + "x", false}, // longer than both the path and the name
        {"PrimalItemResource_Stone", false},
        // The item object's own path and name hold these; its class's do not.
        {"PersistentLevel", false},
        {"_C_", false},
    };
    barterbox::ClassTextMemo memo;
    for (const auto& [identifier, matches] : cases) {
        EXPECT_EQ(ItemMatches(wood, identifier), matches) << '"' << identifier << '"';
        EXPECT_EQ(ItemMatches(wood, identifier, &memo), matches) << '"' << identifier << "\" memo";
    }
}

TEST_F(ItemMatching, ACommonWord_MatchesItemsOfEveryClassThatHoldsIt) {
    UPrimalItem* wood = Add(kWood);
    UPrimalItem* stone = Add(kStone);
    UPrimalItem* ingot = Add(kIngot);
    for (UPrimalItem* item : {wood, stone, ingot}) {
        EXPECT_TRUE(ItemMatches(item, "PrimalItemResource_"));
    }
    EXPECT_TRUE(ItemMatches(ingot, "Metal"));
    EXPECT_FALSE(ItemMatches(stone, "Metal"));
    EXPECT_FALSE(ItemMatches(wood, "Metal"));
}

TEST_F(ItemMatching, NullItemsAndItemsWithoutAClass_NeverMatch) {
    UPrimalItem* classless = world->FindItem(world->AddClasslessItem("Alice", 5));
    EXPECT_FALSE(ItemMatches(nullptr, ""));
    EXPECT_FALSE(ItemMatches(classless, ""));
    EXPECT_FALSE(ItemMatches(classless, "PrimalItem"));
}

TEST_F(ItemMatching, ThePathIsTriedFirstAndTheClassNameOnlyWhenThePathFails) {
    UPrimalItem* wood = Add(kWood);
    hostsim::ResetResolveCounts();
    EXPECT_TRUE(ItemMatches(wood, "Wood"));
    EXPECT_EQ(hostsim::ResolveCount(game::kGetPathName), 1u);
    EXPECT_EQ(hostsim::ResolveCount(game::kFNameToString), 0u);

    hostsim::ResetResolveCounts();
    EXPECT_FALSE(ItemMatches(wood, "Thatch"));
    EXPECT_EQ(hostsim::ResolveCount(game::kGetPathName), 1u);
    EXPECT_EQ(hostsim::ResolveCount(game::kFNameToString), 1u);

    hostsim::ResetResolveCounts();
    EXPECT_FALSE(ItemMatches(wood, PathOf(kWood) + "/longer"));
    EXPECT_EQ(hostsim::ResolveCount(game::kFNameToString), 1u)
        << "an identifier longer than the path still gets the name test";
}

TEST_F(ItemMatching, WithAMemo_TheGameIsAskedForEachClassTextOnce) {
    std::vector<UPrimalItem*> items = {Add(kWood), Add(kWood), Add(kStone), Add(kWood)};
    barterbox::ClassTextMemo memo;
    hostsim::ResetResolveCounts();
    for (int round = 0; round < 3; ++round) {
        for (UPrimalItem* item : items) {
            EXPECT_FALSE(ItemMatches(item, "Thatch", &memo));
            EXPECT_EQ(ItemMatches(item, "Stone", &memo), item == items[2]);
        }
    }
    EXPECT_EQ(hostsim::ResolveCount(game::kGetPathName), 2u) << "one per class";
    EXPECT_EQ(hostsim::ResolveCount(game::kFNameToString), 2u);
    EXPECT_EQ(hostsim::ResolveCount(game::kClassPrivate), 24u) << "the item's class: every visit";
}

TEST_F(ItemMatching, TextBeyondAsciiIsComparedAfterTheHostTextBecomesNarrow) {
    // "Pierre_Taillée": the é is one UTF-16 unit above 127, so the plugin sees "?".
    world->AddItemClass("/Game/Mods/Pierre_Taill\xC3\xA9"
                        "e.Pierre_Taill\xC3\xA9"
                        "e",
                        10);
    UPrimalItem* stone = Add("Pierre_Taill\xC3\xA9"
                             "e");
    EXPECT_TRUE(ItemMatches(stone, "Pierre_Taill?e"));
    EXPECT_FALSE(ItemMatches(stone, "Pierre_Taill\xC3\xA9"
                                    "e"));
    EXPECT_TRUE(ItemMatches(stone, "Pierre_Taill"));
}

} // namespace
