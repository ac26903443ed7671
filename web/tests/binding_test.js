// The binding under Node: what the pages get from the core, checked on its own.
//   node binding_test.js path/to/zentrova.js
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const {workedExamples, refusedSources} = require('./examples');
const ZentrovaCore = require(require('node:path').resolve(process.argv[2]));

const corePromise = ZentrovaCore();

test('the layout table reaches the page whole', async () => {
  const core = await corePromise;
  const {window: frame, controls} = core.layout();
  assert.deepEqual([frame.name, frame.clientWidth, frame.clientHeight], ['FrmMain', 8415, 4365]);
  assert.equal(frame.caption, 'Zentrova - By Ovrani');
  assert.equal(controls.length, 22);
  assert.equal(new Set(controls.map((c) => c.name)).size, 22);
  const byName = new Map(controls.map((c) => [c.name, c]));
  const exit = byName.get('cmdExit');
  assert.deepEqual([exit.kind, exit.text, exit.left, exit.top, exit.width, exit.height, exit.tabIndex],
                   ['button', '退出(&E)', 7080, 3840, 1110, 360, 12]);
  assert.equal(exit.accessKey, 'E');
  assert.equal(byName.get('cmdAbout').accessKey, 'A');
  assert.equal(byName.get('TxtRes').accessibleName, '输入区域');
  assert.equal(byName.get('Picture1').backColor, 0x80a0ff);
  assert.equal(byName.get('LabMainSet(3)').container, 'Picture1');
  assert.deepEqual(byName.get('LabMainSet(3)').font, {family: 'Tahoma', pointSize: 9, weight: 700});
  assert.equal(byName.get('Img(1)').picture, 'thunder');
  assert.equal(byName.get('Line').tabIndex, null);
  assert.equal(byName.get('Line').backColor, null);
});

test('the commands give the worked examples, from the input box and from the clipboard', async () => {
  const core = await corePromise;
  const rows = [
    ...workedExamples,
    ['cmdEncodeToFG', 'http://a/€', 'flashget://aHR0cDovL2EvgA=='],  // 0x80 in code page 936
  ];
  for (const [command, source, expected] of rows) {
    const typed = core.runCommand(command, `  ${source} `, null, 'not read');
    assert.deepEqual(typed, {txtOut: expected, clipboard: [null, expected], failure: null},
                     `${command} of the typed ${source}`);
    const pasted = core.runCommand(command, '   ', source, '');
    assert.deepEqual(pasted, typed, `${command} of the clipboard's ${source}`);
  }
});

test('a refused source leaves the failure text and the clipboard alone', async () => {
  const core = await corePromise;
  const rows = [...refusedSources, ['cmdEncodeToXF', '', '剪切板文本不是HTTP链接']];
  for (const [command, source, failureText] of rows) {
    assert.deepEqual(core.runCommand(command, '', source, ''),
                     {txtOut: failureText, clipboard: [], failure: null}, `${command} of ${source}`);
  }
});

test('a clipboard the browser would not read stops the command with a report', async () => {
  const core = await corePromise;
  assert.deepEqual(core.runCommand('cmdDecodecmd', ' ', null, 'the browser said no'),
                   {txtOut: null, clipboard: [], failure: '错误 -1：the browser said no'});
  assert.throws(() => core.runCommand('cmdAbout', 'http://a/b', null, ''));
});

test('a long address makes a link of 72-column lines that comes back', async () => {
  const core = await corePromise;
  const address = 'http://example.com/' + 'x'.repeat(150) + '/file.zip';
  const link = core.runCommand('cmdEncodeToXF', address, null, '').txtOut;
  const lines = link.replace(/^qqdl:\/\//, '').split('\n');
  assert.ok(lines.length > 2);
  assert.ok(lines.slice(0, -1).every((line) => line.length === 72), link);
  assert.equal(core.runCommand('cmdDecodecmd', link, null, '').txtOut, address);
});

test('the codec released by Exit is made again at the next need', async () => {
  const core = await corePromise;
  core.releaseCodec();
  assert.equal(core.runCommand('cmdEncodeToFG', 'http://a/b', null, '').txtOut,
               'flashget://aHR0cDovL2EvYg==');
});

test('lists convert line by line as batch converts them, text or bytes', async () => {
  const core = await corePromise;
  const list = ['下载: thunder://QUFodHRwOi8vYS9iWlo= 谢谢', '', '谢谢楼主', 'http://plain/x',
                '<a href="flashget://W0ZMQVNIR0VUXWh0dHA6Ly9hL2JbRkxBU0hHRVRd&abc">'];
  const expected = {
    text: 'http://a/b\n\n\nhttp://plain/x\nhttp://a/b', lines: 5, converted: 2, passedThrough: 1,
    failed: 1, failures: [{line: 3, why: 'the line holds no special link'}],
  };
  assert.deepEqual(core.convertListText(list.join('\n'), 'decode', 'auto'), expected);
  assert.deepEqual(core.convertListText(list.join('\r\n') + '\r\n', 'decode', 'auto'), expected);
  const utf8 = Buffer.from(list.join('\n') + '\n');
  assert.deepEqual(core.convertListBytes(utf8, 'decode', 'auto'), expected);
  assert.deepEqual(core.convertListBytes(Buffer.concat([Buffer.from([0xef, 0xbb, 0xbf]), utf8]),
                                         'decode', 'auto'), expected);
  // The same list in GBK: "下载" D4 D8 CF C2, "谢谢" D0 BB D0 BB, "楼主" C2 A5 D6 F7.
  const gbk = Buffer.from(list.join('\n')
    .replace('下载', '\xd4\xd8\xcf\xc2').replaceAll('谢谢', '\xd0\xbb\xd0\xbb')
    .replace('楼主', '\xc2\xa5\xd6\xf7'), 'latin1');
  assert.deepEqual(core.convertListBytes(gbk, 'decode', 'auto'), expected);

  const mixed = Buffer.concat([Buffer.from('http://a/中\n'), Buffer.from('http://a/\xd6\xd0\n', 'latin1'),
                               Buffer.from('http://a/\xff\xfe\n', 'latin1')]);
  assert.deepEqual(core.convertListBytes(mixed, 'decode', 'auto'), {
    text: 'http://a/中\nhttp://a/中\n', lines: 3, converted: 0, passedThrough: 2, failed: 1,
    failures: [{line: 3, why: 'the line is neither UTF-8 nor GBK'}],
  });
  assert.equal(core.convertListBytes(Buffer.from('http://a/\xcb\xae.mp3\n', 'latin1'), 'decode',
                                     'auto').text, 'http://a/水.mp3');
  assert.equal(core.convertListText('http://a/1\rthunder://QUFodHRwOi8vYS9iWlo=\r\nhttp://a/2\n\rhttp://a/3',
                                    'decode', 'auto').text, 'http://a/1\nhttp://a/b\nhttp://a/2\n\nhttp://a/3');
});

test('lists make links of every kind and charset, and refuse what cannot be made', async () => {
  const core = await corePromise;
  const made = core.convertListText('http://a/b\n\nsee http://a/中', 'thunder', 'auto');
  assert.equal(made.text, 'thunder://QUFodHRwOi8vYS9iWlo=\n\nthunder://QUFodHRwOi8vYS/W0Fpa');
  assert.equal(made.converted, 2);
  const utf8 = core.convertListText('http://a/中', 'qqdl', 'utf-8').text;
  assert.equal(core.convertListText(utf8, 'decode', 'utf-8').text, 'http://a/中');
  const lossy = core.convertListText('http://a/😀', 'flashget', '936');
  assert.equal(lossy.failed, 1);
  assert.match(lossy.failures[0].why, /^code page 936 cannot hold U\+1F600/);
  assert.equal(core.convertListText('', 'decode', 'auto').lines, 0);
  assert.throws(() => core.convertListText('http://a/b', 'ed2k', 'auto'));
  assert.throws(() => core.convertListText('http://a/b', 'decode', 'latin1'));
});
