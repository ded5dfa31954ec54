// Time spent inside the stand-in host on the plugin's behalf. The benchmarks turn it on to split
// an exchange's cost into the plugin's own time and the host's: the host's share is the stand-in's
// speed, the plugin's share is what the plugin itself costs a server. Off, it costs each host entry
// one test of a flag.
#pragma once

#include <chrono>
#include <cstdint>

namespace hostsim {

struct HostTime {
    // Time measured between entering and leaving the host, nested entries counted once.
    std::chrono::nanoseconds Inside{0};
    uint64_t Entries = 0;
    // What the clock adds per entry: to the time measured inside, and to the caller's time in all.
    std::chrono::nanoseconds BiasPerEntry{0};
    std::chrono::nanoseconds CostPerEntry{0};

    // The host's time with the clock's own reading removed.
    std::chrono::nanoseconds Host() const { return Inside - BiasPerEntry * Entries; }
};

// Starts measuring the calling thread's host entries from zero; calibrates the clock first.
void StartHostClock();
HostTime ReadHostClock();
void StopHostClock();

// Placed first in every function the plugin enters the host through: the host's exports, the
// game functions and the messenger.
class HostEntry {
public:
    HostEntry() {
        if (Measuring()) {
            Enter();
        }
    }
    ~HostEntry() {
        if (Measuring()) {
            Leave();
        }
    }
    HostEntry(const HostEntry&) = delete;
    HostEntry& operator=(const HostEntry&) = delete;

private:
    static bool Measuring();
    static void Enter();
    static void Leave();
};

} // namespace hostsim
