// Growing and shrinking the engine arrays that sit inside world objects. Their elements live in
// host memory, and every removal moves them to a fresh buffer, so that a reader that keeps an old
// element pointer across a change reads freed memory (which the sanitizer build reports).
#pragma once

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "host/engine_types.h"
#include "hostsim/allocator.h"

namespace hostsim {

template <typename T> void AppendElement(EngineArray<T>& array, T value, const char* origin) {
    if (array.Num == array.Max) {
        const int32_t capacity = array.Max < 4 ? 4 : array.Max * 2;
        void* fresh = Reallocate(array.Data, static_cast<size_t>(capacity) * sizeof(T),
                                 BufferOwner::Host, origin);
        if (fresh == nullptr) {
            throw std::bad_alloc();
        }
        array.Data = static_cast<T*>(fresh);
        array.Max = capacity;
    }
    array.Data[array.Num] = value;
    ++array.Num;
}

// Keeps the order of the other elements, as the game's own removal does.
template <typename T>
void RemoveElementAt(EngineArray<T>& array, int32_t index, const char* origin) {
    if (index < 0 || index >= array.Num) {
        throw std::out_of_range(std::string(origin) + ": index out of range");
    }
    const int32_t remaining = array.Num - 1;
    T* fresh = nullptr;
    if (remaining > 0) {
        fresh = static_cast<T*>(
            Allocate(static_cast<size_t>(remaining) * sizeof(T), BufferOwner::Host, origin));
        if (fresh == nullptr) {
            throw std::bad_alloc();
        }
        std::copy(array.Data, array.Data + index, fresh);
        std::copy(array.Data + index + 1, array.Data + array.Num, fresh + index);
    }
    Release(array.Data, BufferOwner::Host);
    array.Data = fresh;
    array.Num = remaining;
    array.Max = remaining;
}

template <typename T> void ReleaseElements(EngineArray<T>& array) {
    Release(array.Data, BufferOwner::Host);
    array = {};
}

} // namespace hostsim
