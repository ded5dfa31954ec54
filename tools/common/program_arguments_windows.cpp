// The command line on Windows, read as UTF-16 rather than through the ANSI code page that main's
// arguments went through; see program_arguments.h.
#include <windows.h>

#include <shellapi.h>

#include <filesystem>

#include "platform/os_path.h"
#include "program_arguments.h"

namespace barterbox::tools {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        return {argv, argv + argc};
    }
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        arguments.push_back(platform::Utf8Path(std::filesystem::path(wide[i])));
    }
    LocalFree(wide);
    return arguments;
}

} // namespace barterbox::tools
