// Draws the README's pictures of the lists page, in a Chinese Chromium, after a posted list was
// converted (docs/screenshot-lists.png) and, with FORM, exported in that form, with what the
// export left out (docs/screenshot-lists-export.png, FORM aria2):
//   node lists_screenshot.js SITE_DIR OUT.png [FORM]
'use strict';
const path = require('node:path');
const {exportCases} = require('./export_cases');
const {launchChromium} = require('./support/chromium');
const {serveSite} = require('./support/servers');
const {listDone, exportButton, exportDone} = require('./support/lists_page');
const {runWithBrowser} = require('./support/browser_script');

const [site, out] = process.argv.slice(2, 4).map((file) => path.resolve(file));
const form = process.argv[4];
runWithBrowser(() => serveSite(site), launchChromium, async (server, browser) => {
  const context = await browser.newContext({viewport: {width: 800, height: 640}, locale: 'zh-CN',
                                            acceptDownloads: true});
  const tab = await context.newPage();
  await tab.goto(`${server.origin}/lists.html`);
  await tab.waitForSelector('html[data-ready]');
  const posted = exportCases.find((entry) => entry.list === 'posted.txt').bytes.toString();
  await tab.$eval('#ListIn', (box, text) => {
    box.value = text;
    box.dispatchEvent(new Event('input'));
  }, posted);
  await tab.click('#ListRun');
  await listDone(tab);
  if (form) {
    const download = tab.waitForEvent('download');
    await tab.click(exportButton[form]);
    await download;
    await exportDone(tab);
  }
  await tab.screenshot({path: out});
});
