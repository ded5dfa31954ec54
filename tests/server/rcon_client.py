"""The Source RCON packet as the endpoint's tests write and read it, shared by those tests."""
import socket
import struct


def packet(request_id, kind, body, end=b"\0\0", size=None):
    """One packet; `end` and `size` let a test write a malformed one."""
    payload = struct.pack("<ii", request_id, kind) + body + end
    return struct.pack("<i", len(payload) if size is None else size) + payload


def read_exactly(conn, count):
    data = b""
    while len(data) < count:
        chunk = conn.recv(count - len(data))
        if not chunk:
            raise ConnectionError("closed after %d of %d bytes" % (len(data), count))
        data += chunk
    return data


def read_packet(conn):
    """(request id, type, body) of the next packet."""
    (size,) = struct.unpack("<i", read_exactly(conn, 4))
    rest = read_exactly(conn, size)
    request_id, kind = struct.unpack("<ii", rest[:8])
    return request_id, kind, rest[8:-2]


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]
