// Resolves each game name through the host at every call. A name the host cannot resolve gives
// the neutral result (null, 0, false, no call) instead of a jump through a null pointer: an
// unknown name after a game update must not take the whole server down.
#include "game_calls.h"

#include <bit>

#include <string>

#include "game_names.h"
#include "host_api.h"
#include "host_errors.h"

namespace barterbox::game_calls {
namespace {

void ReportUnresolved(const char* name) {
    ReportHostError(std::string("Barterbox: Game name not resolved: ") + name);
}

template <typename Fn> Fn Resolve(const char* name) {
    void* address = AsaApi::GetAddress(name);
    if (address == nullptr) {
        ReportUnresolved(name);
    }
    return std::bit_cast<Fn>(address);
}

template <typename T> T* Field(const void* object, const char* name) {
    if (object == nullptr) {
        return nullptr;
    }
    void* address = AsaApi::GetAddress(object, name);
    if (address == nullptr) {
        ReportUnresolved(name);
    }
    return static_cast<T*>(address);
}

// The pointer stored in a pointer-typed field, or null when the field is unknown.
template <typename T> T* PointerField(const void* object, const char* name) {
    T** slot = Field<T*>(object, name);
    return slot != nullptr ? *slot : nullptr;
}

} // namespace

void* HostMalloc(uint64_t size) {
    auto malloc = Resolve<game::MallocFn>(game::kMalloc);
    return malloc != nullptr ? malloc(size, 0) : nullptr;
}

void HostFree(void* buffer) {
    if (auto free = Resolve<game::FreeFn>(game::kFree)) {
        free(buffer);
    }
}

APrimalCharacter* PlayerCharacter(AShooterPlayerController* controller) {
    auto get = Resolve<game::GetPlayerCharacterFn>(game::kGetPlayerCharacter);
    return get != nullptr ? get(controller) : nullptr;
}

UPrimalInventoryComponent* InventoryComponent(APrimalCharacter* character) {
    return PointerField<UPrimalInventoryComponent>(character, game::kMyInventoryComponent);
}

const EngineArray<UPrimalItem*>* InventoryItems(UPrimalInventoryComponent* inventory) {
    return Field<EngineArray<UPrimalItem*>>(inventory, game::kInventoryItems);
}

UClass* ItemClass(UPrimalItem* item) {
    return PointerField<UClass>(item, game::kClassPrivate);
}

FString ClassPathName(UClass* cls) {
    FString result;
    if (auto get = Resolve<game::GetPathNameFn>(game::kGetPathName)) {
        get(cls, nullptr, &result);
    }
    return result;
}

FName* ClassFName(UClass* cls) {
    return Field<FName>(cls, game::kNamePrivate);
}

void FNameToString(FName* name, FString& result) {
    if (auto toString = Resolve<game::FNameToStringFn>(game::kFNameToString)) {
        toString(name, &result);
    }
}

int32_t ItemQuantity(UPrimalItem* item) {
    auto get = Resolve<game::GetItemQuantityFn>(game::kGetItemQuantity);
    return get != nullptr ? get(item) : 0;
}

bool SetItemQuantity(UPrimalItem* item, int32_t quantity) {
    auto set = Resolve<game::SetQuantityFn>(game::kSetQuantity);
    if (set == nullptr) {
        return false;
    }
    set(item, quantity, true);
    return true;
}

bool RemoveItemFromInventory(UPrimalItem* item) {
    auto remove = Resolve<game::RemoveItemFromInventoryFn>(game::kRemoveItemFromInventory);
    if (remove == nullptr) {
        return false;
    }
    remove(item, true, false); // the game's own result says nothing the plugin acts on
    return true;
}

namespace {

// The two notifications differ only in which of the "removed" and "quantity changed" flags is set.
bool NotifyItemStatus(UPrimalInventoryComponent* inventory, UPrimalItem* item, bool removed,
                      bool quantityChanged) {
    auto notify = Resolve<game::NotifyClientsItemStatusFn>(game::kNotifyClientsItemStatus);
    if (notify == nullptr) {
        return false;
    }
    notify(inventory, item, false, removed, quantityChanged, false, false, nullptr, nullptr, false,
           false, false, false);
    return true;
}

} // namespace

bool NotifyItemQuantityChanged(UPrimalInventoryComponent* inventory, UPrimalItem* item) {
    return NotifyItemStatus(inventory, item, /*removed=*/false, /*quantityChanged=*/true);
}

bool NotifyItemRemoved(UPrimalInventoryComponent* inventory, UPrimalItem* item) {
    return NotifyItemStatus(inventory, item, /*removed=*/true, /*quantityChanged=*/false);
}

bool GiveSlotItem(AShooterPlayerController* controller, FString& blueprint, int32_t quantity) {
    auto give = Resolve<game::GiveSlotItemFn>(game::kGiveSlotItem);
    return give != nullptr && give(controller, &blueprint, 0, quantity);
}

bool ItemTransferResolves() {
    bool resolved = true;
    for (const char* name : {game::kSetQuantity, game::kRemoveItemFromInventory,
                             game::kNotifyClientsItemStatus, game::kGiveSlotItem}) {
        resolved = Resolve<void*>(name) != nullptr && resolved;
    }
    return resolved;
}

bool IsAdmin(const APlayerController* controller) {
    if (controller == nullptr) {
        return false;
    }
    const BitField field = AsaApi::GetBitField(controller, game::kIsAdmin);
    if (field.Word == nullptr || field.NumBits == 0 || field.BitPosition >= 32) {
        return false;
    }
    // Widened so that a 32-bit field does not shift by the word's whole width.
    const uint64_t width =
        field.NumBits > 32 - field.BitPosition ? 32u - field.BitPosition : field.NumBits;
    const uint64_t mask = ((uint64_t{1} << width) - 1) << field.BitPosition;
    return (uint64_t{*field.Word} & mask) != 0;
}

const EngineArray<FWeakObjectPtr>* PlayerControllerList(UWorld* world) {
    return Field<EngineArray<FWeakObjectPtr>>(world, game::kPlayerControllerList);
}

UObject* ResolveWeak(FWeakObjectPtr handle) {
    auto get = Resolve<game::WeakObjectGetFn>(game::kWeakObjectGet);
    return get != nullptr ? get(&handle, false) : nullptr;
}

void RconSendMessage(RCONClientConnection* connection, int32_t requestId, FString& text) {
    if (auto send = Resolve<game::RconSendMessageFn>(game::kRconSendMessage)) {
        send(connection, requestId, 0, &text);
    }
}

} // namespace barterbox::game_calls
