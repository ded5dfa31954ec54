// Whether an inventory item is of the kind a configured item identifier names.
#pragma once

#include <string_view>

#include "host/engine_types.h"

namespace barterbox {

// The identifier is looked for, case-sensitively, in the full path name of the item's class and
// then in the class's name; an empty identifier matches every item that has a class. Null items
// and items without a class never match.
bool ItemMatches(UPrimalItem* item, std::string_view identifier);

} // namespace barterbox
