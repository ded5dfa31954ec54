// The file calls on POSIX systems; see file_calls.h.
#include "file_calls.h"

#include <unistd.h>

namespace barterbox::platform {

std::FILE* OpenFile(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode); // glibc's "x" is O_EXCL, which never follows a link
}

int RemoveFile(const std::string& path) {
    return std::remove(path.c_str());
}

int RenameOver(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()); // replaces the target atomically
}

int SyncFile(std::FILE* file) {
    return fsync(fileno(file));
}

} // namespace barterbox::platform
