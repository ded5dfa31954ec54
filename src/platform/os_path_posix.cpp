// UTF-8 paths on POSIX systems, which take a path's bytes as they are; see os_path.h.
#include "os_path.h"

namespace barterbox::platform {

std::filesystem::path OsPath(std::string_view utf8) {
    return std::filesystem::path(std::string(utf8));
}

std::string Utf8Path(const std::filesystem::path& path) {
    return path.string();
}

} // namespace barterbox::platform
