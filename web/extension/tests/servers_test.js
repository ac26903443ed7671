// The background's reading of the servers an address leads to, under Node: every spelling of
// one host and port a downloader would reach alike reads the same (an IPv4-mapped address as
// its IPv4 one), a magnet's trackers and sources and an ed2k link's servers and sources are
// found, and another host, port or scheme is not taken for them.
//   node servers_test.js EXTENSION_DIR
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const vm = require('node:vm');

// servers.js is a browser's classic script: run as the background runs it, its functions
// global.
const scope = vm.createContext({URL, URLSearchParams});
vm.runInContext(fs.readFileSync(path.join(path.resolve(process.argv[2]), 'servers.js'), 'utf8'),
                scope);
const serverOf = (address) => vm.runInContext('serverOf', scope)(address);
const serversOf = (address) => [...vm.runInContext('serversOf', scope)(address)];

test('the spellings of one server read the same', () => {
  const rows = [
    // [what, addresses that all lead to it]
    ['a name, default http port', 'aria2.test:80',
     ['http://aria2.test/jsonrpc', 'http://aria2.test:80/jsonrpc', 'HTTP://ARIA2.Test/x',
      'http://aria2.test./jsonrpc', 'http://aria2.test../jsonrpc', 'http://u:p@aria2.test/',
      'http://%61ria2.test/', 'http://ａｒｉａ２.test/']],
    ['a name, default https port', 'aria2.test:443',
     ['https://aria2.test/jsonrpc', 'https://aria2.test:443/', 'https://Aria2.TEST.:443/']],
    ['a name, default ftp port', 'aria2.test:21', ['ftp://aria2.test/x', 'ftp://aria2.test.:21/']],
    ['a name and its port under any scheme', 'aria2.test:6800',
     ['http://aria2.test:6800/jsonrpc', 'https://aria2.test:6800/', 'ftp://aria2.test:6800/',
      'http://aria2.test.:6800/jsonrpc?method=aria2.addUri', 'http://aria2.test:06800/']],
    ['an IPv4 address', '192.0.2.7:6800',
     ['http://192.0.2.7:6800/', 'http://3221225991:6800/', 'http://0xc0.0.2.7:6800/',
      'http://192.0.519:6800/']],
    ['an IPv6 address', '[2001:db8::1]:6800',
     ['http://[2001:db8::1]:6800/', 'http://[2001:DB8:0::1]:6800/',
      'http://[2001:0db8:0000:0000:0000:0000:0000:0001]:6800/']],
    // A connection to an IPv4-mapped address is one to the IPv4 address it holds.
    ['an IPv4 address in IPv4-mapped forms', '192.0.2.7:6800',
     ['http://[::ffff:192.0.2.7]:6800/', 'http://[::ffff:c000:207]:6800/',
      'http://[::FFFF:C000:0207]:6800/', 'http://[0:0:0:0:0:ffff:c000:207]:6800/',
      'https://[::ffff:192.0.2.7]:6800/']],
    ['loopback in an IPv4-mapped form', '127.0.0.1:6800',
     ['http://[::ffff:127.0.0.1]:6800/', 'http://[::ffff:7f00:1]:6800/', 'http://127.1:6800/']],
  ];
  for (const [what, server, addresses] of rows) {
    for (const address of addresses) assert.equal(serverOf(address), server, `${what}: ${address}`);
  }
});

test('another host, port or scheme is another server, or none', () => {
  const aria2 = serverOf('http://aria2.test:6800/jsonrpc');
  for (const address of ['http://aria2.test:6801/jsonrpc', 'http://aria2.test/jsonrpc',
                         'http://aria2.test.example:6800/', 'http://www.aria2.test:6800/',
                         'http://aria2.tes:6800/', 'http://[::1]:6800/',
                         // Not IPv4-mapped: another IPv6 host, and IPv4-compatible or NAT64
                         // forms, which Linux does not reach over IPv4.
                         'http://[::ffff:0:c000:207]:6800/', 'http://[::c000:207]:6800/',
                         'http://[64:ff9b::c000:207]:6800/']) {
    assert.notEqual(serverOf(address), aria2, address);
  }
  // Schemes aria2 does not fetch, and what is no address at all.
  for (const address of ['magnet:?xt=urn:btih:0123&tr=http://aria2.test:6800/',
                         'ed2k://|file|x|1|0123|/', 'ws://aria2.test:6800/jsonrpc',
                         'aria2.test:6800', '', 'http://', 'http://[::1/']) {
    assert.equal(serverOf(address), null, address);
  }
});

test('a magnet\'s trackers and sources, and an ed2k link\'s servers and sources, are found',
     () => {
  const rpc = (host) => `http://${host}:6800/jsonrpc?method=aria2.addUri&params=W1siaHR0cCJdXQ`;
  const magnet = (rest) => `magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567${rest}`;
  const rows = [
    // [what, address, the servers it names]
    ['a tracker, escaped as magnets carry it', magnet(`&tr=${encodeURIComponent(rpc('aria2.test'))}`),
     ['aria2.test:6800']],
    ['a tracker unescaped, its own query cut at the &', magnet(`&tr=${rpc('ARIA2.test.')}`),
     ['aria2.test:6800']],
    ['each kind of source, numbered ones too',
     magnet('&dn=x&xs=http%3A%2F%2Fa.test%3A1%2Fx.torrent&as=https://b.test/f&ws=ftp://c.test/f' +
            '&tr.1=http://d.test:2/announce&TR=http://e.test:3/'),
     ['a.test:1', 'b.test:443', 'c.test:21', 'd.test:2', 'e.test:3']],
    ['a UDP tracker, with its port only', magnet('&tr=udp%3A%2F%2Faria2.test%3A6800&tr=udp://f.test/a' +
                                                 '&tr=udp://[::ffff:192.0.2.7]:80/announce'),
     ['aria2.test:6800', '192.0.2.7:80']],
    ['IPv4-mapped trackers', magnet(`&tr=${encodeURIComponent(rpc('[::ffff:192.0.2.7]'))}` +
                                    `&tr=${rpc('[::ffff:c000:207]')}`),
     ['192.0.2.7:6800', '192.0.2.7:6800']],
    ['what names no server', magnet('&dn=http://aria2.test:6800/&xl=1&kt=x&tr=wss://g.test/&xs=urn:sha1:0'),
     []],
    ['a server link', 'ed2k://|server|ARIA2.test|6800|/', ['aria2.test:6800']],
    ['a server link, escaped', 'ed2k://%7Cserver%7C%5B::ffff:c000:207%5D%7C6800%7C/',
     ['192.0.2.7:6800']],
    ['a server list and a node list', 'ed2k://|serverlist|http://aria2.test:6800/jsonrpc?x|/',
     ['aria2.test:6800']],
    ['a node list', 'ed2k://|nodeslist|https://[::ffff:192.0.2.7]:6800/nodes.dat|/',
     ['192.0.2.7:6800']],
    ['a file\'s sources', 'ed2k://|file|x.avi|1|0123456789ABCDEF0123456789ABCDEF|/|sources,' +
                          'aria2.test:6800,[::ffff:192.0.2.7]:6800,192.0.2.8:4662|/',
     ['aria2.test:6800', '192.0.2.7:6800', '192.0.2.8:4662']],
    ['a file with none', 'ed2k://|file|sources.avi|1|0123456789ABCDEF0123456789ABCDEF|h=X|/', []],
    ['an http address', rpc('[::ffff:192.0.2.7]'), ['192.0.2.7:6800']],
    ['what is no address', 'thunder://QUFodHRwOi8vYS9iWlo=', []],
  ];
  for (const [what, address, servers] of rows) assert.deepEqual(serversOf(address), servers, what);
  assert.deepEqual(serversOf(undefined), []);
});
