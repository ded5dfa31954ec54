// Whole-file reads through stdio: unlike a file stream, a read error (such as a folder given as
// a file) comes back as a status instead of an exception.
#include "text_file.h"

#include <cerrno>
#include <cstdio>
#include <system_error>

#if defined(_WIN32)
#include <filesystem>
#endif

namespace barterbox::tools {
namespace {

// File names are UTF-8; on Windows they reach the C runtime as UTF-16, never through the ANSI
// code page, so that a server folder named "Sérveur" works.
std::FILE* OpenForReading(const std::string& fileName) {
#if defined(_WIN32)
    const std::filesystem::path path(std::u8string(fileName.begin(), fileName.end()));
    return _wfopen(path.c_str(), L"rb");
#else
    return std::fopen(fileName.c_str(), "rb");
#endif
}

} // namespace

std::optional<std::string> ReadTextFile(const std::string& fileName, std::string& reason) {
    std::FILE* file = OpenForReading(fileName);
    if (file == nullptr) {
        reason = "cannot read the file: " + std::generic_category().message(errno);
        return std::nullopt;
    }
    std::string text;
    char buffer[1 << 16];
    size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, count);
    }
    const int readError = std::ferror(file) != 0 ? errno : 0;
    std::fclose(file);
    if (readError != 0) {
        reason = "cannot read the file: " + std::generic_category().message(readError);
        return std::nullopt;
    }
    return text;
}

} // namespace barterbox::tools
