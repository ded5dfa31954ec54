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

// The class name in a class path: the text after its last ".".
constexpr std::string_view ClassNameOf(std::string_view classPath) {
    const size_t dot = classPath.rfind('.');
    return dot == std::string_view::npos ? classPath : classPath.substr(dot + 1);
}

// Whether the text names, in a form the item-giving function takes, the item class whose path
// name is classPath (.../X.X_C): its blueprint as an asset reference Blueprint'.../X.X', as the
// bare .../X.X, or the class path itself. A class name alone is no blueprint.
constexpr bool BlueprintNames(std::string_view blueprint, std::string_view classPath) {
    constexpr std::string_view kPrefix = "Blueprint'";
    std::string_view path = blueprint;
    if (path.starts_with(kPrefix) && path.size() > kPrefix.size() && path.ends_with('\'')) {
        path = path.substr(kPrefix.size(), path.size() - kPrefix.size() - 1);
    }
    if (path.empty() || classPath.empty()) {
        return false;
    }
    if (path == classPath) {
        return true;
    }
    // The blueprint itself: the class path without its "_C".
    return IsGeneratedClassOf(classPath, path);
}

} // namespace barterbox
