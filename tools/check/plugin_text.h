// A file's text read as the plugin reads config.json and rules.json: the strict parse, a failure
// as one error worded by its likely cause, and the members the text names twice, of which the
// JSON library keeps only the later one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "finding.h"

namespace barterbox::tools {

struct PluginText {
    bool Parsed = false;
    nlohmann::json Document;
    JsonLocations Locations; // when parsed
};

// Parses and indexes the text; a parse error, or each member given twice, is added to `findings`.
PluginText ReadPluginText(const std::string& fileName, std::string_view text,
                          std::vector<Finding>& findings);

} // namespace barterbox::tools
