// Matching an inventory item against an item identifier; see item_matching.h.
#include "item_matching.h"

#include <string>

#include "host/engine_strings.h"
#include "host/game_calls.h"

namespace barterbox {

bool ItemMatches(UPrimalItem* item, std::string_view identifier) {
    if (item == nullptr) {
        return false;
    }
    // The class is compared, never the item object itself, so that every item of a class
    // matches or fails alike.
    UClass* itemClass = game_calls::ItemClass(item);
    if (itemClass == nullptr) {
        return false;
    }
    std::string path;
    {
        OwnedFString pathText(game_calls::ClassPathName(itemClass));
        path = ToNarrowString(pathText.get());
    }
    if (identifier.empty()) {
        return true;
    }
    if (identifier.size() <= path.size() && path.find(identifier) != std::string::npos) {
        return true;
    }
    FName* className = game_calls::ClassFName(itemClass);
    if (className == nullptr) {
        return false;
    }
    OwnedFString nameText(FNameToFString(className));
    return ToNarrowString(nameText.get()).find(identifier) != std::string::npos;
}

} // namespace barterbox
