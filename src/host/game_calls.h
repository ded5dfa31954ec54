// Typed calls into the game, one per game name the plugin uses. Each call resolves its name
// through the host at that moment; nothing is cached, so a host that moves a function between
// calls is followed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "character_states.h"
#include "engine_types.h"

namespace barterbox::game_calls {

// Host allocator. Malloc gives null when the host has no memory (or no allocator).
void* HostMalloc(uint64_t size);
void HostFree(void* buffer);

// Player and inventory.
APrimalCharacter* PlayerCharacter(AShooterPlayerController* controller);
UPrimalInventoryComponent* InventoryComponent(APrimalCharacter* character);
const EngineArray<UPrimalItem*>* InventoryItems(UPrimalInventoryComponent* inventory);
UClass* ItemClass(UPrimalItem* item);
// Both fill a fresh host string that the caller must release.
FString ClassPathName(UClass* cls);
FName* ClassFName(UClass* cls);
void FNameToString(FName* name, FString& result);
int32_t ItemQuantity(UPrimalItem* item);
// The calls that change an inventory report false when their game name did not resolve, so that a
// removal never counts an item as taken that the game still holds.
bool SetItemQuantity(UPrimalItem* item, int32_t quantity);
bool RemoveItemFromInventory(UPrimalItem* item);
// The client notification for an item whose stack was reduced, or that is about to be removed.
bool NotifyItemQuantityChanged(UPrimalInventoryComponent* inventory, UPrimalItem* item);
bool NotifyItemRemoved(UPrimalInventoryComponent* inventory, UPrimalItem* item);
bool GiveSlotItem(AShooterPlayerController* controller, FString& blueprint, int32_t quantity);
// Whether every game function that taking and handing out items calls resolves now (each one
// that does not is reported). Resolving is not calling, and no address is kept: an exchange asks
// before it takes anything, so that a renamed function never hands out items for free.
bool ItemTransferResolves();
// Whether every game function and field that counting the player's items needs resolves now (each
// one that does not is reported): without them a player would be told they carry nothing.
bool ItemCountingResolves(AShooterPlayerController* controller);
// The game names the host does not know, as far as they can be asked now: every function, and the
// fields of the world and of the first player online who has a character. Nothing is reported.
std::vector<std::string> UnresolvedGameNames();

// What a game name that UnresolvedGameNames gave stops working, for the log: "every exchange is
// refused" for the names an exchange needs, or the few commands another name serves.
std::string_view WhatMissingNameStops(std::string_view name);
// Whether the name is one without which every exchange is refused.
bool ExchangesNeed(std::string_view name);

// Whether the player's character is in the state, or nullopt when the host lacks the name that
// would tell (not reported: the load names it once, and the guard is then not applied).
std::optional<bool> CharacterIsIn(AShooterPlayerController* controller, CharacterState state);

// Room in an inventory, each nullopt when the host lacks its name (not reported: the load named
// it, and the undo stays the guard): the slots it holds at most, the items in it, whether it is
// full, and how many of an item's class one stack holds.
std::optional<int32_t> MaxInventoryItems(UPrimalInventoryComponent* inventory);
std::optional<int32_t> CurrentInventoryItems(UPrimalInventoryComponent* inventory);
std::optional<bool> IsInventoryFull(UPrimalInventoryComponent* inventory);
std::optional<int32_t> MaxItemQuantity(UPrimalItem* item);

// Controllers and the world.
bool IsAdmin(const APlayerController* controller);
const EngineArray<FWeakObjectPtr>* PlayerControllerList(UWorld* world);
UObject* ResolveWeak(FWeakObjectPtr handle);

// RCON.
void RconSendMessage(RCONClientConnection* connection, int32_t requestId, FString& text);
// Whether an RCON reply can be sent now (reported when it cannot): a command that changes
// anything asks first, so that an operator who hears nothing never runs it twice.
bool RconRepliesResolve();

} // namespace barterbox::game_calls
