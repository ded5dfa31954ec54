// Setting a variable in the process's own environment, where the C library's getenv finds it: how
// the simulated server hands settings for the stand-in's sake (a fixed clock) to the plugin it
// loads.
#pragma once

#include <string>

namespace barterbox::platform {

// True when the variable now holds the value.
bool SetProcessEnvironment(const std::string& name, const std::string& value);

} // namespace barterbox::platform
