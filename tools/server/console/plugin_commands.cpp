// The plugin's commands as the console shows them; see plugin_commands.h.
#include "plugin_commands.h"

#include <algorithm>

#include "commands/command_names.h"
#include "host/ascii_case.h"
#include "hostsim/command_registry.h"

namespace barterbox::server {
namespace {

// The plugin ignores its administrators' commands silently for anyone who is not one, as a game
// server's plugin must; the simulated server says so instead, since the silence puzzles whoever
// tries.
bool IsAdministratorsCommand(std::string_view word) {
    return std::any_of(std::begin(kCommandNames), std::end(kCommandNames),
                       [&](const CommandName& command) {
                           return command.Audience == CommandAudience::Administrators &&
                                  EqualIgnoringAsciiCase(command.Name, word);
                       });
}

std::string Joined(const std::vector<std::string>& names) {
    std::string joined;
    for (const std::string& name : names) {
        joined += (joined.empty() ? "" : ", ") + name;
    }
    return joined;
}

} // namespace

std::vector<std::string> RegisteredCommandLines() {
    const struct {
        const char* Label;
        hostsim::HandlerKind Kind;
    } kinds[] = {{"chat:    ", hostsim::HandlerKind::Chat},
                 {"console: ", hostsim::HandlerKind::Console},
                 {"RCON:    ", hostsim::HandlerKind::Rcon}};
    std::vector<std::string> lines;
    for (const auto& kind : kinds) {
        const std::vector<std::string> names = hostsim::RegisteredNames(kind.Kind);
        if (!names.empty()) {
            lines.push_back("  " + std::string(kind.Label) + Joined(names));
        }
    }
    if (lines.empty()) {
        return {"the plugin has registered no commands (it is not loaded)"};
    }
    lines.insert(lines.begin(), "commands the plugin registered with the host:");
    return lines;
}

std::optional<std::string> IgnoredForNonAdministrator(std::string_view player, bool administrator,
                                                      std::string_view line) {
    if (administrator) {
        return std::nullopt;
    }
    const std::string_view word = line.substr(0, line.find(' '));
    if (!IsAdministratorsCommand(word)) {
        return std::nullopt;
    }
    for (const std::string& name : hostsim::RegisteredNames(hostsim::HandlerKind::Console)) {
        if (EqualIgnoringAsciiCase(name, word)) {
            return std::string(player) + " is not an administrator, so the plugin ignored " + name +
                   " without a reply";
        }
    }
    return std::nullopt;
}

} // namespace barterbox::server
