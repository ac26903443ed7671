// The exports of lists.html in a real browser (Debian's Chromium, driven by playwright-core),
// served from a local server on 127.0.0.1: the very bytes zentrova-cli writes, in a worker and
// in the page, which exports a list allows, an export cancelled or failing, and the page's aria2
// export downloaded by aria2c.
//   node pages_export_test.js SITE_DIR
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const {exportCases, nativeCli, runCli} = require('./export_cases');
const {sitePages, close, noWorkers} = require('./support/site_pages');
const {listDone, summary, numbered, asFile, convertList, exportDone, exportNotes,
       exported} = require('./support/lists_page');
const {patience, waitFor} = require('./support/patience');

const {open} = sitePages(path.resolve(process.argv[2]));

const fileNames = {aria2: 'zentrova.aria2.txt', ef2: 'zentrova.ef2', json: 'zentrova.jsonl'};

test('the export buttons save the very bytes zentrova-cli writes, in a worker and in the page', async () => {
  const converters = [{}, {before: noWorkers}];
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

// The files aria2 is to download, under their names' own bytes (GBK, UTF-8, a space, ASCII),
// with the names a person reads, written into `folder`.
function serverFiles(folder) {
  const files = [
    [Buffer.from('b5e7d3b020b5da31bcaf2e6d6b76', 'hex'), '电影 第1集.mkv'],
    [Buffer.from('中文资料.zip'), '中文资料.zip'],
    [Buffer.from('my file.txt'), 'my file.txt'],
    [Buffer.from('plain.bin'), 'plain.bin'],
  ].map(([name, readable]) => ({name, readable, body: require('node:crypto').randomBytes(1000 + name.length * 97)}));
  for (const file of files) fs.writeFileSync(Buffer.concat([Buffer.from(folder + '/'), file.name]), file.body);
  return files;
}

// Starts the server of files kept under their names' bytes, writing its port and the names asked
// for into `work`; resolves to {server, port} once it listens.
async function byteNameServer(work, folder) {
  const {spawn} = require('node:child_process');
  const server = spawn('python3', [path.join(__dirname, '..', '..', 'tests', 'support', 'byte_name_server.py'),
                                   folder, path.join(work, 'port'), path.join(work, 'requests')],
                       {stdio: 'inherit'});
  try {
    await waitFor(() => fs.existsSync(path.join(work, 'port')), 'the file server to start');
  } catch (error) {
    server.kill();
    throw error;
  }
  return {server, port: fs.readFileSync(path.join(work, 'port'), 'utf8').trim()};
}

// A post of the files' links as people write them: text around, HTML, BBCode, FlashGet's
// wrapper, the same files again, a blank line, an ed2k and a failing line. The links name the
// server by a name of no machine, which aria2 reaches through the server itself as its proxy:
// the export leaves out an address on this machine.
function postedList(files) {
  const base = Buffer.from('http://files.example/');
  const b64 = (...parts) => Buffer.concat(parts.map((part) => Buffer.from(part))).toString('base64');
  const thunder = (name) => `thunder://${b64('AA', base, name, 'ZZ')}`;
  const flashget = (name) => `flashget://${b64('[FLASHGET]', base, name, '[FLASHGET]')}&abc`;
  const qqdl = (name) => `qqdl://${b64(base, name)}`;
  const [gbkName, utf8Name, spaced, ascii] = files.map((file) => file.name);
  return Buffer.from([
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
}

// Exports `list` for aria2 from the page into `work`; returns the file's path and bytes, which
// zentrova-cli, where it is built, writes alike.
async function pageExport(work, list) {
  const opened = await open('lists.html');
  const {tab} = opened;
  await convertList(tab, list);
  const saved = await exported(tab, 'aria2');
  const file = path.join(work, saved.name);
  fs.writeFileSync(file, saved.bytes);
  await close(opened);
  const cli = nativeCli();
  if (cli) {
    fs.writeFileSync(path.join(work, 'list.txt'), list);
    assert.ok(runCli(cli, {mode: 'decode', charset: 'auto', form: 'aria2'}, path.join(work, 'list.txt'))
      .stdout.equals(saved.bytes), 'the page and zentrova-cli write the same aria2 file');
  }
  return {file, bytes: saved.bytes};
}

// Runs aria2c on the export `file`, downloading into `down` through the proxy on `port`.
function aria2c(file, down, port) {
  const {execFile} = require('node:child_process');
  return new Promise((resolve) => execFile('aria2c', [
    '-i', file, '-d', down, `--all-proxy=http://127.0.0.1:${port}`,
    '--console-log-level=warn', '--summary-interval=0',
    '--allow-overwrite=false', '--auto-file-renaming=false', '--max-tries=1',
    `--connect-timeout=${patience / 1000}`, `--timeout=${patience / 1000}`,
  ], (error, stdout, stderr) => resolve({error, output: stdout + stderr})));
}

test("aria2 downloads every file of the page's aria2 export once, byte for byte, under its readable name", async () => {
  const work = fs.mkdtempSync(path.join(require('node:os').tmpdir(), 'lists-aria2-'));
  const serverFolder = path.join(work, 'server');
  const down = path.join(work, 'down');
  fs.mkdirSync(serverFolder);
  fs.mkdirSync(down);
  const files = serverFiles(serverFolder);
  const {server, port} = await byteNameServer(work, serverFolder);
  try {
    const exportFile = await pageExport(work, postedList(files));
    const log = await aria2c(exportFile.file, down, port);
    assert.equal(log.error, null, `aria2c failed:\n${log.output}\n${exportFile.bytes}`);
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
