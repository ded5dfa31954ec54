// The game's blueprint forms for an item class; see item_blueprints.h.
#include "item_blueprints.h"

namespace hostsim {

bool BlueprintNames(std::string_view blueprint, std::string_view classPath) {
    constexpr std::string_view kPrefix = "Blueprint'";
    std::string_view path = blueprint;
    if (path.starts_with(kPrefix) && path.size() > kPrefix.size() && path.ends_with('\'')) {
        path = path.substr(kPrefix.size(), path.size() - kPrefix.size() - 1);
    }
    if (classPath.empty()) {
        return false;
    }
    if (path == classPath) {
        return true;
    }
    return path.ends_with("_C") && path.substr(0, path.size() - 2) == classPath;
}

} // namespace hostsim
