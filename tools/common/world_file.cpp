// The world file reader: a strict parse, then a walk over the three sections that records every
// fault with its member path and position, so that an operator can fix a world in one pass.
#include "world_file.h"

#include <algorithm>
#include <initializer_list>
#include <limits>
#include <map>
#include <sstream>

#include "host/ascii_case.h"
#include "host/class_names.h"
#include "json_type_name.h"
#include "text_file.h"

namespace barterbox::tools {

namespace {

using nlohmann::json;

constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();

MemberPath Child(MemberPath path, PathStep step) {
    path.push_back(std::move(step));
    return path;
}

// C0 controls, DEL, and the C1 controls U+0080 to U+009F (UTF-8 0xC2 0x80 to 0xC2 0x9F).
bool HoldsControlCharacter(std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0u;
        if (byte < 0x20 || byte == 0x7f || (byte == 0xc2 && next >= 0x80 && next <= 0x9f)) {
            return true;
        }
    }
    return false;
}

std::string Quote(std::string_view text) {
    return json(text).dump(-1, ' ', false, json::error_handler_t::replace);
}

// The whole number in the range, or nothing for fractions, other types and values outside it.
std::optional<int32_t> WholeNumber(const json& value, int64_t least, int64_t most) {
    if (value.is_number_unsigned()) {
        const auto number = value.get<uint64_t>();
        if (number <= static_cast<uint64_t>(most) && static_cast<int64_t>(number) >= least) {
            return static_cast<int32_t>(number);
        }
        return std::nullopt;
    }
    if (value.is_number_integer()) {
        const auto number = value.get<int64_t>();
        if (number >= least && number <= most) {
            return static_cast<int32_t>(number);
        }
    }
    return std::nullopt;
}

struct WorldReader {
    const JsonLocations& Locations;
    std::vector<WorldFileError>& Errors;

    void Fail(const MemberPath& member, std::string message) {
        Errors.push_back({member, ValuePosition(Locations, member), std::move(message)});
    }
    void FailAtName(const MemberPath& member, std::string message) {
        Errors.push_back({member, NamePosition(Locations, member), std::move(message)});
    }

    // Reports members the format does not have; a typo must not pass for a missing member.
    void OnlyKnownMembers(const json& object, const MemberPath& path,
                          std::initializer_list<std::string_view> known) {
        std::string expected;
        for (std::string_view name : known) {
            expected += (expected.empty() ? "" : ", ") + std::string(name);
        }
        for (const auto& [name, value] : object.items()) {
            if (std::find(known.begin(), known.end(), name) == known.end()) {
                FailAtName(Child(path, name), "unknown member; expected " + expected);
            }
        }
    }

    const json* Required(const json& object, const MemberPath& path, const char* name) {
        auto found = object.find(name);
        if (found == object.end()) {
            Fail(path, std::string(name) + " is missing");
            return nullptr;
        }
        return &*found;
    }

    // A required whole number within a range, reported where it stands when it is not one.
    std::optional<int32_t> Count(const json& object, const MemberPath& path, const char* name) {
        const json* value = Required(object, path, name);
        if (value == nullptr) {
            return std::nullopt;
        }
        auto number = WholeNumber(*value, 1, kInt32Max);
        if (!number) {
            Fail(Child(path, name),
                 "must be a whole number from 1 to 2147483647, not " + value->dump());
        }
        return number;
    }

    // A non-empty text without spaces: console lines and RCON requests name players by words.
    std::optional<std::string> Word(const json& object, const MemberPath& path, const char* name) {
        const json* value = Required(object, path, name);
        if (value == nullptr) {
            return std::nullopt;
        }
        return WordText(*value, Child(path, name));
    }

    // A text that names something by one word, wherever it stands.
    std::optional<std::string> WordText(const json& value, const MemberPath& member) {
        if (!value.is_string()) {
            Fail(member, "must be a string, not " + JsonTypeName(value));
            return std::nullopt;
        }
        const auto& text = value.get_ref<const std::string&>();
        if (text.empty() || text.find(' ') != std::string::npos) {
            Fail(member, "must be a non-empty text without spaces, not " + Quote(text));
            return std::nullopt;
        }
        if (HoldsControlCharacter(text)) {
            // They would reach the server's output and the plugin's replies and log lines.
            Fail(member, "must not hold control characters, not " + Quote(text));
            return std::nullopt;
        }
        return text;
    }

    // A member that may be left out but is an array when given; nothing when it is absent or
    // is no array, which is reported.
    const json* OptionalArray(const json& object, const char* name, const MemberPath& member,
                              std::string_view holding) {
        auto found = object.find(name);
        if (found == object.end()) {
            return nullptr;
        }
        if (!found->is_array()) {
            Fail(member,
                 "must be an array of " + std::string(holding) + ", not " + JsonTypeName(*found));
            return nullptr;
        }
        return &*found;
    }

    // An item class's Path as written, when it is a full path name that a report can print.
    std::optional<std::string> ClassPathText(const json& entry, const MemberPath& path) {
        const json* pathValue = Required(entry, path, "Path");
        if (pathValue == nullptr) {
            return std::nullopt;
        }
        const MemberPath member = Child(path, "Path");
        if (!pathValue->is_string()) {
            Fail(member, "must be a string, not " + JsonTypeName(*pathValue));
            return std::nullopt;
        }
        const std::string& text = pathValue->get_ref<const std::string&>();
        if (std::any_of(text.begin(), text.end(),
                        [](char c) { return static_cast<unsigned char>(c) <= ' '; })) {
            // Game path names never hold them, and a class name is printed in reports.
            Fail(member, "must not hold spaces or control characters, not " + Quote(text));
            return std::nullopt;
        }
        const size_t dot = text.rfind('.');
        if (dot == std::string::npos || dot + 1 == text.size()) {
            Fail(member, "must be a full path name whose class name follows its last \".\", not " +
                             Quote(text));
            return std::nullopt;
        }
        return text;
    }

    // The entry ItemClasses[index], when it is usable: a class that no entry before it gives
    // (byPath holds theirs) and its stack size.
    std::optional<WorldItemClass> ReadItemClass(const json& entry, const MemberPath& path,
                                                size_t index,
                                                std::map<std::string, size_t>& byPath) {
        OnlyKnownMembers(entry, path, {"Path", "MaxStack"});
        WorldItemClass itemClass;
        bool usable = true;
        if (std::optional<std::string> written = ClassPathText(entry, path)) {
            // Written as the blueprint or as its class, it is the class the game knows.
            itemClass.Written = std::move(*written);
            itemClass.Path = GeneratedClassPath(itemClass.Written);
            itemClass.ClassName = ClassNameOf(itemClass.Path);
            auto [earlier, fresh] = byPath.try_emplace(itemClass.Path, index);
            if (!fresh) {
                Fail(Child(path, "Path"), "this is already the class of ItemClasses[" +
                                              std::to_string(earlier->second) + "] (" +
                                              itemClass.Path + ")");
                usable = false;
            }
        } else {
            usable = false;
        }
        if (auto stack = Count(entry, path, "MaxStack")) {
            itemClass.MaxStack = *stack;
        } else {
            usable = false;
        }
        return usable ? std::optional(std::move(itemClass)) : std::nullopt;
    }

    void ReadItemClasses(const json& root, WorldDescription& world) {
        const MemberPath sectionPath{std::string("ItemClasses")};
        const json* section = OptionalArray(root, "ItemClasses", sectionPath, "item classes");
        if (section == nullptr) {
            return;
        }
        std::map<std::string, size_t> byPath;
        for (size_t i = 0; i < section->size(); ++i) {
            const json& entry = (*section)[i];
            const MemberPath path = Child(sectionPath, i);
            if (!entry.is_object()) {
                Fail(path, "must be an object with Path and MaxStack, not " + JsonTypeName(entry));
                continue;
            }
            if (std::optional<WorldItemClass> itemClass = ReadItemClass(entry, path, i, byPath)) {
                world.ItemClasses.push_back(std::move(*itemClass));
            }
        }
    }

    // An inventory entry's Item and the one item class of the world that it names.
    std::optional<WorldInventoryItem> ItemOfOneClass(const json& entry, const MemberPath& path,
                                                     const WorldDescription& world) {
        const json* itemValue = Required(entry, path, "Item");
        if (itemValue == nullptr) {
            return std::nullopt;
        }
        const MemberPath member = Child(path, "Item");
        if (!itemValue->is_string()) {
            Fail(member, "must be a string, not " + JsonTypeName(*itemValue));
            return std::nullopt;
        }
        WorldInventoryItem item;
        item.Item = itemValue->get<std::string>();
        const std::vector<size_t> classes = ClassesNamedBy(world.ItemClasses, item.Item);
        if (classes.empty()) {
            Fail(member, Quote(item.Item) + " names no item class of ItemClasses");
            return std::nullopt;
        }
        if (classes.size() > 1) {
            std::string paths;
            for (size_t index : classes) {
                paths += (paths.empty() ? "" : ", ") + world.ItemClasses[index].Path;
            }
            Fail(member, Quote(item.Item) + " names several item classes (" + paths +
                             "); write the full path instead");
            return std::nullopt;
        }
        item.ClassIndex = classes.front();
        return item;
    }

    // One entry of an inventory, when it is usable: its item and its quantity.
    std::optional<WorldInventoryItem> ReadInventoryItem(const json& entry, const MemberPath& path,
                                                        const WorldDescription& world) {
        OnlyKnownMembers(entry, path, {"Item", "Quantity"});
        std::optional<WorldInventoryItem> item = ItemOfOneClass(entry, path, world);
        const std::optional<int32_t> quantity = Count(entry, path, "Quantity");
        if (!item || !quantity) {
            return std::nullopt;
        }
        item->Quantity = *quantity;
        return item;
    }

    // The player's permission groups besides Default: words, as the console names them, each
    // given once whatever its letter case, as the Permissions plugin compares them.
    void ReadGroups(const json& player, const MemberPath& playerPath, WorldPlayer& into) {
        const MemberPath groupsPath = Child(playerPath, "Groups");
        const json* groups = OptionalArray(player, "Groups", groupsPath, "group names");
        if (groups == nullptr) {
            return;
        }
        for (size_t i = 0; i < groups->size(); ++i) {
            const MemberPath member = Child(groupsPath, i);
            std::optional<std::string> group = WordText((*groups)[i], member);
            if (!group) {
                continue;
            }
            if (EqualIgnoringAsciiCase(*group, "Default")) {
                Fail(member, "every player is in the group Default; leave it out");
                continue;
            }
            const auto earlier =
                std::find_if(into.Groups.begin(), into.Groups.end(), [&](const std::string& known) {
                    return EqualIgnoringAsciiCase(known, *group);
                });
            if (earlier != into.Groups.end()) {
                Fail(member, Quote(*group) + " is the group " + Quote(*earlier) +
                                 " again; group names ignore the case of A to Z");
                continue;
            }
            into.Groups.push_back(std::move(*group));
        }
    }

    // The character's states, by the words the console and rules.json's Refuse use.
    void ReadStates(const json& player, const MemberPath& playerPath, WorldPlayer& into) {
        const MemberPath statesPath = Child(playerPath, "State");
        const json* states = OptionalArray(player, "State", statesPath, "states");
        if (states == nullptr) {
            return;
        }
        for (size_t i = 0; i < states->size(); ++i) {
            const MemberPath member = Child(statesPath, i);
            const std::optional<std::string> word = WordText((*states)[i], member);
            if (!word) {
                continue;
            }
            if (const std::optional<barterbox::CharacterState> state =
                    barterbox::StateNamed(*word)) {
                into.States.Add(*state);
            } else {
                Fail(member, Quote(*word) + " is no state; the states are dead, unconscious, "
                                            "carried, riding, transferring and noglin");
            }
        }
    }

    // The player's items, and a report when, all of them read, they do not fit the inventory's
    // slots once split into stacks.
    void ReadInventory(const json& player, const MemberPath& playerPath,
                       const WorldDescription& world, WorldPlayer& into) {
        const MemberPath inventoryPath = Child(playerPath, "Inventory");
        const json* inventory =
            OptionalArray(player, "Inventory", inventoryPath, "{\"Item\", \"Quantity\"} entries");
        if (inventory == nullptr) {
            return;
        }
        int64_t slotsNeeded = 0;
        bool complete = true;
        for (size_t i = 0; i < inventory->size(); ++i) {
            const json& entry = (*inventory)[i];
            const MemberPath path = Child(inventoryPath, i);
            if (!entry.is_object()) {
                Fail(path, "must be an object with Item and Quantity, not " + JsonTypeName(entry));
                complete = false;
                continue;
            }
            std::optional<WorldInventoryItem> item = ReadInventoryItem(entry, path, world);
            if (!item) {
                complete = false;
                continue;
            }
            const int64_t maxStack = world.ItemClasses[item->ClassIndex].MaxStack;
            slotsNeeded += (item->Quantity + maxStack - 1) / maxStack;
            into.Inventory.push_back(std::move(*item));
        }
        if (complete && slotsNeeded > world.InventorySlots) {
            Fail(inventoryPath, "needs " + std::to_string(slotsNeeded) +
                                    " slots once split into stacks, more than InventorySlots (" +
                                    std::to_string(world.InventorySlots) + ")");
        }
    }

    void ReadPlayers(const json& root, WorldDescription& world) {
        const MemberPath sectionPath{std::string("Players")};
        const json* section = OptionalArray(root, "Players", sectionPath, "players");
        if (section == nullptr) {
            return;
        }
        std::map<std::string, size_t> names;
        std::map<std::string, size_t> eosIds;
        for (size_t i = 0; i < section->size(); ++i) {
            const json& entry = (*section)[i];
            const MemberPath path = Child(sectionPath, i);
            if (!entry.is_object()) {
                Fail(path, "must be an object with Name, EosId, Admin, Groups, State and "
                           "Inventory, not " +
                               JsonTypeName(entry));
                continue;
            }
            OnlyKnownMembers(entry, path,
                             {"Name", "EosId", "Admin", "Groups", "State", "Inventory"});
            WorldPlayer player;
            if (auto name = Word(entry, path, "Name")) {
                player.Name = *name;
                if (auto [earlier, fresh] = names.try_emplace(*name, i); !fresh) {
                    Fail(Child(path, "Name"), "the name " + Quote(*name) +
                                                  " is already taken by Players[" +
                                                  std::to_string(earlier->second) + "]");
                }
            }
            if (auto eosId = Word(entry, path, "EosId")) {
                player.EosId = *eosId;
                if (auto [earlier, fresh] = eosIds.try_emplace(*eosId, i); !fresh) {
                    Fail(Child(path, "EosId"), "the EOS ID " + Quote(*eosId) +
                                                   " is already taken by Players[" +
                                                   std::to_string(earlier->second) + "]");
                }
            }
            if (auto admin = entry.find("Admin"); admin != entry.end()) {
                if (admin->is_boolean()) {
                    player.Admin = admin->get<bool>();
                } else {
                    Fail(Child(path, "Admin"),
                         "must be true or false, not " + JsonTypeName(*admin));
                }
            }
            ReadGroups(entry, path, player);
            ReadStates(entry, path, player);
            ReadInventory(entry, path, world, player);
            world.Players.push_back(std::move(player));
        }
    }
};

} // namespace

WorldReadResult ReadWorldText(std::string_view text) {
    WorldReadResult result;
    ParsedJson parsed = ParseJsonText(text);
    if (!parsed.Parsed) {
        result.Errors.push_back({{}, parsed.ErrorPosition, parsed.Error});
        return result;
    }
    WorldReader reader{parsed.Locations, result.Errors};
    for (const RepeatedMember& repeat : parsed.Locations.Repeats) {
        result.Errors.push_back({repeat.Member, repeat.Later,
                                 "this member is given twice in one object (first at line " +
                                     std::to_string(repeat.First.Line) + ")"});
    }
    const json& root = parsed.Document;
    if (!root.is_object()) {
        reader.Fail({}, "the world must be a JSON object, not " + JsonTypeName(root));
        return result;
    }
    reader.OnlyKnownMembers(root, {},
                            {"InventorySlots", "WhenInventoryFull", "ItemClasses", "Players"});
    WorldDescription& world = result.Contents;
    if (auto slots = root.find("InventorySlots"); slots != root.end()) {
        if (auto number = WholeNumber(*slots, 1, kMaxInventorySlots)) {
            world.InventorySlots = *number;
        } else {
            reader.Fail({std::string("InventorySlots")}, "must be a whole number from 1 to " +
                                                             std::to_string(kMaxInventorySlots) +
                                                             ", not " + slots->dump());
        }
    }
    if (auto full = root.find("WhenInventoryFull"); full != root.end()) {
        if (*full == "GiveWhatFits") {
            world.WhenFull = WhenInventoryFull::GiveWhatFits;
        } else if (*full == "GiveNothing") {
            world.WhenFull = WhenInventoryFull::GiveNothing;
        } else {
            reader.Fail({std::string("WhenInventoryFull")},
                        "must be \"GiveWhatFits\" or \"GiveNothing\", not " + full->dump());
        }
    }
    reader.ReadItemClasses(root, world);
    reader.ReadPlayers(root, world);
    // Report in the order of the file, whichever section noticed first.
    std::stable_sort(
        result.Errors.begin(), result.Errors.end(),
        [](const WorldFileError& a, const WorldFileError& b) { return a.Where < b.Where; });
    return result;
}

WorldReadResult ReadWorldFile(const std::string& fileName) {
    std::string reason;
    const std::optional<std::string> text = ReadTextFile(fileName, reason);
    if (!text) {
        WorldReadResult result;
        result.Errors.push_back({{}, {}, reason});
        return result;
    }
    return ReadWorldText(*text);
}

std::string FormatWorldError(std::string_view fileName, const WorldFileError& error) {
    std::ostringstream line;
    line << fileName;
    if (error.Where.Known()) {
        line << ':' << error.Where.Line << ':' << error.Where.Column;
    }
    line << ": error: ";
    if (!error.Member.empty()) {
        line << DisplayPath(error.Member) << ": ";
    }
    line << error.Message;
    return line.str();
}

std::optional<size_t> ClassOfBlueprint(const std::vector<WorldItemClass>& classes,
                                       std::string_view blueprint) {
    // The game's own rule, which the simulated game follows, so that the checker and the server
    // never disagree.
    for (size_t i = 0; i < classes.size(); ++i) {
        if (BlueprintNames(blueprint, classes[i].Path)) {
            return i;
        }
    }
    return std::nullopt;
}

std::vector<size_t> ClassesNamedBy(const std::vector<WorldItemClass>& classes,
                                   std::string_view item) {
    if (auto byBlueprint = ClassOfBlueprint(classes, item)) {
        return {*byBlueprint};
    }
    std::vector<size_t> named;
    for (size_t i = 0; i < classes.size(); ++i) {
        const std::string& name = classes[i].ClassName; // X_C; its blueprint's name is X
        if (name == item || IsGeneratedClassOf(name, item)) {
            named.push_back(i);
        }
    }
    return named;
}

} // namespace barterbox::tools
