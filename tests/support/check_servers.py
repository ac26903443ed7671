#!/usr/bin/python3
"""The servers a transport's check is tried against, on this machine. Usage:
check_servers.py FOLDER OUTSIDE_ADDRESS. FOLDER/ports gets "name port" lines once all listen;
FOLDER/requests one line a request ("method path host=… ua=… range=… cookie=…"); FOLDER/sni the
name each TLS client asked for; FOLDER/trap one line a connection the trap accepted.

- web, on every address: files by path (live.bin, missing.bin), a server refusing HEAD
  (/no-head/…), redirects (/moved, and /moved-utf8, /moved-gbk and
  /moved-utf8-odd to names that are not ASCII), a large file sent whole
  whatever the Range (/whole, noting the bytes sent), a head too long (/big-head), a head that never ends
  (/drip), a hang-up (/hang-up); asked
  as a proxy ("HEAD http://name/path"), it answers the same, and it tunnels CONNECT to the port
  asked for on 127.0.0.1, whatever the name.
- trap, on 127.0.0.1 only: where refused requests would arrive; it counts connections.
- silent, on every address: accepts and never answers.
- tls, on every address: HTTP over TLS with a certificate for files.example from the CA of
  FOLDER/ca.pem, which only a prefix that was told to trusts; notes the SNI.
- tls_other: the same with a certificate for other.example.
- ftp, on every address: anonymous and user "reader" (password "secret"), reading FOLDER/files.
- ftp_bare: the same without SIZE and MDTM, so that only a listing tells.
- closed: a port that nothing listens on."""
import http.server
import os
import select
import socket
import socketserver
import ssl
import sys
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import ThreadedFTPServer

folder, outside = sys.argv[1], sys.argv[2]
files = os.path.join(folder, 'files')
lock = threading.Lock()
WHOLE = 256 * 1024 * 1024


def note(name, line):
    with lock, open(os.path.join(folder, name), 'a') as log:
        log.write(line + '\n')


class Web(http.server.BaseHTTPRequestHandler):
    protocol_version = 'HTTP/1.1'

    def answer(self, head_only):
        path = self.path
        if path.startswith('http://'):
            path = '/' + path[len('http://'):].partition('/')[2]
        note('requests', '%s %s host=%s ua=%s range=%s cookie=%s' % (
            self.command, path, self.headers.get('Host'), self.headers.get('User-Agent'),
            self.headers.get('Range'), self.headers.get('Cookie')))
        path = path.split('?', 1)[0]
        if path == '/hang-up':
            self.close_connection = True
            return
        if path == '/moved':
            self.send_response(302)
            self.send_header('Location', '/live.bin?from=moved')
            self.send_header('Content-Length', '0')
            self.end_headers()
            return
        names = {'/moved-utf8': '下载.bin'.encode('utf-8'), '/moved-gbk': '下载.bin'.encode('gbk'),
                 '/moved-utf8-odd': '下.bin'.encode('utf-8')}
        if path in names:
            # The Location's own bytes, as servers send a name that is not ASCII: latin-1 carries
            # them through send_header unchanged.
            name = names[path]
            self.send_response(301)
            self.send_header('Location', '/' + name.decode('latin-1'))
            self.send_header('Content-Length', '0')
            self.end_headers()
            return
        if path == '/drip':
            # A head that never ends, a field at a time, each soon enough for any read's time.
            self.wfile.write(b'HTTP/1.1 200 OK\r\n')
            try:
                while True:
                    self.wfile.write(b'X-Drip: a\r\n')
                    self.wfile.flush()
                    threading.Event().wait(0.2)
            except OSError:
                return
        if path == '/whole':
            # A server that ignores Range and sends the whole of a large file; FOLDER/sent gets
            # how much of it went out before the client closed.
            self.send_response(200)
            self.send_header('Content-Type', 'application/x-rar-compressed')
            self.send_header('Content-Length', str(WHOLE))
            self.end_headers()
            sent = 0
            chunk = bytes(65536)
            try:
                while sent < WHOLE and not head_only:
                    self.wfile.write(chunk)
                    sent += len(chunk)
            except OSError:
                pass
            note('sent', str(sent))
            self.close_connection = True
            return
        if path == '/big-head':
            self.send_response(200)
            for i in range(100):
                self.send_header('X-Filler-%d' % i, 'x' * 1000)
            self.send_header('Content-Length', '0')
            self.end_headers()
            return
        refuses_head = path.startswith('/no-head/')
        if refuses_head:
            path = path[len('/no-head'):]
            if head_only:
                self.send_response(405)
                self.send_header('Content-Length', '0')
                self.end_headers()
                return
        name = os.path.join(files, path.lstrip('/'))
        if '/' in path.lstrip('/') or not os.path.isfile(name):
            self.send_response(404)
            self.send_header('Content-Type', 'text/html')
            self.send_header('Content-Length', '0')
            self.end_headers()
            return
        size = os.path.getsize(name)
        ranged = self.headers.get('Range') == 'bytes=0-0' and not head_only
        self.send_response(206 if ranged else 200)
        self.send_header('Content-Type', 'application/x-rar-compressed')
        if ranged:
            self.send_header('Content-Range', 'bytes 0-0/%d' % size)
            self.send_header('Content-Length', '1')
        else:
            self.send_header('Content-Length', str(size))
        self.end_headers()
        if not head_only:
            with open(name, 'rb') as f:
                self.wfile.write(f.read(1 if ranged else size))

    def do_HEAD(self):
        self.answer(True)

    def do_GET(self):
        self.answer(False)

    def do_CONNECT(self):
        _, _, port = self.path.rpartition(':')
        note('requests', 'CONNECT %s' % self.path)
        try:
            far = socket.create_connection(('127.0.0.1', int(port)))
        except OSError:
            self.send_response(502)
            self.send_header('Content-Length', '0')
            self.end_headers()
            return
        self.send_response(200)
        self.end_headers()
        near = self.connection
        while True:
            ready, _, _ = select.select([near, far], [], [])
            for side in ready:
                data = side.recv(65536)
                if not data:
                    far.close()
                    self.close_connection = True
                    return
                (far if side is near else near).sendall(data)

    def log_message(self, *args):
        pass


class Trap(socketserver.BaseRequestHandler):
    def handle(self):
        note('trap', 'connection from %s' % (self.client_address,))


class Silent(socketserver.BaseRequestHandler):
    def handle(self):
        self.request.recv(65536)
        threading.Event().wait(3600)


class Tls(socketserver.BaseRequestHandler):
    certificate = 'files.example'

    def handle(self):
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(os.path.join(folder, self.certificate + '.pem'),
                                os.path.join(folder, self.certificate + '.key'))
        context.sni_callback = lambda sock, name, ctx: note('sni', str(name))
        try:
            with context.wrap_socket(self.request, server_side=True) as tls:
                head = b''
                while b'\r\n\r\n' not in head:
                    data = tls.recv(65536)
                    if not data:
                        return
                    head += data
                note('requests', 'TLS ' + head.split(b'\r\n', 1)[0].decode('latin-1'))
                tls.sendall(b'HTTP/1.1 200 OK\r\nContent-Type: application/x-rar-compressed\r\n'
                            b'Content-Length: 1234\r\nConnection: close\r\n\r\n')
        except (ssl.SSLError, OSError):
            pass


class TlsOtherName(Tls):
    certificate = 'other.example'


class Threaded(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


class ThreadedWeb(http.server.ThreadingHTTPServer):
    daemon_threads = True


class Bare(FTPHandler):
    proto_cmds = {k: v for k, v in FTPHandler.proto_cmds.items() if k not in ('SIZE', 'MDTM')}


def ftp_server(handler_base):
    authorizer = DummyAuthorizer()
    authorizer.add_anonymous(files)
    authorizer.add_user('reader', 'secret', files)
    handler = type('Handler', (handler_base,), {'authorizer': authorizer,
                                                 'banner': 'ready', 'log_prefix': ''})
    server = ThreadedFTPServer(('0.0.0.0', 0), handler)
    return server


import logging
logging.disable(logging.CRITICAL)

servers = {
    'web': ThreadedWeb(('0.0.0.0', 0), Web),
    'trap': Threaded(('127.0.0.1', 0), Trap),
    'silent': Threaded(('0.0.0.0', 0), Silent),
    'tls': Threaded(('0.0.0.0', 0), Tls),
    'tls_other': Threaded(('0.0.0.0', 0), TlsOtherName),
}
ftp = {'ftp': ftp_server(FTPHandler), 'ftp_bare': ftp_server(Bare)}
closed = socket.socket()
closed.bind(('0.0.0.0', 0))
closed_port = closed.getsockname()[1]
closed.close()

for server in servers.values():
    threading.Thread(target=server.serve_forever, daemon=True).start()
for server in ftp.values():
    threading.Thread(target=server.serve_forever, daemon=True).start()
ports = ['%s %d' % (name, s.server_address[1]) for name, s in servers.items()]
ports += ['%s %d' % (name, s.address[1]) for name, s in ftp.items()]
ports.append('closed %d' % closed_port)
with open(os.path.join(folder, 'ports.tmp'), 'w') as f:
    f.write('\n'.join(ports) + '\n')
os.rename(os.path.join(folder, 'ports.tmp'), os.path.join(folder, 'ports'))
threading.Event().wait()
