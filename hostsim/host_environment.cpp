// The host's environment and utilities; see host_environment.h.
#include "host_environment.h"

#include <atomic>

#include <spdlog/sinks/stdout_sinks.h>

#include "allocator.h"
#include "command_registry.h"
#include "host/game_names.h"
#include "host_clock.h"
#include "host_strings.h"
#include "host_tick.h"
#include "messenger.h"
#include "name_registry.h"
#include "plugin_module_file.h"

namespace hostsim {
namespace {

struct Environment {
    std::string CurrentDir = ".";
    UWorld* World = nullptr;
    std::atomic<uint64_t> ApiUtilsFetches = 0;
    std::vector<spdlog::sink_ptr> Sinks{std::make_shared<spdlog::sinks::stderr_sink_mt>()};
};

Environment& TheEnvironment() {
    static Environment environment;
    return environment;
}

void* GameMalloc(uint64_t size, uint32_t) {
    HostEntry inHost;
    return Allocate(static_cast<size_t>(size), BufferOwner::Plugin, "FMemory.Malloc");
}

void GameFree(void* buffer) {
    HostEntry inHost;
    Release(buffer, BufferOwner::Plugin);
}

class ApiUtils final : public AsaApi::IApiUtils {
public:
    UWorld* ActiveWorld() override {
        HostEntry inHost;
        return TheEnvironment().World;
    }
    // The host knows a plugin by the file it loaded; any other path is another plugin's, or none.
    std::shared_ptr<AsaApi::PluginMessenger> GetPluginMessenger(const FString& path) override {
        HostEntry inHost;
        const std::string asked = Utf16ToUtf8(ReadFString(path));
        if (const std::string loaded = PluginModuleFile(); asked != loaded) {
            RecordNameError("host: GetPluginMessenger asked with the module path \"" + asked +
                            "\", not the loaded plugin's \"" + loaded + "\"");
        }
        return MessengerFor(asked);
    }
};

} // namespace

void SetCurrentDir(std::string directory) {
    TheEnvironment().CurrentDir = std::move(directory);
}

void SetActiveWorld(UWorld* world) {
    TheEnvironment().World = world;
}

std::vector<spdlog::sink_ptr>& HostLogSinks() {
    return TheEnvironment().Sinks;
}

uint64_t ApiUtilsFetches() {
    return TheEnvironment().ApiUtilsFetches;
}

void ResetHost() {
    ResetCommandRegistry();
    ForgetRequestsAndTimers();
    SetPluginModuleFile({});
    TheEnvironment().ApiUtilsFetches = 0;
    ClearSentMessages();
    ClearLedgerErrors();
    ClearNameErrors();
    OfferEveryName();
    ResetResolveCounts();
    FailNextAllocations(0);
    RegisterFunction(game::kMalloc, static_cast<game::MallocFn>(&GameMalloc));
    RegisterFunction(game::kFree, static_cast<game::FreeFn>(&GameFree));
}

} // namespace hostsim

std::string AsaApi::GetCurrentDir() {
    hostsim::HostEntry inHost;
    return hostsim::TheEnvironment().CurrentDir;
}

std::vector<spdlog::sink_ptr>& AsaApi::GetLogSinks() {
    hostsim::HostEntry inHost;
    return hostsim::TheEnvironment().Sinks;
}

AsaApi::IApiUtils& AsaApi::GetApiUtils() {
    hostsim::HostEntry inHost;
    ++hostsim::TheEnvironment().ApiUtilsFetches;
    static hostsim::ApiUtils utils;
    return utils;
}
