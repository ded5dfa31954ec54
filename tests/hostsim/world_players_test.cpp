// The world's players: controllers in the world's weak-handle list, stale handles after a player
// leaves, characters, the admin bit, and EOS IDs handed out in plugin-owned strings.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/engine_strings.h"
#include "host/game_calls.h"
#include "host/game_names.h"
#include "host/host_api.h"
#include "hostsim/allocator.h"
#include "hostsim/host_strings.h"
#include "hostsim/name_registry.h"
#include "world_fixture.h"

namespace {

using namespace world_tests;
namespace calls = barterbox::game_calls;

class WorldPlayers : public WorldFixture {
protected:
    // The controllers behind the world's list, null for a stale handle, as the plugin sees them.
    std::vector<UObject*> ControllerList() {
        std::vector<UObject*> controllers;
        const EngineArray<FWeakObjectPtr>* list =
            calls::PlayerControllerList(AsaApi::GetApiUtils().ActiveWorld());
        for (int32_t i = 0; list != nullptr && i < list->Num; ++i) {
            controllers.push_back(calls::ResolveWeak(list->Data[i]));
        }
        return controllers;
    }
};

TEST_F(WorldPlayers, Join_AddsAHandleThatResolvesToThePlayersController) {
    AShooterPlayerController* alice = world->Join("Alice", "eos-a");
    AShooterPlayerController* bob = world->Join("Bob", "eos-b", true);
    EXPECT_EQ(AsaApi::GetApiUtils().ActiveWorld(), world->GameWorld());
    EXPECT_EQ(ControllerList(), (std::vector<UObject*>{alice, bob}));
    EXPECT_EQ(world->FindPlayer("Bob"), bob);
    EXPECT_EQ(world->FindPlayer("bob"), nullptr);
    EXPECT_EQ(world->PlayerNameOf(alice), "Alice");
    EXPECT_EQ(world->PlayerNameOf(nullptr), "");
    const auto players = world->Players();
    ASSERT_EQ(players.size(), 2u);
    EXPECT_EQ(players[1].Name, "Bob");
    EXPECT_EQ(players[1].EosId, "eos-b");
    EXPECT_TRUE(players[1].Admin);
    EXPECT_THROW(world->Join("Alice", "eos-other"), std::invalid_argument);
}

TEST_F(WorldPlayers, Leave_LeavesAStaleHandleThatStaysNullWhenItsSlotIsReused) {
    world->Join("Alice", "eos-a");
    AShooterPlayerController* bob = world->Join("Bob", "eos-b");
    world->Leave("Alice");
    EXPECT_EQ(ControllerList(), (std::vector<UObject*>{nullptr, bob}));

    AShooterPlayerController* carol = world->Join("Carol", "eos-c");
    EXPECT_EQ(ControllerList(), (std::vector<UObject*>{nullptr, bob, carol}));
    EXPECT_EQ(world->FindPlayer("Alice"), nullptr);
    EXPECT_THROW(world->Leave("Alice"), std::invalid_argument);
}

TEST_F(WorldPlayers, Character_CarriesTheInventoryUntilThePlayerHasNoCharacter) {
    AShooterPlayerController* alice = world->Join("Alice", "eos-a");
    world->GiveItems("Alice", "PrimalItemResource_Wood", 10);
    APrimalCharacter* character = calls::PlayerCharacter(alice);
    ASSERT_NE(character, nullptr);
    UPrimalInventoryComponent* inventory = calls::InventoryComponent(character);
    ASSERT_NE(inventory, nullptr);
    EXPECT_EQ(calls::InventoryItems(inventory)->Num, 1);

    world->RemoveCharacter("Alice");
    EXPECT_EQ(calls::PlayerCharacter(alice), nullptr);
    EXPECT_TRUE(world->Inventory("Alice").empty());
    EXPECT_THROW(world->GiveItems("Alice", "PrimalItemResource_Wood", 1), std::invalid_argument);
}

TEST_F(WorldPlayers, IsAdmin_ReadsOnlyTheAdminBitOfTheFlagWord) {
    AShooterPlayerController* alice = world->Join("Alice", "eos-a");
    AShooterPlayerController* bob = world->Join("Bob", "eos-b", true);
    EXPECT_FALSE(calls::IsAdmin(alice)) << "its neighbouring flags are set";
    EXPECT_TRUE(calls::IsAdmin(bob));
    world->SetAdmin("Alice", true);
    world->SetAdmin("Bob", false);
    EXPECT_TRUE(calls::IsAdmin(alice));
    EXPECT_FALSE(calls::IsAdmin(bob));
}

TEST_F(WorldPlayers, GetEOSIDFromController_FillsAStringThePluginMustRelease) {
    AShooterPlayerController* alice = world->Join("Alice", "0002a1b2c3d4e5f6");
    FString eos = AsaApi::GetEOSIDFromController(alice);
    EXPECT_EQ(hostsim::ReadFString(eos), u"0002a1b2c3d4e5f6");
    const auto live = hostsim::LiveBuffers(hostsim::BufferOwner::Plugin);
    ASSERT_EQ(live.size(), 1u);
    EXPECT_EQ(live[0].Origin, "AsaApi::GetEOSIDFromController");
    barterbox::ReleaseFString(eos);
}

// As the server's Permissions plugin keeps them: everyone is in Default, names ignore ASCII case,
// and the memberships go with a player who leaves.
TEST_F(WorldPlayers, Groups_AreAskedByEosIdAndGoWithThePlayerWhoLeaves) {
    world->Join("Alice", "eos-a");
    world->Join("Bob", "eos-b");
    EXPECT_TRUE(world->SetPlayerGroup("Alice", "VIP", true));
    EXPECT_FALSE(world->SetPlayerGroup("Alice", "vip", true)) << "the same group";
    EXPECT_TRUE(world->SetPlayerGroup("Alice", "Donor", true));
    EXPECT_EQ(world->Players()[0].Groups, (std::vector<std::string>{"VIP", "Donor"}));
    EXPECT_TRUE(world->Players()[1].Groups.empty());

    EXPECT_TRUE(world->IsPlayerInGroup("eos-a", "vIp"));
    EXPECT_TRUE(world->IsPlayerInGroup("eos-b", "Default"));
    EXPECT_TRUE(world->IsPlayerInGroup("eos-b", "DEFAULT"));
    EXPECT_FALSE(world->IsPlayerInGroup("eos-b", "VIP"));
    EXPECT_FALSE(world->IsPlayerInGroup("EOS-A", "VIP")) << "EOS IDs compare exactly";
    EXPECT_FALSE(world->IsPlayerInGroup("eos-z", "Default"));
    EXPECT_FALSE(world->IsPlayerInGroup("eos-a", ""));
    EXPECT_FALSE(world->IsPlayerInGroup("eos-a", "VIPs"));
    EXPECT_TRUE(hostsim::ActiveWorldPlayerInGroup(u"eos-a", u"donor"));

    EXPECT_TRUE(world->SetPlayerGroup("Alice", "vip", false));
    EXPECT_FALSE(world->SetPlayerGroup("Alice", "VIP", false)) << "no longer in it";
    EXPECT_FALSE(world->IsPlayerInGroup("eos-a", "VIP"));
    EXPECT_THROW(world->SetPlayerGroup("Alice", "default", false), std::invalid_argument);
    EXPECT_THROW(world->SetPlayerGroup("Alice", "", true), std::invalid_argument);
    EXPECT_THROW(world->SetPlayerGroup("Zed", "VIP", true), std::invalid_argument);

    world->Leave("Alice");
    world->Join("Alice", "eos-a");
    EXPECT_FALSE(world->IsPlayerInGroup("eos-a", "Donor"));
}

TEST_F(WorldPlayers, FieldsAndFunctionsOnTheWrongKindOfObject_AreHostErrors) {
    AShooterPlayerController* alice = world->Join("Alice", "eos-a");
    EXPECT_EQ(AsaApi::GetAddress(alice, game::kMyInventoryComponent), nullptr);
    EXPECT_EQ(calls::PlayerCharacter(
                  reinterpret_cast<AShooterPlayerController*>(calls::PlayerCharacter(alice))),
              nullptr);
    const FString none = AsaApi::GetEOSIDFromController(nullptr);
    EXPECT_EQ(none.Data, nullptr);
    EXPECT_EQ(hostsim::NameErrors().size(), 3u);
    hostsim::ClearNameErrors();
}

} // namespace
