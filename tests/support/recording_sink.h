// An spdlog sink that keeps every line it was given, formatted, for tests to assert on.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include <spdlog/sinks/base_sink.h>

namespace testing_support {

class RecordingSink final : public spdlog::sinks::base_sink<std::mutex> {
public:
    std::vector<std::string> Lines();
    // Lines without the date and time, e.g. "[Barterbox][info] Barterbox: Unloaded".
    std::vector<std::string> Texts();
    int Flushes();
    void Clear();
    // The formatter the last pattern gave this sink; it stays owned by the sink.
    const spdlog::formatter* Formatter();

protected:
    void sink_it_(const spdlog::details::log_msg& message) override;
    void flush_() override;

private:
    std::vector<std::string> lines_;
    int flushes_ = 0;
};

} // namespace testing_support
