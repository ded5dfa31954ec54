// Whole-file reads through stdio: unlike a file stream, a read error (such as a folder given as
// a file) comes back as a status instead of an exception.
#include "text_file.h"

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "platform/file_calls.h"

namespace barterbox::tools {

std::optional<std::string> ReadTextFile(const std::string& fileName, std::string& reason) {
    // File names are UTF-8; the platform's call takes them so on every system.
    std::FILE* file = platform::OpenFile(fileName, "rb");
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
