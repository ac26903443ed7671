// The popup's "Check links" in Debian's Firefox ESR (puppeteer-core over WebDriver BiDi), in
// English, on the post of chromium_check_test.js: Firefox runs the check in its background page
// and grants the request for the sites at the click, as a person who clicks "Allow" does.
// Every host the post names is reached through the test's server as Firefox's proxy, which
// never carries this machine's own addresses.
//   node firefox_check_test.js EXTENSION_DIR
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const path = require('node:path');
const puppeteer = require('puppeteer-core');
const {checkServers, magnet, ed2k, askedOf, askedByTheCheck} = require('./check_pages');
const {patience, waitUntil} = require('../../tests/support/patience');

const built = path.resolve(process.argv[2]);
const {id, uuid, openExtensionPage} = require('./firefox_pages');

let servers;
let browser;
test.before(async () => {
  servers = await checkServers();
  const {port} = new URL(servers.proxy);
  browser = await puppeteer.launch({
    browser: 'firefox', headless: true, timeout: patience, protocolTimeout: patience,
    executablePath: process.env.FIREFOX || '/usr/bin/firefox-esr',
    args: ['--remote-allow-system-access'],
    extraPrefsFirefox: {'extensions.webextensions.uuids': JSON.stringify({[id]: uuid}),
                        'extensions.webextOptionalPermissionPrompts': false,
                        'network.proxy.type': 1, 'network.proxy.http': '127.0.0.1',
                        'network.proxy.http_port': Number(port),
                        'network.proxy.allow_hijacking_localhost': false}});
  assert.equal(await browser.installExtension(built), id);
});
test.after(async () => {
  await browser.close();
  servers.close();
});

test('"Check links" judges each address in Firefox, and asks nothing of this machine or a ' +
     'private network', async () => {
  const {origin, here} = servers;
  const page = await browser.newPage();
  const extension = await browser.newPage();
  for (const p of [page, extension]) p.setDefaultTimeout(patience);
  await page.goto(`${origin}/check.html`);
  await waitUntil(page, () => document.getElementById('magnet').hasAttribute('data-zentrova-link'),
                  null, 'the post\'s links to be opened');
  await openExtensionPage(extension, 'options.html');
  const tab = await extension.evaluate(async (url) => {
    for (const tab of await browser.tabs.query({})) {
      const frame = await browser.webNavigation.getFrame({tabId: tab.id, frameId: 0});
      if (frame && frame.url === url) return tab.id;
    }
    return null;
  }, page.url());
  await openExtensionPage(extension, `popup.html?tab=${tab}`);
  assert.equal(await extension.evaluate(() => document.getElementById('CheckLinks').textContent),
               'Check links');
  await extension.click('#CheckLinks');
  await waitUntil(extension, () => {
    const verdicts = [...document.querySelectorAll('#Links .verdict')];
    return verdicts.length > 0 && verdicts.every((v) => v.dataset.state) &&
           !document.getElementById('CheckLinks').disabled;
  }, null, 'every verdict');
  const lines = Object.fromEntries(await extension.evaluate(() => [...document.querySelectorAll('#Links li')]
      .map((row) => [row.querySelector('.address').textContent, row.querySelector('.verdict').textContent])));

  const thisMachine = '× refused: the address leads to this machine: nothing was asked';
  const peers = '? unknown: found through peers, not a server: not checked';
  assert.deepEqual(lines, {
    'http://files.test/files/a.zip': '✓ alive (2.9 KiB, application/zip)',
    'http://files.test/gone/404.zip': '× dead: the server no longer has the file (404)',
    'http://files.test/gone/410.rar': '× dead: the server no longer has the file (410)',
    'http://nohead.test/big.iso': '✓ alive (117.7 MiB, application/octet-stream)',
    'http://removed.test/film/movie.mkv': '× dead: a web page answered where the address names a file (200)',
    'http://short.test/r/1': '✓ alive (48.8 KiB, video/mp4) → http://files.test/files/b.mp4',
    'http://short.test/to-here':
        `× refused: the address redirects to this machine: its answer was not used → ${here}/secret`,
    [`${here}/direct.zip`]: thisMachine,
    [`${here.replace('127.0.0.1', 'localhost')}/direct.zip`]: thisMachine,
    'http://10.0.0.1/router.zip': '× refused: the address leads to a private network: nothing was asked',
    [ed2k]: peers,
    [magnet]: peers,
  });
  assert.deepEqual(await extension.evaluate(() => document.getElementById('Notes').textContent),
                   '12 addresses checked: 3 download, 3 no longer do, 2 unknown, 4 not asked ' +
                   '(this computer or a private network).');
  assert.deepEqual(askedOf(servers), askedByTheCheck);
  assert.deepEqual(servers.trapped, [{method: 'HEAD', path: '/secret'}]);
  await extension.close();
  await page.close();
});
