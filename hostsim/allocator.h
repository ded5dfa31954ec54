// The host allocator behind FMemory.Malloc and FMemory.Free, with a ledger of every live buffer
// so that tests and the simulated server can see leaks, double frees and foreign frees.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace hostsim {

// Who must give a buffer back: the plugin (everything it allocates, builds, or has the game fill
// for it) or the host itself (world arrays, the texts it hands to command handlers).
enum class BufferOwner { Plugin, Host };

struct LiveBuffer {
    const void* Address;
    size_t Bytes;
    BufferOwner Owner;
    std::string Origin; // what asked for it, e.g. "FMemory.Malloc" or "FString(const char*)"
};

// Null when the allocator was told to fail (see FailNextAllocations).
void* Allocate(size_t bytes, BufferOwner owner, std::string origin);
// Releases a buffer on behalf of `releaser`. A double free, an unknown pointer, or the plugin
// releasing a host buffer is recorded as a ledger error and leaves memory untouched.
void Release(void* buffer, BufferOwner releaser);
void* Reallocate(void* buffer, size_t bytes, BufferOwner owner, std::string origin);

std::vector<LiveBuffer> LiveBuffers(BufferOwner owner);
std::vector<std::string> LedgerErrors();
void ClearLedgerErrors();

struct AllocatorCounts {
    uint64_t Allocations = 0;
    uint64_t Releases = 0;
    uint64_t BytesAllocated = 0;
};
AllocatorCounts Counts(BufferOwner owner);

// Makes the next `count` allocations of plugin buffers fail (return null).
void FailNextAllocations(int count);

} // namespace hostsim
