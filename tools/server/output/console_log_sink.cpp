// The server's log sink; see console_log_sink.h.
#include "console_log_sink.h"

#include <mutex>
#include <string>

#include <spdlog/sinks/base_sink.h>

#include "event_output.h"

namespace barterbox::server {
namespace {

// spdlog's own interface for sinks; the base class applies whatever pattern the logger sets.
class ConsoleLogSink final : public spdlog::sinks::base_sink<std::mutex> {
protected:
    void sink_it_(const spdlog::details::log_msg& message) override {
        spdlog::memory_buf_t formatted;
        formatter_->format(message, formatted);
        std::string_view line(formatted.data(), formatted.size());
        // The pattern ends each line with a line end; WriteLine adds its own.
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
            line.remove_suffix(1);
        }
        WriteLine(line, ToneOf(message.level));
    }
    void flush_() override {} // WriteLine flushes every line

private:
    static Tone ToneOf(spdlog::level::level_enum level) {
        if (level >= spdlog::level::err) {
            return Tone::Error;
        }
        return level == spdlog::level::warn ? Tone::Warning : Tone::Plain;
    }
};

} // namespace

spdlog::sink_ptr MakeConsoleLogSink() {
    return std::make_shared<ConsoleLogSink>();
}

} // namespace barterbox::server
