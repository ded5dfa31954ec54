// The saved document and how it follows the table; see config_document.h.
#include "config_document.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory_resource>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "catalogue/catalogue_state.h"
#include "catalogue/exchange_catalogue.h"
#include "catalogue/plugin_settings.h"

namespace barterbox {
namespace {

DocumentStore& Store() {
    return TheCatalogueState().Document;
}

template <typename T> struct DocumentAllocator {
    using value_type = T;
    DocumentAllocator() noexcept = default;
    template <typename U> DocumentAllocator(const DocumentAllocator<U>& /*other*/) noexcept {}
    T* allocate(std::size_t count) {
        return static_cast<T*>(Store().Pool.allocate(count * sizeof(T), alignof(T)));
    }
    void deallocate(T* pointer, std::size_t count) noexcept {
        Store().Pool.deallocate(pointer, count * sizeof(T), alignof(T));
    }
    template <typename U> bool operator==(const DocumentAllocator<U>& /*other*/) const noexcept {
        return true;
    }
};

using DocumentString = std::basic_string<char, std::char_traits<char>, DocumentAllocator<char>>;
using json = nlohmann::basic_json<std::map, std::vector, DocumentString, bool, std::int64_t,
                                  std::uint64_t, double, DocumentAllocator>;

DocumentString Text(std::string_view text) {
    return DocumentString(text.data(), text.size());
}

} // namespace

// Named outside the file's own namespace, as the catalogue's record holds a pointer to it.
struct SavedDocument {
    json Root;
    // The member of Root["Exchanges"] that holds each table key's exchange; a key's configured
    // name can change letter case with a Put, and the old member must go with it.
    std::pmr::unordered_map<std::pmr::string, std::pmr::string> MemberOfKey{&Store().Pool};
    // False before the first build, and after an update that did not finish (out of memory):
    // the next call then rebuilds the whole document rather than trust a half-applied one.
    bool Current = false;
};

namespace {

SavedDocument& Saved() {
    DocumentStore& store = Store();
    if (store.Document == nullptr) {
        store.Document = std::pmr::polymorphic_allocator<>(&store.Pool).new_object<SavedDocument>();
    }
    return *store.Document;
}

// A Give or Receive list as an object; of two equal item names the later quantity stays, as
// assigning member by member leaves it.
json ItemsObject(const std::vector<ItemAmount>& items) {
    json object = json::object();
    for (const ItemAmount& item : items) {
        object[Text(item.Item)] = item.Quantity;
    }
    return object;
}

json ExchangeMember(const ExchangeDefinition& definition) {
    json exchange = json::object();
    exchange["Description"] = Text(definition.Description);
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
        members.emplace_hint(members.end(), Text(definition->Name), ExchangeMember(*definition));
        saved.MemberOfKey.emplace(*key, definition->Name);
    }
    saved.Root["Exchanges"] = std::move(exchanges);
}

// Every key in the list is made to match the table again: its old member goes, and the entry
// the table holds now (if any) comes back under its current name. Repeated keys are harmless.
void ApplyChanges(SavedDocument& saved, const std::vector<std::string>& keys) {
    json& exchanges = saved.Root["Exchanges"];
    for (const std::string& key : keys) {
        const auto old = saved.MemberOfKey.find(std::pmr::string(key, &Store().Pool));
        if (old != saved.MemberOfKey.end()) {
            exchanges.erase(Text(old->second));
            saved.MemberOfKey.erase(old);
        }
        if (const ExchangeDefinition* definition = FindExchange(key)) {
            exchanges[Text(definition->Name)] = ExchangeMember(*definition);
            saved.MemberOfKey.emplace(key, definition->Name);
        }
    }
}

// The settings are small and may be set from anywhere, so they are copied at every call.
void PutSettings(json& root) {
    const PluginSettings& current = Settings();
    json& settings = root["Settings"];
    settings["AllowMultiplier"] = current.AllowMultiplier;
    settings["ChatPrefix"] = Text(current.ChatPrefix);
    settings["MaxMultiplier"] = current.MaxMultiplier;
}

} // namespace

void UpdateConfigDocument() {
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
}

void WriteConfigDocument(const std::function<void(std::string_view text)>& write) {
    UpdateConfigDocument();
    const SavedDocument& saved = Saved();
    // Two-space indentation, non-ASCII written as UTF-8, no line break after the root's brace.
    const DocumentString text =
        saved.Root.dump(2, ' ', /*ensure_ascii=*/false, json::error_handler_t::strict);
    write(std::string_view(text.data(), text.size()));
}

void ReleaseConfigDocument() {
    DocumentStore& store = Store();
    store.Document = nullptr;
    // Every node and text of the document goes back to the heap at once, and the next document
    // gets fresh blocks in the order it is built.
    store.Pool.release();
}

} // namespace barterbox
