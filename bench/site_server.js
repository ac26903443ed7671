// The site folder served on 127.0.0.1 as a static host serves it: each file with its type
// (without it, a browser takes no stylesheet), nothing outside the folder.
'use strict';
const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');

const kTypes = {'.html': 'text/html; charset=utf-8', '.js': 'text/javascript; charset=utf-8',
                '.css': 'text/css; charset=utf-8', '.png': 'image/png', '.ico': 'image/x-icon'};

// Resolves to the listening server once it listens on a free port.
async function serveSite(site) {
  const server = http.createServer((request, response) => {
    const file = path.join(site, new URL(request.url, 'http://x').pathname);
    if (!file.startsWith(site + path.sep) || !fs.existsSync(file)) return response.writeHead(404).end();
    response.writeHead(200, {'Content-Type': kTypes[path.extname(file)] || 'application/octet-stream'});
    fs.createReadStream(file).pipe(response);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return server;
}

module.exports = {serveSite};
