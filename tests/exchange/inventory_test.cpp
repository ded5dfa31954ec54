// Counting and removing a player's items, checked by the game calls the world recorded and by
// the inventory afterwards.
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "exchange/inventory.h"
#include "exchange_fixture.h"
#include "hostsim/name_registry.h"

namespace {

using namespace exchange_tests;
using barterbox::CountItems;
using barterbox::RemoveItems;
using hostsim::GameCall;
using Calls = std::vector<GameCall>;

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

class Inventory : public ExchangeFixture {
protected:
    uint64_t Add(const std::string& className, int32_t quantity) {
        return world->AddStack("Alice", className, quantity);
    }
};

TEST_F(Inventory, CountItems_TotalsEveryMatchingStackAndSkipsEmptyEntries) {
    Add(kWood, 100);
    world->AddEmptySlot("Alice");
    Add(kStone, 30);
    world->AddClasslessItem("Alice", 5);
    Add(kWood, 50);
    EXPECT_EQ(CountItems(alice, kWood), 150);
    EXPECT_EQ(CountItems(alice, "Resource_Stone"), 30);
    EXPECT_EQ(CountItems(alice, ""), 180) << "every item with a class";
    EXPECT_EQ(CountItems(alice, kThatch), 0);
    EXPECT_EQ(CountItems(alice, "wood"), 0);
    EXPECT_TRUE(world->GameCalls().empty());
}

TEST_F(Inventory, CountItems_IsZeroWithoutAPlayerOrACharacter) {
    Add(kWood, 10);
    EXPECT_EQ(CountItems(nullptr, kWood), 0);
    world->RemoveCharacter("Alice");
    EXPECT_EQ(CountItems(alice, kWood), 0);
}

TEST_F(Inventory, CountItems_SaturatesAtTheLargestSigned32BitValue) {
    Add(kWood, kMax);
    Add(kWood, 1);
    Add(kWood, kMax);
    EXPECT_EQ(CountItems(alice, kWood), kMax);
}

TEST_F(Inventory, RemoveItems_TakesWholeStacksFromTheEndAndReducesTheLastVisited) {
    const uint64_t three = Add(kWood, 3);
    const uint64_t stone = Add(kStone, 9);
    const uint64_t four = Add(kWood, 4);
    EXPECT_TRUE(RemoveItems(alice, kWood, 5));
    // The notification goes out before the item is removed.
    EXPECT_EQ(world->GameCalls(),
              (Calls{NotifyRemovedCall(four), RemoveCall(four), SetQuantityCall(three, 2),
                     NotifyQuantityChangedCall(three)}));
    EXPECT_EQ(SlotsOf(), (Slots{{kWood, 2}, {kStone, 9}}));
    (void)stone;
}

TEST_F(Inventory, RemoveItems_TakesAStackOfExactlyTheAmountWholeNeverReducingItToZero) {
    const uint64_t three = Add(kWood, 3);
    const uint64_t four = Add(kWood, 4);
    EXPECT_TRUE(RemoveItems(alice, kWood, 4));
    EXPECT_EQ(world->GameCalls(), (Calls{NotifyRemovedCall(four), RemoveCall(four)}));
    EXPECT_EQ(SlotsOf(), (Slots{{kWood, 3}}));
    (void)three;
}

TEST_F(Inventory, RemoveItems_TakesAZeroQuantityStackWholeWithoutCountingIt) {
    const uint64_t five = Add(kWood, 5);
    const uint64_t zero = Add(kWood, 0);
    EXPECT_TRUE(RemoveItems(alice, kWood, 3));
    EXPECT_EQ(world->GameCalls(),
              (Calls{NotifyRemovedCall(zero), RemoveCall(zero), SetQuantityCall(five, 2),
                     NotifyQuantityChangedCall(five)}));
    EXPECT_EQ(SlotsOf(), (Slots{{kWood, 2}}));
}

TEST_F(Inventory, RemoveItems_StopsAsSoonAsTheAmountIsTaken) {
    Add(kWood, 10);
    const uint64_t last = Add(kWood, 10);
    EXPECT_TRUE(RemoveItems(alice, kWood, 10));
    EXPECT_EQ(world->GameCalls(), (Calls{NotifyRemovedCall(last), RemoveCall(last)}));
    EXPECT_EQ(SlotsOf(), (Slots{{kWood, 10}}));
}

// A game function that does not resolve stops the removal where it is: it answers false, and no
// later stack is touched, so that nothing the game did not take counts as taken.
class InventoryMissingName : public Inventory, public ::testing::WithParamInterface<const char*> {};

TEST_P(InventoryMissingName, RemoveItems_StopsAtTheFirstCallThatCannotBeMade) {
    const uint64_t three = Add(kWood, 3);
    const uint64_t two = Add(kWood, 2);
    const uint64_t four = Add(kWood, 4);
    hostsim::UnregisterName(GetParam());
    EXPECT_FALSE(RemoveItems(alice, kWood, 8));
    const std::string missing = GetParam();
    Calls expected;
    if (missing == game::kRemoveItemFromInventory) {
        expected = {NotifyRemovedCall(four)};
    } else if (missing == game::kSetQuantity) {
        expected = {NotifyRemovedCall(four), RemoveCall(four), NotifyRemovedCall(two),
                    RemoveCall(two)};
    }
    EXPECT_EQ(world->GameCalls(), expected);
    (void)three;
    hostsim::ClearNameErrors();
}

INSTANTIATE_TEST_SUITE_P(EachChangingName, InventoryMissingName,
                         ::testing::Values(game::kNotifyClientsItemStatus,
                                           game::kRemoveItemFromInventory, game::kSetQuantity));

TEST_F(Inventory, RemoveItems_OfMoreThanCarriedTakesEveryMatchingStackAndFails) {
    const uint64_t first = Add(kWood, 3);
    Add(kStone, 2);
    world->AddEmptySlot("Alice");
    const uint64_t second = Add(kWood, 4);
    EXPECT_FALSE(RemoveItems(alice, kWood, 10));
    EXPECT_EQ(world->GameCalls(), (Calls{NotifyRemovedCall(second), RemoveCall(second),
                                         NotifyRemovedCall(first), RemoveCall(first)}));
    EXPECT_EQ(SlotsOf(), (Slots{{kStone, 2}, {"", 0}}));
}

TEST_F(Inventory, RemoveItems_RefusesAmountsBelowOneAndMissingPlayersAndTouchesNothing) {
    Add(kWood, 3);
    for (int32_t amount : {0, -1, kMin}) {
        EXPECT_FALSE(RemoveItems(alice, kWood, amount)) << amount;
    }
    EXPECT_FALSE(RemoveItems(nullptr, kWood, 1));
    EXPECT_TRUE(world->GameCalls().empty());
    EXPECT_EQ(SlotsOf(), (Slots{{kWood, 3}}));
    world->RemoveCharacter("Alice");
    EXPECT_FALSE(RemoveItems(alice, kWood, 1));
}

TEST_F(Inventory, RemoveItems_WalksAnArrayThatMovesAtEveryRemoval) {
    // Every removal puts the elements into a fresh host buffer; a walk that kept the old element
    // pointer would read freed memory, which the sanitizer build reports.
    for (int i = 0; i < 20; ++i) {
        Add(i % 2 == 0 ? kWood : kStone, 1);
    }
    EXPECT_TRUE(RemoveItems(alice, kWood, 10));
    EXPECT_EQ(SlotsOf(), Slots(10, {kStone, 1}));
}

TEST_F(Inventory, RemoveItems_WithANegativeStackNeverOverflowsWhatIsLeft) {
    Add(kWood, 1);
    Add(kWood, kMin); // a corrupt stack: taking it leaves more to take, without overflow
    EXPECT_FALSE(RemoveItems(alice, kWood, kMax));
    EXPECT_TRUE(SlotsOf().empty());
}

} // namespace
