// The file calls on Windows, through the wide-character calls so that UTF-8 paths never pass the
// ANSI code page; see file_calls.h.
#include "file_calls.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <string_view>

#include "os_path.h"

namespace barterbox::platform {

std::FILE* OpenFile(const std::string& path, const char* mode) {
    const std::filesystem::path where = OsPath(path);
    if (std::string_view(mode) == "wx") {
        // The C runtime's fopen knows no "x": create the file exclusively by hand, in text mode.
        const int descriptor =
            _wopen(where.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_TEXT, _S_IREAD | _S_IWRITE);
        if (descriptor < 0) {
            return nullptr;
        }
        std::FILE* file = _wfdopen(descriptor, L"w");
        if (file == nullptr) {
            _close(descriptor);
        }
        return file;
    }
    const std::string_view narrowMode(mode);
    const std::wstring wideMode(narrowMode.begin(), narrowMode.end()); // modes are ASCII
    return _wfopen(where.c_str(), wideMode.c_str());
}

int RemoveFile(const std::string& path) {
    return _wremove(OsPath(path).c_str());
}

// std::rename cannot replace an existing file on Windows; MoveFileExW can.
int RenameOver(const std::string& from, const std::string& to) {
    if (from.empty() || to.empty()) {
        return -1;
    }
    return MoveFileExW(OsPath(from).c_str(), OsPath(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 0
               : -1;
}

int SyncFile(std::FILE* file) {
    return _commit(_fileno(file));
}

} // namespace barterbox::platform
