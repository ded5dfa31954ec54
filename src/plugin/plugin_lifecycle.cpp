// LoadPlugin and UnloadPlugin: the one place that shows what the plugin sets up for the life of
// the module and what it takes down again.
//
// The plugin's process-wide state is three records, each in the layer that owns it:
//   the logger            logger/plugin_logger.h      made here, released with the module
//   the host's reporter   host/host_errors.h          installed here, so host faults are logged
//   the catalogue's state catalogue/catalogue_state.h the table, the settings, the paths and what
//                                                     the plugin last learnt of config.json
// An unload removes the commands only: the records live until the module goes, and nothing is
// saved.
#include "plugin_lifecycle.h"

#include <string>

#include "catalogue/config_file.h"
#include "catalogue/exchange_catalogue.h"
#include "discord/discord_sink.h"
#include "exchange/game_readiness.h"
#include "host/host_calls.h"
#include "host/host_errors.h"
#include "logger/plugin_logger.h"
#include "plugin/command_table.h"
#include "plugin/plugin_version.h"
#include "rules/rules_file.h"

namespace barterbox {
void LoadPlugin() {
    CreatePluginLogger(host_calls::LogSinks());
    SetHostErrorReporter(&LogHostError);
    FormPluginPaths(host_calls::ServerDirectory());
    Log(spdlog::level::info, "Barterbox v{} - Loading...", kPluginVersion);
    LoadConfig();
    LoadRules();
    RegisterCommands();
    ReportMissingGameNames();
    Log(spdlog::level::info, "Barterbox: Loaded {} exchanges", ExchangeCount());
}

void UnloadPlugin() {
    UnregisterCommands();
    // The host may still hold a reply or a timer of ours: it must not call a module that is gone.
    StopDiscordPosts();
    Log(spdlog::level::info, "Barterbox: Unloaded");
}

} // namespace barterbox
