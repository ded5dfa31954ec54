// Temporary bodies until the configuration file lands.
#include "config_file.h"

namespace barterbox {
void LoadConfig() {}
void SaveConfig() {}
} // namespace barterbox
