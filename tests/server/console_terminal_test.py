#!/usr/bin/env python3
"""barterbox-server's console on a terminal (a pseudo-terminal): the prompt, tab completion of
console words, player names and exchange names (regardless of letter case), colour, output that
arrives while a line is typed shown above that line, the line drawn again at a new width when the
terminal is resized (SIGWINCH), history kept from one run to the next,
Ctrl-C dropping a half-typed line and stopping the server on an empty line pressed twice, and
SIGINT stopping the server cleanly. What the screen shows is rendered by pyte, a terminal emulator.

    console_terminal_test.py SERVER_PROGRAM REPOSITORY
"""
import fcntl
import os
import pty
import select
import shutil
import signal
import socket
import struct
import sys
import tempfile
import termios
import time

import pyte

from rcon_client import free_port, packet, read_packet

COLUMNS, ROWS = 60, 24


class Terminal:
    def __init__(self, argv):
        self.pid, self.fd = pty.fork()
        if self.pid == 0:
            os.environ["TERM"] = "xterm"
            os.execv(argv[0], argv)
        fcntl.ioctl(self.fd, termios.TIOCSWINSZ, struct.pack("HHHH", ROWS, COLUMNS, 0, 0))
        self.seen = b""
        self.everything = b""  # shown when the test fails
        self.resizes = []  # (where in `everything`, columns) of each resize
        self.columns = COLUMNS

    def resize(self, columns):
        """Gives the terminal a new width, as a user who drags its window's edge: the kernel sends
        the server SIGWINCH. The emulator keeps what it shows, cut at the new edge, as xterm does."""
        self.settle()
        self.resizes.append((len(self.everything), columns))
        self.columns = columns
        fcntl.ioctl(self.fd, termios.TIOCSWINSZ, struct.pack("HHHH", ROWS, columns, 0, 0))

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

    def screen(self):
        """The rows the terminal shows now, without trailing blanks, and the cursor (row, column)."""
        screen = pyte.Screen(COLUMNS, ROWS)
        stream = pyte.ByteStream(screen)
        fed = 0
        for at, columns in self.resizes:
            stream.feed(self.everything[fed:at])
            screen.resize(ROWS, columns)
            fed = at
        stream.feed(self.everything[fed:])
        return [row.rstrip() for row in screen.display], (screen.cursor.y, screen.cursor.x)

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

    rcon_port = free_port()

    def start_server(*options):
        return Terminal([server_program, "--server-dir", scratch,
                         "--world", os.path.join(repo, "examples", "world.json"), *options])

    try:
        plugin = os.path.join(scratch, "ArkApi", "Plugins", "Barterbox")
        os.makedirs(plugin)
        shutil.copy(os.path.join(repo, "examples", "config.json"), plugin)
        terminal = start_server("--rcon-port", str(rcon_port), "--rcon-password", "pw")
        terminal.expect(b"plugin loaded from Barterbox.so")
        terminal.settle()

        # A console word: "pla" completes to "players ".
        terminal.type(b"pla\t\r")
        terminal.expect(b"3 players online")
        terminal.settle()

        # A player name, then an exchange name read from config.json; the line reads cleanly.
        terminal.type(b"chat Br\t/ex Th\t")
        terminal.settle()
        rows, (row, column) = terminal.screen()
        if rows[row] != "> chat Bram /ex Thatch" or column != len(rows[row]) + 1:
            raise AssertionError("completion left %r, cursor at %d" % (rows[row], column))
        terminal.type(b"\r")
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

        # Output that arrives while a line is typed (an RCON client's) shows above it, whole; the
        # prompt and the typed text, over three rows, are drawn again below it, with the cursor
        # where it was (on the middle row), and the line runs as typed (a
        # mistaken one, which changes nothing).
        terminal.settle()
        typed = (b"console Ada Barterbox.Add Late Wood /Game/PrimalEarth/CoreBlueprints/"
                 b"Resources/PrimalItemResource_Thatch.PrimalItemResource_Thatch:1")
        terminal.type(typed + b"\x01" + b"\x06" * 70)
        terminal.settle()
        with socket.create_connection(("127.0.0.1", rcon_port)) as rcon:
            rcon.sendall(packet(1, 3, b"pw"))
            read_packet(rcon)
            rcon.sendall(packet(2, 2, b"ListPlayers"))
            read_packet(rcon)
            terminal.expect(b"is registered")
            terminal.settle()
        rows, cursor = terminal.screen()
        line = "> " + typed.decode()
        wrapped = [line[i:i + COLUMNS] for i in range(0, len(line), COLUMNS)]
        end = max(i for i, row in enumerate(rows) if row)
        start = end - len(wrapped) + 1
        output = rows[start - 4:start]
        if (rows[start:end + 1] != wrapped or cursor != (start + 1, 72 - COLUMNS)
                or not output[0].startswith("[server] RCON client #1 connected from")
                or output[1:] != ["[server] RCON client #1 authenticated",
                                  "[server] RCON client #1 sends: ListPlayers",
                                  '[server] no RCON command "ListPlayers" is registered']):
            raise AssertionError("the screen shows %r with the cursor at %r"
                                 % (rows[start - 4:end + 1], cursor))
        terminal.type(b"\r")
        terminal.expect(b"Give format: ItemName:quantity")

        # Inside Barterbox.Add an item completes up to where its quantity follows, without a
        # space: the Give class name with its ":", the Receive blueprint (found by its item's name)
        # without one, so that the ":1" typed after it reads as one colon.
        terminal.settle()
        terminal.type(b"console Ada Barterbox.Add Late PrimalItemResource_Wo\t5 "
                      b"PrimalItemResource_Th\t:1")
        terminal.settle()
        rows, (row, column) = terminal.screen()
        added = ("> console Ada Barterbox.Add Late PrimalItemResource_Wood_C:5 Blueprint'/Game/"
                 "PrimalEarth/CoreBlueprints/Resources/PrimalItemResource_Thatch."
                 "PrimalItemResource_Thatch':1")
        shown = "".join(rows[row - len(added) // COLUMNS:row + 1])
        if shown != added or column != len(added) % COLUMNS:
            raise AssertionError("completion inside Barterbox.Add left %r, cursor at %d"
                                 % (shown, column))
        # Ctrl-C drops the line, which stays on the screen as typed, "^C" after it, and the fresh
        # prompt comes on the row below.
        terminal.type(b"\x03")
        terminal.expect(b"^C")
        terminal.settle()
        rows, (row, column) = terminal.screen()
        wrapped = [(added + "^C")[i:i + COLUMNS] for i in range(0, len(added) + 2, COLUMNS)]
        if rows[row - len(wrapped):row + 1] != wrapped + [">"] or column != 2:
            raise AssertionError("Ctrl-C on a wrapped line left %r with the cursor at %r"
                                 % (rows[row - len(wrapped):row + 1], (row, column)))

        # A resize redraws the line being typed at the new width: the prompt and the text, which
        # wrapped over two rows, wrap again at the new edge, no row of the old drawing stays, and
        # what is typed next lands after the text. Narrower, then wider again.
        terminal.settle()
        terminal.type(b"clock\r")
        terminal.expect(b"[server] clock ")
        terminal.settle()
        typed = b"chat Bram /ex Thatch " + b"x" * 50
        terminal.type(typed)
        for columns, more in ((40, b"yz"), (80, b"w")):
            terminal.resize(columns)
            terminal.settle()
            terminal.type(more)
            typed += more
            terminal.settle()
            rows, cursor = terminal.screen()
            line = "> " + typed.decode()
            wrapped = [line[i:i + columns] for i in range(0, len(line), columns)]
            end = max(i for i, row in enumerate(rows) if row)
            start = end - len(wrapped) + 1
            if (rows[start:end + 1] != wrapped or not rows[start - 1].startswith("[server] clock ")
                    or cursor != (end, len(line) % columns)):
                raise AssertionError("at %d columns the screen shows %r with the cursor at %r"
                                     % (columns, rows[start - 2:end + 1], cursor))
        terminal.type(b"\x03")
        terminal.expect(b"^C")
        terminal.resize(COLUMNS)

        # Completion ignores letter case: CONS completes to console, barterbox.lis to
        # Barterbox.List.
        terminal.settle()
        terminal.type(b"CONS\tAda barterbox.lis\t\r")
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
