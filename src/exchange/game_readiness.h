// Whether the host offers every game name the plugin needs, said in the log at load and at a
// reload: a server whose game lacks a function refuses what needs it, and the administrator
// should read why instead of guessing from the players' complaints.
#pragma once

#include <optional>
#include <string>

namespace barterbox {

// One error line per game name the host does not know, saying what stops without it, then one
// line saying how many; nothing when every name resolves. The last line is returned too, for a
// reload's reply.
std::optional<std::string> ReportMissingGameNames();

} // namespace barterbox
