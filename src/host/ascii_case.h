// Letter case as the plugin, the host and the tools fold it: A to Z only, byte by byte (or UTF-16
// unit by unit), so that UTF-8 text passes unchanged and no negative char reaches tolower.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace barterbox {

template <typename Char> constexpr Char AsciiLower(Char c) {
    return c >= Char('A') && c <= Char('Z') ? Char(c - Char('A') + Char('a')) : c;
}

inline std::string AsciiLowered(std::string_view text) {
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), AsciiLower<char>);
    return lowered;
}

namespace detail {
template <typename Char>
constexpr bool EqualFolded(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](Char x, Char y) { return AsciiLower(x) == AsciiLower(y); });
}
} // namespace detail

constexpr bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return detail::EqualFolded(a, b);
}
constexpr bool EqualIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
    return detail::EqualFolded(a, b);
}

} // namespace barterbox
