// Everything the catalogue keeps for the life of the module, in one record: what a load fills in,
// what the administrators' commands change, and what the plugin last learnt of config.json.
// Beside it the plugin keeps only its logger (logger/plugin_logger.h) and the host's fault
// reporter (host/host_errors.h); plugin/plugin_lifecycle.cpp sets all three up.
#pragma once

#include <optional>
#include <string>

#include "exchange_catalogue.h"
#include "file_state.h"
#include "plugin_settings.h"

namespace barterbox {

// config.json as the plugin last read or wrote it, so that a save can tell a hand edit made in
// between.
struct SeenFile {
    std::string Path;
    FileStamp Stamp;
    std::uint64_t Digest = 0;
    // Whether the stamp alone tells a later edit (see StampIsSettled); if not, the content does.
    bool Settled = false;
};

struct CatalogueState {
    ExchangeCatalogue Exchanges;
    // What changed in the table since the saved document last looked (exchange_catalogue.h).
    CatalogueChanges Changes;
    PluginSettings Settings;
    // The plugin folder and config.json in it; empty until the load forms them.
    std::string PluginFolder;
    std::string ConfigPath;
    // Set by the last load when config.json was there but could not be read, so that the next
    // save keeps the administrator's file aside instead of overwriting it.
    bool UnreadableConfigFound = false;
    // Set by the last load when it dropped an exchange or passed over members of config.json,
    // which the next save would not write back: that save keeps the file aside first.
    bool LossyConfigLoaded = false;
    // Unknown until the plugin has looked at the path.
    std::optional<SeenFile> LastSeenConfig;
    // Whether a save has said that it could not give config.json its owner and group back; said
    // once, as every later save would say the same.
    bool OwnerWarningGiven = false;
};

// The one record. Created at its first use, so that it holds its initial values (an empty table,
// the default settings) before the module's attach runs, whatever the order of static
// initialisation; destroyed with the module's static objects. Nothing is saved at unload.
CatalogueState& TheCatalogueState();

} // namespace barterbox
