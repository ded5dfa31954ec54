// Chat lines to one player, sent under the ChatPrefix sender name through the host's messenger
// for this plugin. The exchanges' outcomes and the chat command's listing both go this way.
#pragma once

#include <string_view>

#include "host/engine_strings.h"
#include "host/engine_types.h"
#include "rules/message_texts.h"

namespace barterbox {

// Sends an already formatted text; the caller keeps and releases it.
void SendChatLine(AShooterPlayerController* player, const FString& text);

// Sends a UTF-8 text as the same characters.
void SendChatText(AShooterPlayerController* player, std::string_view text);

// The message in force, filled with its arguments.
template <typename... Args>
void SendPlayerChat(AShooterPlayerController* player, MessageId message, const Args&... arguments) {
    SendChatText(player, MessageText(message, arguments...));
}

} // namespace barterbox
