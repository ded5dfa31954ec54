// Every game function and field the plugin reaches, by the name the host resolves, with the exact
// signature the game gives it. The stand-in host registers its functions against these same types.
#pragma once

#include <cstdint>

#include "engine_types.h"

namespace game {

// Functions: the object the function runs on comes first.
inline constexpr char kMalloc[] = "FMemory.Malloc(unsigned__int64,unsignedint)";
using MallocFn = void* (*)(uint64_t size, uint32_t alignment);

inline constexpr char kFree[] = "FMemory.Free(void*)";
using FreeFn = void (*)(void* buffer);

inline constexpr char kGetPlayerCharacter[] = "AShooterPlayerController.GetPlayerCharacter()";
using GetPlayerCharacterFn = APrimalCharacter* (*)(AShooterPlayerController*);
// The same function as the host's current headers spell it (there GetPlayerCharacter is an
// inline helper that calls this one); tried only where the name above does not resolve.
inline constexpr char kBaseGetPlayerCharacter[] =
    "AShooterPlayerController.BaseGetPlayerCharacter()";

inline constexpr char kGetPathName[] = "UObjectBaseUtility.GetPathName(UObject*,FString&)";
using GetPathNameFn = void (*)(UObject* self, UObject* stopOuter, FString* result);

inline constexpr char kFNameToString[] = "FName.ToString(FString&)";
using FNameToStringFn = void (*)(FName* self, FString* result);

inline constexpr char kGetItemQuantity[] = "UPrimalItem.GetItemQuantity()";
using GetItemQuantityFn = int32_t (*)(UPrimalItem*);

inline constexpr char kSetQuantity[] = "UPrimalItem.SetQuantity(int,bool)";
using SetQuantityFn = void (*)(UPrimalItem*, int32_t quantity, bool notify);

inline constexpr char kRemoveItemFromInventory[] = "UPrimalItem.RemoveItemFromInventory(bool,bool)";
using RemoveItemFromInventoryFn = bool (*)(UPrimalItem*, bool forceRemoval, bool showHudMessage);

inline constexpr char kNotifyClientsItemStatus[] =
    "UPrimalInventoryComponent.NotifyClientsItemStatus(UPrimalItem*,bool,bool,bool,bool,bool,"
    "UPrimalItem*,FItemNetID*,bool,bool,bool,bool)";
using NotifyClientsItemStatusFn = void (*)(UPrimalInventoryComponent*, UPrimalItem* item,
                                           bool added, bool removed, bool quantityChanged,
                                           bool durabilityChanged, bool armorChanged,
                                           UPrimalItem* swappedItem, FItemNetID* swappedNetId,
                                           bool resetSpoilingTime, bool equipped, bool unequipped,
                                           bool usedItem);

inline constexpr char kGiveSlotItem[] = "AShooterPlayerController.GiveSlotItem(FString&,int,int)";
using GiveSlotItemFn = bool (*)(AShooterPlayerController*, FString* blueprint, int32_t slot,
                                int32_t quantity);

inline constexpr char kWeakObjectGet[] = "FWeakObjectPtr.Get()";
using WeakObjectGetFn = UObject* (*)(FWeakObjectPtr* self, bool evenIfPendingKill);

inline constexpr char kRconSendMessage[] = "RCONClientConnection.SendMessage(int,int,FString&)";
using RconSendMessageFn = void (*)(RCONClientConnection*, int32_t id, int32_t type,
                                   FString* message);

// The character's states in which nothing is traded. Each guards on its own: without its name the
// guard is not applied, and the exchange does not depend on it.
inline constexpr char kIsDeadOrDying[] = "APrimalCharacter.IsDeadOrDying()";
using IsDeadOrDyingFn = bool (*)(APrimalCharacter*);

inline constexpr char kIsConscious[] = "APrimalCharacter.IsConscious()";
using IsConsciousFn = bool (*)(APrimalCharacter*);

inline constexpr char kGetRidingDino[] = "AShooterCharacter.GetRidingDino()";
using GetRidingDinoFn = APrimalDinoCharacter* (*)(AShooterCharacter*);

inline constexpr char kIsBrainControllingDinoAttached[] =
    "UVictoryCore.IsBrainControllingDinoAttached(APrimalCharacter*)";
using IsBrainControllingDinoAttachedFn = bool (*)(APrimalCharacter*);

// Room in an inventory, measured before anything is taken wherever the game lets the plugin; where
// it does not, the undo stays the guard.
inline constexpr char kGetMaxInventoryItems[] =
    "UPrimalInventoryComponent.GetMaxInventoryItems(bool)";
using GetMaxInventoryItemsFn = int32_t (*)(UPrimalInventoryComponent*, bool ignoreBonus);

inline constexpr char kGetCurrentNumInventoryItems[] =
    "UPrimalInventoryComponent.GetCurrentNumInventoryItems()";
using GetCurrentNumInventoryItemsFn = int32_t (*)(UPrimalInventoryComponent*);

inline constexpr char kIsAtMaxInventoryItems[] =
    "UPrimalInventoryComponent.IsAtMaxInventoryItems()";
using IsAtMaxInventoryItemsFn = bool (*)(UPrimalInventoryComponent*);

inline constexpr char kGetMaxItemQuantity[] = "UPrimalItem.GetMaxItemQuantity(UObject*)";
using GetMaxItemQuantityFn = int32_t (*)(UPrimalItem*, UObject* worldContext);

// Fields: resolved against an object, giving the field's address inside it.
inline constexpr char kMyInventoryComponent[] = "APrimalCharacter.MyInventoryComponent";
inline constexpr char kInventoryItems[] = "UPrimalInventoryComponent.InventoryItems";
inline constexpr char kClassPrivate[] = "UObjectBase.ClassPrivate";
inline constexpr char kNamePrivate[] = "UObjectBase.NamePrivate";
inline constexpr char kPlayerControllerList[] = "UWorld.PlayerControllerList";
inline constexpr char kIsAdmin[] = "APrimalPlayerController.bIsAdmin";
inline constexpr char kIsCarried[] = "APrimalCharacter.bIsCarried"; // a bit field
inline constexpr char kIsTransferringCharacter[] =
    "AShooterPlayerController.bIsTransferringCharacter"; // a bool

// Every function the plugin calls, for the check at load. The character's function stands for
// both of its spellings.
inline constexpr const char* kFunctions[] = {
    kMalloc,
    kFree,
    kGetPlayerCharacter,
    kGetPathName,
    kFNameToString,
    kGetItemQuantity,
    kSetQuantity,
    kRemoveItemFromInventory,
    kNotifyClientsItemStatus,
    kGiveSlotItem,
    kWeakObjectGet,
    kRconSendMessage,
    kIsDeadOrDying,
    kIsConscious,
    kGetRidingDino,
    kIsBrainControllingDinoAttached,
    kGetMaxInventoryItems,
    kGetCurrentNumInventoryItems,
    kIsAtMaxInventoryItems,
    kGetMaxItemQuantity,
};

} // namespace game
