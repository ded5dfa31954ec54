// The one place where every command name meets its handler.
#include "command_table.h"

#include <array>

#include "commands/command_handlers.h"
#include "host/engine_strings.h"

namespace barterbox {
namespace {

// clang-format off
constexpr std::array<CommandEntry, 9> kCommands{{
    {"/exchange",        CommandKind::Chat,    &OnExchangeChatCommand,  nullptr, nullptr},
    {"/ex",              CommandKind::Chat,    &OnExchangeChatCommand,  nullptr, nullptr},
    {"DoExchange",       CommandKind::Console, nullptr, &OnDoExchangeConsoleCommand, nullptr},
    {"Barterbox.Reload", CommandKind::Console, nullptr, &OnReloadConsoleCommand,     nullptr},
    {"Barterbox.List",   CommandKind::Console, nullptr, &OnListConsoleCommand,       nullptr},
    {"Barterbox.Add",    CommandKind::Console, nullptr, &OnAddConsoleCommand,        nullptr},
    {"Barterbox.Remove", CommandKind::Console, nullptr, &OnRemoveConsoleCommand,     nullptr},
    {"Barterbox.Save",   CommandKind::Console, nullptr, &OnSaveConsoleCommand,       nullptr},
    {"Barterbox.Do",     CommandKind::Rcon,    nullptr, nullptr, &OnExchangeRconCommand},
}};
// clang-format on

} // namespace

std::span<const CommandEntry> CommandTable() {
    return kCommands;
}

void RegisterCommands() {
    for (const CommandEntry& command : kCommands) {
        AsaApi::ICommands& registry = AsaApi::GetCommands();
        OwnedFString name{FString(command.Name)};
        switch (command.Kind) {
        case CommandKind::Chat:
            registry.RegisterChatHandler(name.get(), AsaApi::ChatCommandHandler(command.Chat));
            break;
        case CommandKind::Console:
            registry.RegisterConsoleHandler(name.get(),
                                            AsaApi::ConsoleCommandHandler(command.Console));
            break;
        case CommandKind::Rcon:
            registry.RegisterRconHandler(name.get(), AsaApi::RconCommandHandler(command.Rcon));
            break;
        }
    }
}

void UnregisterCommands() {
    for (const CommandEntry& command : kCommands) {
        AsaApi::ICommands& registry = AsaApi::GetCommands();
        OwnedFString name{FString(command.Name)};
        switch (command.Kind) {
        case CommandKind::Chat:
            registry.UnregisterChatHandler(name.get());
            break;
        case CommandKind::Console:
            registry.UnregisterConsoleHandler(name.get());
            break;
        case CommandKind::Rcon:
            registry.UnregisterRconHandler(name.get());
            break;
        }
    }
}

} // namespace barterbox
