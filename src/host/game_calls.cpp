// Resolves each game name through the host at every call. A name the host cannot resolve gives
// the neutral result (null, 0, false, no call) instead of a jump through a null pointer: an
// unknown name after a game update must not take the whole server down.
#include "game_calls.h"

#include <algorithm>
#include <bit>
#include <iterator>

#include <string>
#include <utility>

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

// The character's function under the name the plugin is built on, or where the host's current
// headers keep it; reported as missing only when neither resolves.
void* CharacterFunctionAddress() {
    void* address = AsaApi::GetAddress(game::kGetPlayerCharacter);
    if (address == nullptr) {
        address = AsaApi::GetAddress(game::kBaseGetPlayerCharacter);
    }
    return address;
}

game::GetPlayerCharacterFn CharacterFunction() {
    void* address = CharacterFunctionAddress();
    if (address == nullptr) {
        ReportUnresolved(game::kGetPlayerCharacter);
    }
    return std::bit_cast<game::GetPlayerCharacterFn>(address);
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
    auto get = CharacterFunction();
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

bool ItemCountingResolves(AShooterPlayerController* controller) {
    bool resolved = CharacterFunction() != nullptr;
    // The allocator and its release too: a class path past the short texts converts through them.
    for (const char* name : {game::kMalloc, game::kFree, game::kGetPathName, game::kFNameToString,
                             game::kGetItemQuantity}) {
        resolved = Resolve<void*>(name) != nullptr && resolved;
    }
    // Fields can be asked only of the objects that have them, so each is asked of the first one
    // at hand; a player without a character, or with an empty inventory, simply carries nothing.
    APrimalCharacter* character = resolved ? PlayerCharacter(controller) : nullptr;
    if (character == nullptr) {
        return resolved;
    }
    if (Field<void>(character, game::kMyInventoryComponent) == nullptr) {
        return false;
    }
    UPrimalInventoryComponent* inventory = InventoryComponent(character);
    const EngineArray<UPrimalItem*>* items =
        inventory != nullptr ? InventoryItems(inventory) : nullptr;
    if (inventory != nullptr && items == nullptr) {
        return false;
    }
    for (int32_t i = 0; items != nullptr && i < items->Num; ++i) {
        if (UPrimalItem* item = items->Data[i]) {
            UClass* itemClass = ItemClass(item);
            return Field<void>(item, game::kClassPrivate) != nullptr &&
                   (itemClass == nullptr || ClassFName(itemClass) != nullptr);
        }
    }
    return true;
}

namespace {

// The functions the host does not know, the character's standing for both its spellings.
void AddUnresolvedFunctions(std::vector<std::string>& missing) {
    for (const char* name : game::kFunctions) {
        const bool character = std::string_view(name) == game::kGetPlayerCharacter;
        if ((character ? CharacterFunctionAddress() : AsaApi::GetAddress(name)) == nullptr) {
            missing.push_back(character ? std::string(name) + " (or " +
                                              game::kBaseGetPlayerCharacter + ")"
                                        : std::string(name));
        }
    }
}

// Asks objects for their fields, keeping the names of those they lack. A field can be asked only
// of an object that has it, so nothing is asked of a null object.
struct FieldProbe {
    std::vector<std::string>& Missing;

    bool Known(const void* object, const char* name) {
        if (object == nullptr) {
            return false;
        }
        if (AsaApi::GetAddress(object, name) == nullptr) {
            Missing.emplace_back(name);
            return false;
        }
        return true;
    }
    // The pointer held in a field that Known found.
    static void* PointerIn(const void* object, const char* name) {
        return *static_cast<void**>(AsaApi::GetAddress(object, name));
    }
};

// The first player online who has a character, and the character; nulls when there is none.
std::pair<AShooterPlayerController*, APrimalCharacter*>
FirstPlayerWithCharacter(const EngineArray<FWeakObjectPtr>& controllers) {
    for (int32_t i = 0; i < controllers.Num; ++i) {
        auto* controller = static_cast<AShooterPlayerController*>(ResolveWeak(controllers.Data[i]));
        APrimalCharacter* character = controller != nullptr ? PlayerCharacter(controller) : nullptr;
        if (character != nullptr) {
            return {controller, character};
        }
    }
    return {nullptr, nullptr};
}

// The player's fields, and those of the character, its inventory and the first item in it, as
// far as a missing name leaves them in reach.
void ProbePlayerFields(FieldProbe& probe, AShooterPlayerController* controller,
                       APrimalCharacter* character) {
    for (const auto& [object, name] :
         {std::pair<const void*, const char*>{controller, game::kIsAdmin},
          std::pair<const void*, const char*>{character, game::kIsCarried}}) {
        if (AsaApi::GetBitField(object, name).Word == nullptr) {
            probe.Missing.emplace_back(name);
        }
    }
    probe.Known(controller, game::kIsTransferringCharacter);
    if (!probe.Known(character, game::kMyInventoryComponent)) {
        return;
    }
    void* inventory = FieldProbe::PointerIn(character, game::kMyInventoryComponent);
    if (!probe.Known(inventory, game::kInventoryItems)) {
        return;
    }
    const auto& items = *static_cast<const EngineArray<UPrimalItem*>*>(
        AsaApi::GetAddress(inventory, game::kInventoryItems));
    for (int32_t j = 0; j < items.Num; ++j) {
        if (items.Data[j] != nullptr) {
            if (probe.Known(items.Data[j], game::kClassPrivate)) {
                probe.Known(FieldProbe::PointerIn(items.Data[j], game::kClassPrivate),
                            game::kNamePrivate);
            }
            return;
        }
    }
}

} // namespace

std::vector<std::string> UnresolvedGameNames() {
    std::vector<std::string> missing;
    AddUnresolvedFunctions(missing);
    // The fields: the world's list of controllers now, and the others of the first player online
    // with a character, when there is one.
    FieldProbe probe{missing};
    UWorld* world = AsaApi::GetApiUtils().ActiveWorld();
    if (!probe.Known(world, game::kPlayerControllerList) ||
        AsaApi::GetAddress(game::kWeakObjectGet) == nullptr ||
        CharacterFunctionAddress() == nullptr) {
        return missing;
    }
    const auto& controllers = *static_cast<const EngineArray<FWeakObjectPtr>*>(
        AsaApi::GetAddress(world, game::kPlayerControllerList));
    const auto [controller, character] = FirstPlayerWithCharacter(controllers);
    if (character != nullptr) {
        ProbePlayerFields(probe, controller, character);
    }
    return missing;
}

namespace {

// The names that serve something other than the exchange itself, with what stops without them.
struct NameUse {
    std::string_view Name;
    std::string_view Stops;
};
constexpr NameUse kOtherUses[] = {
    {game::kWeakObjectGet, "no player can be found by EOS ID (Barterbox.Do, DoExchange, "
                           "Barterbox.Limits, Barterbox.Reset)"},
    {game::kPlayerControllerList, "no player can be found by EOS ID (Barterbox.Do, DoExchange, "
                                  "Barterbox.Limits, Barterbox.Reset)"},
    {game::kRconSendMessage, "RCON commands cannot be answered, so every RCON command is refused"},
    {game::kIsAdmin,
     "no one is taken for an administrator (the console commands, the rules' Admins group)"},
    {game::kIsDeadOrDying, "players may trade while dead"},
    {game::kIsConscious, "players may trade while unconscious"},
    {game::kIsCarried, "players may trade while carried"},
    {game::kGetRidingDino, "players may trade while riding"},
    {game::kIsTransferringCharacter, "players may trade while transferring to another server"},
    {game::kIsBrainControllingDinoAttached, "players may trade while controlled by a Noglin"},
    {game::kGetMaxInventoryItems, "room is not measured before anything is taken"},
    {game::kGetCurrentNumInventoryItems, "room is not measured before anything is taken"},
    {game::kIsAtMaxInventoryItems, "a refused hand-out does not say the inventory is full"},
    {game::kGetMaxItemQuantity, "room is not measured before anything is taken"},
};

} // namespace

std::string_view WhatMissingNameStops(std::string_view name) {
    for (const NameUse& use : kOtherUses) {
        if (name == use.Name) {
            return use.Stops;
        }
    }
    return "every exchange is refused";
}

bool ExchangesNeed(std::string_view name) {
    return std::none_of(std::begin(kOtherUses), std::end(kOtherUses),
                        [&](const NameUse& use) { return name == use.Name; });
}

bool RconRepliesResolve() {
    return Resolve<void*>(game::kRconSendMessage) != nullptr;
}

namespace {

// A bit field's value; nullopt when the object has no such field, or it is no field of the word.
std::optional<bool> ReadBitField(const void* object, const char* name) {
    const BitField field = AsaApi::GetBitField(object, name);
    if (field.Word == nullptr || field.NumBits == 0 || field.BitPosition >= 32) {
        return std::nullopt;
    }
    // Widened so that a 32-bit field does not shift by the word's whole width.
    const uint64_t width =
        field.NumBits > 32 - field.BitPosition ? 32u - field.BitPosition : field.NumBits;
    const uint64_t mask = ((uint64_t{1} << width) - 1) << field.BitPosition;
    return (uint64_t{*field.Word} & mask) != 0;
}

// Resolves without reporting: a guard's name that is missing was named at load.
template <typename Fn> Fn Quietly(const char* name) {
    return std::bit_cast<Fn>(AsaApi::GetAddress(name));
}

} // namespace

std::optional<int32_t> MaxInventoryItems(UPrimalInventoryComponent* inventory) {
    auto get = Quietly<game::GetMaxInventoryItemsFn>(game::kGetMaxInventoryItems);
    return get != nullptr && inventory != nullptr ? std::optional(get(inventory, false))
                                                  : std::nullopt;
}

std::optional<int32_t> CurrentInventoryItems(UPrimalInventoryComponent* inventory) {
    auto get = Quietly<game::GetCurrentNumInventoryItemsFn>(game::kGetCurrentNumInventoryItems);
    return get != nullptr && inventory != nullptr ? std::optional(get(inventory)) : std::nullopt;
}

std::optional<bool> IsInventoryFull(UPrimalInventoryComponent* inventory) {
    auto get = Quietly<game::IsAtMaxInventoryItemsFn>(game::kIsAtMaxInventoryItems);
    return get != nullptr && inventory != nullptr ? std::optional(get(inventory)) : std::nullopt;
}

std::optional<int32_t> MaxItemQuantity(UPrimalItem* item) {
    auto get = Quietly<game::GetMaxItemQuantityFn>(game::kGetMaxItemQuantity);
    if (get == nullptr || item == nullptr) {
        return std::nullopt;
    }
    const int32_t most = get(item, AsaApi::GetApiUtils().ActiveWorld());
    return most >= 1 ? std::optional(most) : std::nullopt; // a size below 1 sizes nothing
}

bool IsAdmin(const APlayerController* controller) {
    return controller != nullptr && ReadBitField(controller, game::kIsAdmin).value_or(false);
}

std::optional<bool> CharacterIsIn(AShooterPlayerController* controller, CharacterState state) {
    // Found quietly: without the character's function the count that follows reports it.
    auto get = std::bit_cast<game::GetPlayerCharacterFn>(CharacterFunctionAddress());
    APrimalCharacter* character =
        get != nullptr && controller != nullptr ? get(controller) : nullptr;
    if (character == nullptr) {
        return std::nullopt;
    }
    switch (state) {
    case CharacterState::Dead:
        if (auto dying = Quietly<game::IsDeadOrDyingFn>(game::kIsDeadOrDying)) {
            return dying(character);
        }
        return std::nullopt;
    case CharacterState::Unconscious:
        if (auto conscious = Quietly<game::IsConsciousFn>(game::kIsConscious)) {
            return !conscious(character);
        }
        return std::nullopt;
    case CharacterState::Carried:
        return ReadBitField(character, game::kIsCarried);
    case CharacterState::Riding:
        // A player's character is a shooter character, which is what rides.
        if (auto riding = Quietly<game::GetRidingDinoFn>(game::kGetRidingDino)) {
            return riding(static_cast<AShooterCharacter*>(character)) != nullptr;
        }
        return std::nullopt;
    case CharacterState::Transferring: {
        const auto* field = static_cast<const bool*>(
            AsaApi::GetAddress(controller, game::kIsTransferringCharacter));
        return field != nullptr ? std::optional<bool>(*field) : std::nullopt;
    }
    case CharacterState::Noglin:
        break;
    }
    auto controlled =
        Quietly<game::IsBrainControllingDinoAttachedFn>(game::kIsBrainControllingDinoAttached);
    return controlled != nullptr ? std::optional<bool>(controlled(character)) : std::nullopt;
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
