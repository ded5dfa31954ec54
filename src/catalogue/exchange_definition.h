// What one configured exchange is, and the key that its name is matched by: the types that the
// plugin's table and the config checker share.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/ascii_case.h"

namespace barterbox {

struct ItemAmount {
    std::string Item;
    int32_t Quantity = 0;
};

struct ExchangeDefinition {
    std::string Name;
    std::string Description;
    std::vector<ItemAmount> Give;
    std::vector<ItemAmount> Receive;
};

// The name with A to Z lowered and every other byte (accented UTF-8 included) kept.
inline std::string ExchangeKey(std::string_view name) {
    return AsciiLowered(name);
}

} // namespace barterbox
