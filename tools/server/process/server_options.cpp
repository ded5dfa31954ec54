// The command line of barterbox-server; see server_options.h.
#include "server_options.h"

#include <CLI/CLI.hpp>

#include "tools/server/hosting/plugin_clock.h"
#include "tools/server/hosting/plugin_loading.h"

namespace barterbox::server {

namespace {

// The folders and files the server works with.
void AddFileOptions(CLI::App& app, ServerOptions& options) {
    app.add_option("--server-dir", options.ServerDir,
                   "the server folder; the plugin's config is "
                   "DIR/ArkApi/Plugins/Barterbox/config.json")
        ->capture_default_str();
    app.add_option("--world", options.WorldFile,
                   "the world file: item classes and players (default: an empty world)");
    app.add_option("--plugin", options.PluginFile, "the plugin module to load")
        ->capture_default_str();
    app.add_option("--script", options.ScriptFile,
                   "read console lines from FILE instead of standard input");
}

struct RconOptions {
    CLI::Option* Port;
    CLI::Option* Password;
};

// The RCON endpoint's options: a port and a password come together, and the others only with a
// port.
RconOptions AddRconOptions(CLI::App& app, ServerOptions& options, uint16_t& port) {
    CLI::Option* portOption =
        app.add_option("--rcon-port", port,
                       "serve RCON on 127.0.0.1:N (0 picks a free port, which is printed)")
            ->check(CLI::Range(0, 65535));
    CLI::Option* passwordOption =
        app.add_option("--rcon-password", options.RconPassword, "the password RCON clients send");
    CLI::Option* connectionsOption =
        app.add_option("--rcon-max-connections", options.RconMaxConnections,
                       "serve at most N RCON connections at once; more are closed as they come")
            ->check(CLI::Range(1, 1000))
            ->capture_default_str();
    CLI::Option* serveOption = app.add_flag(
        "--serve", options.Serve,
        "keep serving RCON after the input ends, until SIGINT or SIGTERM, then unload cleanly");
    portOption->needs(passwordOption);
    passwordOption->needs(portOption);
    serveOption->needs(portOption);
    connectionsOption->needs(portOption);
    return {portOption, passwordOption};
}

// Empty for a UTC time, with or without milliseconds, else why the text is not one.
std::string NotAUtcTime(const std::string& time) {
    return ReadClockTime(time) ? std::string()
                               : "not a UTC time from 1970 to 2199 like "
                                 "2026-12-08T15:25:01.123Z or 2026-12-08T15:25:01Z";
}

// What the host shows the plugin of the game: the spelling of its names, the names it lacks, the
// clock the plugin reads, and whether the Permissions plugin runs beside it.
void AddGameOptions(CLI::App& app, ServerOptions& options, std::string& hostNames) {
    app.add_option("--host-names", hostNames,
                   "default: the game's names as the plugin is built on them; current: as the "
                   "host's current headers spell them (BaseGetPlayerCharacter)")
        ->check(CLI::IsMember({"default", "current"}))
        ->capture_default_str();
    app.add_option("--without", options.Without,
                   "leave the game name NAME out of the host, as a server whose game lacks it "
                   "(repeatable)")
        ->type_name("NAME");
    app.add_option("--fixed-clock", options.FixedClock,
                   "stop the plugin's clock at TIME (UTC, 2026-12-08T15:25:01.123Z or "
                   "2026-12-08T15:25:01Z), so that its records are the same on every run")
        ->check(CLI::Validator(NotAUtcTime, "TIME"));
    app.add_flag("--without-permissions", options.WithoutPermissions,
                 "do not load the Permissions module beside the plugin, as on a server without "
                 "the Permissions plugin");
}

std::vector<const char*> ArgumentPointers(const std::vector<std::string>& arguments) {
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    return argv;
}

} // namespace

OptionsResult ParseServerOptions(const std::vector<std::string>& arguments) {
    OptionsResult result;
    ServerOptions& options = result.Options;
    options.ServerDir = ".";
    options.PluginFile = DefaultPluginPath();

    CLI::App app{"The simulated ARK dedicated server: loads the Barterbox plugin module into the "
                 "stand-in host and runs console lines, a script or RCON requests against it."};
    // Options start with "-" on every platform; on Windows "/" would otherwise start one too, and
    // take an absolute path for an option.
    app.allow_windows_style_options(false);
    AddFileOptions(app, options);
    uint16_t port = 0;
    const RconOptions rcon = AddRconOptions(app, options, port);
    app.add_flag("--no-color", options.NoColour, "never colour the output");
    std::string hostNames = "default";
    AddGameOptions(app, options, hostNames);

    std::vector<const char*> argv = ArgumentPointers(arguments);
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
        options.CurrentHostNames = hostNames == "current";
        if (*rcon.Password && options.RconPassword.empty()) {
            throw CLI::ValidationError("--rcon-password", "an RCON password cannot be empty");
        }
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error);
        result.ExitStatus = status == 0 ? 0 : 2;
        return result;
    }
    if (*rcon.Port) {
        options.RconPort = port;
    }
    if (!options.FixedClock.empty()) {
        // The plugin reads only the form with milliseconds.
        options.FixedClock = ClockTimeText(*ReadClockTime(options.FixedClock));
    }
    return result;
}

} // namespace barterbox::server
