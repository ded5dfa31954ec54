// The dry run of an exchange's removals: it changes nothing, counts what earlier entries take,
// refuses amounts RemoveItems cannot take, and agrees with the real removals.
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "exchange/inventory.h"
#include "exchange/removal_plan.h"
#include "exchange_fixture.h"

namespace {

using namespace exchange_tests;
using barterbox::CanRemoveAll;
using barterbox::PlannedRemoval;
using Plan = std::vector<PlannedRemoval>;

class RemovalPlan : public ExchangeFixture {
protected:
    void Add(const std::string& className, int32_t quantity) {
        world->AddStack("Alice", className, quantity);
    }
};

TEST_F(RemovalPlan, CanRemoveAll_ReadsTheInventoryAndChangesNothing) {
    Add(kWood, 3);
    Add(kStone, 5);
    Add(kWood, 4);
    EXPECT_TRUE(CanRemoveAll(alice, Plan{{kWood, 7}, {kStone, 5}}));
    EXPECT_FALSE(CanRemoveAll(alice, Plan{{kWood, 7}, {kStone, 6}}));
    EXPECT_TRUE(world->GameCalls().empty());
    EXPECT_EQ(SlotsOf(), (Slots{{kWood, 3}, {kStone, 5}, {kWood, 4}}));
}

TEST_F(RemovalPlan, CanRemoveAll_CountsWhatEarlierEntriesTakeFromTheSameItems) {
    Add(kWood, 3);
    Add(kWood, 4);
    // The first entry takes the 4 and leaves 1 of the 3: exactly 1 is left for the second.
    EXPECT_TRUE(CanRemoveAll(alice, Plan{{kWood, 6}, {"PrimalItemResource_Wood", 1}}));
    EXPECT_FALSE(CanRemoveAll(alice, Plan{{kWood, 6}, {"PrimalItemResource_Wood", 2}}));
    EXPECT_FALSE(CanRemoveAll(alice, Plan{{"", 7}, {kWood, 1}}));
}

TEST_F(RemovalPlan, CanRemoveAll_RefusesAmountsRemoveItemsCannotTake) {
    Add(kWood, 100);
    const int64_t tooWide = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    for (int64_t amount : {int64_t{0}, int64_t{-1}, tooWide}) {
        EXPECT_FALSE(CanRemoveAll(alice, Plan{{kWood, 1}, {kWood, amount}})) << amount;
    }
    EXPECT_FALSE(CanRemoveAll(nullptr, Plan{{kWood, 1}}));
    EXPECT_TRUE(CanRemoveAll(alice, Plan{}));
}

// A family of random inventories and removals: the plan must say true exactly when every real
// RemoveItems call, one after another, takes its whole amount.
TEST_F(RemovalPlan, CanRemoveAll_AgreesWithTheRealRemovals) {
    std::mt19937 random(20240611);
    const std::vector<std::string> identifiers = {kWood, kStone,        "PrimalItemResource_",
                                                  "",    "Resource_Wo", kThatch};
    int agreedTrue = 0;
    for (int round = 0; round < 300; ++round) {
        world->ClearInventory("Alice");
        world->ClearGameCalls();
        const int slots = static_cast<int>(random() % 12);
        for (int i = 0; i < slots; ++i) {
            switch (random() % 5) {
            case 0:
                world->AddEmptySlot("Alice");
                break;
            case 1:
                Add(kStone, static_cast<int32_t>(random() % 6));
                break;
            default:
                Add(kWood, static_cast<int32_t>(random() % 6));
            }
        }
        Plan plan;
        const int entries = 1 + static_cast<int>(random() % 3);
        for (int i = 0; i < entries; ++i) {
            plan.push_back({identifiers[random() % identifiers.size()],
                            static_cast<int64_t>(random() % 12) - 1});
        }

        const bool planned = CanRemoveAll(alice, plan);
        bool removed = true;
        for (const PlannedRemoval& removal : plan) {
            if (!barterbox::RemoveItems(alice, removal.Identifier,
                                        static_cast<int32_t>(removal.Amount))) {
                removed = false;
                break;
            }
        }
        ASSERT_EQ(planned, removed) << "round " << round;
        agreedTrue += planned ? 1 : 0;
        world->CollectGarbage();
    }
    EXPECT_GT(agreedTrue, 30) << "the family holds plans that succeed";
    EXPECT_LT(agreedTrue, 270) << "and plans that fail";
}

} // namespace
