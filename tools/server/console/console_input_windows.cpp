// The console's line sources on Windows: a script file or standard input, read as plain lines.
// libedit does not exist there, so a terminal gets the same console language without line
// editing, history or completion; see console_input.h.
#include <windows.h>

#include <string>
#include <utility>

#include "console_input.h"
#include "platform/os_path.h"
#include "platform/system_error.h"
#include "tools/server/process/stop_signal.h"

namespace barterbox::server {
namespace {

struct Console {
    HANDLE Input = INVALID_HANDLE_VALUE;
    bool OwnsInput = false;
    std::string Pending; // bytes read past the last line end
    bool AtEnd = false;
    bool Interactive = false; // a console window, which shows what is typed itself
};

Console& TheConsole() {
    static Console console;
    return console;
}

} // namespace

bool OpenConsoleScript(const std::string& path, std::string& error) {
    Console& console = TheConsole();
    // The file name as UTF-16, never through the ANSI code page.
    const HANDLE file = CreateFileW(platform::OsPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = path + ": " + platform::LastSystemErrorText();
        return false;
    }
    console.Input = file;
    console.OwnsInput = true;
    return true;
}

void OpenConsoleStandardInput(Completer, std::string) {
    Console& console = TheConsole();
    console.Input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    console.Interactive = GetConsoleMode(console.Input, &mode) != 0;
}

void CloseConsole() {
    Console& console = TheConsole();
    if (console.OwnsInput) {
        CloseHandle(console.Input);
    }
    console = Console{};
}

bool ConsoleIsInteractive() {
    return TheConsole().Interactive;
}

std::optional<std::string> ReadConsoleLine() {
    Console& console = TheConsole();
    for (;;) {
        const std::size_t end = console.Pending.find('\n');
        if (end != std::string::npos) {
            std::string line = console.Pending.substr(0, end);
            console.Pending.erase(0, end + 1);
            return line; // a CR before the LF is dropped by the caller
        }
        if (console.AtEnd || StopSignalNumber() != 0) {
            if (console.Pending.empty() || StopSignalNumber() != 0) {
                return std::nullopt;
            }
            // A last line without a line end still counts.
            return std::exchange(console.Pending, std::string());
        }
        char buffer[4096];
        DWORD got = 0;
        if (console.Input == INVALID_HANDLE_VALUE || console.Input == nullptr ||
            !ReadFile(console.Input, buffer, sizeof buffer, &got, nullptr) || got == 0) {
            console.AtEnd = true; // the end of input, a closed pipe, or Ctrl-C at the console
        } else {
            console.Pending.append(buffer, got);
        }
    }
}

} // namespace barterbox::server
