// Where the plugin keeps its file: the plugin folder under the server directory, and config.json.
#pragma once

#include <string>

namespace barterbox {

// Empty until LoadPlugin forms them.
std::string& PluginFolder();
std::string& ConfigPath();

// Joins with forward slashes whatever the platform, and creates no folder.
void FormPluginPaths(const std::string& serverDirectory);

} // namespace barterbox
