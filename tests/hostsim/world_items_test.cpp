// The world's item classes and inventories: stacking, the blueprint forms the game takes, room in
// the inventory, and the inventory array's life in host memory.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "host/engine_strings.h"
#include "host/game_calls.h"
#include "host/game_names.h"
#include "host/host_api.h"
#include "hostsim/allocator.h"
#include "hostsim/name_registry.h"
#include "world_fixture.h"

namespace {

using namespace world_tests;
namespace calls = barterbox::game_calls;
using Slots = std::vector<std::pair<std::string, int32_t>>;

class WorldItems : public WorldFixture {
protected:
    Slots SlotsOf(std::string_view player) {
        Slots slots;
        for (const auto& slot : world->Inventory(player)) {
            slots.emplace_back(slot.ClassName, slot.Quantity);
        }
        return slots;
    }
    // Through the game function, as the plugin calls it.
    bool GiveSlotItem(std::string_view player, const std::string& blueprint, int32_t quantity) {
        barterbox::OwnedFString text{FString(blueprint.c_str())};
        return calls::GiveSlotItem(world->FindPlayer(player), text.get(), quantity);
    }
    const EngineArray<UPrimalItem*>* ItemsOf(std::string_view player) {
        APrimalCharacter* character = calls::PlayerCharacter(world->FindPlayer(player));
        return calls::InventoryItems(calls::InventoryComponent(character));
    }
    static bool IsLiveHostBuffer(const void* address) {
        const auto live = hostsim::LiveBuffers(hostsim::BufferOwner::Host);
        return std::any_of(live.begin(), live.end(),
                           [&](const auto& buffer) { return buffer.Address == address; });
    }
};

TEST_F(WorldItems, GiveItems_SplitsTheQuantityIntoStacksOfAtMostTheClassMaximum) {
    world->Join("Alice", "eos-a");
    world->GiveItems("Alice", "PrimalItemResource_Wood", 250);
    world->GiveItems("Alice", kStonePath, 100);
    EXPECT_EQ(SlotsOf("Alice"), (Slots{{"PrimalItemResource_Wood_C", 100},
                                       {"PrimalItemResource_Wood_C", 100},
                                       {"PrimalItemResource_Wood_C", 50},
                                       {"PrimalItemResource_Stone_C", 100}}));
}

TEST_F(WorldItems, FindItemClass_KnowsTheClassNameThePathAndTheBlueprintForms) {
    const std::string path = kStonePath;
    const std::vector<std::pair<std::string, bool>> cases = {
        {"PrimalItemResource_Stone_C", true},
        {"PrimalItemResource_Stone", true}, // the blueprint's own name
        {path, true},
        {"Blueprint'" + path + "'", true},
        {path + "_C", true},
        {"primalitemresource_stone", false}, // names are exact
        {"PrimalItemResource_Ston", false},
        {"PrimalItemResource_Stone_C_C", false},
        {path.substr(0, path.find('.')), false}, // the package without its object
        {"Blueprint'" + path, false},            // no closing quote
        {path + "_c", false},
        {"", false},
    };
    for (const auto& [item, known] : cases) {
        const auto found = world->FindItemClass(item);
        EXPECT_EQ(found.has_value(), known) << item;
        if (found) {
            EXPECT_EQ(found->Path, path + "_C") << "the class the blueprint generates";
            EXPECT_EQ(found->Name, "PrimalItemResource_Stone_C");
            EXPECT_EQ(found->MaxStack, 100);
        }
    }
}

TEST_F(WorldItems, AddItemClass_ByBlueprintOrByClassPathDeclaresTheSameClass) {
    const std::string path = kWoodPath; // declared by its blueprint in the fixture
    EXPECT_THROW(world->AddItemClass(path + "_C", 100), std::invalid_argument) << "already known";
    // A blueprint whose own name ends in _C still generates a class of its own.
    world->AddItemClass("/Game/Test/Odd_C.Odd_C", 5);
    world->AddItemClass("/Game/Test/Even.Even_C", 5);
    std::vector<std::pair<std::string, std::string>> classes;
    for (const auto& info : world->ItemClasses()) {
        classes.emplace_back(info.Path, info.Name);
    }
    EXPECT_EQ(classes, (std::vector<std::pair<std::string, std::string>>{
                           {path + "_C", "PrimalItemResource_Wood_C"},
                           {std::string(kStonePath) + "_C", "PrimalItemResource_Stone_C"},
                           {"/Game/Test/Odd_C.Odd_C_C", "Odd_C_C"},
                           {"/Game/Test/Even.Even_C", "Even_C"}}));
}

TEST_F(WorldItems, GiveSlotItem_TakesTheGamesBlueprintFormsButNotABareClassName) {
    const std::string path = kWoodPath;
    const std::vector<std::pair<std::string, bool>> cases = {
        {"Blueprint'" + path + "'", true},
        {path, true},
        {path + "_C", true},
        {"Blueprint'" + path + "_C'", true},
        {"PrimalItemResource_Wood", false},
        {"PrimalItemResource_Wood_C", false},
        {"Blueprint'/Game/Mods/Unknown/PrimalItem_Nothing.PrimalItem_Nothing'", false},
    };
    // The same for a class that the world declared by its blueprint and by its class path.
    for (const std::string& declared : {path, path + "_C"}) {
        world->Reset();
        world->AddItemClass(declared, 100);
        world->Join("Alice", "eos-a");
        for (const auto& [blueprint, accepted] : cases) {
            world->ClearInventory("Alice");
            EXPECT_EQ(GiveSlotItem("Alice", blueprint, 5), accepted)
                << declared << " " << blueprint;
            const Slots expected = accepted ? Slots{{"PrimalItemResource_Wood_C", 5}} : Slots{};
            EXPECT_EQ(SlotsOf("Alice"), expected) << declared << " " << blueprint;
        }
        const auto recorded = world->GameCalls();
        ASSERT_EQ(recorded.size(), cases.size());
        EXPECT_EQ(recorded[0], (hostsim::GameCall{game::kGiveSlotItem, "Alice", 0,
                                                  "\"Blueprint'" + path + "'\", 0, 5", "true"}));
        EXPECT_EQ(recorded[4].Result, "false");
    }
}

// The class's stacks are topped up first, then free slots get new stacks; what does not fit is
// handed out as far as it fits, or not at all, as the world says; false either way.
TEST_F(WorldItems, GiveSlotItem_TopsUpThenFillsFreeSlotsAndTreatsTheRestAsTheWorldSays) {
    world->SetInventorySlots(4);
    world->Join("Alice", "eos-a");
    const std::string wood = kWoodPath;
    const Slots before{{"PrimalItemResource_Stone_C", 1}, {"PrimalItemResource_Wood_C", 60}};
    const Slots full{{"PrimalItemResource_Stone_C", 1},
                     {"PrimalItemResource_Wood_C", 100},
                     {"PrimalItemResource_Wood_C", 100},
                     {"PrimalItemResource_Wood_C", 100}};
    for (const auto whenFull :
         {hostsim::WhenInventoryFull::GiveNothing, hostsim::WhenInventoryFull::GiveWhatFits}) {
        world->SetWhenInventoryFull(whenFull);
        world->ClearInventory("Alice");
        world->AddStack("Alice", "PrimalItemResource_Stone", 1);
        world->AddStack("Alice", "PrimalItemResource_Wood", 60);
        for (int32_t quantity : {0, -1, -2147483647 - 1}) {
            EXPECT_FALSE(GiveSlotItem("Alice", wood, quantity)) << quantity;
        }
        EXPECT_FALSE(GiveSlotItem("Alice", wood, 241)) << "room for 40, then two slots of 100";
        const bool whatFits = whenFull == hostsim::WhenInventoryFull::GiveWhatFits;
        EXPECT_EQ(SlotsOf("Alice"), whatFits ? full : before);
        EXPECT_EQ(GiveSlotItem("Alice", wood, 240), !whatFits) << "exactly the room left";
        EXPECT_EQ(SlotsOf("Alice"), full);
        EXPECT_FALSE(GiveSlotItem("Alice", wood, 1)) << "the inventory is full";
    }
    EXPECT_THROW(world->GiveItems("Alice", "PrimalItemResource_Wood", 1), std::invalid_argument);
}

TEST_F(WorldItems, GiveSlotItem_WithTheLargestQuantitySplitsWithoutOverflow) {
    world->SetInventorySlots(2147483647);
    world->AddItemClass("/Game/Test/Huge.Huge", 2147483647);
    world->Join("Alice", "eos-a");
    EXPECT_TRUE(GiveSlotItem("Alice", "/Game/Test/Huge.Huge", 2147483647));
    EXPECT_EQ(SlotsOf("Alice"), (Slots{{"Huge_C", 2147483647}}));
}

TEST_F(WorldItems, AddFunctions_PlaceExactlyOneEntryOfAnySize) {
    world->Join("Alice", "eos-a");
    const uint64_t big = world->AddStack("Alice", "PrimalItemResource_Wood", 500);
    world->AddEmptySlot("Alice");
    const uint64_t classless = world->AddClasslessItem("Alice", 7);
    const uint64_t zero = world->AddStack("Alice", kStonePath, 0);
    EXPECT_EQ(world->Inventory("Alice"),
              (std::vector<hostsim::InventorySlot>{{big, "PrimalItemResource_Wood_C", 500},
                                                   {0, "", 0},
                                                   {classless, "", 7},
                                                   {zero, "PrimalItemResource_Stone_C", 0}}));
    EXPECT_EQ(ItemsOf("Alice")->Data[1], nullptr);
    EXPECT_EQ(calls::ItemClass(world->FindItem(classless)), nullptr);
}

TEST_F(WorldItems, InventoryItems_IsAHostArrayThatMovesToAFreshBufferWhenAnItemLeaves) {
    world->Join("Alice", "eos-a");
    const uint64_t first = world->AddStack("Alice", "PrimalItemResource_Wood", 1);
    const uint64_t second = world->AddStack("Alice", "PrimalItemResource_Wood", 2);
    const uint64_t third = world->AddStack("Alice", "PrimalItemResource_Wood", 3);
    const EngineArray<UPrimalItem*>* items = ItemsOf("Alice");
    ASSERT_NE(items, nullptr);
    ASSERT_EQ(items->Num, 3);
    EXPECT_GE(items->Max, 3);
    UPrimalItem** before = items->Data;
    EXPECT_TRUE(IsLiveHostBuffer(before));

    calls::RemoveItemFromInventory(world->FindItem(second));

    EXPECT_EQ(items->Num, 2);
    EXPECT_NE(items->Data, before);
    EXPECT_FALSE(IsLiveHostBuffer(before)) << "the old elements were freed";
    EXPECT_TRUE(IsLiveHostBuffer(items->Data));
    const auto slots = world->Inventory("Alice");
    ASSERT_EQ(slots.size(), 2u);
    EXPECT_EQ(slots[0].ItemId, first) << "the others keep their order";
    EXPECT_EQ(slots[1].ItemId, third);
}

TEST_F(WorldItems, RemovedItem_StaysAnObjectUntilCollected) {
    world->Join("Alice", "eos-a");
    const uint64_t id = world->AddStack("Alice", "PrimalItemResource_Wood", 1);
    UPrimalItem* item = world->FindItem(id);
    calls::RemoveItemFromInventory(item);
    EXPECT_EQ(world->FindItem(id), nullptr) << "no longer in any inventory";
    EXPECT_NE(AsaApi::GetAddress(item, game::kClassPrivate), nullptr);
    EXPECT_TRUE(hostsim::NameErrors().empty());

    world->CollectGarbage();
    EXPECT_EQ(AsaApi::GetAddress(item, game::kClassPrivate), nullptr);
    EXPECT_EQ(hostsim::NameErrors().size(), 1u);
    hostsim::ClearNameErrors();
}

TEST_F(WorldItems, Destruction_ReleasesEveryHostBufferOfTheWorld) {
    world->Join("Alice", "eos-a");
    world->Join("Bob", "eos-b");
    world->GiveItems("Alice", "PrimalItemResource_Wood", 1000);
    world->Leave("Bob");
    world.reset();
    EXPECT_EQ(hostsim::LiveBuffers(hostsim::BufferOwner::Host).size(), 0u);
    EXPECT_EQ(AsaApi::GetApiUtils().ActiveWorld(), nullptr);
    EXPECT_EQ(AsaApi::GetAddress(game::kGiveSlotItem), nullptr) << "names go with the world";
    hostsim::ClearNameErrors();
}

TEST_F(WorldItems, Misuse_IsRefusedWithAReasonAndChangesNothing) {
    world->Join("Alice", "eos-a");
    EXPECT_THROW(world->GiveItems("Nobody", "PrimalItemResource_Wood", 1), std::invalid_argument);
    EXPECT_THROW(world->GiveItems("Alice", "Nothing", 1), std::invalid_argument);
    EXPECT_THROW(world->GiveItems("Alice", "PrimalItemResource_Wood", 0), std::invalid_argument);
    EXPECT_THROW(world->AddItemClass(kWoodPath, 5), std::invalid_argument) << "known already";
    EXPECT_THROW(world->AddItemClass("/Game/NoObjectName", 5), std::invalid_argument);
    EXPECT_THROW(world->AddItemClass("/Game/Zero.Zero", 0), std::invalid_argument);
    EXPECT_TRUE(world->Inventory("Alice").empty());
    EXPECT_EQ(world->ItemClasses().size(), 2u);
}

} // namespace
