// The fuzz targets' shared world: the host set up once, Ada and the table brought back before
// each input, and the checks of the inventory, class by class, and of the host's ledger.
#include "fuzz/command_harness.h"

#include <unistd.h>

#include <charconv>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string_view>
#include <utility>

#include <nlohmann/json.hpp>
#include <spdlog/sinks/null_sink.h>

#include "catalogue/config_file.h"
#include "catalogue/exchange_catalogue.h"
#include "hostsim/allocator.h"
#include "hostsim/host_environment.h"
#include "hostsim/host_strings.h"
#include "hostsim/messenger.h"
#include "hostsim/name_registry.h"
#include "hostsim/plugin_module_file.h"
#include "platform/module_library.h"
#include "plugin/plugin_lifecycle.h"

namespace fuzzing {

namespace {

namespace fs = std::filesystem;

constexpr char kResources[] = "/Game/PrimalEarth/CoreBlueprints/Resources/PrimalItemResource_";
constexpr std::string_view kComplete = "Exchange complete: ";

// One exchange as this harness knows it, independently of the plugin's catalogue: the items it
// takes and gives, each by the resource's short name (Wood for PrimalItemResource_Wood).
struct KnownExchange {
    std::string Name;
    std::vector<std::pair<std::string, int32_t>> Give;
    std::vector<std::pair<std::string, int32_t>> Receive;
};

// Forth and Back undo each other; Pair takes two kinds at once; Many has a large Receive.
const std::vector<KnownExchange> kExchanges = {
    {"Forth", {{"Wood", 2}}, {{"Stone", 1}}},
    {"Back", {{"Stone", 1}}, {{"Wood", 2}}},
    {"Pair", {{"Wood", 1}, {"Flint", 1}}, {{"Stone", 3}}},
    {"Many", {{"Flint", 1}}, {{"Wood", 250}}},
};

std::string ClassName(const std::string& resource) {
    return "PrimalItemResource_" + resource;
}

// The class as Ada's inventory names it: the engine's generated class, with its _C.
std::string SlotClass(const std::string& resource) {
    return ClassName(resource) + "_C";
}

std::string ClassPath(const std::string& resource) {
    return kResources + resource + ".PrimalItemResource_" + resource;
}

// Give entries name the item by its class, Receive entries by the blueprint of its class path.
const std::string kConfig = [] {
    nlohmann::json config;
    for (const KnownExchange& exchange : kExchanges) {
        nlohmann::json& entry = config["Exchanges"][exchange.Name];
        for (const auto& [resource, quantity] : exchange.Give) {
            entry["Give"][ClassName(resource)] = quantity;
        }
        for (const auto& [resource, quantity] : exchange.Receive) {
            entry["Receive"]["Blueprint'" + ClassPath(resource) + "'"] = quantity;
        }
    }
    config["Settings"] = {{"AllowMultiplier", true}, {"MaxMultiplier", kMaxMultiplier}};
    return config.dump();
}();

CommandHost& SetUpHost() {
    static CommandHost host;
    static std::string folder = "/tmp/barterbox-fuzz-host-XXXXXX";
    hostsim::ResetHost();
    hostsim::SetPluginModuleFile(
        barterbox::platform::ModuleFileOf(reinterpret_cast<const void*>(&Require)));
    hostsim::HostLogSinks() = {std::make_shared<spdlog::sinks::null_sink_mt>()};
    Require(mkdtemp(folder.data()) != nullptr);
    hostsim::SetCurrentDir(folder);
    const fs::path plugin = fs::path(folder) / "ArkApi/Plugins/Barterbox";
    fs::create_directories(plugin);
    host.ConfigFile = plugin / "config.json";
    std::ofstream(host.ConfigFile) << kConfig;
    host.World = new hostsim::World(40);
    for (const char* resource : {"Wood", "Stone", "Flint"}) {
        host.World->AddItemClass(ClassPath(resource), 100);
    }
    host.Rcon = host.World->OpenRconConnection();
    barterbox::LoadPlugin();
    // The scratch folder goes at the end of the run.
    std::atexit([] { fs::remove_all(folder); });
    return host;
}

// Both maps without the classes Ada has none of, so that a class emptied and a class never held
// compare equal.
Carried WithoutZeros(Carried carried) {
    std::erase_if(carried, [](const auto& entry) { return entry.second == 0; });
    return carried;
}

} // namespace

void Require(bool holds) {
    if (!holds) {
        std::abort();
    }
}

CommandHost& FreshHost(int32_t inventorySlots, hostsim::WhenInventoryFull whenFull) {
    static CommandHost& host = SetUpHost();
    hostsim::World& world = *host.World;
    world.SetInventorySlots(inventorySlots);
    world.SetWhenInventoryFull(whenFull);
    if (world.FindPlayer("Ada") != nullptr) {
        world.Leave("Ada");
    }
    host.Ada = world.Join("Ada", kEosId, true);
    world.GiveItems("Ada", ClassName("Wood"), 120);
    world.GiveItems("Ada", ClassName("Stone"), 30);
    world.GiveItems("Ada", ClassName("Flint"), 5);
    std::ofstream(host.ConfigFile) << kConfig;
    barterbox::LoadConfig();
    hostsim::ClearSentMessages();
    world.ClearRconReplies();
    return host;
}

Table TableNow() {
    Table table;
    for (const auto& [key, definition] : barterbox::Catalogue()) {
        std::string text = definition.Description + "|";
        for (const auto& item : definition.Give) {
            text += item.Item + ":" + std::to_string(item.Quantity) + ",";
        }
        text += "|";
        for (const auto& item : definition.Receive) {
            text += item.Item + ":" + std::to_string(item.Quantity) + ",";
        }
        table[key] = {definition.Name, text};
    }
    return table;
}

Carried CarriedNow(const hostsim::World& world) {
    Carried carried;
    for (const hostsim::InventorySlot& slot : world.Inventory("Ada")) {
        carried[slot.ClassName] += slot.Quantity;
    }
    return carried;
}

std::vector<std::string> ChatToAda(const CommandHost& host) {
    std::vector<std::string> texts;
    for (const hostsim::SentMessage& message : hostsim::SentMessages()) {
        if (message.Type == hostsim::SentMessage::Kind::Chat) {
            Require(message.Receiver == host.Ada);
            texts.push_back(hostsim::Utf16ToUtf8(message.Text));
        }
    }
    return texts;
}

bool RequireInventoryExplained(const CommandHost& host, const Carried& before,
                               int32_t maxMultiplier) {
    Carried expected = before;
    int completed = 0;
    for (const std::string& text : ChatToAda(host)) {
        // Neither can happen in this world, where a cancelled exchange always has room to give
        // back what it took; either would be a change without a completion.
        Require(!text.starts_with("Exchange partially complete"));
        Require(!text.starts_with("Failed to remove items"));
        if (!text.starts_with(kComplete)) {
            continue;
        }
        ++completed;
        const size_t times = text.rfind(" x");
        Require(times != std::string::npos && times >= kComplete.size());
        const std::string name = text.substr(kComplete.size(), times - kComplete.size());
        int32_t multiplier = 0;
        const char* const end = text.data() + text.size();
        const auto [read, error] = std::from_chars(text.data() + times + 2, end, multiplier);
        Require(error == std::errc() && read == end);
        Require(multiplier >= 1 && multiplier <= maxMultiplier);
        const KnownExchange* exchange = nullptr;
        for (const KnownExchange& known : kExchanges) {
            exchange = known.Name == name ? &known : exchange;
        }
        Require(exchange != nullptr);
        for (const auto& [resource, quantity] : exchange->Give) {
            expected[SlotClass(resource)] -= int64_t{quantity} * multiplier;
        }
        for (const auto& [resource, quantity] : exchange->Receive) {
            expected[SlotClass(resource)] += int64_t{quantity} * multiplier;
        }
    }
    Require(completed <= 1);
    Require(WithoutZeros(CarriedNow(*host.World)) == WithoutZeros(expected));
    return completed == 1;
}

void RequireCleanHost(const CommandHost& host) {
    host.World->CollectGarbage();
    Require(hostsim::LiveBuffers(hostsim::BufferOwner::Plugin).empty());
    Require(hostsim::LedgerErrors().empty());
    Require(hostsim::NameErrors().empty());
}

} // namespace fuzzing
