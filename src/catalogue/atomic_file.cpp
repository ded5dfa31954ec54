// The atomic file replacement and the real file-system calls behind it; see atomic_file.h.
#include "atomic_file.h"

#ifdef _WIN32
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace barterbox {
namespace {

std::FILE* RealOpen(const char* path, const char* mode) {
    return std::fopen(path, mode);
}

std::size_t RealWrite(const void* data, std::size_t size, std::size_t count, std::FILE* file) {
    return std::fwrite(data, size, count, file);
}

int RealFlush(std::FILE* file) {
    return std::fflush(file);
}

int RealClose(std::FILE* file) {
    return std::fclose(file);
}

int RealRemove(const char* path) {
    return std::remove(path);
}

#ifdef _WIN32
int RealSync(std::FILE* file) {
    return _commit(_fileno(file));
}

// fopen reads a narrow path in the ANSI code page, so the rename must read it the same way to
// name the same file. std::rename cannot replace an existing file on Windows; MoveFileExW can.
std::wstring WidePath(const char* path) {
    const int length = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    if (length <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path, -1, wide.data(), length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return wide;
}

int RealReplace(const char* from, const char* to) {
    const std::wstring wideFrom = WidePath(from);
    const std::wstring wideTo = WidePath(to);
    if (wideFrom.empty() || wideTo.empty()) {
        return -1;
    }
    return MoveFileExW(wideFrom.c_str(), wideTo.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 0
               : -1;
}
#else
int RealSync(std::FILE* file) {
    return fsync(fileno(file));
}

int RealReplace(const char* from, const char* to) {
    return std::rename(from, to); // replaces the target atomically
}
#endif

constexpr FileSystemCalls kRealCalls{&RealOpen,  &RealWrite,   &RealFlush, &RealSync,
                                     &RealClose, &RealReplace, &RealRemove};

} // namespace

FileSystemCalls& FileSystem() {
    static FileSystemCalls calls = kRealCalls;
    return calls;
}

const FileSystemCalls& RealFileSystem() {
    return kRealCalls;
}

std::string TemporaryPathFor(const std::string& path) {
    return path + ".tmp";
}

bool WriteTemporaryFile(const std::string& path, std::string_view text) {
    const FileSystemCalls& fs = FileSystem();
    const std::string temporary = TemporaryPathFor(path);

    // Text mode, so that lines end as the platform's text files do (CR LF on Windows).
    std::FILE* file = fs.Open(temporary.c_str(), "w");
    if (file == nullptr) {
        return false;
    }
    bool written = text.empty() || fs.Write(text.data(), 1, text.size(), file) == text.size();
    written = written && fs.Flush(file) == 0 && fs.Sync(file) == 0;
    // Closed whatever happened before, and a failing close (a delayed write error) counts too.
    written = fs.Close(file) == 0 && written;
    if (!written) {
        fs.Remove(temporary.c_str());
    }
    return written;
}

bool CommitTemporaryFile(const std::string& path) {
    const std::string temporary = TemporaryPathFor(path);
    if (FileSystem().Replace(temporary.c_str(), path.c_str()) == 0) {
        return true;
    }
    FileSystem().Remove(temporary.c_str());
    return false;
}

void DiscardTemporaryFile(const std::string& path) {
    FileSystem().Remove(TemporaryPathFor(path).c_str());
}

bool ReplaceFile(const std::string& from, const std::string& to) {
    return FileSystem().Replace(from.c_str(), to.c_str()) == 0;
}

} // namespace barterbox
