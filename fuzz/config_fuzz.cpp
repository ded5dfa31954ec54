// libFuzzer target for the config.json loader: any bytes must load without a crash, a leak or
// undefined behaviour, and whatever loads must save to a text that loads back to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include <spdlog/sinks/null_sink.h>

#include "catalogue/config_file.h"
#include "catalogue/plugin_settings.h"
#include "plugin/plugin_logger.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const bool logger = [] {
        // The log lines are formatted as in the plugin, then dropped.
        barterbox::CreatePluginLogger({std::make_shared<spdlog::sinks::null_sink_mt>()});
        return true;
    }();
    (void)logger;

    barterbox::Settings() = barterbox::PluginSettings{};
    barterbox::LoadConfigFromText(std::string_view(reinterpret_cast<const char*>(data), size));

    // A parsed document holds only valid UTF-8, so its save text always exists, and it is a fixed
    // point: loading it again must give the very same text.
    const std::string saved = barterbox::ConfigText();
    barterbox::LoadConfigFromText(saved);
    if (barterbox::ConfigText() != saved) {
        std::abort();
    }
    return 0;
}
