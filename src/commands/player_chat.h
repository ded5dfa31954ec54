// Chat lines to one player, sent under the ChatPrefix sender name through the host's messenger
// for this plugin. The exchanges' outcomes and the chat command's listing both go this way.
#pragma once

#include <string_view>

#include "host/engine_strings.h"
#include "host/engine_types.h"

namespace barterbox {

// Sends an already formatted text; the caller keeps and releases it.
void SendChatLine(AShooterPlayerController* player, const FString& text);

// Formats the wide template with its arguments and sends the result.
template <MessageArgument... Args>
void SendPlayerChat(AShooterPlayerController* player, std::u16string_view templ,
                    const Args&... args) {
    OwnedFString text(FormatFString(templ, args...));
    SendChatLine(player, text.get());
}

} // namespace barterbox
