// The name players read for an item: DisplayNames' entry for the item as written, else for its
// short name (the last path segment without "_C"), else for its class (a blueprint's object
// name, PrimalItemResource_ChitinPaste), else the short name itself.
#pragma once

#include <string>
#include <string_view>

namespace barterbox {

std::string PlayerItemName(std::string_view item);

} // namespace barterbox
