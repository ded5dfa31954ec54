// One run of barterbox-check: read the config, the rules.json beside it or named, and the world
// if one is given; check; and gather every finding in the order a reader fixes them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "finding.h"
#include "tools/common/world_file.h"

namespace barterbox::tools {

constexpr uint32_t kDefaultLoopSeconds = 60;

struct CheckRequest {
    std::string ConfigFile;
    std::optional<std::string> WorldFile;
    std::optional<std::string> GraphFile; // where to write the table as a Graphviz graph
    // The rules file to check, which must be there; without one, the rules.json beside the
    // config when there is one.
    std::optional<std::string> RulesFile = std::nullopt;
    uint32_t LoopSeconds = kDefaultLoopSeconds; // how long the loop search may take
};

struct CheckResult {
    // World file errors first (nothing about the config can be trusted against a broken world),
    // then the config's findings in the order of its text, then the rules file's.
    std::vector<Finding> Findings;
    size_t Exchanges = 0; // how many exchanges the plugin would load from the config
    std::optional<std::string> RulesFile; // the rules file checked, if any
    size_t RuleExchanges = 0;             // how many exchanges it holds rules for
};

CheckResult RunCheck(const CheckRequest& request);

// The files' texts, as a run has read them; a text is missing when its file could not be read
// or, for rules, when there is none.
struct RunTexts {
    std::string ConfigFile;
    std::optional<std::string> ConfigText;
    std::string RulesFile;
    std::optional<std::string> RulesText;
    const WorldDescription* World = nullptr;
    std::optional<std::string> GraphFile = std::nullopt;
    uint32_t LoopSeconds = kDefaultLoopSeconds;
};

// Every check of the texts, adding their findings and counts to `result` as RunCheck does.
void CheckTexts(const RunTexts& texts, CheckResult& result);

// The rules.json in the config's folder.
std::string RulesFileBeside(const std::string& configFile);

} // namespace barterbox::tools
