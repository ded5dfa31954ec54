// The location index: a second walk over a text that the JSON library has already accepted,
// noting where each value and member name starts.
#include "json_locations.h"

#include <algorithm>

namespace barterbox {

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

// The index as the walk builds it: where the scanner is, the containers open around it, and the
// path of the value it is at.
struct Indexer {
    explicit Indexer(std::string_view text) : Scan{text} {
        if (text.starts_with("\xEF\xBB\xBF")) {
            Scan.At = 3; // a byte order mark is no part of the document
        }
    }

    JsonLocations Index;
    Scanner Scan;
    std::vector<OpenContainer> Open;
    MemberPath Path;

    void NoteValue() {
        if (Path.size() <= kMaxIndexedDepth) {
            Index.Values[Path] = Scan.Here();
        }
    }

    // Reads "name" : and makes the name the current step, noting a name the object repeats.
    void EnterMember(OpenContainer& object) {
        const TextPosition at = Scan.Here();
        std::string name = DecodeName(Scan.TakeString());
        Scan.SkipSpace();
        ++Scan.At; // the colon
        Scan.SkipSpace();
        Path.push_back(name);
        if (Path.size() <= kMaxIndexedDepth) {
            Index.Names[Path] = at;
            auto [seen, fresh] = object.NamesSeen.try_emplace(std::move(name), at);
            if (!fresh) {
                Index.Repeats.push_back({Path, seen->second, at});
                seen->second = at;
            }
        }
    }

    // Makes the container's next member or element, counted by Count, the current step.
    void EnterNext(OpenContainer& container) {
        if (container.IsObject) {
            EnterMember(container);
        } else {
            Path.emplace_back(container.Count);
        }
    }

    // Reads the value that starts here: a string or a scalar whole, an empty container whole, or
    // the opening of a container and the step to its first value. Whether the value is complete.
    bool StartValue() {
        const char c = Scan.Peek();
        if (c == '"') {
            Scan.TakeString();
            return true;
        }
        if (c != '{' && c != '[') {
            Scan.SkipScalar();
            return true;
        }
        ++Scan.At;
        Scan.SkipSpace();
        Open.push_back({c == '{', 0, {}});
        if (Scan.Peek() == '}' || Scan.Peek() == ']') {
            ++Scan.At;
            Open.pop_back();
            return true;
        }
        EnterNext(Open.back());
        return false;
    }

    // After a complete value: closes every container that it completes, then steps to the next
    // value. False when it was the document's last.
    bool StepToNextValue() {
        while (!Open.empty()) {
            Path.pop_back();
            Scan.SkipSpace();
            if (Scan.Peek() == ',') {
                ++Scan.At;
                Scan.SkipSpace();
                OpenContainer& container = Open.back();
                ++container.Count;
                EnterNext(container);
                return true;
            }
            ++Scan.At; // the closing bracket or brace
            Open.pop_back();
        }
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
    Indexer indexer(text);
    indexer.Scan.SkipSpace();
    while (!indexer.Scan.AtEnd()) {
        indexer.NoteValue();
        if (indexer.StartValue() && !indexer.StepToNextValue()) {
            break;
        }
    }
    return std::move(indexer.Index);
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

} // namespace barterbox
