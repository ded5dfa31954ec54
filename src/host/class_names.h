// The game's naming of generated classes, which the plugin, the stand-in host and the tools all
// follow: the class that a blueprint X generates is X_C, in its object name and in its path.
#pragma once

#include <string_view>

namespace barterbox {

// Whether `className` names the class generated from `name`: "X_C" for "X".
constexpr bool IsGeneratedClassOf(std::string_view className, std::string_view name) {
    return className.size() == name.size() + 2 && className.starts_with(name) &&
           className.ends_with("_C");
}

} // namespace barterbox
