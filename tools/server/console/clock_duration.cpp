// The console's clock steps; see clock_duration.h.
#include "clock_duration.h"

#include <algorithm>

#include <nlohmann/json.hpp>

namespace barterbox::server {

std::optional<std::chrono::seconds> ReadClockDuration(std::string_view text) {
    const bool digitsOnly =
        !text.empty() && text.size() <= 18 &&
        std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (digitsOnly) {
        return ReadDuration(nlohmann::json(std::stoull(std::string(text))));
    }
    return ReadDurationText(text);
}

} // namespace barterbox::server
