// Everything the catalogue keeps for the life of the module, in one record: what a load fills in,
// what the administrators' commands change, what the plugin last learnt of config.json, the
// document that saves write from and the generator of the saves' temporary names.
//
// State: the catalogue layer's one record. It holds its initial values (an empty table, the
// default settings, no paths) before the module's attach runs, whatever the order of static
// initialisation, and goes with the module's static objects; nothing is saved at unload.
// ResetCatalogueState gives it those values again, which the test fixtures call.
#pragma once

#include <memory_resource>
#include <optional>
#include <random>
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

struct SavedDocument; // config_document.cpp

// The saved document and the pool that everything of it, its texts included, lives in. Built
// after a load has left the heap full of small holes, its nodes would otherwise lie scattered,
// and every save walks all of them; and a release drops the pool whole, where destroying the
// document node by node would cost a large table's reload tens of milliseconds.
struct DocumentStore {
    // Only the game thread loads and saves.
    std::pmr::unsynchronized_pool_resource Pool;
    // In the pool; null until built and after a release. Never destroyed: the pool's release
    // frees its memory, and nothing else depends on its destructors.
    SavedDocument* Document = nullptr;
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
    DocumentStore Document;
    // Seeded once per record, so that servers sharing a folder draw different temporary names.
    std::mt19937 TemporaryNames{std::random_device{}()};
};

// The one record, created at its first use.
CatalogueState& TheCatalogueState();
void ResetCatalogueState();

} // namespace barterbox
