// Argument parsing shared by the chat, console and RCON commands; see command_arguments.h.
#include "command_arguments.h"

#include <cctype>
#include <charconv>

namespace barterbox {
namespace {

enum class Quotes { Group, AreText };

// The one splitting walk behind both word styles; they differ only in whether a double quote
// groups words or is an ordinary character.
std::vector<std::string> SplitAtSpaces(std::string_view text, Quotes quotes) {
    std::vector<std::string> words;
    std::string current;
    bool inQuotes = false;
    for (const char c : text) {
        if (c == '"' && quotes == Quotes::Group) {
            inQuotes = !inQuotes;
        } else if (c == ' ' && !inQuotes) {
            if (!current.empty()) {
                words.push_back(std::move(current));
                current.clear();
            }
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty()) {
        words.push_back(std::move(current));
    }
    return words;
}

} // namespace

std::optional<std::string> ArgumentText(std::string_view line) {
    const size_t space = line.find(' ');
    if (space == std::string_view::npos) {
        return std::nullopt;
    }
    return std::string(line.substr(space + 1));
}

std::string_view TrimSpaces(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::vector<std::string> SplitQuotedArguments(std::string_view text) {
    return SplitAtSpaces(text, Quotes::Group);
}

std::vector<std::string> SplitOnSpaces(std::string_view text) {
    return SplitAtSpaces(text, Quotes::AreText);
}

std::string ArgumentTextAsOneName(std::string_view text) {
    return std::string(TrimSpaces(text));
}

FirstWordAndRest SplitFirstWordFromRest(std::string_view text) {
    const std::string_view trimmed = TrimSpaces(text);
    const size_t space = trimmed.find(' ');
    if (space == std::string_view::npos) {
        return {std::string(trimmed), std::nullopt};
    }
    return {std::string(trimmed.substr(0, space)), std::string(trimmed.substr(space + 1))};
}

std::optional<int32_t> ReadLeadingInteger(std::string_view text) {
    size_t position = 0;
    while (position < text.size() && std::isspace(static_cast<unsigned char>(text[position]))) {
        ++position;
    }
    // from_chars takes a minus sign but not a plus sign.
    if (position < text.size() && text[position] == '+' && position + 1 < text.size() &&
        text[position + 1] != '-') {
        ++position;
    }
    int32_t value = 0;
    const char* begin = text.data() + position;
    const auto [end, error] = std::from_chars(begin, text.data() + text.size(), value);
    if (error != std::errc{} || end == begin) {
        return std::nullopt;
    }
    return value;
}

} // namespace barterbox
