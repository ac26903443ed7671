// index.html, the window, in a real browser (Debian's Chromium, driven by playwright-core),
// served from a local server on 127.0.0.1 and opened from disk, used as a person would: keys,
// clicks and the clipboard; and both pages' own policy.
//   node pages_window_test.js SITE_DIR
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const path = require('node:path');
const {workedExamples, refusedSources} = require('./examples');
const {sitePages, close, setClipboard, clipboard, waitForClipboard} = require('./support/site_pages');

const site = path.resolve(process.argv[2]);
const {open, origin} = sitePages(site);

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
    const local = fromDisk ? /^(file|data):/ : new RegExp(`^(${origin()}/|data:)`);
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
