// lists.html in a real browser (Debian's Chromium, driven by playwright-core), served from a
// local server on 127.0.0.1 and opened from disk: lists typed, pasted, opened and dropped,
// converted in a worker or in the page, cancelled, stopped at a limit, millions of rows
// scrolled, copied and saved.
//   node pages_lists_test.js SITE_DIR
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const {sitePages, close, waitForClipboard, noWorkers} = require('./support/site_pages');
const {listDone, rows, summary, note, numbered, asFile, saved} = require('./support/lists_page');

const {open} = sitePages(path.resolve(process.argv[2]));

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
  assert.equal(await tab.textContent('#ListCheckNote'),
               'this page cannot check whether the addresses still download, as a web page may not ask ' +
               'other sites: "zentrova-cli batch decode --check" checks a list, and the Zentrova browser ' +
               'extension checks the links of a page ("Check links" in its popup)');
  await close(opened);
});

test('lists.html says under its exports why it cannot check addresses, and what can', async () => {
  const opened = await open('lists.html');
  const {tab} = opened;
  await tab.waitForFunction(() => document.documentElement.dataset.ready === 'true');
  assert.equal(await tab.textContent('#ListCheckNote'),
               '本页无法检查这些地址是否仍能下载，因为网页不得向其他网站发出询问：“zentrova-cli batch ' +
               'decode --check”可检查一份列表，Zentrova 浏览器扩展可检查一个网页上的链接（其弹出窗口中的“检查链接”）');
  // Under the export buttons, and there before anything is converted.
  assert.equal(await tab.evaluate(() => {
    const note = document.getElementById('ListCheckNote');
    return note.compareDocumentPosition(document.getElementById('ListExportJson')) &
           Node.DOCUMENT_POSITION_PRECEDING;
  }), 2);
  await close(opened);
});

test('where the browser will start no worker, the page converts in pieces itself', async () => {
  const refusing = [  // a browser without workers, and a host whose own policy forbids them
    {before: noWorkers},
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
