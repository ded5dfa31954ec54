// The world's object table, as the engine's global object array: it owns every object, knows each
// one's kind and path name, and gives out the weak handles that go stale when an object is gone.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "game_objects.h"

namespace hostsim {

class ObjectTable {
public:
    // A new object in a free slot (the most recently freed first, as the engine reuses them).
    template <typename T> T* Create(ObjectKind kind, FName name, std::u16string path) {
        auto owner = std::make_shared<T>();
        T* object = owner.get();
        object->Base.InternalIndex = Place(std::move(owner), object, kind, std::move(path));
        object->Base.NamePrivate = name;
        return object;
    }

    // Frees the object and its slot; handles to it resolve to null from now on.
    void Destroy(const void* object);
    void Clear();

    // Null unless the address is a live object of that kind.
    template <typename T> T* Find(const void* object, ObjectKind kind) const {
        const Slot* slot = SlotOf(object);
        return slot != nullptr && slot->Kind == kind ? static_cast<T*>(slot->Owner.get()) : nullptr;
    }
    std::optional<ObjectKind> KindOf(const void* object) const;
    const std::u16string* PathOf(const void* object) const;

    FWeakObjectPtr HandleOf(const void* object) const;
    // The object a handle names, or null when its slot was freed (and perhaps reused) since.
    void* Resolve(const FWeakObjectPtr& handle) const;

private:
    struct Slot {
        std::shared_ptr<void> Owner; // empty for a free slot
        ObjectKind Kind = ObjectKind::Item;
        int32_t Serial = 0;
        std::u16string Path;
    };

    int32_t Place(std::shared_ptr<void> owner, const void* address, ObjectKind kind,
                  std::u16string path);
    const Slot* SlotOf(const void* object) const;

    std::vector<Slot> slots_;
    std::vector<int32_t> free_;
    std::unordered_map<const void*, int32_t> indexOf_;
    int32_t nextSerial_ = 1;
};

} // namespace hostsim
