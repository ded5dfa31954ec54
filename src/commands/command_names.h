// The commands the plugin registers, in registration order: each one's name, the kind of command
// the host dispatches it as, and who it answers. The plugin's command table registers exactly
// these, and the simulated server's console completes and explains them from the same list. The
// chat words are the defaults: rules.json's Commands may register others in their place.
#pragma once

#include <cstddef>
#include <iterator>
#include <string_view>

namespace barterbox {

enum class CommandKind { Chat, Console, Rcon };

// Who a command is for: every player, the administrators (it ignores anyone else without a
// word), or the operators who run an exchange for a player.
enum class CommandAudience { Players, Administrators, Operators };

struct CommandName {
    std::string_view Name;
    CommandKind Kind;
    CommandAudience Audience;
};

inline constexpr CommandName kCommandNames[] = {
    {"/exchange", CommandKind::Chat, CommandAudience::Players},
    {"/ex", CommandKind::Chat, CommandAudience::Players},
    {"/exinfo", CommandKind::Chat, CommandAudience::Players},
    {"DoExchange", CommandKind::Console, CommandAudience::Operators},
    {"Barterbox.Reload", CommandKind::Console, CommandAudience::Administrators},
    {"Barterbox.List", CommandKind::Console, CommandAudience::Administrators},
    {"Barterbox.Add", CommandKind::Console, CommandAudience::Administrators},
    {"Barterbox.Remove", CommandKind::Console, CommandAudience::Administrators},
    {"Barterbox.Save", CommandKind::Console, CommandAudience::Administrators},
    {"Barterbox.Limits", CommandKind::Console, CommandAudience::Administrators},
    {"Barterbox.Reset", CommandKind::Console, CommandAudience::Administrators},
    {"Barterbox.Run", CommandKind::Console, CommandAudience::Operators},
    {"Barterbox.Do", CommandKind::Rcon, CommandAudience::Operators},
    {"Barterbox.Reload", CommandKind::Rcon, CommandAudience::Administrators},
    {"Barterbox.List", CommandKind::Rcon, CommandAudience::Administrators},
    {"Barterbox.Add", CommandKind::Rcon, CommandAudience::Administrators},
    {"Barterbox.Remove", CommandKind::Rcon, CommandAudience::Administrators},
    {"Barterbox.Save", CommandKind::Rcon, CommandAudience::Administrators},
    {"Barterbox.Limits", CommandKind::Rcon, CommandAudience::Administrators},
    {"Barterbox.Reset", CommandKind::Rcon, CommandAudience::Administrators},
    {"Barterbox.Run", CommandKind::Rcon, CommandAudience::Operators},
};

inline constexpr std::size_t kCommandCount = std::size(kCommandNames);

} // namespace barterbox
