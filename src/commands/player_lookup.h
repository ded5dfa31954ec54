// Finding an online player's controller by EOS ID, for the operators' remote exchanges.
#pragma once

#include <string_view>

#include "host/engine_types.h"

namespace barterbox {

// The first live controller of the active world whose EOS ID has exactly these bytes, or null.
AShooterPlayerController* FindControllerByEosId(std::string_view eosId);

} // namespace barterbox
