// The audit's day files; see day_file_sink.h.
#include "day_file_sink.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "audit_clock.h"
#include "catalogue/config_file.h"
#include "logger/plugin_logger.h"
#include "platform/file_call_table.h"
#include "platform/os_path.h"

namespace barterbox {
namespace {

namespace fs = std::filesystem;

// Appends the whole line in one write of an unbuffered stream. A write that fails part-way is
// cut back off the file, so that a reader never meets a torn line; it is not retried.
bool AppendLine(const std::string& path, const std::string& line) {
    std::error_code error;
    const fs::path where = platform::OsPath(path);
    // The audit folder only: a plugin folder that has gone stays gone, as for config.json.
    fs::create_directory(where.parent_path(), error);
    const std::uintmax_t sizeBefore = fs::exists(where, error) ? fs::file_size(where, error) : 0;
    const bool sizeKnown = !error;
    const FileSystemCalls& calls = FileSystem();
    std::FILE* file = calls.Open(path.c_str(), "ab");
    if (file == nullptr) {
        return false;
    }
    std::setvbuf(file, nullptr, _IONBF, 0);
    const bool written = calls.Write(line.data(), 1, line.size(), file) == line.size();
    const bool closed = calls.Close(file) == 0;
    if (written && closed) {
        return true;
    }
    if (sizeKnown && fs::file_size(where, error) > sizeBefore && !error) {
        fs::resize_file(where, sizeBefore, error);
    }
    return false;
}

void WriteToDayFile(const AuditRecord& record) {
    if (PluginFolder().empty()) {
        return;
    }
    // Text that is not UTF-8 (a name from a hand-edited file) is written with U+FFFD in its place
    // rather than losing the record.
    const std::string line =
        record.Members.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
    bool& failing = TheAuditState().DayFileFailing;
    if (AppendLine(AuditFilePath(record.Time), line)) {
        failing = false;
        return;
    }
    // One line for a run of failures: a full disk must not flood the log as well.
    if (!failing) {
        Log(spdlog::level::err, "Barterbox: Failed to write audit record");
        failing = true;
    }
}

} // namespace

AuditSink DayFileSink() {
    return {"day file", &WriteToDayFile};
}

std::string AuditFilePath(std::chrono::system_clock::time_point time) {
    return PluginFolder() + "/audit/" + AuditDayText(time) + ".jsonl";
}

} // namespace barterbox
