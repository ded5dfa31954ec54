// The world's object table; see object_table.h.
#include "object_table.h"

namespace hostsim {

int32_t ObjectTable::Place(std::shared_ptr<void> owner, const void* address, ObjectKind kind,
                           std::u16string path) {
    int32_t index = 0;
    if (!free_.empty()) {
        index = free_.back();
        free_.pop_back();
    } else {
        index = static_cast<int32_t>(slots_.size());
        slots_.emplace_back();
    }
    Slot& slot = slots_[static_cast<size_t>(index)];
    slot.Owner = std::move(owner);
    slot.Kind = kind;
    slot.Serial = nextSerial_++;
    slot.Path = std::move(path);
    indexOf_[address] = index;
    return index;
}

void ObjectTable::Destroy(const void* object) {
    const auto it = indexOf_.find(object);
    if (it == indexOf_.end()) {
        return;
    }
    Slot& slot = slots_[static_cast<size_t>(it->second)];
    slot.Owner.reset();
    slot.Path.clear();
    free_.push_back(it->second);
    indexOf_.erase(it);
}

void ObjectTable::Clear() {
    indexOf_.clear();
    free_.clear();
    slots_.clear();
}

const ObjectTable::Slot* ObjectTable::SlotOf(const void* object) const {
    const auto it = indexOf_.find(object);
    return it != indexOf_.end() ? &slots_[static_cast<size_t>(it->second)] : nullptr;
}

std::optional<ObjectKind> ObjectTable::KindOf(const void* object) const {
    const Slot* slot = SlotOf(object);
    return slot != nullptr ? std::optional(slot->Kind) : std::nullopt;
}

const std::u16string* ObjectTable::PathOf(const void* object) const {
    const Slot* slot = SlotOf(object);
    return slot != nullptr ? &slot->Path : nullptr;
}

FWeakObjectPtr ObjectTable::HandleOf(const void* object) const {
    const auto it = indexOf_.find(object);
    if (it == indexOf_.end()) {
        return {};
    }
    return FWeakObjectPtr{it->second, slots_[static_cast<size_t>(it->second)].Serial};
}

void* ObjectTable::Resolve(const FWeakObjectPtr& handle) const {
    if (handle.ObjectIndex < 0 || static_cast<size_t>(handle.ObjectIndex) >= slots_.size()) {
        return nullptr;
    }
    const Slot& slot = slots_[static_cast<size_t>(handle.ObjectIndex)];
    return slot.Owner && slot.Serial == handle.ObjectSerialNumber ? slot.Owner.get() : nullptr;
}

} // namespace hostsim
