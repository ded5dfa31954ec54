// Runs one scenario transcript against barterbox-server in a fresh temporary server folder and
// compares the whole output, line by line, with the transcript; the date and time of log lines
// are masked. See tests/scenarios/README.md for the transcript format.
//
//   scenario_runner --server build/bin/barterbox-server --repo . tests/scenarios/chat.txt
#if defined(_WIN32)
#include "server_process_windows.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/os_path.h"
#include "scratch_folder.h"

namespace {

namespace fs = std::filesystem;

struct FileBlock {
    std::string Path; // relative to the server folder
    std::string Content;
};

struct Transcript {
    std::vector<std::string> Arguments;
    // A second run with these in place of Arguments, which must print the same transcript.
    std::optional<std::vector<std::string>> AlsoArguments;
    std::vector<std::pair<std::string, std::string>> Copies; // repository file, server file
    std::vector<FileBlock> Files;
    std::vector<FileBlock> ExpectedFiles;
    std::vector<std::string> AbsentFiles;
    // Symbolic links to make in the server folder: where, and what they point to.
    std::vector<std::pair<std::string, std::string>> Links;
    // Named pipes to make in the server folder.
    std::vector<std::string> Pipes;
    std::vector<std::string> ReadOnlyFiles;
    std::optional<std::string> InputFile; // a repository file instead of the "> " lines
    // A MariaDB server of the run's own behind a proxy that the plugin folder's ledger-switch
    // file turns off ("down") and on; its port fills in {db_port}.
    bool Database = false;
    int ExitStatus = 0;
    std::vector<std::string> Input;
    std::vector<std::string> Output;
};

[[noreturn]] void Fail(const std::string& message) {
    std::cerr << "scenario_runner: " << message << "\n";
    std::exit(2);
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    if (from.empty()) {
        return;
    }
    std::string result;
    size_t done = 0;
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, done)) {
        result.append(text, done, at - done);
        result.append(to);
        done = at + from.size();
    }
    result.append(text, done);
    text = std::move(result);
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream stream(text);
    std::vector<std::string> words;
    for (std::string word; stream >> word;) {
        words.push_back(word);
    }
    return words;
}

// {sp} stands for a space, so that trailing spaces survive editors that strip them.
std::string Unmark(std::string line) {
    ReplaceAll(line, "{sp}", " ");
    return line;
}

// The transcript lines of a Markdown document's examples: every fenced block that opens with
// ```transcript (and, when a session is named, with that name after it), in document order.
std::vector<std::string> ExampleLines(const std::string& path, const std::string& session) {
    std::ifstream file(path);
    if (!file) {
        Fail("cannot read " + path);
    }
    const std::string opening = "```transcript" + (session.empty() ? "" : " " + session);
    std::vector<std::string> lines;
    bool inside = false;
    bool wanted = false;
    size_t blocks = 0;
    for (std::string line; std::getline(file, line);) {
        if (!inside && line.starts_with("```")) {
            inside = true;
            wanted = line == opening;
            blocks += wanted ? 1 : 0;
        } else if (inside && line.starts_with("```")) {
            inside = false;
        } else if (inside && wanted) {
            lines.push_back(line);
        }
    }
    if (blocks == 0) {
        Fail(path + " has no " + opening + " blocks");
    }
    return lines;
}

Transcript ReadTranscript(const std::string& path, const std::string& repo) {
    std::ifstream file(path);
    if (!file) {
        Fail("cannot read " + path);
    }
    Transcript transcript;
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (!line.starts_with("@")) {
            if (line.find_first_not_of(' ') == std::string::npos) {
                continue;
            }
            transcript.Output.push_back(Unmark(line));
            if (line.starts_with("> ")) {
                transcript.Input.push_back(Unmark(line.substr(2)));
            }
            continue;
        }
        std::vector<std::string> words = Words(line);
        const std::string directive = words.front();
        words.erase(words.begin());
        auto block = [&](const std::string& name) {
            if (words.size() != 1) {
                Fail(path + ":" + std::to_string(i + 1) + ": " + name + " takes one path");
            }
            FileBlock result{words[0], {}};
            bool first = true;
            for (++i; i < lines.size() && lines[i] != "@end"; ++i) {
                result.Content += (first ? "" : "\n") + Unmark(lines[i]);
                first = false;
            }
            if (i == lines.size()) {
                Fail(path + ": " + name + " without @end");
            }
            return result;
        };
        if (directive == "@args") {
            for (const std::string& word : words) {
                transcript.Arguments.push_back(word); // {repo} and {server} are filled in later
            }
        } else if (directive == "@also-args") {
            transcript.AlsoArguments = words;
        } else if (directive == "@copy" && words.size() == 2) {
            transcript.Copies.emplace_back(words[0], words[1]);
        } else if (directive == "@file") {
            transcript.Files.push_back(block(directive));
        } else if (directive == "@expect-file") {
            transcript.ExpectedFiles.push_back(block(directive));
        } else if (directive == "@examples" && (words.size() == 1 || words.size() == 2)) {
            // The examples stand in for the lines that follow the directive here.
            const std::vector<std::string> examples =
                ExampleLines(repo + "/" + words[0], words.size() == 2 ? words[1] : "");
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(i) + 1, examples.begin(),
                         examples.end());
        } else if (directive == "@readonly" && words.size() == 1) {
            transcript.ReadOnlyFiles.push_back(words[0]);
        } else if (directive == "@link" && words.size() == 2) {
            transcript.Links.emplace_back(words[0], words[1]);
        } else if (directive == "@fifo" && words.size() == 1) {
            transcript.Pipes.push_back(words[0]);
        } else if (directive == "@absent" && words.size() == 1) {
            transcript.AbsentFiles.push_back(words[0]);
        } else if (directive == "@input" && words.size() == 1) {
            transcript.InputFile = repo + "/" + words[0];
        } else if (directive == "@database" && words.empty()) {
            transcript.Database = true;
        } else if (directive == "@exit" && words.size() == 1) {
            transcript.ExitStatus = std::atoi(words[0].c_str());
        } else {
            Fail(path + ":" + std::to_string(i + 1) + ": unknown or malformed directive: " + line);
        }
    }
    return transcript;
}

// Named pipes and links in a folder are POSIX's: transcripts that make them are named *_posix.txt
// and left out of the Windows build.
void MakeNamedPipe(const fs::path& path) {
#if !defined(_WIN32)
    if (mkfifo(path.c_str(), 0600) != 0) {
        Fail("cannot make the named pipe " + path.string() + ": " + std::strerror(errno));
    }
#else
    Fail("no named pipe in a folder on Windows: " + barterbox::platform::Utf8Path(path));
#endif
}

void WriteFile(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary);
    file << content;
    if (!file) {
        Fail("cannot write " + path.string());
    }
}

std::optional<std::string> ReadFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

// Runs the server with standard output and standard error in one pipe, as an operator sees them.
// The scratch database of a transcript with @database (tests/support/scratch_mariadb.py): its
// process, the pipe whose closing stops it, and the port it answers on.
struct ScratchDatabase {
    int Process = -1;
    int Input = -1;
    std::string Port;
};

ScratchDatabase StartDatabase(const std::string& repo, const fs::path& scratch,
                              const fs::path& switchFile) {
#if defined(_WIN32)
    (void)repo, (void)scratch, (void)switchFile;
    Fail("@database needs a POSIX system");
#else
    int input[2];
    int output[2];
    if (pipe(input) != 0 || pipe(output) != 0) {
        Fail(std::string("pipe: ") + std::strerror(errno));
    }
    const std::string helper = repo + "/tests/support/scratch_mariadb.py";
    const std::string folder = (scratch / "db").string();
    const std::string switchPath = switchFile.string();
    const pid_t child = fork();
    if (child == 0) {
        dup2(input[0], STDIN_FILENO);
        dup2(output[1], STDOUT_FILENO);
        close(input[1]);
        close(output[0]);
        execl("/usr/bin/python3", "python3", helper.c_str(), "serve", folder.c_str(),
              switchPath.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(input[0]);
    close(output[1]);
    ScratchDatabase database{child, input[1], {}};
    char character = 0;
    while (read(output[0], &character, 1) == 1 && character != '\n') {
        database.Port += character;
    }
    close(output[0]);
    if (database.Port.empty()) {
        Fail("the scratch database did not start (is mariadb-server installed?)");
    }
    return database;
#endif
}

void StopDatabase(ScratchDatabase& database) {
#if !defined(_WIN32)
    if (database.Process < 0) {
        return;
    }
    close(database.Input);
    int raw = 0;
    while (waitpid(database.Process, &raw, 0) < 0 && errno == EINTR) {
    }
    database.Process = -1;
#else
    (void)database;
#endif
}

std::string RunServer(const std::vector<std::string>& command, int& status) {
#if defined(_WIN32)
    return scenarios::RunProgramWindows(command, status);
#else
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        Fail(std::string("pipe: ") + std::strerror(errno));
    }
    const pid_t child = fork();
    if (child < 0) {
        Fail(std::string("fork: ") + std::strerror(errno));
    }
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        dup2(pipeEnds[1], STDERR_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        const int nothing = open("/dev/null", O_RDONLY);
        dup2(nothing, STDIN_FILENO);
        std::vector<char*> argv;
        for (const std::string& word : command) {
            argv.push_back(const_cast<char*>(word.c_str()));
        }
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        std::perror("execv");
        _exit(127);
    }
    close(pipeEnds[1]);
    std::string output;
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(pipeEnds[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        output.append(buffer, static_cast<size_t>(got));
    }
    close(pipeEnds[0]);
    int raw = 0;
    while (waitpid(child, &raw, 0) < 0 && errno == EINTR) {
    }
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return output;
#endif
}

// Paths as the server prints them and takes them: UTF-8 on every platform.
std::string Utf8(const fs::path& path) {
    return barterbox::platform::Utf8Path(path);
}

std::vector<std::string> Normalise(const std::string& output, const std::string& serverDir,
                                   const std::string& repo, const std::string& databasePort) {
    // "%D %R " of the plugin's log pattern: MM/DD/YY HH:MM and a space.
    static const std::regex kDateTime("^[0-9]{2}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2} ");
    std::vector<std::string> lines;
    std::istringstream stream(output);
    for (std::string line; std::getline(stream, line);) {
        if (line.find_first_not_of(' ') == std::string::npos) {
            continue;
        }
        line = std::regex_replace(line, kDateTime, "MM/DD/YY HH:MM ",
                                  std::regex_constants::format_first_only);
        ReplaceAll(line, serverDir, "{server}");
        ReplaceAll(line, repo, "{repo}");
        if (!databasePort.empty()) {
            // The port, and the random ids of the cluster ledger's holds in audit records.
            static const std::regex kAttempt("\"attempt\":\"[0-9a-f]{32}\"");
            ReplaceAll(line, ":" + databasePort, ":{db_port}");
            line = std::regex_replace(line, kAttempt, "\"attempt\":\"{attempt}\"");
        }
#if defined(_WIN32)
        // Transcripts name the module, and a missing module file, as the Linux build does.
        ReplaceAll(line, "Barterbox.dll", "Barterbox.so");
        static const std::string kNotFound = scenarios::ModuleNotFoundText();
        ReplaceAll(line, kNotFound, "cannot open shared object file: No such file or directory");
#endif
        lines.push_back(line);
    }
    return lines;
}

std::string Shown(std::string line) {
    size_t end = line.size();
    while (end > 0 && line[end - 1] == ' ') {
        --end;
    }
    std::string marks;
    for (size_t i = end; i < line.size(); ++i) {
        marks += "{sp}";
    }
    return line.substr(0, end) + marks;
}

bool CompareOutput(const std::vector<std::string>& expected,
                   const std::vector<std::string>& actual) {
    size_t i = 0;
    while (i < expected.size() && i < actual.size() && expected[i] == actual[i]) {
        ++i;
    }
    if (i == expected.size() && i == actual.size()) {
        return true;
    }
    std::cout << "Output differs at line " << i + 1 << " (blank lines not counted):\n";
    std::cout << "  expected: " << (i < expected.size() ? Shown(expected[i]) : "(end of output)")
              << "\n";
    std::cout << "  actual:   " << (i < actual.size() ? Shown(actual[i]) : "(end of output)")
              << "\n";
    std::cout << "The whole output, as a transcript would hold it:\n";
    for (const std::string& line : actual) {
        std::cout << Shown(line) << "\n";
    }
    return false;
}

// One run of the server in a fresh temporary server folder, compared with the transcript.
bool RunTranscript(const Transcript& transcript, const std::vector<std::string>& arguments,
                   const std::string& server, const std::string& repo) {
    const std::string scratchName = testing_support::MakeScratchFolder("barterbox-scenario");
    const fs::path scratch = barterbox::platform::OsPath(scratchName);
    // A server folder whose name is not ASCII, as administrators' folders may be: every path the
    // server and the plugin build from it must reach the same files.
    const fs::path serverDir = scratch / u8"S\u00e9rveur";
    fs::create_directories(serverDir);
    for (const auto& [from, to] : transcript.Copies) {
        const auto content = ReadFile(fs::path(repo) / from);
        if (!content) {
            Fail("cannot read " + from);
        }
        WriteFile(serverDir / to, *content);
    }
    ScratchDatabase database;
    if (transcript.Database) {
        database =
            StartDatabase(repo, scratch, serverDir / "ArkApi/Plugins/Barterbox/ledger-switch");
    }
    for (const FileBlock& file : transcript.Files) {
        std::string content = file.Content;
        ReplaceAll(content, "{db_port}", database.Port);
        WriteFile(serverDir / file.Path, content);
    }
    for (auto [path, target] : transcript.Links) {
        ReplaceAll(target, "{server}", barterbox::platform::Utf8Path(serverDir));
        std::error_code error;
        fs::create_directories((serverDir / path).parent_path(), error);
        fs::create_symlink(barterbox::platform::OsPath(target), serverDir / path, error);
        if (error) {
            Fail("cannot link " + path + " to " + target + ": " + error.message());
        }
    }
    for (const std::string& path : transcript.Pipes) {
        fs::create_directories((serverDir / path).parent_path());
        MakeNamedPipe(serverDir / path);
    }
    for (const std::string& path : transcript.ReadOnlyFiles) {
        std::error_code error;
        fs::permissions(serverDir / path,
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove, error);
        if (error) {
            Fail("cannot make " + path + " read-only: " + error.message());
        }
    }
    std::string inputFile;
    if (transcript.InputFile) {
        inputFile = *transcript.InputFile;
    } else {
        std::string input;
        for (const std::string& line : transcript.Input) {
            input += line + "\n";
        }
        inputFile = Utf8(scratch / "input.txt");
        WriteFile(inputFile, input);
    }

    std::vector<std::string> command = {server,     "--server-dir", Utf8(serverDir),
                                        "--script", inputFile,      "--no-color"};
    for (std::string argument : arguments) {
        ReplaceAll(argument, "{repo}", repo);
        ReplaceAll(argument, "{server}", Utf8(serverDir));
        command.push_back(argument);
    }
    int status = 0;
    const std::string output = RunServer(command, status);
    StopDatabase(database);

    bool passed =
        CompareOutput(transcript.Output, Normalise(output, Utf8(serverDir), repo, database.Port));
    if (status != transcript.ExitStatus) {
        std::cout << "Exit status " << status << ", expected " << transcript.ExitStatus << "\n";
        passed = false;
    }
    for (const FileBlock& file : transcript.ExpectedFiles) {
        const auto content = ReadFile(serverDir / file.Path);
        std::string expected = file.Content;
#if defined(_WIN32)
        // The plugin saves config.json in text mode, so on Windows each line of the file it saved
        // ends in CR LF (and still no line break follows the last brace).
        if (file.Path.ends_with("config.json") &&
            std::any_of(transcript.Output.begin(), transcript.Output.end(),
                        [](const std::string& line) { return line.ends_with("Config saved"); })) {
            ReplaceAll(expected, "\n", "\r\n");
        }
#endif
        if (!content) {
            std::cout << "Expected file " << file.Path << " does not exist\n";
            passed = false;
        } else if (*content != expected) {
            std::cout << "File " << file.Path << " differs; it holds:\n" << *content << "\n";
            passed = false;
        }
    }
    for (const std::string& path : transcript.AbsentFiles) {
        if (fs::exists(serverDir / path)) {
            std::cout << "File " << path << " exists, but should not\n";
            passed = false;
        }
    }
    std::error_code ignored;
    fs::remove_all(scratch, ignored);
    return passed;
}

} // namespace

int main(int argc, char** argv) {
    std::string server;
    std::string repo;
    std::string transcriptPath;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--server" && i + 1 < argc) {
            server = argv[++i];
        } else if (argument == "--repo" && i + 1 < argc) {
            repo = argv[++i];
        } else {
            transcriptPath = argument;
        }
    }
    if (server.empty() || repo.empty() || transcriptPath.empty()) {
        Fail("usage: scenario_runner --server FILE --repo DIR TRANSCRIPT");
    }
    repo = fs::canonical(repo).string();
    const Transcript transcript = ReadTranscript(transcriptPath, repo);

    bool passed = RunTranscript(transcript, transcript.Arguments, server, repo);
    if (transcript.AlsoArguments) {
        std::cout << "Second run, with the arguments of @also-args\n";
        passed = RunTranscript(transcript, *transcript.AlsoArguments, server, repo) && passed;
    }
    std::cout << (passed ? "PASSED " : "FAILED ") << transcriptPath << "\n";
    return passed ? 0 : 1;
}
