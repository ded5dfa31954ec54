// The simulated server's world file read into plain records: the game's item classes and the
// players with what they carry. Reading and checking only; the server builds its world from these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/character_states.h"
#include "json_locations.h"

namespace barterbox::tools {

inline constexpr int32_t kDefaultInventorySlots = 300;
// Far beyond the game's own inventories, but small enough that a simulated world stays cheap.
inline constexpr int32_t kMaxInventorySlots = 100000;

// A class written by its blueprint path (.../X.X) is read as the class it generates (.../X.X_C),
// as the game names it.
struct WorldItemClass {
    std::string Path;      // the class's path name, .../X.X_C, as the game's GetPathName gives it
    std::string ClassName; // the text after the last "." of the path: X_C
    int32_t MaxStack = 1;
    std::string Written = {}; // the path as the world file writes it, which the world is built from
};

struct WorldInventoryItem {
    std::string Item; // as written: a class name or a path
    int32_t Quantity = 0;
    size_t ClassIndex = 0; // the item class it names, in WorldDescription::ItemClasses
};

struct WorldPlayer {
    std::string Name;
    std::string EosId;
    bool Admin = false;
    std::vector<std::string> Groups;           // permission groups besides Default
    barterbox::CharacterStates States;         // in which nothing may be traded
    std::vector<WorldInventoryItem> Inventory; // split into stacks of MaxStack by the server
};

// What the world's game does with items that do not all fit in an inventory, as the world file's
// WhenInventoryFull names it. The file's own record: the server maps it onto the stand-in host's.
enum class WhenInventoryFull {
    GiveWhatFits, // hands out what fits
    GiveNothing,  // hands out nothing
};

// What a world file describes: the inventory size, the item classes and the players, as the
// server builds them into the simulated world.
struct WorldDescription {
    int32_t InventorySlots = kDefaultInventorySlots;
    WhenInventoryFull WhenFull = WhenInventoryFull::GiveWhatFits;
    std::vector<WorldItemClass> ItemClasses;
    std::vector<WorldPlayer> Players;
};

// One thing wrong with a world file: the member concerned, where it stands, and what is wrong.
struct WorldFileError {
    MemberPath Member;
    TextPosition Where;
    std::string Message;
};

struct WorldReadResult {
    WorldDescription Contents; // meaningful only when there are no errors
    std::vector<WorldFileError> Errors;
    bool Ok() const { return Errors.empty(); }
};

// Reads and checks a world file; every fault found is reported, not only the first.
WorldReadResult ReadWorldFile(const std::string& fileName);
WorldReadResult ReadWorldText(std::string_view text);

// The error in the compiler style: FILE:LINE:COLUMN: error: MEMBER: MESSAGE.
std::string FormatWorldError(std::string_view fileName, const WorldFileError& error);

// The class that a blueprint text names in a form the game's GiveSlotItem takes: the blueprint
// .../X.X, the class path .../X.X_C, or either inside Blueprint'...'.
std::optional<size_t> ClassOfBlueprint(const std::vector<WorldItemClass>& classes,
                                       std::string_view blueprint);

// The classes that an item text names: one whose path or blueprint form it is, or else every
// class of that class name (X_C) or blueprint name (X); several classes may share one.
std::vector<size_t> ClassesNamedBy(const std::vector<WorldItemClass>& classes,
                                   std::string_view item);

} // namespace barterbox::tools
