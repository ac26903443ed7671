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

const site = path.resolve(process.argv[2]);
const patience = 60000;  // bounds a failure only: every wait ends as soon as its condition holds

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
    response.writeHead(200, {'Content-Type': kinds[path.extname(file)] || 'application/octet-stream'});
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
// context; `requests` collects every address the page asks for.
async function open(page, {fromDisk = false, clipboard = true, viewport} = {}) {
  const context = await browser.newContext({viewport: viewport || {width: 800, height: 500}});
  if (clipboard) {
    await context.grantPermissions(['clipboard-read', 'clipboard-write'],
                                   fromDisk ? undefined : {origin});
  }
  const tab = await context.newPage();
  tab.setDefaultTimeout(patience);
  const requests = [];
  const errors = [];
  tab.on('request', (request) => requests.push(request.url()));
  tab.on('pageerror', (error) => errors.push(error.message));
  await tab.goto(fromDisk ? 'file://' + path.join(site, page) : `${origin}/${page}`);
  await tab.waitForSelector('html[data-ready]');
  return {tab, context, requests, errors};
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
    const {tab, context, requests, errors} = await open('index.html', {fromDisk});
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
    assert.deepEqual(errors, []);
    await context.close();
  });
}

test('after loading, the page asks for nothing more', async () => {
  const {tab, context, requests} = await open('index.html');
  const loaded = requests.length;
  await tab.fill('#TxtRes', 'http://a/b');
  await tab.click('#cmdEncodeToFG');
  await waitForClipboard(tab, 'flashget://aHR0cDovL2EvYg==');
  await about(tab);
  assert.deepEqual(requests.slice(loaded), []);
  await context.close();
});

test('a refused source leaves the failure text and the clipboard alone', async () => {
  const {tab, context} = await open('index.html');
  for (const [button, source, failureText] of refusedSources) {
    await tab.fill('#TxtOut', '');
    await setClipboard(tab, source);
    await tab.click('#' + button);
    await about(tab);
    assert.equal(await tab.inputValue('#TxtOut'), failureText, `${button} of ${source}`);
    assert.equal(await clipboard(tab), source);
  }
  await context.close();
});

test('a clipboard the browser will not read stops the command and says so', async () => {
  const {tab, context} = await open('index.html', {clipboard: false});
  await tab.fill('#TxtOut', 'as it was');
  await tab.click('#cmdDecodecmd');
  await tab.waitForSelector('#MessageBox:not([hidden])');
  assert.equal(await tab.textContent('#MessageTitle'), 'Zentrova - By Ovrani');
  assert.match(await tab.textContent('#MessageText'), /^错误 -1：/);
  await tab.keyboard.press('Enter');
  await tab.waitForSelector('#MessageBox[hidden]', {state: 'attached'});
  assert.equal(await tab.inputValue('#TxtOut'), 'as it was');
  // A typed address needs no clipboard reading, and writing is still allowed.
  await tab.fill('#TxtRes', 'http://a/b');
  await tab.click('#cmdEncodeToXF');
  await tab.waitForFunction(() => document.getElementById('TxtOut').value.startsWith('qqdl://'));
  await context.close();
});

test('the keyboard: tab order, Enter and Space on a button, Enter in a box, access keys', async () => {
  const {tab, context} = await open('index.html');
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
  await context.close();
});

test('a long address makes a link of several lines, which comes back', async () => {
  const {tab, context} = await open('index.html');
  const long = 'http://example.com/' + 'x'.repeat(150) + '/file.zip';
  await tab.fill('#TxtRes', long);
  await tab.click('#cmdEncodeToXF');
  await tab.waitForFunction(() => document.getElementById('TxtOut').value.startsWith('qqdl://'));
  const link = await tab.inputValue('#TxtOut');
  assert.ok(link.split('\n').length > 2, link);
  await tab.fill('#TxtRes', link);
  await tab.click('#cmdDecodecmd');
  await waitForClipboard(tab, long);
  await context.close();
});

test('Exit ends the page', async () => {
  const {tab, context} = await open('index.html');
  await tab.keyboard.press('Alt+E');
  // The browser may close a page it did not open itself; otherwise the page is left empty.
  await tab.waitForFunction(() => document.body.childElementCount === 0).catch(() => {});
  assert.ok(tab.isClosed() || (await tab.evaluate(() => document.body.childElementCount)) === 0);
  await context.close();
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
    const context = canvas.getContext('2d');
    context.drawImage(image, 0, 0);
    return points.map(([x, y]) => Array.from(context.getImageData(x, y, 1, 1).data.slice(0, 3)));
  }, {shot, points});
}

test('the window is the layout table: places, sizes, colours', async () => {
  const {tab, context} = await open('index.html');
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
  await context.close();
});

test('on a phone-sized screen the window fits with no sideways scrolling', async () => {
  const {tab, context} = await open('index.html', {viewport: {width: 390, height: 844}});
  const widths = await tab.evaluate(() => [document.documentElement.scrollWidth,
                                           document.getElementById('FrmMain').getBoundingClientRect().right]);
  assert.ok(widths[0] <= 390 && widths[1] <= 390, `${widths}`);
  await tab.fill('#TxtRes', 'http://a/b');
  await tab.click('#cmdEncodeToXL');
  await waitForClipboard(tab, 'thunder://QUFodHRwOi8vYS9iWlo=');
  await context.close();
});

test('lists.html converts a mixed list line by line, as batch does', async () => {
  for (const fromDisk of [false, true]) {
    const {tab, context, errors} = await open('lists.html', {fromDisk});
    await tab.fill('#ListIn', ['下载: thunder://QUFodHRwOi8vYS9iWlo= 谢谢', '', '谢谢楼主',
                               'http://plain/x',
                               '<a href="flashget://W0ZMQVNIR0VUXWh0dHA6Ly9hL2JbRkxBU0hHRVRd&abc">'].join('\n'));
    await tab.selectOption('#ListMode', 'decode');
    await tab.selectOption('#ListCharset', 'auto');
    await tab.click('#ListRun');
    const lines = await tab.$$eval('#ListOut li', (items) =>
      items.map((item) => [item.className, item.textContent.trim()]));
    assert.deepEqual(lines, [['', 'http://a/b'], ['', ''], ['failed', '× the line holds no special link'],
                             ['', 'http://plain/x'], ['', 'http://a/b']]);
    assert.equal(await tab.textContent('#ListSummary'), '共 5 行：转换 2 行，原样保留 1 行，失败 1 行');
    await tab.click('#ListCopy');
    await waitForClipboard(tab, 'http://a/b\n\n\nhttp://plain/x\nhttp://a/b');

    // A GBK file, opened as a file: its bytes are read as batch reads them.
    await tab.setInputFiles('#ListFile', {name: 'list.txt', mimeType: 'text/plain',
                                          buffer: Buffer.from('http://a/\xcb\xae.mp3\nthunder://QUFodHRwOi8vYS/W0Fpa\n', 'latin1')});
    await tab.waitForFunction(() => document.getElementById('ListSummary').textContent.startsWith('共 2 行'));
    assert.deepEqual(await tab.$$eval('#ListOut li', (items) => items.map((item) => item.textContent)),
                     ['http://a/水.mp3', 'http://a/中']);
    await tab.selectOption('#ListMode', 'flashget');
    await tab.fill('#ListIn', 'http://a/b');
    await tab.click('#ListRun');
    assert.deepEqual(await tab.$$eval('#ListOut li', (items) => items.map((item) => item.textContent)),
                     ['flashget://aHR0cDovL2EvYg==']);
    const download = tab.waitForEvent('download');
    await tab.click('#ListSave');
    const saved = await (await download).path();
    assert.equal(fs.readFileSync(saved, 'utf8'), 'flashget://aHR0cDovL2EvYg==\n');
    // A long list: the rows in view are the right ones wherever it is scrolled to.
    await tab.selectOption('#ListMode', 'decode');
    // (Set as a paste would, in one piece: typing it would take minutes.)
    await tab.$eval('#ListIn', (box, text) => {
      box.value = text;
      box.dispatchEvent(new Event('input'));
    }, Array.from({length: 3000}, (_, i) => (i === 2000 ? 'nothing' : `http://a/${i + 1}`)).join('\n'));
    await tab.click('#ListRun');
    await tab.$eval('#ListView', (view) => { view.scrollTop = 1990 * 18; });
    await tab.waitForFunction(() => {
      const out = document.getElementById('ListOut');
      return out.start <= 1990 && out.start + out.children.length > 2010;
    });
    const rows = await tab.$eval('#ListOut', (out) => Array.from(out.children, (row, i) =>
      [out.start + i, row.className, row.textContent]));
    for (const [number, className, text] of rows) {
      assert.deepEqual([className, text], number === 2001 ? ['failed', '× the line holds no special link']
                                                          : ['', `http://a/${number}`]);
    }
    assert.deepEqual(errors, []);
    await context.close();
  }
});
