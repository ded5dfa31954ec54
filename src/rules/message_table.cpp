// The messages' names and the check of a replacement text; see message_table.h.
#include "message_table.h"

#include <set>
#include <string>

namespace barterbox {
namespace {

struct Placeholders {
    std::size_t Automatic = 0;      // {}
    std::set<std::size_t> Numbered; // {N}
    std::size_t NumberedCount = 0;
};

std::string PlaceholderWord(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " placeholder" : " placeholders");
}

// Reads the digits of a {N}; nullopt when the brace holds anything else.
std::optional<std::size_t> PlaceholderNumber(std::string_view inside) {
    // Two digits at most, and no leading zero, as the formatter reads an argument's number.
    if (inside.empty() || inside.size() > 2 || (inside.size() == 2 && inside[0] == '0')) {
        return std::nullopt;
    }
    std::size_t number = 0;
    for (const char digit : inside) {
        if (digit < '0' || digit > '9') {
            return std::nullopt;
        }
        number = number * 10 + static_cast<std::size_t>(digit - '0');
    }
    return number;
}

// Walks the text's braces; the problem with the first one that is wrong.
std::optional<std::string> ScanPlaceholders(std::string_view text, Placeholders& found) {
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '}') {
            if (at + 1 < text.size() && text[at + 1] == '}') {
                ++at;
                continue;
            }
            return "a '}' that no '{' opens (write }} for the brace itself)";
        }
        if (text[at] != '{') {
            continue;
        }
        if (at + 1 < text.size() && text[at + 1] == '{') {
            ++at;
            continue;
        }
        const std::size_t close = text.find('}', at);
        if (close == std::string_view::npos) {
            return "a '{' that does not close (write {{ for the brace itself)";
        }
        const std::string_view inside = text.substr(at + 1, close - at - 1);
        if (inside.empty()) {
            ++found.Automatic;
        } else if (const std::optional<std::size_t> number = PlaceholderNumber(inside)) {
            found.Numbered.insert(*number);
            ++found.NumberedCount;
        } else {
            std::string problem = "'{";
            problem.append(inside).append("}' is no placeholder; write {} or {0}, {1}, ...");
            return problem;
        }
        at = close;
    }
    return std::nullopt;
}

} // namespace

std::optional<MessageId> MessageNamed(std::string_view name) {
    for (const MessageDefinition& message : kMessages) {
        if (message.Name == name) {
            return message.Id;
        }
    }
    return std::nullopt;
}

std::optional<std::string> TemplateProblem(std::string_view text, std::size_t placeholders) {
    Placeholders found;
    if (std::optional<std::string> problem = ScanPlaceholders(text, found)) {
        return problem;
    }
    if (found.Automatic > 0 && found.NumberedCount > 0) {
        return "{} and numbered placeholders cannot be mixed";
    }
    if (found.NumberedCount == 0) {
        if (found.Automatic != placeholders) {
            std::string problem = "has ";
            problem.append(PlaceholderWord(found.Automatic)).append(", the default has ");
            return problem.append(std::to_string(placeholders));
        }
        return std::nullopt;
    }
    // Numbered, each argument used at least once and none beyond them: the text may reorder them.
    for (std::size_t number = 0; number < placeholders; ++number) {
        if (!found.Numbered.contains(number)) {
            std::string problem = "{";
            problem.append(std::to_string(number)).append("} is missing; the default has ");
            return problem.append(PlaceholderWord(placeholders));
        }
    }
    if (found.Numbered.size() != placeholders) {
        std::string problem = "{";
        problem.append(std::to_string(*found.Numbered.rbegin())).append("} is past the default's ");
        return problem.append(PlaceholderWord(placeholders));
    }
    return std::nullopt;
}

} // namespace barterbox
