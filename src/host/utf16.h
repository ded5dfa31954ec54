// UTF-8 to UTF-16, as the plugin converts its text for the host and the stand-in host converts
// what it is given: one rule, so that the two can never disagree on a byte that is not UTF-8.
#pragma once

#include <iterator>
#include <string>
#include <string_view>

#include <utf8.h>

namespace barterbox {

// Bytes 0-127 stay one unit each; each byte that is not part of a valid UTF-8 sequence becomes
// U+FFFD. Only the one offending byte is replaced: its would-be continuation bytes are then
// invalid on their own and are replaced one by one.
inline std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string result;
    result.reserve(text.size());
    auto it = text.begin();
    while (it != text.end()) {
        const auto bad = utf8::find_invalid(it, text.end());
        utf8::unchecked::utf8to16(it, bad, std::back_inserter(result));
        if (bad == text.end()) {
            break;
        }
        result.push_back(u'\uFFFD');
        it = bad + 1;
    }
    return result;
}

} // namespace barterbox
