// barterbox-check: tells an administrator what the plugin will make of a config.json before a
// server loads it. Exit status 0 when clean, 1 with warnings only, 2 with errors.
#include <cstdio>
#include <string>

#include <CLI/CLI.hpp>

#include "check_run.h"
#include "finding_output.h"

int main(int argc, char** argv) {
    CLI::App app{"Checks a Barterbox config.json with the plugin's own reading rules."};
    barterbox::tools::CheckRequest request;
    std::string worldFile;
    bool asJson = false;
    app.add_option("CONFIG", request.ConfigFile, "the config.json to check")->required();
    CLI::Option* worldOption = app.add_option(
        "--world", worldFile,
        "a world file whose item classes Give and Receive items are checked against");
    app.add_flag("--json", asJson, "print the findings as a JSON array");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error);
        return status == 0 ? 0 : 2; // a usage error counts as an error
    }
    if (*worldOption) {
        request.WorldFile = worldFile;
    }

    const auto findings = barterbox::tools::RunCheck(request);
    const std::string report =
        asJson ? barterbox::tools::JsonReport(findings) : barterbox::tools::HumanReport(findings);
    std::fwrite(report.data(), 1, report.size(), stdout);
    std::fflush(stdout);
    return barterbox::tools::ExitStatus(findings);
}
