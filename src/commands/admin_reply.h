// Replies to an administrator's console command: coloured server messages to the sender.
#pragma once

#include "host/engine_types.h"

namespace barterbox {

enum class ReplyColour { Green, Red, White };

void SendAdminReply(APlayerController* to, ReplyColour colour, const FString& text);

// Tells the sender in red that the table changed but could not be saved: the change holds only
// in memory, and a later Reload would silently undo it.
void WarnOfUnsavedChange(APlayerController* sender);

// Whether the console command's sender may run administrator commands.
bool IsAdministrator(APlayerController* sender);

} // namespace barterbox
