// Carrying out the operator's console commands against the world and the host, one at a time
// under the host lock.
#pragma once

#include "console_language.h"

namespace barterbox::server {

// Runs the command; false when it was quit. Refusals print one error line and change nothing.
bool RunConsoleCommand(const ConsoleCommand& command);

} // namespace barterbox::server
