// File stamps and content digests; see file_state.h.
#include "file_state.h"

#include <chrono>
#include <system_error>

#include "platform/os_path.h"

namespace barterbox {

FileStamp StampOf(const std::string& path) {
    namespace fs = std::filesystem;
    const fs::path where = platform::OsPath(path);
    std::error_code error;
    const fs::file_status status = fs::status(where, error);
    FileStamp stamp;
    if (status.type() == fs::file_type::not_found) {
        return stamp;
    }
    stamp.Exists = true;
    if (error || status.type() != fs::file_type::regular) {
        return stamp;
    }
    stamp.Regular = true;
    stamp.Permissions = status.permissions();
    stamp.Size = fs::file_size(where, error);
    const fs::file_time_type modified = fs::last_write_time(where, error);
    stamp.ModifiedTicks = static_cast<std::int64_t>(modified.time_since_epoch().count());
    return stamp;
}

std::uint64_t ContentDigest(std::string_view bytes) {
    // FNV-1a: no cryptographic strength is needed to notice an edit.
    std::uint64_t digest = 14695981039346656037ULL;
    for (const char byte : bytes) {
        if (byte == '\r') {
            continue;
        }
        digest ^= static_cast<unsigned char>(byte);
        digest *= 1099511628211ULL;
    }
    return digest;
}

} // namespace barterbox
