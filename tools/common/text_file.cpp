// Whole-file reads and writes through stdio: unlike a file stream, an error comes back as a status
// instead of an exception. Only regular files are read: a device (/dev/zero) would be read until
// memory runs out, and a named pipe would hold the tool for ever.
#include "text_file.h"

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "platform/file_calls.h"

namespace barterbox::tools {

std::optional<std::string> ReadTextFile(const std::string& fileName, std::string& reason) {
    // File names are UTF-8; the platform's call takes them so on every system.
    errno = 0;
    std::FILE* file = platform::OpenRegularFile(fileName);
    if (file == nullptr) {
        reason = errno == ENODEV
                     ? std::string("cannot read the file: not a regular file (a "
                                   "folder, a device or a pipe)")
                     : "cannot read the file: " + std::generic_category().message(errno);
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

bool WriteTextFile(const std::string& fileName, std::string_view text, std::string& reason) {
    std::FILE* file = platform::OpenFile(fileName, "wb");
    if (file == nullptr) {
        reason = "cannot write the file: " + std::generic_category().message(errno);
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const int writeError = written ? 0 : errno;
    if (std::fclose(file) != 0 || !written) {
        reason = "cannot write the file: " +
                 std::generic_category().message(writeError != 0 ? writeError : errno);
        return false;
    }
    return true;
}

} // namespace barterbox::tools
