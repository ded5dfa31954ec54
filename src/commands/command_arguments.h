// How the commands take their arguments apart: the argument text after the command word, then
// one split per argument style (quoted words, plain words, one name, a first word and the rest),
// and the lenient reading of a number.
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

// Barterbox.Add's style: splits at spaces outside double quotes; quotes are dropped, empty
// arguments are not kept, and an unclosed quote runs to the end.
std::vector<std::string> SplitQuotedArguments(std::string_view text);

// The remote exchanges' style: splits at spaces; runs of spaces make no empty tokens; no quoting.
std::vector<std::string> SplitOnSpaces(std::string_view text);

// Barterbox.Remove's style: the whole argument text is one name, inner spaces and quotes
// included; only the spaces at both ends go.
std::string ArgumentTextAsOneName(std::string_view text);

// The chat command's style: the text trimmed of spaces, then split at its first space into the
// first word and everything after that space (which may hold more spaces and words). Without a
// space there is no rest; an empty or all-space text gives an empty first word.
struct FirstWordAndRest {
    std::string FirstWord;
    std::optional<std::string> Rest;
};
FirstWordAndRest SplitFirstWordFromRest(std::string_view text);

// A signed decimal number at the start of the text: leading white space skipped, an optional sign,
// the digits; whatever follows is ignored. Nullopt when there are no digits or the number lies
// outside the signed 32-bit range.
std::optional<int32_t> ReadLeadingInteger(std::string_view text);

} // namespace barterbox
