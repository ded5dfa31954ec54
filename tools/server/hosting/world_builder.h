// Building the simulated world from a world file's records: the item classes, then the players
// with their inventories, split into stacks as the game would hand them out.
#pragma once

#include <string>

#include "hostsim/world/world.h"
#include "tools/common/world_file.h"

namespace barterbox::server {

// Fills an empty world. False with `error` set when the world refuses something the file reader
// let through (an inventory that does not fit its slots, for one).
bool BuildWorld(const tools::WorldDescription& contents, hostsim::World& world, std::string& error);

} // namespace barterbox::server
