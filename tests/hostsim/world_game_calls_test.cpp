// The game functions the plugin calls on items and inventories, recorded in order; the names
// and path names the game fills into plugin-owned strings; and RCON replies.
#include <functional>
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
using hostsim::GameCall;
namespace calls = barterbox::game_calls;

class WorldGameCalls : public WorldFixture {
protected:
    void SetUp() override {
        WorldFixture::SetUp();
        world->Join("Alice", "eos-a");
        woodId = world->AddStack("Alice", "PrimalItemResource_Wood", 10);
        stoneId = world->AddStack("Alice", "PrimalItemResource_Stone", 4);
    }
    UPrimalInventoryComponent* Inventory(std::string_view player) {
        return calls::InventoryComponent(calls::PlayerCharacter(world->FindPlayer(player)));
    }
    // Reads and releases a string the game filled for the plugin.
    static std::u16string Take(FString text) {
        barterbox::OwnedFString owned(text);
        return hostsim::ReadFString(owned.get());
    }

    uint64_t woodId = 0;
    uint64_t stoneId = 0;
};

TEST_F(WorldGameCalls, ItemFunctions_AreRecordedWithTheirArgumentsInOrder) {
    UPrimalItem* wood = world->FindItem(woodId);
    UPrimalItem* stone = world->FindItem(stoneId);
    calls::SetItemQuantity(wood, 6);
    calls::NotifyItemQuantityChanged(Inventory("Alice"), wood);
    calls::NotifyItemRemoved(Inventory("Alice"), stone);
    calls::RemoveItemFromInventory(stone);

    const std::string quiet = "null, null, false, false, false, false";
    EXPECT_EQ(world->GameCalls(),
              (std::vector<GameCall>{
                  {game::kSetQuantity, "Alice", woodId, "6, true", ""},
                  {game::kNotifyClientsItemStatus, "Alice", woodId,
                   "false, false, true, false, false, " + quiet, ""},
                  {game::kNotifyClientsItemStatus, "Alice", stoneId,
                   "false, true, false, false, false, " + quiet, ""},
                  {game::kRemoveItemFromInventory, "Alice", stoneId, "true, false", "true"},
              }));
    EXPECT_EQ(calls::ItemQuantity(wood), 6);
    EXPECT_EQ(world->Inventory("Alice"),
              (std::vector<hostsim::InventorySlot>{{woodId, "PrimalItemResource_Wood_C", 6}}));
    world->ClearGameCalls();
    EXPECT_TRUE(world->GameCalls().empty());
}

TEST_F(WorldGameCalls, UsingAnItemAfterItLeftItsInventory_IsAHostError) {
    UPrimalItem* stone = world->FindItem(stoneId);
    calls::RemoveItemFromInventory(stone);
    EXPECT_TRUE(hostsim::NameErrors().empty());
    calls::ItemQuantity(stone);
    calls::NotifyItemRemoved(Inventory("Alice"), stone);
    EXPECT_EQ(hostsim::NameErrors().size(), 2u);
    hostsim::ClearNameErrors();
}

TEST_F(WorldGameCalls, NotifyingAnotherPlayersInventory_IsAHostError) {
    world->Join("Bob", "eos-b");
    calls::NotifyItemRemoved(Inventory("Bob"), world->FindItem(woodId));
    ASSERT_EQ(hostsim::NameErrors().size(), 1u);
    EXPECT_NE(hostsim::NameErrors()[0].find("not in that inventory"), std::string::npos);
    hostsim::ClearNameErrors();
}

TEST_F(WorldGameCalls, PathNameAndClassName_ComeInPluginOwnedBuffersFromTheClassObject) {
    UPrimalItem* wood = world->FindItem(woodId);
    UClass* woodClass = calls::ItemClass(wood);
    ASSERT_NE(woodClass, nullptr);

    FString path = calls::ClassPathName(woodClass);
    FString name = barterbox::FNameToFString(calls::ClassFName(woodClass));
    const auto live = hostsim::LiveBuffers(hostsim::BufferOwner::Plugin);
    ASSERT_EQ(live.size(), 2u) << "the ledger sees both buffers the plugin must release";
    // The class the blueprint generates: its path and name end in _C.
    EXPECT_EQ(Take(path), hostsim::Utf8ToUtf16(std::string(kWoodPath) + "_C"));
    EXPECT_EQ(Take(name), u"PrimalItemResource_Wood_C");

    // The item object has a name of its own, which is not its class's.
    const std::u16string itemPath = Take(calls::ClassPathName(reinterpret_cast<UClass*>(wood)));
    EXPECT_NE(itemPath.find(u":PersistentLevel."), std::u16string::npos);
    EXPECT_EQ(itemPath.find(hostsim::Utf8ToUtf16(kWoodPath)), std::u16string::npos);
}

TEST_F(WorldGameCalls, GetPathNameOfSomethingThatIsNoObject_IsAHostError) {
    int notAnObject = 0;
    FString path = calls::ClassPathName(reinterpret_cast<UClass*>(&notAnObject));
    EXPECT_EQ(path.Data, nullptr);
    EXPECT_EQ(hostsim::NameErrors().size(), 1u);
    hostsim::ClearNameErrors();
}

TEST_F(WorldGameCalls, ArgumentsTheGameReadsOtherwise_AreHostErrors) {
    UClass* woodClass = calls::ItemClass(world->FindItem(woodId));
    UObject* someOuter = reinterpret_cast<UObject*>(world->FindItem(stoneId));
    FWeakObjectPtr handle = calls::PlayerControllerList(world->GameWorld())->Data[0]; // Alice
    const auto getPathName =
        reinterpret_cast<game::GetPathNameFn>(AsaApi::GetAddress(game::kGetPathName));
    const auto weakGet =
        reinterpret_cast<game::WeakObjectGetFn>(AsaApi::GetAddress(game::kWeakObjectGet));
    struct Case {
        const char* Call;
        std::function<void()> Wrong;
        const char* Fault;
    };
    const Case cases[] = {
        {"GetPathName with an outer to stop at",
         [&] {
             FString path;
             getPathName(reinterpret_cast<UObject*>(woodClass), someOuter, &path);
             barterbox::ReleaseFString(path);
         },
         "GetPathName called with a non-null first argument"},
        {"FWeakObjectPtr.Get asked for objects pending kill", [&] { weakGet(&handle, true); },
         "FWeakObjectPtr.Get called with true"},
    };
    for (const Case& c : cases) {
        hostsim::ClearNameErrors();
        c.Wrong();
        const auto faults = hostsim::NameErrors();
        ASSERT_EQ(faults.size(), 1u) << c.Call;
        EXPECT_NE(faults[0].find(c.Fault), std::string::npos) << c.Call << ": " << faults[0];
    }
    hostsim::ClearNameErrors();
    // The plugin's own calls pass: null, and false.
    Take(calls::ClassPathName(woodClass));
    EXPECT_EQ(calls::ResolveWeak(handle), static_cast<void*>(world->FindPlayer("Alice")));
    EXPECT_EQ(hostsim::NameErrors(), std::vector<std::string>{});
}

TEST_F(WorldGameCalls, RconSendMessage_RecordsTheReplyAndTellsTheListener) {
    RCONClientConnection* connection = world->OpenRconConnection();
    std::vector<std::u16string> heard;
    world->SetRconListener([&](const hostsim::RconReply& reply) { heard.push_back(reply.Text); });

    barterbox::OwnedFString text{FString("Exchange completed")};
    calls::RconSendMessage(connection, 41, text.get());

    const auto replies = world->RconReplies();
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].Connection, connection);
    EXPECT_EQ(replies[0].RequestId, 41);
    EXPECT_EQ(replies[0].Type, 0);
    EXPECT_EQ(replies[0].Text, u"Exchange completed");
    EXPECT_EQ(heard, std::vector<std::u16string>{u"Exchange completed"});

    world->CloseRconConnection(connection);
    calls::RconSendMessage(connection, 42, text.get());
    EXPECT_EQ(world->RconReplies().size(), 1u);
    EXPECT_EQ(hostsim::NameErrors().size(), 1u) << "a reply on a closed connection";
    hostsim::ClearNameErrors();
}

TEST_F(WorldGameCalls, Reset_EmptiesTheWorldAndGivesTheHostAFreshOne) {
    world->Reset();
    EXPECT_TRUE(world->Players().empty());
    EXPECT_TRUE(world->ItemClasses().empty());
    EXPECT_TRUE(world->GameCalls().empty());
    EXPECT_NE(world->GameWorld(), nullptr);
    EXPECT_EQ(AsaApi::GetApiUtils().ActiveWorld(), world->GameWorld());
}

} // namespace
