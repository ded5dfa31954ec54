// rules.json's Discord block: the webhook the audit's records are posted to, and which records.
// Shared by the plugin's Discord sink and the config checker.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace barterbox {

struct DiscordSettings {
    std::string Webhook;
    // The events posted, each one of kDiscordEvents.
    std::vector<std::string> Events;
    // Only records of these exchanges (matched as exchange names are); unset: of every exchange.
    std::optional<std::vector<std::string>> Exchanges;
    // Only exchanges asked for at this multiplier or more; administrators' changes always pass.
    std::optional<int64_t> MinMultiplier;
    std::string Username = "Barterbox";
};

inline constexpr std::array<std::string_view, 5> kDiscordMembers{"Webhook", "Events", "Exchanges",
                                                                 "MinMultiplier", "Username"};

// What Events may name: an exchange's outcome as its audit record writes it, every refusal
// ("refused") or those of one rule ("refused:" and the record's refused_by), and the
// administrators' changes by their records' event.
inline constexpr std::array<std::string_view, 21> kDiscordEvents{"complete",
                                                                 "short",
                                                                 "refused",
                                                                 "cancelled",
                                                                 "partial",
                                                                 "unknown",
                                                                 "refused:closed",
                                                                 "refused:groups",
                                                                 "refused:cooldown",
                                                                 "refused:day",
                                                                 "refused:week",
                                                                 "refused:total",
                                                                 "refused:stock",
                                                                 "refused:rules_unreadable",
                                                                 "refused:state",
                                                                 "refused:room",
                                                                 "add",
                                                                 "remove",
                                                                 "reload",
                                                                 "save",
                                                                 "reset"};

// Without Events: the trades that completed or went wrong, and every administrator's change.
// Constant, not a vector: the module's attach may read rules.json before its dynamic
// initialisation has run.
inline constexpr std::array<std::string_view, 8> kDefaultDiscordEvents{
    "complete", "cancelled", "partial", "add", "remove", "reload", "save", "reset"};

// Discord allows usernames of 1 to 80 characters.
inline constexpr size_t kDiscordUsernameLimit = 80;

// Whether the URL has the form of a Discord webhook: https://discord.com/api/webhooks/ID/TOKEN
// (or discordapp.com, canary. and ptb.), the ID a number.
bool IsDiscordWebhookUrl(std::string_view url);

// The webhook as a log may show it: its last 8 characters, since the URL is its own password.
std::string WebhookTail(std::string_view url);

} // namespace barterbox
