// An spdlog sink that keeps every line it was given, formatted, for tests to assert on.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include <spdlog/sinks/base_sink.h>

namespace testing_support {

class RecordingSink final : public spdlog::sinks::base_sink<std::mutex> {
public:
#if defined(_WIN32)
    // On Windows spdlog is compiled into each module, so the formatter that the plugin's logger
    // gives this sink is code of Barterbox.dll; once a test has unloaded the DLL, destroying it
    // would call into freed memory. The sink lets go of it instead (a few bytes per load).
    ~RecordingSink() override {
        static_cast<void>(formatter_.release());
    }
#endif
    std::vector<std::string> Lines();
    // Lines without the date and time, e.g. "[Barterbox][info] Barterbox: Unloaded".
    std::vector<std::string> Texts();
    int Flushes();
    void Clear();

protected:
    void sink_it_(const spdlog::details::log_msg& message) override;
    void flush_() override;
#if defined(_WIN32)
    void set_formatter_(std::unique_ptr<spdlog::formatter> formatter) override {
        static_cast<void>(formatter_.release());
        formatter_ = std::move(formatter);
    }
#endif

private:
    std::vector<std::string> lines_;
    int flushes_ = 0;
};

} // namespace testing_support
