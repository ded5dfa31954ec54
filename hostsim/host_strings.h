// Host-side helpers for FString: building one in a ledgered host buffer, and reading one back.
#pragma once

#include <string>
#include <string_view>

#include "allocator.h"
#include "host/engine_types.h"

namespace hostsim {

// A fresh FString holding the text; empty text gives the all-zero FString and no buffer.
FString MakeFString(std::u16string_view text, BufferOwner owner, std::string origin);
// UTF-8 (invalid bytes become U+FFFD) to UTF-16, and back.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);
// The text of an FString, up to its terminator.
std::u16string ReadFString(const FString& text);

} // namespace hostsim
