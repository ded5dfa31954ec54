// How the game names an item class and the blueprint that generates it: the blueprint
// .../X.X generates the class .../X.X_C, named X_C, and the item-giving function knows the class
// by the blueprint as an asset reference Blueprint'.../X.X', as the bare .../X.X, or by the class
// path .../X.X_C.
#pragma once

#include <string>
#include <string_view>

namespace hostsim {

// The class path for a path written either way: .../X.X_C stays, any other .../X.Y (the
// blueprint) gains "_C". A blueprint whose own name ends in _C is still a blueprint: only the
// object name X_C after an asset named X marks a class path.
std::string ClassPathOf(std::string_view written);

// The class name in a class path: the text after its last ".".
std::string_view ClassNameOf(std::string_view classPath);

// Whether the text names, in a form the item-giving function takes, the item class whose path
// name is classPath (.../X.X_C). A class name alone is no blueprint.
bool BlueprintNames(std::string_view blueprint, std::string_view classPath);

} // namespace hostsim
