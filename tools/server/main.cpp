// barterbox-server: the simulated dedicated server. It builds a world, loads the real plugin module
// into the stand-in host, runs operator lines (and RCON requests) against it, unloads the module
// and checks the host's allocator ledger. Exit status 0 when clean, 1 on a fault (a module that
// does not load, a leak or ledger error at exit), 2 on a usage, script or world file error.
#include <unistd.h>

#if defined(_WIN32)
#include <windows.h>

#include <shellapi.h>
#endif

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>

#include "hostsim/command_registry.h"
#include "hostsim/host_environment.h"
#include "hostsim/record_limit.h"
#include "tools/common/world_file.h"
#include "tools/server/console/console_commands.h"
#include "tools/server/console/console_completion.h"
#include "tools/server/console/console_input.h"
#include "tools/server/console/console_language.h"
#include "tools/server/hosting/host_events.h"
#include "tools/server/hosting/ledger_check.h"
#include "tools/server/hosting/plugin_module.h"
#include "tools/server/hosting/server_context.h"
#include "tools/server/hosting/world_builder.h"
#include "tools/server/output/console_log_sink.h"
#include "tools/server/output/event_output.h"
#include "tools/server/output/output_writer.h"
#include "tools/server/process/server_options.h"
#include "tools/server/process/stop_signal.h"
#include "tools/server/rcon/rcon_dispatch.h"
#include "tools/server/rcon/rcon_endpoint.h"

namespace {

using namespace barterbox::server;
namespace fs = std::filesystem;

constexpr int kExitFault = 1;
constexpr int kExitUsage = 2;

std::string Count(size_t count, const std::string& one, const std::string& many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

CompletionSources GatherCompletionSources() {
    ServerContext& server = Server();
    CompletionSources sources;
    sources.Exchanges =
        ExchangeNamesInConfig(server.ServerDir + "/ArkApi/Plugins/Barterbox/config.json");
    std::lock_guard lock(server.HostMutex);
    for (const hostsim::PlayerInfo& player : server.World->Players()) {
        sources.Players.push_back(player.Name);
        sources.EosIds.push_back(player.EosId);
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
        RconOutcome outcome = DispatchRconRequest(connection, id, body);
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

// The plugin folder must exist for the plugin's saves; a real server has it, as the module lives
// there.
// Paths are UTF-8 text throughout, also where Windows would read narrow text as ANSI.
fs::path Utf8Path(const std::string& text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

bool PrepareServerFolder(const std::string& given, std::string& serverDir) {
    std::error_code error;
    const fs::path absolute = fs::absolute(Utf8Path(given), error);
    if (error) {
        std::fprintf(stderr, "barterbox-server: %s: %s\n", given.c_str(), error.message().c_str());
        return false;
    }
    const std::u8string normal = absolute.lexically_normal().u8string();
    serverDir.assign(normal.begin(), normal.end());
    while (serverDir.size() > 1 && serverDir.back() == '/') {
        serverDir.pop_back();
    }
    const fs::path pluginFolder = Utf8Path(serverDir) / "ArkApi/Plugins/Barterbox";
    fs::create_directories(pluginFolder, error);
    if (error) {
        std::fprintf(stderr, "barterbox-server: cannot create %s: %s\n",
                     pluginFolder.string().c_str(), error.message().c_str());
        return false;
    }
    return true;
}

int Serve(const ServerOptions& options, const barterbox::tools::WorldDescription& contents) {
    std::string serverDir;
    if (!PrepareServerFolder(options.ServerDir, serverDir)) {
        return kExitUsage;
    }
    std::string scriptError;
    std::error_code ignored;
    // A folder opens for reading but reads as an error at once: refuse it up front.
    if (!options.ScriptFile.empty() && fs::is_directory(options.ScriptFile, ignored)) {
        std::fprintf(stderr, "barterbox-server: cannot read the script %s: it is a folder\n",
                     options.ScriptFile.c_str());
        return kExitUsage;
    }
    if (!options.ScriptFile.empty() && !OpenConsoleScript(options.ScriptFile, scriptError)) {
        std::fprintf(stderr, "barterbox-server: cannot read the script %s\n", scriptError.c_str());
        return kExitUsage;
    }

    InstallStopSignals();
    hostsim::ResetHost();
    // Every message, reply and game call is printed as it happens; the host need not keep them.
    hostsim::SetRecordLimit(0);
    // The plugin's logger copies the host's sink list when it loads: ours must be in it by then.
    hostsim::HostLogSinks() = {MakeConsoleLogSink()};
    hostsim::SetCurrentDir(serverDir);

    hostsim::World world;
    std::string worldError;
    if (!BuildWorld(contents, world, worldError)) {
        std::fprintf(stderr, "%s: error: %s\n", options.WorldFile.c_str(), worldError.c_str());
        CloseConsole();
        return kExitUsage;
    }
    ServerContext& server = Server();
    server.World = &world;
    server.ServerDir = serverDir;
    server.PluginFile = options.PluginFile;
    server.ConsoleRcon = world.OpenRconConnection();
    InstallHostListeners();

    ServerLine("server folder " + serverDir);
    ServerLine("world: " + Count(world.ItemClasses().size(), "item class", "item classes") + ", " +
               Count(world.Players().size(), "player", "players") + ", " +
               std::to_string(world.InventorySlots()) + " inventory slots each");

    int status = 0;
    bool loaded = false;
    {
        std::lock_guard lock(server.HostMutex);
        loaded = LoadPluginAndReport(options.PluginFile);
    }
    if (!loaded) {
        status = kExitFault;
    }
    bool serving = false;
    if (loaded && options.RconPort) {
        uint16_t port = 0;
        std::string error;
        RconLimits limits;
        limits.MaxConnections = options.RconMaxConnections;
        serving = StartRconEndpoint(*options.RconPort, options.RconPassword, NetworkRconServices(),
                                    limits, port, error);
        if (serving) {
            ServerLine("RCON listening on 127.0.0.1:" + std::to_string(port));
        } else {
            ServerError(error);
            status = kExitFault;
        }
    }
    if (status == 0) {
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
    if (serving) {
        StopRconEndpoint();
    }
    CloseConsole();
    {
        std::lock_guard lock(server.HostMutex);
        UnloadPluginAndReport();
    }

    // Only now, with the module gone, is every buffer the plugin ever held due back.
    const std::vector<std::string> faults = HostFaults();
    for (const std::string& fault : faults) {
        ServerError(fault);
    }
    if (!faults.empty()) {
        status = kExitFault;
    }
    RemoveHostListeners();
    world.CloseRconConnection(server.ConsoleRcon);
    server.ConsoleRcon = nullptr;
    server.World = nullptr;
    return status;
}

} // namespace

int main(int argc, char** argv) {
#if defined(_WIN32)
    // The arguments as UTF-8 from the UTF-16 command line, not through the ANSI code page.
    std::vector<std::string> arguments;
    std::vector<char*> utf8Argv;
    int wideCount = 0;
    if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &wideCount); wide != nullptr) {
        for (int i = 0; i < wideCount; ++i) {
            const std::u8string text = fs::path(wide[i]).u8string();
            arguments.emplace_back(text.begin(), text.end());
        }
        LocalFree(wide);
        for (std::string& argument : arguments) {
            utf8Argv.push_back(argument.data());
        }
        utf8Argv.push_back(nullptr);
        argc = wideCount;
        argv = utf8Argv.data();
    }
#endif
    const OptionsResult parsed = ParseServerOptions(argc, argv);
    if (parsed.ExitStatus) {
        return *parsed.ExitStatus;
    }
    const ServerOptions& options = parsed.Options;
    SetColourOutput(!options.NoColour && isatty(STDOUT_FILENO) != 0);

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
