// The plugin's one logger, kept in a process-wide holder that every part of the plugin logs
// through.
//
// State: the holder is the logger layer's one record. It is empty until the load creates the
// logger and is emptied only when the module's static objects go (or by ResetPluginLogger, which
// the test fixtures call); lines logged while it is empty go nowhere.
#pragma once

#include <memory>

#include <spdlog/logger.h>

namespace barterbox {

// The holder: created on first use, emptied only when the module's static objects go.
std::shared_ptr<spdlog::logger>& PluginLoggerHolder();

void ResetPluginLogger();

// Creates the "Barterbox" logger over its own copy of the given sinks, with the line pattern and
// flush level of the plugin, and puts it into the holder.
void CreatePluginLogger(const std::vector<spdlog::sink_ptr>& sinks);

// Reports a fault of the host (see host/host_errors.h) as an error line.
void LogHostError(std::string_view message);

// Writes one line when a logger exists; before LoadPlugin, lines have nowhere to go.
template <typename... Args>
void Log(spdlog::level::level_enum level, spdlog::format_string_t<Args...> text, Args&&... args) {
    if (const auto& logger = PluginLoggerHolder()) {
        logger->log(level, text, std::forward<Args>(args)...);
    }
}

// Log for the places that must not throw, such as an entry point's last word on a fault: a line
// that cannot be written is dropped.
template <typename... Args>
void LogQuietly(spdlog::level::level_enum level, spdlog::format_string_t<Args...> text,
                Args&&... args) noexcept {
    try {
        Log(level, text, std::forward<Args>(args)...);
    } catch (...) {
    }
}

} // namespace barterbox
