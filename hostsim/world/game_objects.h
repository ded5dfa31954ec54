// The simulated game's objects laid out in memory the way the plugin reaches them: every field the
// plugin resolves by name sits at a fixed offset that the world registers with the name registry.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/engine_types.h"

namespace hostsim {

enum class ObjectKind { World, ItemClass, Item, Inventory, Character, Controller };

// What the engine's UObjectBase holds at the start of every object.
struct ObjectHeader {
    const void* VTable = nullptr;
    int32_t ObjectFlags = 0;
    int32_t InternalIndex = 0; // the object's slot in the world's object table
    UClass* ClassPrivate = nullptr;
    FName NamePrivate;
    UObject* OuterPrivate = nullptr;
};

// Set on an item once it has left its inventory; the game destroys it at the next collection.
inline constexpr int32_t kPendingKill = 0x20000000;

struct ItemClassObject : UClass {
    ObjectHeader Base;
    int32_t MaxStack = 1;
};

struct InventoryObject;

struct ItemObject : UPrimalItem {
    ObjectHeader Base;
    uint64_t ItemId = 0; // the game's item net id, unique for the world's lifetime
    int32_t Quantity = 0;
    InventoryObject* Owner = nullptr; // null once removed from its inventory
};

struct InventoryObject : UPrimalInventoryComponent {
    ObjectHeader Base;
    EngineArray<UPrimalItem*> InventoryItems; // elements in host memory, reallocated as items move
};

// The character's flags share one word, as the game's bit fields do.
inline constexpr uint8_t kIsCarriedBit = 2;

// A player's character is a shooter character, the kind that rides. Its states are the world's
// own; the game functions and fields that tell them read these.
struct CharacterObject : AShooterCharacter {
    ObjectHeader Base;
    UPrimalInventoryComponent* MyInventoryComponent = nullptr;
    uint32_t CharacterFlags = 1u | (1u << 3); // neighbours of bIsCarried, which a reader masks
    bool Dead = false;
    bool Unconscious = false;
    bool Riding = false;
    bool ControlledByNoglin = false;
};

// Player flags share one word, so that reading bIsAdmin must mask out its neighbours.
inline constexpr uint8_t kIsAdminBit = 4;
inline constexpr uint32_t kNeighbourFlags = (1u << 3) | (1u << 5);

struct ControllerObject : AShooterPlayerController {
    ObjectHeader Base;
    uint32_t PlayerFlags = kNeighbourFlags;
    APrimalCharacter* Character = nullptr; // null while the player has no living character
    bool bIsTransferringCharacter = false;
};

struct WorldObject : UWorld {
    ObjectHeader Base;
    EngineArray<FWeakObjectPtr> PlayerControllerList; // handles stay when their controller goes
};

// The header is where the engine puts it, so UObjectBase's fields have one offset for all kinds.
static_assert(offsetof(ItemClassObject, Base) == 0 && offsetof(ItemObject, Base) == 0 &&
              offsetof(InventoryObject, Base) == 0 && offsetof(CharacterObject, Base) == 0 &&
              offsetof(ControllerObject, Base) == 0 && offsetof(WorldObject, Base) == 0);

// An RCON client's connection; not a UObject.
struct RconConnectionObject : RCONClientConnection {
    int32_t ConnectionId = 0;
};

} // namespace hostsim
