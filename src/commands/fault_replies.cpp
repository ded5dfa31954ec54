// The answers to a command that failed inside; see fault_replies.h.
#include "fault_replies.h"

#include <string>

#include "admin_reply.h"
#include "host/engine_strings.h"
#include "player_chat.h"
#include "rcon_reply.h"

namespace barterbox {

void AnswerFaultInChat(AShooterPlayerController* player) {
    if (player != nullptr) {
        SendPlayerChat(player, u"Something went wrong inside the plugin; an administrator can "
                               u"read why in the server's log");
    }
}

void AnswerFaultAtConsole(APlayerController* sender, std::string_view command) {
    if (sender != nullptr) {
        ReplyToAdmin(sender, ReplyColour::Red,
                     u"Barterbox: Internal error in {}; the server's log says why",
                     ToWideString(command));
    }
}

void AnswerFaultOverRcon(RCONClientConnection* connection, const RCONPacket& request,
                         std::string_view command) {
    ReplyToRcon(connection, request.Id,
                "Barterbox: Internal error in " + std::string(command) +
                    "; the server's log "
                    "says why");
}

} // namespace barterbox
