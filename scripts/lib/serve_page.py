"""Serves a folder on 127.0.0.1 and prints the address of its page; Ctrl-C stops it.

usage: serve_page.py FOLDER PAGE [PORT]
PORT (default 8000) is tried first; when it is taken, any free port is used instead.
"""
import functools
import http.server
import sys


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def main():
    folder, page = sys.argv[1], sys.argv[2]
    port = int(sys.argv[3]) if len(sys.argv) > 3 else 8000
    handler = functools.partial(QuietHandler, directory=folder)
    try:
        server = http.server.ThreadingHTTPServer(("127.0.0.1", port), handler)
    except OSError:
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    with server:
        print(f"Open http://127.0.0.1:{server.server_address[1]}/{page} in a browser "
              "(Ctrl-C stops the server).", flush=True)
        try:
            server.serve_forever()
        except KeyboardInterrupt:
            print()


if __name__ == "__main__":
    main()
