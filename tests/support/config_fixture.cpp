// The config.json test fixture; see config_fixture.h.
#include "config_fixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "catalogue/config_file.h"
#include "catalogue/exchange_catalogue.h"
#include "catalogue/plugin_settings.h"
#include "scratch_folder.h"

namespace testing_support {
namespace {

// Removes a test's folder even when a test left a read-only file in it, which Windows refuses to
// delete; a folder left behind would fail a later test that happens to get the same name.
void RemoveFolder(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code ignored;
    for (auto it = fs::recursive_directory_iterator(folder, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        if (!it->is_symlink(ignored)) {
            fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ignored);
        }
    }
    fs::remove_all(folder, ignored);
}
} // namespace

void ConfigFixture::SetUp() {
    HostFixture::SetUp();
    CreateLogger();
    folder_ = testing_support::MakeScratchFolder("barterbox-config");
    barterbox::ConfigPath() = folder_ + "/config.json";
    // Every test starts as a plugin that found no file: empty table, nothing unreadable pending.
    barterbox::LoadConfig();
    Sink().Clear();
}

void ConfigFixture::TearDown() {
    RemoveFolder(folder_);
    HostFixture::TearDown();
}

const std::string& ConfigFixture::ConfigFile() const {
    return barterbox::ConfigPath();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.is_open()) << path;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string SavedBytes(std::string text) {
#if defined(_WIN32)
    std::string crlf;
    for (const char c : text) {
        crlf += c == '\n' ? "\r\n" : std::string(1, c);
    }
    text = std::move(crlf);
#endif
    return text;
}

std::vector<std::string> ConfigFixture::FolderEntries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void ConfigFixture::LoadQuietly(const std::string& text) {
    WriteBytes(ConfigFile(), text);
    barterbox::LoadConfig();
    Sink().Clear();
}

} // namespace testing_support
