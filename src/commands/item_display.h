// The name players read for an item: DisplayNames' entry for the item as written, else for its
// short name (the class without its path or "_C"), else the short name itself.
#pragma once

#include <string>
#include <string_view>

namespace barterbox {

std::string PlayerItemName(std::string_view item);

} // namespace barterbox
