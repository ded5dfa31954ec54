// The effects of rules.json's entries; see rules_effect_check.h. Each check looks at what the
// text holds rather than at the values read, so that a value the plugin refuses (a Stock of 0)
// still counts as written and is reported once, as refused.
#include "rules_effect_check.h"

#include <algorithm>
#include <map>

#include "catalogue/exchange_definition.h"
#include "host/ascii_case.h"

namespace barterbox::tools {

namespace {

using nlohmann::json;

// The root's member of that name when it is an object, as the plugin reads only those.
const json* ObjectMember(const json& root, const char* name) {
    const auto found = root.find(name);
    return found != root.end() && found->is_object() ? &*found : nullptr;
}

// The keys of DisplayNames that name an item text, letter case folded, as the plugin looks them
// up: the text as written; its short name (the last part of its path without a closing ' and a
// _C; a text without a path is its own), which players read without an entry; and, when that
// is a blueprint's "Package.Object", the object's class without its _C
// (PrimalItemResource_ChitinPaste).
std::vector<std::string> DisplayKeysOf(std::string_view item) {
    const size_t slash = item.find_last_of('/');
    std::string_view shortName = slash == std::string_view::npos ? item : item.substr(slash + 1);
    if (slash != std::string_view::npos && shortName.ends_with('\'')) {
        shortName.remove_suffix(1);
    }
    if (slash != std::string_view::npos && shortName.size() > 2 && shortName.ends_with("_C")) {
        shortName.remove_suffix(2);
    }
    std::vector<std::string> keys{AsciiLowered(item), AsciiLowered(shortName)};
    if (const size_t dot = shortName.rfind('.'); dot != std::string_view::npos) {
        std::string_view object = shortName.substr(dot + 1);
        if (object.ends_with("_C")) {
            object.remove_suffix(2);
        }
        keys.push_back(AsciiLowered(object));
    }
    return keys;
}

std::string Quoted(const std::string& name) {
    return json(name).dump(-1, ' ', false, json::error_handler_t::replace);
}

struct EffectChecker {
    const std::string& File;
    const JsonLocations& Locations;
    std::vector<Finding> Findings{};

    void Add(Severity level, const MemberPath& member, bool atName, std::string message) {
        const TextPosition where =
            atName ? NamePosition(Locations, member) : ValuePosition(Locations, member);
        Findings.push_back(
            {level, File, where, ExchangeOfMember(member), member, std::move(message)});
    }

    // An empty Groups is no group at all: the exchange is closed to every player, unannounced.
    void EmptyGroups(const json& entry, MemberPath member, bool isDefault) {
        const auto groups = entry.find("Groups");
        if (groups == entry.end() || !groups->is_array() || !groups->empty()) {
            return;
        }
        member.emplace_back(std::string("Groups"));
        Add(Severity::Error, member, false,
            isDefault ? "is empty, so nobody may run any exchange whose rules set no Groups of "
                        "their own; to close exchanges on purpose, write \"Enabled\": false"
                      : "is empty, so nobody may run this exchange; to close it on purpose, write "
                        "\"Enabled\": false");
    }

    void RestockWithoutStock(MemberPath member, const char* message) {
        member.emplace_back(std::string("Restock"));
        Add(Severity::Warning, member, true, message);
    }

    // A Restock refills a Stock, the entry's own or Default's; Default's Restock also serves the
    // entries that set a Stock and no Restock.
    void RestocksWithoutStock(const json* defaults, const json& exchanges) {
        const bool defaultStock = defaults != nullptr && defaults->contains("Stock");
        bool entryTakesDefaultRestock = false;
        for (const auto& [name, entry] : exchanges.items()) {
            if (!entry.is_object()) {
                continue;
            }
            const bool stock = entry.contains("Stock");
            const bool restock = entry.contains("Restock");
            entryTakesDefaultRestock = entryTakesDefaultRestock || (stock && !restock);
            if (restock && !stock && !defaultStock) {
                RestockWithoutStock({std::string("Exchanges"), name},
                                    "there is no Stock to refill (neither here nor in Default), "
                                    "so it does nothing");
            }
        }
        if (defaults != nullptr && defaults->contains("Restock") && !defaultStock &&
            !entryTakesDefaultRestock) {
            RestockWithoutStock({std::string("Default")},
                                "there is no Stock to refill (neither in Default nor in an "
                                "exchange that takes this Restock), so it does nothing");
        }
    }

    // The plugin uses the first rule whose name matches, in the document's (byte) order.
    void EntriesAlike(const json& exchanges) {
        std::map<std::string, std::string> firstByKey;
        for (const auto& [name, entry] : exchanges.items()) {
            const auto [first, fresh] = firstByKey.try_emplace(ExchangeKey(name), name);
            if (!fresh) {
                const std::string used = Quoted(first->second);
                Add(Severity::Warning, {std::string("Exchanges"), name}, true,
                    "names the same exchange as " + used +
                        ", up to the case of A to Z; the plugin uses only the rules of " + used);
            }
        }
    }

    // The plugin looks an item up by its text and its names; an entry matching none of
    // config.json's items is never read, most likely a misspelt class or an item of another table.
    void DisplayNamesNothingUses(const json& names, const std::vector<std::string>& items) {
        std::vector<std::string> keys;
        for (const std::string& item : items) {
            for (std::string& key : DisplayKeysOf(item)) {
                keys.push_back(std::move(key));
            }
        }
        for (const auto& [key, name] : names.items()) {
            if (!key.empty() &&
                std::find(keys.begin(), keys.end(), AsciiLowered(key)) == keys.end()) {
                Add(Severity::Warning, {std::string("DisplayNames"), key}, true,
                    "no exchange of config.json takes or gives this item, whatever the case of A "
                    "to Z; players never read this name");
            }
        }
    }

    void ExchangesConfigLacks(const json& exchanges,
                              const std::vector<std::string>& configExchanges) {
        std::vector<std::string> keys;
        for (const std::string& name : configExchanges) {
            keys.push_back(ExchangeKey(name));
        }
        for (const auto& [name, entry] : exchanges.items()) {
            if (std::find(keys.begin(), keys.end(), ExchangeKey(name)) == keys.end()) {
                Add(Severity::Warning, {std::string("Exchanges"), name}, true,
                    "config.json has no exchange of this name, whatever the case of A to Z; the "
                    "rule applies to nothing");
            }
        }
    }
};

} // namespace

std::vector<Finding> CheckRuleEffects(const std::string& fileName, const RulesCheck& check,
                                      const LoadedConfig* config) {
    const json& root = check.Document;
    if (!check.Parsed || !root.is_object()) {
        return {};
    }
    EffectChecker checker{fileName, check.Locations};
    const json* defaults = ObjectMember(root, "Default");
    const json* found = ObjectMember(root, "Exchanges");
    const json none = json::object();
    const json& exchanges = found != nullptr ? *found : none;
    if (defaults != nullptr) {
        checker.EmptyGroups(*defaults, {std::string("Default")}, true);
    }
    for (const auto& [name, entry] : exchanges.items()) {
        if (entry.is_object()) {
            checker.EmptyGroups(entry, {std::string("Exchanges"), name}, false);
        }
    }
    checker.RestocksWithoutStock(defaults, exchanges);
    checker.EntriesAlike(exchanges);
    if (config != nullptr) {
        checker.ExchangesConfigLacks(exchanges, config->Exchanges);
        if (const json* names = ObjectMember(root, "DisplayNames")) {
            checker.DisplayNamesNothingUses(*names, config->Items);
        }
    }
    return std::move(checker.Findings);
}

} // namespace barterbox::tools
