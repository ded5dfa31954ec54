// The checks of a config.json text, read with exactly the plugin's rules: what it refuses, what
// it drops or ignores without a word, and what it reads otherwise than it is written.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "finding.h"

namespace barterbox::tools {

struct ConfigCheck {
    std::vector<Finding> Findings; // in the order of the file
    bool Parsed = false;
    nlohmann::json Document; // for the checks against a world, when parsed
    JsonLocations Locations;
    bool Refused = false;                   // the plugin refuses the parsed text as a whole
    size_t Exchanges = 0;                   // how many exchanges the plugin loads from the text
    std::vector<std::string> ExchangeNames; // theirs, as the text spells them
    std::vector<std::string> ItemTexts;     // their Give texts and Receive items, as written
};

ConfigCheck CheckConfigText(const std::string& fileName, std::string_view text);

} // namespace barterbox::tools
