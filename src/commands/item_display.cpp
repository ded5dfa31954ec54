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
    // A blueprint path's last segment is "Package.Object": the class is the object's name.
    if (const size_t dot = shortName.rfind('.'); dot != std::string::npos) {
        std::string_view object = std::string_view(shortName).substr(dot + 1);
        if (object.ends_with("_C")) {
            object.remove_suffix(2);
        }
        if (const std::optional<std::string_view> name = DisplayNameOf(object)) {
            return std::string(*name);
        }
    }
    return shortName;
}

} // namespace barterbox
