// The host's record limit; see record_limit.h.
#include "record_limit.h"

#include <atomic>
#include <limits>

namespace hostsim {
namespace {

constexpr size_t kNoLimit = std::numeric_limits<size_t>::max();
std::atomic<size_t> gLimit{kNoLimit};

} // namespace

void SetRecordLimit(size_t entries) {
    gLimit = entries;
}

void RemoveRecordLimit() {
    gLimit = kNoLimit;
}

bool HasRecordLimit() {
    return gLimit.load() != kNoLimit;
}

size_t RecordLimit() {
    return gLimit.load();
}

} // namespace hostsim
