// The post that the popup's check is tried on, and the servers it asks, all on 127.0.0.1: one
// server serves the post and, as the browser's proxy, every host the post names (so that every
// request the check makes, to any name or address, is seen there), and a second one stands for
// a service on this machine, which no check may reach but through a redirect the browser
// follows itself. Each keeps every request it was sent.
'use strict';
const {listen} = require('../../tests/support/servers');
const {thunder, qqdl, flashget} = require('./links');
const {htmlText} = require('./pages');

const magnet = 'magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567&dn=a';
const ed2k = 'ed2k://|file|x.avi|1|0123|/';

// The hosts of the post, answered by the proxy: for each address, what it answers to HEAD and to
// GET (with and without a range): [status, headers, body].
function hosted(here) {
  const file = (type, size) => ({
    HEAD: [200, {'Content-Type': type, 'Content-Length': String(size)}, ''],
    GET: [200, {'Content-Type': type, 'Content-Length': String(size)}, 'x'.repeat(size)],
  });
  const status = (code) => ({HEAD: [code, {}, ''], GET: [code, {}, '']});
  const redirect = (to) => ({HEAD: [302, {Location: to}, ''], GET: [302, {Location: to}, '']});
  return {
    'http://files.test/files/a.zip': file('application/zip', 3000),
    'http://files.test/files/b.mp4': file('video/mp4', 50000),
    'http://files.test/gone/404.zip': status(404),
    'http://files.test/gone/410.rar': status(410),
    // A server that will not answer HEAD, and serves its first byte to a ranged GET.
    'http://nohead.test/big.iso': {
      HEAD: [405, {Allow: 'GET'}, ''],
      RANGE: [206, {'Content-Type': 'application/octet-stream', 'Content-Length': '1',
                    'Content-Range': 'bytes 0-0/123456789'}, 'x'],
      GET: [200, {'Content-Type': 'application/octet-stream', 'Content-Length': '123456789'}, null],
    },
    // A host's page for a file it removed, with 200.
    'http://removed.test/film/movie.mkv': {
      HEAD: [200, {'Content-Type': 'text/html; charset=utf-8'}, ''],
      GET: [200, {'Content-Type': 'text/html; charset=utf-8'}, '<p>文件已被删除</p>'],
    },
    'http://short.test/r/1': redirect('http://short.test/r/2'),
    'http://short.test/r/2': {HEAD: [301, {Location: 'http://files.test/files/b.mp4'}, ''],
                              GET: [301, {Location: 'http://files.test/files/b.mp4'}, '']},
    // A redirect to a service on this machine.
    'http://short.test/to-here': redirect(`${here}/secret`),
  };
}

// The post's links: [what, the special link, the address it opens to].
function checkLinks(here) {
  const hereName = here.replace('127.0.0.1', 'localhost');
  const rows = [
    ['live', thunder, 'http://files.test/files/a.zip'],
    ['404', qqdl, 'http://files.test/gone/404.zip'],
    ['410', flashget, 'http://files.test/gone/410.rar'],
    ['noHead', thunder, 'http://nohead.test/big.iso'],
    ['removed', thunder, 'http://removed.test/film/movie.mkv'],
    ['chain', qqdl, 'http://short.test/r/1'],
    ['toHere', thunder, 'http://short.test/to-here'],
    ['here', thunder, `${here}/direct.zip`],
    ['hereByName', qqdl, `${hereName}/direct.zip`],
    ['private', thunder, 'http://10.0.0.1/router.zip'],
    ['ed2k', thunder, ed2k],
    ['magnet', qqdl, magnet],
  ];
  return rows.map(([what, make, address]) => [what, make(address), address]);
}

function checkPage(here) {
  const links = checkLinks(here).map(
      ([what, link]) => `<li><a id="${what}" href="${htmlText(link)}">${what}</a></li>`);
  return `<!DOCTYPE html><meta charset="utf-8"><title>post</title><ul>${links.join('\n')}</ul>`;
}

// Starts the trap (the service on this machine) and the server of the post and its hosts.
// Resolves to {origin, proxy, here, asked (the hosts' requests), trapped (the trap's), close()}.
async function checkServers() {
  const trapped = [];
  const trap = await listen((request, response) => {
    trapped.push({method: request.method, path: request.url});
    response.writeHead(200, {'Content-Type': 'application/zip', 'Content-Length': '10'})
        .end(request.method === 'HEAD' ? undefined : 'x'.repeat(10));
  });
  const here = trap.origin;
  const hosts = hosted(here);
  const asked = [];
  const server = await listen((request, response, origin) => {
    if (!/^[a-z]+:\/\//i.test(request.url)) {
      if (request.url === '/check.html') {
        return response.writeHead(200, {'Content-Type': 'text/html; charset=utf-8'})
            .end(checkPage(here));
      }
      return response.writeHead(404).end();
    }
    // The browser's own traffic (its update checks) goes by too: only the post's hosts, and
    // any address, are kept.
    const {hostname} = new URL(request.url);
    if (hostname.endsWith('.test') || /^[\d.]+$|^\[/.test(hostname)) {
      asked.push({method: request.method, url: request.url, range: request.headers.range,
                  cookie: request.headers.cookie, referer: request.headers.referer});
    }
    const answers = hosts[request.url];
    if (!answers) return response.writeHead(404).end();
    const ranged = request.method === 'GET' && request.headers.range && answers.RANGE;
    const [status, headers, body] = ranged ? answers.RANGE : answers[request.method] || [405, {}, ''];
    response.writeHead(status, headers);
    // A whole file nobody should ask for: its body is never sent, and the request is seen.
    if (body === null) return response.destroy();
    return response.end(request.method === 'HEAD' ? undefined : body);
  });
  return {
    origin: server.origin, proxy: server.origin, here, asked, trapped,
    close() {
      server.close();
      trap.close();
    },
  };
}

// What the check of the post asked the servers, sorted: HEAD, a ranged GET of the server that
// refused HEAD and nothing else, each address once; the private network never.
const askedOf = (servers) => servers.asked
    .map(({method, url, range}) => `${method} ${url}${range ? ` ${range}` : ''}`).sort();
const askedByTheCheck = [
  'GET http://nohead.test/big.iso bytes=0-0',
  'HEAD http://files.test/files/a.zip',
  'HEAD http://files.test/files/b.mp4',
  'HEAD http://files.test/gone/404.zip',
  'HEAD http://files.test/gone/410.rar',
  'HEAD http://nohead.test/big.iso',
  'HEAD http://removed.test/film/movie.mkv',
  'HEAD http://short.test/r/1',
  'HEAD http://short.test/r/2',
  'HEAD http://short.test/to-here',
];

module.exports = {checkServers, checkLinks, magnet, ed2k, askedOf, askedByTheCheck};
