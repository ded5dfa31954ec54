// The world's inner operations, shared by the World API and the game functions; see world_state.h.
#include "world_state.h"

#include <algorithm>
#include <string>

#include "engine_array.h"
#include "host/class_names.h"
#include "hostsim/host_environment.h"
#include "hostsim/host_strings.h"
#include "hostsim/name_registry.h"
#include "hostsim/record_limit.h"

namespace hostsim {
namespace {

WorldState* gActive = nullptr;

// Where the game keeps the objects that live in the level.
constexpr std::u16string_view kLevelPath = u"/Game/Maps/TheIsland.TheIsland:PersistentLevel";
constexpr char kInventoryArray[] = "UPrimalInventoryComponent.InventoryItems";

} // namespace

WorldState* ActiveWorldState() {
    return gActive;
}

void SetActiveWorldState(WorldState* state) {
    gActive = state;
}

template <typename T> T* WorldState::CreateObject(ObjectKind kind, std::u16string_view baseName) {
    const FName name = Names.Numbered(baseName, NextObjectNumber++);
    std::u16string path(kLevelPath);
    path += u".";
    path += Names.Text(name);
    return Objects.Create<T>(kind, name, std::move(path));
}

template InventoryObject* WorldState::CreateObject<InventoryObject>(ObjectKind,
                                                                    std::u16string_view);
template CharacterObject* WorldState::CreateObject<CharacterObject>(ObjectKind,
                                                                    std::u16string_view);
template ControllerObject* WorldState::CreateObject<ControllerObject>(ObjectKind,
                                                                      std::u16string_view);
template ItemObject* WorldState::CreateObject<ItemObject>(ObjectKind, std::u16string_view);

void WorldState::CreateGameWorld() {
    GameWorld = Objects.Create<WorldObject>(ObjectKind::World, Names.Intern(u"TheIsland"),
                                            u"/Game/Maps/TheIsland.TheIsland");
    SetActiveWorld(GameWorld);
}

void WorldState::DestroyEverything() {
    for (PlayerRecord& player : Players) {
        DestroyInventory(player.Inventory);
    }
    if (GameWorld != nullptr) {
        ReleaseElements(GameWorld->PlayerControllerList);
    }
    SetActiveWorld(nullptr);
    Players.clear();
    Classes.clear();
    Connections.clear();
    PendingKill.clear();
    Calls.clear();
    Replies.clear();
    Objects.Clear();
    GameWorld = nullptr;
}

const ItemClassRecord* WorldState::ClassByBlueprint(std::string_view blueprint) const {
    for (const ItemClassRecord& record : Classes) {
        if (barterbox::BlueprintNames(blueprint, record.Info.Path)) {
            return &record;
        }
    }
    return nullptr;
}

const ItemClassRecord* WorldState::ClassByAnyName(std::string_view item) const {
    for (const ItemClassRecord& record : Classes) {
        const std::string& name = record.Info.Name; // X_C; the blueprint's own name is X
        if (name == item || barterbox::IsGeneratedClassOf(name, item)) {
            return &record;
        }
    }
    return ClassByBlueprint(item);
}

PlayerRecord* WorldState::PlayerByName(std::string_view name) {
    const auto it = std::find_if(Players.begin(), Players.end(),
                                 [&](const PlayerRecord& player) { return player.Name == name; });
    return it != Players.end() ? &*it : nullptr;
}

const PlayerRecord* WorldState::PlayerByEosId(std::string_view eosId) const {
    const auto it = std::find_if(Players.begin(), Players.end(),
                                 [&](const PlayerRecord& player) { return player.EosId == eosId; });
    return it != Players.end() ? &*it : nullptr;
}

PlayerRecord* WorldState::PlayerByController(const void* controller) {
    const auto it = std::find_if(Players.begin(), Players.end(), [&](const PlayerRecord& player) {
        return controller != nullptr && static_cast<const void*>(player.Controller) == controller;
    });
    return it != Players.end() ? &*it : nullptr;
}

PlayerRecord* WorldState::PlayerByInventory(const InventoryObject* inventory) {
    const auto it = std::find_if(Players.begin(), Players.end(), [&](const PlayerRecord& player) {
        return inventory != nullptr && player.Inventory == inventory;
    });
    return it != Players.end() ? &*it : nullptr;
}

std::string WorldState::OwnerName(const InventoryObject* inventory) {
    const PlayerRecord* player = PlayerByInventory(inventory);
    return player != nullptr ? player->Name : std::string();
}

int32_t WorldState::FreeSlots(const InventoryObject& inventory) const {
    return std::max(InventorySlots - inventory.InventoryItems.Num, 0);
}

ItemObject* WorldState::AddItem(InventoryObject& inventory, const ItemClassRecord* itemClass,
                                int32_t quantity) {
    // Instances are named after their class, as the engine names them: PrimalItemResource_Wood_C_7.
    const std::u16string baseName =
        itemClass != nullptr ? Utf8ToUtf16(itemClass->Info.Name) : u"PrimalItem";
    auto* item = CreateObject<ItemObject>(ObjectKind::Item, baseName);
    item->Base.ClassPrivate = itemClass != nullptr ? itemClass->Object : nullptr;
    item->Base.OuterPrivate = &inventory;
    item->ItemId = NextItemId++;
    item->Quantity = quantity;
    item->Owner = &inventory;
    AppendElement<UPrimalItem*>(inventory.InventoryItems, item, kInventoryArray);
    return item;
}

bool WorldState::AddStacks(InventoryObject& inventory, const ItemClassRecord& itemClass,
                           int32_t quantity) {
    if (quantity <= 0) {
        return false;
    }
    const int32_t maxStack = itemClass.Info.MaxStack;
    const int32_t stacks = (quantity - 1) / maxStack + 1;
    if (stacks > FreeSlots(inventory)) {
        return false;
    }
    for (int32_t left = quantity; left > 0; left -= std::min(left, maxStack)) {
        AddItem(inventory, &itemClass, std::min(left, maxStack));
    }
    return true;
}

bool WorldState::GiveSlotItemStacks(InventoryObject& inventory, const ItemClassRecord& itemClass,
                                    int32_t quantity) {
    if (quantity <= 0) {
        return false;
    }
    const int64_t maxStack = itemClass.Info.MaxStack;
    EngineArray<UPrimalItem*>& items = inventory.InventoryItems;
    const auto roomIn = [&](int32_t index) -> int64_t {
        auto* item = static_cast<ItemObject*>(items.Data[index]);
        if (item == nullptr || item->Base.ClassPrivate != itemClass.Object) {
            return 0;
        }
        return std::max<int64_t>(maxStack - item->Quantity, 0);
    };
    int64_t room = int64_t{FreeSlots(inventory)} * maxStack;
    for (int32_t i = 0; i < items.Num; ++i) {
        room += roomIn(i);
    }
    if (room < quantity && WhenFull == WhenInventoryFull::GiveNothing) {
        return false;
    }
    int64_t left = quantity;
    for (int32_t i = 0; i < items.Num && left > 0; ++i) {
        const int64_t added = std::min(roomIn(i), left);
        static_cast<ItemObject*>(items.Data[i])->Quantity += static_cast<int32_t>(added);
        left -= added;
    }
    while (left > 0 && FreeSlots(inventory) > 0) {
        const int64_t added = std::min(left, maxStack);
        AddItem(inventory, &itemClass, static_cast<int32_t>(added));
        left -= added;
    }
    return left == 0;
}

bool WorldState::TakeOut(ItemObject& item) {
    InventoryObject* inventory = item.Owner;
    if (inventory == nullptr) {
        return false;
    }
    EngineArray<UPrimalItem*>& items = inventory->InventoryItems;
    for (int32_t i = 0; i < items.Num; ++i) {
        if (items.Data[i] == &item) {
            RemoveElementAt(items, i, kInventoryArray);
            break;
        }
    }
    item.Owner = nullptr;
    item.Base.OuterPrivate = nullptr;
    item.Base.ObjectFlags |= kPendingKill;
    PendingKill.push_back(&item);
    return true;
}

void WorldState::DestroyInventory(InventoryObject* inventory) {
    if (inventory == nullptr) {
        return;
    }
    EngineArray<UPrimalItem*>& items = inventory->InventoryItems;
    for (int32_t i = 0; i < items.Num; ++i) {
        Objects.Destroy(items.Data[i]);
    }
    ReleaseElements(items);
    Objects.Destroy(inventory);
}

void WorldState::Record(GameCall call) {
    Calls.push_back(std::move(call));
    if (CallListener) {
        // A copy: the listener may change the world, and the record with it.
        const GameCall made = Calls.back();
        CallListener(made);
    }
    KeepLatest(Calls);
}

void WorldState::Fault(const std::string& message) {
    RecordNameError("game: " + message);
}

} // namespace hostsim
