// See library_dump.h.
#include "library_dump.h"

#include <nlohmann/json.hpp>

#include "catalogue/exchange_catalogue.h"
#include "catalogue/plugin_settings.h"

namespace testing_support {

std::string LibraryDump() {
    using namespace barterbox;
    using nlohmann::json;
    json document;
    document["Settings"]["ChatPrefix"] = Settings().ChatPrefix;
    document["Settings"]["AllowMultiplier"] = Settings().AllowMultiplier;
    document["Settings"]["MaxMultiplier"] = Settings().MaxMultiplier;
    document["Exchanges"] = json::object();
    for (const auto& [key, definition] : Catalogue()) {
        json& exchange = document["Exchanges"][definition.Name];
        exchange["Description"] = definition.Description;
        exchange["Give"] = json::object();
        for (const ItemAmount& item : definition.Give) {
            exchange["Give"][item.Item] = item.Quantity;
        }
        exchange["Receive"] = json::object();
        for (const ItemAmount& item : definition.Receive) {
            exchange["Receive"][item.Item] = item.Quantity;
        }
    }
    return document.dump(2, ' ', false, json::error_handler_t::strict);
}

} // namespace testing_support
