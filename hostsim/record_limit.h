// How much of its history the stand-in host keeps. Tests read every message, game call and RCON
// reply since the last reset; a long-running server prints them as they come and needs none, so
// it sets a limit and each record then keeps only its latest entries.
#pragma once

#include <cstddef>
#include <vector>

namespace hostsim {

// The number of latest entries each record keeps; no limit until one is set.
void SetRecordLimit(size_t entries);
void RemoveRecordLimit();
bool HasRecordLimit();
size_t RecordLimit();

// Drops the oldest entries of a record beyond the limit. Entries go in batches, so that a record
// at its limit costs no more per entry than one without.
template <typename T> void KeepLatest(std::vector<T>& record) {
    if (!HasRecordLimit()) {
        return;
    }
    const size_t limit = RecordLimit();
    if (record.size() > 2 * limit) {
        record.erase(record.begin(), record.end() - static_cast<std::ptrdiff_t>(limit));
    }
}

} // namespace hostsim
