#!/usr/bin/env python3
"""An old-style file server on 127.0.0.1: it keeps its files under their names' own bytes (GBK,
UTF-8, whatever they were saved in) and finds a file by undoing the request's percent escapes
to bytes, as such servers do, so that only a downloader that asks with the very bytes a link
carried gets the file. Usage: byte_name_server.py FOLDER PORT_FILE LOG_FILE. The port it took
is written to PORT_FILE once it listens; each request's name bytes are logged in hex, one line
each, to LOG_FILE. It also answers as an HTTP proxy does, so that a downloader can reach it
under a name that is not this machine's."""
import http.server
import os
import sys
import urllib.parse

folder, port_file, log_file = (os.fsencode(a) for a in sys.argv[1:4])


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        path = self.path.split('?', 1)[0]
        # Asked as a proxy is ("GET http://host/name"): the name is what follows the host.
        if path.startswith('http://'):
            path = '/' + path[len('http://'):].partition('/')[2]
        name = urllib.parse.unquote_to_bytes(path.lstrip('/'))
        with open(log_file, 'ab') as log:
            log.write(name.hex().encode() + b'\n')
        file = os.path.join(folder, name)
        if b'/' in name or not os.path.isfile(file):
            self.send_error(404)
            return
        with open(file, 'rb') as f:
            body = f.read()
        self.send_response(200)
        self.send_header('Content-Type', 'application/octet-stream')
        self.send_header('Content-Length', str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), Handler)
with open(port_file + b'.tmp', 'w') as f:
    f.write(str(server.server_address[1]))
os.rename(port_file + b'.tmp', port_file)
server.serve_forever()
