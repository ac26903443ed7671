// The built extension in Debian's Firefox ESR, installed as a temporary add-on over WebDriver
// BiDi (puppeteer-core): the same page checks as in Chromium, on a plain page and under a
// strict policy, where Firefox runs the background as a page.
//   node firefox_test.js EXTENSION_DIR
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const path = require('node:path');
const puppeteer = require('puppeteer-core');
const {serve, linkTable} = require('./pages');
const {checkLinks, checkLater, waitUntil, patience} = require('./page_checks');

const built = path.resolve(process.argv[2]);

let server;
let origin;
let browser;
test.before(async () => {
  server = await serve();
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
         const frame = page.frames().find((f) => f.url().endsWith('/frame.html'));
         await waitUntil(frame, () => document.getElementById('inFrame').hasAttribute('data-zentrova-link'),
                         null, 'the frame\'s link to be opened');
         const utf8 = linkTable(origin).find(([id]) => id === 'utf8');
         assert.equal(await frame.evaluate(() => document.getElementById('inFrame').getAttribute('href')),
                      utf8[2].uri);
         await checkLater(page, origin);
         assert.deepEqual(problems, []);
         await page.close();
       });
}
