// What whoever ran a command hears when the command failed inside (the entry guard caught an
// exception): a player in chat, an administrator at the console, an RCON client. Each says only
// that it failed; the log says why.
#pragma once

#include <string_view>

#include "host/engine_types.h"

namespace barterbox {

void AnswerFaultInChat(AShooterPlayerController* player);
void AnswerFaultAtConsole(APlayerController* sender, std::string_view command);
void AnswerFaultOverRcon(RCONClientConnection* connection, const RCONPacket& request,
                         std::string_view command);

} // namespace barterbox
