// The game thread's ticks; see host_ticks.h.
#include "host_ticks.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "hostsim/host_tick.h"
#include "server_context.h"

namespace barterbox::server {
namespace {

constexpr std::chrono::milliseconds kTickPeriod{10};

struct Ticks {
    std::thread Thread;
    std::atomic<bool> Running{false};
};

Ticks& TheTicks() {
    static Ticks ticks;
    return ticks;
}

} // namespace

void StartHostTicks() {
    Ticks& ticks = TheTicks();
    ticks.Running = true;
    ticks.Thread = std::thread([&ticks] {
        while (ticks.Running) {
            {
                std::lock_guard lock(Server().HostMutex);
                hostsim::RunHostTick();
            }
            std::this_thread::sleep_for(kTickPeriod);
        }
    });
}

void StopHostTicks() {
    Ticks& ticks = TheTicks();
    ticks.Running = false;
    if (ticks.Thread.joinable()) {
        ticks.Thread.join();
    }
}

} // namespace barterbox::server
