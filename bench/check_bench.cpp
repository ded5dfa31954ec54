// barterbox-check on a table of 1,000 exchanges against the example world, as an administrator
// runs it, beside its baseline in the same run: the same files without the loop search. The table
// is priced as a careful administrator prices one (every exchange hands out less worth than it
// takes, some Give texts match two classes), so the search must prove that no loop exists.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>

#include "fastest.h"
#include "tools/check/check_run.h"
#include "tools/check/config_check.h"
#include "tools/check/world_check.h"
#include "tools/common/world_file.h"

namespace {

using namespace barterbox::tools;
using nlohmann::json;

const std::string kWorldFile = BARTERBOX_SOURCE_DIR "/examples/world.json";

std::string PricedTable(const std::vector<WorldItemClass>& classes, int64_t count) {
    const size_t n = classes.size();
    const auto worth = [](size_t c) { return 10.0 + 7.0 * static_cast<double>(c); };
    // A short text ("PrimalItemResource_Metal") may match more than one class; it is worth the
    // cheapest of them, since a player pays with that one.
    const auto textWorth = [&](const std::string& text) {
        double cheapest = 1e300;
        for (size_t c : ClassesMatchingGive(classes, text)) {
            cheapest = std::min(cheapest, worth(c));
        }
        return cheapest;
    };
    json exchanges = json::object();
    for (int64_t i = 0; i < count; ++i) {
        const auto u = static_cast<size_t>(i);
        const size_t a = (u * 7) % n;
        size_t b = (u * 13 + 5) % n;
        b = b == a ? (b + 1) % n : b;
        const size_t c = (u * 3 + 1) % n;
        std::string textA = classes[a].ClassName.substr(0, classes[a].ClassName.size() - 2);
        const std::string textB = classes[b].Path;
        if (textA == textB || textA.empty()) {
            textA = classes[a].Path;
        }
        const double received = static_cast<double>(1 + i % 4) * worth(c);
        const double quantityB = static_cast<double>(1 + i % 3);
        const double quantityA = std::max(
            1.0,
            std::ceil((received * 1.25 - quantityB * textWorth(textB)) / textWorth(textA)) + 1);
        const std::string blueprint = classes[c].Path.substr(0, classes[c].Path.size() - 2);
        exchanges["Trade_" + std::to_string(i)] = {
            {"Give", {{textA, quantityA}, {textB, quantityB}}},
            {"Receive", {{"Blueprint'" + blueprint + "'", 1 + i % 4}}}};
    }
    return json{{"Exchanges", std::move(exchanges)}}.dump(2);
}

struct Files {
    std::string Config;
    std::string ConfigText;
};

const Files& TableFiles(int64_t count) {
    static std::map<int64_t, Files> made;
    auto [entry, added] = made.try_emplace(count);
    if (added) {
        const WorldReadResult world = ReadWorldFile(kWorldFile);
        entry->second.ConfigText = PricedTable(world.Contents.ItemClasses, count);
        entry->second.Config = (std::filesystem::temp_directory_path() /
                                ("barterbox-check-bench-" + std::to_string(count) + ".json"))
                                   .string();
        std::ofstream(entry->second.Config, std::ios::binary) << entry->second.ConfigText;
    }
    return entry->second;
}

void Check_WithLoopSearch(benchmark::State& state) {
    const Files& files = TableFiles(state.range(0));
    for (auto _ : state) {
        CheckResult result = RunCheck({files.Config, kWorldFile, std::nullopt});
        if (result.Exchanges != static_cast<size_t>(state.range(0))) {
            state.SkipWithError("the generated table did not load whole");
        }
        benchmark::DoNotOptimize(result);
    }
}

// The baseline: reading both files and every check of one exchange at a time.
void Check_WithoutLoopSearch(benchmark::State& state) {
    const Files& files = TableFiles(state.range(0));
    for (auto _ : state) {
        const WorldReadResult world = ReadWorldFile(kWorldFile);
        ConfigCheck check = CheckConfigText(files.Config, files.ConfigText);
        std::vector<Finding> findings =
            CheckAgainstWorld(files.Config, check.Document, check.Locations, world.Contents);
        benchmark::DoNotOptimize(findings);
    }
}

#define CHECK_BENCHMARK(name)                                                                      \
    BENCHMARK(name)                                                                                \
        ->Arg(100)                                                                                 \
        ->Arg(1000)                                                                                \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->ComputeStatistics("min", &barterbox::bench::Fastest)

CHECK_BENCHMARK(Check_WithLoopSearch);
CHECK_BENCHMARK(Check_WithoutLoopSearch);

} // namespace
