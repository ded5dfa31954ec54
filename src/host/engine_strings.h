// The boundary between host text (UTF-16 FString in host buffers) and the plugin's own narrow
// text, and the formatting of wide message templates into fresh host strings.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>

#include <fmt/xchar.h>

#include "engine_types.h"

namespace barterbox {

// A host text that could not be converted (the host allocator gave no memory for it).
class HostTextError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One byte per code unit: units 0-127 keep their value, every other unit becomes '?'.
// The text ends at the first NUL unit; an FString whose count is 0 is empty. A text past 127
// units is converted in a host buffer; when the host gives none, HostTextError is thrown, never
// an empty text returned.
std::string ToNarrowString(const FString& text);

// UTF-8 to UTF-16. Bytes 0-127 stay one unit each; each byte that is not part of a valid UTF-8
// sequence becomes U+FFFD.
std::u16string ToWideString(std::string_view text);

// Hands the buffer back to the host allocator; an FString with no buffer costs no host call.
void ReleaseFString(FString& text);

// A fresh host string holding the text of the FName found at that address.
FString FNameToFString(FName* name);

// Owns one host string and releases it exactly once, on every way out of the scope.
class OwnedFString {
public:
    OwnedFString() = default;
    explicit OwnedFString(FString text) : text_(text) {}
    ~OwnedFString() { ReleaseFString(text_); }
    OwnedFString(const OwnedFString&) = delete;
    OwnedFString& operator=(const OwnedFString&) = delete;

    FString& get() { return text_; }
    const FString& get() const { return text_; }

private:
    FString text_;
};

template <typename T>
concept MessageArgument = std::is_same_v<T, int32_t> || std::is_same_v<T, int64_t> ||
    std::is_same_v<T, uint64_t> || std::is_same_v<T, std::u16string>;

// Fills each {} of a wide template with the next argument; arguments are never read as templates.
template <MessageArgument... Args>
FString FormatFString(std::u16string_view templ, const Args&... args) {
    const std::u16string text =
        fmt::vformat(fmt::basic_string_view<char16_t>(templ.data(), templ.size()),
                     fmt::make_format_args<fmt::buffer_context<char16_t>>(args...));
    return FString(text.c_str());
}

} // namespace barterbox
