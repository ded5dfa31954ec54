// The host's own interface behind the plugin's calls; see host_calls.h.
#include "host_calls.h"

#include "engine_strings.h"
#include "host_api.h"
#include "module_path.h"

namespace barterbox::host_calls {
namespace {

OwnedFString HostText(std::string_view text) {
    return OwnedFString(FString(std::string(text).c_str()));
}

std::shared_ptr<AsaApi::PluginMessenger> Messenger() {
    const OwnedFString modulePath(PluginModulePath());
    return AsaApi::GetApiUtils().GetPluginMessenger(modulePath.get());
}

} // namespace

void RegisterChatCommand(std::string_view name, const ChatHandler& handler) {
    AsaApi::GetCommands().RegisterChatHandler(HostText(name).get(), handler);
}

void RegisterConsoleCommand(std::string_view name, const ConsoleHandler& handler) {
    AsaApi::GetCommands().RegisterConsoleHandler(HostText(name).get(), handler);
}

void RegisterRconCommand(std::string_view name, const RconHandler& handler) {
    AsaApi::GetCommands().RegisterRconHandler(HostText(name).get(), handler);
}

void UnregisterChatCommand(std::string_view name) {
    AsaApi::GetCommands().UnregisterChatHandler(HostText(name).get());
}

void UnregisterConsoleCommand(std::string_view name) {
    AsaApi::GetCommands().UnregisterConsoleHandler(HostText(name).get());
}

void UnregisterRconCommand(std::string_view name) {
    AsaApi::GetCommands().UnregisterRconHandler(HostText(name).get());
}

void SendChatLine(AShooterPlayerController* to, std::string_view sender, const FString& text) {
    OwnedFString senderText(FString(ToWideString(sender).c_str()));
    // The messenger is asked for before the message is sent, as the host hands it out per call.
    const std::shared_ptr<AsaApi::PluginMessenger> messenger = Messenger();
    messenger->SendChatLine(to, senderText.get(), text);
}

void SendColouredLine(APlayerController* to, LineColour colour, const FString& text) {
    Messenger()->SendColouredLine(to, colour.R, colour.G, colour.B, colour.A, text);
}

std::string PlayerEosId(AController* controller) {
    if (controller == nullptr) {
        return {};
    }
    const OwnedFString id(AsaApi::GetEOSIDFromController(controller));
    return ToNarrowString(id.get());
}

std::string ServerDirectory() {
    return AsaApi::GetCurrentDir();
}

std::vector<spdlog::sink_ptr>& LogSinks() {
    return AsaApi::GetLogSinks();
}

UWorld* ActiveWorld() {
    return AsaApi::GetApiUtils().ActiveWorld();
}

} // namespace barterbox::host_calls
