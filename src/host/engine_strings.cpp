// Conversions between host and plugin text; see engine_strings.h.
#include "engine_strings.h"

#include <array>
#include <cstring>

#include "game_calls.h"
#include "host_errors.h"
#include "utf16.h"

namespace barterbox {
namespace {

// Texts up to this many bytes, terminator included, convert without touching the host allocator.
constexpr size_t kStackScratchBytes = 128;

size_t UnitsWithTerminator(const char16_t* units) {
    size_t n = 0;
    while (units[n] != u'\0') {
        ++n;
    }
    return n + 1;
}

} // namespace

std::string ToNarrowString(const FString& text) {
    static constexpr char16_t kEmpty[] = u"";
    const char16_t* source = text.Num == 0 || text.Data == nullptr ? kEmpty : text.Data;
    const size_t n = UnitsWithTerminator(source);

    std::array<char, kStackScratchBytes> stackScratch;
    char* scratch = stackScratch.data();
    bool fromHost = false;
    if (n > kStackScratchBytes) {
        scratch = static_cast<char*>(game_calls::HostMalloc(n));
        if (scratch == nullptr) {
            std::string what = "Barterbox: Host allocator gave no memory for a text of ";
            what += std::to_string(n - 1);
            what += " code units";
            ReportHostError(what);
            // An empty text in its place would name no class, and an undo would ask for it.
            throw HostTextError(what);
        }
        fromHost = true;
    }

    bool anyWide = false;
    for (size_t i = 0; i < n; ++i) {
        scratch[i] = static_cast<char>(source[i] & 0xFF);
        anyWide = anyWide || source[i] > 127;
    }
    if (anyWide) {
        for (size_t i = 0; i < n; ++i) {
            if (source[i] > 127) {
                scratch[i] = '?';
            }
        }
    }

    std::string result(scratch, n - 1);
    if (fromHost) {
        game_calls::HostFree(scratch);
    }
    return result;
}

std::u16string ToWideString(std::string_view text) {
    return Utf8ToUtf16(text);
}

void ReleaseFString(FString& text) {
    if (text.Data != nullptr) {
        game_calls::HostFree(text.Data);
    }
}

FString FNameToFString(FName* name) {
    FString result;
    game_calls::FNameToString(name, result);
    return result;
}

} // namespace barterbox
