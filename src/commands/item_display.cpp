// The names players read for items; see item_display.h.
#include "item_display.h"

#include "exchange/item_names.h"
#include "rules/message_texts.h"

namespace barterbox {

std::string PlayerItemName(std::string_view item) {
    if (const std::optional<std::string_view> name = DisplayNameOf(item)) {
        return std::string(*name);
    }
    std::string shortName = ShortItemName(item);
    if (const std::optional<std::string_view> name = DisplayNameOf(shortName)) {
        return std::string(*name);
    }
    return shortName;
}

} // namespace barterbox
