// A stand-in plugin module with two faults that barterbox-server's check at exit must catch: a
// host buffer it never gives back, and one it gives back twice.
#include "host/game_names.h"
#include "host/host_api.h"

namespace {

void* kept = nullptr;
void* freedTwice = nullptr;

__attribute__((constructor)) void OnAttach() {
    auto allocate = reinterpret_cast<game::MallocFn>(AsaApi::GetAddress(game::kMalloc));
    kept = allocate(24, 8);
    freedTwice = allocate(8, 8);
}

} // namespace

extern "C" __attribute__((visibility("default"))) void Plugin_Unload() {
    auto release = reinterpret_cast<game::FreeFn>(AsaApi::GetAddress(game::kFree));
    release(freedTwice);
    release(freedTwice);
}
