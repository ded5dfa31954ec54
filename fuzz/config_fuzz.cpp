// libFuzzer target for the config.json loader: any bytes must load without a crash, a leak or
// undefined behaviour; whatever loads must save to the library's own dump of it, before and after
// changes to the table, and that text must load back to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include <spdlog/sinks/null_sink.h>

#include "catalogue/config_file.h"
#include "catalogue/exchange_catalogue.h"
#include "catalogue/plugin_settings.h"
#include "library_dump.h"
#include "logger/plugin_logger.h"

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
    if (saved != testing_support::LibraryDump()) {
        std::abort(); // the save text must be the dump of the document member by member
    }

    // The saved document must follow changes too: every other exchange erased, the rest put
    // again under their names in capitals, which moves each to another member.
    std::vector<barterbox::ExchangeDefinition> loaded;
    for (const auto& [key, definition] : barterbox::Catalogue()) {
        loaded.push_back(definition);
    }
    for (std::size_t i = 0; i < loaded.size(); ++i) {
        barterbox::ExchangeDefinition& definition = loaded[i];
        barterbox::EraseExchange(definition.Name);
        if (i % 2 == 1) {
            for (char& c : definition.Name) {
                if (c >= 'a' && c <= 'z') {
                    c = static_cast<char>(c - 'a' + 'A');
                }
            }
            barterbox::PutExchange(std::move(definition));
        }
    }
    if (barterbox::ConfigText() != testing_support::LibraryDump()) {
        std::abort();
    }

    barterbox::LoadConfigFromText(saved);
    if (barterbox::ConfigText() != saved) {
        std::abort();
    }
    return 0;
}
