// The content script's rules under Node (content_links.js, as every frame loads it): which
// hrefs are opened in place and which are left (a search, a share button or a script that only
// carries a special link), what an editor keeps, what may be put into an href, and how a text
// is cut into the links it holds.
//   node content_links_test.js EXTENSION_DIR
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const vm = require('node:vm');

const scope = vm.createContext({});
vm.runInContext(fs.readFileSync(path.join(path.resolve(process.argv[2]), 'content_links.js'), 'utf8'),
                scope);
const rule = (name) => vm.runInContext(name, scope);
const longest = rule('longestHref');

test('an href that is itself a special link is opened; one that only carries one is left', () => {
  const link = 'thunder://QUFodHRwOi8vaC9hLnppcFpa';
  const rows = [
    // [what, href, choice]
    ['each kind', link, 'open'],
    ['FlashGet', 'flashget://W0ZMQVNIR0VUXWh0dHA6Ly9oL2FbRkxBU0hHRVRd&abc', 'open'],
    ['QQ', 'qqdl://aHR0cDovL2gvYS56aXA=', 'open'],
    ['any case', 'THUNDER://QUFodHRwOi8vaC9hLnppcFpa', 'open'],
    ['percent-encoded', 'thunder%3A%2F%2FQUFodHRwOi8vaC9hLnppcFpa', 'open'],
    // What the browser drops before following an address counts for nothing.
    ['spaces and controls around it', ` \t\u0001${link}\n `, 'open'],
    ['line ends and tabs inside the scheme', 'thun\nder:/\t/QUFodHRwOi8vaC9hLnppcFpa', 'open'],
    ['a search for one', `https://www.google.com/search?q=${link}`, 'leave'],
    ['a search for one, escaped', `https://www.baidu.com/s?wd=${encodeURIComponent(link)}`, 'leave'],
    ['a share button', `https://service.weibo.com/share/share.php?url=${encodeURIComponent(link)}`,
     'leave'],
    ['a script', `javascript:open('${link}')`, 'leave'],
    ['a relative address', `/go?to=${link}`, 'leave'],
    ['a scheme only alike', 'thunderbird://x', 'leave'],
    ['no scheme separator', 'thunder:QUFodHRwOi8vaC9hLnppcFpa', 'leave'],
    ['an ordinary link', 'https://example.test/a.zip', 'leave'],
    ['nothing', '', 'leave'],
    ['as long as may be', `thunder://${'Q'.repeat(longest - 'thunder://'.length)}`, 'open'],
    ['longer than that', `thunder://${'Q'.repeat(longest - 'thunder://'.length + 1)}`, 'tooLong'],
    // Refused before it is read: a page cannot make the length check cheap by hiding the link.
    ['long and no link', 'h'.repeat(longest + 1), 'tooLong'],
  ];
  for (const [what, href, choice] of rows) assert.equal(rule('hrefChoice')(href), choice, what);
});

test('a link inside what a person writes is theirs', () => {
  // A stand-in for an element: where it is (`inside`, the selector its ancestors match), whether
  // it is editable itself, and its document's design mode.
  const element = ({editable = false, designMode = 'off', inside = null} = {}) => ({
    isContentEditable: editable,
    ownerDocument: {designMode},
    closest: (selector) => (inside !== null && selector.split(/,\s*/).includes(inside) ? {} : null),
  });
  const rows = [
    ['a link of the page', element(), false],
    ['in an editable element', element({editable: true}), true],
    ['in a document in design mode', element({designMode: 'on'}), true],
    ['in a text area', element({inside: 'textarea'}), true],
    ['in an input', element({inside: 'input'}), true],
    ['in a form that is no editor', element({inside: 'form'}), false],
  ];
  for (const [what, link, editable] of rows) {
    assert.equal(Boolean(rule('editableElement')(link)), editable, what);
  }
});

test('only an address a downloader takes is put into an href', () => {
  const rows = [
    // [what, the core's result, the address put in]
    ['http', ['c', 'http://h/a.zip', 'http://h/a.zip'], 'http://h/a.zip'],
    ['https, any case', ['c', 'x', 'HTTPS://h/a'], 'HTTPS://h/a'],
    ['ftp', ['c', 'x', 'ftp://h/a'], 'ftp://h/a'],
    ['a magnet', ['c', 'x', 'magnet:?xt=urn:btih:0'], 'magnet:?xt=urn:btih:0'],
    ['an ed2k link', ['c', 'x', 'ed2k://|file|a|1|0|/'], 'ed2k://|file|a|1|0|/'],
    ['a script', ['c', 'javascript:alert(1)', 'javascript:alert(1)'], null],
    ['a data address', ['c', 'x', 'data:text/html,<script>'], null],
    ['a scheme after space', ['c', 'x', ' http://h/'], null],
    ['no address', ['c', 'x'], null],
    ['no text', ['c', 'x', 7], null],
    ['a refusal', ['f', 'http://h/a', 'http://h/a'], null],
    ['a plain address', ['p', 'http://h/a', 'http://h/a'], null],
    ['nothing', ['b'], null],
  ];
  for (const [what, result, address] of rows) assert.equal(rule('openedAddress')(result), address, what);
});

test('a text is cut before each special link it holds, line by line', () => {
  const rows = [
    ['one link', 'thunder://QUFh', ['thunder://QUFh']],
    ['words before and after', '下载：thunder://QUFh 谢谢', ['thunder://QUFh 谢谢']],
    ['two on a line', 'a thunder://QUFh qqdl://aHR0 b', ['thunder://QUFh', 'qqdl://aHR0 b']],
    ['every kind of line end', 'flashget://x\r\nqqdl://y\u2028THUNDER://z\u2029qqdl%3A%2F%2Fw',
     ['flashget://x', 'qqdl://y', 'THUNDER://z', 'qqdl%3A%2F%2Fw']],
    ['inside an address', 'https://s.test/?q=thunder://QUFh', ['thunder://QUFh']],
    ['none', 'https://example.test/ thunder: qqdl', []],
    ['nothing', '', []],
  ];
  for (const [what, text, pieces] of rows) assert.deepEqual([...rule('specialPieces')(text)], pieces, what);
});
