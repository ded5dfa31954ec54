// The host clock; see host_clock.h.
#include "host_clock.h"

#include <algorithm>

namespace hostsim {
namespace {

using Clock = std::chrono::steady_clock;

struct ThreadClock {
    bool On = false;
    int Depth = 0;
    Clock::time_point EnteredAt;
    HostTime Time;
};

thread_local ThreadClock clock;

// The clock's own cost, taken as the fastest of a few rounds of empty entries: what one entry
// adds to the time measured inside it, and what it adds to the caller's time in all.
void Calibrate() {
    constexpr int kEntries = 2000;
    auto bias = std::chrono::nanoseconds::max();
    auto cost = std::chrono::nanoseconds::max();
    for (int round = 0; round < 5; ++round) {
        clock.Time = {};
        const Clock::time_point start = Clock::now();
        for (int i = 0; i < kEntries; ++i) {
            HostEntry inHost;
        }
        const auto total =
            std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start);
        bias = std::min(bias, clock.Time.Inside / kEntries);
        cost = std::min(cost, total / kEntries);
    }
    clock.Time = {};
    clock.Time.BiasPerEntry = bias;
    clock.Time.CostPerEntry = cost;
}

} // namespace

void StartHostClock() {
    clock.On = true;
    clock.Depth = 0;
    Calibrate();
}

HostTime ReadHostClock() {
    return clock.Time;
}

void StopHostClock() {
    clock.On = false;
}

bool HostEntry::Measuring() {
    return clock.On;
}

void HostEntry::Enter() {
    if (clock.Depth++ == 0) {
        clock.EnteredAt = Clock::now();
    }
}

void HostEntry::Leave() {
    if (--clock.Depth == 0) {
        clock.Time.Inside += Clock::now() - clock.EnteredAt;
        ++clock.Time.Entries;
    }
}

} // namespace hostsim
