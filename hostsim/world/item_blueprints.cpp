// The game's names for an item class and its blueprint; see item_blueprints.h.
#include "item_blueprints.h"

#include "host/class_names.h"

namespace hostsim {

std::string ClassPathOf(std::string_view written) {
    return barterbox::GeneratedClassPath(written);
}

std::string_view ClassNameOf(std::string_view classPath) {
    const size_t dot = classPath.rfind('.');
    return dot == std::string_view::npos ? classPath : classPath.substr(dot + 1);
}

bool BlueprintNames(std::string_view blueprint, std::string_view classPath) {
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
    return barterbox::IsGeneratedClassOf(classPath, path);
}

} // namespace hostsim
