// Short display names for items; see item_names.h.
#include "item_names.h"

namespace barterbox {

std::string ShortItemName(std::string_view identifier) {
    const size_t slash = identifier.find_last_of('/');
    if (identifier.empty() || slash == std::string_view::npos) {
        return std::string(identifier);
    }
    std::string_view segment = identifier.substr(slash + 1);
    if (segment.ends_with('\'')) {
        segment.remove_suffix(1);
    }
    // Two characters "_C" alone are a name, not a suffix.
    if (segment.size() > 2 && segment.ends_with("_C")) {
        segment.remove_suffix(2);
    }
    return std::string(segment);
}

} // namespace barterbox
