// Draws the README's pictures of the lists page, in a Chinese Chromium, after a posted list was
// converted (docs/screenshot-lists.png) and, with FORM, exported in that form, with what the
// export left out (docs/screenshot-lists-export.png, FORM aria2):
//   node lists_screenshot.js SITE_DIR OUT.png [FORM]
'use strict';
const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const {chromium} = require('playwright-core');
const {exportCases} = require('./export_cases');

async function main() {
  const [site, out] = process.argv.slice(2, 4).map((file) => path.resolve(file));
  const form = process.argv[4];
  const server = http.createServer((request, response) => {
    const file = path.join(site, new URL(request.url, 'http://x').pathname);
    if (!file.startsWith(site + path.sep) || !fs.existsSync(file)) {
      response.writeHead(404).end();
      return;
    }
    const types = {'.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.css': 'text/css'};
    response.writeHead(200, {'Content-Type': types[path.extname(file)] || 'application/octet-stream'});
    fs.createReadStream(file).pipe(response);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const browser = await chromium.launch({executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
                                         args: ['--no-sandbox']});
  try {
    const context = await browser.newContext({viewport: {width: 800, height: 640}, locale: 'zh-CN',
                                              acceptDownloads: true});
    const tab = await context.newPage();
    await tab.goto(`http://127.0.0.1:${server.address().port}/lists.html`);
    await tab.waitForSelector('html[data-ready]');
    const posted = exportCases.find((entry) => entry.list === 'posted.txt').bytes.toString();
    await tab.$eval('#ListIn', (box, text) => {
      box.value = text;
      box.dispatchEvent(new Event('input'));
    }, posted);
    await tab.click('#ListRun');
    await tab.waitForSelector('html[data-list-run="done"]', {state: 'attached'});
    if (form) {
      const download = tab.waitForEvent('download');
      await tab.click({aria2: '#ListExportAria2', ef2: '#ListExportEf2', json: '#ListExportJson'}[form]);
      await download;
      await tab.waitForSelector('html[data-list-export="done"]', {state: 'attached'});
    }
    await tab.screenshot({path: out});
  } finally {
    await browser.close();
    server.close();
  }
}

main().catch((error) => {
  console.error(error);
  process.exitCode = 1;
});
