// The location index: a second walk over a text that the JSON library has already accepted,
// noting where each value and member name starts.
#include "json_locations.h"

#include <algorithm>

namespace barterbox::tools {

namespace {

// Config and world files nest five levels at most; indexing deeper would cost memory quadratic in
// the depth of a hostile file for nothing.
constexpr size_t kMaxIndexedDepth = 32;

bool IsBareName(const std::string& name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_' || c == '-';
    });
}

std::string Quoted(const std::string& name) {
    return nlohmann::json(name).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

// Walks validated JSON text byte by byte, keeping the line and column as it goes.
struct Scanner {
    std::string_view Text;
    size_t At = 0;
    size_t Line = 1;
    size_t LineStart = 0;

    bool AtEnd() const { return At >= Text.size(); }
    char Peek() const { return AtEnd() ? '\0' : Text[At]; }
    TextPosition Here() const { return {Line, At - LineStart + 1}; }

    void SkipSpace() {
        while (!AtEnd()) {
            const char c = Text[At];
            if (c == '\n') {
                ++Line;
                LineStart = At + 1;
            } else if (c != ' ' && c != '\t' && c != '\r') {
                return;
            }
            ++At;
        }
    }

    // At an opening quote; strings hold no raw line breaks, so the line does not change.
    std::string_view TakeString() {
        const size_t start = At++;
        while (!AtEnd() && Text[At] != '"') {
            At += Text[At] == '\\' ? 2 : 1;
        }
        At = std::min(At + 1, Text.size());
        return Text.substr(start, At - start);
    }

    // Numbers and the literals true, false and null.
    void SkipScalar() {
        while (!AtEnd()) {
            const char c = Text[At];
            const bool part = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || c == '+' ||
                              c == '-' || c == '.' || c == 'E';
            if (!part) {
                return;
            }
            ++At;
        }
    }
};

std::string DecodeName(std::string_view token) {
    if (token.find('\\') == std::string_view::npos) {
        return std::string(token.substr(1, token.size() - 2));
    }
    return nlohmann::json::parse(token).get<std::string>();
}

struct OpenContainer {
    bool IsObject = false;
    size_t Count = 0;
    std::map<std::string, TextPosition> NamesSeen;
};

class ErrorPosition final : public nlohmann::json_sax<nlohmann::json> {
public:
    size_t Offset = 0;

    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override { return true; }
    bool key(string_t&) override { return true; }
    bool end_object() override { return true; }
    bool start_array(std::size_t) override { return true; }
    bool end_array() override { return true; }
    bool parse_error(std::size_t position, const std::string&,
                     const nlohmann::json::exception&) override {
        // The library counts the offending byte 1-based.
        Offset = position == 0 ? 0 : position - 1;
        return false;
    }
};

} // namespace

std::string DisplayPath(const MemberPath& path) {
    std::string shown;
    for (const PathStep& step : path) {
        if (const auto* index = std::get_if<size_t>(&step)) {
            // Appended piece by piece: GCC 12 sees a false overlap in "[" + ... + "]".
            shown += '[';
            shown += std::to_string(*index);
            shown += ']';
            continue;
        }
        const auto& name = std::get<std::string>(step);
        if (!shown.empty()) {
            shown += '.';
        }
        shown += IsBareName(name) ? name : Quoted(name);
    }
    return shown;
}

std::string PointerPath(const MemberPath& path) {
    std::string pointer;
    for (const PathStep& step : path) {
        pointer += '/';
        if (const auto* index = std::get_if<size_t>(&step)) {
            pointer += std::to_string(*index);
            continue;
        }
        for (char c : std::get<std::string>(step)) {
            if (c == '~') {
                pointer += "~0";
            } else if (c == '/') {
                pointer += "~1";
            } else {
                pointer += c;
            }
        }
    }
    return pointer;
}

JsonLocations IndexJson(std::string_view text) {
    JsonLocations index;
    Scanner scan{text};
    if (text.starts_with("\xEF\xBB\xBF")) {
        scan.At = 3;
    }
    std::vector<OpenContainer> open;
    MemberPath path;

    // Reads "name" : and makes the name the current step.
    auto enterMember = [&](OpenContainer& object) {
        const TextPosition at = scan.Here();
        std::string name = DecodeName(scan.TakeString());
        scan.SkipSpace();
        ++scan.At; // the colon
        scan.SkipSpace();
        path.push_back(name);
        if (path.size() <= kMaxIndexedDepth) {
            index.Names[path] = at;
            auto [seen, fresh] = object.NamesSeen.try_emplace(std::move(name), at);
            if (!fresh) {
                index.Repeats.push_back({path, seen->second, at});
                seen->second = at;
            }
        }
    };

    scan.SkipSpace();
    while (!scan.AtEnd()) {
        if (path.size() <= kMaxIndexedDepth) {
            index.Values[path] = scan.Here();
        }
        const char c = scan.Peek();
        bool valueDone = true;
        if (c == '{' || c == '[') {
            ++scan.At;
            scan.SkipSpace();
            open.push_back({c == '{', 0, {}});
            if (scan.Peek() == '}' || scan.Peek() == ']') {
                ++scan.At;
                open.pop_back();
            } else {
                valueDone = false;
                if (open.back().IsObject) {
                    enterMember(open.back());
                } else {
                    path.emplace_back(size_t{0});
                }
            }
        } else if (c == '"') {
            scan.TakeString();
        } else {
            scan.SkipScalar();
        }

        // Close every container that this value completes, then step to the next value.
        while (valueDone) {
            if (open.empty()) {
                return index;
            }
            path.pop_back();
            scan.SkipSpace();
            if (scan.Peek() == ',') {
                ++scan.At;
                scan.SkipSpace();
                OpenContainer& container = open.back();
                ++container.Count;
                if (container.IsObject) {
                    enterMember(container);
                } else {
                    path.emplace_back(container.Count);
                }
                valueDone = false;
            } else {
                ++scan.At; // the closing bracket or brace
                open.pop_back();
            }
        }
    }
    return index;
}

TextPosition ValuePosition(const JsonLocations& locations, const MemberPath& path) {
    MemberPath prefix(path.begin(), path.begin() + std::min(path.size(), kMaxIndexedDepth));
    while (true) {
        if (auto found = locations.Values.find(prefix); found != locations.Values.end()) {
            return found->second;
        }
        if (prefix.empty()) {
            return {};
        }
        prefix.pop_back();
    }
}

TextPosition NamePosition(const JsonLocations& locations, const MemberPath& path) {
    if (auto found = locations.Names.find(path); found != locations.Names.end()) {
        return found->second;
    }
    return ValuePosition(locations, path);
}

TextPosition PositionOfOffset(std::string_view text, size_t offset) {
    offset = std::min(offset, text.size());
    TextPosition position{1, 1};
    for (size_t i = 0; i < offset; ++i) {
        if (text[i] == '\n') {
            ++position.Line;
            position.Column = 1;
        } else {
            ++position.Column;
        }
    }
    return position;
}

TextPosition ParseErrorPosition(std::string_view text) {
    // A number too large for a double surfaces as an out_of_range error that carries no
    // position; a SAX pass over the same text yields it for every kind of failure.
    ErrorPosition where;
    nlohmann::json::sax_parse(text.begin(), text.end(), &where);
    return PositionOfOffset(text, where.Offset);
}

ParsedJson ParseJsonText(std::string_view text) {
    ParsedJson result;
    try {
        result.Document = nlohmann::json::parse(text.begin(), text.end());
    } catch (const nlohmann::json::exception& error) {
        result.Error = error.what();
        result.ErrorPosition = ParseErrorPosition(text);
        return result;
    }
    result.Parsed = true;
    result.Locations = IndexJson(text);
    return result;
}

} // namespace barterbox::tools
