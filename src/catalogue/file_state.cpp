// File stamps and content digests; see file_state.h.
#include "file_state.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace barterbox {

FileStamp StampOf(const std::string& path) {
    return platform::FactsOfPath(path);
}

FileStamp StampOf(std::FILE* file) {
    return platform::FactsOfFile(file);
}

bool SameStamp(const FileStamp& a, const FileStamp& b) {
    return a.Exists == b.Exists && a.Regular == b.Regular && a.Size == b.Size &&
           a.ModifiedTicks == b.ModifiedTicks;
}

bool StampIsSettled(const FileStamp& stamp) {
    const std::int64_t second = platform::FileClockTicksPerSecond();
    const std::int64_t tick = stamp.ModifiedTicks % second == 0 ? 2 * second : second / 10;
    return platform::FileClockNow() - stamp.ModifiedTicks > tick;
}

std::uint64_t ContentDigest(std::string_view bytes) {
    // The library's hash reads eight bytes at a step; a file with carriage returns is hashed as
    // the text without them. No cryptographic strength is needed to notice an edit.
    const std::hash<std::string_view> hash;
    if (bytes.empty() || std::memchr(bytes.data(), '\r', bytes.size()) == nullptr) {
        return hash(bytes);
    }
    std::string text(bytes);
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return hash(text);
}

} // namespace barterbox
