// The ledgered host allocator; see allocator.h.
#include "allocator.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <mutex>
#include <sstream>

namespace hostsim {
namespace {

struct Ledger {
    std::mutex Mutex;
    std::map<const void*, LiveBuffer> Live;
    std::vector<std::string> Errors;
    AllocatorCounts PluginCounts;
    AllocatorCounts HostCounts;
    int FailuresPending = 0;
};

Ledger& TheLedger() {
    static Ledger ledger;
    return ledger;
}

AllocatorCounts& CountsOf(Ledger& ledger, BufferOwner owner) {
    return owner == BufferOwner::Plugin ? ledger.PluginCounts : ledger.HostCounts;
}

std::string Describe(const void* address) {
    std::ostringstream text;
    text << address;
    return text.str();
}

const char* NameOf(BufferOwner owner) {
    return owner == BufferOwner::Plugin ? "plugin" : "host";
}

} // namespace

void* Allocate(size_t bytes, BufferOwner owner, std::string origin) {
    Ledger& ledger = TheLedger();
    std::lock_guard lock(ledger.Mutex);
    if (owner == BufferOwner::Plugin && ledger.FailuresPending > 0) {
        --ledger.FailuresPending;
        return nullptr;
    }
    void* buffer = std::malloc(bytes == 0 ? 1 : bytes);
    if (buffer == nullptr) {
        return nullptr;
    }
    ledger.Live[buffer] = LiveBuffer{buffer, bytes, owner, std::move(origin)};
    ++CountsOf(ledger, owner).Allocations;
    CountsOf(ledger, owner).BytesAllocated += bytes;
    return buffer;
}

void Release(void* buffer, BufferOwner releaser) {
    if (buffer == nullptr) {
        return;
    }
    Ledger& ledger = TheLedger();
    std::lock_guard lock(ledger.Mutex);
    const auto it = ledger.Live.find(buffer);
    if (it == ledger.Live.end()) {
        ledger.Errors.push_back(std::string(NameOf(releaser)) + " freed " + Describe(buffer) +
                                ", which is not a live host buffer (double or foreign free)");
        return;
    }
    if (it->second.Owner != releaser) {
        ledger.Errors.push_back(std::string(NameOf(releaser)) + " freed " + Describe(buffer) +
                                ", a buffer owned by the " + NameOf(it->second.Owner) + " (" +
                                it->second.Origin + ")");
        return;
    }
    ++CountsOf(ledger, releaser).Releases;
    ledger.Live.erase(it);
    std::free(buffer);
}

void* Reallocate(void* buffer, size_t bytes, BufferOwner owner, std::string origin) {
    void* fresh = Allocate(bytes, owner, std::move(origin));
    if (fresh == nullptr || buffer == nullptr) {
        return fresh;
    }
    size_t oldBytes = 0;
    {
        Ledger& ledger = TheLedger();
        std::lock_guard lock(ledger.Mutex);
        const auto it = ledger.Live.find(buffer);
        if (it != ledger.Live.end()) {
            oldBytes = it->second.Bytes;
        }
    }
    std::copy_n(static_cast<const char*>(buffer), std::min(oldBytes, bytes),
                static_cast<char*>(fresh));
    Release(buffer, owner);
    return fresh;
}

std::vector<LiveBuffer> LiveBuffers(BufferOwner owner) {
    Ledger& ledger = TheLedger();
    std::lock_guard lock(ledger.Mutex);
    std::vector<LiveBuffer> result;
    for (const auto& [address, buffer] : ledger.Live) {
        if (buffer.Owner == owner) {
            result.push_back(buffer);
        }
    }
    return result;
}

std::vector<std::string> LedgerErrors() {
    Ledger& ledger = TheLedger();
    std::lock_guard lock(ledger.Mutex);
    return ledger.Errors;
}

void ClearLedgerErrors() {
    Ledger& ledger = TheLedger();
    std::lock_guard lock(ledger.Mutex);
    ledger.Errors.clear();
}

AllocatorCounts Counts(BufferOwner owner) {
    Ledger& ledger = TheLedger();
    std::lock_guard lock(ledger.Mutex);
    return CountsOf(ledger, owner);
}

void FailNextAllocations(int count) {
    Ledger& ledger = TheLedger();
    std::lock_guard lock(ledger.Mutex);
    ledger.FailuresPending = count;
}

} // namespace hostsim
