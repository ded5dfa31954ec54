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
        {"primalitemresource_wood", false}, // case-sensitive
        {"Wood ", false},
        {path + "x", false}, // longer than both the path and the name
        {"PrimalItemResource_Stone", false},
        // The item object's own path and name hold these; its class's do not.
        {"PersistentLevel", false},
        {"_C_", false},
    };
    for (const auto& [identifier, matches] : cases) {
        EXPECT_EQ(ItemMatches(wood, identifier), matches) << '"' << identifier << '"';
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
