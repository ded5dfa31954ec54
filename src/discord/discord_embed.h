// An audit record as a Discord embed, and embeds as a webhook's body: within Discord's limits on
// every text, cut on a character's boundary, and with mentions turned off, so that no exchange
// name, description or character name can ping anyone.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace barterbox {

// Discord's limits, in characters.
inline constexpr size_t kEmbedTitleLimit = 256;
inline constexpr size_t kEmbedFieldNameLimit = 256;
inline constexpr size_t kEmbedFieldValueLimit = 1024;
inline constexpr size_t kEmbedFooterLimit = 2048;
inline constexpr size_t kEmbedFieldLimit = 25;
inline constexpr size_t kEmbedsPerMessage = 10;
inline constexpr size_t kMessageTextLimit = 6000; // every embed's texts together

// The embed as JSON text, written once when the record comes: a batch's body only joins texts.
// A text that is not UTF-8 (an exchange name typed so) has U+FFFD in place of its bad bytes.
struct DiscordEmbed {
    std::string Json;
    size_t Characters = 0; // what counts towards kMessageTextLimit
};

// The text cut to at most `limit` characters (code points), never inside one, ending
// in "..." when cut.
std::string TruncatedText(std::string_view text, size_t limit);

// The record's embed: title, colour, fields, footer and time; within kMessageTextLimit alone.
DiscordEmbed EmbedOfRecord(const nlohmann::ordered_json& members);

// {"username": ..., "allowed_mentions": {"parse": []}, "embeds": [...]}, as JSON text.
std::string WebhookBody(const std::string& username, const std::vector<const std::string*>& embeds);

} // namespace barterbox
