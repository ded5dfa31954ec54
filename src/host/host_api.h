// The AsaApi host as a plugin sees it: the command registry, the utilities, the per-plugin
// messenger and the free functions the host exports. The host implements all of it.
#pragma once

#include <chrono>
#include <cstdint>
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

// What an HTTP request came to: whether an answer arrived at all (a refused connection, a time-out
// or a connection closed before the answer is none), its status, body and headers.
struct HttpReply {
    bool Answered = false;
    int Status = 0;
    std::string Body;
    std::vector<std::pair<std::string, std::string>> Headers;
};
using HttpCallback = std::function<void(const HttpReply&)>;

// The host's asynchronous HTTP requests. A request runs on a thread of the host's; its callback
// runs once, later, on the game thread, from the host's tick. A cancelled request's callback never
// runs, and the host drops its copy of it before CancelRequest returns, so that a plugin may cancel
// its requests and then be unloaded.
class IRequests {
public:
    // Headers are "Name: value" lines. 0 when the request could not be started.
    virtual uint64_t CreatePostRequest(const std::string& url, const HttpCallback& callback,
                                       const std::string& body, const std::string& contentType,
                                       const std::vector<std::string>& headers) = 0;
    virtual void CancelRequest(uint64_t request) = 0;

protected:
    ~IRequests() = default;
};

// Calls on the game thread after a delay, from the host's tick; cancelled like a request.
class ITimer {
public:
    virtual uint64_t DelayExecute(const std::function<void()>& callback,
                                  std::chrono::milliseconds delay) = 0;
    virtual void CancelTimer(uint64_t timer) = 0;

protected:
    ~ITimer() = default;
};

HOST_API ICommands& GetCommands();
HOST_API IRequests& GetRequests();
HOST_API ITimer& GetTimer();
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
