// The Cluster block's file checks; see cluster_check.h.
#include "cluster_check.h"

#include <filesystem>

#include "platform/os_path.h"

namespace barterbox::tools {

std::vector<Finding> CheckClusterFile(const std::string& rulesFile, const RulesCheck& rules) {
    std::vector<Finding> findings;
    if (!rules.Parsed || !rules.Document.is_object() || !rules.Document.contains("Cluster")) {
        return findings;
    }
#if defined(_WIN32)
    // Windows keeps who may read a file in its access lists, which a mode does not show.
    (void)rulesFile;
#else
    std::error_code error;
    const std::filesystem::file_status status =
        std::filesystem::status(platform::OsPath(rulesFile), error);
    if (error || (status.permissions() & std::filesystem::perms::others_read) ==
                     std::filesystem::perms::none) {
        return findings;
    }
    MemberPath member{std::string("Cluster")};
    const nlohmann::json& cluster = rules.Document["Cluster"];
    if (cluster.is_object() && cluster.contains("Database") && cluster["Database"].is_object() &&
        cluster["Database"].contains("Password")) {
        member = {std::string("Cluster"), std::string("Database"), std::string("Password")};
    }
    findings.push_back({Severity::Warning, rulesFile, ValuePosition(rules.Locations, member),
                        std::nullopt, member,
                        "the file holds the trade ledger's database password and every user of "
                        "this machine may read it; let only the server's account read it "
                        "(chmod 600 rules.json)"});
#endif
    return findings;
}

} // namespace barterbox::tools
