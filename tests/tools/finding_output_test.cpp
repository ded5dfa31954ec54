// The report forms: the compiler-style line, the JSON array, and the exit status.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tools/check/finding_output.h"

namespace {

using namespace barterbox::tools;

const Finding kWarning{Severity::Warning,
                       "cfg/config.json",
                       {3, 7},
                       "Iron Deal",
                       {std::string("Exchanges"), std::string("Iron Deal")},
                       "the name holds a space"};
const Finding kError{Severity::Error, "world.json", {}, std::nullopt, {}, "cannot read the file"};

TEST(FindingOutput, HumanLine_LeavesOutWhatIsUnknown) {
    EXPECT_EQ(HumanLine(kWarning),
              "cfg/config.json:3:7: warning: Exchanges.\"Iron Deal\": the name holds a space");
    EXPECT_EQ(HumanLine(kError), "world.json: error: cannot read the file");
    EXPECT_EQ(HumanReport({kWarning, kError}),
              HumanLine(kWarning) + "\n" + HumanLine(kError) + "\n");
    EXPECT_EQ(HumanReport({}), "");
}

TEST(FindingOutput, JsonReport_GivesEveryFieldOfEveryFinding) {
    const nlohmann::json report = nlohmann::json::parse(JsonReport({kWarning, kError}));
    const nlohmann::json expected = nlohmann::json::parse(R"([
      {"file": "cfg/config.json", "line": 3, "column": 7, "severity": "warning",
       "exchange": "Iron Deal", "member": "/Exchanges/Iron Deal",
       "message": "the name holds a space"},
      {"file": "world.json", "line": null, "column": null, "severity": "error",
       "exchange": null, "member": "", "message": "cannot read the file"}
    ])");
    EXPECT_EQ(report, expected);
    EXPECT_EQ(JsonReport({}), "[]\n");
}

TEST(FindingOutput, JsonReport_KeepsTextOutsideAsciiAsUtf8) {
    Finding finding = kWarning;
    finding.Exchange = "\xC3\x89tain";
    const std::string report = JsonReport({finding});
    EXPECT_NE(report.find("\"exchange\": \"\xC3\x89tain\""), std::string::npos) << report;
}

TEST(FindingOutput, ExitStatus_IsTwoForAnyErrorOneForWarningsOnlyZeroWhenClean) {
    EXPECT_EQ(ExitStatus({}), 0);
    EXPECT_EQ(ExitStatus({kWarning}), 1);
    EXPECT_EQ(ExitStatus({kWarning, kWarning}), 1);
    EXPECT_EQ(ExitStatus({kWarning, kError}), 2);
    EXPECT_EQ(ExitStatus({kError}), 2);
}

} // namespace
