// The game functions and fields of the simulated world, registered under the names the plugin
// resolves, and the host's EOS ID export. A call on an object of the wrong kind, where the game
// would crash, is recorded as a host error and gives the neutral result.
#include <cstddef>
#include <string>

#include "host/game_names.h"
#include "host/host_api.h"
#include "hostsim/host_clock.h"
#include "hostsim/host_strings.h"
#include "hostsim/name_registry.h"
#include "hostsim/record_limit.h"
#include "world_state.h"

namespace hostsim {
namespace {

const char* Text(bool value) {
    return value ? "true" : "false";
}

std::string ItemText(const WorldState& state, const UPrimalItem* item) {
    if (item == nullptr) {
        return "null";
    }
    const auto* found = state.Objects.Find<ItemObject>(item, ObjectKind::Item);
    return found != nullptr ? std::string("#").append(std::to_string(found->ItemId))
                            : "(not an item)";
}

// The item behind a pointer the plugin passed, or null (and a recorded fault).
ItemObject* LiveItem(WorldState& state, UPrimalItem* item, const char* function) {
    auto* found = state.Objects.Find<ItemObject>(item, ObjectKind::Item);
    if (found == nullptr) {
        state.Fault(std::string(function) + " called on an object that is not an item");
    } else if ((found->Base.ObjectFlags & kPendingKill) != 0) {
        state.Fault(std::string(function) + " called on item #" + std::to_string(found->ItemId) +
                    " after it left its inventory");
    }
    return found;
}

// ---- Objects and names ----

void GetPathName(UObject* self, UObject* stopOuter, FString* result) {
    HostEntry inHost;
    WorldState* state = ActiveWorldState();
    const std::u16string* path = state != nullptr ? state->Objects.PathOf(self) : nullptr;
    if (path == nullptr || result == nullptr) {
        RecordNameError("game: GetPathName called on an object the world does not know");
        return;
    }
    // Any other first argument stops the path at that outer and gives a shorter, relative name.
    if (stopOuter != nullptr) {
        state->Fault("GetPathName called with a non-null first argument; the full path name "
                     "needs null");
    }
    if (result->Data != nullptr) {
        state->Fault("GetPathName asked to fill an FString that already holds a buffer");
    }
    *result = MakeFString(*path, BufferOwner::Plugin, game::kGetPathName);
}

void FNameToString(FName* self, FString* result) {
    HostEntry inHost;
    WorldState* state = ActiveWorldState();
    if (state == nullptr || self == nullptr || result == nullptr) {
        RecordNameError("game: FName.ToString called without a name or a string to fill");
        return;
    }
    if (result->Data != nullptr) {
        state->Fault("FName.ToString asked to fill an FString that already holds a buffer");
    }
    *result = MakeFString(state->Names.Text(*self), BufferOwner::Plugin, game::kFNameToString);
}

UObject* WeakObjectGet(FWeakObjectPtr* self, bool evenIfPendingKill) {
    HostEntry inHost;
    WorldState* state = ActiveWorldState();
    if (state == nullptr || self == nullptr) {
        RecordNameError("game: FWeakObjectPtr.Get called without a handle");
        return nullptr;
    }
    // true would hand out controllers the game is already destroying.
    if (evenIfPendingKill) {
        state->Fault("FWeakObjectPtr.Get called with true; the plugin must ask with false");
    }
    return static_cast<UObject*>(state->Objects.Resolve(*self));
}

// ---- Players and items ----

APrimalCharacter* GetPlayerCharacter(AShooterPlayerController* controller) {
    HostEntry inHost;
    WorldState* state = ActiveWorldState();
    auto* found = state != nullptr
                      ? state->Objects.Find<ControllerObject>(controller, ObjectKind::Controller)
                      : nullptr;
    if (found == nullptr) {
        RecordNameError("game: GetPlayerCharacter called on an object that is not a controller");
        return nullptr;
    }
    return found->Character;
}

int32_t GetItemQuantity(UPrimalItem* item) {
    HostEntry inHost;
    WorldState* state = ActiveWorldState();
    const ItemObject* found =
        state != nullptr ? LiveItem(*state, item, "GetItemQuantity") : nullptr;
    return found != nullptr ? found->Quantity : 0;
}

void SetQuantity(UPrimalItem* item, int32_t quantity, bool notify) {
    HostEntry inHost;
    WorldState* state = ActiveWorldState();
    if (state == nullptr) {
        return;
    }
    ItemObject* found = LiveItem(*state, item, "SetQuantity");
    state->Record({game::kSetQuantity, found != nullptr ? state->OwnerName(found->Owner) : "",
                   found != nullptr ? found->ItemId : 0,
                   std::to_string(quantity) + ", " + Text(notify), ""});
    if (found != nullptr) {
        found->Quantity = quantity;
    }
}

bool RemoveItemFromInventory(UPrimalItem* item, bool forceRemoval, bool showHudMessage) {
    HostEntry inHost;
    WorldState* state = ActiveWorldState();
    if (state == nullptr) {
        return false;
    }
    ItemObject* found = LiveItem(*state, item, "RemoveItemFromInventory");
    const std::string owner = found != nullptr ? state->OwnerName(found->Owner) : "";
    const bool removed = found != nullptr && state->TakeOut(*found);
    state->Record({game::kRemoveItemFromInventory, owner, found != nullptr ? found->ItemId : 0,
                   std::string(Text(forceRemoval)) + ", " + Text(showHudMessage), Text(removed)});
    return removed;
}

void NotifyClientsItemStatus(UPrimalInventoryComponent* inventory, UPrimalItem* item, bool added,
                             bool removed, bool quantityChanged, bool durabilityChanged,
                             bool armorChanged, UPrimalItem* swappedItem, FItemNetID* swappedNetId,
                             bool resetSpoilingTime, bool equipped, bool unequipped,
                             bool usedItem) {
    HostEntry inHost;
    WorldState* state = ActiveWorldState();
    if (state == nullptr) {
        return;
    }
    auto* component = state->Objects.Find<InventoryObject>(inventory, ObjectKind::Inventory);
    const ItemObject* found = LiveItem(*state, item, "NotifyClientsItemStatus");
    if (component == nullptr) {
        state->Fault("NotifyClientsItemStatus called on an object that is not an inventory");
    } else if (found != nullptr && found->Owner != nullptr && found->Owner != component) {
        state->Fault("NotifyClientsItemStatus called for item #" + std::to_string(found->ItemId) +
                     ", which is not in that inventory");
    }
    std::string arguments;
    for (bool flag : {added, removed, quantityChanged, durabilityChanged, armorChanged}) {
        arguments += std::string(Text(flag)) + ", ";
    }
    arguments += ItemText(*state, swappedItem) + ", ";
    arguments += swappedNetId != nullptr ? "(net id), " : "null, ";
    arguments += std::string(Text(resetSpoilingTime)) + ", " + Text(equipped) + ", " +
                 Text(unequipped) + ", " + Text(usedItem);
    state->Record({game::kNotifyClientsItemStatus, state->OwnerName(component),
                   found != nullptr ? found->ItemId : 0, arguments, ""});
}

bool GiveSlotItem(AShooterPlayerController* controller, FString* blueprint, int32_t slot,
                  int32_t quantity) {
    HostEntry inHost;
    WorldState* state = ActiveWorldState();
    if (state == nullptr) {
        return false;
    }
    const std::string text = blueprint != nullptr ? Utf16ToUtf8(ReadFString(*blueprint)) : "";
    PlayerRecord* player = state->PlayerByController(controller);
    bool given = false;
    if (player == nullptr) {
        state->Fault("GiveSlotItem called on an object that is not a player controller");
    } else if (state->GiveRefusal && state->GiveRefusal(text, quantity)) {
        given = false;
    } else if (const ItemClassRecord* itemClass = state->ClassByBlueprint(text);
               itemClass != nullptr && player->Inventory != nullptr) {
        given = state->GiveSlotItemStacks(*player->Inventory, *itemClass, quantity);
    }
    std::string arguments = "\"";
    arguments.append(text).append("\", ").append(std::to_string(slot));
    arguments.append(", ").append(std::to_string(quantity));
    state->Record(
        {game::kGiveSlotItem, player != nullptr ? player->Name : "", 0, arguments, Text(given)});
    return given;
}

// ---- Room in an inventory ----

InventoryObject* AskedInventory(UPrimalInventoryComponent* inventory, const char* function) {
    WorldState* state = ActiveWorldState();
    auto* found = state != nullptr
                      ? state->Objects.Find<InventoryObject>(inventory, ObjectKind::Inventory)
                      : nullptr;
    if (found == nullptr && state != nullptr) {
        state->Fault(std::string(function) + " called on an object that is not an inventory");
    }
    return found;
}

// Every entry of the array takes a slot, an empty one too, as the world's hand-out counts them.
int32_t GetMaxInventoryItems(UPrimalInventoryComponent* inventory, bool) {
    HostEntry inHost;
    return AskedInventory(inventory, game::kGetMaxInventoryItems) != nullptr
               ? ActiveWorldState()->InventorySlots
               : 0;
}

int32_t GetCurrentNumInventoryItems(UPrimalInventoryComponent* inventory) {
    HostEntry inHost;
    const InventoryObject* found = AskedInventory(inventory, game::kGetCurrentNumInventoryItems);
    return found != nullptr ? found->InventoryItems.Num : 0;
}

bool IsAtMaxInventoryItems(UPrimalInventoryComponent* inventory) {
    HostEntry inHost;
    const InventoryObject* found = AskedInventory(inventory, game::kIsAtMaxInventoryItems);
    return found != nullptr && ActiveWorldState()->FreeSlots(*found) == 0;
}

int32_t GetMaxItemQuantity(UPrimalItem* item, UObject*) {
    HostEntry inHost;
    WorldState* state = ActiveWorldState();
    const ItemObject* found =
        state != nullptr ? LiveItem(*state, item, "GetMaxItemQuantity") : nullptr;
    if (found == nullptr) {
        return 0;
    }
    for (const ItemClassRecord& record : state->Classes) {
        if (record.Object == found->Base.ClassPrivate) {
            return record.Info.MaxStack;
        }
    }
    return 0;
}

// ---- The character's states ----

// The character the plugin asks about, or null (a fault) when it is none.
CharacterObject* AskedCharacter(const void* character, const char* function) {
    WorldState* state = ActiveWorldState();
    auto* found = state != nullptr
                      ? state->Objects.Find<CharacterObject>(character, ObjectKind::Character)
                      : nullptr;
    if (found == nullptr && state != nullptr) {
        state->Fault(std::string(function) + " called on an object that is not a character");
    }
    return found;
}

bool IsDeadOrDying(APrimalCharacter* character) {
    HostEntry inHost;
    const CharacterObject* found = AskedCharacter(character, game::kIsDeadOrDying);
    return found != nullptr && found->Dead;
}

bool IsConscious(APrimalCharacter* character) {
    HostEntry inHost;
    const CharacterObject* found = AskedCharacter(character, game::kIsConscious);
    return found != nullptr && !found->Unconscious;
}

// Any object that is not null stands for the mount: the plugin only asks whether there is one.
APrimalDinoCharacter* GetRidingDino(AShooterCharacter* character) {
    HostEntry inHost;
    static APrimalDinoCharacter mount;
    const CharacterObject* found = AskedCharacter(character, game::kGetRidingDino);
    return found != nullptr && found->Riding ? &mount : nullptr;
}

bool IsBrainControllingDinoAttached(APrimalCharacter* character) {
    HostEntry inHost;
    const CharacterObject* found = AskedCharacter(character, game::kIsBrainControllingDinoAttached);
    return found != nullptr && found->ControlledByNoglin;
}

// ---- RCON ----

void RconSendMessage(RCONClientConnection* connection, int32_t id, int32_t type, FString* message) {
    HostEntry inHost;
    WorldState* state = ActiveWorldState();
    if (state == nullptr) {
        return;
    }
    bool open = false;
    for (const auto& known : state->Connections) {
        open = open || known.get() == connection;
    }
    if (!open || message == nullptr) {
        state->Fault("RCONClientConnection.SendMessage called on a connection that is not open");
        return;
    }
    state->Replies.push_back({connection, id, type, ReadFString(*message)});
    if (state->RconListener) {
        state->RconListener(state->Replies.back());
    }
    KeepLatest(state->Replies);
}

// ---- Field owners ----

bool IsKind(const void* object, ObjectKind kind) {
    WorldState* state = ActiveWorldState();
    return state != nullptr && state->Objects.KindOf(object) == kind;
}

bool IsAnyObject(const void* object) {
    WorldState* state = ActiveWorldState();
    return state != nullptr && state->Objects.KindOf(object).has_value();
}

constexpr const char* kFunctionNames[] = {
    game::kGetPlayerCharacter,
    game::kBaseGetPlayerCharacter,
    game::kGetPathName,
    game::kFNameToString,
    game::kGetItemQuantity,
    game::kSetQuantity,
    game::kRemoveItemFromInventory,
    game::kNotifyClientsItemStatus,
    game::kGiveSlotItem,
    game::kWeakObjectGet,
    game::kRconSendMessage,
    game::kIsDeadOrDying,
    game::kIsConscious,
    game::kGetRidingDino,
    game::kIsBrainControllingDinoAttached,
    game::kGetMaxInventoryItems,
    game::kGetCurrentNumInventoryItems,
    game::kIsAtMaxInventoryItems,
    game::kGetMaxItemQuantity,
};
constexpr const char* kFieldNames[] = {
    game::kMyInventoryComponent,
    game::kInventoryItems,
    game::kClassPrivate,
    game::kNamePrivate,
    game::kPlayerControllerList,
    game::kIsAdmin,
    game::kIsCarried,
    game::kIsTransferringCharacter,
};

} // namespace

void RegisterWorldNames() {
    RegisterFunction<game::GetPlayerCharacterFn>(game::kGetPlayerCharacter, &GetPlayerCharacter);
    // The current host's spelling of the same function is a name this host knows it lacks, as the
    // plugin looks for it where the name it is built on is missing.
    WithholdName(game::kBaseGetPlayerCharacter);
    RegisterFunction<game::GetPathNameFn>(game::kGetPathName, &GetPathName);
    RegisterFunction<game::FNameToStringFn>(game::kFNameToString, &FNameToString);
    RegisterFunction<game::GetItemQuantityFn>(game::kGetItemQuantity, &GetItemQuantity);
    RegisterFunction<game::SetQuantityFn>(game::kSetQuantity, &SetQuantity);
    RegisterFunction<game::RemoveItemFromInventoryFn>(game::kRemoveItemFromInventory,
                                                      &RemoveItemFromInventory);
    RegisterFunction<game::NotifyClientsItemStatusFn>(game::kNotifyClientsItemStatus,
                                                      &NotifyClientsItemStatus);
    RegisterFunction<game::GiveSlotItemFn>(game::kGiveSlotItem, &GiveSlotItem);
    RegisterFunction<game::WeakObjectGetFn>(game::kWeakObjectGet, &WeakObjectGet);
    RegisterFunction<game::RconSendMessageFn>(game::kRconSendMessage, &RconSendMessage);
    RegisterFunction<game::IsDeadOrDyingFn>(game::kIsDeadOrDying, &IsDeadOrDying);
    RegisterFunction<game::IsConsciousFn>(game::kIsConscious, &IsConscious);
    RegisterFunction<game::GetRidingDinoFn>(game::kGetRidingDino, &GetRidingDino);
    RegisterFunction<game::IsBrainControllingDinoAttachedFn>(game::kIsBrainControllingDinoAttached,
                                                             &IsBrainControllingDinoAttached);
    RegisterFunction<game::GetMaxInventoryItemsFn>(game::kGetMaxInventoryItems,
                                                   &GetMaxInventoryItems);
    RegisterFunction<game::GetCurrentNumInventoryItemsFn>(game::kGetCurrentNumInventoryItems,
                                                          &GetCurrentNumInventoryItems);
    RegisterFunction<game::IsAtMaxInventoryItemsFn>(game::kIsAtMaxInventoryItems,
                                                    &IsAtMaxInventoryItems);
    RegisterFunction<game::GetMaxItemQuantityFn>(game::kGetMaxItemQuantity, &GetMaxItemQuantity);

    RegisterField(game::kMyInventoryComponent, offsetof(CharacterObject, MyInventoryComponent),
                  [](const void* object) { return IsKind(object, ObjectKind::Character); });
    RegisterField(game::kInventoryItems, offsetof(InventoryObject, InventoryItems),
                  [](const void* object) { return IsKind(object, ObjectKind::Inventory); });
    RegisterField(game::kClassPrivate, offsetof(ObjectHeader, ClassPrivate), &IsAnyObject);
    RegisterField(game::kNamePrivate, offsetof(ObjectHeader, NamePrivate), &IsAnyObject);
    RegisterField(game::kPlayerControllerList, offsetof(WorldObject, PlayerControllerList),
                  [](const void* object) { return IsKind(object, ObjectKind::World); });
    RegisterBitField(game::kIsAdmin, offsetof(ControllerObject, PlayerFlags), kIsAdminBit, 1,
                     [](const void* object) { return IsKind(object, ObjectKind::Controller); });
    RegisterBitField(game::kIsCarried, offsetof(CharacterObject, CharacterFlags), kIsCarriedBit, 1,
                     [](const void* object) { return IsKind(object, ObjectKind::Character); });
    RegisterField(game::kIsTransferringCharacter,
                  offsetof(ControllerObject, bIsTransferringCharacter),
                  [](const void* object) { return IsKind(object, ObjectKind::Controller); });
}

void UseCurrentHostNames() {
    WithholdName(game::kGetPlayerCharacter);
    RegisterFunction<game::GetPlayerCharacterFn>(game::kBaseGetPlayerCharacter,
                                                 &GetPlayerCharacter);
}

void UnregisterWorldNames() {
    for (const char* name : kFunctionNames) {
        UnregisterName(name);
    }
    for (const char* name : kFieldNames) {
        UnregisterName(name);
    }
}

} // namespace hostsim

FString AsaApi::GetEOSIDFromController(AController* controller) {
    hostsim::HostEntry inHost;
    hostsim::WorldState* state = hostsim::ActiveWorldState();
    const hostsim::PlayerRecord* player =
        state != nullptr ? state->PlayerByController(controller) : nullptr;
    if (player == nullptr) {
        hostsim::RecordNameError("game: GetEOSIDFromController called on an object that is not "
                                 "a player controller");
        return {};
    }
    return hostsim::MakeFString(hostsim::Utf8ToUtf16(player->EosId), hostsim::BufferOwner::Plugin,
                                "AsaApi::GetEOSIDFromController");
}
