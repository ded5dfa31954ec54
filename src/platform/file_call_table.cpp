// The process-wide table of file calls and the real calls behind it; see file_call_table.h.
#include "file_call_table.h"

#include "file_calls.h"

namespace barterbox {
namespace {

// The real calls: the platform's, with the signatures the table takes.
std::FILE* RealOpen(const char* path, const char* mode) {
    return platform::OpenFile(path, mode);
}

std::size_t RealWrite(const void* data, std::size_t size, std::size_t count, std::FILE* file) {
    return std::fwrite(data, size, count, file);
}

int RealFlush(std::FILE* file) {
    return std::fflush(file);
}

int RealSync(std::FILE* file) {
    return platform::SyncFile(file);
}

int RealClose(std::FILE* file) {
    return std::fclose(file);
}

int RealReplace(const char* from, const char* to) {
    return platform::RenameOver(from, to);
}

int RealRemove(const char* path) {
    return platform::RemoveFile(path);
}

std::FILE* RealOpenRegular(const char* path) {
    return platform::OpenRegularFile(path);
}

std::FILE* RealOpenAppend(const char* path) {
    return platform::OpenForAppend(path);
}

int RealOwn(const char* path, const char* like) {
    return platform::CopyOwner(path, like);
}

int RealLink(const char* existing, const char* name) {
    return platform::LinkFile(existing, name);
}

constexpr FileSystemCalls kRealCalls{&RealOpen,   &RealOpenRegular, &RealOpenAppend, &RealWrite,
                                     &RealFlush,  &RealSync,        &RealClose,      &RealReplace,
                                     &RealRemove, &RealOwn,         &RealLink};

} // namespace

FileSystemCalls& FileSystem() {
    static FileSystemCalls calls = kRealCalls;
    return calls;
}

const FileSystemCalls& RealFileSystem() {
    return kRealCalls;
}

void ResetFileSystem() {
    FileSystem() = kRealCalls;
}

} // namespace barterbox
