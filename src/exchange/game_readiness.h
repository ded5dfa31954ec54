// Whether the host offers every game name the exchanges need, said in the log at load and at a
// reload: a server whose game lacks a function refuses every exchange, and the administrator
// should read why instead of guessing from the players' complaints.
#pragma once

namespace barterbox {

// One error line per game name the host does not know, then one line saying how many and that
// exchanges are refused until the host provides them; nothing when every name resolves.
void ReportMissingGameNames();

} // namespace barterbox
