// The three process-wide settings that sit beside the exchange table.
#pragma once

#include <cstdint>
#include <string>

namespace barterbox {

struct PluginSettings {
    std::string ChatPrefix = "Barterbox";
    bool AllowMultiplier = true;
    int32_t MaxMultiplier = 100;
};

// The single settings record (catalogue_state.h), read in place and assigned field by field.
PluginSettings& Settings();

} // namespace barterbox
