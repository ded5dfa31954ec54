// The host's ICommands and its dispatch; see command_registry.h.
#include "command_registry.h"

#include <algorithm>
#include <mutex>

#include "host/ascii_case.h"
#include "host_clock.h"
#include "host_strings.h"
#include "record_limit.h"

namespace hostsim {
namespace {

template <typename Handler> struct Registration {
    std::u16string Name;
    Handler Callable;
};

struct Registry final : AsaApi::ICommands {
    std::vector<Registration<AsaApi::ChatCommandHandler>> Chat;
    std::vector<Registration<AsaApi::ConsoleCommandHandler>> Console;
    std::vector<Registration<AsaApi::RconCommandHandler>> Rcon;
    std::vector<RegistryCall> Calls;
    uint64_t Fetches = 0; // calls of GetCommands

    void RegisterChatHandler(const FString& name,
                             const AsaApi::ChatCommandHandler& handler) override {
        Add(Chat, "RegisterChatHandler", name, handler);
    }
    void RegisterConsoleHandler(const FString& name,
                                const AsaApi::ConsoleCommandHandler& handler) override {
        Add(Console, "RegisterConsoleHandler", name, handler);
    }
    void RegisterRconHandler(const FString& name,
                             const AsaApi::RconCommandHandler& handler) override {
        Add(Rcon, "RegisterRconHandler", name, handler);
    }
    bool UnregisterChatHandler(const FString& name) override {
        return Remove(Chat, "UnregisterChatHandler", name);
    }
    bool UnregisterConsoleHandler(const FString& name) override {
        return Remove(Console, "UnregisterConsoleHandler", name);
    }
    bool UnregisterRconHandler(const FString& name) override {
        return Remove(Rcon, "UnregisterRconHandler", name);
    }

    template <typename Handler>
    void Add(std::vector<Registration<Handler>>& list, const char* operation, const FString& name,
             const Handler& handler) {
        std::u16string text = ReadFString(name);
        Calls.push_back({operation, Utf16ToUtf8(text), true});
        KeepLatest(Calls);
        list.push_back({std::move(text), handler}); // the registry's own copy of the callable
    }

    template <typename Handler>
    bool Remove(std::vector<Registration<Handler>>& list, const char* operation,
                const FString& name) {
        const std::u16string text = ReadFString(name);
        const auto it = std::find_if(list.begin(), list.end(),
                                     [&](const auto& entry) { return entry.Name == text; });
        const bool found = it != list.end();
        if (found) {
            list.erase(it);
        }
        Calls.push_back({operation, Utf16ToUtf8(text), found});
        KeepLatest(Calls);
        return found;
    }
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

// A copy of the handler registered under the line's first word, so that a handler may change the
// registry (a reload) while it runs.
template <typename Handler>
Handler Find(const std::vector<Registration<Handler>>& list, std::u16string_view line) {
    const std::u16string_view word = CommandWord(line);
    for (const auto& entry : list) {
        if (barterbox::EqualIgnoringAsciiCase(entry.Name, word)) {
            return entry.Callable;
        }
    }
    return {};
}

// The handler's argument: a host-owned copy of the line, released by the host afterwards.
struct HostLine {
    FString Text;
    explicit HostLine(std::u16string_view line)
        : Text(MakeFString(line, BufferOwner::Host, "command line")) {}
    ~HostLine() { Release(Text.Data, BufferOwner::Host); }
    HostLine(const HostLine&) = delete;
    HostLine& operator=(const HostLine&) = delete;
};

} // namespace

std::u16string_view CommandWord(std::u16string_view line) {
    return line.substr(0, line.find(u' '));
}

std::vector<RegistryCall> RegistryCalls() {
    return TheRegistry().Calls;
}

std::vector<std::string> RegisteredNames(HandlerKind kind) {
    Registry& registry = TheRegistry();
    std::vector<std::string> names;
    auto collect = [&](const auto& list) {
        for (const auto& entry : list) {
            names.push_back(Utf16ToUtf8(entry.Name));
        }
    };
    switch (kind) {
    case HandlerKind::Chat:
        collect(registry.Chat);
        break;
    case HandlerKind::Console:
        collect(registry.Console);
        break;
    case HandlerKind::Rcon:
        collect(registry.Rcon);
        break;
    }
    return names;
}

uint64_t CommandsFetches() {
    return TheRegistry().Fetches;
}

void ResetCommandRegistry() {
    Registry& registry = TheRegistry();
    registry.Chat.clear();
    registry.Console.clear();
    registry.Rcon.clear();
    registry.Calls.clear();
    registry.Fetches = 0;
}

bool DispatchChat(AShooterPlayerController* player, std::u16string_view line) {
    const auto handler = Find(TheRegistry().Chat, line);
    if (!handler) {
        return false;
    }
    HostLine text(line);
    handler(player, &text.Text, 0, 0);
    return true;
}

bool DispatchConsole(APlayerController* player, std::u16string_view line) {
    const auto handler = Find(TheRegistry().Console, line);
    if (!handler) {
        return false;
    }
    HostLine text(line);
    handler(player, &text.Text, false);
    return true;
}

bool DispatchRcon(RCONClientConnection* connection, int32_t requestId, std::u16string_view body,
                  UWorld* world) {
    const auto handler = Find(TheRegistry().Rcon, body);
    if (!handler) {
        return false;
    }
    HostLine text(body);
    RCONPacket packet;
    packet.Id = requestId;
    packet.Type = 2; // SERVERDATA_EXECCOMMAND
    packet.Body = text.Text;
    packet.Length = static_cast<int32_t>(body.size());
    handler(connection, &packet, world);
    return true;
}

} // namespace hostsim

AsaApi::ICommands& AsaApi::GetCommands() {
    hostsim::HostEntry inHost;
    hostsim::Registry& registry = hostsim::TheRegistry();
    ++registry.Fetches;
    return registry;
}
