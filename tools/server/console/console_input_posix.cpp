// The console's line sources on POSIX systems, with libedit for a terminal; see console_input.h.
#include "console_input.h"

#include <fcntl.h>
#include <histedit.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <utility>

#include "console_completion.h"
#include "platform/system_error.h"
#include "tools/server/output/event_output.h"
#include "tools/server/output/output_writer.h"
#include "tools/server/process/stop_signal.h"

namespace barterbox::server {
namespace {

// Where the bytes handed to the editor stand in a key's escape sequence (an arrow key sends
// ESC [ A): the console's own key for showing output must never land inside one.
enum class KeySequence { None, Escape, Parameters };

struct Console {
    int Descriptor = -1;
    bool OwnsDescriptor = false;
    std::string Pending; // bytes read past the last line end
    bool AtEnd = false;
    // The terminal console.
    EditLine* Editor = nullptr;
    History* Lines = nullptr;
    std::string HistoryFile;
    Completer Complete;
    // Ctrl-C presses in a row on an empty line; the second stops the server.
    int EmptyLineInterrupts = 0;
    bool QuitTyped = false;
    // The output writer's signal that output is held for showing above the edited line.
    int WakeRead = -1;
    int WakeWrite = -1;
    bool OutputWaiting = false;
    // The terminal changed size (SIGWINCH) and the line must be drawn again at its new width.
    bool ResizeWaiting = false;
    KeySequence Sequence = KeySequence::None;
};

// SIGWINCH, through a pipe that the character source waits on: the handler only writes a byte.
int resizePipe[2] = {-1, -1};

void OnResizeSignal(int) {
    const int saved = errno;
    [[maybe_unused]] const ssize_t written = write(resizePipe[1], "", 1);
    errno = saved;
}

Console& TheConsole() {
    static Console console;
    return console;
}

enum class Ready { Input, Output, Resize, Stop };

// Waits until the descriptor is readable, output is held for showing (when `wake` is a
// descriptor), the terminal changed size (when `resize` is one), or a stop signal arrived.
Ready WaitForInput(int descriptor, int wake = -1, int resize = -1) {
    for (;;) {
        if (StopSignalNumber() != 0) {
            return Ready::Stop;
        }
        pollfd waits[4] = {{descriptor, POLLIN, 0},
                           {StopSignalDescriptor(), POLLIN, 0},
                           {wake, POLLIN, 0},
                           {resize, POLLIN, 0}}; // poll skips a negative descriptor
        const int ready = poll(waits, 4, -1);
        if (ready < 0 && errno != EINTR) {
            return Ready::Input; // let the read report the failure
        }
        if (ready > 0 && waits[3].revents != 0) {
            return Ready::Resize;
        }
        if (ready > 0 && waits[0].revents != 0) {
            return StopSignalNumber() == 0 ? Ready::Input : Ready::Stop;
        }
        if (ready > 0 && waits[2].revents != 0) {
            return Ready::Output;
        }
    }
}

std::optional<std::string> ReadPlainLine(Console& console) {
    for (;;) {
        const size_t end = console.Pending.find('\n');
        if (end != std::string::npos) {
            std::string line = console.Pending.substr(0, end);
            console.Pending.erase(0, end + 1);
            return line;
        }
        if (console.AtEnd) {
            if (console.Pending.empty()) {
                return std::nullopt;
            }
            // A last line without a line end still counts.
            return std::exchange(console.Pending, std::string());
        }
        if (WaitForInput(console.Descriptor) == Ready::Stop) {
            return std::nullopt;
        }
        char buffer[4096];
        const ssize_t got = read(console.Descriptor, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            console.AtEnd = true;
        } else {
            console.Pending.append(buffer, static_cast<size_t>(got));
        }
    }
}

// ---- The terminal console ----

char* Prompt(EditLine*) {
    static char prompt[] = "> ";
    return prompt;
}

// Ctrl-C, which reaches the editor as a key: the terminal sends no SIGINT while a line is edited.
constexpr unsigned char kInterruptKey = 0x03;
// The console's own key (Ctrl-\, which nothing else binds): output is held for showing.
constexpr unsigned char kShowOutputKey = 0x1c;
// The console's key for a terminal that changed size (Ctrl-], which nothing else binds either).
constexpr unsigned char kResizedKey = 0x1d;

KeySequence AfterByte(KeySequence sequence, unsigned char byte) {
    switch (sequence) {
    case KeySequence::None:
        return byte == 0x1b ? KeySequence::Escape : KeySequence::None;
    case KeySequence::Escape:
        return byte == '[' || byte == 'O' ? KeySequence::Parameters : KeySequence::None;
    case KeySequence::Parameters:
        return byte >= 0x40 && byte <= 0x7e ? KeySequence::None : KeySequence::Parameters;
    }
    return KeySequence::None;
}

void DrainWakes(int descriptor) {
    char bytes[64];
    while (read(descriptor, bytes, sizeof bytes) > 0) {
    }
}

// libedit's character source: one byte at a time from standard input, ending the line (as at the
// end of input) when a stop signal arrives, so that SIGINT and SIGTERM from elsewhere (or Ctrl-C
// while a command runs) stop the server cleanly. Output held while the line is edited comes in
// as the console's own key, between keys, never inside one; so does a change of the terminal's
// size, first, so that the held output is drawn at the width the editor knows.
int ReadTerminalCharacter(EditLine*, wchar_t* character) {
    Console& console = TheConsole();
    for (;;) {
        if ((console.ResizeWaiting || console.OutputWaiting) &&
            console.Sequence == KeySequence::None) {
            *character = console.ResizeWaiting ? kResizedKey : kShowOutputKey;
            (console.ResizeWaiting ? console.ResizeWaiting : console.OutputWaiting) = false;
            return 1;
        }
        const Ready ready = WaitForInput(STDIN_FILENO, console.WakeRead, resizePipe[0]);
        if (ready == Ready::Stop) {
            return 0;
        }
        if (ready == Ready::Resize) {
            DrainWakes(resizePipe[0]);
            console.ResizeWaiting = true;
            continue;
        }
        if (ready == Ready::Output) {
            DrainWakes(console.WakeRead);
            console.OutputWaiting = true;
            continue;
        }
        unsigned char byte = 0;
        const ssize_t got = read(STDIN_FILENO, &byte, 1);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got == 0 ? 0 : -1;
        }
        // Bytes pass through as they are; UTF-8 sequences are rebuilt in ReadTerminalLine.
        if (byte != kInterruptKey) {
            console.EmptyLineInterrupts = 0;
        }
        console.Sequence = AfterByte(console.Sequence, byte);
        *character = static_cast<wchar_t>(byte);
        return 1;
    }
}

// The longest start that all words share, regardless of the case of A to Z, spelt as the first.
std::string CommonPrefix(const std::vector<std::string>& words) {
    std::string prefix = words.front();
    for (const std::string& word : words) {
        size_t same = 0;
        while (same < prefix.size() && same < word.size() &&
               StartsWithIgnoringCase(std::string_view(&word[same], 1),
                                      std::string_view(&prefix[same], 1))) {
            ++same;
        }
        prefix.resize(same);
    }
    return prefix;
}

// Puts `word` in place of the `typed` text before the cursor: completion may change the letter
// case of what was typed, or (for a blueprint found by its item's name) all of it.
unsigned char ReplaceTyped(EditLine* editor, std::string_view typed, const std::string& word) {
    el_deletestr(editor, static_cast<int>(typed.size()));
    return el_insertstr(editor, word.c_str()) == 0 ? CC_REFRESH : CC_ERROR;
}

void WriteToTerminal(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

int TerminalColumns() {
    winsize size{};
    return ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
}

// Erases the prompt and the typed text, drawn at `columns` with the cursor `cursor` characters
// into them, writes `text` in their place and puts the cursor, below it, on the row and column
// the editor believes it stands on within the line: the editor redraws relative to that.
std::string ReplaceDrawnLine(int columns, int cursor, std::string_view text) {
    const int row = cursor / columns;
    const int column = cursor % columns;
    std::string shown = row > 0 ? "\x1b[" + std::to_string(row) + "A" : std::string();
    shown += "\r\x1b[J";
    shown += text;
    shown += std::string(static_cast<size_t>(row), '\n');
    if (column > 0) {
        shown += "\x1b[" + std::to_string(column) + "C";
    }
    return shown;
}

int CursorInDrawnLine(EditLine* editor, const LineInfoW& line) {
    return static_cast<int>(std::string_view(Prompt(editor)).size() +
                            static_cast<size_t>(line.cursor - line.buffer));
}

// The editor, told to redisplay, clears from the row it believes the cursor on (as many rows
// into the line as the cursor is) up to the prompt's, and draws the line from there. After text
// written below the line, that many blank rows more keep the text from being cleared: the line
// is then drawn on the row that follows it.
std::string RowsForRedraw(EditLine* editor) {
    int columns = 0;
    const LineInfoW* line = el_wline(editor);
    if (line == nullptr || el_get(editor, EL_GETTC, "co", &columns, nullptr) != 0 || columns <= 0) {
        return {};
    }
    return std::string(static_cast<size_t>(CursorInDrawnLine(editor, *line) / columns), '\n');
}

unsigned char CompleteWord(EditLine* editor, int) {
    Console& console = TheConsole();
    const LineInfo* line = el_line(editor);
    if (line == nullptr || !console.Complete) {
        return CC_ERROR;
    }
    const std::string_view before(line->buffer, static_cast<size_t>(line->cursor - line->buffer));
    const std::vector<std::string> words = WordsBeforeCursor(before);
    const std::string typed = words.back();
    const std::vector<std::string> candidates = console.Complete(before);
    if (candidates.empty()) {
        return CC_ERROR;
    }
    if (candidates.size() == 1) {
        // An item inside Barterbox.Add is followed by its quantity without a space.
        const std::string& word = candidates.front();
        return ReplaceTyped(editor, typed, QuantityFollows(before) ? word : word + " ");
    }
    const std::string common = CommonPrefix(candidates);
    if (common.size() > typed.size() && StartsWithIgnoringCase(common, typed)) {
        return ReplaceTyped(editor, typed, common);
    }
    std::string listing = "\n";
    for (const std::string& candidate : candidates) {
        listing += candidate + "  ";
    }
    listing += "\n";
    listing += RowsForRedraw(editor);
    WriteToTerminal(listing);
    return CC_REDISPLAY;
}

// Whether the terminal takes the ANSI moves that put output above the edited line.
bool TerminalMovesCursor() {
    const char* name = std::getenv("TERM");
    return name != nullptr && *name != '\0' && std::string_view(name) != "dumb";
}

// Shows the output held while the line is edited: the prompt and the typed text (which may wrap
// over several rows) are erased, the output written in their place, and the editor draws them
// again below it.
unsigned char ShowHeldOutput(EditLine* editor, int) {
    const std::string text = TakeHeldOutput();
    const LineInfoW* line = el_wline(editor);
    if (text.empty() || line == nullptr) {
        return CC_NORM;
    }
    if (!TerminalMovesCursor()) {
        WriteToTerminal("\n" + text); // the typed line stays above, as after a completion listing
        return CC_REDISPLAY;
    }
    WriteToTerminal(ReplaceDrawnLine(TerminalColumns(), CursorInDrawnLine(editor, *line), text));
    return CC_REDISPLAY;
}

// Draws the prompt and the typed text again after the terminal changed size. The terminal keeps
// what it showed where it was (cut at a narrower edge): the line is erased as the editor drew it,
// at the width it knew then, and the editor, told the new size, draws it afresh from its first
// row, so that no row of the old drawing stays and what is typed next lands after the text.
unsigned char RedrawAfterResize(EditLine* editor, int) {
    int columns = 0;
    const LineInfoW* line = el_wline(editor);
    if (TerminalMovesCursor() && line != nullptr &&
        el_get(editor, EL_GETTC, "co", &columns, nullptr) == 0 && columns > 0) {
        WriteToTerminal(ReplaceDrawnLine(columns, CursorInDrawnLine(editor, *line), ""));
    }
    el_resize(editor);
    return CC_REDISPLAY;
}

// Ctrl-C as a shell takes it: a line being typed is dropped and a fresh prompt shown; on an empty
// line it stops the server when pressed twice in a row, so that one stray press loses nothing.
unsigned char Interrupt(EditLine* editor, int) {
    Console& console = TheConsole();
    const LineInfo* line = el_line(editor);
    if (line == nullptr) {
        return CC_ERROR;
    }
    if (line->lastchar != line->buffer) {
        console.EmptyLineInterrupts = 0;
        std::string shown = "^C\n";
        shown += RowsForRedraw(editor); // the dropped line stays shown as typed
        el_cursor(editor, static_cast<int>(line->lastchar - line->buffer));
        el_deletestr(editor, static_cast<int>(line->lastchar - line->buffer));
        WriteToTerminal(shown);
        return CC_REDISPLAY;
    }
    if (++console.EmptyLineInterrupts >= 2) {
        console.QuitTyped = true;
        return CC_NEWLINE;
    }
    std::fputs("^C\n(press Ctrl-C again, or Ctrl-D, or type quit, to stop the server)\n", stdout);
    std::fflush(stdout);
    return CC_REDISPLAY;
}

std::optional<std::string> ReadTerminalLine(Console& console) {
    // What the last command printed comes before the prompt; what arrives later, above the line.
    const bool holding = console.WakeWrite >= 0;
    if (holding) {
        WriteToTerminal(HoldOutput([wake = console.WakeWrite] {
            [[maybe_unused]] const ssize_t wrote = write(wake, "", 1); // a full pipe wakes already
        }));
    }
    int count = 0;
    const wchar_t* wide = el_wgets(console.Editor, &count);
    if (holding) {
        ReleaseHeldOutput();
    }
    console.OutputWaiting = false;
    console.Sequence = KeySequence::None;
    if (console.QuitTyped) {
        console.QuitTyped = false;
        std::fputs("\n", stdout);
        return "quit";
    }
    if (wide == nullptr || count <= 0) {
        std::fputs("\n", stdout); // leave the prompt's line
        return std::nullopt;
    }
    std::string line;
    for (int i = 0; i < count; ++i) {
        const wchar_t c = wide[i];
        line += c >= 0 && c < 0x100 ? static_cast<char>(c) : '?';
    }
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.pop_back();
    }
    if (line.find_first_not_of(' ') != std::string::npos) {
        HistEvent event;
        history(console.Lines, &event, H_ENTER, line.c_str());
    }
    return line;
}

// The editor learns of a new size through SIGWINCH, which reaches the character source as a key.
// (libedit's own handlers, EL_SIGNAL, would resend every signal to the whole process group.)
void WatchTerminalSize() {
    if (pipe2(resizePipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        resizePipe[0] = resizePipe[1] = -1;
        return;
    }
    struct sigaction action = {};
    action.sa_handler = &OnResizeSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART; // the other threads' calls go on; the console's poll wakes
    sigaction(SIGWINCH, &action, nullptr);
}

} // namespace

bool OpenConsoleScript(const std::string& path, std::string& error) {
    Console& console = TheConsole();
    const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        error = path + ": " + platform::LastSystemErrorText();
        return false;
    }
    console.Descriptor = descriptor;
    console.OwnsDescriptor = true;
    return true;
}

void OpenConsoleStandardInput(Completer completer, std::string historyFile) {
    Console& console = TheConsole();
    console.Descriptor = STDIN_FILENO;
    if (isatty(STDIN_FILENO) == 0) {
        return;
    }
    console.Complete = std::move(completer);
    console.Editor = el_init("barterbox-server", stdin, stdout, stderr);
    console.Lines = history_init();
    HistEvent event;
    history(console.Lines, &event, H_SETSIZE, 500);
    history(console.Lines, &event, H_SETUNIQUE, 1);
    console.HistoryFile = std::move(historyFile);
    // A first session has no file yet; that is no error.
    history(console.Lines, &event, H_LOAD, console.HistoryFile.c_str());
    el_set(console.Editor, EL_EDITOR, "emacs");
    el_set(console.Editor, EL_PROMPT, &Prompt);
    el_set(console.Editor, EL_HIST, history, console.Lines);
    el_set(console.Editor, EL_GETCFN, &ReadTerminalCharacter);
    // The wide call: libedit keeps these texts as given, where the narrow one copies them and
    // never frees the copies.
    static const wchar_t kCompleteName[] = L"barterbox-complete";
    static const wchar_t kCompleteHelp[] = L"complete a console word";
    el_wset(console.Editor, EL_ADDFN, kCompleteName, kCompleteHelp, &CompleteWord);
    el_set(console.Editor, EL_BIND, "^I", "barterbox-complete", nullptr);
    // While a line is edited, Ctrl-C is a key of the editor rather than SIGINT (a signal sent
    // from elsewhere still stops the server at once).
    el_set(console.Editor, EL_SETTY, "-d", "-isig", nullptr);
    static const wchar_t kInterruptName[] = L"barterbox-interrupt";
    static const wchar_t kInterruptHelp[] = L"drop the line, or stop on an empty line twice";
    el_wset(console.Editor, EL_ADDFN, kInterruptName, kInterruptHelp, &Interrupt);
    el_set(console.Editor, EL_BIND, "^C", "barterbox-interrupt", nullptr);
    int wake[2];
    if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) == 0) {
        console.WakeRead = wake[0];
        console.WakeWrite = wake[1];
    }
    static const wchar_t kShowName[] = L"barterbox-show-output";
    static const wchar_t kShowHelp[] = L"show output that arrived while the line was edited";
    el_wset(console.Editor, EL_ADDFN, kShowName, kShowHelp, &ShowHeldOutput);
    el_set(console.Editor, EL_BIND, "^\\", "barterbox-show-output", nullptr);
    static const wchar_t kResizedName[] = L"barterbox-resized";
    static const wchar_t kResizedHelp[] = L"draw the line again at the terminal's new width";
    el_wset(console.Editor, EL_ADDFN, kResizedName, kResizedHelp, &RedrawAfterResize);
    el_set(console.Editor, EL_BIND, "^]", "barterbox-resized", nullptr);
    WatchTerminalSize();
}

void CloseConsole() {
    Console& console = TheConsole();
    if (resizePipe[0] >= 0) {
        std::signal(SIGWINCH, SIG_DFL);
        close(resizePipe[0]);
        close(resizePipe[1]);
        resizePipe[0] = resizePipe[1] = -1;
    }
    if (console.Editor != nullptr) {
        HistEvent event;
        if (history(console.Lines, &event, H_SAVE, console.HistoryFile.c_str()) < 0) {
            ServerError("could not keep the console history in " + console.HistoryFile);
        }
        el_end(console.Editor);
        history_end(console.Lines);
    }
    for (const int descriptor : {console.WakeRead, console.WakeWrite}) {
        if (descriptor >= 0) {
            close(descriptor);
        }
    }
    if (console.OwnsDescriptor) {
        close(console.Descriptor);
    }
    console = Console{};
}

bool ConsoleIsInteractive() {
    return TheConsole().Editor != nullptr;
}

std::optional<std::string> ReadConsoleLine() {
    Console& console = TheConsole();
    if (console.Editor != nullptr) {
        return ReadTerminalLine(console);
    }
    return ReadPlainLine(console);
}

} // namespace barterbox::server
