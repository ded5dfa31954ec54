// The audit's clock and its time texts; see audit_clock.h.
#include "audit_clock.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace barterbox {
namespace {

using Clock = std::chrono::system_clock;

std::optional<Clock::time_point> ReadTimeText(const char* text) {
    int year = 0;
    unsigned month = 0;
    unsigned day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    char zone = 0;
    char end = 0;
    const bool withMilliseconds =
        std::sscanf(text, "%4d-%2u-%2uT%2d:%2d:%2d.%3d%c%c", &year, &month, &day, &hour, &minute,
                    &second, &millisecond, &zone, &end) == 8;
    if (!withMilliseconds) {
        millisecond = 0;
        if (std::sscanf(text, "%4d-%2u-%2uT%2d:%2d:%2d%c%c", &year, &month, &day, &hour, &minute,
                        &second, &zone, &end) != 7) {
            return std::nullopt;
        }
    }
    const std::chrono::year_month_day date{std::chrono::year{year}, std::chrono::month{month},
                                           std::chrono::day{day}};
    // The system clock counts nanoseconds, which reach no further than 2262: a time beyond 2199
    // leaves room for every cooldown and period to be added to it.
    if (year < 1970 || year > 2199) {
        return std::nullopt;
    }
    if (zone != 'Z' || !date.ok() || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
        second < 0 || second > 59 || millisecond < 0) {
        return std::nullopt;
    }
    return std::chrono::sys_days{date} + std::chrono::hours{hour} + std::chrono::minutes{minute} +
           std::chrono::seconds{second} + std::chrono::milliseconds{millisecond};
}

} // namespace

std::optional<Clock::time_point> ReadAuditTime(const std::string& text) {
    return ReadTimeText(text.c_str());
}

Clock::time_point AuditClock() {
    if (const char* fixed = std::getenv("BARTERBOX_FIXED_CLOCK")) {
        if (const std::optional<Clock::time_point> time = ReadTimeText(fixed)) {
            return *time;
        }
    }
    return Clock::now();
}

std::string AuditDayText(Clock::time_point time) {
    const std::chrono::year_month_day date{std::chrono::floor<std::chrono::days>(time)};
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text;
}

std::string AuditTimeText(Clock::time_point time) {
    const auto milliseconds = std::chrono::floor<std::chrono::milliseconds>(time);
    const std::chrono::hh_mm_ss clock{milliseconds - std::chrono::floor<std::chrono::days>(time)};
    char text[32];
    std::snprintf(
        text, sizeof text, "T%02d:%02d:%02d.%03dZ", static_cast<int>(clock.hours().count()),
        static_cast<int>(clock.minutes().count()), static_cast<int>(clock.seconds().count()),
        static_cast<int>(clock.subseconds().count()));
    return AuditDayText(time) + text;
}

} // namespace barterbox
