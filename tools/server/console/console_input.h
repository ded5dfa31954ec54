// Where operator lines come from: a script file or standard input, read without a prompt, or a
// terminal, with line editing, history and tab completion (libedit). Reading gives up at the end
// of input and as soon as a stop signal arrives.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace barterbox::server {

// Candidates for the word that ends the text before the cursor.
using Completer = std::function<std::vector<std::string>(std::string_view before)>;

// Reads from the file; false with `error` set when it cannot be opened.
bool OpenConsoleScript(const std::string& path, std::string& error);
// Reads from standard input; with a terminal there, the console is interactive, and its history
// is read from `historyFile` (when there is one) and written back to it by CloseConsole.
void OpenConsoleStandardInput(Completer completer, std::string historyFile);
void CloseConsole();

// Whether lines are typed at a terminal (and so need no echo).
bool ConsoleIsInteractive();

// The next line without its line end; nothing at the end of input or after a stop signal.
std::optional<std::string> ReadConsoleLine();

} // namespace barterbox::server
