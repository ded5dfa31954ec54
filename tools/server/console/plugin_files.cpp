// Showing and editing the plugin folder's files; see plugin_files.h.
#include "plugin_files.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "platform/file_calls.h"
#include "tools/common/text_file.h"
#include "tools/server/output/event_output.h"

namespace barterbox::server {
namespace {

using tools::ReadTextFile;

// Windows' device names, which name a device in every folder whatever follows a dot ("NUL.txt"),
// with trailing spaces and in any case. Refused on every platform, so that a console line does
// the same everywhere; no plugin keeps a file of such a name.
bool IsDeviceName(std::string_view name) {
    std::string stem(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ') {
        stem.pop_back();
    }
    std::transform(stem.begin(), stem.end(), stem.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    static constexpr std::array<std::string_view, 6> kDevices = {"CON", "PRN",    "AUX",
                                                                 "NUL", "CONIN$", "CONOUT$"};
    if (std::find(kDevices.begin(), kDevices.end(), stem) != kDevices.end()) {
        return true;
    }
    const std::string_view port(stem);
    if (!port.starts_with("COM") && !port.starts_with("LPT")) {
        return false;
    }
    // COM1 to COM9 and LPT1 to LPT9, and the superscript digits 1 to 3 that Windows takes too.
    const std::string_view number = port.substr(3);
    return (number.size() == 1 && number[0] >= '1' && number[0] <= '9') || number == "\xC2\xB9" ||
           number == "\xC2\xB2" || number == "\xC2\xB3";
}

// Only a regular file directly in the plugin folder, or (for show) in its audit folder, never
// through a link and never a device: a console line must not reach the rest of the disk, nor wait
// on a pipe.
std::string PluginFilePath(const std::string& serverDir, const std::string& name, bool auditToo) {
    constexpr std::string_view kAudit = "audit/";
    const bool inAudit = auditToo && name.starts_with(kAudit);
    const std::string file = inAudit ? name.substr(kAudit.size()) : name;
    if (file.empty() || file == "." || file == ".." ||
        file.find_first_of("/\\:") != std::string::npos) {
        throw std::invalid_argument("\"" + name + "\" is not a file name in the plugin folder");
    }
    if (IsDeviceName(file)) {
        throw std::invalid_argument("\"" + name +
                                    "\" names a device, not a file in the plugin "
                                    "folder");
    }
    if (inAudit && platform::IsLink(serverDir + "/ArkApi/Plugins/Barterbox/audit")) {
        throw std::invalid_argument("audit is a link; show and edit reach only the plugin "
                                    "folder's own files");
    }
    const std::string path = serverDir + "/ArkApi/Plugins/Barterbox/" + name;
    if (platform::IsLink(path)) {
        throw std::invalid_argument(name + " is a link; show and edit reach only the plugin "
                                           "folder's own files");
    }
    const platform::FileFacts facts = platform::FactsOfPath(path);
    if (facts.Exists && !facts.Regular) {
        throw std::invalid_argument(name + " is not a regular file");
    }
    return path;
}

} // namespace

void ShowPluginFile(const std::string& serverDir, const std::string& name) {
    std::string reason;
    const std::optional<std::string> text =
        ReadTextFile(PluginFilePath(serverDir, name, true), reason);
    if (!text) {
        throw std::invalid_argument("no file " + name + " in the plugin folder");
    }
    std::string_view rest(*text);
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find('\n'), rest.size());
        std::string_view line = rest.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        WriteLine("[file " + name + "] " + std::string(line));
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
}

void EditPluginFile(const std::string& serverDir, const std::string& name,
                    const std::string& text) {
    const std::string path = PluginFilePath(serverDir, name, false);
    std::FILE* file = platform::OpenFile(path, "wb");
    bool written = file != nullptr &&
                   std::fwrite(text.data(), 1, text.size(), file) == text.size() &&
                   std::fflush(file) == 0;
    written = (file == nullptr || std::fclose(file) == 0) && written;
    if (!written) {
        throw std::invalid_argument("could not write " + name + " in the plugin folder");
    }
    ServerLine("wrote " + name + " by hand (" + std::to_string(text.size()) + " bytes)");
}

} // namespace barterbox::server
