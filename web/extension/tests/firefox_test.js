// The built extension in Debian's Firefox ESR, installed as a temporary add-on over WebDriver
// BiDi (puppeteer-core): the same page checks as in Chromium, on a plain page and under a
// strict policy, where Firefox runs the background as a page.
//   node firefox_test.js EXTENSION_DIR
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const path = require('node:path');
const puppeteer = require('puppeteer-core');
const {serve, files} = require('./pages');
const {hostilePage, checkHostile, hugePage, hugeFrame, checkHuge, attackLinks,
       attackPage} = require('./hostile');
const {withAria2, attackOutcome} = require('./aria2c');
const {checkLinks, checkFrame, checkLater} = require('./page_checks');
const {patience, waitUntil} = require('../../tests/support/patience');

const built = path.resolve(process.argv[2]);
const {id, uuid, openExtensionPage} = require('./firefox_pages');

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

// The attack of a page on aria2, as in Chromium: Thunder links whose address is aria2's own
// JSON-RPC under the spellings of this machine, and a magnet whose tracker it is, sent from
// the popup to an aria2 run with `secret` (or none) that the options hold. Checks that nothing
// was written outside aria2's folder; returns the popup's notes, what aria2 holds once it
// answered, and what its folder holds once it is done.
async function attackAria2(secret) {
  return withAria2(secret, {proxy: origin}, async (aria2) => {
    const outcome = await attackOutcome(aria2, async (outside) => {
      const page = await browser.newPage();
      const extension = await browser.newPage();
      for (const p of [page, extension]) p.setDefaultTimeout(patience);
      try {
        await openExtensionPage(extension, 'options.html');
        await extension.evaluate((rpc, secret) => {
          document.getElementById('Rpc').value = rpc;
          document.getElementById('Secret').value = secret;
        }, aria2.rpc, secret);
        await extension.click('#Save');
        await waitUntil(extension, () => document.getElementById('Notes').textContent === 'Saved.',
                        null, 'aria2\'s address to be saved');
        const links = attackLinks(aria2.port, new URL(origin).port, outside, undefined, ['127.1']);
        attack = attackPage(links);
        await page.goto(`${origin}/attack.html`);
        await waitUntil(page, (id) => document.getElementById(id).hasAttribute('data-zentrova-link'),
                        `attack${links.attacks.length - 1}`, 'the post\'s links to be opened');
        const tab = await tabOf(extension, page.url());
        await openExtensionPage(extension, `popup.html?tab=${tab}`);
        await extension.click('#SendAria2');
        await waitUntil(extension, () => document.querySelector('#Notes p') !== null, null,
                        'aria2\'s answer');
        const notes = await extension.evaluate(
            () => [...document.querySelectorAll('#Notes p')].map((p) => p.textContent));
        return {notes, links};
      } finally {
        await extension.evaluate(() => browser.storage.local.remove(['rpc', 'secret']))
            .catch(() => {});
        await extension.close();
        await page.close();
      }
    });
    return {...outcome, rpc: aria2.rpc};
  });
}

test('send to aria2: an aria2 without a secret is sent nothing, and the popup says why',
     async () => {
       const {notes, held, written, rpc} = await attackAria2('');
       assert.deepEqual(notes, [
         `Nothing was sent: the aria2 at ${rpc} has no RPC secret, so any web page could give ` +
         'it orders through a link (add downloads, write files wherever aria2 may). Zentrova ' +
         'sends only to an aria2 that enforces a secret; the options say how to set one.']);
       assert.deepEqual(held, []);
       assert.deepEqual(written, {});
     });

test('send to aria2: no address on this machine is sent; the honest download still arrives',
     async () => {
       const {notes, held, written} = await attackAria2('zentrova-s3cret');
       assert.equal(notes[0], 'aria2 took 1 downloads.');
       assert.match(notes[1], /^5 downloads were not sent: their address is on this computer/);
       assert.deepEqual(held.map(({paths}) => paths.map((file) => path.basename(file))),
                        [['影片 一.mp4']]);
       assert.deepEqual(written, {'影片 一.mp4': files()[1].content});
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
