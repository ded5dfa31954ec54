// barterbox-check on a table of 1,000 exchanges against the example world, as an administrator
// runs it, beside its baseline in the same run: the same files without the loop search. The table
// is priced as a careful administrator prices one (every exchange hands out less worth than it
// takes, some Give texts match two classes), so the search must prove that no loop exists.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
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

// A random table over the example world's classes, from a fixed seed: each class has a random
// worth, each exchange takes one to three random entries (a class path, or a class name without
// "_C", which may match several classes) and hands out one or two random blueprints worth 50% to
// 99% of what it takes, at the cheapest class each entry matches (a blueprint worth more than its
// share gives way to the world's first class, of worth 1). One exchange in 500 is a pair
// that wins back more than it took, which the search must find; the rest it must prove lose.
std::string RandomTable(const std::vector<WorldItemClass>& classes, int64_t count) {
    std::mt19937_64 random(20261210);
    const auto below = [&](size_t n) {
        return static_cast<size_t>(std::uniform_int_distribution<size_t>(0, n - 1)(random));
    };
    std::vector<double> worth;
    for (size_t c = 0; c < classes.size(); ++c) {
        worth.push_back(c == 0 ? 1.0 : 1.0 + static_cast<double>(below(100)));
    }
    const auto textOf = [&](size_t c, double& value) {
        std::string text = classes[c].Path;
        if (below(3) == 0) {
            text = classes[c].ClassName.substr(0, classes[c].ClassName.size() - 2);
        }
        value = 1e300;
        for (size_t m : ClassesMatchingGive(classes, text)) {
            value = std::min(value, worth[m]);
        }
        return text;
    };
    const auto blueprint = [&](size_t c) {
        return "Blueprint'" + classes[c].Path.substr(0, classes[c].Path.size() - 2) + "'";
    };
    json exchanges = json::object();
    for (int64_t i = 0; i < count; ++i) {
        json give = json::object();
        double taken = 0;
        for (size_t g = 0, entries = 1 + below(3); g < entries; ++g) {
            double value = 0;
            const std::string text = textOf(below(classes.size()), value);
            const auto quantity = static_cast<int64_t>(10 + below(20));
            give[text] = quantity;
            taken += value * static_cast<double>(quantity);
        }
        const bool winner = i % 500 == 499;
        json receive = json::object();
        for (size_t r = 0, entries = 1 + below(2); r < entries; ++r) {
            size_t c = below(classes.size());
            const double share = winner ? 1.5 : (50.0 + static_cast<double>(below(50))) / 100.0;
            const double part = share * taken / static_cast<double>(entries);
            c = part < worth[c] ? 0 : c; // the cheapest class, of worth 1, fits any share
            receive[blueprint(c)] = std::floor(part / worth[c]);
        }
        exchanges["Random_" + std::to_string(i)] = {{"Give", give}, {"Receive", receive}};
    }
    return json{{"Exchanges", std::move(exchanges)}}.dump(2);
}

// The loop search on random tables of 1,000, 5,000 and 20,000 exchanges.
void Check_RandomTable(benchmark::State& state) {
    static std::map<int64_t, std::string> made;
    auto [entry, added] = made.try_emplace(state.range(0));
    if (added) {
        const WorldReadResult world = ReadWorldFile(kWorldFile);
        entry->second = (std::filesystem::temp_directory_path() /
                         ("barterbox-check-random-" + std::to_string(state.range(0)) + ".json"))
                            .string();
        std::ofstream(entry->second, std::ios::binary)
            << RandomTable(world.Contents.ItemClasses, state.range(0));
    }
    for (auto _ : state) {
        CheckResult result = RunCheck({entry->second, kWorldFile, std::nullopt});
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(Check_RandomTable)
    ->Arg(1000)
    ->Arg(5000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", &barterbox::bench::Fastest);

#define CHECK_BENCHMARK(name)                                                                      \
    BENCHMARK(name)                                                                                \
        ->Arg(100)                                                                                 \
        ->Arg(1000)                                                                                \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->ComputeStatistics("min", &barterbox::bench::Fastest)

CHECK_BENCHMARK(Check_WithLoopSearch);
CHECK_BENCHMARK(Check_WithoutLoopSearch);

} // namespace
