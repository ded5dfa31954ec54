// How the administrator tools name a JSON value's type in their messages ("a string", "null").
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace barterbox::tools {

std::string JsonTypeName(const nlohmann::json& value);

} // namespace barterbox::tools
