// A reply to an RCON request: one text back through the game's RCON connection, in one packet.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/engine_types.h"

namespace barterbox {

// The most a reply's text may hold, in UTF-8 bytes: one RCON packet of 4096 bytes less its id,
// type and terminators. Many clients read only the first packet of a reply.
inline constexpr std::size_t kRconReplyBytes = 4086;

// Sends the UTF-8 text as the same characters.
void ReplyToRcon(RCONClientConnection* connection, int32_t requestId, std::string_view text);

// The lines joined by newlines, never empty, and never longer than kRconReplyBytes: the lines
// that do not fit are left out and counted in a last line.
std::string FitRconReply(const std::vector<std::string>& lines);

// The longest start of the UTF-8 text within `bytes` that cuts no character in two.
std::string_view Utf8Prefix(std::string_view text, std::size_t bytes);

// The UTF-8 bytes of the lines joined by newlines.
std::size_t JoinedBytes(const std::vector<std::string>& lines);

} // namespace barterbox
