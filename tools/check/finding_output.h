// How findings are shown: one compiler-style line each for people, a JSON array for programs,
// and the exit status that sums them up.
#pragma once

#include <string>
#include <vector>

#include "finding.h"

namespace barterbox::tools {

// FILE:LINE:COLUMN: warning: MEMBER: MESSAGE, with the parts that are unknown left out.
std::string HumanLine(const Finding& finding);
// Every finding as a line of its own; empty when there is nothing to report.
std::string HumanReport(const std::vector<Finding>& findings);
// The one line of a run without findings: FILE: no findings, N exchanges.
std::string CleanSummary(const std::string& configFile, size_t exchanges);
// The same for a rules file: FILE: no findings, rules for N exchanges.
std::string RulesCleanSummary(const std::string& rulesFile, size_t exchanges);
// A JSON array of objects with file, line, column, severity, exchange, member and message.
std::string JsonReport(const std::vector<Finding>& findings);

// 0 when clean, 1 with warnings only, 2 with any error.
int ExitStatus(const std::vector<Finding>& findings);

} // namespace barterbox::tools
