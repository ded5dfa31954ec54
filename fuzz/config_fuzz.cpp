// libFuzzer target for the config.json loader: any bytes must load without a crash, a leak or
// undefined behaviour; whatever loads must save to the library's own dump of it, and that text
// must load back to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>
#include <spdlog/sinks/null_sink.h>

#include "catalogue/config_file.h"
#include "catalogue/exchange_catalogue.h"
#include "catalogue/plugin_settings.h"
#include "plugin/plugin_logger.h"

namespace {

// The save text as the library itself dumps the document built member by member.
std::string LibraryDump() {
    using nlohmann::json;
    const barterbox::PluginSettings& settings = barterbox::Settings();
    json document;
    document["Settings"] = {{"ChatPrefix", settings.ChatPrefix},
                            {"AllowMultiplier", settings.AllowMultiplier},
                            {"MaxMultiplier", settings.MaxMultiplier}};
    document["Exchanges"] = json::object();
    for (const auto& [key, definition] : barterbox::Catalogue()) {
        json& exchange = document["Exchanges"][definition.Name];
        exchange["Description"] = definition.Description;
        exchange["Give"] = json::object();
        for (const barterbox::ItemAmount& item : definition.Give) {
            exchange["Give"][item.Item] = item.Quantity;
        }
        exchange["Receive"] = json::object();
        for (const barterbox::ItemAmount& item : definition.Receive) {
            exchange["Receive"][item.Item] = item.Quantity;
        }
    }
    return document.dump(2, ' ', false, json::error_handler_t::strict);
}

} // namespace

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
    if (saved != LibraryDump()) {
        std::abort(); // the save text must be the dump of the document member by member
    }
    barterbox::LoadConfigFromText(saved);
    if (barterbox::ConfigText() != saved) {
        std::abort();
    }
    return 0;
}
