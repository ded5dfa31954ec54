// Chat lines to one player; see player_chat.h.
#include "player_chat.h"

#include "catalogue/plugin_settings.h"
#include "host/host_calls.h"

namespace barterbox {

void SendChatLine(AShooterPlayerController* player, const FString& text) {
    host_calls::SendChatLine(player, Settings().ChatPrefix, text);
}

void SendChatText(AShooterPlayerController* player, std::string_view text) {
    OwnedFString line(FString(ToWideString(text).c_str()));
    SendChatLine(player, line.get());
}

} // namespace barterbox
