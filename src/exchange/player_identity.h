// A player's EOS ID as text: how the log lines and the audit records name whoever acted.
#pragma once

#include <string>

#include "host/engine_types.h"

namespace barterbox {

// The controller's EOS ID, as the host reports it; empty for a null controller.
std::string PlayerEosId(AController* controller);

} // namespace barterbox
