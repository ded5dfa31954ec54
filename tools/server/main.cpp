// barterbox-server: the simulated dedicated server. It builds a world, loads the real plugin module
// into the stand-in host, runs operator lines (and RCON requests) against it, unloads the module
// and checks the host's allocator ledger. Exit status 0 when clean, 1 on a fault (a module that
// does not load, a leak or ledger error at exit), 2 on a usage, script or world file error.
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "hostsim/command_registry.h"
#include "hostsim/host_environment.h"
#include "hostsim/host_tick.h"
#include "hostsim/name_registry.h"
#include "hostsim/record_limit.h"
#include "platform/os_path.h"
#include "platform/process_environment.h"
#include "tools/common/program_arguments.h"
#include "tools/common/world_file.h"
#include "tools/server/console/console_commands.h"
#include "tools/server/console/console_completion.h"
#include "tools/server/console/console_input.h"
#include "tools/server/console/console_language.h"
#include "tools/server/console/webhook_command.h"
#include "tools/server/hosting/host_events.h"
#include "tools/server/hosting/host_ticks.h"
#include "tools/server/hosting/ledger_check.h"
#include "tools/server/hosting/permissions_loading.h"
#include "tools/server/hosting/plugin_loading.h"
#include "tools/server/hosting/server_context.h"
#include "tools/server/hosting/world_builder.h"
#include "tools/server/output/console_log_sink.h"
#include "tools/server/output/event_output.h"
#include "tools/server/output/output_writer.h"
#include "tools/server/output/standard_output.h"
#include "tools/server/process/server_options.h"
#include "tools/server/process/stop_signal.h"
#include "tools/server/rcon/rcon_dispatch.h"
#include "tools/server/rcon/rcon_endpoint.h"

namespace {

using namespace barterbox::server;
namespace fs = std::filesystem;
namespace platform = barterbox::platform;

constexpr int kExitClean = 0;
constexpr int kExitFault = 1;
constexpr int kExitUsage = 2;

std::string Count(size_t count, const std::string& one, const std::string& many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// What tab completion offers, gathered afresh at each press: players come and go, and the
// plugin's commands and exchanges change as the session goes on.
CompletionSources GatherCompletionSources() {
    ServerContext& server = Server();
    CompletionSources sources;
    sources.Exchanges =
        ExchangeNamesInConfig(server.ServerDir + "/ArkApi/Plugins/Barterbox/config.json");
    std::lock_guard lock(server.HostMutex);
    for (const hostsim::PlayerInfo& player : server.World->Players()) {
        sources.Players.push_back(player.Name);
        sources.EosIds.push_back(player.EosId);
        sources.Groups.insert(sources.Groups.end(), player.Groups.begin(), player.Groups.end());
    }
    for (const hostsim::ItemClassInfo& itemClass : server.World->ItemClasses()) {
        sources.ItemClasses.push_back(itemClass.Name);
        sources.ItemBlueprints.push_back(BlueprintFormOf(itemClass.Path));
    }
    sources.ChatCommands = hostsim::RegisteredNames(hostsim::HandlerKind::Chat);
    sources.ConsoleCommands = hostsim::RegisteredNames(hostsim::HandlerKind::Console);
    sources.RconCommands = hostsim::RegisteredNames(hostsim::HandlerKind::Rcon);
    return sources;
}

// The network clients' way into the host: under the host lock, as the console's lines are.
RconServices NetworkRconServices() {
    RconServices services;
    services.Open = [] {
        std::lock_guard lock(Server().HostMutex);
        return Server().World->OpenRconConnection();
    };
    services.Close = [](RCONClientConnection* connection) {
        std::lock_guard lock(Server().HostMutex);
        Server().World->CloseRconConnection(connection);
    };
    services.Run = [](RCONClientConnection* connection, int32_t id, const std::string& body) {
        std::lock_guard lock(Server().HostMutex);
        RconOutcome outcome = DispatchRconRequest(*Server().World, connection, id, body);
        Server().World->CollectGarbage();
        if (!outcome.Handled) {
            ServerLine(UnhandledLine("RCON", body));
        }
        return outcome.Replies;
    };
    return services;
}

// Operator lines until quit, the end of input or a stop signal; true when quit ended them. Lines
// that were not typed at a terminal are echoed, so that the output reads as a transcript.
bool RunConsole() {
    while (std::optional<std::string> line = ReadConsoleLine()) {
        if (!line->empty() && line->back() == '\r') {
            line->pop_back();
        }
        if (!ConsoleIsInteractive() && line->find_first_not_of(" \t") != std::string::npos) {
            WriteLine("> " + *line);
        }
        const ConsoleParse parsed = ParseConsoleLine(*line);
        if (const auto* error = std::get_if<ConsoleError>(&parsed)) {
            ServerError(error->Message);
            continue;
        }
        if (!RunConsoleCommand(std::get<ConsoleCommand>(parsed))) {
            return true;
        }
    }
    return false;
}

// ---- The steps of a session, in the order Serve takes them ----

// The server folder as an absolute path, with its plugin folder, which must exist for the plugin's
// saves; a real server has it, as the module lives there.
bool PrepareServerFolder(const std::string& given, std::string& serverDir) {
    std::error_code error;
    const fs::path absolute = fs::absolute(platform::OsPath(given), error);
    if (error) {
        std::fprintf(stderr, "barterbox-server: %s: %s\n", given.c_str(), error.message().c_str());
        return false;
    }
    serverDir = platform::Utf8Path(absolute.lexically_normal());
    while (serverDir.size() > 1 && serverDir.back() == '/') {
        serverDir.pop_back();
    }
    const fs::path pluginFolder = platform::OsPath(serverDir) / "ArkApi/Plugins/Barterbox";
    fs::create_directories(pluginFolder, error);
    if (error) {
        std::fprintf(stderr, "barterbox-server: cannot create %s: %s\n",
                     platform::Utf8Path(pluginFolder).c_str(), error.message().c_str());
        return false;
    }
    return true;
}

// The script, when one is given, in place of standard input; one that cannot be read stops the
// server before the host starts.
bool OpenScript(const std::string& scriptFile) {
    if (scriptFile.empty()) {
        return true;
    }
    std::error_code ignored;
    // A folder opens for reading but reads as an error at once: refuse it up front.
    if (fs::is_directory(platform::OsPath(scriptFile), ignored)) {
        std::fprintf(stderr, "barterbox-server: cannot read the script %s: it is a folder\n",
                     scriptFile.c_str());
        return false;
    }
    std::string error;
    if (!OpenConsoleScript(scriptFile, error)) {
        std::fprintf(stderr, "barterbox-server: cannot read the script %s\n", error.c_str());
        return false;
    }
    return true;
}

// A fresh host that prints what happens instead of keeping it, in the server folder.
void StartHost(const std::string& serverDir) {
    InstallStopSignals();
    hostsim::ResetHost();
    // Every message, reply and game call is printed as it happens; the host need not keep them.
    hostsim::SetRecordLimit(0);
    // The plugin's logger copies the host's sink list when it loads: ours must be in it by then.
    hostsim::HostLogSinks() = {MakeConsoleLogSink()};
    hostsim::SetCurrentDir(serverDir);
}

// The world file's records in the world; false, with the reason on standard error, when the
// world refuses one that the file reader let through.
bool BuildWorldFromFile(const ServerOptions& options,
                        const barterbox::tools::WorldDescription& contents, hostsim::World& world) {
    std::string error;
    if (BuildWorld(contents, world, error)) {
        return true;
    }
    std::fprintf(stderr, "%s: error: %s\n", options.WorldFile.c_str(), error.c_str());
    return false;
}

// Names the game's functions as the options say: the current host's spelling, and the names the
// host leaves out. False, with an error line, for a name this host does not offer.
bool NameTheGame(const ServerOptions& options, hostsim::World& world) {
    if (options.CurrentHostNames) {
        world.UseCurrentHostNames();
    }
    for (const std::string& name : options.Without) {
        if (!hostsim::IsRegisteredName(name)) {
            std::fprintf(stderr, "--without: \"%s\" is no game name this host offers\n",
                         name.c_str());
            return false;
        }
        hostsim::WithholdName(name);
    }
    return true;
}

// Makes the world the one the console, the RCON endpoint and the host's listeners act on, and
// says what it holds.
void OpenWorld(hostsim::World& world, const std::string& serverDir, const std::string& pluginFile) {
    ServerContext& server = Server();
    server.World = &world;
    server.ServerDir = serverDir;
    server.PluginFile = pluginFile;
    server.ConsoleRcon = world.OpenRconConnection();
    InstallHostListeners();

    ServerLine("server folder " + serverDir);
    ServerLine("world: " + Count(world.ItemClasses().size(), "item class", "item classes") + ", " +
               Count(world.Players().size(), "player", "players") + ", " +
               std::to_string(world.InventorySlots()) + " inventory slots each");
}

// The names the host leaves out, said once at start. (The current host's spelling is not: a
// server that names the game so must look exactly like one that does not.)
void SayHostNames(const ServerOptions& options) {
    for (const std::string& name : options.Without) {
        ServerLine("the host does not offer " + name);
    }
}

// The Permissions module from the plugin module's folder, before the plugin, as the host loads the
// plugins that a plugin may look for. Nothing, or the line that says what the plugin runs
// without, for once the plugin has loaded: a server whose plugin did not load runs nothing.
std::optional<std::string> StartPermissions(const ServerOptions& options) {
    if (options.WithoutPermissions) {
        return "the plugin runs without the Permissions module (--without-permissions)";
    }
    std::string error;
    std::lock_guard lock(Server().HostMutex);
    if (LoadPermissionsModule(PermissionsModulePath(options.PluginFile), error)) {
        return std::nullopt;
    }
    return "the plugin runs without the Permissions module, which did not load: " + error;
}

bool LoadPlugin(const std::string& pluginFile) {
    std::lock_guard lock(Server().HostMutex);
    return LoadPluginAndReport(pluginFile);
}

// The RCON endpoint on the port asked for; false, with an error line, when the port cannot be had.
bool StartRcon(const ServerOptions& options) {
    uint16_t port = 0;
    std::string error;
    RconLimits limits;
    limits.MaxConnections = options.RconMaxConnections;
    if (!StartRconEndpoint(*options.RconPort, options.RconPassword, NetworkRconServices(), limits,
                           port, error)) {
        ServerError(error);
        return false;
    }
    ServerLine("RCON listening on 127.0.0.1:" + std::to_string(port));
    return true;
}

// The operator's lines until quit, the end of input or a stop signal; with --serve, the end of
// input leaves RCON serving until a stop signal.
void RunSession(const ServerOptions& options, const std::string& serverDir) {
    if (options.ScriptFile.empty()) {
        OpenConsoleStandardInput(
            [](std::string_view before) {
                return CompletionCandidates(before, GatherCompletionSources());
            },
            serverDir + "/console_history");
    }
    const bool quit = RunConsole();
    if (options.Serve && !quit && StopSignalNumber() == 0) {
        ServerLine("the input ended; serving RCON until SIGINT or SIGTERM");
        WaitForStopSignal();
    }
    if (StopSignalNumber() != 0) {
        ServerLine(std::string(StopSignalNumber() == SIGINT ? "SIGINT" : "SIGTERM") +
                   " received; stopping");
    }
}

// No request may reach the module once it is gone: RCON and the console stop first.
void StopServing(bool rconServing) {
    if (rconServing) {
        StopRconEndpoint();
    }
    CloseConsole();
    {
        std::lock_guard lock(Server().HostMutex);
        UnloadPluginAndReport();
        UnloadPermissionsModule(); // after the plugin, which may still hold its function
    }
    // Ticks go on past the unload, as a game's frames do: a reply that arrives for the module
    // now must find nothing of it to call.
    StopHostTicks();
    StopWebhook();
    hostsim::StopRequestThread();
}

// Prints every fault of the host's ledger; true when there is none. Only now, with the module
// gone, is every buffer the plugin ever held due back.
bool CheckHostLedger() {
    const std::vector<std::string> faults = HostFaults();
    for (const std::string& fault : faults) {
        ServerError(fault);
    }
    return faults.empty();
}

void CloseWorld(hostsim::World& world) {
    RemoveHostListeners();
    ServerContext& server = Server();
    world.CloseRconConnection(server.ConsoleRcon);
    server.ConsoleRcon = nullptr;
    server.World = nullptr;
}

int Serve(const ServerOptions& options, const barterbox::tools::WorldDescription& contents) {
    std::string serverDir;
    if (!PrepareServerFolder(options.ServerDir, serverDir) || !OpenScript(options.ScriptFile)) {
        return kExitUsage;
    }
    StartHost(serverDir);
    hostsim::World world;
    if (!BuildWorldFromFile(options, contents, world) || !NameTheGame(options, world)) {
        CloseConsole();
        return kExitUsage;
    }
    OpenWorld(world, serverDir, options.PluginFile);
    SayHostNames(options);
    const std::optional<std::string> withoutPermissions = StartPermissions(options);
    const bool loaded = LoadPlugin(options.PluginFile);
    if (loaded && withoutPermissions) {
        ServerLine(*withoutPermissions);
    }
    StartHostTicks();
    const bool rconServing = loaded && options.RconPort && StartRcon(options);
    // A session starts only with everything asked for: the plugin, and RCON when a port is given.
    const bool started = loaded && (!options.RconPort || rconServing);
    if (started) {
        RunSession(options, serverDir);
    }
    StopServing(rconServing);
    const bool clean = CheckHostLedger();
    CloseWorld(world);
    return started && clean ? kExitClean : kExitFault;
}

} // namespace

int main(int argc, char** argv) {
    const OptionsResult parsed = ParseServerOptions(barterbox::tools::ProgramArguments(argc, argv));
    if (parsed.ExitStatus) {
        return *parsed.ExitStatus;
    }
    const ServerOptions& options = parsed.Options;
    SetColourOutput(!options.NoColour && StandardOutputIsTerminal());
    // The plugin reads its audit clock from the environment, which a live server never sets.
    if (!options.FixedClock.empty()) {
        platform::SetProcessEnvironment("BARTERBOX_FIXED_CLOCK", options.FixedClock);
    }

    // The world file first: one with errors stops the server before the plugin is loaded.
    barterbox::tools::WorldDescription contents;
    if (!options.WorldFile.empty()) {
        barterbox::tools::WorldReadResult read = barterbox::tools::ReadWorldFile(options.WorldFile);
        if (!read.Ok()) {
            for (const barterbox::tools::WorldFileError& error : read.Errors) {
                const std::string line = FormatWorldError(options.WorldFile, error);
                std::fprintf(stderr, "%s\n", line.c_str());
            }
            std::fprintf(stderr,
                         "barterbox-server: %s in the world file; the plugin was not loaded\n",
                         Count(read.Errors.size(), "error", "errors").c_str());
            return kExitUsage;
        }
        contents = std::move(read.Contents);
    }
    StartOutputWriter();
    const int status = Serve(options, contents);
    FinishOutput();
    return status;
}
