// The module file of the plugin the host loaded: the host knows each plugin by it, and the plugin
// must give exactly this path when it asks for its messenger.
#pragma once

#include <string>

namespace hostsim {

// Set by whoever loads the plugin (the simulated server, a test that links the plugin's code);
// ResetHost forgets it, and then no path is right.
void SetPluginModuleFile(std::string path);
std::string PluginModuleFile();

} // namespace hostsim
