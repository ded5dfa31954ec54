// Reading a whole file; see whole_file.h.
#include "whole_file.h"

#include <cerrno>
#include <cstdio>
#include <new>
#include <stdexcept>

#include "platform/file_call_table.h"

namespace barterbox {

ReadOutcome ReadWholeFile(const std::string& path, std::string& text, FileStamp& stamp) {
    errno = 0;
    std::FILE* file = FileSystem().OpenRegular(path.c_str());
    if (file == nullptr) {
        const int error = errno;
        stamp = StampOf(path);
        if (!stamp.Exists || error == ENOENT) {
            stamp = FileStamp{};
            return ReadOutcome::Missing;
        }
        return error == ENODEV ? ReadOutcome::NotRegular : ReadOutcome::NoAccess;
    }
    stamp = StampOf(file);
    bool failed = false;
    try {
        text.clear();
        text.reserve(static_cast<std::size_t>(stamp.Size));
        char buffer[1 << 16];
        std::size_t count = 0;
        while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
            text.append(buffer, count);
        }
        failed = std::ferror(file) != 0;
    } catch (const std::bad_alloc&) {
        failed = true;
    } catch (const std::length_error&) {
        failed = true;
    }
    std::fclose(file);
    return failed ? ReadOutcome::ReadFailed : ReadOutcome::Read;
}

} // namespace barterbox
