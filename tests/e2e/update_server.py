#!/usr/bin/env python3
"""Version server for the update-check tests, on 127.0.0.1 only.

/<case>/version/filvane.txt answers with the body of that case; any other
path is a 404 page. Writes the chosen port to the file given as argument.
"""
import http.server
import sys

BODIES = {
    "v52": b"5.2",
    "v51": b"5.1",
    "v12": b"12",
    "v50": b"5.0",
    "v49": b"4.9",
    "empty": b"",
    "crlf": b"5.2\r\n",
    "dotted": b"5.2.1",
    "nul": b"6\x00junk",
    "big": b"7" * 40000,
    "limit": b"5" * 256,
    "odd": b"6abc",
    "exponent": b"9e9",
}
# Answers without end, as a hostile or broken server might.
ENDLESS = "endless"


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        parts = self.path.split("/")
        body = None
        if len(parts) == 4 and parts[2:] == ["version", "filvane.txt"]:
            if parts[1] == ENDLESS:
                self.answer_without_end()
                return
            body = BODIES.get(parts[1])
        status = 200
        if body is None:
            status = 404
            body = b"<html><body>404 Not Found</body></html>"
        self.send_response(status)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def answer_without_end(self):
        self.send_response(200)
        self.send_header("Content-Type", "text/plain")
        self.end_headers()
        try:
            while True:
                self.wfile.write(b"9" * 65536)
        except (BrokenPipeError, ConnectionResetError):
            pass  # the client stopped reading, as it should

    def log_message(self, *args):
        pass


def main():
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    with open(sys.argv[1], "w") as port_file:
        port_file.write(str(server.server_address[1]))
    server.serve_forever()


if __name__ == "__main__":
    main()
