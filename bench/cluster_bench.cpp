// What the cluster's ledger adds to an exchange: the same exchange, with a Day limit, run with the
// local ledger and with the cluster's on a MariaDB server of the benchmark's own on loopback
// (tests/support/scratch_mariadb.py), in turns in one run. Each turn's difference is the time the
// database added (the hold, under its row lock, and the confirmation); the counters give its
// median and 99th percentile. Skipped when the machine has no mariadbd.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <spdlog/sinks/null_sink.h>

#include "catalogue/config_file.h"
#include "catalogue/exchange_catalogue.h"
#include "catalogue/plugin_settings.h"
#include "commands/exchange_replies.h"
#include "hostsim/host_environment.h"
#include "hostsim/messenger.h"
#include "hostsim/plugin_module_file.h"
#include "hostsim/world/world.h"
#include "logger/plugin_logger.h"
#include "platform/module_library.h"
#include "rules/cluster_ledger.h"
#include "rules/rules_reading.h"
#include "rules/rules_state.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const std::string kWood =
    "/Game/PrimalEarth/CoreBlueprints/Resources/PrimalItemResource_Wood.PrimalItemResource_Wood";
const std::string kIngot = "/Game/PrimalEarth/CoreBlueprints/Resources/"
                           "PrimalItemResource_MetalIngot.PrimalItemResource_MetalIngot";

// The scratch server, started at the first use and stopped when the benchmark program ends.
struct ScratchServer {
    pid_t Process = -1;
    int Input = -1;
    int Port = 0;
    fs::path Folder;

    ScratchServer() = default;
    ScratchServer(const ScratchServer&) = delete;
    ScratchServer& operator=(const ScratchServer&) = delete;
    ~ScratchServer() {
        if (Process > 0) {
            close(Input); // the helper stops the server when its input closes
            waitpid(Process, nullptr, 0);
            fs::remove_all(Folder);
        }
    }
};

void Start(ScratchServer& started) {
    if (!fs::exists("/usr/sbin/mariadbd")) {
        return;
    }
    started.Folder = fs::temp_directory_path() / ("barterbox-bench-db-" + std::to_string(getpid()));
    fs::create_directories(started.Folder);
    int input[2];
    int output[2];
    if (pipe(input) != 0 || pipe(output) != 0) {
        return;
    }
    const std::string helper = BARTERBOX_SOURCE_DIR "/tests/support/scratch_mariadb.py";
    const std::string folder = (started.Folder / "db").string();
    started.Process = fork();
    if (started.Process == 0) {
        dup2(input[0], STDIN_FILENO);
        dup2(output[1], STDOUT_FILENO);
        close(input[1]);
        close(output[0]);
        execl("/usr/bin/python3", "python3", helper.c_str(), "serve", folder.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(input[0]);
    close(output[1]);
    started.Input = input[1];
    std::string port;
    char character = 0;
    while (read(output[0], &character, 1) == 1 && character != '\n') {
        port += character;
    }
    close(output[0]);
    started.Port = port.empty() ? 0 : std::stoi(port);
}

const ScratchServer& Database() {
    static ScratchServer server;
    static const bool started = (Start(server), true);
    (void)started;
    return server;
}

// The Kit exchange under a Day limit it never reaches, with the Cluster block in force.
bool PutRules(int port) {
    barterbox::ResetRulesState();
    const std::string text =
        R"({"Exchanges": {"Kit": {"Day": 2000000000}}, "Cluster": {"Server": "Bench",
        "Database": {"Host": "127.0.0.1", "Port": )" +
        std::to_string(port) +
        R"(, "User": "barterbox", "Password": "trade-ledger-pw", "Name": "barterbox"}}})";
    barterbox::TradeRules rules = barterbox::ReadTradeRules(nlohmann::json::parse(text)).Rules;
    const std::optional<barterbox::ClusterSettings> cluster = rules.Cluster;
    barterbox::SetRulesInForce(std::move(rules));
    barterbox::PutClusterInForce(cluster);
    return barterbox::TheRulesState().Cluster.Connection.Handle != nullptr;
}

double Percentile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    const auto index = static_cast<size_t>(share * static_cast<double>(values.size() - 1));
    return values[index];
}

// One exchange as the chat command runs it; its microseconds.
double TimedExchange(AShooterPlayerController* player) {
    const auto started = Clock::now();
    const bool completed =
        barterbox::RunAndReportExchange({player, "Kit", 1, barterbox::AuditVia::Chat, {}}).Result ==
        barterbox::ExchangeResult::Complete;
    benchmark::DoNotOptimize(completed);
    const double micros = std::chrono::duration<double, std::micro>(Clock::now() - started).count();
    return completed ? micros : -1;
}

void BM_ExchangeClusterLedgerBesideLocal(benchmark::State& state) {
    const ScratchServer& database = Database();
    if (database.Port == 0) {
        state.SkipWithError("no mariadbd on this machine: nothing to measure");
        return;
    }
    hostsim::ResetHost();
    hostsim::SetPluginModuleFile(
        barterbox::platform::ModuleFileOf(reinterpret_cast<const void*>(&TimedExchange)));
    barterbox::CreatePluginLogger({std::make_shared<spdlog::sinks::null_sink_mt>()});
    barterbox::PluginFolder().clear(); // no audit: the ledger's cost alone
    barterbox::ClearExchanges();
    barterbox::Settings() = barterbox::PluginSettings{};
    barterbox::PutExchange(
        {"Kit", "", {{"PrimalItemResource_Wood", 10}}, {{"Blueprint'" + kIngot + "'", 1}}});
    hostsim::World world(31);
    world.AddItemClass(kWood, 100);
    world.AddItemClass(kIngot, 100);
    AShooterPlayerController* player = world.Join("Bench", "0002be4c4");
    if (!PutRules(database.Port)) {
        state.SkipWithError("the scratch database did not answer");
        return;
    }
    std::vector<double> local;
    std::vector<double> cluster;
    std::vector<double> added;
    barterbox::ClusterLedgerState& ledger = barterbox::TheRulesState().Cluster;
    for (auto _ : state) {
        world.ClearInventory("Bench");
        world.GiveItems("Bench", "PrimalItemResource_Wood", 20);
        hostsim::ClearSentMessages();
        // In turns, so that both see the same machine: first the local ledger alone.
        std::optional<barterbox::ClusterSettings> settings = std::move(ledger.Settings);
        ledger.Settings.reset();
        const double alone = TimedExchange(player);
        ledger.Settings = std::move(settings);
        const double shared = TimedExchange(player);
        if (alone < 0 || shared < 0) {
            state.SkipWithError("an exchange did not complete");
            break;
        }
        state.SetIterationTime(shared / 1e6);
        local.push_back(alone);
        cluster.push_back(shared);
        added.push_back(shared - alone);
    }
    if (!added.empty()) {
        state.counters["local_median_us"] = Percentile(local, 0.5);
        state.counters["cluster_median_us"] = Percentile(cluster, 0.5);
        state.counters["added_median_us"] = Percentile(added, 0.5);
        state.counters["added_p99_us"] = Percentile(added, 0.99);
    }
    hostsim::ClearSentMessages();
    barterbox::ClearExchanges();
    barterbox::ResetRulesState();
    barterbox::ResetPluginLogger();
}

BENCHMARK(BM_ExchangeClusterLedgerBesideLocal)
    ->UseManualTime()
    ->Iterations(2000)
    ->Unit(benchmark::kMicrosecond);

} // namespace
