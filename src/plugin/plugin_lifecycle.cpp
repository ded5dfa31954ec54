// LoadPlugin and UnloadPlugin.
#include "plugin_lifecycle.h"

#include <string>

#include "catalogue/config_file.h"
#include "catalogue/exchange_catalogue.h"
#include "command_table.h"
#include "host/host_api.h"
#include "host/host_errors.h"
#include "plugin_logger.h"
#include "plugin_paths.h"

namespace barterbox {
void LoadPlugin() {
    CreatePluginLogger(AsaApi::GetLogSinks());
    SetHostErrorReporter(&LogHostError);
    FormPluginPaths(AsaApi::GetCurrentDir());
    Log(spdlog::level::info, "Barterbox v1.1 - Loading...");
    LoadConfig();
    RegisterCommands();
    Log(spdlog::level::info, "Barterbox: Loaded {} exchanges", ExchangeCount());
}

void UnloadPlugin() {
    UnregisterCommands();
    Log(spdlog::level::info, "Barterbox: Unloaded");
}

} // namespace barterbox
