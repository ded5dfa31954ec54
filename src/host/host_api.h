// The AsaApi host as a plugin sees it: the command registry, the utilities, the per-plugin
// messenger and the free functions the host exports. The host implements all of it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <spdlog/sinks/sink.h>

#include "engine_types.h"

namespace AsaApi {

using ChatCommandHandler = std::function<void(AShooterPlayerController*, FString*, int, int)>;
using ConsoleCommandHandler = std::function<void(APlayerController*, FString*, bool)>;
using RconCommandHandler = std::function<void(RCONClientConnection*, RCONPacket*, UWorld*)>;

// The host's command registry. It keeps its own copy of every callable it is given, and
// accepts the removal of a name that is not registered.
class ICommands {
public:
    virtual void RegisterChatHandler(const FString& name, const ChatCommandHandler& handler) = 0;
    virtual void RegisterConsoleHandler(const FString& name,
                                        const ConsoleCommandHandler& handler) = 0;
    virtual void RegisterRconHandler(const FString& name, const RconCommandHandler& handler) = 0;
    virtual bool UnregisterChatHandler(const FString& name) = 0;
    virtual bool UnregisterConsoleHandler(const FString& name) = 0;
    virtual bool UnregisterRconHandler(const FString& name) = 0;

protected:
    ~ICommands() = default;
};

// Messages to players, routed through the host on behalf of one plugin.
class PluginMessenger {
public:
    virtual ~PluginMessenger() = default;
    virtual void SendNotification(AShooterPlayerController* to, const FString& text,
                                  float seconds) = 0;
    virtual void SendColouredLine(APlayerController* to, float r, float g, float b, float a,
                                  const FString& text) = 0;
    virtual void SendChatLine(AShooterPlayerController* to, const FString& sender,
                              const FString& text) = 0;
};

class IApiUtils {
public:
    virtual UWorld* ActiveWorld() = 0;
    // The messenger of the plugin whose module file is at modulePath; never null.
    virtual std::shared_ptr<PluginMessenger> GetPluginMessenger(const FString& modulePath) = 0;

protected:
    ~IApiUtils() = default;
};

HOST_API ICommands& GetCommands();
HOST_API IApiUtils& GetApiUtils();
// A fresh host string that the caller releases.
HOST_API FString GetEOSIDFromController(AController* controller);
HOST_API std::string GetCurrentDir();
HOST_API std::vector<spdlog::sink_ptr>& GetLogSinks();
// A game function by its name, called with its object first; null when the game has no such name.
HOST_API void* GetAddress(std::string_view name);
// The address of a field inside an object; null when the game has no such field.
HOST_API void* GetAddress(const void* object, std::string_view field);
HOST_API BitField GetBitField(const void* object, std::string_view field);

} // namespace AsaApi
