// Matching an inventory item against an item identifier; see item_matching.h.
#include "item_matching.h"

#include "host/engine_strings.h"
#include "host/game_calls.h"
#include "host/item_text_match.h"

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
        return ClassTextsMatch(
            ClassPath(itemClass), [itemClass] { return ClassName(itemClass); }, identifier);
    }
    // The path is asked even for an empty identifier: a memo holds every class it was shown,
    // which the exchange relies on to know what the player does not hold.
    const std::string& path = ClassPathText(itemClass, *memo);
    ClassTextMemo::Texts& texts = memo->Classes[itemClass];
    const auto name = [&]() -> const std::string& {
        if (!texts.Name) {
            texts.Name = ClassName(itemClass);
        }
        return *texts.Name;
    };
    return ClassTextsMatch(path, name, identifier);
}

} // namespace barterbox
