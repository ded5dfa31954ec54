// The console commands; see console_commands.h.
#include "console_commands.h"

#include <stdexcept>

#include "hostsim/command_registry.h"
#include "hostsim/host_strings.h"
#include "plugin_commands.h"
#include "plugin_files.h"
#include "tools/server/hosting/plugin_clock.h"
#include "tools/server/hosting/plugin_loading.h"
#include "tools/server/hosting/server_context.h"
#include "tools/server/output/event_output.h"
#include "tools/server/rcon/rcon_dispatch.h"
#include "webhook_command.h"

namespace barterbox::server {
namespace {

// "; groups VIP, Donor" for a player in groups besides Default, which every player is in.
std::string GroupsNote(const hostsim::PlayerInfo& player) {
    std::string note;
    for (const std::string& group : player.Groups) {
        note += (note.empty() ? "; groups " : ", ") + group;
    }
    return note;
}

// "; riding, carried" for a character in states in which nothing may be traded.
std::string StatesNote(const hostsim::World& world, const std::string& player) {
    const CharacterStates states = world.CharacterStatesOf(player);
    std::string note;
    for (const CharacterState state : kCharacterStates) {
        if (states.Has(state)) {
            note += note.empty() ? "; " : ", ";
            note += WordsOf(state).Word;
        }
    }
    return note;
}

void ListPlayers(const hostsim::World& world) {
    const std::vector<hostsim::PlayerInfo> players = world.Players();
    ServerLine(std::to_string(players.size()) +
               (players.size() == 1 ? " player online" : " players online"));
    for (const hostsim::PlayerInfo& player : players) {
        ServerLine(player.Name + " (EOS ID " + player.EosId + ", " +
                   (player.Admin ? "administrator" : "player") + GroupsNote(player) +
                   StatesNote(world, player.Name) + ")");
    }
}

void ShowInventory(const hostsim::World& world, const std::string& player) {
    const std::vector<hostsim::InventorySlot> slots = world.Inventory(player);
    if (const std::string states = StatesNote(world, player); !states.empty()) {
        WriteLine("[inv " + player + "] (" + states.substr(2) + ")");
    }
    if (slots.empty()) {
        WriteLine(EmptyInventoryLine(player));
        return;
    }
    for (size_t i = 0; i < slots.size(); ++i) {
        const hostsim::InventorySlot& slot = slots[i];
        if (slot.ItemId == 0) {
            WriteLine("[inv " + player + "] #" + std::to_string(i) + " (null entry)");
        } else {
            WriteLine(InventoryEventLine(
                player, i, slot.ClassName.empty() ? "(no class)" : slot.ClassName, slot.Quantity));
        }
    }
}

AShooterPlayerController* OnlinePlayer(const hostsim::World& world, const std::string& name) {
    AShooterPlayerController* controller = world.FindPlayer(name);
    if (controller == nullptr) {
        throw std::invalid_argument("no player named " + name);
    }
    return controller;
}

// Remote commands name players by EOS ID, so two players online with one would make them ambiguous.
void RefuseOnlineEosId(const hostsim::World& world, const std::string& eosId) {
    for (const hostsim::PlayerInfo& player : world.Players()) {
        if (player.EosId == eosId) {
            throw std::invalid_argument("the EOS ID " + eosId + " is taken by " + player.Name +
                                        ", who is online");
        }
    }
}

bool IsAdministrator(const hostsim::World& world, const std::string& name) {
    for (const hostsim::PlayerInfo& player : world.Players()) {
        if (player.Name == name) {
            return player.Admin;
        }
    }
    return false;
}

void SendRcon(ServerContext& server, const std::string& text) {
    const RconOutcome outcome =
        DispatchRconRequest(*server.World, server.ConsoleRcon, server.NextConsoleRequestId++, text);
    if (!outcome.Handled) {
        ServerLine(UnhandledLine("RCON", text));
    } else if (outcome.Replies.empty()) {
        ServerError("the RCON request got no reply");
    }
}

void JoinPlayer(hostsim::World& world, const ConsoleCommand& command) {
    RefuseOnlineEosId(world, command.EosId);
    world.Join(command.Player, command.EosId, command.Admin);
    ServerLine(command.Player + " joined (EOS ID " + command.EosId +
               (command.Admin ? ", administrator)" : ")"));
}

void SetAdministrator(hostsim::World& world, const ConsoleCommand& command) {
    world.SetAdmin(command.Player, command.Admin);
    ServerLine(command.Player +
               (command.Admin ? " is an administrator now" : " is no longer an administrator"));
}

void SetGroup(hostsim::World& world, const ConsoleCommand& command) {
    const bool changed = world.SetPlayerGroup(command.Player, command.Group, command.Member);
    const std::string group = " the group " + command.Group;
    if (command.Member) {
        ServerLine(command.Player + " is in" + group + (changed ? " now" : " already"));
    } else {
        ServerLine(command.Player + (changed ? " is no longer in" : " was not in") + group);
    }
}

void SetState(hostsim::World& world, const ConsoleCommand& command) {
    world.SetCharacterState(command.Player, command.State, command.Member);
    const std::string word(WordsOf(command.State).Reason);
    ServerLine(command.Player +
               (command.Member ? " is " + word + " now" : " is no longer " + word));
}

// Shows the plugin's clock, after fixing it where the command says. Once fixed, it stands still
// until the next clock command, so that a transcript's times are the same on every run.
void RunClock(const ConsoleCommand& command) {
    ClockTime time = PluginClock();
    if (command.ClockSetTo) {
        time = *command.ClockSetTo;
    } else if (command.ClockMovedOn) {
        if (time > kLatestClockTime - *command.ClockMovedOn) {
            throw std::invalid_argument("the clock cannot pass " + ClockTimeText(kLatestClockTime));
        }
        time += *command.ClockMovedOn;
    }
    if ((command.ClockSetTo || command.ClockMovedOn) && !SetPluginClock(time)) {
        ServerError("the environment refused the clock " + ClockTimeText(time));
        return;
    }
    ServerLine("clock " + ClockTimeText(time));
}

// Reports the items by their class's name when the text names a class, else as written.
void GiveItems(hostsim::World& world, const ConsoleCommand& command) {
    world.GiveItems(command.Player, command.Item, command.Quantity);
    const auto itemClass = world.FindItemClass(command.Item);
    ServerLine("gave " + command.Player + " " + std::to_string(command.Quantity) + " " +
               (itemClass ? itemClass->Name : command.Item));
}

void SendChat(const hostsim::World& world, const ConsoleCommand& command) {
    AShooterPlayerController* player = OnlinePlayer(world, command.Player);
    if (!hostsim::DispatchChat(player, hostsim::Utf8ToUtf16(command.Text))) {
        ServerLine(UnhandledLine("chat", command.Text));
    }
}

// A player's console line. An administrator's command from a player who is not one gets no
// answer, so the server says why.
void SendConsoleLine(const hostsim::World& world, const ConsoleCommand& command) {
    AShooterPlayerController* player = OnlinePlayer(world, command.Player);
    if (!hostsim::DispatchConsole(player, hostsim::Utf8ToUtf16(command.Text))) {
        ServerLine(UnhandledLine("console", command.Text));
    } else if (const auto ignored = IgnoredForNonAdministrator(
                   command.Player, IsAdministrator(world, command.Player), command.Text)) {
        ServerLine(*ignored);
    }
}

// The console's own commands, then the commands the plugin has registered with the host.
void ShowHelp() {
    ServerLine("console commands (# starts a comment):");
    for (const std::string_view line : kConsoleHelp) {
        ServerLine("  " + std::string(line));
    }
    for (const std::string& line : RegisteredCommandLines()) {
        ServerLine(line);
    }
}

void Run(ServerContext& server, const ConsoleCommand& command) {
    hostsim::World& world = *server.World;
    switch (command.Verb) {
    case ConsoleVerb::Nothing:
    case ConsoleVerb::Quit:
        break;
    case ConsoleVerb::Players:
        ListPlayers(world);
        break;
    case ConsoleVerb::Join:
        JoinPlayer(world, command);
        break;
    case ConsoleVerb::Leave:
        world.Leave(command.Player);
        ServerLine(command.Player + " left");
        break;
    case ConsoleVerb::Admin:
        SetAdministrator(world, command);
        break;
    case ConsoleVerb::Group:
        SetGroup(world, command);
        break;
    case ConsoleVerb::State:
        SetState(world, command);
        break;
    case ConsoleVerb::Give:
        GiveItems(world, command);
        break;
    case ConsoleVerb::Inventory:
        ShowInventory(world, command.Player);
        break;
    case ConsoleVerb::Chat:
        SendChat(world, command);
        break;
    case ConsoleVerb::Console:
        SendConsoleLine(world, command);
        break;
    case ConsoleVerb::Rcon:
        SendRcon(server, command.Text);
        break;
    case ConsoleVerb::ReloadPlugin:
        UnloadPluginAndReport();
        LoadPluginAndReport(server.PluginFile);
        break;
    case ConsoleVerb::Show:
        ShowPluginFile(server.ServerDir, command.File);
        break;
    case ConsoleVerb::Edit:
        EditPluginFile(server.ServerDir, command.File, WithWebhookUrl(command.Text));
        break;
    case ConsoleVerb::Clock:
        RunClock(command);
        break;
    case ConsoleVerb::Help:
        ShowHelp();
        break;
    case ConsoleVerb::Webhook:
        break; // outside the host lock, which the ticks need meanwhile
    }
}

} // namespace

bool RunConsoleCommand(const ConsoleCommand& command) {
    if (command.Verb == ConsoleVerb::Webhook) {
        RunWebhookCommand(command);
        return true;
    }
    ServerContext& server = Server();
    std::lock_guard lock(server.HostMutex);
    try {
        Run(server, command);
        // Items taken out of inventories are destroyed between commands, as the game does.
        server.World->CollectGarbage();
    } catch (const std::invalid_argument& refused) {
        // The world checks before it changes anything, so a refusal leaves it as it was.
        ServerError(refused.what());
    }
    return command.Verb != ConsoleVerb::Quit;
}

} // namespace barterbox::server
