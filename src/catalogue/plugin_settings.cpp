// The process-wide settings record; its initial values are the defaults of config.json.
#include "plugin_settings.h"

namespace barterbox {
PluginSettings& Settings() {
    // Function-local, so that it holds its initial values before the module's attach runs.
    static PluginSettings settings;
    return settings;
}

} // namespace barterbox
