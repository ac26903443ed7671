// The pages in a real browser (Debian's Chromium, driven by playwright-core), served from a
// local server on 127.0.0.1 and opened from disk, used as a person would: keys, clicks and the
// clipboard.
//   node pages_test.js SITE_DIR
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const {chromium} = require('playwright-core');
const {workedExamples, refusedSources} = require('./examples');
const {exportCases, nativeCli, runCli} = require('./export_cases');

const site = path.resolve(process.argv[2]);
// Bounds a failure only: every wait ends as soon as its condition holds.
const patience = Number(process.env.ZENTROVA_PATIENCE || 60) * 1000;

const kinds = {'.html': 'text/html; charset=utf-8', '.js': 'text/javascript; charset=utf-8',
               '.css': 'text/css; charset=utf-8', '.png': 'image/png', '.ico': 'image/x-icon'};

function serve() {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = path.join(site, name === '/' ? 'index.html' : name);
    if (!file.startsWith(site + path.sep) || !fs.existsSync(file)) {
      response.writeHead(404).end();
      return;
    }
    const extra = new URL(request.url, 'http://x').searchParams.get('headers');
    response.writeHead(200, {'Content-Type': kinds[path.extname(file)] || 'application/octet-stream',
                             ...(extra ? JSON.parse(extra) : {})});
    fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

let browser;
let server;
let origin;
test.before(async () => {
  browser = await chromium.launch({executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
                                   args: ['--no-sandbox']});
  server = await serve();
  origin = `http://127.0.0.1:${server.address().port}`;
});
test.after(async () => {
  await browser.close();
  server.close();
});

// Opens `page` ("index.html", "lists.html") from the server or from disk in a fresh browser
// context (a Chinese browser unless `locale` says otherwise; `device` gives a phone's settings);
// `requests` collects every address the page asks for, `messages` every console message and
// uncaught error, which `close` finds none of. `before` runs in the page before its scripts.
async function open(page, {fromDisk = false, clipboard = true, viewport, locale = 'zh-CN', device,
                           before, headers} = {}) {
  const context = await browser.newContext(
      {viewport: viewport || {width: 800, height: 500}, locale, ...device});
  if (clipboard) {
    await context.grantPermissions(['clipboard-read', 'clipboard-write'],
                                   fromDisk ? undefined : {origin});
  }
  if (before) await context.addInitScript(before);
  const tab = await context.newPage();
  tab.setDefaultTimeout(patience);
  const requests = [];
  const messages = [];
  tab.on('request', (request) => requests.push(request.url()));
  tab.on('console', (message) => messages.push(`console ${message.type()}: ${message.text()}`));
  tab.on('pageerror', (error) => messages.push(`uncaught: ${error.message}`));
  const query = headers ? '?' + new URLSearchParams({headers: JSON.stringify(headers)}) : '';
  await tab.goto(fromDisk ? 'file://' + path.join(site, page) : `${origin}/${page}${query}`);
  await tab.waitForSelector('html[data-ready]');
  return {tab, context, requests, messages};
}

// Closes a page opened by `open`, which must have said nothing on the console.
async function close({context, messages}, expected = []) {
  assert.deepEqual(messages, expected);
  await context.close();
}

const setClipboard = (tab, text) => tab.evaluate((t) => navigator.clipboard.writeText(t), text);
const clipboard = (tab) => tab.evaluate(() => navigator.clipboard.readText());
const waitForClipboard = (tab, expected) =>
  tab.waitForFunction(async (e) => (await navigator.clipboard.readText()) === e, expected,
                      {polling: 50});

// Once About has come and gone, every command asked for before it has finished: the page runs
// them one at a time.
async function about(tab) {
  await tab.keyboard.press('Alt+A');
  await tab.waitForSelector('#MessageBox:not([hidden])');
  await tab.keyboard.press('Enter');
  await tab.waitForSelector('#MessageBox[hidden]', {state: 'attached'});
}

for (const fromDisk of [false, true]) {
  const where = fromDisk ? 'opened from disk' : 'served';
  test(`${where}: the worked examples through the input box and through the clipboard`, async () => {
    const opened = await open('index.html', {fromDisk});
    const {tab, requests} = opened;
    for (const [button, source, expected] of workedExamples) {
      await tab.fill('#TxtRes', '');
      await setClipboard(tab, source);
      await tab.click('#' + button);
      await waitForClipboard(tab, expected);
      assert.equal(await tab.inputValue('#TxtOut'), expected, `${button} of the clipboard's ${source}`);

      await setClipboard(tab, 'not a link');
      await tab.click('#TxtRes');
      await tab.keyboard.type(source);
      await tab.click('#' + button);
      await waitForClipboard(tab, expected);
      assert.equal(await tab.inputValue('#TxtOut'), expected, `${button} of the typed ${source}`);
    }
    // Nothing is asked of any other host, and after loading nothing at all.
    const local = fromDisk ? /^(file|data):/ : new RegExp(`^(${origin}/|data:)`);
    assert.deepEqual(requests.filter((url) => !local.test(url)), []);
    await close(opened);
  });
}

test('after loading, the page asks for nothing more', async () => {
  const opened = await open('index.html');
  const {tab, requests} = opened;
  const loaded = requests.length;
  await tab.fill('#TxtRes', 'http://a/b');
  await tab.click('#cmdEncodeToFG');
  await waitForClipboard(tab, 'flashget://aHR0cDovL2EvYg==');
  await about(tab);
  assert.deepEqual(requests.slice(loaded), []);
  await close(opened);
});

test('a refused source leaves the failure text and the clipboard alone', async () => {
  const opened = await open('index.html');
  const {tab} = opened;
  for (const [button, source, failureText] of refusedSources) {
    await tab.fill('#TxtOut', '');
    await setClipboard(tab, source);
    await tab.click('#' + button);
    await about(tab);
    assert.equal(await tab.inputValue('#TxtOut'), failureText, `${button} of ${source}`);
    assert.equal(await clipboard(tab), source);
  }
  await close(opened);
});

test('a clipboard the browser will not read stops the command and says so, in Chinese', async () => {
  const opened = await open('index.html', {clipboard: false});
  const {tab} = opened;
  await tab.fill('#TxtOut', 'as it was');
  await tab.click('#cmdDecodecmd');
  await tab.waitForSelector('#MessageBox:not([hidden])');
  assert.equal(await tab.textContent('#MessageTitle'), 'Zentrova - By Ovrani');
  assert.equal(await tab.textContent('#MessageText'), '错误 -1：浏览器不允许本页读取剪贴板');
  await tab.keyboard.press('Enter');
  await tab.waitForSelector('#MessageBox[hidden]', {state: 'attached'});
  assert.equal(await tab.inputValue('#TxtOut'), 'as it was');
  // A typed address needs no clipboard reading, and writing is still allowed.
  await tab.fill('#TxtRes', 'http://a/b');
  await tab.click('#cmdEncodeToXF');
  await tab.waitForFunction(() => document.getElementById('TxtOut').value.startsWith('qqdl://'));
  await close(opened);
});

test('a clipboard the page cannot use is reported in Chinese on any browser', async () => {
  const noClipboard = () => Object.defineProperty(navigator, 'clipboard', {value: undefined});
  const writeRefused = () => {
    navigator.clipboard.writeText = () => Promise.reject(new DOMException('no', 'NotAllowedError'));
  };
  const rows = [  // [what the browser does, where the text is, the report]
    [noClipboard, '', '错误 -1：此浏览器不允许网页读取剪贴板'],
    [noClipboard, 'http://a/b', '错误 -1：浏览器不允许本页写入剪贴板'],
    [writeRefused, 'http://a/b', '错误 -1：浏览器不允许本页写入剪贴板'],
  ];
  for (const [before, typed, report] of rows) {
    const opened = await open('index.html', {before, locale: 'en-US'});
    const {tab} = opened;
    await tab.fill('#TxtRes', typed);
    await tab.click('#cmdEncodeToXL');
    await tab.waitForSelector('#MessageBox:not([hidden])');
    assert.equal(await tab.textContent('#MessageText'), report, `${before.name}, typed '${typed}'`);
    // The output box shows the link even when the clipboard could not take it.
    assert.equal(await tab.inputValue('#TxtOut'), typed ? 'thunder://QUFodHRwOi8vYS9iWlo=' : '');
    await close(opened);
  }
});

test('the keyboard: tab order, Enter and Space on a button, Enter in a box, access keys', async () => {
  const opened = await open('index.html');
  const {tab} = opened;
  assert.equal(await tab.evaluate(() => document.activeElement.id), 'TxtRes');
  const order = [];
  for (let i = 0; i < 8; ++i) {
    order.push(await tab.evaluate(() => document.activeElement.id));
    await tab.keyboard.press('Tab');
  }
  assert.deepEqual(order, ['TxtRes', 'TxtOut', 'cmdEncodeToFG', 'cmdEncodeToXL', 'cmdEncodeToXF',
                           'cmdDecodecmd', 'cmdAbout', 'cmdExit']);

  await setClipboard(tab, 'http://a/b');
  await tab.focus('#cmdEncodeToFG');
  await tab.keyboard.press('Enter');
  await waitForClipboard(tab, 'flashget://aHR0cDovL2EvYg==');
  await setClipboard(tab, 'http://a/b');
  await tab.focus('#cmdEncodeToXL');
  await tab.keyboard.press('Space');
  await waitForClipboard(tab, 'thunder://QUFodHRwOi8vYS9iWlo=');

  // Enter in the input box starts a new line, which reaches the command as CR LF.
  await tab.click('#TxtRes');
  await tab.keyboard.type('http://a/');
  await tab.keyboard.press('Enter');
  await tab.keyboard.type('b');
  await tab.click('#cmdEncodeToXF');
  await waitForClipboard(tab, 'qqdl://aHR0cDovL2EvDQpi');

  // Alt+A opens About wherever the focus is, and the focus comes back to where it was.
  await tab.focus('#TxtOut');
  await tab.keyboard.press('Alt+A');
  await tab.waitForSelector('#MessageBox:not([hidden])');
  assert.equal(await tab.getAttribute('#MessageBox', 'role'), 'dialog');
  assert.equal(await tab.textContent('#MessageTitle'), '关于');
  assert.match(await tab.textContent('#MessageText'), /Ovrani/);
  await tab.keyboard.press('Enter');
  await tab.waitForSelector('#MessageBox[hidden]', {state: 'attached'});
  assert.equal(await tab.evaluate(() => document.activeElement.id), 'TxtOut');
  await close(opened);
});

test('a long address makes a link of several lines, which comes back', async () => {
  const opened = await open('index.html');
  const {tab} = opened;
  const long = 'http://example.com/' + 'x'.repeat(150) + '/file.zip';
  await tab.fill('#TxtRes', long);
  await tab.click('#cmdEncodeToXF');
  await tab.waitForFunction(() => document.getElementById('TxtOut').value.startsWith('qqdl://'));
  const link = await tab.inputValue('#TxtOut');
  assert.ok(link.split('\n').length > 2, link);
  await tab.fill('#TxtRes', link);
  await tab.click('#cmdDecodecmd');
  await waitForClipboard(tab, long);
  await close(opened);
});

test('Exit ends the page', async () => {
  const opened = await open('index.html');
  const {tab} = opened;
  await tab.keyboard.press('Alt+E');
  // The browser may close a page it did not open itself; otherwise the page is left empty.
  await tab.waitForFunction(() => document.body.childElementCount === 0).catch(() => {});
  assert.ok(tab.isClosed() || (await tab.evaluate(() => document.body.childElementCount)) === 0);
  // The browser's own word on a page that closes itself, when it keeps it open.
  await close(opened, opened.messages.length ?
    ['console warning: Scripts may close only the windows that were opened by them.'] : []);
});

// Reads the colour of each client-area pixel [x, y] of the window in a screenshot.
async function pixels(tab, points) {
  const frame = await tab.$('#FrmMain');
  const box = await frame.boundingBox();
  const shot = (await tab.screenshot({clip: box})).toString('base64');
  return tab.evaluate(async ({shot, points}) => {
    const image = new Image();
    image.src = 'data:image/png;base64,' + shot;
    await image.decode();
    const canvas = document.createElement('canvas');
    canvas.width = image.width;
    canvas.height = image.height;
    const context = canvas.getContext('2d', {willReadFrequently: true});
    context.drawImage(image, 0, 0);
    return points.map(([x, y]) => Array.from(context.getImageData(x, y, 1, 1).data.slice(0, 3)));
  }, {shot, points});
}

test('the window is the layout table: places, sizes, colours', async () => {
  const opened = await open('index.html');
  const {tab} = opened;
  const frame = await (await tab.$('#FrmMain')).boundingBox();
  assert.deepEqual([frame.width, frame.height], [561, 291]);
  const expected = {  // left, top, width, height in pixels: the table's twips / 15, rounded
    cmdExit: [472, 256, 74, 24], cmdAbout: [392, 256, 73, 24], Picture1: [0, 0, 561, 41],
    cmdDecodecmd: [424, 88, 113, 24], cmdEncodeToXF: [424, 208, 113, 24],
    cmdEncodeToXL: [424, 176, 113, 24], cmdEncodeToFG: [424, 144, 113, 24],
    TxtOut: [16, 176, 353, 59], TxtRes: [16, 80, 353, 59], 'Img(0)': [400, 147, 16, 16],
    'Shape(0)': [8, 56, 368, 91], 'LabMainSet(0)': [8, 56, 368, 17],
  };
  for (const [name, [left, top, width, height]] of Object.entries(expected)) {
    const box = await tab.evaluate((id) => {
      const element = document.getElementById(id);
      const frame = document.getElementById('FrmMain').getBoundingClientRect();
      const r = element.getBoundingClientRect();
      return [r.left - frame.left, r.top - frame.top, r.width, r.height].map(Math.round);
    }, name);
    assert.deepEqual(box, [left, top, width, height], name);
  }
  const ids = await tab.evaluate(() =>
    Array.from(document.querySelectorAll('#FrmMain [id]'), (element) => element.id).sort());
  assert.deepEqual(ids, ['Img(0)', 'Img(1)', 'Img(2)', 'Img(3)', 'LabMainSet(0)', 'LabMainSet(1)',
                        'LabMainSet(2)', 'LabMainSet(3)', 'LabMainSet(4)', 'Line', 'Picture1',
                        'Shape(0)', 'Shape(1)', 'Shape(2)', 'TxtOut', 'TxtRes', 'cmdAbout',
                        'cmdDecodecmd', 'cmdEncodeToFG', 'cmdEncodeToXF', 'cmdEncodeToXL',
                        'cmdExit'].sort());
  const [banner, inputTitle, outputTitle, operationsTitle] =
    await pixels(tab, [[3, 3], [10, 57], [10, 153], [545, 57]]);
  assert.deepEqual(banner, [128, 160, 255]);
  assert.deepEqual(inputTitle, [128, 128, 128]);
  assert.deepEqual(outputTitle, [128, 128, 128]);
  assert.deepEqual(operationsTitle, [255, 255, 255]);
  // Some pixel of the note's text is its dark red.
  const note = await pixels(tab, Array.from({length: 336 * 13}, (_, i) => [16 + (i % 336), 261 + Math.floor(i / 336)]));
  assert.ok(note.some(([r, g, b]) => r === 0xc0 && g === 0 && b === 0));
  await tab.screenshot({path: path.join(process.env.ARTIFACTS || site, '..', 'web-window.png')});
  await close(opened);
});

test('on a phone the window fits its screen with no sideways scrolling', async () => {
  const phones = [  // a narrow desktop window, and a phone as it reports itself
    {viewport: {width: 390, height: 844}},
    {viewport: {width: 390, height: 844}, isMobile: true, deviceScaleFactor: 3, hasTouch: true},
  ];
  for (const device of phones) {
    const opened = await open('index.html', {device});
    const {tab} = opened;
    const [scrollWidth, right] = await tab.evaluate(() => [
      document.documentElement.scrollWidth, document.getElementById('FrmMain').getBoundingClientRect().right]);
    assert.ok(scrollWidth <= 390 && right <= 390, `${JSON.stringify(device)}: ${scrollWidth}, ${right}`);
    await tab.fill('#TxtRes', 'http://a/b');
    await (device.hasTouch ? tab.tap('#cmdEncodeToXL') : tab.click('#cmdEncodeToXL'));
    await waitForClipboard(tab, 'thunder://QUFodHRwOi8vYS9iWlo=');
    await close(opened);
  }
});

// Waits until the list asked for is converted, or stopped.
const listDone = (tab) => tab.waitForSelector('html[data-list-run="done"]', {state: 'attached'});
const rows = (tab) =>
  tab.$$eval('#ListOut li', (items) => items.map((item) => [item.className, item.textContent]));
const summary = (tab) => tab.textContent('#ListSummary');
const note = (tab) => tab.textContent('#ListNote');
// Returns the bytes of a list file of `count` lines "http://a/1", "http://a/2", …
const numbered = (count, first = 1) =>
  Buffer.from(Array.from({length: count}, (_, i) => `http://a/${first + i}\n`).join(''));
const asFile = (buffer, name = 'list.txt') => ({name, mimeType: 'text/plain', buffer});
async function saved(tab) {
  const download = tab.waitForEvent('download');
  await tab.click('#ListSave');
  return fs.readFileSync(await (await download).path(), 'utf8');
}

test('lists.html converts a mixed list line by line, as batch does, in a worker', async () => {
  for (const fromDisk of [false, true]) {
    const opened = await open('lists.html', {fromDisk});
    const {tab} = opened;
    await tab.fill('#ListIn', ['下载: thunder://QUFodHRwOi8vYS9iWlo= 谢谢', '', '谢谢楼主',
                               'http://plain/x',
                               '<a href="flashget://W0ZMQVNIR0VUXWh0dHA6Ly9hL2JbRkxBU0hHRVRd&abc">'].join('\n'));
    await tab.selectOption('#ListMode', 'decode');
    await tab.selectOption('#ListCharset', 'auto');
    await tab.click('#ListRun');
    await listDone(tab);
    assert.deepEqual(await rows(tab), [['', 'http://a/b'], ['', ''], ['failed', '× 该行没有专用链接'],
                                       ['', 'http://plain/x'], ['', 'http://a/b']]);
    assert.equal(await summary(tab), '共 5 行：转换 2 行，原样保留 1 行，失败 1 行');
    assert.equal(await tab.getAttribute('html', 'data-converter'), 'worker');
    await tab.click('#ListCopy');
    await waitForClipboard(tab, 'http://a/b\n\n\nhttp://plain/x\nhttp://a/b');
    await tab.waitForFunction(() => document.getElementById('ListCopyNote').textContent === '已复制 5 行');

    // A GBK file, opened as a file: its bytes are read as batch reads them.
    await tab.setInputFiles('#ListFile', {name: 'list.txt', mimeType: 'text/plain',
                                          buffer: Buffer.from('http://a/\xcb\xae.mp3\nthunder://QUFodHRwOi8vYS/W0Fpa\n', 'latin1')});
    await listDone(tab);
    assert.equal(await summary(tab), '共 2 行：转换 1 行，原样保留 1 行，失败 0 行');
    assert.equal(await tab.textContent('#ListFileName'), '文件：list.txt（47 字节）');
    assert.deepEqual(await rows(tab), [['', 'http://a/水.mp3'], ['', 'http://a/中']]);
    await tab.selectOption('#ListMode', 'flashget');
    await tab.fill('#ListIn', 'http://a/b');
    await tab.click('#ListRun');
    await listDone(tab);
    assert.deepEqual(await rows(tab), [['', 'flashget://aHR0cDovL2EvYg==']]);
    assert.equal(await saved(tab), 'flashget://aHR0cDovL2EvYg==\n');
    // A long list: the rows in view are the right ones wherever it is scrolled to.
    await tab.selectOption('#ListMode', 'decode');
    // (Set as a paste would, in one piece: typing it would take minutes.)
    await tab.$eval('#ListIn', (box, text) => {
      box.value = text;
      box.dispatchEvent(new Event('input'));
    }, Array.from({length: 3000}, (_, i) => (i === 2000 ? 'nothing' : `http://a/${i + 1}`)).join('\n'));
    await tab.click('#ListRun');
    await listDone(tab);
    await tab.$eval('#ListView', (view) => { view.scrollTop = 1990 * 18; });
    await tab.waitForFunction(() => {
      const out = document.getElementById('ListOut');
      return out.start <= 1990 && out.start + out.children.length > 2010;
    });
    const shown = await tab.$eval('#ListOut', (out) => Array.from(out.children, (row, i) =>
      [out.start + i, row.className, row.textContent]));
    for (const [number, className, text] of shown) {
      assert.deepEqual([className, text], number === 2001 ? ['failed', '× 该行没有专用链接']
                                                          : ['', `http://a/${number}`]);
    }
    await close(opened);
  }
});

test('a browser in another language gets the messages and reasons in English', async () => {
  const opened = await open('lists.html', {locale: 'en-US'});
  const {tab} = opened;
  await tab.fill('#ListIn', 'thunder://QUFodHRwOi8vYS9iWlo=\n谢谢楼主');
  await tab.click('#ListRun');
  await listDone(tab);
  assert.deepEqual(await rows(tab), [['', 'http://a/b'], ['failed', '× the line holds no special link']]);
  assert.equal(await summary(tab), '2 lines: 1 converted, 0 passed through, 1 failed');
  await close(opened);
});

test('the pages carry their policy, and it holds', async () => {
  const policy = "default-src 'none'; script-src 'self' 'wasm-unsafe-eval'; style-src 'self'; " +
                 "img-src 'self' data:; connect-src data:; base-uri 'none'; form-action 'none'";
  for (const [page, expected] of [['index.html', policy], ['lists.html', policy + '; worker-src blob:']]) {
    const opened = await open(page);
    const {tab, messages} = opened;
    assert.equal(await tab.getAttribute('meta[http-equiv="Content-Security-Policy"]', 'content'), expected);
    // Script text of the page's own making does not run, nor does anything from elsewhere.
    // (Outside the test's own evaluation, which the browser lets make code.)
    await tab.evaluate(() => setTimeout(() => {
      try {
        window.made = new Function('return "ran"')();
      } catch (error) {
        window.made = error.name;
      }
    }, 0));
    assert.equal(await (await tab.waitForFunction(() => window.made)).jsonValue(), 'EvalError');
    assert.equal(await tab.evaluate(() => new Promise((resolve) => {
      const script = document.createElement('script');
      script.src = 'data:text/javascript,window.ran=1';
      script.onerror = () => resolve('refused');
      script.onload = () => resolve('ran');
      document.head.append(script);
    })), 'refused');
    // The browser reports the refused script (not always the refused code) on the console.
    assert.ok(messages.length >= 1, messages.join('\n'));
    assert.ok(messages.every((message) => /Content Security Policy/.test(message)), messages.join('\n'));
    messages.length = 0;
    await close(opened);
  }
});

test('where the browser will start no worker, the page converts in pieces itself', async () => {
  const refusing = [  // a browser without workers, and a host whose own policy forbids them
    {before: () => { window.Worker = function Worker() { throw new Error('no workers here'); }; }},
    {headers: {'Content-Security-Policy': "worker-src 'none'"},
     console: /^console error: Creating a worker from 'blob:.*violates/},
  ];
  for (const refusal of refusing) {
    const opened = await open('lists.html', refusal);
    const {tab, messages} = opened;
    // More than one of the page's pieces, which are smaller than the worker's.
    await tab.setInputFiles('#ListFile', asFile(Buffer.concat([numbered(40000), Buffer.from('谢谢\n')])));
    await listDone(tab);
    assert.equal(await tab.getAttribute('html', 'data-converter'), 'page');
    assert.equal(await summary(tab), '共 40001 行：转换 0 行，原样保留 40000 行，失败 1 行');
    assert.equal(await saved(tab), numbered(40000).toString() + '\n');
    if (refusal.console) {
      assert.equal(messages.length, 1, messages.join('\n'));
      assert.match(messages[0], refusal.console);
      messages.length = 0;
    }
    await close(opened);
  }
});

// Holds back every message of the conversion's worker after its first piece, until the test
// lets them through with window.letThrough(): the page is caught with one piece shown.
function holdPieces() {
  const Real = window.Worker;
  const held = [];
  window.heldPieces = held;
  window.letThrough = () => held.splice(0).forEach((deliver) => deliver());
  window.Worker = class extends Real {
    set onmessage(handler) {
      let seen = 0;
      super.onmessage = (event) => (++seen > 1 ? held.push(() => handler(event)) : handler(event));
    }
  };
}

test('Cancel stops a conversion at once and keeps what was done', async () => {
  const opened = await open('lists.html', {before: holdPieces});
  const {tab} = opened;
  const list = numbered(250000);  // about 3.3 MB: four of the worker's pieces
  await tab.setInputFiles('#ListFile', asFile(list));
  await tab.waitForFunction(() => window.heldPieces.length > 0);
  const shown = await tab.$eval('#ListOut', (out) => out.children.length);
  assert.ok(shown > 0);
  assert.match(await summary(tab), /^正在转换：已读 \d+%，已得 \d+ 行$/);
  const [, percent, lines] = (await summary(tab)).match(/已读 (\d+)%，已得 (\d+) 行/).map(Number);
  assert.ok(percent > 0 && percent < 100 && lines > 0 && lines < 250000, await summary(tab));
  assert.equal(await tab.getAttribute('html', 'data-list-run'), 'running');
  assert.ok(await tab.isDisabled('#ListCopy'));

  await tab.click('#ListCancel');
  await listDone(tab);
  assert.equal(await note(tab), `已取消；保留了前 ${lines} 行的结果`);
  assert.equal(await summary(tab), `共 ${lines} 行：转换 0 行，原样保留 ${lines} 行，失败 0 行`);
  assert.ok(await tab.isHidden('#ListCancel'));
  assert.ok(await tab.isHidden('#ListProgress'));
  assert.equal(await saved(tab), numbered(lines).toString());
  await tab.click('#ListCopy');
  await waitForClipboard(tab, numbered(lines).toString().slice(0, -1));
  // What the stopped worker had converted besides never reaches the page.
  await tab.evaluate(() => window.letThrough());
  assert.equal(await summary(tab), `共 ${lines} 行：转换 0 行，原样保留 ${lines} 行，失败 0 行`);

  // The next run starts afresh, to its end.
  await tab.evaluate(() => { window.Worker = Object.getPrototypeOf(window.Worker); });
  await tab.click('#ListRun');
  await listDone(tab);
  assert.equal(await summary(tab), '共 250000 行：转换 0 行，原样保留 250000 行，失败 0 行');
  assert.equal(await note(tab), '');
  assert.equal(await saved(tab), list.toString());
  await close(opened);
});

test('a file dropped anywhere on the page is converted, and the browser never opens it', async () => {
  const opened = await open('lists.html');
  const {tab} = opened;
  // Drops on `selector` what `kind` says; returns whether the page kept the browser's own
  // handling of dragover and drop from happening.
  const drop = (selector, kind) => tab.evaluate(([selector, kind]) => {
    const target = document.querySelector(selector);
    const data = new DataTransfer();
    if (kind === 'text') data.setData('text/plain', 'http://dropped/');
    if (kind !== 'text') data.items.add(new File(['thunder://QUFodHRwOi8vYS9iWlo=\n'], 'one.txt'));
    if (kind === 'two files') data.items.add(new File(['http://a/2\n'], 'two.txt'));
    return ['dragover', 'drop'].map((type) => {
      const event = new DragEvent(type, {dataTransfer: data, bubbles: true, cancelable: true});
      target.dispatchEvent(event);
      return event.defaultPrevented;
    });
  }, [selector, kind]);

  for (const selector of ['h1', '#ListView', '#ListIn', 'body', '#ListRun']) {
    await tab.fill('#ListIn', 'http://a/typed');
    await tab.click('#ListRun');
    await listDone(tab);
    assert.deepEqual(await drop(selector, 'a file'), [true, true], selector);
    await listDone(tab);
    assert.deepEqual(await rows(tab), [['', 'http://a/b']], selector);
    assert.equal(await tab.textContent('#ListFileName'), '文件：one.txt（31 字节）');
  }
  assert.deepEqual(await drop('h1', 'two files'), [true, true]);
  await listDone(tab);
  assert.deepEqual(await rows(tab), [['', 'http://a/b']]);
  assert.equal(await note(tab), '给出了 2 个文件；只转换“one.txt”');
  // Text dragged outside the box is refused, so that the browser does not follow it; into the
  // box it goes as the browser puts it.
  assert.deepEqual(await drop('h1', 'text'), [true, true]);
  assert.deepEqual(await drop('#ListIn', 'text'), [false, false]);
  await close(opened);
});

test('"全部复制" says so when the browser will not let the page write the clipboard', async () => {
  const rows = [
    [() => Object.defineProperty(navigator, 'clipboard', {value: undefined}),
     '此浏览器不允许网页写入剪贴板；请改用“另存为 .txt”'],
    [() => { navigator.clipboard.writeText = () => Promise.reject(new DOMException('no', 'NotAllowedError')); },
     '浏览器不允许本页写入剪贴板；请改用“另存为 .txt”'],
  ];
  for (const [before, words] of rows) {
    const opened = await open('lists.html', {before});
    const {tab} = opened;
    await tab.fill('#ListIn', 'http://a/b');
    await tab.click('#ListRun');
    await listDone(tab);
    await tab.click('#ListCopy');
    await tab.waitForFunction((w) => document.getElementById('ListCopyNote').textContent === w, words);
    assert.equal(await saved(tab), 'http://a/b\n');
    await close(opened);
  }
});

test('a very long row is drawn cut short; the copy and the saved file hold it whole', async () => {
  const opened = await open('lists.html');
  const {tab} = opened;
  const long = 'http://a/' + '中'.repeat(40000);  // 120,009 bytes of UTF-8
  await tab.setInputFiles('#ListFile', asFile(Buffer.from(`${long}\nhttp://a/2\n`)));
  await listDone(tab);
  const [[className, text], second] = await rows(tab);
  assert.equal(className, '');
  // 2,000 bytes at most, ending on a whole character: 9 + 3 × 663.
  assert.equal(text, long.slice(0, 9 + 663) + '……（此行还有 118011 字节未显示；全部复制或另存为可得整行）');
  assert.deepEqual(second, ['', 'http://a/2']);
  assert.equal(await saved(tab), `${long}\nhttp://a/2\n`);
  await tab.click('#ListCopy');
  await waitForClipboard(tab, `${long}\nhttp://a/2`);
  await close(opened);
});

test('every one of millions of rows can be scrolled to', async () => {
  const opened = await open('lists.html');
  const {tab} = opened;
  const count = 2500000;  // 45 MB; rows of 18 pixels would need 45 million pixels
  await tab.setInputFiles('#ListFile', asFile(numbered(count)));
  await listDone(tab);
  assert.equal(await summary(tab), `共 ${count} 行：转换 0 行，原样保留 ${count} 行，失败 0 行`);
  assert.ok(await tab.$eval('#ListSpace', (space) => space.offsetHeight) < 33554432);
  // The numbers of the rows in view, from the top row wholly in view, and whether every row
  // made holds its own line.
  const inView = () => tab.$eval('#ListView', (view) => {
    const out = document.getElementById('ListOut');
    const box = view.getBoundingClientRect();
    const numbers = Array.from(out.children, (row, i) => [out.start + i, row])
      .filter(([, row]) => row.getBoundingClientRect().top >= box.top - 0.5 &&
                           row.getBoundingClientRect().bottom <= box.bottom + 0.5);
    const right = Array.from(out.children).every((row, i) => row.textContent === `http://a/${out.start + i}`);
    return {first: numbers[0][0], last: numbers[numbers.length - 1][0], right};
  });
  const settle = () => tab.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));

  await tab.$eval('#ListView', (view) => { view.scrollTop = view.scrollHeight; });
  await settle();
  const end = await inView();
  assert.deepEqual([end.last, end.right], [count, true]);
  await tab.$eval('#ListView', (view) => { view.scrollTop = view.scrollHeight / 2; });
  await settle();
  const middle = await inView();
  assert.ok(Math.abs(middle.first - count / 2) < 1000 && middle.right, JSON.stringify(middle));
  // The wheel and the keys move by rows, however many rows a pixel of the bar stands for.
  await tab.$eval('#ListView', (view) => view.scrollIntoView());
  const box = await (await tab.$('#ListView')).boundingBox();
  await tab.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
  await tab.mouse.wheel(0, 3 * 18);
  await tab.waitForFunction((first) => document.getElementById('ListOut').start !== first - 20,
                            middle.first);
  await settle();
  assert.equal((await inView()).first, middle.first + 3);
  await tab.focus('#ListView');
  await tab.keyboard.press('ArrowDown');
  await settle();
  assert.equal((await inView()).first, middle.first + 4);
  await tab.keyboard.press('End');
  await settle();
  assert.equal((await inView()).last, count);
  await tab.keyboard.press('Home');
  await settle();
  assert.deepEqual(await inView(), {first: 1, last: (await inView()).last, right: true});
  await close(opened);
});

test('a line longer than the page converts stops the run, says so and keeps the lines before', async () => {
  const opened = await open('lists.html');
  const {tab} = opened;
  const file = path.join(fs.mkdtempSync(path.join(require('node:os').tmpdir(), 'lists-')), 'long.txt');
  fs.writeFileSync(file, Buffer.concat([Buffer.from('http://a/1\nhttp://a/2\n'), Buffer.alloc(65 << 20, 'x'),
                                        Buffer.from('\nhttp://a/4\n')]));
  await tab.setInputFiles('#ListFile', file);
  await listDone(tab);
  assert.equal(await note(tab), '第 3 行超过 64 MB，本页无法转换这么长的行；保留了此前各行的结果');
  assert.equal(await summary(tab), '共 2 行：转换 0 行，原样保留 2 行，失败 0 行');
  assert.deepEqual(await rows(tab), [['', 'http://a/1'], ['', 'http://a/2']]);
  assert.equal(await saved(tab), 'http://a/1\nhttp://a/2\n');
  fs.rmSync(path.dirname(file), {recursive: true});
  await close(opened);
});

test('memory running out, or a file that cannot be read, stops the run and keeps what was done', async () => {
  const failures = [  // [what goes wrong after the first piece, what the page says]
    [() => {
      addEventListener('DOMContentLoaded', () => {
        const add = ListResults.prototype.add;
        ListResults.prototype.add = function (piece) {
          if (this.lines) throw new RangeError('Array buffer allocation failed');
          add.call(this, piece);
        };
      });
    }, (lines) => `内存不足；保留了前 ${lines} 行的结果`],
    [() => {
      // In the page, where the reading can be seen to: the second slice cannot be read.
      window.Worker = function Worker() { throw new Error('no workers here'); };
      const read = Blob.prototype.arrayBuffer;
      let reads = 0;
      Blob.prototype.arrayBuffer = function () {
        return ++reads > 1 ? Promise.reject(new DOMException('gone', 'NotReadableError')) : read.call(this);
      };
    }, (lines) => `无法读完“list.txt”；保留了前 ${lines} 行的结果`],
  ];
  for (const [before, words] of failures) {
    const opened = await open('lists.html', {before});
    const {tab} = opened;
    await tab.setInputFiles('#ListFile', asFile(numbered(250000)));
    await listDone(tab);
    const lines = Number((await summary(tab)).match(/^共 (\d+) 行/)[1]);
    assert.ok(lines > 0 && lines < 250000, await summary(tab));
    assert.equal(await note(tab), words(lines));
    assert.equal(await saved(tab), numbered(lines).toString());
    await close(opened);
  }
});

// Converts `list` (a file's bytes, or a text typed into the box) with the options given, and
// waits until the run has ended.
async function convertList(tab, list, {mode = 'decode', charset = 'auto', name = 'list.txt'} = {}) {
  await tab.selectOption('#ListMode', mode);
  await tab.selectOption('#ListCharset', charset);
  await tab.evaluate(() => { document.documentElement.dataset.listRun = 'running'; });
  if (typeof list === 'string') {
    await tab.$eval('#ListIn', (box, text) => {
      box.value = text;
      box.dispatchEvent(new Event('input'));
    }, list);
    await tab.click('#ListRun');
  } else {
    await tab.setInputFiles('#ListFile', asFile(list, name));
  }
  await listDone(tab);
}

const exportButton = {aria2: '#ListExportAria2', ef2: '#ListExportEf2', json: '#ListExportJson'};
const exportDone = (tab) => tab.waitForSelector('html[data-list-export="done"]', {state: 'attached'});
const exportNotes = (tab) => tab.$$eval('#ListExportNotes li', (items) => items.map((item) => item.textContent));

// Clicks the export of `form` and returns the file saved: {name, bytes}.
async function exported(tab, form) {
  const download = tab.waitForEvent('download');
  await tab.click(exportButton[form]);
  const saved = await download;
  await exportDone(tab);
  return {name: saved.suggestedFilename(), bytes: fs.readFileSync(await saved.path())};
}

const fileNames = {aria2: 'zentrova.aria2.txt', ef2: 'zentrova.ef2', json: 'zentrova.jsonl'};

test('the export buttons save the very bytes zentrova-cli writes, in a worker and in the page', async () => {
  const converters = [{}, {before: () => { window.Worker = function Worker() { throw new Error('no workers here'); }; }}];
  for (const converter of converters) {
    const opened = await open('lists.html', converter);
    const {tab} = opened;
    for (const entry of exportCases.filter((e) => e.form !== 'lines')) {
      const typed = entry.list.includes('gbk') ? null : entry.bytes.toString('utf8');
      for (const list of typed ? [entry.bytes, typed] : [entry.bytes]) {
        const where = `${entry.name}, ${typeof list === 'string' ? 'typed' : 'a file'}`;
        await convertList(tab, list, entry);
        const saved = await exported(tab, entry.form);
        assert.equal(saved.name, fileNames[entry.form], where);
        assert.equal(saved.bytes.toString('latin1'), entry.expected.toString('latin1'), where);
        assert.equal(await tab.textContent('#ListCopyNote'),
                     `已保存 ${fileNames[entry.form]}（${entry.expected.length} 字节）`, where);
        const words = {aria2: 'aria2 无法下载 ed2k 地址；已略去',
                       ef2: 'IDM 导出文件只能容纳 http、https 和 ftp 地址；已略去'}[entry.form];
        const failed = entry.form === 'json' ? [] : [`${(await summary(tab)).match(/失败 (\d+) 行/)[1]} 行转换失败，没有写入文件；结果中已标出这些行`];
        assert.deepEqual(await exportNotes(tab), [...failed, ...entry.leftOut.map((line) => `第 ${line} 行：${words}`)], where);
      }
    }
    assert.equal(await tab.getAttribute('html', 'data-converter'), converter.before ? 'page' : 'worker');
    await close(opened);
  }
});

// Holds back every message after the first of each worker made while window.holding is set,
// until the test lets them through with window.letThrough().
function holdLaterPieces() {
  const Real = window.Worker;
  const held = [];
  window.heldPieces = held;
  window.holding = false;
  window.letThrough = () => held.splice(0).forEach((deliver) => deliver());
  window.Worker = class extends Real {
    constructor(...args) {
      super(...args);
      this.holds = window.holding;
    }
    set onmessage(handler) {
      let seen = 0;
      super.onmessage = (event) =>
        (this.holds && ++seen > 1 ? held.push(() => handler(event)) : handler(event));
    }
  };
}

test('which exports a list allows, and the reason shown on those it does not', async () => {
  const opened = await open('lists.html', {before: holdLaterPieces});
  const {tab} = opened;
  const state = () => tab.$$eval('#ListExportAria2, #ListExportEf2, #ListExportJson', (buttons) =>
    buttons.map((button) => [button.textContent, button.disabled, button.title]));
  const none = [['导出 aria2', true, ''], ['导出 IDM', true, ''], ['导出 JSON', true, '']];
  assert.deepEqual(await state(), none);
  // While a list is converted, none; after it was stopped short, none either.
  await tab.evaluate(() => { window.holding = true; });
  await tab.setInputFiles('#ListFile', asFile(numbered(250000)));
  await tab.waitForFunction(() => window.heldPieces.length > 0);
  assert.deepEqual(await state(), none);
  await tab.click('#ListCancel');
  await listDone(tab);
  const unfinished = '列表没有转换完；转换完整个列表后才能导出';
  assert.deepEqual(await state(), [['导出 aria2', true, unfinished], ['导出 IDM', true, unfinished],
                                   ['导出 JSON', true, unfinished]]);
  await tab.evaluate(() => { window.holding = false; });

  await convertList(tab, 'http://a/b');
  assert.deepEqual(await state(), [['导出 aria2', false, ''], ['导出 IDM', false, ''], ['导出 JSON', false, '']]);
  const onlyDecoded = 'aria2 和 IDM 只接受下载地址：用“decode：转换成普通链接”方式转换列表后才能导出给它们';
  for (const mode of ['thunder', 'flashget', 'qqdl']) {
    await convertList(tab, 'http://a/b', {mode});
    assert.deepEqual(await state(), [['导出 aria2', true, onlyDecoded], ['导出 IDM', true, onlyDecoded],
                                     ['导出 JSON', false, '']], mode);
  }
  // Choosing another mode or text afterwards changes nothing: the exports are of the list shown.
  await tab.selectOption('#ListMode', 'decode');
  await tab.fill('#ListIn', 'http://a/other');
  assert.ok(await tab.isDisabled('#ListExportAria2'));
  const saved = await exported(tab, 'json');
  assert.equal(saved.bytes.toString(),
               '{"line":1,"address":"http://a/b","link":"qqdl://aHR0cDovL2EvYg==","kind":"qqdl","charset":"ascii"}\n');
  await close(opened);
});

test('an export can be cancelled, and one that fails saves nothing and says why', async () => {
  const failures = [  // [the page as the browser gives it, what goes wrong in the export, the words]
    [holdLaterPieces, null, '已取消导出；没有保存任何内容'],
    [() => {
      window.Worker = function Worker() { throw new Error('no workers here'); };
      const read = Blob.prototype.arrayBuffer;
      Blob.prototype.arrayBuffer = function () {
        return window.unreadable ? Promise.reject(new DOMException('gone', 'NotReadableError')) : read.call(this);
      };
    }, () => { window.unreadable = true; }, '无法读完“list.txt”；没有保存任何内容'],
    [() => {
      addEventListener('DOMContentLoaded', () => {
        ListExport.prototype.add = () => { throw new RangeError('Array buffer allocation failed'); };
      });
    }, () => {}, '内存不足；没有保存任何内容'],
  ];
  for (const [before, wrong, words] of failures) {
    const opened = await open('lists.html', {before});
    const {tab} = opened;
    const downloads = [];
    tab.on('download', (download) => downloads.push(download));
    await tab.setInputFiles('#ListFile', asFile(numbered(250000)));
    await listDone(tab);
    const converted = '共 250000 行：转换 0 行，原样保留 250000 行，失败 0 行';
    assert.equal(await summary(tab), converted);
    if (wrong) {
      await tab.evaluate(wrong);
      await tab.click('#ListExportAria2');
    } else {
      // The export's own worker is held after its first piece, so that Cancel comes in the middle.
      await tab.evaluate(() => { window.holding = true; });
      await tab.click('#ListExportAria2');
      await tab.waitForFunction(() => window.heldPieces.length > 0);
      assert.match(await tab.textContent('#ListCopyNote'), /^正在导出 zentrova\.aria2\.txt：已读 \d+%$/);
      assert.ok(await tab.isVisible('#ListProgress'));
      assert.ok(await tab.isDisabled('#ListExportJson'));
      await tab.click('#ListCancel');
      // What the stopped worker had made besides never reaches the page.
      await tab.evaluate(() => window.letThrough());
    }
    await exportDone(tab);
    assert.equal(await tab.textContent('#ListCopyNote'), words);
    assert.ok(await tab.isHidden('#ListCancel'));
    assert.ok(await tab.isHidden('#ListProgress'));
    assert.deepEqual(await exportNotes(tab), []);
    assert.equal(downloads.length, 0, words);
    // The results stay, and the exports are offered again.
    assert.equal(await summary(tab), converted);
    assert.ok(await tab.isEnabled('#ListExportJson'));
    await close(opened);
  }
});

test('in another language the export says what it left out in English', async () => {
  const opened = await open('lists.html', {locale: 'en-US'});
  const {tab} = opened;
  const entry = exportCases.find((e) => e.form === 'ef2');
  await convertList(tab, entry.bytes, entry);
  const saved = await exported(tab, 'ef2');
  assert.ok(saved.bytes.equals(entry.expected));
  assert.equal(await tab.textContent('#ListCopyNote'), `zentrova.ef2 saved (${entry.expected.length} bytes)`);
  assert.deepEqual(await exportNotes(tab), [
    '3 lines failed and are not in the file; the results mark them',
    ...entry.leftOut.map((line) => `line ${line}: IDM's export holds only http, https and ftp addresses; left out`)]);
  await close(opened);
});

test("aria2 downloads every file of the page's aria2 export once, byte for byte, under its readable name", async () => {
  const {spawn, execFile} = require('node:child_process');
  const work = fs.mkdtempSync(path.join(require('node:os').tmpdir(), 'lists-aria2-'));
  const serverFolder = path.join(work, 'server');
  const down = path.join(work, 'down');
  fs.mkdirSync(serverFolder);
  fs.mkdirSync(down);
  // The files, under their names' own bytes (GBK, UTF-8, a space, ASCII), and the names a
  // person reads.
  const files = [
    [Buffer.from('b5e7d3b020b5da31bcaf2e6d6b76', 'hex'), '电影 第1集.mkv'],
    [Buffer.from('中文资料.zip'), '中文资料.zip'],
    [Buffer.from('my file.txt'), 'my file.txt'],
    [Buffer.from('plain.bin'), 'plain.bin'],
  ].map(([name, readable]) => ({name, readable, body: require('node:crypto').randomBytes(1000 + name.length * 97)}));
  for (const file of files) fs.writeFileSync(Buffer.concat([Buffer.from(serverFolder + '/'), file.name]), file.body);

  const server = spawn('python3', [path.join(__dirname, '..', '..', 'tests', 'support', 'byte_name_server.py'),
                                   serverFolder, path.join(work, 'port'), path.join(work, 'requests')],
                       {stdio: 'inherit'});
  try {
    const deadline = Date.now() + patience;
    while (!fs.existsSync(path.join(work, 'port')) && Date.now() < deadline) {
      await new Promise((resolve) => setTimeout(resolve, 100));
    }
    assert.ok(fs.existsSync(path.join(work, 'port')), 'the file server did not start');
    // The list names the server by a name of no machine, which aria2 reaches through the server
    // itself as its proxy: the export leaves out an address on this machine.
    const port = fs.readFileSync(path.join(work, 'port'), 'utf8').trim();
    const base = Buffer.from('http://files.example/');
    const b64 = (...parts) => Buffer.concat(parts.map((part) => Buffer.from(part))).toString('base64');
    const thunder = (name) => `thunder://${b64('AA', base, name, 'ZZ')}`;
    const flashget = (name) => `flashget://${b64('[FLASHGET]', base, name, '[FLASHGET]')}&abc`;
    const qqdl = (name) => `qqdl://${b64(base, name)}`;
    const [gbkName, utf8Name, spaced, ascii] = files.map((file) => file.name);
    // As posted: text around, HTML, BBCode, FlashGet's wrapper, the same files again, a blank
    // line, an ed2k and a failing line.
    const list = Buffer.from([
      `下载：${thunder(gbkName)} 谢谢楼主`,
      `<a href="${flashget(utf8Name)}">高清</a>`,
      `[url=${qqdl(spaced)}]下载[/url]`,
      thunder(ascii),
      `再发一次：${thunder(gbkName)}`,
      qqdl(utf8Name),
      '',
      `thunder://${b64('AAed2k://|file|x.avi|1|0123456789ABCDEF0123456789ABCDEF|/ZZ')}`,
      'thunder://@@@@',
      `${base}${'plain.bin'}`,
    ].join('\n') + '\n');

    const opened = await open('lists.html');
    const {tab} = opened;
    await convertList(tab, list);
    const saved = await exported(tab, 'aria2');
    const exportFile = path.join(work, saved.name);
    fs.writeFileSync(exportFile, saved.bytes);
    await close(opened);
    const cli = nativeCli();
    if (cli) {
      fs.writeFileSync(path.join(work, 'list.txt'), list);
      assert.ok(runCli(cli, {mode: 'decode', charset: 'auto', form: 'aria2'}, path.join(work, 'list.txt'))
        .stdout.equals(saved.bytes), 'the page and zentrova-cli write the same aria2 file');
    }

    const log = await new Promise((resolve) => execFile('aria2c', [
      '-i', exportFile, '-d', down, `--all-proxy=http://127.0.0.1:${port}`,
      '--console-log-level=warn', '--summary-interval=0',
      '--allow-overwrite=false', '--auto-file-renaming=false', '--max-tries=1',
      `--connect-timeout=${patience / 1000}`, `--timeout=${patience / 1000}`,
    ], (error, stdout, stderr) => resolve({error, output: stdout + stderr})));
    assert.equal(log.error, null, `aria2c failed:\n${log.output}\n${saved.bytes}`);
    assert.deepEqual(fs.readdirSync(down).sort(), files.map((file) => file.readable).sort());
    for (const file of files) {
      assert.ok(fs.readFileSync(path.join(down, file.readable)).equals(file.body), `${file.readable} arrived whole`);
    }
    // Each file asked for once, with its name's own bytes.
    const requests = fs.readFileSync(path.join(work, 'requests'), 'utf8').trim().split('\n').sort();
    assert.deepEqual(requests, files.map((file) => file.name.toString('hex')).sort());
  } finally {
    server.kill();
    fs.rmSync(work, {recursive: true, force: true});
  }
});
