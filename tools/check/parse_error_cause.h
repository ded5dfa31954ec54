// Plain words for the syntax mistakes people make when they edit config.json by hand (a trailing
// comma, a missing comma, a comment, single quotes), and the spot where the mistake stands, which
// is often before the byte where the JSON library gave up.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace barterbox::tools {

struct ParseErrorCause {
    size_t Offset = 0; // 0-based byte offset of the mistake in the text
    std::string Words; // what it is, in plain words
};

// The cause of a failed strict parse, given the 0-based offset of the byte the library stopped
// at and its error text; nothing when the mistake is not one of the known kinds.
std::optional<ParseErrorCause> ExplainParseError(std::string_view text, size_t stoppedAt,
                                                 std::string_view libraryText);

} // namespace barterbox::tools
