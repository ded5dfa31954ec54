// The saved document and how it follows the table; see config_document.h.
#include "config_document.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "catalogue/exchange_catalogue.h"
#include "catalogue/plugin_settings.h"

namespace barterbox {
namespace {

using nlohmann::json;

struct SavedDocument {
    json Root = json::object();
    // The member of Root["Exchanges"] that holds each table key's exchange; a key's configured
    // name can change letter case with a Put, and the old member must go with it.
    std::unordered_map<std::string, std::string> MemberOfKey;
    // False before the first build, and after an update that did not finish (out of memory):
    // the next call then rebuilds the whole document rather than trust a half-applied one.
    bool Current = false;
};

SavedDocument& Saved() {
    static SavedDocument saved;
    return saved;
}

// A Give or Receive list as an object; of two equal item names the later quantity stays, as
// assigning member by member leaves it.
json ItemsObject(const std::vector<ItemAmount>& items) {
    json object = json::object();
    for (const ItemAmount& item : items) {
        object[item.Item] = item.Quantity;
    }
    return object;
}

json ExchangeMember(const ExchangeDefinition& definition) {
    json exchange = json::object();
    exchange["Description"] = definition.Description;
    exchange["Give"] = ItemsObject(definition.Give);
    exchange["Receive"] = ItemsObject(definition.Receive);
    return exchange;
}

void RebuildExchanges(SavedDocument& saved) {
    // In ascending byte order of name, each member goes in at the end of the library's object
    // with a hint, instead of a search down its tree for every one of thousands of exchanges.
    std::vector<std::pair<const std::string*, const ExchangeDefinition*>> sorted;
    sorted.reserve(Catalogue().size());
    for (const auto& [key, definition] : Catalogue()) {
        sorted.emplace_back(&key, &definition);
    }
    std::sort(sorted.begin(), sorted.end(),
              [](const auto& a, const auto& b) { return a.second->Name < b.second->Name; });

    saved.MemberOfKey.clear();
    json exchanges = json::object();
    auto& members = exchanges.get_ref<json::object_t&>();
    for (const auto& [key, definition] : sorted) {
        members.emplace_hint(members.end(), definition->Name, ExchangeMember(*definition));
        saved.MemberOfKey.emplace(*key, definition->Name);
    }
    saved.Root["Exchanges"] = std::move(exchanges);
}

// Every key in the list is made to match the table again: its old member goes, and the entry
// the table holds now (if any) comes back under its current name. Repeated keys are harmless.
void ApplyChanges(SavedDocument& saved, const std::vector<std::string>& keys) {
    json& exchanges = saved.Root["Exchanges"];
    for (const std::string& key : keys) {
        if (const auto old = saved.MemberOfKey.find(key); old != saved.MemberOfKey.end()) {
            exchanges.erase(old->second);
            saved.MemberOfKey.erase(old);
        }
        if (const ExchangeDefinition* definition = FindExchange(key)) {
            exchanges[definition->Name] = ExchangeMember(*definition);
            saved.MemberOfKey.emplace(key, definition->Name);
        }
    }
}

// The settings are small and may be set from anywhere, so they are copied at every call.
void PutSettings(json& root) {
    const PluginSettings& current = Settings();
    json& settings = root["Settings"];
    settings["AllowMultiplier"] = current.AllowMultiplier;
    settings["ChatPrefix"] = current.ChatPrefix;
    settings["MaxMultiplier"] = current.MaxMultiplier;
}

} // namespace

const json& CurrentConfigDocument() {
    SavedDocument& saved = Saved();
    const CatalogueChanges changes = TakeCatalogueChanges();
    const bool wasCurrent = std::exchange(saved.Current, false);
    if (!wasCurrent || changes.Everything) {
        RebuildExchanges(saved);
    } else {
        ApplyChanges(saved, changes.Keys);
    }
    PutSettings(saved.Root);
    saved.Current = true;
    return saved.Root;
}

void ReleaseConfigDocument() {
    Saved() = SavedDocument{};
}

} // namespace barterbox
