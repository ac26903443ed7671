// The built extension in Debian's Firefox ESR, installed as a temporary add-on over WebDriver
// BiDi (puppeteer-core): the same page checks as in Chromium, on a plain page and under a
// strict policy, where Firefox runs the background as a page.
//   node firefox_test.js EXTENSION_DIR
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const path = require('node:path');
const puppeteer = require('puppeteer-core');
const {serve} = require('./pages');
const {hostilePage, checkHostile, hugePage, hugeFrame, checkHuge} = require('./hostile');
const {checkLinks, checkFrame, checkLater, patience} = require('./page_checks');

const built = path.resolve(process.argv[2]);

let server;
let origin;
let browser;
test.before(async () => {
  server = await serve({'/hostile.html': hostilePage, '/huge.html': hugePage,
                        '/huge-frame.html': () => hugeFrame(16)});
  origin = `http://127.0.0.1:${server.address().port}`;
  browser = await puppeteer.launch({browser: 'firefox', headless: true, timeout: patience,
                                    protocolTimeout: patience,
                                    executablePath: process.env.FIREFOX || '/usr/bin/firefox-esr'});
  assert.equal(await browser.installExtension(built), 'zentrova@ovrani.example');
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
