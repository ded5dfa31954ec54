// The simulated server's console language: one operator command per line, parsed into a record
// before anything runs, so that a bad line is refused whole and changes nothing.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "host/character_states.h"
#include "tools/server/hosting/plugin_clock.h"

namespace barterbox::server {

enum class ConsoleVerb {
    Nothing, // a blank line or a comment
    Players,
    Join,
    Leave,
    Admin,
    Group,
    State,
    Give,
    Inventory,
    Chat,
    Console,
    Rcon,
    ReloadPlugin,
    Show,
    Edit,
    Clock,
    Webhook,
    Help,
    Quit,
};

struct ConsoleCommand {
    ConsoleVerb Verb = ConsoleVerb::Nothing;
    std::string Player;  // join, leave, admin, group, give, inv, chat, console
    std::string EosId;   // join
    bool Admin = false;  // join (the optional word "admin"), admin (on or off)
    std::string Group;   // group
    bool Member = false; // group, state (on or off)
    barterbox::CharacterState State = barterbox::CharacterState::Dead; // state
    std::string Item;                                                  // give
    int32_t Quantity = 0;
    // chat, console, rcon: the rest of the line after the single space that follows the player's
    // name (or the word rcon), exactly as written, inner and trailing spaces included.
    std::string Text;
    std::string File; // show, edit: a file of the plugin folder (edit writes Text into it)
    // clock: the time to fix the plugin's clock at, or how far to move it on; neither shows it.
    std::optional<ClockTime> ClockSetTo;
    std::optional<std::chrono::seconds> ClockMovedOn;
    // webhook: start (one that answers 204, or that never answers), or wait for Quantity posts
    bool WebhookStart = false;
    bool WebhookHangs = false;
};

// What is wrong with a line, in one line, e.g. "usage: give NAME ITEM QTY".
struct ConsoleError {
    std::string Message;
};

using ConsoleParse = std::variant<ConsoleCommand, ConsoleError>;

// A line of input without its line end. Leading blanks are skipped; a line whose first other
// character is # is a comment. Words are separated by spaces.
ConsoleParse ParseConsoleLine(std::string_view line);

// The console's words, in the order help lists them.
inline constexpr std::string_view kConsoleWords[] = {
    "players", "join", "leave",         "admin", "group", "state", "give",    "inv",  "chat",
    "console", "rcon", "reload-plugin", "show",  "edit",  "clock", "webhook", "help", "quit"};

// One line per command: its form and what it does.
inline constexpr std::string_view kConsoleHelp[] = {
    "players                  the players online, with EOS ID and role",
    "join NAME EOSID [admin]  a player joins, with an empty inventory",
    "leave NAME               a player leaves (the handle stays in the world's list)",
    "admin NAME on|off        makes a player an administrator, or not",
    "group NAME GROUP on|off  puts a player into a permission group, or takes them out",
    "state NAME STATE on|off  dead, unconscious, carried, riding, transferring or noglin",
    "give NAME ITEM QTY       puts items into an inventory (class name, path or blueprint)",
    "inv NAME                 a player's inventory, slot by slot",
    "chat NAME TEXT...        the player types TEXT in chat, e.g. chat Ada /ex Wood 3",
    "console NAME TEXT...     the player types TEXT in the console, e.g. Barterbox.List",
    "rcon TEXT...             an RCON client sends TEXT, e.g. rcon Barterbox.Do EOSID Wood",
    "reload-plugin            Plugin_Unload, unloads the module and loads it again",
    "show FILE                a file of the plugin folder, e.g. show config.json",
    "edit FILE TEXT...        overwrites a plugin folder file with TEXT, as a hand edit would",
    "clock [TIME|+DURATION]   the plugin's clock; sets it, or moves it on, e.g. clock +1h30m",
    "webhook start|hang       a loopback webhook that records posts (and answers 204, or never)",
    "webhook wait N           waits for its Nth post and shows the posts; edit writes {webhook}",
    "help                     this list",
    "quit                     unloads the plugin and stops the server",
};

} // namespace barterbox::server
