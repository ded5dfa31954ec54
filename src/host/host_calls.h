// Every call into the host's own interface, as the plugin's layers above see it: the command
// registry, the plugin's messenger, a player's EOS ID, the server's directory, the log sinks and
// the active world. The game's own functions and fields are game_calls.h's. A binding to another
// host changes this folder and nothing above it.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <spdlog/common.h>

#include "engine_types.h"

namespace barterbox::host_calls {

// The handler shapes the host's registry takes, one per kind of command.
using ChatHandler = std::function<void(AShooterPlayerController*, FString*, int, int)>;
using ConsoleHandler = std::function<void(APlayerController*, FString*, bool)>;
using RconHandler = std::function<void(RCONClientConnection*, RCONPacket*, UWorld*)>;

// The registry keeps its own copy of each handler; removing a name that is not registered is
// accepted.
void RegisterChatCommand(std::string_view name, const ChatHandler& handler);
void RegisterConsoleCommand(std::string_view name, const ConsoleHandler& handler);
void RegisterRconCommand(std::string_view name, const RconHandler& handler);
void UnregisterChatCommand(std::string_view name);
void UnregisterConsoleCommand(std::string_view name);
void UnregisterRconCommand(std::string_view name);

// Through the host's messenger for this plugin's module. The text stays the caller's.
void SendChatLine(AShooterPlayerController* to, std::string_view sender, const FString& text);
struct LineColour {
    float R, G, B, A;
};
void SendColouredLine(APlayerController* to, LineColour colour, const FString& text);

// The controller's EOS ID as the host reports it, narrowed; empty for a null controller.
std::string PlayerEosId(AController* controller);

// The game server's directory, in which the host keeps its plugins' folders.
std::string ServerDirectory();
// The host's shared log sinks, which the plugin's logger writes to.
std::vector<spdlog::sink_ptr>& LogSinks();
UWorld* ActiveWorld();

} // namespace barterbox::host_calls
