// The command line of barterbox-server.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace barterbox::server {

struct ServerOptions {
    std::string ServerDir;            // the host's GetCurrentDir; the plugin's config sits below it
    std::string WorldFile;            // empty: an empty world
    std::string PluginFile;           // the module to load
    std::string ScriptFile;           // empty: standard input
    std::optional<uint16_t> RconPort; // 0 lets the system pick a free port
    std::string RconPassword;
    size_t RconMaxConnections = 32; // served at once; more are closed as they come
    bool Serve = false; // keep serving RCON after the input ends, until SIGINT or SIGTERM
    bool NoColour = false;
    // The game's names as the host's current headers spell them, not as the plugin was built on.
    bool CurrentHostNames = false;
    std::vector<std::string> Without; // game names the host leaves out
    // Empty: the plugin keeps the system's clock. Always with milliseconds, as the plugin reads it.
    std::string FixedClock;
    bool WithoutPermissions = false; // no Permissions module beside the plugin
};

// The options, or the exit status when the program should stop at once (0 after --help, 2 after
// a usage error, which has been printed).
struct OptionsResult {
    ServerOptions Options;
    std::optional<int> ExitStatus;
};

// From the program's arguments as UTF-8 text, its own name first.
OptionsResult ParseServerOptions(const std::vector<std::string>& arguments);

} // namespace barterbox::server
