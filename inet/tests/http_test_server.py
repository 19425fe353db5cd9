#!/usr/bin/env python3
"""HTTP/1.1 server for the HTTP client's tests, on 127.0.0.1 with an ephemeral port.

Writes "PORT REFUSED_PORT TLS_PORT" to the file named by its first argument once it listens;
REFUSED_PORT is a bound port nobody listens on (connections to it are refused). TLS_PORT serves the
same paths over TLS with the certificate and key named by the second and third arguments (none
without them: TLS_PORT is then 0). Every wait here is bounded.
Paths:
  /status/N                 status N with a short body
  /redirect/N?to=PATH       status N with Location PATH
  /bytes/N                  N pattern bytes with Content-Length
  /chunked/N                N pattern bytes, chunked
  /close/N                  N pattern bytes, no length, ended by closing the connection
  /short/N?sent=M           Content-Length N, M bytes, then the connection is closed
  /stall/N?sent=M&hold=MS   Content-Length N, M bytes, then silence for MS (bounded), then close
  /hang                     reads the request and never answers (bounded)
  /slow/N?chunk=K&delay=MS  Content-Length N, K bytes every MS milliseconds
  /late/N?delay=MS          headers at once, the N body bytes after MS milliseconds
  /disposition?v=VALUE      Content-Disposition: VALUE
  /echo...                  the request line, header lines, an empty line and the body
  /rawecho...               every line of the request head as it arrived, malformed ones too
  /drop-second              200 on a kept-alive connection; the next request on it is closed unanswered
  /encoded-only/...         200 only when the request target holds a percent escape, else 404
  /count/KEY                404, counting requests per KEY; /counter/KEY answers the count
  /record/KEY...            200 with the echo, and keeps it per KEY; /recorded/KEY answers every
                            request kept for KEY, in order (empty when none came)
  /last-modified            Last-Modified: Tue, 15 Nov 1994 08:12:31 GMT
  /multipart                a multipart/form-data body
  /bad-chunked/KIND         chunked, cut: KIND size (a chunk size "zz"), long (a chunk of 100000
                            declared, 1000 sent, then close) or unended (no terminating chunk, close)
  /length-max               Content-Length 4294967295, 10 pattern bytes, then close
  /loop/N                   302 to /loop/N-1; /loop/0 answers 10 pattern bytes
  /selfloop/KEY             302 to itself, counted per KEY as /count/KEY is; 200 after 1000
  /two-lengths              Content-Length 10 and Content-Length 5, then 10 pattern bytes
Pattern byte i is (k * 7 + k // 251) & 0xFF with k = i % 65521.
"""
import http.server
import os
import select
import socket
import socketserver
import ssl
import sys
import threading
import time
import urllib.parse

PERIOD = 65521
PATTERN = bytes(((k * 7 + k // 251) & 0xFF) for k in range(PERIOD))
LONGEST_WAIT = float(os.environ.get('FH_HTTP_TEST_LONGEST_WAIT', '20'))
MAX_LIFETIME = float(os.environ.get('FH_HTTP_TEST_LIFETIME', '3600'))
COUNTS = {}
RECORDS = {}
COUNTS_LOCK = threading.Lock()


def pattern(offset, size):
    out = bytearray()
    while size > 0:
        at = offset % PERIOD
        piece = PATTERN[at:at + min(size, PERIOD - at)]
        out += piece
        offset += len(piece)
        size -= len(piece)
    return bytes(out)


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = 'HTTP/1.1'
    timeout = LONGEST_WAIT

    def log_message(self, fmt, *args):
        sys.stderr.write('%s\n' % (fmt % args))

    def do_GET(self):
        self.dispatch()

    def do_POST(self):
        self.dispatch()

    def do_HEAD(self):
        self.dispatch()

    def read_body(self):
        length = int(self.headers.get('Content-Length') or 0)
        return self.rfile.read(length) if length else b''

    def answer(self, status, body=b'', headers=()):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        if status not in (204, 304):
            self.send_header('Content-Length', str(len(body)))
        self.end_headers()
        if status not in (204, 304):
            self.wfile.write(body)

    def wait_for_client(self, seconds):
        """Waits until the client goes away or the time is up."""
        end = time.monotonic() + min(seconds, LONGEST_WAIT)
        while time.monotonic() < end:
            readable, _, _ = select.select([self.connection], [], [], 0.2)
            if readable:
                try:
                    if not self.connection.recv(4096, socket.MSG_PEEK):
                        return
                    self.connection.recv(4096)
                except OSError:
                    return
        self.close_connection = True

    def send_pattern(self, size, step=65536, delay=0.0):
        sent = 0
        while sent < size:
            piece = pattern(sent, min(step, size - sent))
            self.wfile.write(piece)
            sent += len(piece)
            if delay and sent < size:
                self.wfile.flush()
                time.sleep(delay)

    def echo(self, body):
        text = self.requestline.encode('latin-1') + b'\r\n'
        text += b''.join(('%s: %s\r\n' % (k, v)).encode('latin-1') for k, v in self.headers.items())
        return text + b'\r\n' + body

    def answer_raw_echo(self):
        """The request line and every header line; lines Python takes for no header end up in
        the payload of its header parser, and are shown as they came."""
        text = self.raw_requestline
        text += b''.join(('%s: %s\r\n' % (k, v)).encode('latin-1') for k, v in self.headers.raw_items())
        text += (self.headers.get_payload() or '').encode('latin-1')
        self.answer(200, text, [('Content-Type', 'application/octet-stream')])

    def answer_or_drop(self):
        """One handler object serves one connection: its second request is read, then the
        connection closes without an answer."""
        self.requests_served = getattr(self, 'requests_served', 0) + 1
        if self.requests_served > 1:
            self.close_connection = True
            return
        self.answer(200, b'kept')

    def dispatch(self):
        url = urllib.parse.urlsplit(self.path)
        query = dict(urllib.parse.parse_qsl(url.query))
        parts = url.path.split('/')
        kind = parts[1] if len(parts) > 1 else ''
        arg = parts[2] if len(parts) > 2 else ''
        body = self.read_body()
        number = int(arg) if arg.isdigit() else 0
        if kind == 'status':
            self.answer(number, ('status %d' % number).encode())
        elif kind == 'redirect':
            self.answer(number, b'moved', [('Location', query.get('to', '/bytes/10'))])
        elif kind == 'bytes':
            self.send_response(200)
            self.send_header('Content-Length', str(number))
            self.end_headers()
            if self.command != 'HEAD':
                self.send_pattern(number)
        elif kind == 'chunked':
            self.send_response(200)
            self.send_header('Transfer-Encoding', 'chunked')
            self.end_headers()
            sent = 0
            while sent < number:
                piece = pattern(sent, min(7000, number - sent))
                self.wfile.write(b'%x\r\n' % len(piece) + piece + b'\r\n')
                sent += len(piece)
            self.wfile.write(b'0\r\n\r\n')
        elif kind == 'close':
            self.send_response(200)
            self.send_header('Connection', 'close')
            self.end_headers()
            self.send_pattern(number)
            self.close_connection = True
        elif kind in ('short', 'stall'):
            self.send_response(200)
            self.send_header('Content-Length', str(number))
            self.end_headers()
            self.send_pattern(int(query.get('sent', '0')))
            self.wfile.flush()
            if kind == 'stall':
                self.wait_for_client(int(query.get('hold', '0')) / 1000.0 or LONGEST_WAIT)
            self.close_connection = True
        elif kind == 'hang':
            self.wait_for_client(LONGEST_WAIT)
            self.close_connection = True
        elif kind == 'slow':
            self.send_response(200)
            self.send_header('Content-Length', str(number))
            self.end_headers()
            self.send_pattern(number, int(query.get('chunk', '1000')), int(query.get('delay', '100')) / 1000.0)
        elif kind == 'late':
            self.send_response(200)
            self.send_header('Content-Length', str(number))
            self.end_headers()
            self.wfile.flush()
            time.sleep(min(int(query.get('delay', '1000')) / 1000.0, LONGEST_WAIT))
            self.send_pattern(number)
        elif kind == 'disposition':
            self.answer(200, b'file', [('Content-Disposition', query.get('v', ''))])
        elif kind == 'echo':
            self.answer(200, self.echo(body), [('Content-Type', 'application/octet-stream')])
        elif kind in ('record', 'recorded'):
            with COUNTS_LOCK:
                if kind == 'record':
                    RECORDS[arg] = RECORDS.get(arg, b'') + self.echo(body)
                text = RECORDS.get(arg, b'') if kind == 'recorded' else self.echo(body)
            self.answer(200, text, [('Content-Type', 'application/octet-stream')])
        elif kind == 'rawecho':
            self.answer_raw_echo()
        elif kind == 'drop-second':
            self.answer_or_drop()
        elif kind == 'encoded-only':
            self.answer(200 if '%' in url.path else 404, url.path.encode('latin-1', 'replace'))
        elif kind in ('count', 'counter'):
            with COUNTS_LOCK:
                if kind == 'count':
                    COUNTS[arg] = COUNTS.get(arg, 0) + 1
                count = COUNTS.get(arg, 0)
            self.answer(404 if kind == 'count' else 200, str(count).encode())
        elif kind == 'last-modified':
            self.answer(200, b'dated', [('Last-Modified', 'Tue, 15 Nov 1994 08:12:31 GMT')])
        elif kind == 'multipart':
            boundary = 'fh-boundary'
            text = ('--%s\r\nContent-Disposition: form-data; name="a"\r\n\r\n1\r\n'
                    '--%s\r\nContent-Disposition: form-data; name="b"\r\n\r\ntwo\r\n--%s--\r\n'
                    % (boundary, boundary, boundary)).encode()
            self.answer(200, text, [('Content-Type', 'multipart/form-data; boundary=' + boundary)])
        elif kind in BAD_BEHAVIOURS:
            BAD_BEHAVIOURS[kind](self, arg, number)
        else:
            self.answer(404, b'not found')


def bad_chunked(handler, arg, number):
    handler.send_response(200)
    handler.send_header('Transfer-Encoding', 'chunked')
    handler.end_headers()
    handler.wfile.write({'size': b'zz\r\n' + pattern(0, 1000) + b'\r\n0\r\n\r\n',
                         'long': b'186a0\r\n' + pattern(0, 1000),
                         'unended': b'3e8\r\n' + pattern(0, 1000) + b'\r\n'}.get(arg, b''))
    handler.close_connection = True


def length_max(handler, arg, number):
    handler.send_response(200)
    handler.send_header('Content-Length', '4294967295')
    handler.end_headers()
    handler.send_pattern(10)
    handler.close_connection = True


def redirect_loop(handler, arg, number):
    if number:
        handler.answer(302, b'again', [('Location', '/loop/%d' % (number - 1))])
    else:
        handler.answer(200, pattern(0, 10))


def self_redirect_loop(handler, arg, number):
    with COUNTS_LOCK:
        COUNTS[arg] = COUNTS.get(arg, 0) + 1
        count = COUNTS[arg]
    if count > 1000:
        handler.answer(200, b'cut off')
    else:
        handler.answer(302, b'again', [('Location', '/selfloop/' + arg)])


def two_lengths(handler, arg, number):
    handler.send_response(200)
    handler.send_header('Content-Length', '10')
    handler.send_header('Content-Length', '5')
    handler.end_headers()
    handler.send_pattern(10)
    handler.close_connection = True


BAD_BEHAVIOURS = {'bad-chunked': bad_chunked, 'length-max': length_max, 'loop': redirect_loop,
                  'selfloop': self_redirect_loop, 'two-lengths': two_lengths}


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


class TlsServer(Server):
    """The handshake runs on the connection's own thread, bounded like every other wait: a client
    that connects and says nothing holds up no one else."""

    def __init__(self, address, handler, certificate, key):
        super().__init__(address, handler)
        self.context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        self.context.load_cert_chain(certificate, key)

    def finish_request(self, request, client_address):
        request.settimeout(LONGEST_WAIT)
        try:
            secure = self.context.wrap_socket(request, server_side=True)
        except (OSError, ssl.SSLError) as e:
            sys.stderr.write('tls handshake from %s failed: %s\n' % (client_address, e))
            return
        try:
            self.RequestHandlerClass(secure, client_address, self)
        finally:
            secure.close()


def main():
    server = Server(('127.0.0.1', 0), Handler)
    refused = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    refused.bind(('127.0.0.1', 0))
    servers = [server]
    if len(sys.argv) > 3:
        servers.append(TlsServer(('127.0.0.1', 0), Handler, sys.argv[2], sys.argv[3]))
    tls_port = servers[1].server_address[1] if len(servers) > 1 else 0
    info = sys.argv[1]
    with open(info + '.part', 'w') as f:
        f.write('%d %d %d\n' % (server.server_address[1], refused.getsockname()[1], tls_port))
    os.replace(info + '.part', info)
    for s in servers:
        threading.Timer(MAX_LIFETIME, s.shutdown).start()
    for s in servers[1:]:
        threading.Thread(target=s.serve_forever, kwargs={'poll_interval': 0.5}, daemon=True).start()
    server.serve_forever(poll_interval=0.5)


if __name__ == '__main__':
    main()
