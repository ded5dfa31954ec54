// The audit record's writer and clock; see audit_log.h.
#include "audit_log.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <system_error>

#include <nlohmann/json.hpp>

#include "atomic_file.h"
#include "catalogue_state.h"
#include "config_file.h"
#include "platform/os_path.h"
#include "logger/plugin_logger.h"

namespace barterbox {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::system_clock;
// Members keep the order they are written in, so that a record reads time, event, who, what.
using Record = nlohmann::ordered_json;

std::optional<Clock::time_point> ReadTimeText(const char* text) {
    int year = 0;
    unsigned month = 0;
    unsigned day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    char zone = 0;
    char end = 0;
    if (std::sscanf(text, "%4d-%2u-%2uT%2d:%2d:%2d.%3d%c%c", &year, &month, &day, &hour, &minute,
                    &second, &millisecond, &zone, &end) != 8 ||
        zone != 'Z') {
        return std::nullopt;
    }
    const std::chrono::year_month_day date{std::chrono::year{year}, std::chrono::month{month},
                                           std::chrono::day{day}};
    if (!date.ok() || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 ||
        second > 59 || millisecond < 0) {
        return std::nullopt;
    }
    return std::chrono::sys_days{date} + std::chrono::hours{hour} + std::chrono::minutes{minute} +
           std::chrono::seconds{second} + std::chrono::milliseconds{millisecond};
}

std::string DayText(Clock::time_point time) {
    const std::chrono::year_month_day date{std::chrono::floor<std::chrono::days>(time)};
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text;
}

const char* ViaText(AuditVia via) {
    switch (via) {
    case AuditVia::Console:
        return "console";
    case AuditVia::Rcon:
        return "rcon";
    case AuditVia::Chat:
        break;
    }
    return "chat";
}

const char* ResultText(ExchangeResult result) {
    switch (result) {
    case ExchangeResult::Complete:
        return "complete";
    case ExchangeResult::Short:
        return "short";
    case ExchangeResult::Refused:
        return "refused";
    case ExchangeResult::Cancelled:
        return "cancelled";
    case ExchangeResult::Partial:
        return "partial";
    case ExchangeResult::Unknown:
        break;
    }
    return "unknown";
}

// The members every record starts with.
Record Started(Clock::time_point time, const char* event, const AuditSource& source) {
    Record record;
    record["time"] = AuditTimeText(time);
    record["event"] = event;
    record["via"] = ViaText(source.Via);
    record["eos_id"] = source.EosId;
    if (!source.By.empty()) {
        record["by"] = source.By;
    }
    return record;
}

// [{"class": ..., "quantity": ...}, ...] with the member name given.
Record Listed(const std::vector<AuditedItem>& items, const char* member) {
    Record list = Record::array();
    for (const AuditedItem& item : items) {
        list.push_back({{member, item.Name}, {"quantity", item.Quantity}});
    }
    return list;
}

std::vector<AuditedItem> Amounts(const std::vector<ItemAmount>& items) {
    std::vector<AuditedItem> amounts;
    for (const ItemAmount& item : items) {
        amounts.push_back({item.Item, item.Quantity});
    }
    return amounts;
}

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

void Write(Clock::time_point time, const Record& record) {
    const std::string& folder = PluginFolder();
    if (folder.empty()) {
        return;
    }
    // Text that is not UTF-8 (a name from a hand-edited file) is written with U+FFFD in its place
    // rather than losing the record.
    const std::string line =
        record.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
    bool& failing = TheCatalogueState().AuditWriteFailing;
    if (AppendLine(AuditFilePath(time), line)) {
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

Clock::time_point AuditClock() {
    if (const char* fixed = std::getenv("BARTERBOX_FIXED_CLOCK")) {
        if (const std::optional<Clock::time_point> time = ReadTimeText(fixed)) {
            return *time;
        }
    }
    return Clock::now();
}

std::string AuditTimeText(Clock::time_point time) {
    const auto milliseconds = std::chrono::floor<std::chrono::milliseconds>(time);
    const std::chrono::hh_mm_ss clock{milliseconds - std::chrono::floor<std::chrono::days>(time)};
    char text[32];
    std::snprintf(
        text, sizeof text, "T%02d:%02d:%02d.%03dZ", static_cast<int>(clock.hours().count()),
        static_cast<int>(clock.minutes().count()), static_cast<int>(clock.seconds().count()),
        static_cast<int>(clock.subseconds().count()));
    return DayText(time) + text;
}

std::string AuditFilePath(Clock::time_point time) {
    return PluginFolder() + "/audit/" + DayText(time) + ".jsonl";
}

void AuditExchange(const AuditSource& source, const ExchangeOutcome& outcome) {
    const Clock::time_point time = AuditClock();
    Record record = Started(time, "exchange", source);
    record["exchange"] = outcome.Exchange;
    record["multiplier"] = outcome.Multiplier;
    record["effective"] = outcome.Effective;
    record["outcome"] = ResultText(outcome.Result);
    record["taken"] = Listed(outcome.Taken, "class");
    record["given"] = Listed(outcome.Given, "item");
    if (outcome.Result == ExchangeResult::Cancelled || outcome.Result == ExchangeResult::Partial) {
        record["returned"] = Listed(outcome.Returned, "class");
        record["owed"] = Listed(outcome.Owed, "class");
    }
    if (!outcome.Kept.empty()) {
        record["kept"] = Listed(outcome.Kept, "class");
    }
    Write(time, record);
}

void AuditAdd(const AuditSource& source, const ExchangeDefinition& exchange, bool saved) {
    const Clock::time_point time = AuditClock();
    Record record = Started(time, "add", source);
    record["exchange"] = exchange.Name;
    record["give"] = Listed(Amounts(exchange.Give), "item");
    record["receive"] = Listed(Amounts(exchange.Receive), "item");
    record["saved"] = saved;
    Write(time, record);
}

void AuditRemove(const AuditSource& source, std::string_view name, bool saved) {
    const Clock::time_point time = AuditClock();
    Record record = Started(time, "remove", source);
    record["exchange"] = name;
    record["saved"] = saved;
    Write(time, record);
}

namespace {
// Reload and Save record the same members: how many exchanges, and whether it worked.
void AuditWholeTable(const char* event, const AuditSource& source, uint64_t exchanges,
                     bool succeeded) {
    const Clock::time_point time = AuditClock();
    Record record = Started(time, event, source);
    record["exchanges"] = exchanges;
    record["succeeded"] = succeeded;
    Write(time, record);
}
} // namespace

void AuditReload(const AuditSource& source, uint64_t exchanges, bool succeeded) {
    AuditWholeTable("reload", source, exchanges, succeeded);
}

void AuditSave(const AuditSource& source, uint64_t exchanges, bool succeeded) {
    AuditWholeTable("save", source, exchanges, succeeded);
}

} // namespace barterbox
