// The small world that the chat, console and RCON fuzz targets share, and the checks they make
// on it: one administrator, Ada, carrying Wood, Stone and Flint, and four exchanges among them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "hostsim/world/world.h"

namespace fuzzing {

inline constexpr char kEosId[] = "0002a";
// The configured MaxMultiplier: no completed exchange runs more often than this.
inline constexpr int32_t kMaxMultiplier = 10;

// An exchange of the table as the administrator commands can tell it apart: its stored Name and
// the rest of its definition, as text.
struct TableEntry {
    std::string Name;
    std::string Definition;
    bool operator==(const TableEntry&) const = default;
};
using Table = std::map<std::string, TableEntry>; // exchange key -> entry

// Item class (e.g. PrimalItemResource_Wood_C) -> quantity Ada carries of it.
using Carried = std::map<std::string, int64_t>;

struct CommandHost {
    hostsim::World* World = nullptr;
    AShooterPlayerController* Ada = nullptr;
    RCONClientConnection* Rcon = nullptr;
    std::filesystem::path ConfigFile;
};

void Require(bool holds);

// Sets the host and the plugin up on the first call. On every call Ada joins afresh with her
// starting inventory, config.json and the table hold the configured exchanges, and the records
// of messages and RCON replies are empty, so that each input starts from the same world.
// Ada holds 120 wood (two stacks), 30 stone and 5 flint: four slots of her inventory's
// `inventorySlots`, so that a small inventory leaves little room for what an exchange hands out.
CommandHost&
FreshHost(int32_t inventorySlots = 40,
          hostsim::WhenInventoryFull whenFull = hostsim::WhenInventoryFull::GiveWhatFits);

Table TableNow();
Carried CarriedNow(const hostsim::World& world);

// The texts of the chat lines sent since FreshHost, each checked to have gone to Ada.
std::vector<std::string> ChatToAda(const CommandHost& host);

// Requires that Ada's inventory, class by class, differs from `before` by exactly what the one
// exchange named in "Exchange complete: NAME xN" explains (its Give entries out and its Receive
// entries in, N times, with N from 1 to maxMultiplier), or not at all when no exchange completed.
// Returns whether one completed.
bool RequireInventoryExplained(const CommandHost& host, const Carried& before,
                               int32_t maxMultiplier);

// Collects the world's garbage and requires that the plugin holds no host buffer and that the
// host's ledger and name registry recorded no fault.
void RequireCleanHost(const CommandHost& host);

} // namespace fuzzing
