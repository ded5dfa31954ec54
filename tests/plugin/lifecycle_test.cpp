// The real module loaded into the stand-in host: what attach, Plugin_Unload and detach do.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <regex>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <spdlog/pattern_formatter.h>
#include <spdlog/sinks/stdout_sinks.h>

#include "host/host_api.h"
#include "host_fixture.h"
#include "hostsim/command_registry.h"
#include "hostsim/host_environment.h"
#include "hostsim/messenger.h"
#include "hostsim/plugin_module_file.h"
#include "hostsim/world/world.h"
#include "module_exports.h"
#include "platform/module_library.h"
#include "platform/os_path.h"
#include "scratch_folder.h"

namespace {

using testing::ElementsAre;

constexpr const char* kModule = BARTERBOX_MODULE_PATH;

const std::vector<std::string> kAdminCommands = {
    "Barterbox.Reload", "Barterbox.List",   "Barterbox.Add",   "Barterbox.Remove",
    "Barterbox.Save",   "Barterbox.Limits", "Barterbox.Reset", "Barterbox.Run"};

// The chat words, the console's commands, then RCON's, which are the same but DoExchange.
std::vector<std::string> CommandNames() {
    std::vector<std::string> names{"/exchange", "/ex", "/exinfo", "DoExchange"};
    names.insert(names.end(), kAdminCommands.begin(), kAdminCommands.end());
    names.push_back("Barterbox.Do");
    names.insert(names.end(), kAdminCommands.begin(), kAdminCommands.end());
    return names;
}
const std::vector<std::string> kCommandNames = CommandNames();

class PluginLifecycle : public testing_support::HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        // A game that offers every name the plugin checks for at load, with nobody online.
        world_.emplace();
        // A server folder with no config.json in it.
        serverDir_ = testing_support::MakeScratchFolder("barterbox-lifecycle");
        hostsim::SetCurrentDir(serverDir_);
    }
    void TearDown() override {
        if (module_ != nullptr) {
            barterbox::platform::CloseModule(module_);
        }
        std::filesystem::remove_all(barterbox::platform::OsPath(serverDir_));
        world_.reset();
        HostFixture::TearDown();
    }

    void Load() {
        std::string error;
        module_ = barterbox::platform::OpenModule(kModule, error);
        ASSERT_NE(module_, nullptr) << error;
        hostsim::SetPluginModuleFile(barterbox::platform::ModuleFileOf(
            barterbox::platform::ModuleFunction(module_, "Plugin_Unload")));
    }
    void CallPluginUnload() {
        auto unload = reinterpret_cast<void (*)()>(
            barterbox::platform::ModuleFunction(module_, "Plugin_Unload"));
        ASSERT_NE(unload, nullptr);
        unload();
    }
    void Unload() {
        ASSERT_TRUE(barterbox::platform::CloseModule(module_));
        module_ = nullptr;
    }

    std::string serverDir_;
    void* module_ = nullptr;
    std::optional<hostsim::World> world_;
};

std::vector<std::string> RemovalNames() {
    std::vector<std::string> names;
    for (const auto& call : hostsim::RegistryCalls()) {
        if (call.Operation.starts_with("Unregister")) {
            names.push_back(call.Name);
        }
    }
    return names;
}

TEST_F(PluginLifecycle, Load_RegistersEveryCommandInTableOrder) {
    Load();
    std::vector<std::string> names;
    std::vector<std::string> operations;
    for (const auto& call : hostsim::RegistryCalls()) {
        names.push_back(call.Name);
        operations.push_back(call.Operation);
    }
    EXPECT_EQ(names, kCommandNames);
    std::vector<std::string> expected(3, "RegisterChatHandler");
    expected.insert(expected.end(), 9, "RegisterConsoleHandler");
    expected.insert(expected.end(), 9, "RegisterRconHandler");
    EXPECT_EQ(operations, expected);
    EXPECT_EQ(hostsim::RegisteredNames(hostsim::HandlerKind::Rcon).size(), 9u);
    // A registry reference kept from an earlier use may be stale on the real host.
    EXPECT_GE(hostsim::CommandsFetches(), kCommandNames.size()) << "fetched at each registration";
}

TEST_F(PluginLifecycle, Load_WithoutConfigLogsLoadingAndZeroExchanges) {
    Load();
    const auto texts = LogTexts();
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts.front(), "[Barterbox][info] Barterbox v1.1 - Loading...");
    EXPECT_EQ(texts.back(), "[Barterbox][info] Barterbox: Loaded 0 exchanges");
    EXPECT_FALSE(std::filesystem::exists(serverDir_ + "/ArkApi/Plugins/Barterbox/config.json"))
        << "loading never writes the file";
}

TEST_F(PluginLifecycle, LogLines_FollowThePatternAndAreFlushedAtOnce) {
    Load();
    const auto lines = Sink().Lines();
    ASSERT_FALSE(lines.empty());
    // "%D %R [%n][%l] %v": MM/DD/YY HH:MM [Barterbox][info] text
    // std::regex rather than the matcher: GoogleTest's own regular expressions on Windows know no
    // brackets.
    EXPECT_TRUE(std::regex_match(
        lines.front(), std::regex("[0-9][0-9]/[0-9][0-9]/[0-9][0-9] [0-9][0-9]:[0-9][0-9] "
                                  "\\[Barterbox\\]\\[info\\] Barterbox v1\\.1 - Loading\\.\\.\\.")))
        << lines.front();
    EXPECT_GE(Sink().Flushes(), static_cast<int>(lines.size()));
}

TEST_F(PluginLifecycle, PluginUnloadThenDetach_RemovesTheNamesTwiceAndLogsUnloadedTwice) {
    Load();
    CallPluginUnload();
    EXPECT_TRUE(hostsim::RegisteredNames(hostsim::HandlerKind::Chat).empty());
    Unload();

    std::vector<std::string> twice = kCommandNames;
    twice.insert(twice.end(), kCommandNames.begin(), kCommandNames.end());
    EXPECT_EQ(RemovalNames(), twice);
    int unloaded = 0;
    for (const auto& text : LogTexts()) {
        unloaded += text == "[Barterbox][info] Barterbox: Unloaded" ? 1 : 0;
    }
    EXPECT_EQ(unloaded, 2);
    size_t found = 0;
    for (const auto& call : hostsim::RegistryCalls()) {
        found += call.Operation.starts_with("Unregister") && call.WasRegistered ? 1 : 0;
    }
    EXPECT_EQ(found, kCommandNames.size())
        << "the second round of removals is for names no longer registered";
}

TEST_F(PluginLifecycle, DetachAlone_RemovesEveryNameOnce) {
    Load();
    Unload();
    EXPECT_EQ(RemovalNames(), kCommandNames);
}

// A server that exits without unloading the module detaches it while the host is still whole, as
// Windows detaches a DLL before the DLLs it depends on: no crash in the host's registry at exit.
TEST_F(PluginLifecycle, ExitWithoutUnload_DetachesBeforeTheHostGoes) {
    EXPECT_EXIT(
        {
            hostsim::HostLogSinks().push_back(std::make_shared<spdlog::sinks::stderr_sink_st>());
            Load();
            std::exit(0);
        },
        testing::ExitedWithCode(0), "Barterbox: Unloaded");
}

TEST_F(PluginLifecycle, ReloadedModule_StartsFromFreshState) {
    Load();
    Unload();
    ASSERT_FALSE(barterbox::platform::ModuleStillLoaded(kModule)) << "unloading must really unload";
    Sink().Clear();
    hostsim::ResetCommandRegistry();
    Load();
    EXPECT_EQ(hostsim::RegisteredNames(hostsim::HandlerKind::Console).size(), 9u);
    EXPECT_EQ(LogTexts().front(), "[Barterbox][info] Barterbox v1.1 - Loading...");
}

// The host keeps its sinks when a module goes, and with them the formatter the plugin's pattern put
// in: its code must belong to the host or the logging library, never to the module. Otherwise the
// host's next line, or replacing or destroying that formatter, calls into an unloaded DLL.
TEST_F(PluginLifecycle, HostSinkAfterUnload_StillFormatsReplacesAndDestroysThePluginsFormatter) {
    auto sink = std::make_shared<testing_support::RecordingSink>();
    hostsim::HostLogSinks().push_back(sink);
    Load();
    const spdlog::formatter* formatter = sink->Formatter();
    ASSERT_NE(formatter, nullptr);
    const void* vtable = nullptr;
    std::memcpy(&vtable, formatter, sizeof vtable);
    const std::string formatterModule = barterbox::platform::ModuleFileOf(vtable);
    ASSERT_FALSE(formatterModule.empty());
    ASSERT_NE(formatterModule, hostsim::PluginModuleFile())
        << "the formatter in the host's sink is code of the plugin's module";
#if defined(_WIN32)
    ASSERT_EQ(formatterModule, barterbox::platform::ModuleFileOf(
                                   reinterpret_cast<const void*>(&AsaApi::GetLogSinks)));
#endif
    Unload();

    const spdlog::details::log_msg message("Barterbox", spdlog::level::info, "after the unload");
    sink->log(message);
    EXPECT_EQ(sink->Texts().back(), "[Barterbox][info] after the unload");
    sink->set_formatter(std::make_unique<spdlog::pattern_formatter>("%l: %v"));
    sink->log(message);
    EXPECT_EQ(sink->Lines().back(), "info: after the unload");
    hostsim::HostLogSinks().pop_back();
    sink.reset();
}

TEST_F(PluginLifecycle, Messages_AskForTheMessengerOfTheLoadedModuleEachTime) {
    AShooterPlayerController* ada = world_->Join("Ada", "0002ada", /*admin=*/true);
    Load();
    hostsim::ClearSentMessages();
    const uint64_t fetchesBefore = hostsim::ApiUtilsFetches();
    // A chat line to a player and a coloured reply to an administrator.
    EXPECT_TRUE(hostsim::DispatchChat(ada, u"/ex NoSuchExchange"));
    EXPECT_TRUE(hostsim::DispatchConsole(ada, u"Barterbox.List"));
    const auto messages = hostsim::SentMessages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].Type, hostsim::SentMessage::Kind::Chat);
    EXPECT_EQ(messages[1].Type, hostsim::SentMessage::Kind::Coloured);
    for (const auto& message : messages) {
        EXPECT_EQ(message.PluginPath, hostsim::PluginModuleFile());
    }
    EXPECT_GE(hostsim::ApiUtilsFetches() - fetchesBefore, messages.size())
        << "the utilities are fetched for each message, not kept";
    CallPluginUnload();
}

#if !defined(_WIN32) // the Windows build reads the DLL's export table with objdump instead
TEST_F(PluginLifecycle, PluginUnloadIsTheModulesOnlyExport) {
    const std::vector<std::string> symbols = testing_support::DefinedExports(kModule);
    EXPECT_THAT(symbols, ElementsAre("Plugin_Unload"));
}

#endif

} // namespace
