// The stand-in Permissions module as a plugin meets it: the real module file, found by its name
// once loaded, answering its one exported function from the world's memberships.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include "hostsim/permissions/permissions_api.h"
#include "module_exports.h"
#include "platform/module_library.h"
#include "world_fixture.h"

namespace {

constexpr const char* kModule = BARTERBOX_PERMISSIONS_MODULE_PATH;

class PermissionsModule : public world_tests::WorldFixture {
protected:
    void SetUp() override {
        WorldFixture::SetUp();
        std::string error;
        module_ = barterbox::platform::OpenModule(kModule, error);
        ASSERT_NE(module_, nullptr) << error;
        isPlayerInGroup_ = reinterpret_cast<hostsim::IsPlayerInGroupFunction>(
            barterbox::platform::ModuleFunction(module_, hostsim::kIsPlayerInGroupName));
        ASSERT_NE(isPlayerInGroup_, nullptr);
    }
    void TearDown() override {
        if (module_ != nullptr) {
            barterbox::platform::CloseModule(module_);
        }
        WorldFixture::TearDown();
    }

    void* module_ = nullptr;
    hostsim::IsPlayerInGroupFunction isPlayerInGroup_ = nullptr;
};

TEST_F(PermissionsModule, AnswersFromTheWorldsMemberships) {
    world->Join("Ada", "0002a");
    world->Join("Bram", "0002b");
    world->SetPlayerGroup("Ada", "VIP", true);
    const auto in = isPlayerInGroup_;
    EXPECT_TRUE(in(u"0002a", u"VIP"));
    EXPECT_TRUE(in(u"0002a", u"vip")) << "group names ignore the case of A to Z";
    EXPECT_FALSE(in(u"0002b", u"VIP"));
    EXPECT_TRUE(in(u"0002b", u"Default")) << "every player is in Default";
    EXPECT_FALSE(in(u"0002c", u"Default")) << "nobody online has this EOS ID";
    EXPECT_FALSE(in(u"0002a", u""));
    EXPECT_FALSE(in(nullptr, u"Default"));
    EXPECT_FALSE(in(u"0002a", nullptr));

    world->SetPlayerGroup("Ada", "VIP", false);
    EXPECT_FALSE(in(u"0002a", u"VIP")) << "asked afresh each time";
    world.reset();
    EXPECT_FALSE(in(u"0002a", u"Default")) << "no world, no players";
}

// How a plugin finds it without linking it: by its name among the modules already loaded.
TEST_F(PermissionsModule, IsFoundByItsNameOnceLoaded) {
    const std::string name = barterbox::platform::ModuleFileName(hostsim::kPermissionsModule);
#if defined(_WIN32)
    EXPECT_EQ(name, "Permissions.dll");
    HMODULE found = GetModuleHandleW(L"Permissions.dll");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(found, hostsim::kIsPlayerInGroupName)),
              reinterpret_cast<void*>(isPlayerInGroup_));
#else
    EXPECT_EQ(name, "Permissions.so");
    void* found = dlopen(name.c_str(), RTLD_NOLOAD | RTLD_NOW);
    ASSERT_NE(found, nullptr) << "the SONAME names it";
    EXPECT_EQ(dlsym(found, hostsim::kIsPlayerInGroupName),
              reinterpret_cast<void*>(isPlayerInGroup_));
    dlclose(found);
#endif
}

#if !defined(_WIN32) // the DLL's exports are its dllexports alone
TEST_F(PermissionsModule, ExportsItsFunctionAlone) {
    const std::vector<std::string> symbols = testing_support::DefinedExports(kModule);
    EXPECT_THAT(symbols, testing::ElementsAre(hostsim::kIsPlayerInGroupName));
}
#endif

} // namespace
