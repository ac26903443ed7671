// The web pages' size and speed, in Debian's Chromium through playwright-core:
//   node bench/web_pages.js [SITE_DIR] [RUNS]     (SITE_DIR: build/web/site)
// Prints what a visitor downloads (each file and all, gzipped), from navigation to the first
// conversion answered (served from 127.0.0.1, fresh context each run), and lists.html over
// 100,000 mixed lines; medians of RUNS.
'use strict';
const fs = require('node:fs');
const path = require('node:path');
const zlib = require('node:zlib');
const {launchChromium} = require('../web/tests/support/chromium');
const {serveSite} = require('../web/tests/support/servers');

const site = path.resolve(process.argv[2] || 'build/web/site');
const runs = Number(process.argv[3] || 7);
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

function sizes() {
  let total = 0;
  const walk = (folder) => {
    for (const entry of fs.readdirSync(folder, {withFileTypes: true})) {
      const file = path.join(folder, entry.name);
      if (entry.isDirectory()) {
        walk(file);
        continue;
      }
      const gzipped = zlib.gzipSync(fs.readFileSync(file), {level: 9}).length;
      total += gzipped;
      console.log(`  ${path.relative(site, file).padEnd(24)} ${String(gzipped).padStart(8)} bytes gzipped`);
    }
  };
  walk(site);
  console.log(`everything a visitor downloads: ${(total / 1000).toFixed(1)} KB gzipped`);
}

async function main() {
  sizes();
  const server = await serveSite(site);
  const origin = server.origin;
  const browser = await launchChromium();

  const firstAnswers = [];
  for (let i = 0; i < runs; ++i) {
    const context = await browser.newContext();
    await context.grantPermissions(['clipboard-read', 'clipboard-write'], {origin});
    const page = await context.newPage();
    await page.goto(`${origin}/index.html`, {waitUntil: 'commit'});
    // Clicks the button as soon as the window stands, and reads the clock when TxtOut answers;
    // performance.now() counts from the navigation's start.
    firstAnswers.push(await page.evaluate(() => new Promise((resolve) => {
      const go = () => {
        if (document.documentElement.dataset.ready !== 'true') return setTimeout(go, 0);
        const out = document.getElementById('TxtOut');
        document.getElementById('TxtRes').value = 'http://a/b';
        document.getElementById('cmdEncodeToFG').click();
        const wait = () => (out.value ? resolve(performance.now()) : setTimeout(wait, 0));
        wait();
      };
      go();
    })));
    await context.close();
  }
  console.log(`navigation to the first conversion answered: median ${median(firstAnswers).toFixed(0)} ms` +
              ` (runs: ${firstAnswers.map((t) => t.toFixed(0)).join(', ')})`);

  const kinds = ['thunder://QUFodHRwOi8vYS9iWlo=', '下载: flashget://aHR0cDovL2EvYg==&abc 谢谢',
                 'http://plain/x', '谢谢楼主', 'qqdl://aHR0cDovL2EvYg==',
                 '<a href="thunder://QUFodHRwOi8vYS/W0Fpa">中</a>'];
  const list = Array.from({length: 100000}, (_, i) => kinds[i % kinds.length]).join('\n');
  const page = await (await browser.newContext()).newPage();
  await page.goto(`${origin}/lists.html`);
  await page.waitForSelector('html[data-ready]');
  await page.evaluate((text) => { document.getElementById('ListIn').value = text; }, list);
  const listTimes = [];
  for (let i = 0; i < Math.min(runs, 5); ++i) {
    listTimes.push(await page.evaluate(() => new Promise((resolve) => {
      const start = performance.now();
      document.getElementById('ListRun').click();
      // Until the worker's last piece is shown, laid out and painted.
      const wait = () => (document.documentElement.dataset.listRun === 'done'
        ? requestAnimationFrame(() => setTimeout(() => resolve(performance.now() - start), 0))
        : setTimeout(wait, 0));
      wait();
    })));
  }
  console.log(`lists.html, 100,000 mixed lines: median ${median(listTimes).toFixed(0)} ms` +
              ` (runs: ${listTimes.map((t) => t.toFixed(0)).join(', ')}); ` +
              (await page.textContent('#ListSummary')));
  await browser.close();
  server.close();
}

main();
