// The browser extension's speed, in Debian's Chromium through playwright-core:
//   node bench/extension.js [EXTENSION_DIR] [RUNS]     (EXTENSION_DIR: build/web/extension)
// A page with 10,000 special links (Thunder, FlashGet and QQ links to ASCII, GBK and UTF-8
// addresses): from the page's load event to the moment the last of its links is opened, the
// first time (the background's core started by that page) and the median of RUNS more. Pages
// with no special link: the content script's own work on a small page and on a page with
// 5,000 ordinary links and 1 MB of text, up to the page's load (the script
// run in the page as the browser runs it, its messaging stood in for, which a page with none
// never uses); medians of RUNS.
'use strict';
const fs = require('node:fs');
const path = require('node:path');
const {launchChromium, launchWithExtension} = require('../web/tests/support/chromium');
const {listen} = require('../web/tests/support/servers');
const {runWithBrowser} = require('../web/tests/support/browser_script');
const {thunder, qqdl, flashget, gbk} = require('../web/extension/tests/links');

const extension = path.resolve(process.argv[2] || 'build/web/extension');
const runs = Number(process.argv[3] || 9);
const count = 10000;
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const html = (text) => text.replace(/&/g, '&amp;').replace(/"/g, '&quot;').replace(/</g, '&lt;');

// Notes in the page, before anything else runs, when it loaded and when its last special link
// was opened.
const watcher = `<script>
window.benchLoad = null; window.benchDone = null;
addEventListener('load', () => { benchLoad = performance.now(); });
new MutationObserver(() => {
  if (benchDone === null && document.querySelectorAll('a[data-zentrova-link]').length === ${count}) {
    benchDone = performance.now();
  }
}).observe(document, {subtree: true, attributes: true, attributeFilter: ['href']});
</script>`;

function manyLinks(origin) {
  const makers = [
    (i) => thunder(`${origin}/files/${i}.zip`),
    (i) => thunder(gbk(`${origin}/files/电影 第${i}集.mkv`)),
    (i) => qqdl(`${origin}/files/影片${i}.mp4`),
    (i) => flashget(`${origin}/files/${i}.rar`, true),
    (i) => `下载 ${i}`,  // text between the links, as a forum post has
  ];
  const rows = [];
  for (let i = 0; rows.length < count; ++i) {
    const maker = makers[i % 4];
    rows.push(`<li><a href="${html(maker(i))}">第 ${i} 个</a> ${makers[4](i)}</li>`);
  }
  return `<!DOCTYPE html><meta charset="utf-8"><title>many</title>${watcher}<ol>${rows.join('')}</ol>`;
}

function noLinks(big) {
  if (!big) return '<!DOCTYPE html><meta charset="utf-8"><title>none</title><p>Nothing special.</p>';
  const rows = [];
  for (let i = 0; i < 5000; ++i) {
    rows.push(`<li><a href="https://example.com/articles/${i}.html">文章 ${i}</a> ${'正文文字 text '.repeat(14)}</li>`);
  }
  return `<!DOCTYPE html><meta charset="utf-8"><title>none</title><ol>${rows.join('')}</ol>`;
}

// Opens the page of many links RUNS + 1 times in `browser`; returns the times from each load to
// its last link opened.
async function timeOpening(browser, origin) {
  const opened = [];
  for (let run = 0; run <= runs; ++run) {
    const tab = await browser.context.newPage();
    await tab.goto(`${origin}/many.html`);
    await tab.waitForFunction(() => window.benchDone !== null && window.benchLoad !== null,
                              null, {timeout: 120000, polling: 50});
    opened.push(await tab.evaluate(() => benchDone - benchLoad));
    await tab.close();
  }
  return opened;
}

// Run in the page: the content script's `source` as the browser runs it on a page with no
// special link, its messaging stood in for (a page with none never uses it) and every call
// into it timed.
function timed(source) {
  window.benchSpent = 0;
  window.benchSent = 0;
  const clock = (work) => function(...args) {
    const start = performance.now();
    try {
      return work.apply(this, args);
    } finally {
      window.benchSpent += performance.now() - start;
    }
  };
  class Observer extends MutationObserver {
    constructor(callback) { super(clock(callback)); }
  }
  const stand = {runtime: {id: 'x', sendMessage: () => { ++window.benchSent; return new Promise(() => {}); },
                           onMessage: {addListener: () => {}}}};
  clock(new Function('globalThis', 'MutationObserver', source.replace(/^'use strict';/gm, '')))(
      {chrome: stand}, Observer);
}

// The content script's work on the page `name` up to its load, RUNS times; returns the times.
async function timeContentScript(plain, origin, name) {
  // The content scripts the manifest lists, one after another, as the browser runs them.
  const manifest = JSON.parse(fs.readFileSync(path.join(extension, 'manifest.json'), 'utf8'));
  const script = manifest.content_scripts[0].js
                     .map((file) => fs.readFileSync(path.join(extension, file), 'utf8')).join('\n');
  const times = [];
  for (let run = 0; run < runs; ++run) {
    const page = await plain.newPage();
    // Where the browser runs it: once the document is parsed (run_at document_end).
    await page.addInitScript(`document.addEventListener('DOMContentLoaded', () => (${timed})(${
        JSON.stringify(script)}), {capture: true, once: true});`);
    await page.goto(`${origin}${name}`, {waitUntil: 'load'});
    const [spent, sent] = await page.evaluate(() => [benchSpent, benchSent]);
    if (sent) throw new Error('a page with no special link sent a message');
    times.push(spent);
    await page.close();
  }
  return times;
}

const stats = (times, digits) =>
  `median ${median(times).toFixed(digits)} ms (min ${Math.min(...times).toFixed(digits)}, ` +
  `max ${Math.max(...times).toFixed(digits)})`;

const serve = () => listen((request, response, origin) => {
  const pages = {'/many.html': () => manyLinks(origin), '/none.html': () => noLinks(false),
                 '/big-none.html': () => noLinks(true)};
  const page = pages[new URL(request.url, origin).pathname];
  if (!page) return response.writeHead(404).end();
  response.writeHead(200, {'Content-Type': 'text/html; charset=utf-8'}).end(page());
});
runWithBrowser(serve, () => launchWithExtension(extension), async (server, browser) => {
  const opened = await timeOpening(browser, server.origin);
  console.log(`${count} special links, from the page's load to the last opened: ` +
              `first ${opened[0].toFixed(1)} ms, then ${stats(opened.slice(1), 1)}`);
  const plain = await launchChromium();
  try {
    for (const [name, what] of [['/none.html', 'a small page'],
                                ['/big-none.html', '5,000 ordinary links and 1 MB of text']]) {
      const times = await timeContentScript(plain, server.origin, name);
      console.log(`no special link, ${what}: the content script's work up to the ` +
                  `page's load, ${stats(times, 2)}`);
    }
  } finally {
    await plain.close();
  }
});
