#!/usr/bin/env python3
"""The examples of README.md and docs/*.md, run as a reader would run them, from a scratch folder
laid out like the repository after `make run` (build/bin, build/server with the example config
and world, examples/). Nothing lands in the repository.

How a document marks its examples:

    ```sh               every command runs; a line ending in \\ or inside open quotes goes on
    ```sh not-run       shown only (a build, hours of fuzzing, a live server); the text says why
    ```powershell not-run
    ```json FILE        the block is written to FILE in the scratch folder, for the commands after
    ```output           what the last command of the ```sh block before it prints, compared whole

A comment after a command may say "exits with N": that exit status is expected, 0 otherwise. For
rconclt the comment is the answer expected, or the ```output block after it, for an answer of
several lines. A barterbox-server line with neither an output block
nor an exit status must load the example config, know every exchange it is asked for and exit 0;
with --serve it keeps serving RCON for the rconclt lines after it, until `kill -TERM %1`.
`make run` and `make test` are left to their own test and to CI. A command of any other kind, or
a block in a shell language without `not-run`, fails the test: a new example is run or marked.

    doc_examples_test.py REPOSITORY BUILD_FOLDER [DOCUMENT...]
"""
import glob
import os
import re
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SHELL_LANGUAGES = {"sh", "bash", "shell", "console", "powershell", "ps1", "bat", "cmd"}
LEFT_ELSEWHERE = {"make run", "make test"}


class ExampleFailed(Exception):
    pass


def blocks_of(document):
    """The fenced blocks in order: (info words, text, line number of the fence)."""
    blocks, info, text, start = [], None, [], 0
    with open(document, encoding="utf-8") as source:
        for number, line in enumerate(source, 1):
            if line.startswith("```"):
                if info is None:
                    info, text, start = line[3:].split(), [], number
                else:
                    blocks.append((info, "".join(text), start))
                    info = None
            elif info is not None:
                text.append(line)
    return blocks


def scan(text):
    """Where a comment starts in the text (a # outside quotes, after a space), or None; and whether
    a quote is left open at its end."""
    quote = None
    for i, c in enumerate(text):
        if quote:
            quote = None if c == quote else quote
        elif c in "'\"":
            quote = c
        elif c == "#" and (i == 0 or text[i - 1].isspace()):
            return i, False
    return None, quote is not None


def commands_of(text):
    """(command, comment) pairs: a command goes on past a line that ends in \\ or inside quotes."""
    commands, pending = [], ""
    for line in text.splitlines():
        pending += line + "\n"
        comment_at, quote_open = scan(pending)
        if quote_open or (comment_at is None and pending.rstrip("\n").endswith("\\")):
            continue
        comment_at = len(pending) if comment_at is None else comment_at
        command, comment = pending[:comment_at].strip(), pending[comment_at + 1:].strip()
        if command:
            commands.append((command, comment))
        pending = ""
    return commands


def expected_status(comment):
    found = re.search(r"exits with (\d+)", comment)
    return int(found.group(1)) if found else 0


def same_lines(actual, expected):
    def lines(text):
        return [line.rstrip() for line in text.rstrip("\n").splitlines()]
    return lines(actual) == lines(expected)


class Runner:
    def __init__(self, repo, build, scratch):
        self.repo, self.scratch = repo, scratch
        self.server, self.server_log, self.ports = None, None, {}
        self.ran = 0
        # The repository as `make run` leaves it; saves land in the scratch folder.
        plugin = os.path.join(scratch, "build", "server", "ArkApi", "Plugins", "Barterbox")
        os.makedirs(plugin)
        os.symlink(os.path.join(build, "bin"), os.path.join(scratch, "build", "bin"))
        os.symlink(os.path.join(repo, "examples"), os.path.join(scratch, "examples"))
        shutil.copy(os.path.join(repo, "examples", "config.json"), plugin)
        shutil.copy(os.path.join(repo, "examples", "world.json"),
                    os.path.join(scratch, "build", "server"))

    def shell(self, command, timeout=60):
        done = subprocess.run(["bash", "-c", command], cwd=self.scratch, stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=timeout)
        return done.returncode, done.stdout.decode("utf-8", "replace")

    def run_block(self, text, output):
        commands = commands_of(text)
        for index, (command, comment) in enumerate(commands):
            expected = output if index == len(commands) - 1 else None
            if command in LEFT_ELSEWHERE:
                continue
            self.run_command(command, comment, expected)
            self.ran += 1

    def run_command(self, command, comment, expected):
        words = shlex.split(command)
        program = words[0]
        if program == "build/bin/barterbox-server" and expected is None and not comment:
            self.run_server(command, words)
        elif program == "rconclt":
            self.run_rcon_client(words, comment, expected)
        elif words == ["kill", "-TERM", "%1"]:
            self.stop_server()
        elif program in ("build/bin/barterbox-server", "build/bin/barterbox-check", "jq", "dot"):
            status, printed = self.shell(command)
            if status != expected_status(comment):
                raise ExampleFailed("exited %d, not %d:\n%s"
                                    % (status, expected_status(comment), printed))
            if expected is not None and not same_lines(printed, expected):
                raise ExampleFailed("printed other than the document shows:\n" + printed)
        else:
            raise ExampleFailed("no way to run this here: run it in this test, or mark its "
                                "block not-run and say why in the text")

    def run_server(self, command, words):
        if "--serve" not in words:
            status, printed = self.shell(command)
            if status != 0:
                raise ExampleFailed("the server exited %d:\n%s" % (status, printed))
            self.expect_config_loaded(printed)
            return
        # A free port stands in for the example's, so that tests running at once never meet.
        self.stop_server()
        words = [w for w in words if w not in ("&", "<", "/dev/null")]
        port_index = words.index("--rcon-port") + 1
        example_port = words[port_index]
        words[port_index] = "0"
        self.server_log = open(os.path.join(self.scratch, "server.log"), "w+b")
        self.server = subprocess.Popen(words, cwd=self.scratch, stdin=subprocess.DEVNULL,
                                       stdout=self.server_log, stderr=subprocess.STDOUT)
        for _ in range(200):
            found = re.search(r"RCON listening on 127\.0\.0\.1:(\d+)", self.server_printed())
            if found:
                self.ports[example_port] = found.group(1)
                return
            time.sleep(0.05)
        raise ExampleFailed("the server did not start serving RCON:\n" + self.server_printed())

    def server_printed(self):
        self.server_log.seek(0)
        return self.server_log.read().decode("utf-8", "replace")

    def expect_config_loaded(self, printed):
        if not re.search(r"Barterbox: Loaded [1-9][0-9]* exchanges", printed):
            raise ExampleFailed("the example config was not loaded:\n" + printed)
        if "Unknown exchange" in printed:
            raise ExampleFailed("an exchange was unknown:\n" + printed)

    def run_rcon_client(self, words, comment, expected):
        if self.server is None:
            raise ExampleFailed("no --serve example runs before this one")
        for example_port, port in self.ports.items():
            words = [w.replace("127.0.0.1:" + example_port, "127.0.0.1:" + port) for w in words]
        done = subprocess.run(words, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=20)
        answer = done.stdout.decode("utf-8", "replace").strip()
        if done.returncode != 0:
            raise ExampleFailed("rconclt exited with an error: " + answer)
        if comment and answer != comment:
            raise ExampleFailed("answered %r, not %r" % (answer, comment))
        if expected is not None and not same_lines(answer, expected):
            raise ExampleFailed("answered other than the document shows:\n" + answer)
        if not comment and re.search(r"fail|unknown|usage", answer, re.IGNORECASE):
            raise ExampleFailed("answered %r" % answer)

    def stop_server(self):
        """SIGTERM, as `kill -TERM %1`: the server unloads the plugin and exits 0."""
        if self.server is None:
            return
        self.server.send_signal(signal.SIGTERM)
        status = self.server.wait(timeout=30)
        printed = self.server_printed()
        self.server, self.ports = None, {}
        self.server_log.close()
        if status != 0 or "plugin unloaded" not in printed:
            raise ExampleFailed("the server exited %d on SIGTERM:\n%s" % (status, printed))
        self.expect_config_loaded(printed)

    def write_file(self, name, text):
        path = os.path.join(self.scratch, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8") as file:
            file.write(text)


def run_document(runner, document):
    blocks = blocks_of(document)
    for index, (info, text, line) in enumerate(blocks):
        where = "%s:%d" % (os.path.relpath(document, runner.repo), line)
        language = info[0] if info else ""
        following = blocks[index + 1] if index + 1 < len(blocks) else None
        output = following[1] if following and following[0][:1] == ["output"] else None
        try:
            if "not-run" in info:
                continue
            if language in SHELL_LANGUAGES and language not in ("sh", "bash"):
                raise ExampleFailed("a %s block that is not run must be marked not-run" % language)
            if language in ("sh", "bash"):
                runner.run_block(text, output)
            elif len(info) == 2 and language != "transcript":
                runner.write_file(info[1], text)
        except (ExampleFailed, subprocess.TimeoutExpired) as failure:
            raise ExampleFailed("%s: %s" % (where, failure)) from None


def main():
    repo, build = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    documents = sys.argv[3:] or [os.path.join(repo, "README.md")] + sorted(
        glob.glob(os.path.join(repo, "docs", "*.md")))
    scratch = tempfile.mkdtemp(prefix="barterbox-doc-examples-")
    runner = Runner(repo, build, scratch)
    try:
        for document in documents:
            run_document(runner, document)
        runner.stop_server()
    except ExampleFailed as failure:
        print("FAILED: %s" % failure)
        return 1
    finally:
        if runner.server is not None:
            runner.server.kill()
        shutil.rmtree(scratch, ignore_errors=True)
    if os.path.exists(os.path.join(repo, "ArkApi")):
        print("FAILED: an example wrote ArkApi/ into the repository")
        return 1
    print("PASSED: %d examples" % runner.ran)
    return 0


if __name__ == "__main__":
    sys.exit(main())
