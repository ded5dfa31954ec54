// The file calls on Windows, through the wide-character calls so that UTF-8 paths never pass the
// ANSI code page; see file_calls.h.
#include "file_calls.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <aclapi.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <string_view>

#include "os_path.h"

namespace barterbox::platform {
namespace {

// errno for the system's own calls, so that callers read one kind of reason on every platform.
void SetErrnoFromLastError() {
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        errno = ENOENT;
        break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        errno = EACCES;
        break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        errno = ENOSPC;
        break;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        errno = EEXIST;
        break;
    default:
        errno = EIO;
        break;
    }
}

std::int64_t Ticks(const FILETIME& time) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) |
                                     time.dwLowDateTime);
}

FileFacts FactsOfHandle(HANDLE handle) {
    FileFacts facts;
    facts.Exists = true;
    BY_HANDLE_FILE_INFORMATION info{};
    // A device (NUL, COM1) or a pipe is a file of another type, never a regular one.
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return facts;
    }
    facts.Regular = true;
    facts.Size = (static_cast<std::uintmax_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    facts.ModifiedTicks = Ticks(info.ftLastWriteTime);
    facts.Links = info.nNumberOfLinks;
    // As the C++ library reads Windows' permissions: the read-only attribute alone.
    facts.Permissions = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0
                            ? std::filesystem::perms(0444)
                            : std::filesystem::perms(0666);
    return facts;
}

HANDLE HandleOf(std::FILE* file) {
    return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

} // namespace

std::FILE* OpenFile(const std::string& path, const char* mode) {
    const std::filesystem::path where = OsPath(path);
    const bool binary = std::string_view(mode) == "wbx";
    if (std::string_view(mode) == "wx" || binary) {
        // The C runtime's fopen knows no "x": create the file exclusively by hand.
        const int descriptor =
            _wopen(where.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | (binary ? _O_BINARY : _O_TEXT),
                   _S_IREAD | _S_IWRITE);
        if (descriptor < 0) {
            return nullptr;
        }
        std::FILE* file = _wfdopen(descriptor, binary ? L"wb" : L"w");
        if (file == nullptr) {
            _close(descriptor);
        }
        return file;
    }
    const std::string_view narrowMode(mode);
    const std::wstring wideMode(narrowMode.begin(), narrowMode.end()); // modes are ASCII
    return _wfopen(where.c_str(), wideMode.c_str());
}

std::FILE* OpenRegularFile(const std::string& path) {
    // A folder does not open without FILE_FLAG_BACKUP_SEMANTICS; a device opens at once and is
    // turned away by its type.
    const HANDLE handle = CreateFileW(OsPath(path).c_str(), GENERIC_READ, kShareAll, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        SetErrnoFromLastError();
        return nullptr;
    }
    if (!FactsOfHandle(handle).Regular) {
        CloseHandle(handle);
        errno = ENODEV;
        return nullptr;
    }
    const int descriptor =
        _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (descriptor < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* file = _wfdopen(descriptor, L"rb");
    if (file == nullptr) {
        _close(descriptor);
    }
    return file;
}

std::FILE* OpenForAppend(const std::string& path) {
    // FILE_FLAG_OPEN_REPARSE_POINT opens a link itself rather than what it points to, so that it
    // can be refused; a folder does not open at all without FILE_FLAG_BACKUP_SEMANTICS.
    const HANDLE handle =
        CreateFileW(OsPath(path).c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        SetErrnoFromLastError();
        return nullptr;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileInformationByHandle(handle, &info) &&
        (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        CloseHandle(handle);
        errno = ELOOP;
        return nullptr;
    }
    if (!FactsOfHandle(handle).Regular) {
        CloseHandle(handle);
        errno = ENODEV;
        return nullptr;
    }
    // _O_APPEND: the runtime moves to the end before every write.
    const int descriptor =
        _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDWR | _O_APPEND | _O_BINARY);
    if (descriptor < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* file = _wfdopen(descriptor, L"a+b");
    if (file == nullptr) {
        _close(descriptor);
    }
    return file;
}

namespace {

// Windows' locks bar other handles from the bytes they cover, so the appenders' lock is one byte
// far beyond any data: it keeps appenders apart and never stops a reader.
OVERLAPPED AppendLockPlace() {
    OVERLAPPED place{};
    place.Offset = 0xFFFFFFFEu;
    place.OffsetHigh = 0x7FFFFFFFu;
    return place;
}

} // namespace

int LockForAppend(std::FILE* file, std::chrono::milliseconds patience) {
    const auto giveUp = std::chrono::steady_clock::now() + patience;
    for (;;) {
        OVERLAPPED place = AppendLockPlace();
        if (LockFileEx(HandleOf(file), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                       &place)) {
            return 0;
        }
        if (GetLastError() != ERROR_LOCK_VIOLATION || std::chrono::steady_clock::now() >= giveUp) {
            SetErrnoFromLastError();
            return -1;
        }
        Sleep(1);
    }
}

void UnlockForAppend(std::FILE* file) {
    OVERLAPPED place = AppendLockPlace();
    UnlockFileEx(HandleOf(file), 0, 1, 0, &place);
}

bool ReadAt(std::FILE* file, std::uintmax_t offset, char* buffer, std::size_t size) {
    while (size > 0) {
        OVERLAPPED place{};
        place.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
        place.OffsetHigh = static_cast<DWORD>(offset >> 32);
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 20));
        DWORD read = 0;
        if (!ReadFile(HandleOf(file), buffer, wanted, &read, &place) || read == 0) {
            return false;
        }
        buffer += read;
        size -= read;
        offset += read;
    }
    return true;
}

int TruncateFile(std::FILE* file, std::uintmax_t size) {
    if (size > static_cast<std::uintmax_t>(INT64_MAX)) {
        errno = EINVAL;
        return -1;
    }
    return _chsize_s(_fileno(file), static_cast<__int64>(size)) == 0 ? 0 : -1;
}

FileFacts FactsOfPath(const std::string& path) {
    // No access asked for, so that neither a file another program holds nor a device is touched.
    const HANDLE handle = CreateFileW(OsPath(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        FileFacts facts;
        const DWORD error = GetLastError();
        facts.Exists = error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND &&
                       error != ERROR_INVALID_NAME;
        return facts;
    }
    const FileFacts facts = FactsOfHandle(handle);
    CloseHandle(handle);
    return facts;
}

bool IsLink(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(OsPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

FileFacts FactsOfFile(std::FILE* file) {
    return FactsOfHandle(HandleOf(file));
}

std::int64_t FileClockNow() {
    FILETIME now{};
    GetSystemTimePreciseAsFileTime(&now);
    return Ticks(now);
}

std::int64_t FileClockTicksPerSecond() {
    return 10'000'000; // FILETIME counts 100 ns
}

int RemoveFile(const std::string& path) {
    return _wremove(OsPath(path).c_str());
}

// std::rename cannot replace an existing file on Windows; MoveFileExW can.
int RenameOver(const std::string& from, const std::string& to) {
    if (from.empty() || to.empty()) {
        errno = ENOENT;
        return -1;
    }
    if (MoveFileExW(OsPath(from).c_str(), OsPath(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return 0;
    }
    SetErrnoFromLastError();
    return -1;
}

int SyncFile(std::FILE* file) {
    return _commit(_fileno(file));
}

int CopyOwner(const std::string& path, const std::string& like) {
    constexpr SECURITY_INFORMATION kWhat =
        OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    PSID owner = nullptr;
    PSID group = nullptr;
    PACL access = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    std::wstring from = OsPath(like).wstring();
    if (GetNamedSecurityInfoW(from.data(), SE_FILE_OBJECT, kWhat, &owner, &group, &access, nullptr,
                              &descriptor) != ERROR_SUCCESS) {
        errno = EACCES;
        return -1;
    }
    // By name: the handle the file was written through has no right to change its owner.
    std::wstring to = OsPath(path).wstring();
    const DWORD result =
        SetNamedSecurityInfoW(to.data(), SE_FILE_OBJECT, kWhat, owner, group, access, nullptr);
    LocalFree(descriptor);
    if (result != ERROR_SUCCESS) {
        errno = result == ERROR_ACCESS_DENIED || result == ERROR_PRIVILEGE_NOT_HELD ? EPERM : EIO;
        return -1;
    }
    return 0;
}

int LinkFile(const std::string& existing, const std::string& name) {
    if (CreateHardLinkW(OsPath(name).c_str(), OsPath(existing).c_str(), nullptr)) {
        return 0;
    }
    SetErrnoFromLastError();
    return -1;
}

} // namespace barterbox::platform
