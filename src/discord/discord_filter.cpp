// Which records are posted; see discord_filter.h.
#include "discord_filter.h"

#include <algorithm>

#include "host/ascii_case.h"

namespace barterbox {
namespace {

bool Lists(const std::vector<std::string>& events, std::string_view event) {
    return std::find(events.begin(), events.end(), event) != events.end();
}

std::string Member(const nlohmann::ordered_json& members, const char* name) {
    const auto it = members.find(name);
    return it != members.end() && it->is_string() ? it->get<std::string>() : std::string();
}

bool EventWanted(const DiscordSettings& settings, const nlohmann::ordered_json& members) {
    const std::string event = Member(members, "event");
    if (event != "exchange") {
        return Lists(settings.Events, event);
    }
    if (Lists(settings.Events, Member(members, "outcome"))) {
        return true;
    }
    const std::string rule = Member(members, "refused_by");
    return !rule.empty() &&
           (Lists(settings.Events, "refused") || Lists(settings.Events, "refused:" + rule));
}

} // namespace

bool DiscordWants(const DiscordSettings& settings, const nlohmann::ordered_json& members) {
    if (!EventWanted(settings, members)) {
        return false;
    }
    const bool isExchange = Member(members, "event") == "exchange";
    if (settings.MinMultiplier && isExchange) {
        const auto it = members.find("multiplier");
        if (it == members.end() || !it->is_number_integer() ||
            it->get<int64_t>() < *settings.MinMultiplier) {
            return false;
        }
    }
    // Reload and Save name no exchange; they are posted whatever the list.
    const std::string exchange = Member(members, "exchange");
    if (settings.Exchanges && !exchange.empty()) {
        return std::any_of(
            settings.Exchanges->begin(), settings.Exchanges->end(),
            [&](const std::string& name) { return EqualIgnoringAsciiCase(name, exchange); });
    }
    return true;
}

} // namespace barterbox
