// The effects of rules.json's entries; see rules_effect_check.h. Each check looks at what the
// text holds rather than at the values read, so that a value the plugin refuses (a Stock of 0)
// still counts as written and is reported once, as refused.
#include "rules_effect_check.h"

#include <algorithm>
#include <map>

#include "catalogue/exchange_definition.h"

namespace barterbox::tools {

namespace {

using nlohmann::json;

// The root's member of that name when it is an object, as the plugin reads only those.
const json* ObjectMember(const json& root, const char* name) {
    const auto found = root.find(name);
    return found != root.end() && found->is_object() ? &*found : nullptr;
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
                                      const std::vector<std::string>* configExchanges) {
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
    if (configExchanges != nullptr) {
        checker.ExchangesConfigLacks(exchanges, *configExchanges);
    }
    return std::move(checker.Findings);
}

} // namespace barterbox::tools
