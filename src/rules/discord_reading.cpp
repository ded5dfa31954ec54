// Reading the Discord block; see discord_reading.h.
#include "discord_reading.h"

#include <algorithm>
#include <cstdint>

#include "host/ascii_case.h"

namespace barterbox {
namespace {

using nlohmann::json;

const RulesMemberPath kBlock{std::string("Discord")};

RulesMemberPath At(std::variant<std::string, size_t> step,
                   std::optional<size_t> index = std::nullopt) {
    RulesMemberPath path = kBlock;
    path.push_back(std::move(step));
    if (index) {
        path.push_back(*index);
    }
    return path;
}

bool IsKnownEvent(const std::string& name) {
    return std::find(kDiscordEvents.begin(), kDiscordEvents.end(), name) != kDiscordEvents.end();
}

bool ReadWebhook(const json& block, DiscordSettings& settings, RulesReading& reading) {
    const auto it = block.find("Webhook");
    if (it == block.end()) {
        reading.Errors.push_back(
            {kBlock, "must have a Webhook, the URL Discord gives the channel's webhook"});
        return false;
    }
    const std::string url = it->is_string() ? it->get<std::string>() : std::string();
    const auto startsWith = [&](std::string_view scheme) {
        return EqualIgnoringAsciiCase(std::string_view(url).substr(0, scheme.size()), scheme);
    };
    if (!startsWith("https://") && !startsWith("http://")) {
        reading.Errors.push_back(
            {At("Webhook"), "must be the webhook's URL, a text that starts with https://, not " +
                                (it->is_string() ? it->dump() : RulesValueText(*it))});
        return false;
    }
    settings.Webhook = url;
    return true;
}

void ReadEvents(const json& events, DiscordSettings& settings, RulesReading& reading) {
    settings.Events.clear();
    if (!events.is_array()) {
        reading.Errors.push_back(
            {At("Events"), "must be an array of event names, not " + RulesValueText(events)});
        return;
    }
    for (size_t index = 0; index < events.size(); ++index) {
        const json& event = events[index];
        if (!event.is_string()) {
            reading.Errors.push_back(
                {At("Events", index), "must be an event name, not " + RulesValueText(event)});
        } else if (IsKnownEvent(event.get<std::string>())) {
            settings.Events.push_back(event.get<std::string>());
        } else {
            reading.Unknown.push_back(
                {At("Events", index), "is not an event the plugin knows: " + event.dump()});
        }
    }
}

void ReadExchanges(const json& names, DiscordSettings& settings, RulesReading& reading) {
    if (!names.is_array()) {
        reading.Errors.push_back(
            {At("Exchanges"), "must be an array of exchange names, not " + RulesValueText(names)});
        return;
    }
    settings.Exchanges.emplace();
    for (size_t index = 0; index < names.size(); ++index) {
        const json& name = names[index];
        if (name.is_string() && !name.get_ref<const std::string&>().empty()) {
            settings.Exchanges->push_back(name.get<std::string>());
        } else {
            reading.Errors.push_back({At("Exchanges", index),
                                      "must be an exchange name, a text that is not empty, not " +
                                          RulesValueText(name)});
        }
    }
}

void ReadMinMultiplier(const json& value, DiscordSettings& settings, RulesReading& reading) {
    // JSON's positive whole numbers read as unsigned; a multiplier is a 32-bit count.
    if (value.is_number_unsigned() && value.get<uint64_t>() >= 1 &&
        value.get<uint64_t>() <= uint64_t{INT32_MAX}) {
        settings.MinMultiplier = static_cast<int64_t>(value.get<uint64_t>());
        return;
    }
    reading.Errors.push_back({At("MinMultiplier"), "must be a whole number of at least 1, not " +
                                                       RulesValueText(value)});
}

void ReadUsername(const json& value, DiscordSettings& settings, RulesReading& reading) {
    if (value.is_string() && !value.get_ref<const std::string&>().empty() &&
        value.get_ref<const std::string&>().size() <= kDiscordUsernameLimit) {
        settings.Username = value.get<std::string>();
        return;
    }
    reading.Errors.push_back(
        {At("Username"), "must be a name of 1 to 80 characters, not " + RulesValueText(value)});
}

} // namespace

std::optional<DiscordSettings> ReadDiscordSettings(const json& block, RulesReading& reading) {
    if (!block.is_object()) {
        reading.Errors.push_back(
            {kBlock, "must be an object with Webhook and Events, not " + RulesValueText(block)});
        return std::nullopt;
    }
    for (auto it = block.begin(); it != block.end(); ++it) {
        if (std::find(kDiscordMembers.begin(), kDiscordMembers.end(), it.key()) ==
            kDiscordMembers.end()) {
            reading.Unknown.push_back({At(it.key()), "is not a member the plugin knows"});
        }
    }
    DiscordSettings settings;
    settings.Events.assign(kDefaultDiscordEvents.begin(), kDefaultDiscordEvents.end());
    const size_t errors = reading.Errors.size();
    const bool haveUrl = ReadWebhook(block, settings, reading);
    const std::pair<const char*, void (*)(const json&, DiscordSettings&, RulesReading&)> members[] =
        {{"Events", &ReadEvents},
         {"Exchanges", &ReadExchanges},
         {"MinMultiplier", &ReadMinMultiplier},
         {"Username", &ReadUsername}};
    for (const auto& [name, read] : members) {
        if (const auto it = block.find(name); it != block.end()) {
            read(*it, settings, reading);
        }
    }
    if (!haveUrl || reading.Errors.size() != errors) {
        return std::nullopt;
    }
    return settings;
}

bool IsDiscordWebhookUrl(std::string_view url) {
    constexpr std::string_view kHosts[] = {"discord.com", "discordapp.com", "canary.discord.com",
                                           "ptb.discord.com"};
    constexpr std::string_view kScheme = "https://";
    constexpr std::string_view kPath = "/api/webhooks/";
    if (!url.starts_with(kScheme)) {
        return false;
    }
    url.remove_prefix(kScheme.size());
    const auto host = std::find_if(std::begin(kHosts), std::end(kHosts), [&](std::string_view h) {
        return url.starts_with(h) && url.substr(h.size()).starts_with(kPath);
    });
    if (host == std::end(kHosts)) {
        return false;
    }
    url.remove_prefix(host->size() + kPath.size());
    const size_t slash = url.find('/');
    const std::string_view id = url.substr(0, slash);
    const bool numeric = !id.empty() && std::all_of(id.begin(), id.end(),
                                                    [](char c) { return c >= '0' && c <= '9'; });
    return numeric && slash != std::string_view::npos && slash + 1 < url.size();
}

std::string WebhookTail(std::string_view url) {
    constexpr size_t kShown = 8;
    return "..." + std::string(url.size() > kShown ? url.substr(url.size() - kShown) : "");
}

} // namespace barterbox
