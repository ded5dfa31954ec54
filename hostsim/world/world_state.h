// The world's inner state, shared by the World API and the game functions the plugin calls, with
// the operations both need (placing and removing items, finding players, recording calls).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "game_objects.h"
#include "name_table.h"
#include "object_table.h"
#include "world.h"

namespace hostsim {

struct ItemClassRecord {
    ItemClassInfo Info;
    ItemClassObject* Object = nullptr;
};

struct PlayerRecord {
    std::string Name;
    std::string EosId;
    ControllerObject* Controller = nullptr;
    CharacterObject* Character = nullptr; // null after RemoveCharacter
    InventoryObject* Inventory = nullptr;
    std::vector<std::string> Groups; // besides Default, as first given
};

struct WorldState {
    int32_t InventorySlots = kDefaultInventorySlots;
    WhenInventoryFull WhenFull = WhenInventoryFull::GiveWhatFits;
    std::function<bool(std::string_view, int32_t)> GiveRefusal;
    NameTable Names;
    ObjectTable Objects;
    WorldObject* GameWorld = nullptr;
    std::vector<ItemClassRecord> Classes;
    std::vector<PlayerRecord> Players;
    std::vector<std::unique_ptr<RconConnectionObject>> Connections;
    std::vector<ItemObject*> PendingKill; // out of their inventories, not yet collected
    std::vector<GameCall> Calls;
    std::function<void(const GameCall&)> CallListener;
    std::vector<RconReply> Replies;
    std::function<void(const RconReply&)> RconListener;
    uint64_t NextItemId = 1;
    int32_t NextObjectNumber = 1;

    // Builds the world object and gives it to the host as the active world.
    void CreateGameWorld();
    // Releases every host buffer and destroys every object.
    void DestroyEverything();

    template <typename T> T* CreateObject(ObjectKind kind, std::u16string_view baseName);

    const ItemClassRecord* ClassByBlueprint(std::string_view blueprint) const;
    const ItemClassRecord* ClassByAnyName(std::string_view item) const;

    PlayerRecord* PlayerByName(std::string_view name);
    const PlayerRecord* PlayerByEosId(std::string_view eosId) const;
    PlayerRecord* PlayerByController(const void* controller);
    PlayerRecord* PlayerByInventory(const InventoryObject* inventory);
    std::string OwnerName(const InventoryObject* inventory);

    // Free entries left in the inventory array.
    int32_t FreeSlots(const InventoryObject& inventory) const;
    ItemObject* AddItem(InventoryObject& inventory, const ItemClassRecord* itemClass,
                        int32_t quantity);
    // New stacks of at most the class's maximum; false (and nothing added) when they do not fit or
    // the quantity is not positive.
    bool AddStacks(InventoryObject& inventory, const ItemClassRecord& itemClass, int32_t quantity);
    // As the game's GiveSlotItem: tops up the class's stacks in array order, then fills free slots
    // with new stacks; what does not fit is handled as WhenFull says. True when all of it arrived.
    bool GiveSlotItemStacks(InventoryObject& inventory, const ItemClassRecord& itemClass,
                            int32_t quantity);
    // Takes the item out of its inventory's array; it stays alive, pending kill, until collected.
    bool TakeOut(ItemObject& item);
    void DestroyInventory(InventoryObject* inventory);

    void Record(GameCall call);
    void Fault(const std::string& message);
};

// The state of the world that exists, or null.
WorldState* ActiveWorldState();
void SetActiveWorldState(WorldState* state);

// Registers (and removes) every game function and field of the world with the name registry.
void RegisterWorldNames();
void UnregisterWorldNames();
// The character's function under the name the host's current headers give it.
void UseCurrentHostNames();

} // namespace hostsim
