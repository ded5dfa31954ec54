// libFuzzer target for the three ways a command line reaches the plugin: a chat line from a
// player, a console line from an administrator and an RCON "Barterbox.Do" request, each through
// the stand-in host's command registry against a small world. Properties, for every input: the
// inventory changes only through a completed exchange, by its Give and Receive quantities times
// the multiplier the player was told; the table changes only as the administrator's reply says;
// a saved config.json holds the table; an RCON request gets exactly one reply, "Exchange
// completed" only with such a change; and the host's ledger is clean after each input.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>
#include <nlohmann/json.hpp>
#include <spdlog/sinks/null_sink.h>

#include "catalogue/config_file.h"
#include "catalogue/exchange_catalogue.h"
#include "hostsim/allocator.h"
#include "hostsim/command_registry.h"
#include "hostsim/host_environment.h"
#include "hostsim/host_strings.h"
#include "hostsim/messenger.h"
#include "hostsim/name_registry.h"
#include "hostsim/plugin_module.h"
#include "hostsim/world/world.h"
#include "plugin/plugin_lifecycle.h"

namespace {

namespace fs = std::filesystem;
using Table = std::map<std::string, std::string>; // exchange key -> its definition, as text

constexpr char kResources[] = "/Game/PrimalEarth/CoreBlueprints/Resources/PrimalItemResource_";
constexpr char kEosId[] = "0002a";

void Require(bool holds) {
    if (!holds) {
        std::abort();
    }
}

std::string ClassPath(const std::string& item) {
    return kResources + item + ".PrimalItemResource_" + item;
}

// Forth and Back undo each other; Pair takes two kinds at once; Many has a large Receive.
const std::string kConfig = [] {
    const auto blueprint = [](const std::string& item) {
        return "Blueprint'" + ClassPath(item) + "'";
    };
    nlohmann::json config;
    config["Exchanges"]["Forth"] = {{"Give", {{"PrimalItemResource_Wood", 2}}},
                                    {"Receive", {{blueprint("Stone"), 1}}}};
    config["Exchanges"]["Back"] = {{"Give", {{"PrimalItemResource_Stone", 1}}},
                                   {"Receive", {{blueprint("Wood"), 2}}}};
    config["Exchanges"]["Pair"] = {
        {"Give", {{"PrimalItemResource_Wood", 1}, {"PrimalItemResource_Flint", 1}}},
        {"Receive", {{blueprint("Stone"), 3}}}};
    config["Exchanges"]["Many"] = {{"Give", {{"PrimalItemResource_Flint", 1}}},
                                   {"Receive", {{blueprint("Wood"), 250}}}};
    config["Settings"] = {{"AllowMultiplier", true}, {"MaxMultiplier", 10}};
    return config.dump();
}();

struct Host {
    std::string Folder;
    hostsim::World* World = nullptr;
    fs::path ConfigFile;
    RCONClientConnection* Rcon = nullptr;
};

Host& SetUpHost() {
    static Host host;
    hostsim::ResetHost();
    hostsim::SetPluginModuleFile(
        hostsim::ModuleFileOf(reinterpret_cast<const void*>(&Require)));
    hostsim::HostLogSinks() = {std::make_shared<spdlog::sinks::null_sink_mt>()};
    char folder[] = "/tmp/barterbox-commands-fuzz-XXXXXX";
    Require(mkdtemp(folder) != nullptr);
    host.Folder = folder;
    hostsim::SetCurrentDir(folder);
    const fs::path plugin = fs::path(folder) / "ArkApi/Plugins/Barterbox";
    fs::create_directories(plugin);
    host.ConfigFile = plugin / "config.json";
    std::ofstream(host.ConfigFile) << kConfig;
    host.World = new hostsim::World(40);
    for (const char* item : {"Wood", "Stone", "Flint"}) {
        host.World->AddItemClass(ClassPath(item), 100);
    }
    host.Rcon = host.World->OpenRconConnection();
    barterbox::LoadPlugin();
    // The scratch folder goes at the end of the run.
    std::atexit([] { fs::remove_all(host.Folder); });
    return host;
}

Table TableNow() {
    Table table;
    for (const auto& [key, definition] : barterbox::Catalogue()) {
        std::string text = definition.Name + "|" + definition.Description + "|";
        for (const auto& item : definition.Give) {
            text += item.Item + ":" + std::to_string(item.Quantity) + ",";
        }
        text += "|";
        for (const auto& item : definition.Receive) {
            text += item.Item + ":" + std::to_string(item.Quantity) + ",";
        }
        table[key] = text;
    }
    return table;
}

int64_t ItemsCarried(const hostsim::World& world) {
    int64_t total = 0;
    for (const hostsim::InventorySlot& slot : world.Inventory("Ada")) {
        total += slot.Quantity;
    }
    return total;
}

std::vector<std::string> TextsSent(hostsim::SentMessage::Kind kind) {
    std::vector<std::string> texts;
    for (const hostsim::SentMessage& message : hostsim::SentMessages()) {
        if (message.Type == kind) {
            texts.push_back(hostsim::Utf16ToUtf8(message.Text));
        }
    }
    return texts;
}

// The change in items carried that the completed exchange named in the chat explains; 0 when
// no exchange completed.
int64_t ExplainedChange(const Table& table) {
    int64_t change = 0;
    int completed = 0;
    for (const std::string& text : TextsSent(hostsim::SentMessage::Kind::Chat)) {
        const std::string start = "Exchange complete: ";
        if (!text.starts_with(start)) {
            Require(!text.starts_with("Exchange partially complete"));
            continue;
        }
        ++completed;
        const size_t times = text.rfind(" x");
        const std::string name = text.substr(start.size(), times - start.size());
        const int64_t multiplier = std::stoll(text.substr(times + 2));
        Require(multiplier >= 1 && multiplier <= 10);
        const barterbox::ExchangeDefinition* definition = barterbox::FindExchange(name);
        Require(definition != nullptr && table.count(barterbox::ExchangeKey(name)) == 1);
        for (const auto& item : definition->Give) {
            change -= item.Quantity * multiplier;
        }
        for (const auto& item : definition->Receive) {
            change += item.Quantity * multiplier;
        }
    }
    Require(completed <= 1);
    return change;
}

void RequireCleanHost() {
    Require(hostsim::LiveBuffers(hostsim::BufferOwner::Plugin).empty());
    Require(hostsim::LedgerErrors().empty());
    Require(hostsim::NameErrors().empty());
}

void CheckConsole(Host& host, const std::string& line, const Table& before) {
    AShooterPlayerController* ada = host.World->FindPlayer("Ada");
    hostsim::DispatchConsole(ada, hostsim::Utf8ToUtf16(line));
    const Table after = TableNow();
    bool added = false;
    bool removed = false;
    bool saved = false;
    for (const hostsim::SentMessage& message : hostsim::SentMessages()) {
        const std::string text = hostsim::Utf16ToUtf8(message.Text);
        const bool green = message.Colour == hostsim::kGreen;
        added = added || (green && text.starts_with("Added exchange"));
        removed = removed || (green && text.starts_with("Removed exchange"));
        saved = saved || (green && text.starts_with("Barterbox: Config saved"));
    }
    size_t changed = 0;
    for (const auto& [key, text] : after) {
        const auto it = before.find(key);
        changed += it == before.end() || it->second != text ? 1 : 0;
    }
    for (const auto& [key, text] : before) {
        changed += after.count(key) == 0 ? 1 : 0;
    }
    if (added) {
        Require(changed == 1 && after.size() >= before.size());
    } else if (removed) {
        Require(changed == 1 && after.size() + 1 == before.size());
    } else if (!line.starts_with("Barterbox.Reload")) {
        Require(changed == 0);
    }
    if (saved || added) {
        // What the file holds loads back to the very table that is running.
        std::ifstream file(host.ConfigFile);
        const std::string text((std::istreambuf_iterator<char>(file)),
                               std::istreambuf_iterator<char>());
        barterbox::LoadConfigFromText(text);
        Require(TableNow() == after);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static Host& host = SetUpHost();
    hostsim::World& world = *host.World;
    if (world.FindPlayer("Ada") != nullptr) {
        world.Leave("Ada");
    }
    world.Join("Ada", kEosId, true);
    world.GiveItems("Ada", "PrimalItemResource_Wood", 120);
    world.GiveItems("Ada", "PrimalItemResource_Stone", 30);
    world.GiveItems("Ada", "PrimalItemResource_Flint", 5);
    // The table and the file as the configuration gives them, before each input.
    std::ofstream(host.ConfigFile) << kConfig;
    barterbox::LoadConfig();
    hostsim::ClearSentMessages();
    world.ClearRconReplies();
    const Table before = TableNow();
    const int64_t carried = ItemsCarried(world);

    FuzzedDataProvider input(data, size);
    const int way = input.ConsumeIntegralInRange<int>(0, 2);
    // Most inputs begin as a command does, so that the fuzzer spends its time in the arguments.
    static const char* const kChatStarts[] = {"/ex ", "/exchange ", "/ex", ""};
    static const char* const kConsoleStarts[] = {"Barterbox.Add ", "Barterbox.Remove ",
                                                 "Barterbox.Save", "Barterbox.List",
                                                 "Barterbox.Reload", ""};
    const size_t pick = input.ConsumeIntegralInRange<size_t>(0, 5);
    const std::string rest = input.ConsumeRemainingBytesAsString();
    if (way == 0) {
        const std::string line = kChatStarts[pick % 4] + rest;
        hostsim::DispatchChat(world.FindPlayer("Ada"), hostsim::Utf8ToUtf16(line));
        Require(ItemsCarried(world) - carried == ExplainedChange(before));
    } else if (way == 1) {
        CheckConsole(host, kConsoleStarts[pick] + rest, before);
        Require(ItemsCarried(world) == carried);
    } else {
        hostsim::DispatchRcon(host.Rcon, 7, hostsim::Utf8ToUtf16("Barterbox.Do " + rest),
                              world.GameWorld());
        const std::vector<hostsim::RconReply> replies = world.RconReplies();
        Require(replies.size() == 1 && replies[0].RequestId == 7);
        const int64_t change = ExplainedChange(before);
        Require(ItemsCarried(world) - carried == change);
        if (hostsim::Utf16ToUtf8(replies[0].Text) == "Exchange completed") {
            Require(!TextsSent(hostsim::SentMessage::Kind::Chat).empty());
        } else {
            Require(ItemsCarried(world) == carried);
        }
    }
    world.CollectGarbage();
    RequireCleanHost();
    return 0;
}
