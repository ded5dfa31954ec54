// FString construction for the host, including the two constructors the host exports to plugins.
#include "host_strings.h"

#include <algorithm>
#include <iterator>

#include <utf8.h>

#include "host/utf16.h"

namespace hostsim {

FString MakeFString(std::u16string_view text, BufferOwner owner, std::string origin) {
    FString result;
    if (text.empty()) {
        return result;
    }
    const size_t units = text.size() + 1;
    auto* buffer =
        static_cast<char16_t*>(Allocate(units * sizeof(char16_t), owner, std::move(origin)));
    if (buffer == nullptr) {
        return result;
    }
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = u'\0';
    result.Data = buffer;
    result.Num = static_cast<int32_t>(units);
    result.Max = static_cast<int32_t>(units);
    return result;
}

std::u16string Utf8ToUtf16(std::string_view text) {
    return barterbox::Utf8ToUtf16(text);
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string result;
    auto it = text.begin();
    while (it != text.end()) {
        const char16_t unit = *it++;
        uint32_t codePoint = unit;
        if (unit >= 0xD800 && unit <= 0xDBFF && it != text.end() && *it >= 0xDC00 &&
            *it <= 0xDFFF) {
            codePoint = 0x10000 + ((unit - 0xD800u) << 10) + (*it++ - 0xDC00u);
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            codePoint = 0xFFFD; // a lone surrogate
        }
        utf8::unchecked::append(codePoint, std::back_inserter(result));
    }
    return result;
}

std::u16string ReadFString(const FString& text) {
    if (text.Num == 0 || text.Data == nullptr) {
        return {};
    }
    return std::u16string(text.Data);
}

} // namespace hostsim

// The constructors the host exports: the plugin owns what they build and must release it.
FString::FString(const char* narrow)
    : FString(hostsim::MakeFString(hostsim::Utf8ToUtf16(narrow != nullptr ? narrow : ""),
                                   hostsim::BufferOwner::Plugin, "FString(const char*)")) {}

FString::FString(const char16_t* wide)
    : FString(
          hostsim::MakeFString(wide != nullptr ? std::u16string_view(wide) : std::u16string_view(),
                               hostsim::BufferOwner::Plugin, "FString(const char16_t*)")) {}
