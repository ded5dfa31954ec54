// The host's timers and its tick; see host_tick.h.
#include <functional>
#include <map>
#include <mutex>

#include "host/host_api.h"
#include "host_clock.h"
#include "host_tick.h"
#include "http_requests.h"

namespace hostsim {
namespace {

using SteadyClock = std::chrono::steady_clock;

struct Timer {
    SteadyClock::time_point Due;
    std::function<void()> Callback;
};

struct TimerState {
    std::mutex Mutex;
    std::map<uint64_t, Timer> Timers;
    uint64_t NextId = 1;
    double Scale = 1.0;
};

TimerState& Timers() {
    static TimerState state;
    return state;
}

class HostTimer final : public AsaApi::ITimer {
public:
    uint64_t DelayExecute(const std::function<void()>& callback,
                          std::chrono::milliseconds delay) override {
        HostEntry inHost;
        TimerState& state = Timers();
        std::lock_guard lock(state.Mutex);
        const auto scaled = std::chrono::duration_cast<SteadyClock::duration>(
            std::chrono::duration<double, std::milli>(static_cast<double>(delay.count()) *
                                                      state.Scale));
        const uint64_t id = state.NextId++;
        state.Timers.emplace(id, Timer{SteadyClock::now() + scaled, callback});
        return id;
    }

    void CancelTimer(uint64_t timer) override {
        HostEntry inHost;
        std::function<void()> dropped;
        std::lock_guard lock(Timers().Mutex);
        if (const auto it = Timers().Timers.find(timer); it != Timers().Timers.end()) {
            dropped = std::move(it->second.Callback);
            Timers().Timers.erase(it);
        }
        dropped = nullptr; // gone before the call returns, as a request's callback is
    }
};

// The earliest due timer, taken out of the table; none when nothing is due.
std::function<void()> TakeDueTimer(SteadyClock::time_point now) {
    std::lock_guard lock(Timers().Mutex);
    auto earliest = Timers().Timers.end();
    for (auto it = Timers().Timers.begin(); it != Timers().Timers.end(); ++it) {
        if (it->second.Due <= now &&
            (earliest == Timers().Timers.end() || it->second.Due < earliest->second.Due)) {
            earliest = it;
        }
    }
    if (earliest == Timers().Timers.end()) {
        return nullptr;
    }
    std::function<void()> callback = std::move(earliest->second.Callback);
    Timers().Timers.erase(earliest);
    return callback;
}

} // namespace

void RunHostTick() {
    DeliverReplies();
    // Timers set by these callbacks wait for a later tick, however short their delay.
    const SteadyClock::time_point now = SteadyClock::now();
    while (std::function<void()> callback = TakeDueTimer(now)) {
        callback();
    }
}

void SetTimerScale(double scale) {
    std::lock_guard lock(Timers().Mutex);
    Timers().Scale = scale;
}

size_t PendingTimers() {
    std::lock_guard lock(Timers().Mutex);
    return Timers().Timers.size();
}

void ForgetRequestsAndTimers() {
    ForgetRequests();
    std::map<uint64_t, Timer> dropped;
    std::lock_guard lock(Timers().Mutex);
    dropped.swap(Timers().Timers);
}

} // namespace hostsim

AsaApi::ITimer& AsaApi::GetTimer() {
    hostsim::HostEntry inHost;
    static hostsim::HostTimer timer;
    return timer;
}
