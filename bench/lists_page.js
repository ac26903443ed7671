// lists.html over a 100 MB list, in Debian's Chromium through playwright-core:
//   node bench/lists_page.js [SITE_DIR] [MEGABYTES]     (SITE_DIR: build/web/site; 100)
// Opens the page from 127.0.0.1, gives it a list file of mixed lines (links to open, plain
// addresses, chatter) and prints: the time from the file's choice to the summary; the page's
// longest pause while converting (the longest gap between animation frames, and the longest
// task the browser reports); and the peak memory: of the page's renderer process, which runs
// the worker too (resident set, sampled every 50 ms from /proc), and the page's JavaScript
// heap (sampled through the DevTools protocol).
'use strict';
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const {chromium, executablePath} = require('../web/tests/support/chromium');
const {serveSite} = require('../web/tests/support/servers');

const site = path.resolve(process.argv[2] || 'build/web/site');
const megabytes = Number(process.argv[3] || 100);

function listFile() {
  const kinds = ['thunder://QUFodHRwOi8vYS9iWlo=', '下载: flashget://aHR0cDovL2EvYg==&abc 谢谢',
                 'http://plain/x', '谢谢楼主', 'qqdl://aHR0cDovL2EvYg==',
                 '<a href="thunder://QUFodHRwOi8vYS/W0Fpa">中</a>'];
  const block = Buffer.from(Array.from({length: 6000}, (_, i) => kinds[i % kinds.length] + '\n').join(''));
  const file = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'lists-bench-')), 'list.txt');
  const out = fs.openSync(file, 'w');
  let lines = 0;
  for (let size = 0; size < megabytes * 1e6; size += block.length, lines += 6000) fs.writeSync(out, block);
  fs.closeSync(out);
  return {file, lines, size: fs.statSync(file).size};
}

// The resident set of every renderer process under the browser's, in bytes.
function rendererMemory(browserPid) {
  let total = 0;
  for (const pid of fs.readdirSync('/proc').filter((name) => /^\d+$/.test(name))) {
    try {
      const command = fs.readFileSync(`/proc/${pid}/cmdline`, 'utf8');
      if (!command.includes('--type=renderer')) continue;
      const parent = Number(fs.readFileSync(`/proc/${pid}/stat`, 'utf8').split(') ')[1].split(' ')[1]);
      if (parent !== browserPid && !isDescendant(parent, browserPid)) continue;
      const rss = fs.readFileSync(`/proc/${pid}/status`, 'utf8').match(/VmRSS:\s+(\d+) kB/);
      if (rss) total += Number(rss[1]) * 1024;
    } catch (error) {
      // A process that ended meanwhile.
    }
  }
  return total;
}

function isDescendant(pid, ancestor) {
  for (let at = pid, steps = 0; at > 1 && steps < 20; ++steps) {
    if (at === ancestor) return true;
    at = Number(fs.readFileSync(`/proc/${at}/stat`, 'utf8').split(') ')[1].split(' ')[1]);
  }
  return false;
}

const mb = (bytes) => (bytes / 1048576).toFixed(0) + ' MiB';

// Run in the page before its scripts: the pause monitor, frames and long tasks from the file's
// choice to the run's end.
function pauseMonitor() {
  window.bench = {gaps: [], longTask: 0};
  new PerformanceObserver((entries) => {
    for (const entry of entries.getEntries()) window.bench.longTask = Math.max(window.bench.longTask, entry.duration);
  }).observe({entryTypes: ['longtask']});
  addEventListener('change', () => {
    window.bench.start = performance.now();
    let last = performance.now();
    const frame = (now) => {
      window.bench.gaps.push(now - last);
      last = now;
      if (document.documentElement.dataset.listRun === 'done') {
        window.bench.end = performance.now();
        return;
      }
      requestAnimationFrame(frame);
    };
    requestAnimationFrame(frame);
  }, true);
}

// Samples every 50 ms, until stop() is awaited, the renderers' memory under the browser's
// process and the page's JavaScript heap (through `cdp`); stop() resolves to their peaks.
function sampleMemory(browserPid, cdp) {
  const peaks = {before: rendererMemory(browserPid), heap: 0};
  peaks.renderer = peaks.before;
  let sampling = true;
  const sampler = (async () => {
    while (sampling) {
      peaks.renderer = Math.max(peaks.renderer, rendererMemory(browserPid));
      const {metrics} = await cdp.send('Performance.getMetrics');
      peaks.heap = Math.max(peaks.heap, metrics.find((m) => m.name === 'JSHeapUsedSize').value);
      await new Promise((resolve) => setTimeout(resolve, 50));
    }
  })();
  return {stop: async () => {
    sampling = false;
    await sampler;
    return peaks;
  }};
}

async function main() {
  const list = listFile();
  console.log(`list: ${(list.size / 1e6).toFixed(1)} MB, ${list.lines} lines`);
  const server = await serveSite(site);
  const browserServer = await chromium.launchServer({executablePath, args: ['--no-sandbox']});
  const browserPid = browserServer.process().pid;
  const browser = await chromium.connect(browserServer.wsEndpoint());
  const context = await browser.newContext({locale: 'zh-CN'});
  await context.addInitScript(pauseMonitor);
  const page = await context.newPage();
  const cdp = await context.newCDPSession(page);
  await cdp.send('Performance.enable');
  await page.goto(`${server.origin}/lists.html`);
  await page.waitForSelector('html[data-ready]');
  const memory = sampleMemory(browserPid, cdp);
  await page.setInputFiles('#ListFile', list.file);
  await page.waitForFunction(() => window.bench.end, null, {timeout: 0, polling: 200});
  const peaks = await memory.stop();
  const bench = await page.evaluate(() => window.bench);
  const gaps = bench.gaps.slice(1);  // the first frame waits on the file's choice itself
  console.log(`converted: ${((bench.end - bench.start) / 1000).toFixed(2)} s; ` +
              (await page.textContent('#ListSummary')) + (await page.textContent('#ListNote')));
  console.log(`longest pause of the page while converting: ${Math.max(...gaps).toFixed(0)} ms between ` +
              `frames (${gaps.length} frames, median ${[...gaps].sort((a, b) => a - b)[gaps.length >> 1].toFixed(0)} ms); ` +
              `longest task reported: ${bench.longTask.toFixed(0)} ms`);
  console.log(`memory: renderer (page and worker) ${mb(peaks.before)} before, peak ${mb(peaks.renderer)}; ` +
              `page's JavaScript heap peak ${mb(peaks.heap)}`);
  await browser.close();
  await browserServer.close();
  server.close();
  fs.rmSync(path.dirname(list.file), {recursive: true});
}

main();
