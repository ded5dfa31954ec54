// The audit's day files; see day_file_sink.h.
#include "day_file_sink.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "audit_clock.h"
#include "catalogue/config_file.h"
#include "logger/plugin_logger.h"
#include "platform/file_call_table.h"
#include "platform/file_calls.h"
#include "platform/os_path.h"

namespace barterbox {
namespace {

namespace fs = std::filesystem;

// A writer holds the lock for one short write; one that waits longer than this meets a lock that
// is not being let go, and the record is not written rather than the game thread held.
constexpr std::chrono::milliseconds kLockPatience{1000};

// Whether the file's last line lacks its line feed: a write that was cut short and could not be
// cut back, by this server or another. What cannot be read is taken as torn, since an empty line
// costs a reader nothing and a merged one costs a record.
bool EndsInTornLine(std::FILE* file, std::uintmax_t size) {
    char last = '\n';
    return size > 0 && (!platform::ReadAt(file, size - 1, &last, 1) || last != '\n');
}

// Under the lock, so that the file holds what was there before and this writer's bytes and
// nothing else; should it hold anything else (a writer that takes no lock), nothing is cut, and
// the next write starts on a line of its own.
void CutBack(std::FILE* file, std::uintmax_t before, std::size_t written) {
    const platform::FileFacts facts = platform::FactsOfFile(file);
    if (written > 0 && facts.Regular && facts.Size == before + written) {
        platform::TruncateFile(file, before);
    }
}

// A close that failed after a whole write: the line may not have reached the disk. It is taken
// off again, under the lock, when it is still the file's end as this writer left it.
void TakeBackLine(const std::string& path, std::uintmax_t before, const std::string& line) {
    const FileSystemCalls& calls = FileSystem();
    std::FILE* file = calls.OpenAppend(path.c_str());
    if (file == nullptr) {
        return;
    }
    if (platform::LockForAppend(file, kLockPatience) == 0) {
        const platform::FileFacts facts = platform::FactsOfFile(file);
        std::string end(line.size(), '\0');
        if (facts.Regular && facts.Size == before + line.size() &&
            platform::ReadAt(file, before, end.data(), end.size()) && end == line) {
            platform::TruncateFile(file, before);
        }
        platform::UnlockForAppend(file);
    }
    calls.Close(file);
}

// Appends the whole line in one write of an unbuffered stream, holding the appenders' lock from
// measuring the file to cutting back a write that failed part-way, so that two servers sharing
// the folder never cut each other's records. A write is not retried.
bool AppendLine(const std::string& path, std::string line) {
    std::error_code error;
    // The audit folder only: a plugin folder that has gone stays gone, as for config.json.
    fs::create_directory(platform::OsPath(path).parent_path(), error);
    const FileSystemCalls& calls = FileSystem();
    std::FILE* file = calls.OpenAppend(path.c_str());
    if (file == nullptr) {
        return false;
    }
    std::setvbuf(file, nullptr, _IONBF, 0);
    const platform::FileFacts facts = platform::FactsOfFile(file);
    if (!facts.Regular || platform::LockForAppend(file, kLockPatience) != 0) {
        calls.Close(file);
        return false;
    }
    // Measured under the lock: no other appender writes between this and the cut.
    const std::uintmax_t before = platform::FactsOfFile(file).Size;
    if (EndsInTornLine(file, before)) {
        line.insert(line.begin(), '\n');
    }
    const std::size_t written = calls.Write(line.data(), 1, line.size(), file);
    if (written != line.size()) {
        CutBack(file, before, written);
    }
    platform::UnlockForAppend(file);
    const bool closed = calls.Close(file) == 0;
    if (written == line.size() && !closed) {
        TakeBackLine(path, before, line);
    }
    return written == line.size() && closed;
}

// Counts what a run of failures cost, and says so once the run ends.
void NoteWrite(const AuditRecord& record, bool written) {
    AuditState& state = TheAuditState();
    if (written) {
        if (state.DayFileFailing) {
            Log(spdlog::level::warn,
                "Barterbox: Audit records are written again; {} could not be written, {} of "
                "them administrators' changes",
                state.UnwrittenRecords, state.UnwrittenChanges);
        }
        state.DayFileFailing = false;
        state.UnwrittenRecords = 0;
        state.UnwrittenChanges = 0;
        return;
    }
    ++state.UnwrittenRecords;
    // An exchange whose record is lost is undone; an administrator's change is already in
    // config.json and stands.
    if (record.Members.value("event", "") != "exchange") {
        ++state.UnwrittenChanges;
    }
    // One line for a run of failures: a full disk must not flood the log as well.
    if (!state.DayFileFailing) {
        Log(spdlog::level::err, "Barterbox: Failed to write audit record");
        state.DayFileFailing = true;
    }
}

bool WriteToDayFile(const AuditRecord& record) {
    if (PluginFolder().empty()) {
        return true; // no plugin loaded, so no day file to keep
    }
    // Text that is not UTF-8 (a name from a hand-edited file) is written with U+FFFD in its place
    // rather than losing the record.
    const std::string line =
        record.Members.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
    const bool written = AppendLine(AuditFilePath(record.Time), line);
    NoteWrite(record, written);
    return written;
}

} // namespace

AuditSink DayFileSink() {
    return {"day file", &WriteToDayFile, true};
}

std::string AuditFilePath(std::chrono::system_clock::time_point time) {
    return PluginFolder() + "/audit/" + AuditDayText(time) + ".jsonl";
}

} // namespace barterbox
