// Which item classes a Receive entry hands out, as the undo and the room check must both know.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace barterbox {

// The classes a Receive entry may hand out. A blueprint X generates X_C, but a text that already
// ends in "_C" may be the class path itself, whatever its package is called (/Game/Odd/Pkg.Obj_C):
// the game takes both, so both are counted.
std::vector<std::string> ClassesHandedOutFor(std::string_view item);

// Whether an item of the class at `classPath` is of the class `wanted` (one of the above). A
// Receive item written as a bare name (no path) is compared with the class's name.
bool IsReceivedClass(std::string_view classPath, std::string_view wanted);

} // namespace barterbox
