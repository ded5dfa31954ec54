// The one place where every command name meets its handler.
#include "command_table.h"

#include <algorithm>
#include <array>

#include "commands/command_handlers.h"
#include "commands/fault_replies.h"
#include "entry_guard.h"
#include "host/host_calls.h"

namespace barterbox {
namespace {

// clang-format off
constexpr std::array<CommandEntry, kCommandCount> kCommands{{
    {"/exchange",        CommandKind::Chat,    &OnExchangeChatCommand,  nullptr, nullptr},
    {"/ex",              CommandKind::Chat,    &OnExchangeChatCommand,  nullptr, nullptr},
    {"/exinfo",          CommandKind::Chat,    &OnPreviewChatCommand,   nullptr, nullptr},
    {"DoExchange",       CommandKind::Console, nullptr, &OnDoExchangeConsoleCommand, nullptr},
    {"Barterbox.Reload", CommandKind::Console, nullptr, &OnReloadConsoleCommand,     nullptr},
    {"Barterbox.List",   CommandKind::Console, nullptr, &OnListConsoleCommand,       nullptr},
    {"Barterbox.Add",    CommandKind::Console, nullptr, &OnAddConsoleCommand,        nullptr},
    {"Barterbox.Remove", CommandKind::Console, nullptr, &OnRemoveConsoleCommand,     nullptr},
    {"Barterbox.Save",   CommandKind::Console, nullptr, &OnSaveConsoleCommand,       nullptr},
    {"Barterbox.Limits", CommandKind::Console, nullptr, &OnLimitsConsoleCommand,     nullptr},
    {"Barterbox.Reset",  CommandKind::Console, nullptr, &OnResetConsoleCommand,      nullptr},
    {"Barterbox.Do",     CommandKind::Rcon,    nullptr, nullptr, &OnExchangeRconCommand},
}};
// clang-format on

// Each entry is the command of that place in the list of names, of the same kind.
constexpr bool MatchesTheNames() {
    return std::equal(kCommands.begin(), kCommands.end(), std::begin(kCommandNames),
                      std::end(kCommandNames),
                      [](const CommandEntry& entry, const CommandName& name) {
                          return entry.Name == name.Name && entry.Kind == name.Kind;
                      });
}
static_assert(MatchesTheNames(), "the command table follows commands/command_names.h");

// The handlers as the host's registry takes them, each behind the entry guard.
host_calls::ChatHandler GuardedChat(const CommandEntry& command) {
    return [&command](AShooterPlayerController* player, FString* line, int a, int b) {
        RunGuarded(
            command.Name, [&] { command.Chat(player, line, a, b); },
            [&] { AnswerFaultInChat(player); });
    };
}

host_calls::ConsoleHandler GuardedConsole(const CommandEntry& command) {
    return [&command](APlayerController* sender, FString* line, bool cheat) {
        RunGuarded(
            command.Name, [&] { command.Console(sender, line, cheat); },
            [&] { AnswerFaultAtConsole(sender, command.Name); });
    };
}

host_calls::RconHandler GuardedRcon(const CommandEntry& command) {
    return [&command](RCONClientConnection* connection, RCONPacket* request, UWorld* world) {
        RunGuarded(
            command.Name, [&] { command.Rcon(connection, request, world); },
            [&] { AnswerFaultOverRcon(connection, *request, command.Name); });
    };
}

} // namespace

void RegisterCommands() {
    for (const CommandEntry& command : kCommands) {
        switch (command.Kind) {
        case CommandKind::Chat:
            host_calls::RegisterChatCommand(command.Name, GuardedChat(command));
            break;
        case CommandKind::Console:
            host_calls::RegisterConsoleCommand(command.Name, GuardedConsole(command));
            break;
        case CommandKind::Rcon:
            host_calls::RegisterRconCommand(command.Name, GuardedRcon(command));
            break;
        }
    }
}

void UnregisterCommands() {
    for (const CommandEntry& command : kCommands) {
        switch (command.Kind) {
        case CommandKind::Chat:
            host_calls::UnregisterChatCommand(command.Name);
            break;
        case CommandKind::Console:
            host_calls::UnregisterConsoleCommand(command.Name);
            break;
        case CommandKind::Rcon:
            host_calls::UnregisterRconCommand(command.Name);
            break;
        }
    }
}

} // namespace barterbox
