#!/usr/bin/env python3
"""Malformed Source RCON packets against barterbox-server --serve: each one closes its own
connection with a [server] line, and the server goes on serving well-formed clients. A tiny client
of our own, since a real client never sends such packets.

    rcon_malformed_test.py SERVER_PROGRAM REPOSITORY
"""
import os
import re
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time

from rcon_client import packet, read_packet

PASSWORD = "secret"


def connect(port):
    conn = socket.create_connection(("127.0.0.1", port), timeout=10)
    return conn


def closed_by_server(conn):
    """True when the server closes the connection (end of stream or reset) within the timeout."""
    try:
        while True:
            if not conn.recv(4096):
                return True
    except ConnectionResetError:
        return True
    except socket.timeout:
        return False


def main():
    server_program, repo = sys.argv[1], sys.argv[2]
    scratch = tempfile.mkdtemp(prefix="barterbox-malformed-")
    failures = []
    log_path = os.path.join(scratch, "server.log")
    server = None
    try:
        plugin = os.path.join(scratch, "server", "ArkApi", "Plugins", "Barterbox")
        os.makedirs(plugin)
        shutil.copy(os.path.join(repo, "examples", "config.json"), plugin)
        with open(log_path, "wb") as log:
            server = subprocess.Popen(
                [server_program, "--serve", "--rcon-port", "0", "--rcon-password", PASSWORD,
                 "--no-color", "--server-dir", os.path.join(scratch, "server"),
                 "--world", os.path.join(repo, "examples", "world.json"), "--script", os.devnull],
                stdout=log, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
        port = None
        for _ in range(300):
            found = re.search(rb"RCON listening on 127\.0\.0\.1:(\d+)", open(log_path, "rb").read())
            if found:
                port = int(found.group(1))
                break
            if server.poll() is not None:
                break
            time.sleep(0.1)
        if port is None:
            raise RuntimeError("the server did not report its RCON port")

        auth = packet(1, 3, PASSWORD.encode())
        cases = [
            ("size below the minimum", packet(1, 3, b"", size=5),
             "packet size 5 is below the minimum of 10"),
            ("negative size", struct.pack("<i", -1) + b"\0" * 12,
             "packet size -1 is below the minimum of 10"),
            ("oversized body", packet(1, 3, b"x" * 100000), "packet size 100010 is above the maximum of 4096"),
            ("huge size field", struct.pack("<i", 0x7FFFFFFF),
             "packet size 2147483647 is above the maximum of 4096"),
            ("missing terminators", packet(1, 3, PASSWORD.encode(), end=b"xx"),
             "packet does not end in its two zero bytes"),
            ("zero byte in the body", packet(1, 3, b"sec\0ret"), "packet body holds a zero byte"),
            ("unknown type", packet(1, 7, b""), "unknown packet type 7"),
            ("malformed after authenticating", auth + packet(2, 2, b"Barterbox.Do", end=b"\0"),
             None),
        ]
        for name, data, reason in cases:
            conn = connect(port)
            try:
                conn.sendall(data)
            except (BrokenPipeError, ConnectionResetError):
                pass  # the server may close before it has read everything
            if not closed_by_server(conn):
                failures.append("%s: the connection stayed open" % name)
            conn.close()

        # A packet cut short by the client going away.
        conn = connect(port)
        conn.sendall(auth[:9])
        conn.shutdown(socket.SHUT_WR)
        if not closed_by_server(conn):
            failures.append("truncated packet: the connection stayed open")
        conn.close()

        # A command before authenticating gets the failure answer, and the connection closes.
        conn = connect(port)
        conn.sendall(packet(5, 2, b"Barterbox.Do 0002f1e2d3c4b5a69788695a4b3c2d1e Polymer"))
        answer = read_packet(conn)
        if answer != (-1, 2, b""):
            failures.append("command before authentication answered %r" % (answer,))
        if not closed_by_server(conn):
            failures.append("command before authentication: the connection stayed open")
        conn.close()

        # The server still serves a well-formed client, answering with each request's id.
        conn = connect(port)
        conn.sendall(auth)
        answer = read_packet(conn)
        if answer != (1, 2, b""):
            failures.append("authentication answered %r" % (answer,))
        conn.sendall(packet(77, 2, b"Barterbox.Do 0002f1e2d3c4b5a69788695a4b3c2d1e Polymer"))
        answer = read_packet(conn)
        if answer != (77, 0, b"Exchange completed"):
            failures.append("the exchange answered %r" % (answer,))
        conn.sendall(packet(78, 2, b"ListPlayers"))
        answer = read_packet(conn)
        if answer != (78, 0, b""):
            failures.append("an unknown command answered %r" % (answer,))
        conn.close()

        server.send_signal(signal.SIGTERM)
        status = server.wait(timeout=30)
        server = None
        log = open(log_path, "rb").read().decode("utf-8", "replace")
        if status != 0:
            failures.append("the server exited %d after SIGTERM" % status)
        for name, _, reason in cases:
            if reason and ("sent a malformed packet (%s); connection closed" % reason) not in log:
                failures.append("%s: no [server] line giving '%s'" % (name, reason))
        for line in ["disconnected in the middle of a packet",
                     "sent a request before authenticating; connection closed",
                     "[rcon] Exchange completed",
                     "[server] no RCON command \"ListPlayers\" is registered",
                     "[server] plugin unloaded"]:
            if line not in log:
                failures.append("no '%s' in the server output" % line)
        if log.count("Player completed 'Polymer'") != 1:
            failures.append("Polymer ran %d times, not once" % log.count("Player completed 'Polymer'"))
        if "error" in log:
            failures.append("the server reported an error")
    finally:
        if server is not None:
            server.kill()
            server.wait()
        if failures:
            print("FAILED:\n  " + "\n  ".join(failures))
            print("--- server output:")
            print(open(log_path, "rb").read().decode("utf-8", "replace"))
        shutil.rmtree(scratch, ignore_errors=True)
    if failures:
        sys.exit(1)
    print("PASSED")


if __name__ == "__main__":
    main()
