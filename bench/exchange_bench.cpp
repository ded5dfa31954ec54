// The cost of one exchange as the inventory grows: a three-entry exchange on inventories of 30,
// 300 and 3,000 slots, each size the baseline of the next, so the growth shows in one run. The
// Split variant runs the same exchanges with the host clock on and reports how much of each was
// the plugin's own time and how much the stand-in host's. The Audited variant writes each
// exchange's audit record, as a server does, where the others run without a plugin folder and so
// without the record: the two side by side are the record's cost. The Ruled variant runs them
// under trade rules that check every rule there is (groups, a cooldown of 0, the three limits,
// a stock that refills, group overrides) without ever refusing: beside the plain one it is the
// rules' cost.
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>
#include <spdlog/sinks/null_sink.h>

#include "catalogue/config_file.h"
#include "catalogue/exchange_catalogue.h"
#include "catalogue/plugin_settings.h"
#include "commands/exchange_replies.h"
#include "fastest.h"
#include "hostsim/host_clock.h"
#include "hostsim/host_environment.h"
#include "hostsim/messenger.h"
#include "hostsim/name_registry.h"
#include "hostsim/plugin_module_file.h"
#include "hostsim/world/world.h"
#include "logger/plugin_logger.h"
#include "platform/module_library.h"
#include "rules/rules_reading.h"
#include "rules/rules_state.h"

namespace {

const std::string kResources = "/Game/PrimalEarth/CoreBlueprints/Resources/";

std::string PathOf(const std::string& className) {
    return kResources + className + "." + className;
}

// Classes the player carries but the exchange does not want: most of a real inventory.
constexpr int kOtherClasses = 12;

std::string OtherClass(int index) {
    return "PrimalItemConsumable_Other" + std::to_string(index);
}

// Fills the inventory to `slots` entries. The wanted stacks sit at its start, so that every
// walk from the end crosses the whole inventory before it finds them: the worst case.
void FillInventory(hostsim::World& world, int slots) {
    world.ClearInventory("Bench");
    world.GiveItems("Bench", "PrimalItemResource_Wood", 150); // two stacks
    world.GiveItems("Bench", "PrimalItemResource_Stone", 60);
    world.GiveItems("Bench", "PrimalItemResource_Thatch", 30);
    for (int i = 4; i < slots; ++i) {
        world.AddStack("Bench", OtherClass(i % kOtherClasses), 1 + i % 50);
    }
}

// Splits the exchanges' time into the plugin's own and the host's, per exchange in microseconds.
// `elapsed` is the time of the exchanges alone and `clock` what the host clock measured during
// them; what the clock itself added is taken out of both shares.
void ReportSplit(benchmark::State& state, std::chrono::nanoseconds elapsed,
                 const hostsim::HostTime& clock) {
    const double exchanges = static_cast<double>(state.iterations());
    const auto micros = [&](std::chrono::nanoseconds span) {
        return std::chrono::duration<double, std::micro>(span).count() / exchanges;
    };
    const double total = micros(elapsed - clock.CostPerEntry * clock.Entries);
    const double host = micros(clock.Host());
    state.counters["plugin_us"] = total - host;
    state.counters["host_us"] = host;
    state.counters["host_share"] = host / total;
    state.counters["host_entries"] = static_cast<double>(clock.Entries) / exchanges;
}

enum class Variant { Plain, Split, Audited, Ruled };

// Rules that every exchange passes, however many runs the benchmark makes.
void PutBenchRulesInForce(bool ruled) {
    barterbox::ResetRulesState();
    if (!ruled) {
        return;
    }
    barterbox::SetRulesInForce(
        barterbox::ReadTradeRules(nlohmann::json::parse(R"({"Exchanges": {"Kit": {
            "Groups": ["Default", "VIP"], "Cooldown": 0, "Day": 1000000000, "Week": 1000000000,
            "Total": 1000000000, "Stock": 1000000000, "Restock": "1d",
            "For": {"VIP": {"Day": 2000000000}, "Donor": {"Week": 2000000000}}}}})"))
            .Rules);
    barterbox::TheRulesState().Ledger.StockPeriods = {std::chrono::seconds{86400}};
}

void RunExchanges(benchmark::State& state, Variant variant) {
    const bool split = variant == Variant::Split;
    // The audit writes into the plugin folder; without one it writes nothing.
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "barterbox-bench-audit";
    std::filesystem::remove_all(folder);
    barterbox::PluginFolder() = variant == Variant::Audited ? folder.string() : "";
    const int slots = static_cast<int>(state.range(0));
    hostsim::ResetHost();
    // The plugin's code is linked into the benchmark, which is therefore the plugin's module.
    hostsim::SetPluginModuleFile(
        barterbox::platform::ModuleFileOf(reinterpret_cast<const void*>(&FillInventory)));
    barterbox::CreatePluginLogger({std::make_shared<spdlog::sinks::null_sink_mt>()});
    barterbox::ClearExchanges();
    barterbox::Settings() = barterbox::PluginSettings{};
    PutBenchRulesInForce(variant == Variant::Ruled);
    barterbox::PutExchange({"Kit",
                            "three resources for ingots",
                            {{"PrimalItemResource_Wood", 150},
                             {"PrimalItemResource_Stone", 60},
                             {"PrimalItemResource_Thatch", 30}},
                            {{"Blueprint'" + PathOf("PrimalItemResource_MetalIngot") + "'", 10}}});

    hostsim::World world(slots + 1);
    for (const char* name : {"PrimalItemResource_Wood", "PrimalItemResource_Stone",
                             "PrimalItemResource_Thatch", "PrimalItemResource_MetalIngot"}) {
        world.AddItemClass(PathOf(name), 100);
    }
    for (int i = 0; i < kOtherClasses; ++i) {
        world.AddItemClass("/Game/PrimalEarth/CoreBlueprints/Items/Consumables/" + OtherClass(i) +
                               "." + OtherClass(i),
                           100);
    }
    AShooterPlayerController* player = world.Join("Bench", "0002be4c4");

    // What the exchange asks of the host, which is what it costs a real server whatever the
    // stand-in host's own speed: game functions called and names resolved.
    hostsim::ResolveTotals host;
    std::chrono::nanoseconds elapsed{0};
    hostsim::HostTime clock;
    if (split) {
        hostsim::StartHostClock();
    }
    for (auto _ : state) {
        state.PauseTiming();
        FillInventory(world, slots);
        world.CollectGarbage();
        world.ClearGameCalls();
        hostsim::ClearSentMessages();
        const hostsim::ResolveTotals before = hostsim::TotalResolveCounts();
        const hostsim::HostTime clockBefore = hostsim::ReadHostClock();
        const auto started = std::chrono::steady_clock::now();
        state.ResumeTiming();

        // As the chat command runs it: the exchange, then the player's chat line.
        const bool completed =
            barterbox::RunAndReportExchange({player, "Kit", 1, barterbox::AuditVia::Chat, {}})
                .Result == barterbox::ExchangeResult::Complete;
        benchmark::DoNotOptimize(completed);
        state.PauseTiming();
        elapsed += std::chrono::steady_clock::now() - started;
        const hostsim::HostTime clockAfter = hostsim::ReadHostClock();
        clock.Inside += clockAfter.Inside - clockBefore.Inside;
        clock.Entries += clockAfter.Entries - clockBefore.Entries;
        const hostsim::ResolveTotals after = hostsim::TotalResolveCounts();
        host.Functions += after.Functions - before.Functions;
        host.Fields += after.Fields - before.Fields;
        state.ResumeTiming();
        if (!completed) {
            state.SkipWithError("the exchange did not complete");
            break;
        }
    }
    if (split) {
        clock.BiasPerEntry = hostsim::ReadHostClock().BiasPerEntry;
        clock.CostPerEntry = hostsim::ReadHostClock().CostPerEntry;
        hostsim::StopHostClock();
        ReportSplit(state, elapsed, clock);
    }
    state.counters["slots"] = slots;
    const auto perExchange = [&](uint64_t count) {
        return benchmark::Counter(static_cast<double>(count), benchmark::Counter::kAvgIterations);
    };
    state.counters["game_calls"] = perExchange(host.Functions);
    state.counters["names_resolved"] = perExchange(host.Functions + host.Fields);
    state.counters["names_per_slot"] =
        benchmark::Counter(static_cast<double>(host.Functions + host.Fields) / slots,
                           benchmark::Counter::kAvgIterations);

    hostsim::ClearSentMessages();
    barterbox::ClearExchanges();
    barterbox::ResetRulesState();
    barterbox::ResetPluginLogger();
    barterbox::PluginFolder().clear();
    std::filesystem::remove_all(folder);
}

void BM_ExecuteExchange(benchmark::State& state) {
    RunExchanges(state, Variant::Plain);
}

void BM_ExecuteExchangeSplit(benchmark::State& state) {
    RunExchanges(state, Variant::Split);
}

void BM_ExecuteExchangeAudited(benchmark::State& state) {
    RunExchanges(state, Variant::Audited);
}

#define EXCHANGE_BENCHMARK(name)                                                                   \
    BENCHMARK(name)                                                                                \
        ->Arg(30)                                                                                  \
        ->Arg(300)                                                                                 \
        ->Arg(3000)                                                                                \
        ->Unit(benchmark::kMicrosecond)                                                            \
        ->ComputeStatistics("min", &barterbox::bench::Fastest)

void BM_ExecuteExchangeRuled(benchmark::State& state) {
    RunExchanges(state, Variant::Ruled);
}

EXCHANGE_BENCHMARK(BM_ExecuteExchange);
EXCHANGE_BENCHMARK(BM_ExecuteExchangeRuled);
EXCHANGE_BENCHMARK(BM_ExecuteExchangeSplit);
EXCHANGE_BENCHMARK(BM_ExecuteExchangeAudited);

} // namespace
