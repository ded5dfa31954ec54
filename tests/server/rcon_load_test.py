#!/usr/bin/env python3
"""barterbox-server --serve under load, as an attacker on the RCON port or a long session would
test it: 20,000 authenticated requests that keep exchanging back and forth, 1,000 idle connections,
a client that never reads its replies, wrong passwords, and a standard output that nobody reads.
The server's memory levels off, at most --rcon-max-connections connections are served at once,
idle ones are closed once their time to authenticate is over, a good client is answered
throughout, and SIGTERM still stops the server cleanly.

    rcon_load_test.py SERVER_PROGRAM REPOSITORY
"""
import json
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

from rcon_client import free_port, packet, read_packet

PASSWORD = "secret"
EOS = "0002a8e1f3c44b6d9e5f7a1b2c3d4e5f"  # Ada, with 250 wood and 120 stone in the example world
REQUESTS = 20000
IDLE = 1000
CAP = 32

# Two exchanges that undo each other, so that every request is a completed exchange.
CONFIG = {
    "Exchanges": {
        "Forth": {"Description": "wood for stone", "Give": {"PrimalItemResource_Wood": 1},
                  "Receive": {"/Game/PrimalEarth/CoreBlueprints/Resources/"
                              "PrimalItemResource_Stone.PrimalItemResource_Stone": 1}},
        "Back": {"Description": "stone for wood", "Give": {"PrimalItemResource_Stone": 1},
                 "Receive": {"/Game/PrimalEarth/CoreBlueprints/Resources/"
                             "PrimalItemResource_Wood.PrimalItemResource_Wood": 1}},
    }
}


def rss_kib(pid):
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def authenticated_client(port):
    conn = socket.create_connection(("127.0.0.1", port), timeout=20)
    conn.sendall(packet(1, 3, PASSWORD.encode()))
    answer = read_packet(conn)
    if answer != (1, 2, b""):
        raise AssertionError("authentication answered %r" % (answer,))
    return conn


def exchange(conn, request_id, name):
    conn.sendall(packet(request_id, 2, ("Barterbox.Do %s %s" % (EOS, name)).encode()))
    return read_packet(conn)


def closed_now(conn):
    """True when the server has closed the connection (nothing waits to be read otherwise)."""
    conn.setblocking(False)
    try:
        return conn.recv(1) == b""
    except BlockingIOError:
        return False
    except ConnectionResetError:
        return True
    finally:
        conn.setblocking(True)


def start_server(scratch, port, stdout):
    plugin = os.path.join(scratch, "server", "ArkApi", "Plugins", "Barterbox")
    os.makedirs(plugin, exist_ok=True)
    with open(os.path.join(plugin, "config.json"), "w") as config:
        json.dump(CONFIG, config)
    env = dict(os.environ)
    # A small quarantine, so that the sanitizer build's memory shows what the server keeps.
    env["ASAN_OPTIONS"] = env.get("ASAN_OPTIONS", "") + ":quarantine_size_mb=4"
    server = subprocess.Popen(
        [SERVER, "--serve", "--rcon-port", str(port), "--rcon-password", PASSWORD, "--no-color",
         "--server-dir", os.path.join(scratch, "server"), "--world",
         os.path.join(REPO, "examples", "world.json"), "--script", os.devnull],
        stdout=stdout, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL, env=env)
    for _ in range(300):
        try:
            socket.create_connection(("127.0.0.1", port), timeout=1).close()
            return server
        except OSError:
            if server.poll() is not None:
                raise AssertionError("the server exited %d before it listened" % server.returncode)
            time.sleep(0.1)
    raise AssertionError("the server never listened on %d" % port)


def load(scratch, failures):
    """The memory, cap and idle-connection checks, with the output going to a file."""
    log_path = os.path.join(scratch, "server.log")
    port = free_port()
    with open(log_path, "wb") as log:
        server = start_server(scratch, port, log)
    try:
        good = authenticated_client(port)
        request_id = 100

        # Idle connections: at most CAP - 1 beside the good client are kept, the rest closed.
        idle = []
        for i in range(IDLE):
            try:
                idle.append(socket.create_connection(("127.0.0.1", port), timeout=20))
            except OSError as error:
                failures.append("idle connection %d could not connect: %s" % (i, error))
                break
            if i % 100 == 99:
                request_id += 1
                if exchange(good, request_id, "Forth")[2] != b"Exchange completed":
                    failures.append("the good client was not served among idle connections")
        last_connected = time.monotonic()
        time.sleep(1)
        open_count = sum(1 for conn in idle if not closed_now(conn))
        if open_count > CAP - 1:
            failures.append("%d idle connections are served beside the good client, more than %d"
                            % (open_count, CAP - 1))
        if open_count == 0:
            failures.append("no idle connection was served at all")

        # Authenticated requests, pipelined a hundred at a time; memory sampled as they go.
        samples = []
        for batch in range(REQUESTS // 100):
            names = ["Forth" if (batch + i) % 2 == 0 else "Back" for i in range(100)]
            good.sendall(b"".join(packet(request_id + 1 + i, 2,
                                         ("Barterbox.Do %s %s" % (EOS, name)).encode())
                                  for i, name in enumerate(names)))
            for i in range(100):
                answer = read_packet(good)
                if answer != (request_id + 1 + i, 0, b"Exchange completed"):
                    failures.append("request %d answered %r" % (request_id + 1 + i, answer))
                    return
            request_id += 100
            if batch % 20 == 19:
                samples.append(rss_kib(server.pid))

        # Ten seconds to authenticate, and a second to spare.
        time.sleep(max(0.0, last_connected + 11.0 - time.monotonic()))
        still_open = sum(1 for conn in idle if not closed_now(conn))
        if still_open:
            failures.append("%d idle connections are still open after 11 seconds" % still_open)
        for conn in idle:
            conn.close()
        # With the places free again, a new client is served.
        late = authenticated_client(port)
        request_id += 1
        if exchange(late, request_id, "Forth")[2] != b"Exchange completed":
            failures.append("a client after the idle ones was not served")
        late.close()

        # Memory levels off: the second half of the requests adds (almost) nothing.
        half = len(samples) // 2
        growth = samples[-1] - samples[half - 1]
        print("RSS (KiB) every 2,000 requests: %s" % samples)
        if growth > 4096:
            failures.append("memory grew by %d KiB over the last %d requests: %s"
                            % (growth, REQUESTS // 2, samples))
        good.close()
    finally:
        server.send_signal(signal.SIGTERM)
        status = server.wait(timeout=60)
    if status != 0:
        failures.append("the server exited %d after SIGTERM" % status)
    log = open(log_path, "rb").read().decode("utf-8", "replace")
    for line in ["connections are open already",
                 "did not authenticate within the time allowed; connection closed",
                 "[server] plugin unloaded"]:
        if line not in log:
            failures.append("no '%s' in the server output" % line)
    if "[server] error" in log:
        failures.append("the server reported an error")


def stalled_output(scratch, failures):
    """Nobody reads standard output, one client never reads its replies, another guesses
    passwords: a good client is still answered, and SIGTERM still stops the server."""
    port = free_port()
    read_end, write_end = os.pipe()
    server = start_server(scratch, port, write_end)
    os.close(write_end)  # the pipe fills up and stays full
    try:
        good = authenticated_client(port)
        deaf = authenticated_client(port)
        deaf.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
        deaf.settimeout(1)
        guesses = []
        for i in range(5):
            conn = socket.create_connection(("127.0.0.1", port), timeout=20)
            conn.sendall(packet(1, 3, b"guess%d" % i))
            guesses.append((conn, time.monotonic()))
        started = time.monotonic()
        request_id = 10
        for round_number in range(40):
            try:
                deaf.sendall(b"".join(packet(i, 2, b"Barterbox.Do 0002ffff Forth")
                                      for i in range(50)))
            except (socket.timeout, OSError):
                pass  # its buffers are full, or the server has closed it
            for _ in range(25):
                request_id += 1
                name = "Forth" if request_id % 2 == 0 else "Back"
                answer = exchange(good, request_id, name)
                if answer != (request_id, 0, b"Exchange completed"):
                    failures.append("with the output unread, request %d answered %r"
                                    % (request_id, answer))
                    return
        for conn, sent in guesses:
            conn.settimeout(20)
            answer = read_packet(conn)
            waited = time.monotonic() - sent
            if answer != (-1, 2, b"") or waited < 0.4:
                failures.append("a wrong password was answered %r after %.2f s" % (answer, waited))
            conn.close()
        print("1,000 requests with the output unread took %.1f s" % (time.monotonic() - started))
        good.close()
        deaf.close()
    finally:
        stopped = time.monotonic()
        server.send_signal(signal.SIGTERM)
        try:
            status = server.wait(timeout=30)
        except subprocess.TimeoutExpired:
            server.kill()
            server.wait()
            failures.append("SIGTERM did not stop a server whose output nobody reads")
            status = 0
        os.close(read_end)
    if status != 0:
        failures.append("with the output unread, the server exited %d after SIGTERM" % status)
    print("SIGTERM to exit with the output unread: %.1f s" % (time.monotonic() - stopped))


def main():
    global SERVER, REPO
    SERVER, REPO = sys.argv[1], sys.argv[2]
    failures = []
    scratch = tempfile.mkdtemp(prefix="barterbox-load-")
    try:
        load(scratch, failures)
        if not failures:
            stalled_output(scratch, failures)
    finally:
        if failures:
            print("FAILED:\n  " + "\n  ".join(failures))
            log_path = os.path.join(scratch, "server.log")
            if os.path.exists(log_path):
                print("--- the end of the server output:")
                print(open(log_path, "rb").read().decode("utf-8", "replace")[-6000:])
        shutil.rmtree(scratch, ignore_errors=True)
    if failures:
        sys.exit(1)
    print("PASSED")


if __name__ == "__main__":
    main()
