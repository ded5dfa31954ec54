// Where each member of a JSON text stands (line and column), which the JSON library does not keep,
// so that the administrator tools can point at the exact spot of every finding, and the plugin's
// log at the spot of a value it cannot read.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include <nlohmann/json.hpp>

namespace barterbox {

// A 1-based line and column; the column counts bytes from the start of the line, as the JSON
// library's own error texts do. Line 0 means the position is unknown.
struct TextPosition {
    size_t Line = 0;
    size_t Column = 0;
    bool Known() const { return Line != 0; }
    auto operator<=>(const TextPosition&) const = default;
};

// One step into a document: a member name or an array index.
using PathStep = std::variant<std::string, size_t>;
using MemberPath = std::vector<PathStep>;

// For people: Players[1].Inventory[0].Item, Exchanges."Iron Deal".Give; empty for the root.
std::string DisplayPath(const MemberPath& path);
// For programs: the JSON Pointer of the member, e.g. /Exchanges/Iron Deal/Give.
std::string PointerPath(const MemberPath& path);

// A member named twice in one object; the JSON library keeps only the later one.
struct RepeatedMember {
    MemberPath Member;
    TextPosition First;
    TextPosition Later;
};

struct JsonLocations {
    // Where each value starts, and for members where the name starts; a repeated member is
    // recorded at its later occurrence, the one the library keeps.
    std::map<MemberPath, TextPosition> Values;
    std::map<MemberPath, TextPosition> Names;
    std::vector<RepeatedMember> Repeats;
};

// The index of a text that the JSON library has accepted. Members nested deeper than any file of
// ours goes are not indexed; lookups for them fall back to their nearest indexed ancestor.
JsonLocations IndexJson(std::string_view text);

// Where the value at the path starts (or its nearest indexed ancestor).
TextPosition ValuePosition(const JsonLocations& locations, const MemberPath& path);
// Where the member's name starts; for array elements and the root, where the value starts.
TextPosition NamePosition(const JsonLocations& locations, const MemberPath& path);

// The line and column of the byte at a 0-based offset (clamped to the end of the text).
TextPosition PositionOfOffset(std::string_view text, size_t offset);

// Where a strict parse of the text fails: the byte the JSON library stopped at, for every kind of
// failure (syntax errors and numbers too large for a double alike).
TextPosition ParseErrorPosition(std::string_view text);

// A strict parse, as the plugin does it, with the index of the text when it parses.
struct ParsedJson {
    bool Parsed = false;
    nlohmann::json Document;
    JsonLocations Locations;
    std::string Error; // the library's own error text
    TextPosition ErrorPosition;
};
ParsedJson ParseJsonText(std::string_view text);

} // namespace barterbox
