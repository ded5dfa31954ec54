// A player's EOS ID as text; see player_identity.h.
#include "player_identity.h"

#include "host/engine_strings.h"
#include "host/host_api.h"

namespace barterbox {

std::string PlayerEosId(AController* controller) {
    if (controller == nullptr) {
        return {};
    }
    const OwnedFString id(AsaApi::GetEOSIDFromController(controller));
    return ToNarrowString(id.get());
}

} // namespace barterbox
