// Special links made as people post them, from an address given as text (its UTF-8) or as
// bytes, for the extension's tests.
'use strict';

const bytes = (address) => (Buffer.isBuffer(address) ? address : Buffer.from(address, 'utf8'));
const wrapped = (before, address, after) =>
    Buffer.concat([Buffer.from(before), bytes(address), Buffer.from(after)]).toString('base64');

const thunder = (address) => `thunder://${wrapped('AA', address, 'ZZ')}`;
const qqdl = (address) => `qqdl://${bytes(address).toString('base64')}`;
// FlashGet's own form, with its [FLASHGET] wrapper; `suffix` adds the "&…" sites append.
const flashget = (address, suffix = false) =>
    `flashget://${wrapped('[FLASHGET]', address, '[FLASHGET]')}${suffix ? '&abcd1234' : ''}`;

// The GBK bytes of an address; only the characters the tests use.
const gbkPairs = {'电': 'b5e7', '影': 'd3b0', '第': 'b5da', '集': 'bcaf', '水': 'cbae',
                  '下': 'cfc2', '载': 'd4d8'};
function gbk(text) {
  return Buffer.concat([...text].map((c) => (gbkPairs[c] ? Buffer.from(gbkPairs[c], 'hex') :
                                                           Buffer.from(c, 'latin1'))));
}

module.exports = {thunder, qqdl, flashget, gbk};
