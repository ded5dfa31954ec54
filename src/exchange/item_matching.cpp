// Matching an inventory item against an item identifier; see item_matching.h.
#include "item_matching.h"

#include "host/engine_strings.h"
#include "host/game_calls.h"

namespace barterbox {
namespace {

std::string ClassPath(UClass* itemClass) {
    OwnedFString text(game_calls::ClassPathName(itemClass));
    return ToNarrowString(text.get());
}

std::string ClassName(UClass* itemClass) {
    FName* name = game_calls::ClassFName(itemClass);
    if (name == nullptr) {
        return {};
    }
    OwnedFString text(FNameToFString(name));
    return ToNarrowString(text.get());
}

bool Contains(std::string_view text, std::string_view identifier) {
    return identifier.size() <= text.size() && text.find(identifier) != std::string_view::npos;
}

} // namespace

const std::string& ClassPathText(UClass* itemClass, ClassTextMemo& memo) {
    auto [entry, added] = memo.Classes.try_emplace(itemClass);
    if (added) {
        entry->second.Path = ClassPath(itemClass);
    }
    return entry->second.Path;
}

bool ItemMatches(UPrimalItem* item, std::string_view identifier, ClassTextMemo* memo) {
    if (item == nullptr) {
        return false;
    }
    // The class is compared, never the item object itself, so that every item of a class
    // matches or fails alike.
    UClass* itemClass = game_calls::ItemClass(item);
    if (itemClass == nullptr) {
        return false;
    }
    if (memo == nullptr) {
        const std::string path = ClassPath(itemClass);
        return identifier.empty() || Contains(path, identifier) ||
               Contains(ClassName(itemClass), identifier);
    }
    // The path is asked even for an empty identifier: a memo holds every class it was shown,
    // which the exchange relies on to know what the player does not hold.
    const std::string& path = ClassPathText(itemClass, *memo);
    if (identifier.empty() || Contains(path, identifier)) {
        return true;
    }
    ClassTextMemo::Texts& texts = memo->Classes[itemClass];
    if (!texts.Name) {
        texts.Name = ClassName(itemClass);
    }
    return Contains(*texts.Name, identifier);
}

} // namespace barterbox
