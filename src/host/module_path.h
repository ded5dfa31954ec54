// The file path of the plugin's own module, which the host uses to find the plugin's messenger.
#pragma once

#include "engine_types.h"

namespace barterbox {

// A fresh host string (at most 260 UTF-16 units, as the Windows loader reports it).
FString PluginModulePath();

} // namespace barterbox
