// The World API over the world's inner state; see world.h.
#include "world.h"

#include <algorithm>
#include <stdexcept>

#include "engine_array.h"
#include "host/class_names.h"
#include "hostsim/host_strings.h"
#include "world_state.h"

namespace hostsim {
namespace {

constexpr char kControllerList[] = "UWorld.PlayerControllerList";
constexpr std::ptrdiff_t kStaleHandlesKept = 32;

[[noreturn]] void Refuse(const std::string& reason) {
    throw std::invalid_argument(reason);
}

PlayerRecord& PlayerNamed(WorldState& state, std::string_view name) {
    PlayerRecord* player = state.PlayerByName(name);
    if (player == nullptr) {
        Refuse("no player named " + std::string(name));
    }
    return *player;
}

InventoryObject& InventoryOf(WorldState& state, std::string_view name) {
    PlayerRecord& player = PlayerNamed(state, name);
    if (player.Inventory == nullptr) {
        Refuse(player.Name + " has no character");
    }
    return *player.Inventory;
}

const ItemClassRecord& ClassNamed(const WorldState& state, std::string_view item) {
    const ItemClassRecord* record = state.ClassByAnyName(item);
    if (record == nullptr) {
        Refuse("unknown item class " + std::string(item));
    }
    return *record;
}

void NeedFreeSlot(const WorldState& state, const InventoryObject& inventory,
                  std::string_view player) {
    if (state.FreeSlots(inventory) < 1) {
        Refuse("the inventory of " + std::string(player) + " is full");
    }
}

} // namespace

World::World(int32_t inventorySlots) : state_(std::make_unique<WorldState>()) {
    if (ActiveWorldState() != nullptr) {
        throw std::logic_error("only one simulated world may exist at a time");
    }
    SetInventorySlots(inventorySlots);
    state_->CreateGameWorld();
    SetActiveWorldState(state_.get());
    RegisterWorldNames();
}

World::~World() {
    UnregisterWorldNames();
    state_->DestroyEverything();
    SetActiveWorldState(nullptr);
}

void World::UseCurrentHostNames() {
    hostsim::UseCurrentHostNames();
}

void World::Reset() {
    state_->DestroyEverything();
    state_->CreateGameWorld();
}

UWorld* World::GameWorld() const {
    return state_->GameWorld;
}

void World::SetInventorySlots(int32_t slots) {
    if (slots < 0) {
        Refuse("the number of inventory slots cannot be negative");
    }
    state_->InventorySlots = slots;
}

int32_t World::InventorySlots() const {
    return state_->InventorySlots;
}

void World::SetWhenInventoryFull(WhenInventoryFull behaviour) {
    state_->WhenFull = behaviour;
}

WhenInventoryFull World::WhenFull() const {
    return state_->WhenFull;
}

void World::SetGiveRefusal(std::function<bool(std::string_view item, int32_t quantity)> refuse) {
    state_->GiveRefusal = std::move(refuse);
}

void World::SetCallListener(std::function<void(const GameCall& call)> listener) {
    state_->CallListener = std::move(listener);
}

// ---- Item classes ----

void World::AddItemClass(std::string path, int32_t maxStack) {
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || dot + 1 == path.size()) {
        Refuse("an item class path ends in .ClassName: " + path);
    }
    if (maxStack < 1) {
        Refuse("the maximum stack of " + path + " must be at least 1");
    }
    // Written as the blueprint or as its class, it is the class the game knows.
    const std::string classPath = barterbox::GeneratedClassPath(path);
    WorldState& state = *state_;
    if (std::any_of(state.Classes.begin(), state.Classes.end(),
                    [&](const ItemClassRecord& known) { return known.Info.Path == classPath; })) {
        Refuse("item class " + classPath + " exists already");
    }
    ItemClassRecord record;
    record.Info =
        ItemClassInfo{classPath, std::string(barterbox::ClassNameOf(classPath)), maxStack};
    record.Object = state.Objects.Create<ItemClassObject>(
        ObjectKind::ItemClass, state.Names.Intern(Utf8ToUtf16(record.Info.Name)),
        Utf8ToUtf16(classPath));
    record.Object->MaxStack = maxStack;
    state.Classes.push_back(std::move(record));
}

std::vector<ItemClassInfo> World::ItemClasses() const {
    std::vector<ItemClassInfo> classes;
    for (const ItemClassRecord& record : state_->Classes) {
        classes.push_back(record.Info);
    }
    return classes;
}

std::optional<ItemClassInfo> World::FindItemClass(std::string_view item) const {
    const ItemClassRecord* record = state_->ClassByAnyName(item);
    return record != nullptr ? std::optional(record->Info) : std::nullopt;
}

// ---- Players ----

AShooterPlayerController* World::Join(std::string name, std::string eosId, bool admin) {
    WorldState& state = *state_;
    if (name.empty()) {
        Refuse("a player needs a name");
    }
    if (state.PlayerByName(name) != nullptr) {
        Refuse("a player named " + name + " is online already");
    }
    PlayerRecord player;
    player.Name = std::move(name);
    player.EosId = std::move(eosId);
    player.Inventory =
        state.CreateObject<InventoryObject>(ObjectKind::Inventory, u"PrimalInventoryComponent");
    player.Character =
        state.CreateObject<CharacterObject>(ObjectKind::Character, u"PlayerPawnTest_Male_C");
    player.Character->MyInventoryComponent = player.Inventory;
    player.Inventory->Base.OuterPrivate = player.Character;
    player.Controller =
        state.CreateObject<ControllerObject>(ObjectKind::Controller, u"ShooterPlayerController");
    player.Controller->Character = player.Character;
    AppendElement(state.GameWorld->PlayerControllerList, state.Objects.HandleOf(player.Controller),
                  kControllerList);
    state.Players.push_back(std::move(player));
    SetAdmin(state.Players.back().Name, admin);
    return state.Players.back().Controller;
}

void World::Leave(std::string_view name) {
    WorldState& state = *state_;
    PlayerRecord& player = PlayerNamed(state, name);
    state.DestroyInventory(player.Inventory);
    state.Objects.Destroy(player.Character);
    state.Objects.Destroy(player.Controller);
    state.Players.erase(state.Players.begin() + (&player - state.Players.data()));
}

void World::SetAdmin(std::string_view name, bool admin) {
    ControllerObject& controller = *PlayerNamed(*state_, name).Controller;
    if (admin) {
        controller.PlayerFlags |= 1u << kIsAdminBit;
    } else {
        controller.PlayerFlags &= ~(1u << kIsAdminBit);
    }
}

void World::RemoveCharacter(std::string_view name) {
    WorldState& state = *state_;
    PlayerRecord& player = PlayerNamed(state, name);
    state.DestroyInventory(player.Inventory);
    state.Objects.Destroy(player.Character);
    player.Inventory = nullptr;
    player.Character = nullptr;
    player.Controller->Character = nullptr;
}

void World::RemoveInventory(std::string_view name) {
    WorldState& state = *state_;
    PlayerRecord& player = PlayerNamed(state, name);
    state.DestroyInventory(player.Inventory);
    player.Inventory = nullptr;
    if (player.Character != nullptr) {
        player.Character->MyInventoryComponent = nullptr;
    }
}

namespace {

// The world's record of one state: on the character, or on the controller for a transfer.
bool* StateFlag(PlayerRecord& player, barterbox::CharacterState state) {
    CharacterObject* character = player.Character;
    if (state == barterbox::CharacterState::Transferring) {
        return &player.Controller->bIsTransferringCharacter;
    }
    if (character == nullptr) {
        return nullptr;
    }
    switch (state) {
    case barterbox::CharacterState::Dead:
        return &character->Dead;
    case barterbox::CharacterState::Unconscious:
        return &character->Unconscious;
    case barterbox::CharacterState::Riding:
        return &character->Riding;
    case barterbox::CharacterState::Noglin:
        return &character->ControlledByNoglin;
    case barterbox::CharacterState::Carried:
    case barterbox::CharacterState::Transferring:
        break;
    }
    return nullptr;
}

} // namespace

void World::SetCharacterState(std::string_view name, barterbox::CharacterState state, bool on) {
    PlayerRecord& player = PlayerNamed(*state_, name);
    if (state == barterbox::CharacterState::Carried) {
        if (player.Character == nullptr) {
            Refuse(std::string(name) + " has no character to be carried");
        }
        uint32_t& flags = player.Character->CharacterFlags;
        flags = on ? flags | (1u << kIsCarriedBit) : flags & ~(1u << kIsCarriedBit);
        return;
    }
    bool* flag = StateFlag(player, state);
    if (flag == nullptr) {
        Refuse(std::string(name) + " has no character to be " +
               std::string(barterbox::WordsOf(state).Word));
    }
    *flag = on;
}

barterbox::CharacterStates World::CharacterStatesOf(std::string_view name) const {
    barterbox::CharacterStates states;
    PlayerRecord* player = state_->PlayerByName(name);
    if (player == nullptr) {
        return states;
    }
    for (const barterbox::CharacterState state : barterbox::kCharacterStates) {
        const bool carried = state == barterbox::CharacterState::Carried &&
                             player->Character != nullptr &&
                             (player->Character->CharacterFlags & (1u << kIsCarriedBit)) != 0;
        const bool* flag = StateFlag(*player, state);
        if (carried || (flag != nullptr && *flag)) {
            states.Add(state);
        }
    }
    return states;
}

AShooterPlayerController* World::FindPlayer(std::string_view name) const {
    const PlayerRecord* player = state_->PlayerByName(name);
    return player != nullptr ? player->Controller : nullptr;
}

std::vector<PlayerInfo> World::Players() const {
    std::vector<PlayerInfo> players;
    for (const PlayerRecord& player : state_->Players) {
        const bool admin = (player.Controller->PlayerFlags & (1u << kIsAdminBit)) != 0;
        players.push_back({player.Name, player.EosId, admin, player.Controller, player.Groups});
    }
    return players;
}

std::string World::PlayerNameOf(const void* controller) const {
    const PlayerRecord* player = state_->PlayerByController(controller);
    return player != nullptr ? player->Name : std::string();
}

// ---- Inventories ----

void World::GiveItems(std::string_view player, std::string_view item, int32_t quantity) {
    WorldState& state = *state_;
    InventoryObject& inventory = InventoryOf(state, player);
    const ItemClassRecord& itemClass = ClassNamed(state, item);
    if (quantity <= 0) {
        Refuse("a quantity to give must be at least 1");
    }
    if (!state.AddStacks(inventory, itemClass, quantity)) {
        Refuse("the inventory of " + std::string(player) + " has no room for " +
               std::to_string(quantity) + " " + itemClass.Info.Name);
    }
}

uint64_t World::AddStack(std::string_view player, std::string_view item, int32_t quantity) {
    WorldState& state = *state_;
    InventoryObject& inventory = InventoryOf(state, player);
    const ItemClassRecord& itemClass = ClassNamed(state, item);
    NeedFreeSlot(state, inventory, player);
    return state.AddItem(inventory, &itemClass, quantity)->ItemId;
}

uint64_t World::AddClasslessItem(std::string_view player, int32_t quantity) {
    WorldState& state = *state_;
    InventoryObject& inventory = InventoryOf(state, player);
    NeedFreeSlot(state, inventory, player);
    return state.AddItem(inventory, nullptr, quantity)->ItemId;
}

void World::AddEmptySlot(std::string_view player) {
    WorldState& state = *state_;
    InventoryObject& inventory = InventoryOf(state, player);
    NeedFreeSlot(state, inventory, player);
    AppendElement<UPrimalItem*>(inventory.InventoryItems, nullptr,
                                "UPrimalInventoryComponent.InventoryItems");
}

void World::ClearInventory(std::string_view player) {
    WorldState& state = *state_;
    InventoryObject& inventory = InventoryOf(state, player);
    EngineArray<UPrimalItem*>& items = inventory.InventoryItems;
    for (int32_t i = 0; i < items.Num; ++i) {
        state.Objects.Destroy(items.Data[i]);
    }
    ReleaseElements(items);
}

std::vector<InventorySlot> World::Inventory(std::string_view player) const {
    WorldState& state = *state_;
    const PlayerRecord& record = PlayerNamed(state, player);
    std::vector<InventorySlot> slots;
    if (record.Inventory == nullptr) {
        return slots;
    }
    const EngineArray<UPrimalItem*>& items = record.Inventory->InventoryItems;
    for (int32_t i = 0; i < items.Num; ++i) {
        InventorySlot slot;
        if (const auto* item = state.Objects.Find<ItemObject>(items.Data[i], ObjectKind::Item)) {
            slot.ItemId = item->ItemId;
            slot.Quantity = item->Quantity;
            if (item->Base.ClassPrivate != nullptr) {
                const auto* cls = static_cast<const ItemClassObject*>(item->Base.ClassPrivate);
                slot.ClassName = Utf16ToUtf8(state.Names.Text(cls->Base.NamePrivate));
            }
        }
        slots.push_back(std::move(slot));
    }
    return slots;
}

UPrimalItem* World::FindItem(uint64_t itemId) const {
    WorldState& state = *state_;
    for (const PlayerRecord& player : state.Players) {
        if (player.Inventory == nullptr) {
            continue;
        }
        const EngineArray<UPrimalItem*>& items = player.Inventory->InventoryItems;
        for (int32_t i = 0; i < items.Num; ++i) {
            const auto* item = state.Objects.Find<ItemObject>(items.Data[i], ObjectKind::Item);
            if (item != nullptr && item->ItemId == itemId) {
                return items.Data[i];
            }
        }
    }
    return nullptr;
}

void World::CollectGarbage() {
    WorldState& state = *state_;
    for (const ItemObject* item : state.PendingKill) {
        state.Objects.Destroy(item);
    }
    state.PendingKill.clear();
    // Stale handles of players who left stay a while, for the plugin to meet, but joins and leaves
    // must not grow the list forever: past a few dozen, they all go.
    EngineArray<FWeakObjectPtr>& controllers = state.GameWorld->PlayerControllerList;
    const auto stale = [&](const FWeakObjectPtr& handle) {
        return state.Objects.Resolve(handle) == nullptr;
    };
    if (std::count_if(controllers.Data, controllers.Data + controllers.Num, stale) >
        kStaleHandlesKept) {
        for (int32_t i = controllers.Num - 1; i >= 0; --i) {
            if (stale(controllers.Data[i])) {
                RemoveElementAt(controllers, i, kControllerList);
            }
        }
    }
}

// ---- Records ----

std::vector<GameCall> World::GameCalls() const {
    return state_->Calls;
}

void World::ClearGameCalls() {
    state_->Calls.clear();
}

RCONClientConnection* World::OpenRconConnection() {
    auto connection = std::make_unique<RconConnectionObject>();
    connection->ConnectionId = state_->NextObjectNumber++;
    state_->Connections.push_back(std::move(connection));
    return state_->Connections.back().get();
}

void World::CloseRconConnection(RCONClientConnection* connection) {
    auto& connections = state_->Connections;
    connections.erase(std::remove_if(connections.begin(), connections.end(),
                                     [&](const auto& open) { return open.get() == connection; }),
                      connections.end());
}

std::vector<RconReply> World::RconReplies() const {
    return state_->Replies;
}

void World::ClearRconReplies() {
    state_->Replies.clear();
}

void World::SetRconListener(std::function<void(const RconReply&)> listener) {
    state_->RconListener = std::move(listener);
}

} // namespace hostsim
