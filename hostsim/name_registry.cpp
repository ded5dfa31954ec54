// The name registry and the host exports that resolve through it.
#include "name_registry.h"

#include <map>
#include <mutex>
#include <set>

#include "host/host_api.h"
#include "host_clock.h"

namespace hostsim {
namespace {

struct Entry {
    void* Function = nullptr;
    bool IsField = false;
    bool IsBitField = false;
    size_t Offset = 0;
    uint8_t BitPosition = 0;
    uint8_t NumBits = 0;
    ObjectCheck IsOwner;
};

struct Registry {
    std::mutex Mutex;
    std::map<std::string, Entry, std::less<>> Names;
    std::map<std::string, uint64_t, std::less<>> Counts;
    std::vector<std::string> Errors;
    // Names this host does not offer on purpose: looking one up is no fault of the plugin's.
    std::set<std::string, std::less<>> Withheld;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

// The entry for a name, counted as one resolution; null (and an error) when unknown.
const Entry* Lookup(Registry& registry, std::string_view name) {
    ++registry.Counts[std::string(name)];
    const auto it = registry.Names.find(name);
    if (it == registry.Names.end()) {
        if (!registry.Withheld.contains(name)) {
            registry.Errors.push_back("unknown game name: " + std::string(name));
        }
        return nullptr;
    }
    return &it->second;
}

bool OwnedBy(Registry& registry, const Entry& entry, const void* object, std::string_view name) {
    if (object == nullptr || (entry.IsOwner && !entry.IsOwner(object))) {
        registry.Errors.push_back("field " + std::string(name) +
                                  " resolved on an object that does not have it");
        return false;
    }
    return true;
}

} // namespace

void RegisterFunctionAddress(std::string name, void* function) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.Mutex);
    registry.Names[std::move(name)] = Entry{function, false, false, 0, 0, 0, {}};
}

void RegisterField(std::string name, size_t offset, ObjectCheck isOwner) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.Mutex);
    registry.Names[std::move(name)] = Entry{nullptr, true, false, offset, 0, 0, std::move(isOwner)};
}

void RegisterBitField(std::string name, size_t wordOffset, uint8_t bitPosition, uint8_t numBits,
                      ObjectCheck isOwner) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.Mutex);
    registry.Names[std::move(name)] =
        Entry{nullptr, false, true, wordOffset, bitPosition, numBits, std::move(isOwner)};
}

void UnregisterName(std::string_view name) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.Mutex);
    if (const auto it = registry.Names.find(name); it != registry.Names.end()) {
        registry.Names.erase(it);
    }
}

void WithholdName(std::string_view name) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.Mutex);
    if (const auto it = registry.Names.find(name); it != registry.Names.end()) {
        registry.Names.erase(it);
    }
    registry.Withheld.emplace(name);
}

bool IsRegisteredName(std::string_view name) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.Mutex);
    return registry.Names.contains(name);
}

void OfferEveryName() {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.Mutex);
    registry.Withheld.clear();
}

uint64_t ResolveCount(std::string_view name) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.Mutex);
    const auto it = registry.Counts.find(name);
    return it != registry.Counts.end() ? it->second : 0;
}

ResolveTotals TotalResolveCounts() {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.Mutex);
    ResolveTotals totals;
    for (const auto& [name, count] : registry.Counts) {
        const auto it = registry.Names.find(name);
        const bool function =
            it != registry.Names.end() && !it->second.IsField && !it->second.IsBitField;
        (function ? totals.Functions : totals.Fields) += count;
    }
    return totals;
}

void ResetResolveCounts() {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.Mutex);
    registry.Counts.clear();
}

std::vector<std::string> NameErrors() {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.Mutex);
    return registry.Errors;
}

void RecordNameError(std::string message) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.Mutex);
    registry.Errors.push_back(std::move(message));
}

void ClearNameErrors() {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.Mutex);
    registry.Errors.clear();
}

} // namespace hostsim

namespace AsaApi {

void* GetAddress(std::string_view name) {
    hostsim::HostEntry inHost;
    auto& registry = hostsim::TheRegistry();
    std::lock_guard lock(registry.Mutex);
    const hostsim::Entry* entry = hostsim::Lookup(registry, name);
    if (entry == nullptr || entry->IsField || entry->IsBitField) {
        return nullptr;
    }
    return entry->Function;
}

void* GetAddress(const void* object, std::string_view field) {
    hostsim::HostEntry inHost;
    auto& registry = hostsim::TheRegistry();
    std::lock_guard lock(registry.Mutex);
    const hostsim::Entry* entry = hostsim::Lookup(registry, field);
    if (entry == nullptr || !entry->IsField || !hostsim::OwnedBy(registry, *entry, object, field)) {
        return nullptr;
    }
    return const_cast<char*>(static_cast<const char*>(object)) + entry->Offset;
}

BitField GetBitField(const void* object, std::string_view field) {
    hostsim::HostEntry inHost;
    auto& registry = hostsim::TheRegistry();
    std::lock_guard lock(registry.Mutex);
    const hostsim::Entry* entry = hostsim::Lookup(registry, field);
    if (entry == nullptr || !entry->IsBitField ||
        !hostsim::OwnedBy(registry, *entry, object, field)) {
        return {};
    }
    auto* word = reinterpret_cast<uint32_t*>(const_cast<char*>(static_cast<const char*>(object)) +
                                             entry->Offset);
    return BitField{word, entry->BitPosition, entry->NumBits};
}

} // namespace AsaApi
