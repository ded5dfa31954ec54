// The catalogue's one process-wide record and the accessors the rest of the plugin reads it by;
// see catalogue_state.h.
#include "catalogue_state.h"

#include "config_file.h"

namespace barterbox {

namespace {
// Held so that a reset can build it anew: the document's pool cannot be assigned.
std::optional<CatalogueState>& Holder() {
    static std::optional<CatalogueState> state{std::in_place};
    return state;
}
} // namespace

CatalogueState& TheCatalogueState() {
    return *Holder();
}

void ResetCatalogueState() {
    Holder().reset();
    Holder().emplace();
}

PluginSettings& Settings() {
    return TheCatalogueState().Settings;
}

std::string& PluginFolder() {
    return TheCatalogueState().PluginFolder;
}

std::string& ConfigPath() {
    return TheCatalogueState().ConfigPath;
}

} // namespace barterbox
