// The plugin's clock; see plugin_clock.h.
#include "plugin_clock.h"

#include <cstdio>
#include <cstdlib>

#include "platform/process_environment.h"

namespace barterbox::server {
namespace {

constexpr char kFixedClockVariable[] = "BARTERBOX_FIXED_CLOCK";

static_assert(
    kLatestClockTime + std::chrono::years{50} <
        std::chrono::floor<std::chrono::milliseconds>(std::chrono::system_clock::time_point::max()),
    "the plugin must be able to count on from the latest time");

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The number written by `count` digits at `at`; the caller has checked that they are digits.
int Digits(std::string_view text, size_t at, size_t count) {
    int number = 0;
    for (size_t i = at; i < at + count; ++i) {
        number = number * 10 + (text[i] - '0');
    }
    return number;
}

// Whether the text has the layout "DDDD-DD-DDTDD:DD:DD", then ".DDD" when `milliseconds`, and Z.
bool HasTimeLayout(std::string_view text, bool milliseconds) {
    const std::string_view layout =
        milliseconds ? "####-##-##T##:##:##.###Z" : "####-##-##T##:##:##Z";
    if (text.size() != layout.size()) {
        return false;
    }
    for (size_t i = 0; i < layout.size(); ++i) {
        if (layout[i] == '#' ? !IsDigit(text[i]) : text[i] != layout[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<ClockTime> ReadClockTime(std::string_view text) {
    const bool milliseconds = text.size() == 24;
    if (!HasTimeLayout(text, milliseconds)) {
        return std::nullopt;
    }
    const std::chrono::year_month_day date{
        std::chrono::year{Digits(text, 0, 4)},
        std::chrono::month{static_cast<unsigned>(Digits(text, 5, 2))},
        std::chrono::day{static_cast<unsigned>(Digits(text, 8, 2))}};
    const int hour = Digits(text, 11, 2);
    const int minute = Digits(text, 14, 2);
    const int second = Digits(text, 17, 2); // the records never write a leap second
    if (!date.ok() || hour > 23 || minute > 59 || second > 59) {
        return std::nullopt;
    }
    const ClockTime time = ClockTime{std::chrono::sys_days{date}} + std::chrono::hours{hour} +
                           std::chrono::minutes{minute} + std::chrono::seconds{second} +
                           std::chrono::milliseconds{milliseconds ? Digits(text, 20, 3) : 0};
    if (time < kEarliestClockTime || time > kLatestClockTime) {
        return std::nullopt;
    }
    return time;
}

std::string ClockTimeText(ClockTime time) {
    const auto day = std::chrono::floor<std::chrono::days>(time);
    const std::chrono::year_month_day date{day};
    const std::chrono::hh_mm_ss clock{time - day};
    char text[32];
    std::snprintf(
        text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", static_cast<int>(date.year()),
        static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
        static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
        static_cast<int>(clock.seconds().count()), static_cast<int>(clock.subseconds().count()));
    return text;
}

ClockTime PluginClock() {
    if (const char* fixed = std::getenv(kFixedClockVariable)) {
        if (const std::optional<ClockTime> time = ReadClockTime(fixed)) {
            return *time;
        }
    }
    return std::chrono::floor<std::chrono::milliseconds>(std::chrono::system_clock::now());
}

bool SetPluginClock(ClockTime time) {
    return platform::SetProcessEnvironment(kFixedClockVariable, ClockTimeText(time));
}

} // namespace barterbox::server
