// The built extension in Debian's Firefox ESR, installed as a temporary add-on over WebDriver
// BiDi (puppeteer-core): the same page checks as in Chromium, on a plain page and under a
// strict policy, where Firefox runs the background as a page.
//   node firefox_test.js EXTENSION_DIR
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const puppeteer = require('puppeteer-core');
const {serve, files} = require('./pages');
const {hostilePage, checkHostile, hugePage, hugeFrame, checkHuge, attackLinks,
       attackPage} = require('./hostile');
const {startAria2} = require('./aria2');
const {checkLinks, checkFrame, checkLater} = require('./page_checks');
const {patience, waitFor, waitUntil} = require('../../tests/support/patience');

const built = path.resolve(process.argv[2]);
const id = 'zentrova@ovrani.example';
// The extension's pages are reached at an address fixed for the test's profile.
const uuid = '5b1e4c1a-6f0e-4c38-9d1e-7c1a2b3c4d5e';
const extensionUrl = (file) => `moz-extension://${uuid}/${file}`;

// Opens the extension's page `file` in `page`. Firefox loads it in another process, where the
// navigation never reports its end over BiDi: the page is waited for until it says it is ready.
async function openExtensionPage(page, file) {
  const url = extensionUrl(file);
  page.goto(url).catch(() => {});
  await waitFor(() => page.evaluate(
      (url) => location.href === url && document.documentElement.dataset.ready !== undefined,
      url).catch(() => false), file);
}

// The extension's id of the tab showing `url`, asked from the extension's page `extension`.
const tabOf = (extension, url) => extension.evaluate(async (url) => {
  for (const tab of await browser.tabs.query({})) {
    const frame = await browser.webNavigation.getFrame({tabId: tab.id, frameId: 0});
    if (frame && frame.url === url) return tab.id;
  }
  return null;
}, url);

let server;
let origin;
let browser;
// The aria2 attack's page, made once its aria2 runs.
let attack = null;
test.before(async () => {
  server = await serve({'/hostile.html': hostilePage, '/huge.html': hugePage,
                        '/huge-frame.html': () => hugeFrame(16), '/attack.html': () => attack});
  origin = `http://127.0.0.1:${server.address().port}`;
  // The extension's pages are opened as a person opens them, which BiDi allows only with
  // system access; a request for more access is granted at the click, as a person who clicks
  // "Allow" grants it.
  browser = await puppeteer.launch({
    browser: 'firefox', headless: true, timeout: patience, protocolTimeout: patience,
    executablePath: process.env.FIREFOX || '/usr/bin/firefox-esr',
    args: ['--remote-allow-system-access'],
    extraPrefsFirefox: {'extensions.webextensions.uuids': JSON.stringify({[id]: uuid}),
                        'extensions.webextOptionalPermissionPrompts': false}});
  assert.equal(await browser.installExtension(built), id);
});
test.after(async () => {
  await browser.close();
  server.close();
});

for (const name of ['plain.html', 'strict.html']) {
  test(`${name}: every link form opened in place or refused, in frames, areas and when added later`,
       async () => {
         const page = await browser.newPage();
         page.setDefaultTimeout(patience);
         const problems = [];
         page.on('pageerror', (error) => problems.push(error.message));
         page.on('dialog', (dialog) => {
           problems.push(`a dialog: ${dialog.message()}`);
           dialog.dismiss();
         });
         await page.goto(`${origin}/${name}`);
         await checkLinks(page, origin);
         await checkFrame(page, origin);
         await checkLater(page, origin);
         assert.deepEqual(problems, []);
         await page.close();
       });
}

test('a hostile page: editors, links that only carry one, a planted mark and shadow roots',
     async () => {
       const page = await browser.newPage();
       page.setDefaultTimeout(patience);
       await checkHostile(page, origin);
       await page.close();
     });

test('frames holding hrefs of many megabytes are left alone, and other tabs are served',
     async () => {
       const huge = await browser.newPage();
       const other = await browser.newPage();
       for (const page of [huge, other]) page.setDefaultTimeout(patience);
       await checkHuge(huge, other, origin);
       await huge.close();
       await other.close();
     });

// The attack of a page on an aria2 that runs without a secret, as in Chromium: Thunder links
// whose address is aria2's own JSON-RPC under the spellings of this machine.
test('send to aria2: no address on this machine is sent; the honest download still arrives',
     async () => {
       const aria2 = await startAria2('', {proxy: origin});
       const outside = fs.mkdtempSync(path.join(os.tmpdir(), 'zentrova-outside-'));
       const page = await browser.newPage();
       const extension = await browser.newPage();
       for (const p of [page, extension]) p.setDefaultTimeout(patience);
       try {
         await openExtensionPage(extension, 'options.html');
         await extension.evaluate((rpc) => {
           document.getElementById('Rpc').value = rpc;
           document.getElementById('Secret').value = '';
         }, aria2.rpc);
         await extension.click('#Save');
         await waitUntil(extension, () => document.getElementById('Notes').textContent === 'Saved.',
                         null, 'aria2\'s address to be saved');
         attack = attackPage(attackLinks(aria2.port, new URL(origin).port, outside));
         await page.goto(`${origin}/attack.html`);
         await waitUntil(page, () => document.getElementById('attack3')
                                         .hasAttribute('data-zentrova-link'),
                         null, 'the post\'s links to be opened');
         const tab = await tabOf(extension, page.url());
         await openExtensionPage(extension, `popup.html?tab=${tab}`);
         await extension.click('#SendAria2');
         await waitUntil(extension, () => document.querySelector('#Notes p') !== null, null,
                         'aria2\'s answer');
         const notes = await extension.evaluate(
             () => [...document.querySelectorAll('#Notes p')].map((p) => p.textContent));
         assert.equal(notes[0], 'aria2 took 1 downloads.');
         assert.match(notes[1], /^4 downloads were not sent: their address is on this computer/);
         await aria2.settled();
         assert.deepEqual(fs.readdirSync(outside), [], 'nothing written outside aria2\'s folder');
         assert.deepEqual(fs.readdirSync(aria2.dir), ['影片 一.mp4']);
         assert.deepEqual(fs.readFileSync(path.join(aria2.dir, '影片 一.mp4')), files()[1].content);
       } finally {
         await extension.evaluate(() => browser.storage.local.remove(['rpc', 'secret']))
             .catch(() => {});
         await extension.close();
         await page.close();
         await aria2.stop();
         fs.rmSync(outside, {recursive: true, force: true});
       }
     });

// Last: it leaves the extension with access to 127.0.0.1 alone, as the person gave it.
test('a site whose access was withdrawn: the popup says so and asks for it from a click',
     async () => {
       const page = await browser.newPage();
       const extension = await browser.newPage();
       for (const p of [page, extension]) p.setDefaultTimeout(patience);
       const marked = () => document.getElementById('opened').hasAttribute('data-zentrova-link');
       await page.goto(`${origin}/hostile.html`);
       await waitUntil(page, marked, null, 'the link to be opened while access is given');
       await openExtensionPage(extension, 'options.html');
       assert.equal(await extension.evaluate(
           () => browser.permissions.remove({origins: ['<all_urls>']})), true);
       await page.reload();
       const tab = await tabOf(extension, page.url());
       assert.ok(Number.isInteger(tab), 'the page has a tab');

       await openExtensionPage(extension, `popup.html?tab=${tab}`);
       assert.equal(await extension.evaluate(() => document.getElementById('Summary').textContent),
                    `Zentrova may not read this site (${origin}): its access to sites was ` +
                    'withheld or withdrawn in the browser, so no link here is opened or listed.');
       assert.equal(await extension.evaluate(() => document.getElementById('AskAccess').hidden),
                    false);
       assert.equal(await page.evaluate(marked), false, 'no link is opened without access');

       await extension.click('#AskAccess');
       await waitUntil(extension, () => document.querySelector('#Notes p') !== null, null,
                       'the answer to the request');
       assert.equal(await extension.evaluate(() => document.getElementById('Notes').textContent),
                    'Allowed: reload the page to have its links opened.');
       assert.equal(await extension.evaluate(() => document.getElementById('AskAccess').hidden),
                    true);
       // The access given is the one the page needs: reloaded, its links are opened.
       await page.reload();
       await waitUntil(page, marked, null, 'the link to be opened once access is given again');
       await extension.close();
       await page.close();
     });
