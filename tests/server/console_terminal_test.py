#!/usr/bin/env python3
"""barterbox-server's console on a terminal (a pseudo-terminal): the prompt, tab completion of
console words, player names and exchange names (regardless of letter case), colour, history kept
from one run to the next, Ctrl-C dropping a half-typed line and stopping the server on an empty
line pressed twice, and SIGINT stopping the server cleanly.

    console_terminal_test.py SERVER_PROGRAM REPOSITORY
"""
import os
import pty
import select
import shutil
import signal
import sys
import tempfile
import time


class Terminal:
    def __init__(self, argv):
        self.pid, self.fd = pty.fork()
        if self.pid == 0:
            os.execv(argv[0], argv)
        self.seen = b""
        self.everything = b""  # shown when the test fails

    def expect(self, text, timeout=20):
        """Reads until `text` (bytes) has appeared after what was already matched."""
        deadline = time.monotonic() + timeout
        while text not in self.seen:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.fd], [], [], left)[0]:
                raise AssertionError("timed out waiting for %r" % text)
            try:
                chunk = os.read(self.fd, 4096)
            except OSError:  # the other side has gone
                chunk = b""
            if not chunk:
                raise AssertionError("the terminal closed before %r" % text)
            self.seen += chunk
            self.everything += chunk
        skipped = self.seen[:self.seen.index(text)]
        self.seen = self.seen[self.seen.index(text) + len(text):]
        return skipped

    def settle(self, quiet=0.5, timeout=20):
        """Reads until the server has been silent for `quiet` seconds: it waits at its prompt then.
        Its output lines come from a writer thread, so the prompt may show before or after them."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if not select.select([self.fd], [], [], quiet)[0]:
                return
            try:
                chunk = os.read(self.fd, 4096)
            except OSError:
                chunk = b""
            if not chunk:
                raise AssertionError("the terminal closed while waiting for the prompt")
            self.seen += chunk
            self.everything += chunk
        raise AssertionError("the server never fell silent")

    def type(self, text):
        os.write(self.fd, text)

    def expect_exit_zero(self, who):
        status = self.wait()
        if status != 0:
            raise AssertionError("%s exited %d" % (who, status))

    def wait(self, timeout=30):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            try:  # keep the terminal drained so that the server never blocks on output
                if select.select([self.fd], [], [], 0.1)[0]:
                    self.everything += os.read(self.fd, 4096)
            except OSError:
                pass
            pid, status = os.waitpid(self.pid, os.WNOHANG)
            if pid:
                return os.waitstatus_to_exitcode(status)
        os.kill(self.pid, 9)
        raise AssertionError("the server did not stop")


def main():
    server_program, repo = sys.argv[1], sys.argv[2]
    scratch = tempfile.mkdtemp(prefix="barterbox-terminal-")
    terminal = None

    def start_server():
        return Terminal([server_program, "--server-dir", scratch,
                         "--world", os.path.join(repo, "examples", "world.json")])

    try:
        plugin = os.path.join(scratch, "ArkApi", "Plugins", "Barterbox")
        os.makedirs(plugin)
        shutil.copy(os.path.join(repo, "examples", "config.json"), plugin)
        terminal = start_server()
        terminal.expect(b"plugin loaded from Barterbox.so")
        terminal.settle()

        # A console word: "pla" completes to "players ".
        terminal.type(b"pla\t\r")
        terminal.expect(b"3 players online")
        terminal.settle()

        # A player name, then an exchange name read from config.json.
        terminal.type(b"chat Br\t/ex Th\t\r")
        # The chat line is coloured on a terminal (cyan), and reads as in a transcript.
        terminal.expect(b"\x1b[36m[chat -> Bram] <Trader> Exchange complete: Thatch x1\x1b[0m")
        terminal.settle()

        # History: Ctrl-P brings back the last line; Bram's last 200 thatch go the same way.
        terminal.type(b"\x10\r")
        terminal.expect(b"[chat -> Bram] <Trader> Exchange complete: Thatch x1")
        terminal.type(b"\x10\r")
        terminal.expect(b"[chat -> Bram] <Trader> Need 200 PrimalItemResource_Thatch (have 0)")

        # Ctrl-C on a half-typed line drops it, as a shell does; the server goes on.
        terminal.settle()
        terminal.type(b"chat Bram /ex Thatch\x03")
        terminal.expect(b"^C")
        terminal.expect(b"> ")
        terminal.type(b"players\r")
        skipped = terminal.expect(b"3 players online")
        if b"[chat -> Bram]" in skipped:
            raise AssertionError("the dropped line ran: %r" % skipped)

        # Completion ignores letter case: CONS completes to console, barterbox.l to Barterbox.List.
        terminal.settle()
        terminal.type(b"CONS\tAda barterbox.l\t\r")
        terminal.expect(b"Barterbox: 6 exchanges")
        terminal.expect(b"Electronics - 1 metal ingot and 3 silica pearls for 1 electronics")

        # Ctrl-C on an empty line only says how to stop; a second one in a row stops the server,
        # which unloads the plugin and exits 0.
        terminal.settle()
        terminal.type(b"\x03")
        terminal.expect(b"press Ctrl-C again")
        terminal.expect(b"> ")
        terminal.type(b"\x03")
        terminal.expect(b"Barterbox: Unloaded")
        terminal.expect(b"plugin unloaded")
        terminal.expect_exit_zero("the server")

        # The next server on the same folder remembers the lines: Ctrl-P brings back the last.
        # SIGINT from elsewhere stops it cleanly.
        terminal = start_server()
        terminal.expect(b"> ")
        terminal.type(b"\x10\r")
        terminal.expect(b"Barterbox: 6 exchanges")
        terminal.expect(b"Electronics - 1 metal ingot and 3 silica pearls for 1 electronics")
        terminal.settle()
        os.kill(terminal.pid, signal.SIGINT)
        terminal.expect(b"SIGINT received; stopping")
        terminal.expect(b"plugin unloaded")
        terminal.expect_exit_zero("the second server")
    except AssertionError:
        if terminal is not None:
            print("--- the terminal showed:")
            print(terminal.everything.decode("utf-8", "replace"))
        raise
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    print("PASSED")


if __name__ == "__main__":
    main()
