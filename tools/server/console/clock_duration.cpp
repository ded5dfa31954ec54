// Reading the console's clock durations; see clock_duration.h.
#include "clock_duration.h"

#include <charconv>
#include <cstdint>

namespace barterbox::server {
namespace {

// The seconds in one of a unit, or 0 for a letter that is no unit.
int64_t SecondsPerUnit(char unit) {
    switch (unit) {
    case 's':
        return 1;
    case 'm':
        return 60;
    case 'h':
        return 3600;
    case 'd':
        return 86400;
    case 'w':
        return 604800;
    default:
        return 0;
    }
}

// The digits at the front of `text`, which it drops; nothing when there are none or too many.
std::optional<int64_t> TakeNumber(std::string_view& text) {
    if (text.empty() || text.front() < '0' || text.front() > '9') {
        return std::nullopt;
    }
    int64_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc()) {
        return std::nullopt;
    }
    text.remove_prefix(static_cast<size_t>(end - text.data()));
    return number;
}

} // namespace

std::optional<std::chrono::seconds> ReadClockDuration(std::string_view text) {
    const int64_t longest = kLongestClockStep.count();
    std::optional<int64_t> whole = TakeNumber(text);
    if (whole && text.empty()) {
        return *whole <= longest ? std::optional(std::chrono::seconds{*whole}) : std::nullopt;
    }
    int64_t total = 0;
    while (whole) {
        const int64_t unit = text.empty() ? 0 : SecondsPerUnit(text.front());
        // Each part and the sum stay at most the longest step, so nothing here can overflow.
        if (unit == 0 || *whole > longest / unit || total > longest - *whole * unit) {
            return std::nullopt;
        }
        total += *whole * unit;
        text.remove_prefix(1);
        if (text.empty()) {
            return std::chrono::seconds{total};
        }
        whole = TakeNumber(text);
    }
    return std::nullopt;
}

} // namespace barterbox::server
