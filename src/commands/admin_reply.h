// Replies to an administrator's console command: coloured server messages to the sender.
#pragma once

#include "host/engine_types.h"

namespace barterbox {

enum class ReplyColour { Green, Red, White };

void SendAdminReply(APlayerController* to, ReplyColour colour, const FString& text);

// Whether the console command's sender may run administrator commands.
bool IsAdministrator(APlayerController* sender);

} // namespace barterbox
