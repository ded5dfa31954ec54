// The simulated game world that tests and the simulated server drive: item classes, players with
// their characters and inventories, an RCON connection, and the game names the plugin resolves.
//
//   hostsim::World world;  // registers the world's game names and becomes the active world
//   world.AddItemClass("/Game/PrimalEarth/CoreBlueprints/Resources/"
//                      "PrimalItemResource_Wood.PrimalItemResource_Wood", 100); // or ..._Wood_C
//   AShooterPlayerController* alice = world.Join("Alice", "000214f1", /*admin=*/false);
//   world.GiveItems("Alice", "PrimalItemResource_Wood", 250); // slots of 100, 100 and 50
//   ... the plugin runs against the host ...
//   world.Inventory("Alice");  world.GameCalls();  world.RconReplies();
//
// Players are named by their display name. Item classes carry the game's generated-class names:
// the blueprint .../X.X gives the class .../X.X_C, named X_C. Items are named by class name (X_C),
// the blueprint's name (X), the class path, or any blueprint form the game's GiveSlotItem takes.
// Misuse (an unknown player or item, a full inventory) throws std::invalid_argument with a one-line
// reason. One world exists at a time, and it is not thread-safe: the host calls into it one command
// at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/character_states.h"
#include "host/engine_types.h"

namespace hostsim {

inline constexpr int32_t kDefaultInventorySlots = 300;
// The permission group the server's Permissions plugin puts every player in.
inline constexpr std::string_view kDefaultGroup = "Default";

struct ItemClassInfo {
    // The class path name, e.g. ".../PrimalItemResource_Wood.PrimalItemResource_Wood_C".
    std::string Path;
    std::string Name; // the text after the last ".", e.g. "PrimalItemResource_Wood_C"
    int32_t MaxStack = 1;
};

struct PlayerInfo {
    std::string Name;
    std::string EosId;
    bool Admin = false;
    AShooterPlayerController* Controller = nullptr;
    std::vector<std::string> Groups; // permission groups besides Default, in the order joined
};

// One entry of a player's inventory array, in array order.
struct InventorySlot {
    uint64_t ItemId = 0;   // 0 for an empty (null) entry
    std::string ClassName; // empty for an empty entry or an item without a class
    int32_t Quantity = 0;
    bool operator==(const InventorySlot&) const = default;
};

// A call of a game function that changes or fills an inventory, with its arguments.
struct GameCall {
    std::string Function;  // the game name, e.g. "UPrimalItem.SetQuantity(int,bool)"
    std::string Player;    // whose inventory it concerned; empty when none
    uint64_t ItemId = 0;   // the item argument (0 for none)
    std::string Arguments; // the remaining arguments, e.g. "2, true"
    std::string Result;    // "true" or "false" for functions with a result, else empty
    bool operator==(const GameCall&) const = default;
};

// A text the plugin sent back to an RCON client.
struct RconReply {
    const RCONClientConnection* Connection = nullptr;
    int32_t RequestId = 0;
    int32_t Type = 0;
    std::u16string Text;
};

// What the game's GiveSlotItem does with items that do not all fit, once it has filled the
// player's stacks of the class and then the free slots. How the real game behaves is not
// documented, so the stand-in does either, chosen per world.
enum class WhenInventoryFull {
    GiveWhatFits, // hands out what fits and answers false
    GiveNothing,  // hands out nothing and answers false
};

struct WorldState;

class World {
public:
    explicit World(int32_t inventorySlots = kDefaultInventorySlots);
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // Names the game's functions as the host's current headers spell them: the character's
    // function is "AShooterPlayerController.BaseGetPlayerCharacter()", and the name the plugin is
    // built on, "AShooterPlayerController.GetPlayerCharacter()", is not offered.
    void UseCurrentHostNames();

    // Back to an empty world (no classes, players, records); settings and listeners stay.
    void Reset();
    UWorld* GameWorld() const;
    // How many entries an inventory array may hold, empty ones included.
    void SetInventorySlots(int32_t slots);
    int32_t InventorySlots() const;
    void SetWhenInventoryFull(WhenInventoryFull behaviour);
    WhenInventoryFull WhenFull() const;
    // Makes GiveSlotItem answer false, giving nothing, for every call on which the hook answers
    // true (the item text as the plugin passed it, the quantity): a game that refuses for its own
    // reasons. An empty hook refuses nothing.
    void SetGiveRefusal(std::function<bool(std::string_view item, int32_t quantity)> refuse);
    // Called after each game call the world records, as it was recorded: a test can change the
    // world between two of the plugin's calls (take a game name away midway, say).
    void SetCallListener(std::function<void(const GameCall& call)> listener);

    // Item classes, by the blueprint path (.../X.X) or the class path (.../X.X_C).
    void AddItemClass(std::string path, int32_t maxStack);
    std::vector<ItemClassInfo> ItemClasses() const;
    std::optional<ItemClassInfo> FindItemClass(std::string_view item) const;

    // Players. Leave destroys the controller, character and inventory, but leaves the player's
    // handle in the world's controller list, where it now resolves to null.
    AShooterPlayerController* Join(std::string name, std::string eosId, bool admin = false);
    void Leave(std::string_view name);
    void SetAdmin(std::string_view name, bool admin);
    // The player no longer has a character (as after death): the controller's character is null.
    void RemoveCharacter(std::string_view name);
    // The character stays, but its inventory field holds null (as for a character being built).
    void RemoveInventory(std::string_view name);
    // The states in which nothing may be traded, as the game's functions and fields tell them.
    // A player without a character has none.
    void SetCharacterState(std::string_view name, barterbox::CharacterState state, bool on);
    barterbox::CharacterStates CharacterStatesOf(std::string_view name) const;
    AShooterPlayerController* FindPlayer(std::string_view name) const; // null when not online
    std::vector<PlayerInfo> Players() const;
    std::string PlayerNameOf(const void* controller) const; // empty when not a player's

    // Permission groups, as the server's Permissions plugin keeps them: every player is in
    // Default, and in the groups set here, which go with the player who leaves. Group names
    // compare regardless of the case of A to Z. SetPlayerGroup answers whether it changed
    // anything; it refuses an unknown player, an empty name and Default.
    bool SetPlayerGroup(std::string_view name, std::string_view group, bool member);
    // False for an EOS ID that no player online has, and for an empty group.
    bool IsPlayerInGroup(std::string_view eosId, std::string_view group) const;

    // Inventories. GiveItems puts the quantity into new stacks of at most the class's maximum,
    // all or nothing; the Add functions place exactly one entry, whatever its size.
    void GiveItems(std::string_view player, std::string_view item, int32_t quantity);
    uint64_t AddStack(std::string_view player, std::string_view item, int32_t quantity);
    uint64_t AddClasslessItem(std::string_view player, int32_t quantity);
    void AddEmptySlot(std::string_view player);
    void ClearInventory(std::string_view player);
    std::vector<InventorySlot> Inventory(std::string_view player) const;
    // Null once the item is gone (collected, or its owner left).
    UPrimalItem* FindItem(uint64_t itemId) const;
    // Destroys the items that left their inventories, as the game's garbage collection does, and
    // once more than 32 handles in the controller list are stale, drops them all.
    void CollectGarbage();

    // Records of SetQuantity, RemoveItemFromInventory, NotifyClientsItemStatus and GiveSlotItem.
    std::vector<GameCall> GameCalls() const;
    void ClearGameCalls();

    // RCON client connections and the replies sent on them.
    RCONClientConnection* OpenRconConnection();
    void CloseRconConnection(RCONClientConnection* connection);
    std::vector<RconReply> RconReplies() const;
    void ClearRconReplies();
    void SetRconListener(std::function<void(const RconReply&)> listener);

private:
    std::unique_ptr<WorldState> state_;
};

// The membership question of the world that exists, in the host's UTF-16 text, for the stand-in
// Permissions module; false when no world exists, and never throws.
bool ActiveWorldPlayerInGroup(std::u16string_view eosId, std::u16string_view group) noexcept;

} // namespace hostsim
