// The game's naming of generated classes, which the plugin, the stand-in host and the tools all
// follow: the class that a blueprint X generates is X_C, in its object name and in its path.
#pragma once

#include <string>
#include <string_view>

namespace barterbox {

// Whether `className` names the class generated from `name`: "X_C" for "X".
constexpr bool IsGeneratedClassOf(std::string_view className, std::string_view name) {
    return className.size() == name.size() + 2 && className.starts_with(name) &&
           className.ends_with("_C");
}

// The path of the class that a blueprint text names, as the game's GetPathName gives it: the
// Blueprint'...' form or a bare path .../X.X gives .../X.X_C, and a class path .../X.X_C stays
// as it is. A text without an object name (no "." after the last "/") gains "_C".
inline std::string GeneratedClassPath(std::string_view blueprint) {
    constexpr std::string_view kPrefix = "Blueprint'";
    if (blueprint.starts_with(kPrefix) && blueprint.size() > kPrefix.size() &&
        blueprint.ends_with('\'')) {
        blueprint = blueprint.substr(kPrefix.size(), blueprint.size() - kPrefix.size() - 1);
    }
    const size_t dot = blueprint.rfind('.');
    if (dot != std::string_view::npos) {
        const size_t slash = blueprint.rfind('/', dot);
        const size_t assetStart = slash == std::string_view::npos ? 0 : slash + 1;
        if (IsGeneratedClassOf(blueprint.substr(dot + 1),
                               blueprint.substr(assetStart, dot - assetStart))) {
            return std::string(blueprint);
        }
    }
    return std::string(blueprint) + "_C";
}

} // namespace barterbox
