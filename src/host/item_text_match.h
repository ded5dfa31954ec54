// Whether an item identifier names an item class, judged on the class's texts alone. The plugin
// asks the game for those texts; the checker reads them from a world file or a config.
#pragma once

#include <concepts>
#include <string_view>

namespace barterbox {

// The identifier is looked for, case-sensitively, in the class's full path name and then in its
// name; the empty identifier matches every class. The name is asked for only when the path fails,
// as each text the plugin needs costs a call into the game.
template <std::invocable NameText>
bool ClassTextsMatch(std::string_view path, NameText&& name, std::string_view identifier) {
    const auto contains = [identifier](std::string_view text) {
        return identifier.size() <= text.size() && text.find(identifier) != std::string_view::npos;
    };
    return identifier.empty() || contains(path) || contains(std::string_view(name()));
}

// For callers that hold both texts already.
inline bool ClassTextsMatch(std::string_view path, std::string_view name,
                            std::string_view identifier) {
    return ClassTextsMatch(
        path, [name] { return name; }, identifier);
}

} // namespace barterbox
