// libFuzzer target for the engine-string conversions, on arbitrary UTF-16 and UTF-8 against the
// stand-in host's ledgered allocator. Each input checks the conversions against a plain model of
// what they must give, that nothing is read past a host buffer (the buffers are sized exactly, so
// the address sanitizer sees any over-read), and that every plugin buffer is released once.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>
#include <utf8.h>

#include "host/engine_strings.h"
#include "hostsim/allocator.h"
#include "hostsim/host_environment.h"
#include "hostsim/host_strings.h"

namespace {

void Require(bool holds) {
    if (!holds) {
        std::abort();
    }
}

// The host's ledger must show every plugin buffer given back exactly once, and no misuse.
void RequireCleanLedger(const hostsim::AllocatorCounts& before) {
    const hostsim::AllocatorCounts after = hostsim::Counts(hostsim::BufferOwner::Plugin);
    Require(after.Allocations - before.Allocations == after.Releases - before.Releases);
    Require(hostsim::LiveBuffers(hostsim::BufferOwner::Plugin).empty());
    Require(hostsim::LedgerErrors().empty());
}

// One unit per byte: the narrow form of host text. The text ends at the first NUL.
std::string NarrowModel(const std::u16string& units) {
    std::string narrow;
    for (const char16_t unit : units) {
        if (unit == u'\0') {
            break;
        }
        narrow += unit <= 127 ? static_cast<char>(unit) : '?';
    }
    return narrow;
}

void CheckToNarrowString(const std::u16string& units) {
    // A host text exactly as long as its units and terminator, handed over as a handler gets it.
    FString text = hostsim::MakeFString(units, hostsim::BufferOwner::Host, "fuzz input");
    if (!units.empty()) {
        // MakeFString stops nothing at a NUL; the buffer holds every unit and one terminator.
        Require(text.Num == static_cast<int32_t>(units.size() + 1));
    }
    Require(barterbox::ToNarrowString(text) == NarrowModel(units));
    hostsim::Release(text.Data, hostsim::BufferOwner::Host);
}

void CheckToWideString(const std::string& bytes) {
    const std::u16string wide = barterbox::ToWideString(bytes);
    if (utf8::is_valid(bytes.begin(), bytes.end())) {
        // Valid text converts losslessly and back.
        std::string back;
        utf8::utf16to8(wide.begin(), wide.end(), std::back_inserter(back));
        Require(back == bytes);
    } else {
        Require(wide.find(u'\uFFFD') != std::u16string::npos);
    }
    // Whatever came in, what goes out is well-formed UTF-16 with each ASCII byte kept as it was.
    Require(utf8::is_valid(hostsim::Utf16ToUtf8(wide)));
    size_t asciiIn = 0;
    for (const char c : bytes) {
        asciiIn += static_cast<unsigned char>(c) < 0x80 ? 1 : 0;
    }
    size_t asciiOut = 0;
    for (const char16_t unit : wide) {
        asciiOut += unit < 0x80 ? 1 : 0;
    }
    Require(asciiIn == asciiOut);
}

// A template of arbitrary text (braces doubled, as fmt needs them) and {} placeholders, filled
// with arbitrary arguments of the three kinds the plugin passes.
void CheckFormatFString(FuzzedDataProvider& input) {
    const int32_t value = input.ConsumeIntegral<int32_t>();
    const uint64_t count = input.ConsumeIntegral<uint64_t>();
    std::u16string argument;
    for (size_t i = input.ConsumeIntegralInRange<size_t>(0, 64); i > 0; --i) {
        argument += static_cast<char16_t>(input.ConsumeIntegral<uint16_t>());
    }
    const std::u16string filler[3] = {hostsim::Utf8ToUtf16(std::to_string(value)),
                                      hostsim::Utf8ToUtf16(std::to_string(count)), argument};

    std::u16string templ;
    std::u16string expected;
    size_t placeholders = 0;
    while (placeholders < 3 && input.remaining_bytes() > 0) {
        const char16_t unit = input.ConsumeIntegral<uint16_t>();
        if (unit == u'\0') {
            templ += u"{}";
            expected += filler[placeholders++];
        } else if (unit == u'{' || unit == u'}') {
            templ += unit;
            templ += unit;
            expected += unit;
        } else {
            templ += unit;
            expected += unit;
        }
    }
    for (; placeholders < 3; ++placeholders) {
        templ += u"{}";
        expected += filler[placeholders];
    }

    FString formatted = barterbox::FormatFString(templ, value, count, argument);
    // The FString is a plain copy of the text and its terminator, in a host buffer of its own.
    Require(hostsim::ReadFString(formatted) == expected.substr(0, expected.find(u'\0')));
    barterbox::ReleaseFString(formatted);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const bool host = [] {
        hostsim::ResetHost();
        return true;
    }();
    (void)host;
    const hostsim::AllocatorCounts before = hostsim::Counts(hostsim::BufferOwner::Plugin);

    FuzzedDataProvider input(data, size);
    switch (input.ConsumeIntegralInRange<int>(0, 2)) {
    case 0: {
        std::u16string units;
        while (input.remaining_bytes() > 1) {
            units += static_cast<char16_t>(input.ConsumeIntegral<uint16_t>());
        }
        CheckToNarrowString(units);
        break;
    }
    case 1:
        CheckToWideString(input.ConsumeRemainingBytesAsString());
        break;
    default:
        CheckFormatFString(input);
        break;
    }
    RequireCleanLedger(before);
    return 0;
}
