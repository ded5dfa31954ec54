// The recording log sink; see recording_sink.h.
#include "recording_sink.h"

namespace testing_support {

std::vector<std::string> RecordingSink::Lines() {
    std::lock_guard lock(mutex_);
    return lines_;
}

std::vector<std::string> RecordingSink::Texts() {
    std::vector<std::string> texts;
    for (const std::string& line : Lines()) {
        // "%D %R " is 15 characters: MM/DD/YY HH:MM and a space.
        texts.push_back(line.size() > 15 ? line.substr(15) : line);
    }
    return texts;
}

int RecordingSink::Flushes() {
    std::lock_guard lock(mutex_);
    return flushes_;
}

void RecordingSink::Clear() {
    std::lock_guard lock(mutex_);
    lines_.clear();
    flushes_ = 0;
}

const spdlog::formatter* RecordingSink::Formatter() {
    std::lock_guard lock(mutex_);
    return formatter_.get();
}

void RecordingSink::sink_it_(const spdlog::details::log_msg& message) {
    spdlog::memory_buf_t formatted;
    formatter_->format(message, formatted);
    std::string line(formatted.data(), formatted.size());
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.pop_back();
    }
    lines_.push_back(std::move(line));
}

void RecordingSink::flush_() {
    ++flushes_;
}

} // namespace testing_support
