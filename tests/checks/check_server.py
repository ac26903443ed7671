#!/usr/bin/env python3
"""Servers for the address check's tests, on 127.0.0.1. An HTTP server that also answers as a
proxy does (absolute-form requests and CONNECT tunnels, every name reached here), so that a
check reaches it under names that are not this machine's; an FTP server (pyftpdlib) with a live
file; and a trap, a listener that must never be reached, which logs every connection it gets.

Usage: check_server.py WORK. Writes WORK/ports ("http PORT", "ftp PORT", "trap PORT") once all
listen, logs each HTTP request ("METHOD HOST PATH") to WORK/requests and each connection to the
trap to WORK/trap. The trap's port is where the redirects to this machine lead."""
import http.server
import os
import re
import select
import socket
import socketserver
import sys
import threading

work = sys.argv[1]
log_lock = threading.Lock()


def log(name, line):
    with log_lock, open(os.path.join(work, name), 'a') as f:
        f.write(line + '\n')


trap = socket.socket()
trap.bind(('127.0.0.1', 0))
trap.listen(16)


def keep_trap():
    while True:
        connection, peer = trap.accept()
        log('trap', 'connection from %s:%d' % peer)
        connection.close()


threading.Thread(target=keep_trap, daemon=True).start()
trap_port = trap.getsockname()[1]
hostname = socket.gethostname()
LIVE_SIZE = 123456
REMOVED_PAGE = b'<html><body>The file was removed.</body></html>'


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = 'HTTP/1.1'

    def split(self):
        path = self.path
        host = self.headers.get('Host', '')
        if path.startswith('http://'):
            host, _, rest = path[len('http://'):].partition('/')
            path = '/' + rest
        return host, path

    def answer(self, status, headers=(), body=b''):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header('Content-Length', str(len(body)) if not any(
            n == 'Content-Length' for n, _ in headers) else dict(headers)['Content-Length'])
        self.end_headers()
        if self.command != 'HEAD' and body:
            self.wfile.write(body)

    def respond(self):
        host, path = self.split()
        log('requests', '%s %s %s' % (self.command, host, path))
        path = path.split('?', 1)[0]
        ranged = self.headers.get('Range') == 'bytes=0-0'
        if path == '/live.bin' or path == '/nohead.rar' or path == '/closehead.iso':
            if path == '/nohead.rar' and self.command == 'HEAD':
                return self.answer(405, [('Allow', 'GET')])
            if path == '/closehead.iso' and self.command == 'HEAD':
                self.close_connection = True
                return
            if ranged:
                return self.answer(206, [('Content-Type', 'application/octet-stream'),
                                         ('Content-Range', 'bytes 0-0/%d' % LIVE_SIZE)], b'x')
            return self.answer(200, [('Content-Type', 'application/octet-stream'),
                                     ('Content-Length', str(LIVE_SIZE))],
                               b'x' * LIVE_SIZE)
        if path == '/big-headers.zip':
            # Headers without end, as a hostile server sends them: the check reads only so much.
            self.send_response(200)
            for i in range(2000):
                self.send_header('X-Filler-%d' % i, 'x' * 60)
            self.send_header('Content-Length', '0')
            self.end_headers()
            return
        if path == '/cookie-set.zip':
            return self.answer(302, [('Set-Cookie', 'session=kept'),
                                     ('Location', '/cookie-check.zip')])
        if path == '/cookie-check.zip':
            # A check keeps no cookies: one sent back is a fault.
            return self.answer(500 if self.headers.get('Cookie') else 200,
                               [('Content-Type', 'application/zip')])
        if path == '/agent.zip':
            agent = self.headers.get('User-Agent', '')
            honest = re.fullmatch(r'Zentrova/[0-9.]+ \(link check\)', agent) is not None
            return self.answer(200 if honest else 403, [('Content-Type', 'application/zip')])
        if path == '/gone404.zip':
            return self.answer(404)
        if path == '/gone410.zip':
            return self.answer(410)
        if path == '/login.zip':
            return self.answer(403)
        if path == '/broken.zip':
            return self.answer(503)
        if path == '/removed.mkv':
            return self.answer(200, [('Content-Type', 'text/html; charset=utf-8')], REMOVED_PAGE)
        if path.startswith('/hop/'):
            left = int(path[len('/hop/'):])
            target = '/live.bin' if left == 0 else '/hop/%d' % (left - 1)
            return self.answer(302, [('Location', target)])
        if path == '/to-loopback':
            return self.answer(302, [('Location', 'http://127.0.0.1:%d/secret' % trap_port)])
        if path == '/to-hostname':
            return self.answer(302, [('Location', 'http://%s:%d/secret' % (hostname, trap_port))])
        if path == '/to-ten':
            return self.answer(302, [('Location', 'http://10.0.0.1/cgi-bin/reboot')])
        if path == '/held.zip':
            # Answers once the test lets it (WORK/release exists), so that a check is seen
            # waiting without any clock deciding it.
            while not os.path.exists(os.path.join(work, 'release')):
                threading.Event().wait(0.05)
            return self.answer(200, [('Content-Type', 'application/zip')])
        if path == '/silent.zip':
            # Accepts and never answers, until the check gives up and closes.
            select.select([self.connection], [], [], 3600)
            self.close_connection = True
            return
        return self.answer(404)

    do_GET = respond
    do_HEAD = respond

    def do_CONNECT(self):
        host, _, port = self.path.rpartition(':')
        log('requests', 'CONNECT %s %s' % (host, port))
        upstream = socket.create_connection(('127.0.0.1', int(port)))
        self.send_response(200, 'Connection established')
        self.end_headers()
        sockets = [self.connection, upstream]
        while True:
            ready, _, _ = select.select(sockets, [], [], 60)
            if not ready:
                break
            done = False
            for s in ready:
                data = s.recv(65536)
                if not data:
                    done = True
                    break
                (upstream if s is self.connection else self.connection).sendall(data)
            if done:
                break
        upstream.close()
        self.close_connection = True

    def log_message(self, *args):
        pass


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


http_server = Server(('127.0.0.1', 0), Handler)
threading.Thread(target=http_server.serve_forever, daemon=True).start()

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

ftp_root = os.path.join(work, 'ftp')
os.makedirs(os.path.join(ftp_root, 'pub'), exist_ok=True)
with open(os.path.join(ftp_root, 'pub', 'live.iso'), 'wb') as f:
    f.write(b'y' * 4321)
authorizer = DummyAuthorizer()
authorizer.add_anonymous(ftp_root)
FTPHandler.authorizer = authorizer
FTPHandler.passive_ports = None
ftp_server = FTPServer(('127.0.0.1', 0), FTPHandler)
import logging
logging.getLogger('pyftpdlib').setLevel(logging.ERROR)

with open(os.path.join(work, 'ports.tmp'), 'w') as f:
    f.write('http %d\nftp %d\ntrap %d\n' % (http_server.server_address[1],
                                         ftp_server.address[1], trap_port))
os.rename(os.path.join(work, 'ports.tmp'), os.path.join(work, 'ports'))
ftp_server.serve_forever()
