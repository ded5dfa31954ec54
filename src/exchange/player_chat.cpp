// Chat lines to one player; see player_chat.h.
#include "player_chat.h"

#include "catalogue/plugin_settings.h"
#include "host/host_api.h"
#include "host/module_path.h"

namespace barterbox {

void SendChatLine(AShooterPlayerController* player, const FString& text) {
    AsaApi::IApiUtils& utils = AsaApi::GetApiUtils();
    OwnedFString sender(FString(ToWideString(Settings().ChatPrefix).c_str()));
    OwnedFString modulePath(PluginModulePath());
    const std::shared_ptr<AsaApi::PluginMessenger> messenger =
        utils.GetPluginMessenger(modulePath.get());
    messenger->SendChatLine(player, sender.get(), text);
}

} // namespace barterbox
