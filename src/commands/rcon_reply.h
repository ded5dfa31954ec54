// A reply to an RCON request: one plain text line back through the game's RCON connection.
#pragma once

#include <cstdint>
#include <string_view>

#include "host/engine_types.h"

namespace barterbox {

void ReplyToRcon(RCONClientConnection* connection, int32_t requestId, std::string_view text);

} // namespace barterbox
