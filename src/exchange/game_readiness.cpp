// The check of the game's names; see game_readiness.h.
#include "game_readiness.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include <fmt/format.h>
#include <fmt/ranges.h>

#include "host/game_calls.h"
#include "logger/plugin_logger.h"

namespace barterbox {

namespace {

std::string NamesMissing(size_t count) {
    return fmt::format("{} game name{} missing", count, count == 1 ? "" : "s");
}

// "every exchange is refused; RCON commands cannot be answered, ...": each consequence once.
std::string WhatStops(const std::vector<std::string>& missing) {
    std::vector<std::string_view> stops;
    for (const std::string& name : missing) {
        const std::string_view stop = game_calls::WhatMissingNameStops(name);
        if (std::find(stops.begin(), stops.end(), stop) == stops.end()) {
            stops.push_back(stop);
        }
    }
    return fmt::format("{}", fmt::join(stops, "; "));
}

} // namespace

std::optional<std::string> ReportMissingGameNames() {
    const std::vector<std::string> missing = game_calls::UnresolvedGameNames();
    if (missing.empty()) {
        return std::nullopt;
    }
    for (const std::string& name : missing) {
        Log(spdlog::level::err, "Barterbox: Game name missing: {}; {}", name,
            game_calls::WhatMissingNameStops(name));
    }
    const bool exchangesStop = std::any_of(missing.begin(), missing.end(), [](const auto& name) {
        return game_calls::ExchangesNeed(name);
    });
    // Exchanges are said to be refused only where they are.
    if (exchangesStop) {
        Log(spdlog::level::err, "Barterbox: {}; exchanges are refused until the host provides them",
            NamesMissing(missing.size()));
    } else {
        Log(spdlog::level::err,
            "Barterbox: {}; exchanges still run, and the lines above say what is lost until the "
            "host provides them",
            NamesMissing(missing.size()));
    }
    return fmt::format("Barterbox: {}: {}", NamesMissing(missing.size()), WhatStops(missing));
}

} // namespace barterbox
