// How the commands take their arguments apart: the argument text after the command word, space
// trimming, the quoted and the plain splits, and the lenient reading of a number.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace barterbox {

// Everything after the line's first space; nullopt when the line has no space.
std::optional<std::string> ArgumentText(std::string_view line);

// Without the space characters at both ends; tabs and other white space stay.
std::string_view TrimSpaces(std::string_view text);

// Splits at spaces outside double quotes; quotes are dropped, empty arguments are not kept, and an
// unclosed quote runs to the end.
std::vector<std::string> SplitQuotedArguments(std::string_view text);

// Splits at spaces; runs of spaces make no empty tokens; no quoting.
std::vector<std::string> SplitOnSpaces(std::string_view text);

// A signed decimal number at the start of the text: leading white space skipped, an optional sign,
// the digits; whatever follows is ignored. Nullopt when there are no digits or the number lies
// outside the signed 32-bit range.
std::optional<int32_t> ReadLeadingInteger(std::string_view text);

} // namespace barterbox
