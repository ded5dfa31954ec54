// Backups that never cost the original; see file_backup.h.
#include "file_backup.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "catalogue/atomic_file.h"
#include "platform/file_call_table.h"
#include "platform/file_calls.h"
#include "platform/os_path.h"

namespace barterbox {

namespace fs = std::filesystem;

namespace {

// Enough names for years of backups; past that the save fails rather than overwrite one.
constexpr int kMostBackups = 1000;

std::string BackupName(const std::string& base, int number) {
    return number == 0 ? base : base + "." + std::to_string(number);
}

enum class CopyOutcome { Copied, NameTaken, Failed };

// The bytes of one open file into another, through the file calls a test can make fail, so that
// the reason is the system's own (a full disk says so) rather than a library's summary.
bool CopyBytes(std::FILE* from, std::FILE* to) {
    const FileSystemCalls& calls = FileSystem();
    char buffer[1 << 16];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, from)) > 0) {
        if (calls.Write(buffer, 1, count, to) != count) {
            return false;
        }
    }
    return std::ferror(from) == 0 && calls.Flush(to) == 0 && calls.Sync(to) == 0;
}

// A copy of the file under the name, which must be free; synced, since once the save's rename is
// done it is the only copy of that content.
CopyOutcome CopyAside(const std::string& file, const std::string& name,
                      const platform::FileFacts& facts, std::string& reason) {
    const FileSystemCalls& calls = FileSystem();
    errno = 0;
    std::FILE* from = calls.OpenRegular(file.c_str());
    if (from == nullptr) {
        reason = "cannot copy config.json aside: " + SystemReason();
        return CopyOutcome::Failed;
    }
    errno = 0;
    std::FILE* to = calls.Open(name.c_str(), "wbx");
    if (to == nullptr) {
        const bool taken = errno == EEXIST;
        reason = "cannot copy config.json aside: " + SystemReason();
        std::fclose(from);
        return taken ? CopyOutcome::NameTaken : CopyOutcome::Failed;
    }
    errno = 0;
    bool copied = CopyBytes(from, to);
    std::fclose(from);
    if (!copied) {
        reason = "cannot copy config.json aside: " + SystemReason();
    }
    errno = 0;
    if (calls.Close(to) != 0 && copied) {
        reason = "cannot copy config.json aside: " + SystemReason();
        copied = false;
    }
    if (copied && facts.Permissions != fs::perms::unknown) {
        std::error_code ignored; // the content is kept; the mode is a courtesy
        fs::permissions(platform::OsPath(name), facts.Permissions, ignored);
    }
    if (!copied) {
        calls.Remove(name.c_str()); // a partial copy
    }
    return copied ? CopyOutcome::Copied : CopyOutcome::Failed;
}

} // namespace

std::optional<std::string> KeepBackup(const std::string& file, const std::string& base,
                                      std::string& reason) {
    const platform::FileFacts facts = platform::FactsOfPath(file);
    // Only ever a regular file: a folder, a device or a pipe in the file's place is never read.
    if (!facts.Regular) {
        reason = "config.json is not a regular file";
        return std::nullopt;
    }
    for (int number = 0; number < kMostBackups; ++number) {
        const std::string name = BackupName(base, number);
        std::error_code error;
        if (fs::exists(fs::symlink_status(platform::OsPath(name), error))) {
            continue;
        }
        // The file itself under a second name, so that an editor still writing into it (it
        // truncated the file and has yet to write) finishes into the backup. A file with other
        // names already is copied, so that the backup never changes with them.
        if (facts.Links == 1) {
            errno = 0;
            if (FileSystem().Link(file.c_str(), name.c_str()) == 0) {
                return name;
            }
            if (errno == EEXIST) {
                continue;
            }
            // No hard links on this file system: a copy does.
        }
        switch (CopyAside(file, name, facts, reason)) {
        case CopyOutcome::Copied:
            return name;
        case CopyOutcome::NameTaken:
            continue; // a backup that appeared meanwhile is kept too
        case CopyOutcome::Failed:
            return std::nullopt;
        }
    }
    const std::string name = platform::Utf8Path(platform::OsPath(base).filename());
    reason = "config.json was to be kept aside, but all " + std::to_string(kMostBackups) +
             " backup names (" + name + " to " + BackupName(name, kMostBackups - 1) +
             ") are taken; move old backups away";
    return std::nullopt;
}

void UndoBackup(const std::string& backup) {
    FileSystem().Remove(backup.c_str());
}

} // namespace barterbox
