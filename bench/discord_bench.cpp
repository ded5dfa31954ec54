// What the Discord sink costs the game thread per record, beside the audit's own cost: a
// completed exchange's record written to the day file alone, and written with the Discord sink
// posting every record to a loopback webhook. The host's timers run without delay and the host
// ticks after every record, so the second includes the embed, the batches' bodies and the
// replies' handling, everything the game thread does for a post; the request itself runs on the
// host's thread.
#include <filesystem>

#include <benchmark/benchmark.h>
#include <spdlog/sinks/null_sink.h>

#include "audit/audit_record.h"
#include "catalogue/config_file.h"
#include "discord/discord_sink.h"
#include "fastest.h"
#include "hostsim/host_environment.h"
#include "hostsim/host_tick.h"
#include "logger/plugin_logger.h"
#include "tools/server/hosting/loopback_webhook.h"

namespace {

using barterbox::AuditedItem;

barterbox::ExchangeOutcome CompletedOutcome() {
    barterbox::ExchangeOutcome outcome;
    outcome.Exchange = "Ingots";
    outcome.Multiplier = outcome.Effective = 2;
    outcome.Result = barterbox::ExchangeResult::Complete;
    outcome.Step = barterbox::ExchangeStep::Finish;
    outcome.Taken = {AuditedItem{"/Game/PrimalEarth/CoreBlueprints/Resources/"
                                 "PrimalItemResource_Metal.PrimalItemResource_Metal_C",
                                 40},
                     AuditedItem{"/Game/PrimalEarth/CoreBlueprints/Resources/"
                                 "PrimalItemResource_Wood.PrimalItemResource_Wood_C",
                                 8}};
    outcome.Given = {AuditedItem{"Blueprint'/Game/PrimalEarth/CoreBlueprints/Resources/"
                                 "PrimalItemResource_MetalIngot.PrimalItemResource_MetalIngot'",
                                 20}};
    return outcome;
}

void RecordExchanges(benchmark::State& state, bool discord) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "barterbox-bench-discord";
    std::filesystem::remove_all(folder);
    barterbox::PluginFolder() = folder.string();
    hostsim::ResetHost();
    hostsim::SetTimerScale(0);
    barterbox::CreatePluginLogger({std::make_shared<spdlog::sinks::null_sink_mt>()});
    barterbox::server::LoopbackWebhook webhook;
    std::string error;
    if (discord && webhook.Start(error)) {
        barterbox::DiscordSettings settings;
        settings.Webhook = webhook.Url();
        settings.Events = {"complete"};
        barterbox::ApplyDiscordSettings(settings);
    }
    const barterbox::AuditSource source{
        barterbox::AuditVia::Chat, "0002a8e1f3c44b6d9e5f7a1b2c3d4e5f", {}};
    const barterbox::ExchangeOutcome outcome = CompletedOutcome();
    for (auto _ : state) {
        benchmark::DoNotOptimize(barterbox::AuditExchange(source, outcome));
        hostsim::RunHostTick();
    }
    barterbox::StopDiscordPosts();
    webhook.Stop();
    state.counters["posts"] = static_cast<double>(webhook.Posts().size());
    hostsim::StopRequestThread();
    hostsim::SetTimerScale(1);
    std::filesystem::remove_all(folder);
    barterbox::PluginFolder().clear();
}

void BM_AuditRecordDayFileOnly(benchmark::State& state) {
    RecordExchanges(state, false);
}

void BM_AuditRecordWithDiscord(benchmark::State& state) {
    RecordExchanges(state, true);
}

BENCHMARK(BM_AuditRecordDayFileOnly)
    ->Unit(benchmark::kMicrosecond)
    ->ComputeStatistics("min", &barterbox::bench::Fastest);
BENCHMARK(BM_AuditRecordWithDiscord)
    ->Unit(benchmark::kMicrosecond)
    ->ComputeStatistics("min", &barterbox::bench::Fastest);

} // namespace
