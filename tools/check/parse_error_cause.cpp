// Plain words for common syntax mistakes; see parse_error_cause.h. The library's error text tells
// what it expected; the text around the byte where it stopped tells what was written instead.
#include "parse_error_cause.h"

#include <cctype>

namespace barterbox::tools {
namespace {

bool IsJsonSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The offset of the last byte before `offset` that is not white space, if any.
std::optional<size_t> PreviousNonSpace(std::string_view text, size_t offset) {
    while (offset > 0) {
        --offset;
        if (!IsJsonSpace(text[offset])) {
            return offset;
        }
    }
    return std::nullopt;
}

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

// Where the token that ends at `last` (the byte the library stopped at) starts: the library reads
// a whole string, number or literal before it finds that no value may stand there.
std::optional<size_t> TokenStart(std::string_view text, size_t last, std::string_view libraryText) {
    if (Contains(libraryText, "unexpected '{'") || Contains(libraryText, "unexpected '['")) {
        return last;
    }
    size_t start = last;
    if (Contains(libraryText, "unexpected string literal")) {
        // Back to the opening quote: the first quote before the closing one that no odd run of
        // backslashes escapes.
        while (start > 0) {
            --start;
            if (text[start] != '"') {
                continue;
            }
            size_t backslashes = 0;
            while (start > backslashes && text[start - backslashes - 1] == '\\') {
                ++backslashes;
            }
            if (backslashes % 2 == 0) {
                return start;
            }
        }
        return std::nullopt;
    }
    auto partOfToken = [&](char c) {
        return Contains(libraryText, "number literal")
                   ? std::isdigit(static_cast<unsigned char>(c)) != 0 || c == '-' || c == '+' ||
                         c == '.' || c == 'e' || c == 'E'
                   : std::isalpha(static_cast<unsigned char>(c)) != 0;
    };
    if (!Contains(libraryText, "literal; expected")) {
        return std::nullopt;
    }
    while (start > 0 && partOfToken(text[start - 1])) {
        --start;
    }
    return start;
}

} // namespace

std::optional<ParseErrorCause> ExplainParseError(std::string_view text, size_t stoppedAt,
                                                 std::string_view libraryText) {
    if (stoppedAt >= text.size()) {
        return std::nullopt;
    }
    const char at = text[stoppedAt];
    const char next = stoppedAt + 1 < text.size() ? text[stoppedAt + 1] : '\0';
    if ((at == '/' && (next == '/' || next == '*')) || at == '#') {
        return ParseErrorCause{stoppedAt, "a comment; JSON has no comments"};
    }
    if (at == '\'') {
        return ParseErrorCause{stoppedAt, "a string in single quotes; JSON strings take double "
                                          "quotes"};
    }
    if ((at == '}' && Contains(libraryText, "unexpected '}'")) ||
        (at == ']' && Contains(libraryText, "unexpected ']'"))) {
        const std::optional<size_t> before = PreviousNonSpace(text, stoppedAt);
        if (before && text[*before] == ',') {
            return ParseErrorCause{*before, std::string("a trailing comma before \"") + at +
                                                "\"; JSON allows no comma after the last " +
                                                (at == '}' ? "member" : "element")};
        }
        return std::nullopt;
    }
    const bool inObject = Contains(libraryText, "; expected '}'");
    const bool inArray = Contains(libraryText, "; expected ']'");
    if (inObject || inArray) {
        const std::optional<size_t> start = TokenStart(text, stoppedAt, libraryText);
        const std::optional<size_t> before =
            start ? PreviousNonSpace(text, *start) : std::optional<size_t>();
        if (before) {
            return ParseErrorCause{*before + 1, std::string("a missing comma; a comma must "
                                                            "separate two ") +
                                                    (inObject ? "members" : "elements")};
        }
    }
    return std::nullopt;
}

} // namespace barterbox::tools
