// The catalogue's one process-wide record and the accessors the rest of the plugin reads it by;
// see catalogue_state.h.
#include "catalogue_state.h"

#include "config_file.h"

namespace barterbox {

CatalogueState& TheCatalogueState() {
    static CatalogueState state;
    return state;
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
