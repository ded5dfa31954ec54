// The two report forms of the checker and its exit status.
#include "finding_output.h"

#include <algorithm>

#include <nlohmann/json.hpp>

namespace barterbox::tools {

namespace {
const char* SeverityName(Severity level) {
    return level == Severity::Error ? "error" : "warning";
}

// A report line holds no control character: names come from the config, and a raw newline in one
// would start a line of the name's own making, which a reader or a script takes for the
// checker's. Each is written as an escape instead (\n, \r, \t, or \xNN).
std::string OneLine(std::string_view text) {
    constexpr char kHex[] = "0123456789ABCDEF";
    std::string line;
    line.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            line += c;
        } else if (c == '\n' || c == '\r' || c == '\t') {
            line += '\\';
            line += c == '\n' ? 'n' : c == '\r' ? 'r' : 't';
        } else {
            line += "\\x";
            line += kHex[byte >> 4];
            line += kHex[byte & 0xF];
        }
    }
    return line;
}
} // namespace

std::string HumanLine(const Finding& finding) {
    std::string line = finding.File;
    if (finding.Where.Known()) {
        line +=
            ':' + std::to_string(finding.Where.Line) + ':' + std::to_string(finding.Where.Column);
    }
    line += std::string(": ") + SeverityName(finding.Level) + ": ";
    if (!finding.Member.empty()) {
        line += DisplayPath(finding.Member) + ": ";
    }
    return OneLine(line + finding.Message);
}

std::string HumanReport(const std::vector<Finding>& findings) {
    std::string report;
    for (const Finding& finding : findings) {
        report += HumanLine(finding) + '\n';
    }
    return report;
}

std::string CleanSummary(const std::string& configFile, size_t exchanges) {
    return OneLine(configFile) + ": no findings, " + std::to_string(exchanges) +
           (exchanges == 1 ? " exchange\n" : " exchanges\n");
}

std::string RulesCleanSummary(const std::string& rulesFile, size_t exchanges) {
    std::string line = OneLine(rulesFile);
    line += ": no findings, rules for ";
    line += std::to_string(exchanges);
    line += exchanges == 1 ? " exchange\n" : " exchanges\n";
    return line;
}

std::string JsonReport(const std::vector<Finding>& findings) {
    nlohmann::json report = nlohmann::json::array();
    for (const Finding& finding : findings) {
        nlohmann::json entry;
        entry["file"] = finding.File;
        entry["line"] = finding.Where.Known() ? nlohmann::json(finding.Where.Line) : nullptr;
        entry["column"] = finding.Where.Known() ? nlohmann::json(finding.Where.Column) : nullptr;
        entry["severity"] = SeverityName(finding.Level);
        entry["exchange"] = finding.Exchange ? nlohmann::json(*finding.Exchange) : nullptr;
        entry["member"] = PointerPath(finding.Member);
        entry["message"] = finding.Message;
        report.push_back(std::move(entry));
    }
    // Names come from a file the library accepted, so they are valid UTF-8; a replacement
    // character is still better than an exception if that ever changes.
    return report.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + '\n';
}

int ExitStatus(const std::vector<Finding>& findings) {
    const bool anyError = std::any_of(findings.begin(), findings.end(),
                                      [](const Finding& f) { return f.Level == Severity::Error; });
    if (anyError) {
        return 2;
    }
    return findings.empty() ? 0 : 1;
}

} // namespace barterbox::tools
