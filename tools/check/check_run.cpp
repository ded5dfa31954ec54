// Reads the files of a check run and puts the config checks and the world checks together.
#include "check_run.h"

#include <algorithm>

#include "config_check.h"
#include "tools/common/text_file.h"
#include "tools/common/world_file.h"
#include "trade_check.h"
#include "world_check.h"

namespace barterbox::tools {

CheckResult RunCheck(const CheckRequest& request) {
    CheckResult result;
    std::vector<Finding>& findings = result.Findings;
    std::optional<WorldDescription> world;
    if (request.WorldFile) {
        WorldReadResult read = ReadWorldFile(*request.WorldFile);
        for (WorldFileError& error : read.Errors) {
            findings.push_back({Severity::Error, *request.WorldFile, error.Where, std::nullopt,
                                std::move(error.Member), std::move(error.Message)});
        }
        if (read.Ok()) {
            world = std::move(read.Contents);
        }
    }

    std::string reason;
    const std::optional<std::string> text = ReadTextFile(request.ConfigFile, reason);
    if (!text) {
        findings.push_back({Severity::Error, request.ConfigFile, {}, std::nullopt, {}, reason});
        return result;
    }
    ConfigCheck check = CheckConfigText(request.ConfigFile, *text);
    result.Exchanges = check.Exchanges;
    std::vector<Finding> configFindings = std::move(check.Findings);
    if (world && check.Parsed) {
        std::vector<Finding> worldFindings =
            CheckAgainstWorld(request.ConfigFile, check.Document, check.Locations, *world);
        // A member that is already an error (a Receive item that is no blueprint path) needs no
        // second word from the world.
        std::erase_if(worldFindings, [&](const Finding& found) {
            return std::any_of(configFindings.begin(), configFindings.end(), [&](const Finding& f) {
                return f.Level == Severity::Error && f.Member == found.Member;
            });
        });
        configFindings.insert(configFindings.end(), worldFindings.begin(), worldFindings.end());
    }
    std::vector<Finding> tradeFindings =
        CheckTrades(request.ConfigFile, check, world ? &*world : nullptr, request.GraphFile);
    configFindings.insert(configFindings.end(), tradeFindings.begin(), tradeFindings.end());
    std::stable_sort(configFindings.begin(), configFindings.end(),
                     [](const Finding& a, const Finding& b) { return a.Where < b.Where; });
    findings.insert(findings.end(), configFindings.begin(), configFindings.end());
    return result;
}

} // namespace barterbox::tools
