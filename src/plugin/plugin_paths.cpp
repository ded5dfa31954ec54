// The plugin's two process-wide paths; see plugin_paths.h.
#include "plugin_paths.h"

namespace barterbox {

// Function-local, so that they exist before the module's attach runs.
std::string& PluginFolder() {
    static std::string folder;
    return folder;
}

std::string& ConfigPath() {
    static std::string path;
    return path;
}

void FormPluginPaths(const std::string& serverDirectory) {
    PluginFolder() = serverDirectory + "/ArkApi/Plugins/Barterbox";
    ConfigPath() = PluginFolder() + "/config.json";
}

} // namespace barterbox
