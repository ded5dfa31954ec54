// LoadConfig and SaveConfig on generated config.json files of 100, 1,000 and 10,000 exchanges
// (40 KB to 4 MB), each beside its baseline on the same file in the same run: the JSON library
// alone parsing the same file, and the library's dump(2) plus writing the same text. SaveConfig is
// measured as an Add or a Remove calls it (one exchange changed) and as the first save after a
// load. LoadConfig builds the saved document as well as the table, and a reload first frees the
// document it had.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>
#include <spdlog/sinks/null_sink.h>

#include <unistd.h>

#include "catalogue/config_file.h"
#include "catalogue/exchange_catalogue.h"
#include "fastest.h"
#include "logger/plugin_logger.h"

namespace {

using nlohmann::json;

std::string GeneratedConfigText(int64_t count) {
    json exchanges = json::object();
    for (int64_t i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        exchanges["Exchange_" + n] = {
            {"Description", "Trade number " + n + ": wood and stone for a thatch floor"},
            {"Give",
             {{"PrimalItemResource_Wood_" + n, 10 + i % 50},
              {"PrimalItemResource_Stone", 5},
              {"PrimalItemResource_Fiber", 20}}},
            {"Receive",
             {{"Blueprint'/Game/PrimalEarth/CoreBlueprints/Items/Structures/Thatch/"
               "PrimalItemStructure_ThatchFloor_" +
                   n + ".PrimalItemStructure_ThatchFloor'",
               1 + i % 3}}}};
    }
    json document = {
        {"Settings",
         {{"ChatPrefix", "Barterbox"}, {"AllowMultiplier", true}, {"MaxMultiplier", 100}}},
        {"Exchanges", std::move(exchanges)}};
    return document.dump(2, ' ', false);
}

// One folder for each size of table, holding its config.json and the baselines' own output file.
struct BenchFolder {
    std::filesystem::path folder;
    std::string configPath;
    std::string configText;

    explicit BenchFolder(int64_t exchanges) {
        folder = std::filesystem::temp_directory_path() /
                 ("barterbox-bench-" + std::to_string(getpid()) + "-" + std::to_string(exchanges));
        std::filesystem::create_directories(folder);
        configPath = (folder / "config.json").string();
        configText = GeneratedConfigText(exchanges);
        std::ofstream(configPath, std::ios::binary) << configText;
    }
    ~BenchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
};

// The folder of the benchmark's table size, made the plugin's config.json for the run.
BenchFolder& Folder(const benchmark::State& state) {
    static std::map<int64_t, std::unique_ptr<BenchFolder>> folders;
    std::unique_ptr<BenchFolder>& folder = folders[state.range(0)];
    if (!folder) {
        folder = std::make_unique<BenchFolder>(state.range(0));
        // Log lines cost what formatting them costs, and go nowhere.
        barterbox::CreatePluginLogger({std::make_shared<spdlog::sinks::null_sink_mt>()});
    }
    barterbox::ConfigPath() = folder->configPath;
    return *folder;
}

// Each iteration reads or writes the whole file once.
void CountBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(Folder(state).configText.size()));
    state.counters["exchanges"] = static_cast<double>(state.range(0));
}

std::string ReadFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    std::string text;
    char buffer[1 << 16];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, count);
    }
    std::fclose(file);
    return text;
}

// Plain writing: open (truncating), write, flush, close.
void WriteFile(const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    std::fwrite(text.data(), 1, text.size(), file);
    std::fflush(file);
    std::fclose(file);
}

// Writing as any save that survives a crash must: a file beside the old one, flushed to the disk,
// then renamed over it. SaveConfig writes this way, so this isolates what it adds to the library.
void WriteFileDurably(const std::string& path, const std::string& text) {
    const std::string temporary = path + ".tmp";
    std::FILE* file = std::fopen(temporary.c_str(), "w");
    std::fwrite(text.data(), 1, text.size(), file);
    std::fflush(file);
    fsync(fileno(file));
    std::fclose(file);
    std::rename(temporary.c_str(), path.c_str());
}

// --- Loading ---------------------------------------------------------------------------------

void Load_LoadConfig(benchmark::State& state) {
    Folder(state);
    for (auto _ : state) {
        barterbox::LoadConfig();
        benchmark::DoNotOptimize(barterbox::ExchangeCount());
    }
    CountBytes(state);
}

// A reload while the saved document exists, which the load frees first.
void Load_LoadConfigAfterASave(benchmark::State& state) {
    Folder(state);
    barterbox::LoadConfig();
    for (auto _ : state) {
        state.PauseTiming();
        barterbox::SaveConfig();
        state.ResumeTiming();
        barterbox::LoadConfig();
    }
    CountBytes(state);
}

void Load_LibraryParsesTheFileFromAString(benchmark::State& state) {
    Folder(state);
    for (auto _ : state) {
        json document = json::parse(ReadFile(barterbox::ConfigPath()), nullptr, true, false);
        benchmark::DoNotOptimize(document);
    }
    CountBytes(state);
}

void Load_LibraryParsesTheFileFromAStream(benchmark::State& state) {
    Folder(state);
    for (auto _ : state) {
        std::ifstream in(barterbox::ConfigPath());
        json document = json::parse(in, nullptr, true, false);
        benchmark::DoNotOptimize(document);
    }
    CountBytes(state);
}

// --- Saving ----------------------------------------------------------------------------------

// The save that follows an Add or a Remove: one exchange changed, then the whole file written.
void Save_SaveConfig(benchmark::State& state) {
    Folder(state);
    barterbox::LoadConfig();
    barterbox::SaveConfig();
    barterbox::ExchangeDefinition changed =
        *barterbox::FindExchange("Exchange_" + std::to_string(state.range(0) / 2));
    for (auto _ : state) {
        changed.Give[0].Quantity = changed.Give[0].Quantity % 1000 + 1;
        barterbox::PutExchange(changed);
        barterbox::SaveConfig();
    }
    CountBytes(state);
}

// The first save after a load or a reload.
void Save_FirstSaveAfterALoad(benchmark::State& state) {
    Folder(state);
    for (auto _ : state) {
        state.PauseTiming();
        barterbox::LoadConfig();
        state.ResumeTiming();
        barterbox::SaveConfig();
    }
    CountBytes(state);
}

void Save_LibraryDumpsAndWrites(benchmark::State& state) {
    const json document = json::parse(Folder(state).configText);
    const std::string path = (Folder(state).folder / "baseline.json").string();
    for (auto _ : state) {
        WriteFile(path, document.dump(2, ' ', false));
    }
    CountBytes(state);
}

void Save_LibraryDumpsAndWritesDurably(benchmark::State& state) {
    const json document = json::parse(Folder(state).configText);
    const std::string path = (Folder(state).folder / "baseline.json").string();
    for (auto _ : state) {
        WriteFileDurably(path, document.dump(2, ' ', false));
    }
    CountBytes(state);
}

#define CONFIG_BENCHMARK(name)                                                                     \
    BENCHMARK(name)                                                                                \
        ->Arg(100)                                                                                 \
        ->Arg(1000)                                                                                \
        ->Arg(10000)                                                                               \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->ComputeStatistics("min", &barterbox::bench::Fastest)

CONFIG_BENCHMARK(Load_LoadConfig);
CONFIG_BENCHMARK(Load_LoadConfigAfterASave);
CONFIG_BENCHMARK(Load_LibraryParsesTheFileFromAString);
CONFIG_BENCHMARK(Load_LibraryParsesTheFileFromAStream);
CONFIG_BENCHMARK(Save_SaveConfig);
CONFIG_BENCHMARK(Save_FirstSaveAfterALoad);
CONFIG_BENCHMARK(Save_LibraryDumpsAndWrites);
CONFIG_BENCHMARK(Save_LibraryDumpsAndWritesDurably);

} // namespace
