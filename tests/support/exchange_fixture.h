// A fresh stand-in host and simulated world with a player, Alice, an empty exchange table and the
// default settings; with readers for what the player was told and what she carries afterwards.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/exchange_catalogue.h"
#include "catalogue/plugin_settings.h"
#include "commands/exchange_replies.h"
#include "host/game_names.h"
#include "host_fixture.h"
#include "hostsim/messenger.h"
#include "hostsim/world/world.h"

namespace exchange_tests {

inline constexpr char kResources[] = "/Game/PrimalEarth/CoreBlueprints/Resources/";
inline constexpr char kWood[] = "PrimalItemResource_Wood";
inline constexpr char kStone[] = "PrimalItemResource_Stone";
inline constexpr char kThatch[] = "PrimalItemResource_Thatch";
inline constexpr char kIngot[] = "PrimalItemResource_MetalIngot";

// ".../PrimalItemResource_Wood.PrimalItemResource_Wood" for "PrimalItemResource_Wood".
inline std::string PathOf(const std::string& className) {
    return kResources + className + "." + className;
}
inline std::string BlueprintOf(const std::string& className) {
    return std::string("Blueprint'") + PathOf(className) + "'";
}

using Slots = std::vector<std::pair<std::string, int32_t>>;

// What the chat command does with an exchange: runs it, then tells the player how it ended. True
// when it completed.
inline bool ExecuteAndTell(AShooterPlayerController* player, std::string_view name,
                           int32_t multiplier) {
    const barterbox::ExchangeRequest request{
        player, name, multiplier, barterbox::AuditVia::Chat, {}};
    return barterbox::RunAndReportExchange(request).Result == barterbox::ExchangeResult::Complete;
}

// The game calls the plugin makes on Alice's items, as the world records them.
inline hostsim::GameCall SetQuantityCall(uint64_t item, int32_t quantity) {
    return {game::kSetQuantity, "Alice", item, std::to_string(quantity) + ", true", ""};
}
inline hostsim::GameCall NotifyQuantityChangedCall(uint64_t item) {
    return {game::kNotifyClientsItemStatus, "Alice", item,
            "false, false, true, false, false, null, null, false, false, false, false", ""};
}
inline hostsim::GameCall NotifyRemovedCall(uint64_t item) {
    return {game::kNotifyClientsItemStatus, "Alice", item,
            "false, true, false, false, false, null, null, false, false, false, false", ""};
}
inline hostsim::GameCall RemoveCall(uint64_t item) {
    return {game::kRemoveItemFromInventory, "Alice", item, "true, false", "true"};
}

class ExchangeFixture : public testing_support::HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        CreateLogger();
        world.emplace();
        world->AddItemClass(PathOf(kWood), 100);
        world->AddItemClass(PathOf(kStone), 100);
        world->AddItemClass(PathOf(kThatch), 200);
        world->AddItemClass(PathOf(kIngot), 300);
        alice = world->Join("Alice", "0002a11ce");
    }
    void TearDown() override {
        world.reset();
        HostFixture::TearDown();
    }

    // The player's inventory in array order, as (blueprint name, quantity): the game names the
    // class of PrimalItemResource_Wood PrimalItemResource_Wood_C, and these tests say kWood.
    Slots SlotsOf(std::string_view player = "Alice") {
        Slots slots;
        for (const auto& slot : world->Inventory(player)) {
            std::string name = slot.ClassName;
            if (name.ends_with("_C")) {
                name.resize(name.size() - 2);
            }
            slots.emplace_back(std::move(name), slot.Quantity);
        }
        return slots;
    }
    // The texts of the chat lines sent so far, checking that each went to the player under the
    // chat prefix.
    std::vector<std::u16string> ChatTo(AShooterPlayerController* player) {
        std::vector<std::u16string> texts;
        for (const auto& message : hostsim::SentMessages()) {
            EXPECT_EQ(message.Type, hostsim::SentMessage::Kind::Chat);
            EXPECT_EQ(message.Sender, u"Barterbox");
            if (message.Receiver == player) {
                texts.push_back(message.Text);
            }
        }
        return texts;
    }
    std::vector<std::u16string> Chat() { return ChatTo(alice); }

    std::optional<hostsim::World> world;
    AShooterPlayerController* alice = nullptr;
};

} // namespace exchange_tests
