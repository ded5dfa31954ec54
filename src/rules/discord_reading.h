// Reading rules.json's Discord block, with the problems named as the rest of the file's are.
#pragma once

#include <nlohmann/json.hpp>

#include "rules/rules_reading.h"

namespace barterbox {

// The block at Discord; its problems go to the reading's errors (a value of the wrong type or
// out of range) and unknown members (a member or event name the plugin does not know).
std::optional<DiscordSettings> ReadDiscordSettings(const nlohmann::json& block,
                                                   RulesReading& reading);

} // namespace barterbox
