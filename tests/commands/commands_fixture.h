// A loaded plugin in a fresh stand-in host: its commands registered, a simulated world with an
// administrator (Ada) and a player (Bob), a server folder of its own, and readers for the replies
// each command produced. Commands reach the handlers only through the host's dispatch.
#pragma once

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/config_file.h"
#include "catalogue/exchange_catalogue.h"
#include "catalogue/plugin_settings.h"
#include "host_fixture.h"
#include "hostsim/command_registry.h"
#include "hostsim/host_environment.h"
#include "hostsim/host_strings.h"
#include "hostsim/messenger.h"
#include "hostsim/world/world.h"
#include "item_paths.h"
#include "platform/os_path.h"
#include "plugin/plugin_lifecycle.h"
#include "scratch_folder.h"

namespace commands_tests {

using testing_support::kStonePath;
using testing_support::kWoodPath;

// One reply as "(colour) text" for coloured lines and "<sender> text" for chat lines.
struct Reply {
    const void* To;
    std::string Text;
    bool operator==(const Reply&) const = default;
};

inline void PrintTo(const Reply& reply, std::ostream* out) {
    *out << reply.To << " " << reply.Text;
}

class CommandsFixture : public testing_support::HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        folder_ =
            barterbox::platform::OsPath(testing_support::MakeScratchFolder("barterbox-commands"));
        std::filesystem::create_directories(folder_ / "ArkApi/Plugins/Barterbox");
        hostsim::SetCurrentDir(folder_.string());

        world.emplace();
        world->AddItemClass(kWoodPath, 100);
        world->AddItemClass(kStonePath, 100);
        ada = world->Join("Ada", "00021ada", /*admin=*/true);
        bob = world->Join("Bob", "00022b0b", /*admin=*/false);
        rcon = world->OpenRconConnection();
    }

    void TearDown() override {
        if (loaded_) {
            barterbox::UnloadPlugin();
        }
        world.reset();
        std::filesystem::remove_all(folder_);
        HostFixture::TearDown();
    }

    // Writes config.json (when given), runs LoadPlugin, and forgets what loading logged.
    void Load(const std::optional<std::string>& config = std::nullopt) {
        if (config) {
            WriteConfig(*config);
        }
        barterbox::LoadPlugin();
        loaded_ = true;
        Sink().Clear();
        hostsim::ClearSentMessages();
    }

    std::string ConfigPath() const {
        return (folder_ / "ArkApi/Plugins/Barterbox/config.json").string();
    }
    void WriteConfig(const std::string& text) const;
    std::optional<std::string> ReadConfig() const;

    // The host's dispatch, as a player typing in chat or at the console, or an RCON client.
    bool Chat(AShooterPlayerController* from, std::u16string_view line) {
        return hostsim::DispatchChat(from, line);
    }
    bool Console(APlayerController* from, std::u16string_view line) {
        return hostsim::DispatchConsole(from, line);
    }
    bool Rcon(int32_t id, std::u16string_view body) {
        return hostsim::DispatchRcon(rcon, id, body, world->GameWorld());
    }

    // Every message sent through the messenger, in order, with colour or sender spelled out.
    std::vector<Reply> Replies() const;
    // RCON replies as "id: text".
    std::vector<std::string> RconReplies() const;
    std::vector<std::string> Log() { return LogTexts(); }
    // How many items of the class the player carries, over all stacks; the class is named as the
    // world names it (PrimalItemResource_Wood for the class PrimalItemResource_Wood_C).
    int32_t Carried(std::string_view player, std::string_view item) const {
        const auto itemClass = world->FindItemClass(item);
        int32_t total = 0;
        for (const auto& slot : world->Inventory(player)) {
            total += itemClass && slot.ClassName == itemClass->Name ? slot.Quantity : 0;
        }
        return total;
    }

    std::optional<hostsim::World> world;
    AShooterPlayerController* ada = nullptr;
    AShooterPlayerController* bob = nullptr;
    RCONClientConnection* rcon = nullptr;

private:
    std::filesystem::path folder_;
    bool loaded_ = false;
};

} // namespace commands_tests
