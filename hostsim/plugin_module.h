// The module file of the plugin the host loaded: the host knows each plugin by it, and the plugin
// must give exactly this path when it asks for its messenger.
#pragma once

#include <string>

namespace hostsim {

// Set by whoever loads the plugin (the simulated server, a test that links the plugin's code);
// ResetHost forgets it, and then no path is right.
void SetPluginModuleFile(std::string path);
std::string PluginModuleFile();

// The file of the loaded module that holds the address, as the system's loader names it (the
// name the plugin's own module lookup gives); empty when no module holds it.
std::string ModuleFileOf(const void* address);

} // namespace hostsim
