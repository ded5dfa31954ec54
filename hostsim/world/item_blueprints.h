// The blueprint texts by which the game's item-giving function knows an item class: the asset
// reference Blueprint'PATH', the bare object PATH, or the generated class PATH_C.
#pragma once

#include <string_view>

namespace hostsim {

// Whether the text names the item class whose full path name is classPath.
bool BlueprintNames(std::string_view blueprint, std::string_view classPath);

} // namespace hostsim
