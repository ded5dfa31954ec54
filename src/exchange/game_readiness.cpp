// The check of the game's names; see game_readiness.h.
#include "game_readiness.h"

#include <string>
#include <vector>

#include "host/game_calls.h"
#include "logger/plugin_logger.h"

namespace barterbox {

void ReportMissingGameNames() {
    const std::vector<std::string> missing = game_calls::UnresolvedGameNames();
    if (missing.empty()) {
        return;
    }
    for (const std::string& name : missing) {
        Log(spdlog::level::err, "Barterbox: Game name missing: {}", name);
    }
    Log(spdlog::level::err,
        "Barterbox: {} game names missing; exchanges are refused until the host provides them",
        missing.size());
}

} // namespace barterbox
