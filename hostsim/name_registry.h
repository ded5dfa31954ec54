// The game's names as the host resolves them: functions by name, fields by object and name. It
// counts every resolution, so tests can prove that the plugin looks names up at each use.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace hostsim {

void RegisterFunctionAddress(std::string name, void* function);

// Registers a function against the exact pointer type the plugin calls it through.
template <typename Fn> void RegisterFunction(std::string name, Fn function) {
    RegisterFunctionAddress(std::move(name), std::bit_cast<void*>(function));
}

// A field at a byte offset inside objects that `isOwner` accepts; resolving it on any other
// object is recorded as a host error and gives null, as a crash in the game would stop a bug.
using ObjectCheck = std::function<bool(const void* object)>;
void RegisterField(std::string name, size_t offset, ObjectCheck isOwner);
void RegisterBitField(std::string name, size_t wordOffset, uint8_t bitPosition, uint8_t numBits,
                      ObjectCheck isOwner);
void UnregisterName(std::string_view name);
// The host does not offer the name, as a host whose game lacks it: it is unregistered, and a
// lookup gives null like that of any unknown name, but is not recorded as the plugin's fault.
void WithholdName(std::string_view name);
bool IsRegisteredName(std::string_view name);
// Forgets which names were withheld (a fresh host).
void OfferEveryName();

// How often the name was resolved since the last reset.
uint64_t ResolveCount(std::string_view name);
void ResetResolveCounts();

// Every resolution since the last reset, of game functions (each one is then called) and of
// fields; unknown names count as fields.
struct ResolveTotals {
    uint64_t Functions = 0;
    uint64_t Fields = 0;
};
ResolveTotals TotalResolveCounts();

// Lookups of unknown names and of fields on objects of the wrong kind.
std::vector<std::string> NameErrors();
// A game function called on an object it does not belong to: the same kind of fault, recorded
// with the lookups above.
void RecordNameError(std::string message);
void ClearNameErrors();

} // namespace hostsim
