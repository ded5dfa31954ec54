// Which audit records the Discord block asks for: by event, exchange and multiplier.
#pragma once

#include <nlohmann/json.hpp>

#include "rules/discord_settings.h"

namespace barterbox {

bool DiscordWants(const DiscordSettings& settings, const nlohmann::ordered_json& members);

} // namespace barterbox
