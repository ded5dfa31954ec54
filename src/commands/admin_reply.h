// Replies to an administrator's console command: coloured server messages to the sender, made
// from wide message templates.
#pragma once

#include <string_view>

#include "host/engine_strings.h"
#include "host/engine_types.h"

namespace barterbox {

enum class ReplyColour { Green, Red, White };

// One coloured line to the sender; the text stays the caller's.
void SendAdminReply(APlayerController* to, ReplyColour colour, const FString& text);

// Fills each {} of the template with the next argument and sends the line in that colour; the
// host string made for it is released once it has been sent.
template <MessageArgument... Args>
void ReplyToAdmin(APlayerController* sender, ReplyColour colour, std::u16string_view templ,
                  const Args&... args) {
    SendAdminReply(sender, colour, OwnedFString(FormatFString(templ, args...)).get());
}

// The command's usage line, in red.
void ReplyWithUsage(APlayerController* sender, std::u16string_view usage);

// Tells the sender in red that the table changed but could not be saved: the change holds only
// in memory, and a later Reload would silently undo it.
void WarnOfUnsavedChange(APlayerController* sender);

} // namespace barterbox
