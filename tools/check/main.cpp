// barterbox-check: tells an administrator what the plugin will make of a config.json, and of the
// rules.json beside it, before a server loads them. Exit status 0 when clean, 1 with warnings only,
// 2 with errors. A clean run says so in one line, so that a person sees it ran; --quiet leaves that
// out for scripts.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "check_run.h"
#include "finding_output.h"
#include "tools/common/program_arguments.h"

namespace {

// Parses the command line; an exit status when the program should stop at once (after --help or
// a usage error, which counts as an error).
std::optional<int> ParseArguments(CLI::App& app, int argc, char** argv) {
    // File names are UTF-8 inside, as the server takes them; on Windows main's own arguments went
    // through the ANSI code page, which has no "ö" in most places and no "文" in any.
    const std::vector<std::string> arguments = barterbox::tools::ProgramArguments(argc, argv);
    std::vector<const char*> words;
    for (const std::string& argument : arguments) {
        words.push_back(argument.c_str());
    }
    try {
        app.parse(static_cast<int>(words.size()), words.data());
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error);
        return status == 0 ? 0 : 2;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"Checks a Barterbox config.json and its rules.json with the plugin's own reading "
                 "rules."};
    // Options start with "-" on every platform; on Windows "/" would otherwise start one too, and
    // take an absolute path for an option.
    app.allow_windows_style_options(false);
    barterbox::tools::CheckRequest request;
    std::string worldFile;
    std::string graphFile;
    std::string rulesFile;
    bool asJson = false;
    bool quiet = false;
    app.add_option("CONFIG", request.ConfigFile, "the config.json to check")->required();
    CLI::Option* worldOption = app.add_option(
        "--world", worldFile,
        "a world file whose item classes Give and Receive items are checked against");
    CLI::Option* rulesOption = app.add_option(
        "--rules", rulesFile,
        "the rules.json to check, in place of the one beside CONFIG (which is checked when there)");
    CLI::Option* graphOption = app.add_option(
        "--dot", graphFile, "write the exchange table as a Graphviz graph to this file");
    app.add_option("--loop-seconds", request.LoopSeconds,
                   "stop looking for loops after this many seconds, with a warning (default 60)")
        ->check(CLI::Range(0, 86400));
    app.add_flag("--json", asJson, "print the findings as a JSON array");
    app.add_flag("-q,--quiet", quiet, "print nothing when there are no findings");
    if (const std::optional<int> status = ParseArguments(app, argc, argv)) {
        return *status;
    }
    if (*worldOption) {
        request.WorldFile = worldFile;
    }
    if (*rulesOption) {
        request.RulesFile = rulesFile;
    }
    if (*graphOption) {
        request.GraphFile = graphFile;
    }

    const barterbox::tools::CheckResult result = barterbox::tools::RunCheck(request);
    const auto& findings = result.Findings;
    std::string report =
        asJson ? barterbox::tools::JsonReport(findings) : barterbox::tools::HumanReport(findings);
    if (!asJson && !quiet && findings.empty()) {
        report = barterbox::tools::CleanSummary(request.ConfigFile, result.Exchanges);
        if (result.RulesFile) {
            report += barterbox::tools::RulesCleanSummary(*result.RulesFile, result.RuleExchanges);
        }
    }
    std::fwrite(report.data(), 1, report.size(), stdout);
    std::fflush(stdout);
    return barterbox::tools::ExitStatus(findings);
}
