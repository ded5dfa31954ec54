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
        SendPlayerChat(player, MessageId::InternalError);
    }
}

void AnswerFaultAtConsole(APlayerController* sender, std::string_view command) {
    if (sender != nullptr) {
        ReplyToAdmin(AdminCaller{sender, nullptr}, ReplyColour::Red,
                     MessageId::InternalErrorConsole, command);
    }
}

void AnswerFaultOverRcon(RCONClientConnection* connection, const RCONPacket& request,
                         std::string_view command) {
    ReplyToRcon(connection, request.Id, MessageText(MessageId::InternalErrorConsole, command));
}

} // namespace barterbox
