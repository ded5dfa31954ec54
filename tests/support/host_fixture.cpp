// The stand-in host fixture; see host_fixture.h.
#include "host_fixture.h"

#include "audit/audit_sinks.h"
#include "catalogue/catalogue_state.h"
#include "commands/chat_words.h"
#include "discord/discord_sink.h"
#include "host/host_errors.h"
#include "hostsim/allocator.h"
#include "hostsim/host_environment.h"
#include "hostsim/name_registry.h"
#include "hostsim/plugin_module_file.h"
#include "logger/plugin_logger.h"
#include "platform/file_call_table.h"
#include "platform/module_library.h"
#include "rules/rules_state.h"

namespace testing_support {

std::vector<std::string> LedgerFaults() {
    std::vector<std::string> faults = hostsim::LedgerErrors();
    for (const auto& buffer : hostsim::LiveBuffers(hostsim::BufferOwner::Plugin)) {
        faults.push_back("plugin buffer of " + std::to_string(buffer.Bytes) +
                         " bytes never released (" + buffer.Origin + ")");
    }
    return faults;
}

void ResetPluginState() {
    barterbox::ResetFileSystem();
    barterbox::ResetPluginLogger();
    barterbox::ResetHostErrorReporter();
    barterbox::ResetCatalogueState();
    barterbox::ResetDiscordState();
    barterbox::ResetAuditState();
    barterbox::ResetRulesState();
    barterbox::ResetChatWordsHook();
}

void HostFixture::SetUp() {
    ResetPluginState();
    hostsim::ResetHost();
    // The plugin's code is linked into this test program, so the program is the plugin's module
    // (a test that loads the real module says so itself).
    hostsim::SetPluginModuleFile(
        barterbox::platform::ModuleFileOf(reinterpret_cast<const void*>(&LedgerFaults)));
    sink_ = std::make_shared<RecordingSink>();
    hostsim::HostLogSinks() = {sink_};
}

void HostFixture::TearDown() {
    EXPECT_EQ(LedgerFaults(), std::vector<std::string>{});
    EXPECT_EQ(hostsim::NameErrors(), std::vector<std::string>{});
    // Leftovers go back so that one leaking test does not fail the tests after it.
    for (const auto& buffer : hostsim::LiveBuffers(hostsim::BufferOwner::Plugin)) {
        hostsim::Release(const_cast<void*>(buffer.Address), hostsim::BufferOwner::Plugin);
    }
    ResetPluginState();
}

void HostFixture::CreateLogger() {
    barterbox::CreatePluginLogger(hostsim::HostLogSinks());
    barterbox::SetHostErrorReporter(&barterbox::LogHostError);
}

} // namespace testing_support
