"""x_proxy.py LISTEN SERVER LOG RULE: display LISTEN (an abstract socket) in front of the X
server at display SERVER, breaking its connections by RULE; LOG gets "listening", then a line
for each connection ("connection C pid P"), signal sent, break and "shut".
  refuse:K[:SIG]  closes each of the first K connections, passes the rest on; with SIG (TERM,
                  HUP, INT) first sends it to the client of the second (the client asking again)
  silent[:SIG]    takes every connection and answers nothing (a server that hangs); with SIG
                  first sends it to the client of the first
  break:C:N       at connection C's Nth request after its set-up (0: its set-up) closes every
                  connection and stops listening, as a server that ends
  screens:N       the same at a connection's Nth request since a RandR event (a change of screens)
  pass            breaks nothing
SIGUSR1 shuts the sending side of every connection (the client's writes fail); SIGTERM ends it.
"""
import os
import select
import signal
import socket
import struct
import sys

listen_display, server_display, log_path, rule = sys.argv[1:5]
kind, *fields = rule.split(":")
numbers = [int(n) for n in fields if n.isdigit()]
signal_to_send = next((getattr(signal, "SIG" + n) for n in fields if not n.isdigit()), None)
log = open(log_path, "a", buffering=1)
QUERY_EXTENSION, GENERIC_EVENT = 98, 35


def receive(s):
    """Bytes and the descriptors passed with them (MIT-SHM passes its memory so)."""
    data, ancillary, _, _ = s.recvmsg(65536, socket.CMSG_SPACE(64 * 4))
    fds = []
    for level, what, payload in ancillary:
        if level == socket.SOL_SOCKET and what == socket.SCM_RIGHTS:
            fds += struct.unpack("%di" % (len(payload) // 4), payload[:len(payload) // 4 * 4])
    return data, fds


def send(s, data, fds):
    """All of data, the descriptors with its first part (closed here once passed)."""
    if fds:
        sent = s.sendmsg([data], [(socket.SOL_SOCKET, socket.SCM_RIGHTS, struct.pack("%di" % len(fds), *fds))])
        for fd in fds:
            os.close(fd)
        data = data[sent:]
    s.sendall(data)


class Connection:
    def __init__(self, client, number):
        self.client, self.number = client, number
        self.server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.server.connect("/tmp/.X11-unix/X" + server_display)
        self.sending = True           # the client's side may still send
        self.up = b""                 # the client's bytes not yet parsed, and their descriptors
        self.fds = []
        self.down = b""               # the server's bytes not yet parsed
        self.set_up = False           # the client's set-up passed on
        self.answered = False         # the server's answer to it passed on
        self.order = "<"
        self.requests = 0
        self.asked = {}               # sequence number -> the extension a QueryExtension asks for
        self.randr_event = None       # the first event number of RandR
        self.since_screens = None     # requests since the server told of a change of screens

    def breaks_at(self):
        """Whether the rule breaks at the request (or set-up) at the head of up."""
        if kind == "break" and self.number == numbers[0]:
            return (self.requests + 1 if self.set_up else 0) == numbers[1]
        return kind == "screens" and self.since_screens is not None and self.since_screens + 1 == numbers[0]

    def from_client(self, data, fds):
        """Passes the client's bytes on, a request at a time; False where the rule breaks."""
        self.up += data
        self.fds += fds
        while True:
            if not self.set_up:
                if len(self.up) < 12:
                    return True
                self.order = "<" if self.up[0:1] == b"l" else ">"
                name, auth = struct.unpack(self.order + "HH", self.up[6:10])
                size = 12 + (name + 3) // 4 * 4 + (auth + 3) // 4 * 4
            else:
                if len(self.up) < 4:
                    return True
                size = struct.unpack(self.order + "H", self.up[2:4])[0] * 4
                if size == 0:   # BIG-REQUESTS: the length follows the header
                    if len(self.up) < 8:
                        return True
                    size = struct.unpack(self.order + "I", self.up[4:8])[0] * 4
            if len(self.up) < size:
                return True
            if self.breaks_at():
                return False
            if self.set_up:
                self.requests += 1
                if self.since_screens is not None:
                    self.since_screens += 1
                if self.up[0] == QUERY_EXTENSION:
                    length = struct.unpack(self.order + "H", self.up[4:6])[0]
                    self.asked[self.requests & 0xFFFF] = self.up[8:8 + length]
            self.set_up = True
            send(self.server, self.up[:size], self.fds)
            self.fds = []
            self.up = self.up[size:]

    def from_server(self, data, fds):
        """Passes the server's bytes on, noting RandR's event numbers and its events."""
        send(self.client, data, fds)
        self.down += data
        while True:
            if not self.answered:
                if len(self.down) < 8:
                    return
                size = 8 + struct.unpack(self.order + "H", self.down[6:8])[0] * 4
            else:
                if len(self.down) < 32:
                    return
                code = self.down[0] & 0x7F
                size = 32
                if code == 1 or code == GENERIC_EVENT:
                    size += struct.unpack(self.order + "I", self.down[4:8])[0] * 4
            if len(self.down) < size:
                return
            packet, self.down = self.down[:size], self.down[size:]
            if not self.answered:
                self.answered = True
                continue
            sequence = struct.unpack(self.order + "H", packet[2:4])[0]
            if packet[0] == 1 and self.asked.pop(sequence, None) == b"RANDR" and packet[8]:
                self.randr_event = packet[10]
            elif self.randr_event is not None and code in (self.randr_event, self.randr_event + 1) \
                    and self.since_screens is None:
                self.since_screens = 0

    def close(self):
        for s in (self.client, self.server):
            s.close()


listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
listener.bind("\0/tmp/.X11-unix/X" + listen_display)
listener.listen(64)
connections = []
unanswered = []   # the silent rule's connections, kept open
count = 0


def shut_sending(*_):
    for c in connections:
        if c.sending:
            c.client.shutdown(socket.SHUT_RD)
            c.sending = False
    log.write("shut\n")


signal.signal(signal.SIGUSR1, shut_sending)
signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
log.write("listening\n")
while True:
    readable = [listener] + [c.client for c in connections if c.sending] + [c.server for c in connections]
    for s in select.select(readable, [], [])[0]:
        if s is listener:
            client = listener.accept()[0]
            count += 1
            pid = struct.unpack("i", client.getsockopt(socket.SOL_SOCKET, socket.SO_PEERCRED, 12)[:4])[0]
            log.write("connection %d pid %d\n" % (count, pid))
            if kind == "refuse" and count <= numbers[0] or kind == "silent":
                if signal_to_send and count == (1 if kind == "silent" else 2):
                    os.kill(pid, signal_to_send)
                    log.write("signalled pid %d\n" % pid)
                if kind == "silent":
                    unanswered.append(client)
                else:
                    client.close()
            else:
                connections.append(Connection(client, count))
            continue
        c = next((c for c in connections if s in (c.client, c.server)), None)
        if c is None or s is c.client and not c.sending:   # gone, or shut while select waited
            continue
        data, fds = receive(s)
        if not data:   # one side left: the other one goes too
            c.close()
            connections.remove(c)
        elif s is c.server:
            c.from_server(data, fds)
        elif not c.from_client(data, fds):
            log.write("broken at request %d of connection %d\n" % (c.requests + 1, c.number))
            # Every connection closed, the one that broke last: whatever that client does
            # next finds the others closed already. Then nobody listens: a server that ended.
            for other in sorted(connections, key=lambda other: other is c):
                other.close()
            sys.exit(0)
