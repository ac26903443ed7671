// The HTTP servers of the JavaScript tests, benchmarks and picture scripts, all on 127.0.0.1 on
// a free port: any handler, or a site folder served as a static host serves it.
'use strict';
const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');

const kTypes = {'.html': 'text/html; charset=utf-8', '.js': 'text/javascript; charset=utf-8',
                '.css': 'text/css; charset=utf-8', '.png': 'image/png', '.ico': 'image/x-icon'};

// Resolves to a server that answers with `handler(request, response, origin)` once it listens;
// its `origin` is http://127.0.0.1:PORT.
async function listen(handler) {
  const server = http.createServer((request, response) =>
    handler(request, response, `http://127.0.0.1:${server.address().port}`));
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  server.origin = `http://127.0.0.1:${server.address().port}`;
  return server;
}

// Serves the folder `site`: each file with its type (without it, a browser takes no
// stylesheet), "/" as index.html, nothing outside the folder. A request's `headers` query (JSON)
// adds those headers to the answer, as a host that sets its own would.
function serveSite(site) {
  return listen((request, response) => {
    const url = new URL(request.url, 'http://x');
    const name = decodeURIComponent(url.pathname);
    const file = path.join(site, name === '/' ? 'index.html' : name);
    if (!file.startsWith(site + path.sep) || !fs.existsSync(file)) {
      response.writeHead(404).end();
      return;
    }
    const extra = url.searchParams.get('headers');
    response.writeHead(200, {'Content-Type': kTypes[path.extname(file)] || 'application/octet-stream',
                             ...(extra ? JSON.parse(extra) : {})});
    fs.createReadStream(file).pipe(response);
  });
}

module.exports = {listen, serveSite};
