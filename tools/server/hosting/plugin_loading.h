// Loading the plugin module from its file and unloading it, as the host does: the loader's attach
// runs the plugin's LoadPlugin; unloading calls Plugin_Unload and then detaches the module.
#pragma once

#include <string>

namespace barterbox::server {

// Loads the module; false with `error` set when the file cannot be loaded or has no
// Plugin_Unload. One module is loaded at a time.
bool LoadPluginModule(const std::string& path, std::string& error);

// Calls Plugin_Unload, then closes the module. Returns false when the module stayed in memory
// after closing, so that a later load would not start from fresh state. Does nothing when no
// module is loaded.
bool UnloadPluginModule();

bool PluginModuleLoaded();

// The module file next to the running program, where the build puts it.
std::string DefaultPluginPath();

// The same, with the server's lines: "[server] plugin loaded from FILE", "[server] plugin
// unloaded", or an error line. The caller holds the host lock.
bool LoadPluginAndReport(const std::string& path);
void UnloadPluginAndReport();

} // namespace barterbox::server
