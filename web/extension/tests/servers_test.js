// The background's reading of the server an address leads to, under Node: every spelling of
// one host and port a downloader would reach alike reads the same, and another host, port or
// scheme does not.
//   node servers_test.js EXTENSION_DIR
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const vm = require('node:vm');

// servers.js is a browser's classic script: run as the background runs it, its functions
// global.
const scope = vm.createContext({URL});
vm.runInContext(fs.readFileSync(path.join(path.resolve(process.argv[2]), 'servers.js'), 'utf8'),
                scope);
const serverOf = (address) => vm.runInContext('serverOf', scope)(address);

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
    ['an IPv4-mapped IPv6 address', '[::ffff:c000:207]:80',
     ['http://[::ffff:192.0.2.7]/', 'http://[::FFFF:C000:0207]:80/']],
  ];
  for (const [what, server, addresses] of rows) {
    for (const address of addresses) assert.equal(serverOf(address), server, `${what}: ${address}`);
  }
});

test('another host, port or scheme is another server, or none', () => {
  const aria2 = serverOf('http://aria2.test:6800/jsonrpc');
  for (const address of ['http://aria2.test:6801/jsonrpc', 'http://aria2.test/jsonrpc',
                         'http://aria2.test.example:6800/', 'http://www.aria2.test:6800/',
                         'http://aria2.tes:6800/', 'http://[::1]:6800/']) {
    assert.notEqual(serverOf(address), aria2, address);
  }
  // Schemes aria2 does not fetch, and what is no address at all.
  for (const address of ['magnet:?xt=urn:btih:0123&tr=http://aria2.test:6800/',
                         'ed2k://|file|x|1|0123|/', 'ws://aria2.test:6800/jsonrpc',
                         'aria2.test:6800', '', 'http://', 'http://[::1/']) {
    assert.equal(serverOf(address), null, address);
  }
});
