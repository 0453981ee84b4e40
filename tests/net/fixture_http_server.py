#!/usr/bin/python3
"""An HTTP server on 127.0.0.1 for the download tests, with well-behaved and misbehaving routes.

Prints its port on the first line of stdout, then serves until killed.
  /file/N        N bytes with Content-Length        /nolen/N     N bytes, no length, closed at the end
  /slow/N        N bytes in 10 pieces, 0.1 s apart   /short/N     announces N, sends N/2, closes
  /long/N        announces N, sends N, then N more              /huge        announces 3 GB, sends a little
  /hold/N        N bytes, then the connection stays open for 15 s
  /holdnolen/N   N bytes without a length, then the connection stays open for 15 s
  /trickle       announces 100000, sends a byte every 0.3 s
  /steady        announces 100 MB, sends 4000 bytes every 0.1 s
  /announce/N    announces N bytes, sends 1000       /flood/N     N bytes without a length, fast
  /404           not found                           /reset       resets the connection
  /silent        never answers                       /loop        redirects to itself
  /redirect/N    redirects to /file/N                /static/NAME a file from the folder given as argv[1]
  /tofile        redirects to file:///etc/passwd     /toftp       redirects to ftp://127.0.0.1/x
"""
import os
import socket
import struct
import sys
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer


def body(n):
    pattern = bytes(range(256))
    return (pattern * (n // 256 + 1))[:n]


class Handler(BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def head(self, status, length=None, extra=()):
        self.send_response(status)
        if length is not None:
            self.send_header("Content-Length", str(length))
        self.send_header("Last-Modified", "Wed, 21 Oct 2015 07:28:00 GMT")
        for name, value in extra:
            self.send_header(name, value)
        self.end_headers()

    def handle(self):
        try:
            super().handle()
        except (BrokenPipeError, ConnectionResetError):
            pass  # the client gave up, as it should

    def do_GET(self):
        parts = self.path.strip("/").split("/")
        route, arg = parts[0], (parts[1] if len(parts) > 1 else "0")
        n = int(arg) if arg.isdigit() else 0
        if route == "file":
            self.head(200, n)
            self.wfile.write(body(n))
        elif route == "nolen":
            self.head(200)
            self.wfile.write(body(n))
        elif route == "slow":
            self.head(200, n)
            piece = max(1, n // 10)
            data = body(n)
            for i in range(0, n, piece):
                self.wfile.write(data[i:i + piece])
                self.wfile.flush()
                time.sleep(0.1)
        elif route == "hold":
            self.head(200, n)
            self.wfile.write(body(n))
            self.wfile.flush()
            time.sleep(15)  # keeps the connection open after the whole body
        elif route == "holdnolen":
            self.head(200)
            self.wfile.write(body(n))
            self.wfile.flush()
            time.sleep(15)
        elif route == "trickle":
            self.head(200, 100000)
            for _ in range(1000):
                self.wfile.write(b"x")
                self.wfile.flush()
                time.sleep(0.3)
        elif route == "steady":
            self.head(200, 100000000)
            for _ in range(10000):
                self.wfile.write(body(4000))
                self.wfile.flush()
                time.sleep(0.1)
        elif route == "announce":
            self.head(200, n)
            self.wfile.write(body(1000))
        elif route == "flood":
            self.head(200)
            block = body(1 << 20)
            for _ in range(n // len(block)):
                self.wfile.write(block)
        elif route == "short":
            self.head(200, n)
            self.wfile.write(body(n // 2))
        elif route == "long":
            self.head(200, n)
            self.wfile.write(body(n))
            self.wfile.flush()
            time.sleep(0.2)  # the announced body is complete long before the rest comes
            self.wfile.write(body(n))
        elif route == "huge":
            self.head(200, 3000000000)
            self.wfile.write(body(1000))
        elif route == "404":
            self.head(404, 9)
            self.wfile.write(b"not found")
        elif route == "reset":
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            self.connection.close()
        elif route == "silent":
            try:
                while self.connection.recv(1024):
                    pass
            except OSError:
                pass
        elif route == "loop":
            self.head(302, 0, [("Location", "/loop")])
        elif route == "redirect":
            self.head(302, 0, [("Location", "/file/%d" % n)])
        elif route == "tofile":
            self.head(302, 0, [("Location", "file:///etc/passwd")])
        elif route == "toftp":
            self.head(302, 0, [("Location", "ftp://127.0.0.1/x")])
        elif route == "static" and len(sys.argv) > 1:
            path = os.path.join(sys.argv[1], os.path.basename(arg))
            size = os.path.getsize(path)
            self.head(200, size)
            with open(path, "rb") as f:
                os.sendfile(self.wfile.fileno(), f.fileno(), 0, size)
        else:
            self.head(400, 0)


# Tests open dozens of connections at once; a short backlog would drop some for a second.
ThreadingHTTPServer.request_queue_size = 128
server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
server.daemon_threads = True
print(server.server_address[1], flush=True)
server.serve_forever()
