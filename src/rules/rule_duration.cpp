// Durations and the time left; see rule_duration.h.
#include "rule_duration.h"

#include <array>
#include <cstdint>

namespace barterbox {
namespace {

struct DurationUnit {
    char Letter;
    int64_t Seconds;
};

constexpr std::array<DurationUnit, 5> kUnits{
    {{'w', 7 * 86400}, {'d', 86400}, {'h', 3600}, {'m', 60}, {'s', 1}}};

std::optional<int64_t> UnitSeconds(char letter) {
    for (const DurationUnit& unit : kUnits) {
        if (unit.Letter == letter) {
            return unit.Seconds;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<RuleSeconds> ReadDurationText(std::string_view text) {
    const int64_t longest = kLongestDuration.count();
    int64_t total = 0;
    size_t at = 0;
    while (at < text.size()) {
        int64_t number = 0;
        const size_t digitsStart = at;
        // Stopping at the longest duration keeps every product and sum in range.
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && number <= longest) {
            number = number * 10 + (text[at] - '0');
            ++at;
        }
        if (at == digitsStart || at == text.size() || number > longest) {
            return std::nullopt;
        }
        const std::optional<int64_t> unit = UnitSeconds(text[at]);
        if (!unit || number > (longest - total) / *unit) {
            return std::nullopt;
        }
        total += number * *unit;
        ++at;
    }
    if (text.empty()) {
        return std::nullopt;
    }
    return RuleSeconds{total};
}

std::optional<RuleSeconds> ReadDuration(const nlohmann::json& value) {
    if (value.is_string()) {
        return ReadDurationText(value.get_ref<const std::string&>());
    }
    // Parsed, a whole number 0 or more is unsigned; built in code, it may be signed.
    if (value.is_number_integer() && (value.is_number_unsigned() || value.get<int64_t>() >= 0)) {
        const uint64_t seconds = value.get<uint64_t>();
        if (seconds <= static_cast<uint64_t>(kLongestDuration.count())) {
            return RuleSeconds{static_cast<int64_t>(seconds)};
        }
    }
    return std::nullopt;
}

std::string TimeLeftText(RuleSeconds left) {
    int64_t seconds = left.count() < 1 ? 1 : left.count();
    // Weeks are not shown: "9d 2h" reads better than "1w 2d".
    constexpr std::array<DurationUnit, 4> shown{{{'d', 86400}, {'h', 3600}, {'m', 60}, {'s', 1}}};
    size_t largest = 0;
    while (seconds < shown[largest].Seconds) {
        ++largest;
    }
    if (largest + 1 < shown.size()) {
        const int64_t step = shown[largest + 1].Seconds;
        seconds = (seconds + step - 1) / step * step;
        // Rounding up may carry into a larger unit: 23h 59m 30s is "1d".
        while (largest > 0 && seconds >= shown[largest - 1].Seconds) {
            --largest;
        }
    }
    std::string text;
    for (size_t unit = largest; unit < shown.size() && unit <= largest + 1; ++unit) {
        const int64_t count = seconds / shown[unit].Seconds;
        seconds -= count * shown[unit].Seconds;
        if (count == 0) {
            continue;
        }
        if (!text.empty()) {
            text += ' ';
        }
        text += std::to_string(count) + shown[unit].Letter;
    }
    return text;
}

} // namespace barterbox
