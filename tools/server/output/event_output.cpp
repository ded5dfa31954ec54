// The server's output stream and the forms of its event lines; see event_output.h.
#include "event_output.h"

#include <atomic>
#include <cstdio>
#include <mutex>

#include <fmt/format.h>

#include "output_writer.h"

namespace barterbox::server {
namespace {

std::atomic<bool> colourOutput{false};

std::mutex& OutputMutex() {
    static std::mutex mutex;
    return mutex;
}

std::string_view ToneCode(Tone tone) {
    switch (tone) {
    case Tone::Plain:
        return {};
    case Tone::Server:
        return "\x1b[2m"; // dim: the server's own remarks stay in the background
    case Tone::Error:
    case Tone::Red:
        return "\x1b[31m";
    case Tone::Warning:
        return "\x1b[33m";
    case Tone::Chat:
        return "\x1b[36m";
    case Tone::Green:
        return "\x1b[32m";
    case Tone::White:
        return "\x1b[1m";
    case Tone::Rcon:
        return "\x1b[35m";
    }
    return {};
}

// The length of the UTF-8 character the text starts with, its continuation bytes checked; 1 for
// a byte that starts none.
size_t Utf8SequenceLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    const size_t length = lead >= 0xc2 && lead <= 0xdf   ? 2
                          : lead >= 0xe0 && lead <= 0xef ? 3
                          : lead >= 0xf0 && lead <= 0xf4 ? 4
                                                         : 1;
    if (length > text.size()) {
        return 1;
    }
    for (size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xc0) != 0x80) {
            return 1;
        }
    }
    return length;
}

} // namespace

void SetColourOutput(bool enabled) {
    colourOutput = enabled;
}

std::string ShowControls(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto byte = static_cast<unsigned char>(c);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0u;
        const size_t sequence = Utf8SequenceLength(text.substr(i));
        if ((byte < 0x20 && c != '\t') || byte == 0x7f) {
            shown += fmt::format("\\x{:02x}", byte);
        } else if (byte == 0xc2 && next >= 0x80 && next <= 0x9f) {
            // U+0080 to U+009F, the C1 controls: some terminals act on them as on escapes.
            shown += fmt::format("\\u{:04x}", next);
            ++i;
        } else if (sequence > 1) {
            shown.append(text.substr(i, sequence));
            i += sequence - 1;
        } else if (byte >= 0x80 && byte <= 0x9f) {
            // The same controls as single bytes, outside any UTF-8 character: a terminal in an
            // 8-bit mode takes 0x9b for the start of an escape.
            shown += fmt::format("\\x{:02x}", byte);
        } else {
            shown += c;
        }
    }
    return shown;
}

void WriteLine(std::string_view line, Tone tone) {
    std::string whole = ShowControls(line);
    const std::string_view code = colourOutput ? ToneCode(tone) : std::string_view();
    if (!code.empty()) {
        whole = std::string(code) + whole + "\x1b[0m";
    }
    whole += '\n';
    std::lock_guard lock(OutputMutex());
    if (QueueOutput(whole)) {
        return;
    }
    std::fwrite(whole.data(), 1, whole.size(), stdout);
    std::fflush(stdout);
}

void ServerLine(std::string_view text) {
    WriteLine("[server] " + std::string(text), Tone::Server);
}

void ServerError(std::string_view text) {
    WriteLine("[server] error: " + std::string(text), Tone::Error);
}

std::string ChatEventLine(std::string_view receiver, std::string_view sender,
                          std::string_view text) {
    return fmt::format("[chat -> {}] <{}> {}", receiver, sender, text);
}

std::string ColourName(float r, float g, float b, float a) {
    if (r == 0 && g == 1 && b == 0 && a == 1) {
        return "green";
    }
    if (r == 1 && g == 0 && b == 0 && a == 1) {
        return "red";
    }
    if (r == 1 && g == 1 && b == 1 && a == 1) {
        return "white";
    }
    return fmt::format("{},{},{},{}", r, g, b, a);
}

Tone ColourTone(float r, float g, float b, float a) {
    const std::string name = ColourName(r, g, b, a);
    return name == "green"   ? Tone::Green
           : name == "red"   ? Tone::Red
           : name == "white" ? Tone::White
                             : Tone::Plain;
}

std::string ColouredEventLine(std::string_view receiver, float r, float g, float b, float a,
                              std::string_view text) {
    return fmt::format("[msg -> {}] ({}) {}", receiver, ColourName(r, g, b, a), text);
}

std::string RconEventLine(std::string_view text) {
    return fmt::format("[rcon] {}", text);
}

std::string InventoryEventLine(std::string_view player, size_t index, std::string_view className,
                               int32_t quantity) {
    return fmt::format("[inv {}] #{} {} x{}", player, index, className, quantity);
}

std::string EmptyInventoryLine(std::string_view player) {
    return fmt::format("[inv {}] (empty)", player);
}

} // namespace barterbox::server
