// RCON replies; see rcon_reply.h.
#include "rcon_reply.h"

#include <string>

#include "host/engine_strings.h"
#include "host/game_calls.h"

namespace barterbox {

void ReplyToRcon(RCONClientConnection* connection, int32_t requestId, std::string_view text) {
    OwnedFString reply{FString(std::string(text).c_str())};
    game_calls::RconSendMessage(connection, requestId, reply.get());
}

} // namespace barterbox
