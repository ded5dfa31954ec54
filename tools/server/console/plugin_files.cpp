// Showing and editing the plugin folder's files; see plugin_files.h.
#include "plugin_files.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/os_path.h"
#include "tools/server/output/event_output.h"

namespace barterbox::server {
namespace {

// Only a file directly in the plugin folder: a console line must not reach the rest of the disk.
std::filesystem::path PluginFilePath(const std::string& serverDir, const std::string& name) {
    if (name.empty() || name == "." || name == ".." ||
        name.find_first_of("/\\:") != std::string::npos) {
        throw std::invalid_argument("\"" + name + "\" is not a file name in the plugin folder");
    }
    return platform::OsPath(serverDir + "/ArkApi/Plugins/Barterbox/" + name);
}

} // namespace

void ShowPluginFile(const std::string& serverDir, const std::string& name) {
    const std::filesystem::path path = PluginFilePath(serverDir, name);
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        throw std::invalid_argument("no file " + name + " in the plugin folder");
    }
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::string line;
    while (std::getline(text, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        WriteLine("[file " + name + "] " + line);
    }
}

void EditPluginFile(const std::string& serverDir, const std::string& name,
                    const std::string& text) {
    const std::filesystem::path path = PluginFilePath(serverDir, name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
        throw std::invalid_argument("could not write " + name + " in the plugin folder");
    }
    ServerLine("wrote " + name + " by hand (" + std::to_string(text.size()) + " bytes)");
}

} // namespace barterbox::server
