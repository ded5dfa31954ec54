// Reads the files of a check run and puts the config checks, the rules checks and the world
// checks together.
#include "check_run.h"

#include <algorithm>
#include <filesystem>

#include "cluster_check.h"
#include "config_check.h"
#include "platform/os_path.h"
#include "rules_check.h"
#include "rules_effect_check.h"
#include "tools/common/text_file.h"
#include "trade_check.h"
#include "world_check.h"

namespace barterbox::tools {

namespace {

void SortByPlace(std::vector<Finding>& findings) {
    std::stable_sort(findings.begin(), findings.end(),
                     [](const Finding& a, const Finding& b) { return a.Where < b.Where; });
}

std::optional<WorldDescription> ReadWorld(const std::string& worldFile,
                                          std::vector<Finding>& findings) {
    WorldReadResult read = ReadWorldFile(worldFile);
    for (WorldFileError& error : read.Errors) {
        findings.push_back({Severity::Error, worldFile, error.Where, std::nullopt,
                            std::move(error.Member), std::move(error.Message)});
    }
    if (!read.Ok()) {
        return std::nullopt;
    }
    return std::move(read.Contents);
}

std::optional<std::string> ReadChecked(const std::string& fileName,
                                       std::vector<Finding>& findings) {
    std::string reason;
    std::optional<std::string> text = ReadTextFile(fileName, reason);
    if (!text) {
        findings.push_back({Severity::Error, fileName, {}, std::nullopt, {}, std::move(reason)});
    }
    return text;
}

// The plugin reads no rules.json through a symbolic link, and then closes every exchange.
std::optional<std::string> ReadRules(const std::string& rulesFile, std::vector<Finding>& findings) {
    std::error_code error;
    if (std::filesystem::is_symlink(platform::OsPath(rulesFile), error)) {
        findings.push_back({Severity::Error,
                            rulesFile,
                            {},
                            std::nullopt,
                            {},
                            "the file is a symbolic link; the plugin reads no rules.json through "
                            "a link, and closes every exchange at its load"});
        return std::nullopt;
    }
    return ReadChecked(rulesFile, findings);
}

// The rules file a run checks: the one named, or the one beside the config when it is there.
std::optional<std::string> RulesFileOf(const CheckRequest& request) {
    if (request.RulesFile) {
        return request.RulesFile;
    }
    std::string beside = RulesFileBeside(request.ConfigFile);
    std::error_code error;
    const auto status = std::filesystem::symlink_status(platform::OsPath(beside), error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return std::nullopt;
    }
    return beside;
}

std::vector<Finding> ConfigFindings(const RunTexts& texts, const ConfigCheck& check,
                                    const TradeRules* rules) {
    std::vector<Finding> findings = check.Findings;
    if (check.Parsed) {
        // Without a world, what the table alone shows.
        std::vector<Finding> worldFindings =
            texts.World
                ? CheckAgainstWorld(texts.ConfigFile, check.Document, check.Locations, *texts.World)
                : CheckOwnProducts(texts.ConfigFile, check.Document, check.Locations);
        // A member that is already an error (a Receive item that is no blueprint path) needs no
        // second word from the world.
        std::erase_if(worldFindings, [&](const Finding& found) {
            return std::any_of(findings.begin(), findings.end(), [&](const Finding& f) {
                return f.Level == Severity::Error && f.Member == found.Member;
            });
        });
        findings.insert(findings.end(), worldFindings.begin(), worldFindings.end());
    }
    std::vector<Finding> tradeFindings = CheckTrades(texts.ConfigFile, check, texts.World,
                                                     texts.GraphFile, rules, texts.LoopSeconds);
    findings.insert(findings.end(), tradeFindings.begin(), tradeFindings.end());
    SortByPlace(findings);
    return findings;
}

} // namespace

std::string RulesFileBeside(const std::string& configFile) {
#if defined(_WIN32)
    const size_t folderEnd = configFile.find_last_of("/\\:");
#else
    const size_t folderEnd = configFile.find_last_of('/');
#endif
    const std::string folder =
        folderEnd == std::string::npos ? std::string() : configFile.substr(0, folderEnd + 1);
    return folder + "rules.json";
}

void CheckTexts(const RunTexts& texts, CheckResult& result) {
    std::optional<ConfigCheck> config;
    if (texts.ConfigText) {
        config = CheckConfigText(texts.ConfigFile, *texts.ConfigText);
        result.Exchanges = config->Exchanges;
    }
    std::optional<RulesCheck> rules;
    std::vector<Finding> rulesFindings;
    if (texts.RulesText) {
        rules = CheckRulesText(texts.RulesFile, *texts.RulesText);
        result.RuleExchanges = rules->Exchanges;
        // Names are compared only with a config whose exchanges the plugin loads.
        const bool namesKnown = config && config->Parsed && !config->Refused;
        rulesFindings = rules->Findings;
        std::optional<LoadedConfig> loaded;
        if (namesKnown) {
            loaded.emplace(LoadedConfig{config->ExchangeNames, config->ItemTexts});
        }
        std::vector<Finding> effects =
            CheckRuleEffects(texts.RulesFile, *rules, loaded ? &*loaded : nullptr);
        rulesFindings.insert(rulesFindings.end(), effects.begin(), effects.end());
        std::vector<Finding> cluster = CheckClusterFile(texts.RulesFile, *rules);
        rulesFindings.insert(rulesFindings.end(), cluster.begin(), cluster.end());
        SortByPlace(rulesFindings);
    }
    if (config) {
        const TradeRules* applied = rules && rules->Rules ? &*rules->Rules : nullptr;
        std::vector<Finding> configFindings = ConfigFindings(texts, *config, applied);
        result.Findings.insert(result.Findings.end(), configFindings.begin(), configFindings.end());
    }
    result.Findings.insert(result.Findings.end(), rulesFindings.begin(), rulesFindings.end());
}

CheckResult RunCheck(const CheckRequest& request) {
    CheckResult result;
    std::optional<WorldDescription> world;
    if (request.WorldFile) {
        world = ReadWorld(*request.WorldFile, result.Findings);
    }
    RunTexts texts;
    texts.ConfigFile = request.ConfigFile;
    texts.ConfigText = ReadChecked(request.ConfigFile, result.Findings);
    texts.World = world ? &*world : nullptr;
    texts.GraphFile = request.GraphFile;
    texts.LoopSeconds = request.LoopSeconds;
    // A rules file that cannot be read is reported after the config's findings, in its place.
    std::vector<Finding> rulesUnread;
    result.RulesFile = RulesFileOf(request);
    if (result.RulesFile) {
        texts.RulesFile = *result.RulesFile;
        texts.RulesText = ReadRules(*result.RulesFile, rulesUnread);
    }
    CheckTexts(texts, result);
    result.Findings.insert(result.Findings.end(), rulesUnread.begin(), rulesUnread.end());
    return result;
}

} // namespace barterbox::tools
