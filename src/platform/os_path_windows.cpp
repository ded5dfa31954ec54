// UTF-8 paths on Windows, whose paths are UTF-16; see os_path.h.
#include "os_path.h"

#include <utf8.h>

namespace barterbox::platform {

std::filesystem::path OsPath(std::string_view utf8) {
    // The library's own conversion throws on a byte that is not UTF-8.
    const std::u16string wide = utf8::utf8to16(utf8::replace_invalid(std::string(utf8)));
    return std::filesystem::path(std::wstring(wide.begin(), wide.end()));
}

std::string Utf8Path(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace barterbox::platform
