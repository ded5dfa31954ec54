// The one place where every command name meets its handler.
#include "command_table.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "commands/chat_words.h"
#include "commands/command_handlers.h"
#include "commands/fault_replies.h"
#include "entry_guard.h"
#include "host/ascii_case.h"
#include "host/host_calls.h"
#include "rules/message_texts.h"

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
    {"Barterbox.Run",    CommandKind::Console, nullptr, &OnRunConsoleCommand,        nullptr},
    {"Barterbox.Do",     CommandKind::Rcon,    nullptr, nullptr, &OnExchangeRconCommand},
    {"Barterbox.Reload", CommandKind::Rcon,    nullptr, nullptr, &OnReloadRconCommand},
    {"Barterbox.List",   CommandKind::Rcon,    nullptr, nullptr, &OnListRconCommand},
    {"Barterbox.Add",    CommandKind::Rcon,    nullptr, nullptr, &OnAddRconCommand},
    {"Barterbox.Remove", CommandKind::Rcon,    nullptr, nullptr, &OnRemoveRconCommand},
    {"Barterbox.Save",   CommandKind::Rcon,    nullptr, nullptr, &OnSaveRconCommand},
    {"Barterbox.Limits", CommandKind::Rcon,    nullptr, nullptr, &OnLimitsRconCommand},
    {"Barterbox.Reset",  CommandKind::Rcon,    nullptr, nullptr, &OnResetRconCommand},
    {"Barterbox.Run",    CommandKind::Rcon,    nullptr, nullptr, &OnRunRconCommand},
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
host_calls::ChatHandler GuardedChat(std::string name, ChatCommandHandler handler) {
    return [name = std::move(name), handler](AShooterPlayerController* player, FString* line, int a,
                                             int b) {
        RunGuarded(
            name, [&] { handler(player, line, a, b); }, [&] { AnswerFaultInChat(player); });
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

// The chat words registered now, with the handler each runs, in registration order.
struct RegisteredChatWord {
    std::string Word;
    ChatCommandHandler Handler;
};

std::vector<RegisteredChatWord>& RegisteredChatWords() {
    static std::vector<RegisteredChatWord> words;
    return words;
}

// The words in force, each with its handler: the exchange's, then the preview's.
std::vector<RegisteredChatWord> ChatWordsWanted() {
    std::vector<RegisteredChatWord> wanted;
    for (const std::string& word : ChatWordsInForce().Exchange) {
        wanted.push_back({word, &OnExchangeChatCommand});
    }
    for (const std::string& word : ChatWordsInForce().Preview) {
        wanted.push_back({word, &OnPreviewChatCommand});
    }
    return wanted;
}

bool SameRegistration(const RegisteredChatWord& a, const RegisteredChatWord& b) {
    return a.Handler == b.Handler && EqualIgnoringAsciiCase(a.Word, b.Word);
}

// Removes what is no longer wanted, then registers what is wanted and not yet registered, so a
// word that stays keeps its registration throughout.
void RegisterChatWordsInForce() {
    std::vector<RegisteredChatWord>& registered = RegisteredChatWords();
    const std::vector<RegisteredChatWord> wanted = ChatWordsWanted();
    std::erase_if(registered, [&](const RegisteredChatWord& word) {
        const bool stays = std::any_of(wanted.begin(), wanted.end(), [&](const auto& other) {
            return SameRegistration(word, other);
        });
        if (!stays) {
            host_calls::UnregisterChatCommand(word.Word);
        }
        return !stays;
    });
    for (const RegisteredChatWord& word : wanted) {
        if (std::none_of(registered.begin(), registered.end(),
                         [&](const auto& other) { return SameRegistration(word, other); })) {
            host_calls::RegisterChatCommand(word.Word, GuardedChat(word.Word, word.Handler));
            registered.push_back(word);
        }
    }
}

} // namespace

void RegisterCommands() {
    RegisteredChatWords().clear();
    RegisterChatWordsInForce();
    SetChatWordsHook(&RegisterChatWordsInForce);
    for (const CommandEntry& command : kCommands) {
        switch (command.Kind) {
        case CommandKind::Chat:
            // Registered above, as rules.json's Commands lists them.
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
    // A Reload after the unload must not register the words again.
    ResetChatWordsHook();
    // The list is kept: a second unload (Plugin_Unload, then the module's detach) removes the
    // same names again, which the host accepts.
    for (const RegisteredChatWord& word : RegisteredChatWords()) {
        host_calls::UnregisterChatCommand(word.Word);
    }
    for (const CommandEntry& command : kCommands) {
        switch (command.Kind) {
        case CommandKind::Chat:
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
