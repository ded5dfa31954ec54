// Whether an inventory item is of the kind a configured item identifier names.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "host/engine_types.h"

namespace barterbox {

// The texts of the item classes met during one exchange. A class's path and name cannot change
// while an exchange runs, so they are asked of the game once per class instead of once per item
// visit; game names are still resolved at every call. Every class an item match was asked of is
// in it, with its path. Lives no longer than the exchange.
struct ClassTextMemo {
    struct Texts {
        std::string Path;
        std::optional<std::string> Name; // fetched only when a path test fails
    };
    std::unordered_map<const UClass*, Texts> Classes;
};

// The identifier is looked for, case-sensitively, in the full path name of the item's class and
// then in the class's name; an empty identifier matches every item that has a class. Null items
// and items without a class never match.
bool ItemMatches(UPrimalItem* item, std::string_view identifier, ClassTextMemo* memo = nullptr);

// The class's full path name, asked of the game once per class and memo.
const std::string& ClassPathText(UClass* itemClass, ClassTextMemo& memo);

} // namespace barterbox
