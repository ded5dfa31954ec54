// The EOS ID search over the world's player controller list; see player_lookup.h.
#include "player_lookup.h"

#include "host/game_calls.h"
#include "host/host_calls.h"

namespace barterbox {

AShooterPlayerController* FindControllerByEosId(std::string_view eosId) {
    const EngineArray<FWeakObjectPtr>* controllers =
        game_calls::PlayerControllerList(host_calls::ActiveWorld());
    if (controllers == nullptr) {
        return nullptr;
    }
    for (int32_t i = 0; i < controllers->Num; ++i) {
        // A player who left leaves a stale handle behind; it resolves to null.
        UObject* object = game_calls::ResolveWeak(controllers->Data[i]);
        if (object == nullptr) {
            continue;
        }
        auto* controller = static_cast<AController*>(object);
        if (host_calls::PlayerEosId(controller) == eosId) {
            // The game's player controllers are its shooter controllers; no further check.
            return static_cast<AShooterPlayerController*>(controller);
        }
    }
    return nullptr;
}

} // namespace barterbox
