// The exchanges the plugin would load, seen as trades between item classes: which classes each
// Give entry may be paid with under the plugin's matching rule, and which class each Receive entry
// hands out. The loop search and the graph of the table both read it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tools/common/json_locations.h"
#include "tools/common/world_file.h"

namespace barterbox::tools {

struct TradeClass {
    std::string Path;
    std::string Name; // what findings and the graph show
};

struct TradeGive {
    std::string Text;
    int32_t Quantity = 0;
    std::vector<size_t> Classes; // every class the text matches, in TradeTable::Classes
};

struct TradeReceive {
    std::string Text;
    int32_t Quantity = 0;
    std::optional<size_t> Class; // none when the game would hand out nothing for the text
};

struct TradeExchange {
    std::string Name;
    TextPosition Where;
    std::vector<TradeGive> Give;
    std::vector<TradeReceive> Receive;
    // False when a Give quantity of 0 or less makes every run fail before anything is handed out.
    bool Completes = true;
};

struct TradeTable {
    std::vector<TradeClass> Classes;
    std::vector<TradeExchange> Exchanges; // in the order of the config's text
};

// The class path of a blueprint text in a form the game hands out: .../X.X, .../X.X_C, or either
// inside Blueprint'...'. A text without "/" is no blueprint path and gives nothing.
std::optional<std::string> ReceivedClassPath(std::string_view text);

// The classes are the world's when one is given. Without a world they are the classes of the
// table's own Receive items, the only ones the table creates, plus one class of its own for each
// Give text that matches none of them. `document` must be one the plugin loads.
TradeTable ReadTradeTable(const nlohmann::json& document, const JsonLocations& locations,
                          const WorldDescription* world);

} // namespace barterbox::tools
