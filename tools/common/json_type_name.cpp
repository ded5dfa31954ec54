// JSON type names for the tools' messages; see json_type_name.h.
#include "json_type_name.h"

namespace barterbox::tools {

std::string JsonTypeName(const nlohmann::json& value) {
    switch (value.type()) {
    case nlohmann::json::value_t::object:
        return "an object";
    case nlohmann::json::value_t::array:
        return "an array";
    case nlohmann::json::value_t::string:
        return "a string";
    case nlohmann::json::value_t::boolean:
        return "a boolean";
    case nlohmann::json::value_t::null:
        return "null";
    default:
        return "a number";
    }
}

} // namespace barterbox::tools
