// The plugin's logger and its holder; see plugin_logger.h.
#include "plugin_logger.h"

namespace barterbox {

std::shared_ptr<spdlog::logger>& PluginLoggerHolder() {
    // A function-local static: created once, safely, at the first use from any thread.
    static std::shared_ptr<spdlog::logger> holder;
    return holder;
}

void ResetPluginLogger() {
    PluginLoggerHolder().reset();
}

void CreatePluginLogger(const std::vector<spdlog::sink_ptr>& sinks) {
    auto logger = std::make_shared<spdlog::logger>("Barterbox", sinks.begin(), sinks.end());
    logger->set_pattern("%D %R [%n][%l] %v", spdlog::pattern_time_type::local);
    logger->set_level(spdlog::level::info);
    logger->flush_on(spdlog::level::info);
    PluginLoggerHolder() = std::move(logger);
}

void LogHostError(std::string_view message) {
    Log(spdlog::level::err, "{}", message);
}

} // namespace barterbox
