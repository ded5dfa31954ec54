// The checks of a config against the item classes of a world: Give identifiers that no player
// could ever pay or that take more kinds of items than meant, and Receive blueprints the game
// would refuse.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "finding.h"
#include "tools/common/world_file.h"

namespace barterbox::tools {

// The item classes whose items the plugin takes for a Give identifier, matched as it matches
// inventory items: a substring of the class's full path name, or else of its class name;
// case-sensitive; the empty identifier matches every class.
std::vector<size_t> ClassesMatchingGive(const std::vector<WorldItemClass>& classes,
                                        std::string_view identifier);

// Findings for every exchange of a parsed config, whether or not the plugin keeps it.
std::vector<Finding> CheckAgainstWorld(const std::string& fileName, const nlohmann::json& document,
                                       const JsonLocations& locations,
                                       const WorldDescription& world);

// Without a world, the one thing the table alone shows: a Give identifier that matches a class
// its own exchange hands out without naming it ("PrimalItemResource_Metal" and the ingots of
// .../PrimalItemResource_MetalIngot), so that the exchange's product pays for it.
std::vector<Finding> CheckOwnProducts(const std::string& fileName, const nlohmann::json& document,
                                      const JsonLocations& locations);

} // namespace barterbox::tools
