// Reading the Cluster block; see cluster_reading.h.
#include "cluster_reading.h"

namespace barterbox {
namespace {

using nlohmann::json;

class ClusterReader {
public:
    explicit ClusterReader(RulesReading& reading) : reading_(reading) {}

    std::optional<ClusterSettings> Read(const json& block, const RulesMemberPath& path) {
        const size_t errorsBefore = reading_.Errors.size();
        ClusterSettings settings;
        if (!block.is_object()) {
            Fail(path, "must be an object with Server and Database, not " + RulesValueText(block));
            return std::nullopt;
        }
        PassOverUnknownMembers(block, path, kClusterMembers, reading_);
        settings.Server = Text(block, path, "Server", false).value_or("");
        if (settings.Server.size() > kMaxServerKeyLength) {
            Fail(Child(path, "Server"), "must be at most 64 bytes long");
        }
        if (const json* database = Required(block, path, "Database")) {
            ReadDatabase(*database, Child(path, "Database"), settings.Database);
        }
        if (reading_.Errors.size() != errorsBefore) {
            return std::nullopt;
        }
        return settings;
    }

private:
    RulesReading& reading_;

    void Fail(RulesMemberPath path, std::string message) {
        reading_.Errors.push_back({std::move(path), std::move(message)});
    }

    static RulesMemberPath Child(RulesMemberPath path, std::string name) {
        path.emplace_back(std::move(name));
        return path;
    }

    // The member, or nullptr with a problem that says it is missing.
    const json* Required(const json& object, const RulesMemberPath& path, const char* name) {
        const auto it = object.find(name);
        if (it == object.end()) {
            Fail(Child(path, name), "is missing; the Cluster block needs it");
            return nullptr;
        }
        return &*it;
    }

    std::optional<std::string> Text(const json& object, const RulesMemberPath& path,
                                    const char* name, bool mayBeEmpty) {
        const json* value = Required(object, path, name);
        if (value == nullptr) {
            return std::nullopt;
        }
        if (value->is_string() && (mayBeEmpty || !value->get_ref<const std::string&>().empty())) {
            return value->get<std::string>();
        }
        Fail(Child(path, name),
             std::string(mayBeEmpty ? "must be a text" : "must be a text that is not empty") +
                 ", not " + RulesValueText(*value));
        return std::nullopt;
    }

    // A whole number within [least, most], or `fallback` when the member is not there.
    int32_t Number(const json& object, const RulesMemberPath& path, const char* name,
                   int32_t fallback, int32_t least, int32_t most) {
        const auto it = object.find(name);
        if (it == object.end()) {
            return fallback;
        }
        if (it->is_number_integer() && it->get<int64_t>() >= least && it->get<int64_t>() <= most &&
            (!it->is_number_unsigned() || it->get<uint64_t>() <= static_cast<uint64_t>(most))) {
            return static_cast<int32_t>(it->get<int64_t>());
        }
        Fail(Child(path, name), "must be a whole number from " + std::to_string(least) + " to " +
                                    std::to_string(most) + ", not " + RulesValueText(*it));
        return fallback;
    }

    void ReadDatabase(const json& block, const RulesMemberPath& path, ClusterDatabase& database) {
        if (!block.is_object()) {
            Fail(path, "must be an object with Host, Port, User, Password, Name and WaitMs, not " +
                           RulesValueText(block));
            return;
        }
        PassOverUnknownMembers(block, path, kClusterDatabaseMembers, reading_);
        database.Host = Text(block, path, "Host", false).value_or("");
        database.Port = Number(block, path, "Port", 3306, 1, 65535);
        database.User = Text(block, path, "User", false).value_or("");
        database.Password = Text(block, path, "Password", true).value_or("");
        database.Name = Text(block, path, "Name", false).value_or("");
        database.WaitMs = Number(block, path, "WaitMs", 250, 1, kMaxWaitMs);
    }
};

} // namespace

std::optional<ClusterSettings> ReadCluster(const json& block, const RulesMemberPath& path,
                                           RulesReading& reading) {
    return ClusterReader(reading).Read(block, path);
}

} // namespace barterbox
