// Short display names for item identifiers and blueprint paths, as players see them in messages.
#pragma once

#include <string>
#include <string_view>

namespace barterbox {

// The last path segment without a closing apostrophe and without a generated-class "_C" suffix;
// a text without "/" comes back unchanged.
std::string ShortItemName(std::string_view identifier);

} // namespace barterbox
