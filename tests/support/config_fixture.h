// A fixture for the config.json tests: a fresh folder of its own as the plugin folder, a logger
// over the recording sink, default settings, an empty table and the real file-system calls.
#pragma once

#include <string>

#include "host_fixture.h"

namespace testing_support {

// Writes the bytes exactly as given (binary), so that tests control every byte on disk.
void WriteBytes(const std::string& path, const std::string& bytes);
// The file's bytes; fails the test when it cannot be read.
std::string ReadBytes(const std::string& path);
// The bytes a save writes for the text: the save writes in text mode, so on Windows each line
// ends in CR LF; elsewhere the text as it is.
std::string SavedBytes(std::string text);

class ConfigFixture : public HostFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    const std::string& Folder() const { return folder_; }
    std::string PathOf(const std::string& name) const { return folder_ + "/" + name; }
    const std::string& ConfigFile() const;

    // The names in the folder, sorted.
    std::vector<std::string> FolderEntries() const;

    // Writes config.json and loads it, then forgets the lines that loading logged.
    void LoadQuietly(const std::string& text);

private:
    std::string folder_;
};

} // namespace testing_support
