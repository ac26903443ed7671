// The built extension in Debian's Chromium (driven by playwright-core), on pages served from
// 127.0.0.1: links opened in place on a plain page and under a strict policy, links added later,
// a click that downloads, the popup with its copies and exports, the context menu's copy, the
// options' switch, and sending to a real aria2 with the right secret, a wrong one and none
// running.
//   node chromium_test.js EXTENSION_DIR
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const {launchWithExtension, tabOf, openPopup} = require('../../tests/support/chromium');
const {waitFor, waitUntil} = require('../../tests/support/patience');
const {serve, files, escaped, htmlText, filesHost, aria2Host} = require('./pages');
const {hostilePage, checkHostile, hugePage, hugeFrame, checkHuge, attackLinks,
       attackPage} = require('./hostile');
const {checkLinks, checkFrame, checkLater} = require('./page_checks');
const {withAria2: withAria2c, attackOutcome, freePort} = require('./aria2c');
const {thunder, qqdl, flashget, gbk} = require('./links');

const built = path.resolve(process.argv[2]);

// Opens the options page of the extension in `browser`, once it is ready.
async function openOptions(browser) {
  const options = await browser.context.newPage();
  await options.goto(`chrome-extension://${browser.id}/options.html`);
  await options.waitForSelector('html[data-ready]');
  return options;
}

// Has the context menu's "copy plain address" run in tab `tabId` as the browser would, with `info`.
const menu = (browser, tabId, info) => browser.worker.evaluate(
    ({info, tabId}) => copyPlainAddresses(info, {id: tabId}), {info, tabId});

// The popup's notes, once there are any.
async function popupNotes(popup) {
  await popup.waitForSelector('#Notes p');
  return popup.$$eval('#Notes p', (ps) => ps.map((p) => p.textContent));
}

async function downloaded(page, click) {
  const [download] = await Promise.all([page.waitForEvent('download'), click()]);
  return fs.readFileSync(await download.path());
}

let server;
let origin;
let browser;
// The aria2 attack's page, made once its aria2 runs.
let attack = null;
test.before(async () => {
  server = await serve({
    '/popup-page.html': (at) => popupPage(at),
    // The same post with its files on a host that is not this machine's, reached by aria2
    // through this server as its proxy.
    '/send-page.html': (at) => popupPage(at, `http://${filesHost}:${new URL(at).port}`),
    '/hostile.html': hostilePage,
    '/huge.html': hugePage,
    '/huge-frame.html': () => hugeFrame(16),
    '/attack.html': () => attack,
    '/editor.html': () => ['text/html; charset=utf-8', '<!DOCTYPE html><meta charset="utf-8">' +
                           '<title>reply</title><div id="editor" contenteditable="true"></div>'],
  });
  origin = `http://127.0.0.1:${server.address().port}`;
  browser = await launchWithExtension(built);
});
test.after(async () => {
  await browser.close();
  server.close();
});
// Each test leaves only the first tab (closing the last would end the browser), so that a test
// that failed leaves no page behind for the next to find.
test.afterEach(async () => {
  for (const page of browser.context.pages().slice(1)) await page.close();
});

for (const name of ['plain.html', 'strict.html']) {
  test(`${name}: every link form opened in place or refused, in frames, areas and when added later`,
       async () => {
         const page = await browser.context.newPage();
         const problems = [];
         page.on('pageerror', (error) => problems.push(error.message));
         await page.goto(`${origin}/${name}`);
         await checkLinks(page, origin);
         await checkFrame(page, origin);
         await checkLater(page, origin);
         // Refused reasons are said in the browser's language.
         assert.match(await page.getAttribute('#javascript', 'data-zentrova-error'), /[\u4e00-\u9fff]/);
         assert.deepEqual(problems, []);
         assert.deepEqual(browser.dialogs, [], 'no payload ever ran');
         await page.close();
       });
}

test('a click on an opened link downloads the file the link names, byte for byte', async () => {
  const page = await browser.context.newPage();
  await page.goto(`${origin}/plain.html`);
  await checkLinks(page, origin);
  const [gbkFile, utf8File] = files();
  assert.deepEqual(await downloaded(page, () => page.click('#gbk')), gbkFile.content);
  assert.deepEqual(await downloaded(page, () => page.click('#utf8')), utf8File.content);
  await page.close();
});

test('a page cannot talk to the extension', async () => {
  const page = await browser.context.newPage();
  await page.goto(`${origin}/plain.html`);
  const reached = await page.evaluate(async (id) => {
    if (typeof chrome === 'undefined' || !chrome.runtime || !chrome.runtime.sendMessage) return false;
    try {
      await chrome.runtime.sendMessage(id, {type: 'export', items: ['thunder://x'], form: 'json'});
      return true;
    } catch (error) {
      return false;
    }
  }, browser.id);
  assert.equal(reached, false);
  await page.close();
});

// A post as people write them: a link in an href, one only in an attribute, one in the text
// after a Chinese colon, the first again in the text, a refused one and an ed2k address.
function popupLinks(origin, filesOrigin = origin) {
  const at = (name) => Buffer.concat([Buffer.from(`${filesOrigin}/files/`), name]);
  const [gbkFile, utf8File, ascii] = files().map((file) => at(file.name));
  return {
    href: thunder(ascii), attribute: qqdl(utf8File), text: flashget(gbkFile),
    refused: thunder('javascript:alert(1)//'), ed2k: thunder('ed2k://|file|x.avi|1|0123|/'),
    uris: [escaped(ascii), escaped(utf8File), escaped(gbkFile)],
  };
}
function popupPage(origin, filesOrigin = origin) {
  const links = popupLinks(origin, filesOrigin);
  return ['text/html; charset=utf-8', `<!DOCTYPE html><meta charset="utf-8"><title>post</title>
<p><a href="${htmlText(links.href)}">下载</a></p>
<div data-url="${htmlText(links.attribute)}">第二个</div>
<p>下载：${htmlText(links.text)} 谢谢</p>
<p>${htmlText(links.href)}</p>
<p><a id="refused" href="${htmlText(links.refused)}">别点</a></p>
<p>电驴：${htmlText(links.ed2k)}</p>`];
}

test('the popup lists the page\'s links with reasons and counts, copies and exports them', async () => {
  const page = await browser.context.newPage();
  // Files on a host that is not this machine, which the exports for downloaders leave out.
  const at = `http://${filesHost}:${new URL(origin).port}`;
  await page.goto(`${origin}/send-page.html`);
  await page.waitForSelector('#refused[data-zentrova-error]');
  const popup = await openPopup(browser, page);
  const rows = await popup.$$eval('#Links li .address', (spans) => spans.map((s) => s.textContent));
  assert.equal(rows.length, 5);
  assert.deepEqual(rows.filter((_, i) => i !== 2), [
    `${at}/files/a.zip`, `${at}/files/影片 一.mp4`, `${at}/files/电影 第1集.mkv`,
    'ed2k://|file|x.avi|1|0123|/']);
  assert.match(rows[2], /^× .*javascript:/);
  assert.equal(await popup.textContent('#Summary'),
               '共 5 个链接：已转换 4 个，普通地址 0 个，失败 1 个');
  assert.equal(await popup.isHidden('#SendAria2'), true, 'no aria2 is configured');

  const {uris} = popupLinks(origin, at);
  const aria2 = await downloaded(popup, () => popup.click('#ExportAria2'));
  assert.equal(aria2.toString('utf8'), `${uris[0]}\n  out=a.zip\n${uris[1]}\n  out=影片 一.mp4\n` +
                                       `${uris[2]}\n  out=电影 第1集.mkv\n`);
  const notes = await popup.$$eval('#Notes p', (ps) => ps.map((p) => p.textContent));
  assert.equal(notes[0], '已保存为 zentrova.aria2.txt。');
  assert.match(notes[1], /^第 3 个链接：.*javascript:/);
  assert.equal(notes[2], '第 5 个链接：aria2 无法下载 ed2k 地址；已略去');
  const ef2 = await downloaded(popup, () => popup.click('#ExportIdm'));
  assert.equal(ef2.toString('utf8'), uris.map((uri) => `<\r\n${uri}\r\n>\r\n`).join(''));

  await browser.context.grantPermissions(['clipboard-read', 'clipboard-write']);
  await popup.click('#CopyAll');
  await popup.waitForSelector('#Notes p');
  assert.equal(await popup.textContent('#Notes'), '已复制 4 个地址。');
  assert.equal(await popup.evaluate(() => navigator.clipboard.readText()),
               [...rows.filter((_, i) => i !== 2)].join('\n'));
  await popup.close();
  await page.close();
});

test('the popup says so when a page has no special link or cannot be read', async () => {
  const page = await browser.context.newPage();
  await page.goto(`${origin}/none.html`);
  const popup = await openPopup(browser, page);
  assert.equal(await popup.textContent('#Summary'), '此页没有专用链接。');
  assert.equal(await popup.isDisabled('#CopyAll'), true);
  await popup.close();
  // No content script runs in a data: page.
  const unreadable = await browser.context.newPage();
  await unreadable.goto(`data:text/html,<title>x</title><a href="${encodeURIComponent(thunder('http://a/b'))}">x</a>`);
  const other = await openPopup(browser, unreadable);
  assert.match(await other.textContent('#Summary'), /无法读取此页/);
  await other.close();
  await unreadable.close();
  await page.close();
});

test('the context menu copies the plain address of a link or of the links in a selection',
     async () => {
       const page = await browser.context.newPage();
       await page.goto(`${origin}/popup-page.html`);
       await page.waitForSelector('#refused[data-zentrova-error]');
       await browser.context.grantPermissions(['clipboard-read', 'clipboard-write'], {origin});
       const tabId = await tabOf(browser, page);
       const clipboard = () => page.evaluate(() => navigator.clipboard.readText());

       // An opened link: its address, not the escaped bytes its href now holds.
       await page.click('a >> nth=0', {button: 'right'});
       assert.deepEqual((await menu(browser, tabId, {frameId: 0, linkUrl: 'x'})).copied,
                        [`${origin}/files/a.zip`]);
       await page.bringToFront();
       assert.equal(await clipboard(), `${origin}/files/a.zip`);

       // A selection of two paragraphs: the link in each.
       await page.evaluate(() => {
         const paragraphs = document.querySelectorAll('p');
         const range = document.createRange();
         range.setStartBefore(paragraphs[1]);
         range.setEndAfter(paragraphs[2]);
         getSelection().removeAllRanges();
         getSelection().addRange(range);
       });
       await menu(browser, tabId, {frameId: 0, selectionText: 'x'});
       assert.equal(await clipboard(),
                    `${origin}/files/电影 第1集.mkv\n${origin}/files/a.zip`);

       // A refused link: nothing copied, and the reason shown on the button.
       await page.evaluate(() => getSelection().removeAllRanges());
       await page.click('#refused', {button: 'right'});
       const refused = await menu(browser, tabId, {frameId: 0, linkUrl: 'x'});
       assert.deepEqual(refused.copied, []);
       assert.match(refused.why, /javascript:/);
       assert.equal(await clipboard(), `${origin}/files/电影 第1集.mkv\n${origin}/files/a.zip`);
       assert.equal(await browser.worker.evaluate((tabId) => chrome.action.getBadgeText({tabId}), tabId), '!');
       await page.close();
     });

test('the options\' switch leaves pages as they are; the popup still lists their links', async () => {
  const options = await openOptions(browser);
  assert.equal(await options.isChecked('#Rewrite'), true);
  await options.uncheck('#Rewrite');
  await waitUntil(options, async () => (await chrome.storage.local.get('rewrite')).rewrite === false,
                  null, 'the switch to be saved');
  // The background hears of the change on its own; pages loaded before it has may be opened.
  await waitFor(async () => !(await browser.worker.evaluate(() => rewriting())),
                'the background to hear of the switch');
  const page = await browser.context.newPage();
  await page.goto(`${origin}/popup-page.html`);
  const popup = await openPopup(browser, page);
  assert.equal(await popup.textContent('#Summary'), '共 5 个链接：已转换 4 个，普通地址 0 个，失败 1 个');
  assert.equal(await page.getAttribute('a >> nth=0', 'href'), popupLinks(origin).href);
  assert.equal(await page.getAttribute('#refused', 'data-zentrova-error'), null);
  await options.check('#Rewrite');
  await waitUntil(options, async () => (await chrome.storage.local.get('rewrite')).rewrite === true,
                  null, 'the switch to be saved');
  for (const p of [popup, page, options]) await p.close();
});

test('options: an address that is not http or https is refused and nothing is stored', async () => {
  const options = await openOptions(browser);
  // How to set a secret is said, for aria2 and for Motrix, as nothing is sent without one.
  const how = await options.textContent('#SecretHow');
  for (const words of ['--rpc-secret=', 'aria2.conf 中写 rpc-secret=', 'Motrix', 'RPC 授权密钥']) {
    assert.ok(how.includes(words), how);
  }
  for (const bad of ['javascript:alert(1)', 'ws://127.0.0.1:6800/jsonrpc', '127.0.0.1:6800']) {
    await options.fill('#Rpc', bad);
    await options.click('#Save');
    await options.waitForSelector('#Notes p.problem');
    assert.match(await options.textContent('#Notes'), /http:\/\/ 或 https:\/\//);
    await options.evaluate(() => document.getElementById('Notes').replaceChildren());
  }
  assert.equal(await options.evaluate(async () => (await chrome.storage.local.get('rpc')).rpc), undefined);
  await options.close();
});

// aria2 is reached only with the user's leave; the test's copy of the extension has it for
// 127.0.0.1, as a user who clicked "Allow" has.
function allowedCopy() {
  const allowed = fs.mkdtempSync(path.join(os.tmpdir(), 'zentrova-extension-'));
  fs.cpSync(built, allowed, {recursive: true});
  const manifest = JSON.parse(fs.readFileSync(path.join(allowed, 'manifest.json'), 'utf8'));
  manifest.host_permissions = ['http://127.0.0.1/*', `http://${aria2Host}/*`];
  fs.writeFileSync(path.join(allowed, 'manifest.json'), JSON.stringify(manifest));
  return allowed;
}

// Saves aria2's address and secret in the options of `browser`, as a user does.
async function saveAria2(browser, rpc, key) {
  const options = await openOptions(browser);
  await options.fill('#Rpc', rpc);
  await options.fill('#Secret', key);
  await options.click('#Save');
  await options.waitForSelector('#Notes p');
  assert.equal(await options.textContent('#Notes'), '已保存。');
  const warned = await options.isVisible('#NoSecret');
  await options.close();
  return warned;
}

// Sends the post's links to aria2 from the popup of `browser`; returns the popup's notes.
async function sendPost(browser) {
  const page = await browser.context.newPage();
  await page.goto(`${origin}/send-page.html`);
  await page.waitForSelector('#refused[data-zentrova-error]');
  const popup = await openPopup(browser, page);
  assert.equal(await popup.isVisible('#SendAria2'), true);
  await popup.click('#SendAria2');
  const notes = await popupNotes(popup);
  await popup.close();
  await page.close();
  return notes;
}

// Runs `work(browser, aria2)` with aria2c running with `secret` (or none) and a copy of the
// extension that may reach it, started with the further Chromium `args`; all end after.
async function withAria2(secret, work, args = []) {
  const allowed = allowedCopy();
  try {
    await withAria2c(secret, {proxy: origin}, async (aria2) => {
      const second = await launchWithExtension(allowed, {args});
      try {
        await work(second, aria2);
      } finally {
        await second.close();
      }
    });
  } finally {
    fs.rmSync(allowed, {recursive: true, force: true});
  }
}

test('send to aria2: with the right secret the files arrive; a wrong secret, no aria2 and no leave are said',
     async () => {
       const secret = 'zentrova-s3cret';
       await withAria2(secret, async (second, aria2) => {
         const send = async (rpc, key) => {
           assert.equal(await saveAria2(second, rpc, key), false, 'no warning with a secret');
           return sendPost(second);
         };
         const sent = await send(aria2.rpc, secret);
         assert.equal(sent[0], 'aria2 已接收 3 个下载。');
         assert.ok(sent.includes('第 5 个链接：aria2 无法下载 ed2k 地址；已略去'), sent.join('|'));
         await aria2.settled();
         const [gbkFile, utf8File, ascii] = files();
         for (const file of [gbkFile, utf8File, ascii]) {
           assert.deepEqual(fs.readFileSync(path.join(aria2.dir, file.text)), file.content, file.text);
         }
         assert.deepEqual(fs.readdirSync(aria2.dir).sort(), [gbkFile, utf8File, ascii].map((f) => f.text).sort());

         assert.match((await send(aria2.rpc, 'not-the-secret'))[0], /aria2 拒绝了密钥/);
         // An address that answers, but not as aria2 does (this test's own web server).
         assert.equal((await send(`${origin}/jsonrpc`, secret))[0],
                      `${origin}/jsonrpc 的应答不是 aria2 的（HTTP 404）：请检查地址。`);
         const nobody = `http://127.0.0.1:${await freePort()}/jsonrpc`;
         assert.equal((await send(nobody, secret))[0],
                      `${nobody} 上没有 aria2 应答：aria2 是否在运行（aria2c --enable-rpc，或 Motrix），地址是否正确？`);
       });

       // The extension as installed has no leave for any address until the user gives it.
       await browser.worker.evaluate(
           (rpc) => chrome.storage.local.set({rpc, secret: 'x'}), 'http://127.0.0.1:6800/jsonrpc');
       const page = await browser.context.newPage();
       await page.goto(`${origin}/popup-page.html`);
       const popup = await openPopup(browser, page);
       await popup.click('#SendAria2');
       await popup.waitForSelector('#Notes p');
       assert.equal(await popup.textContent('#Notes'),
                    'Zentrova 无权访问 http://127.0.0.1:6800：请在选项中重新保存地址并允许访问。');
       await browser.worker.evaluate(() => chrome.storage.local.remove(['rpc', 'secret']));
       await popup.close();
       await page.close();
     });

test('in an English browser the extension speaks English', async () => {
  const english = await launchWithExtension(built, {english: true});
  try {
    const page = await english.context.newPage();
    await page.goto(`${origin}/popup-page.html`);
    await page.waitForSelector('#refused[data-zentrova-error]');
    assert.match(await page.getAttribute('#refused', 'data-zentrova-error'),
                 /^the link holds a 'javascript:' address/);
    const popup = await openPopup(english, page);
    assert.equal(await popup.textContent('#Summary'),
                 '5 links: 4 opened, 0 plain addresses, 1 failed');
    assert.equal(await popup.textContent('#CopyAll'), 'Copy all');
  } finally {
    await english.close();
  }
});

test('a hostile page: editors, links that only carry one, a planted mark and shadow roots',
     async () => {
       const page = await browser.context.newPage();
       await checkHostile(page, origin);
       // The popup lists what the page holds, never the address a page planted in our mark.
       const popup = await openPopup(browser, page);
       const listed = await popup.$$eval('#Links li', (rows) => rows.map((r) => r.textContent));
       assert.ok(listed.length > 0);
       assert.ok(listed.every((row) => !row.includes('evil.example')), listed.join('|'));
       await popup.close();
       // The menu copies the link's own address; where the content script cannot tell (a frame
       // it does not run in), the one the browser gives.
       await browser.context.grantPermissions(['clipboard-read', 'clipboard-write'], {origin});
       const tabId = await tabOf(browser, page);
       await page.click('#planted', {button: 'right'});
       assert.deepEqual((await menu(browser, tabId, {frameId: 0, linkUrl: 'x'})).copied,
                        ['https://legit.example/setup.exe']);
       assert.deepEqual((await menu(browser, tabId, {frameId: 4242,
                                                     linkUrl: thunder(`${origin}/files/a.zip`)}))
                            .copied, [`${origin}/files/a.zip`]);
       await page.close();
     });

// A person copies part of a post whose link was opened and pastes it into another site's
// editor, where no link was ever opened: the page's link arrives, not ours.
test('a copy of opened links carries the page\'s links into an editor elsewhere', async () => {
  await browser.context.grantPermissions(['clipboard-read', 'clipboard-write'], {origin});
  const page = await browser.context.newPage();
  await page.goto(`${origin}/hostile.html`);
  await waitUntil(page, () => document.getElementById('toQuote').hasAttribute('data-zentrova-link'),
                  null, 'the post\'s link to be opened');
  await page.evaluate(() => {
    const range = document.createRange();
    range.selectNodeContents(document.getElementById('quoted'));
    getSelection().removeAllRanges();
    getSelection().addRange(range);
  });
  await page.keyboard.press('Control+C');
  const copied = await page.evaluate(async () => {
    const [item] = await navigator.clipboard.read();
    return (await item.getType('text/html')).text();
  });
  const original = thunder(`${origin}/files/a.zip`);
  assert.ok(copied.includes(original) && !copied.includes('data-zentrova'), copied);
  assert.equal(await page.evaluate(() => document.getElementById('toQuote').getAttribute('href')),
               `${origin}/files/a.zip`, 'the page keeps its opened link');

  const editor = await browser.context.newPage();
  await editor.goto(`${origin.replace('127.0.0.1', 'localhost')}/editor.html`);
  await editor.click('#editor');
  await editor.keyboard.press('Control+V');
  await waitUntil(editor, () => document.querySelector('#editor a') !== null, null,
                  'the pasted link');
  assert.deepEqual(await editor.evaluate(() => {
    const link = document.querySelector('#editor a');
    return [link.getAttribute('href'), link.getAttribute('title'), link.textContent,
            link.getAttributeNames().filter((name) => name.startsWith('data-zentrova'))];
  }), [original, '第一集', '下载', []]);
  for (const p of [editor, page]) await p.close();
});

test('frames holding hrefs of many megabytes are left alone, and other tabs are served',
     async () => {
       const huge = await browser.context.newPage();
       const other = await browser.context.newPage();
       await checkHuge(huge, other, origin);
       await huge.close();
       await other.close();
     });

// The attack of a page on aria2, saved in the options as `rpc(aria2)` in a browser started
// with `args`: Thunder links whose address is aria2's own JSON-RPC, spelt with `hosts`, and
// magnets whose tracker it is, spelt with `trackers`, asking it for a file in a folder outside
// its own. aria2 runs with `secret` and the options hold it, or with none. Checks that nothing
// was written outside aria2's folder; returns the popup's notes, aria2's port, the downloads
// aria2 holds once it answered, the magnets' hashes, and what aria2's folder holds once it is
// done.
async function attackAria2({secret, rpc, hosts, trackers, args}) {
  let result;
  await withAria2(secret, async (second, aria2) => {
    const outcome = await attackOutcome(aria2, async (outside) => {
      assert.equal(await saveAria2(second, rpc(aria2), secret), !secret,
                   'the options warn of a missing secret, and only then');
      const links = attackLinks(aria2.port, new URL(origin).port, outside, hosts, trackers);
      attack = attackPage(links);
      const page = await second.context.newPage();
      await page.goto(`${origin}/attack.html`);
      await page.waitForSelector(`#attack${links.attacks.length - 1}[data-zentrova-link]`);
      const popup = await openPopup(second, page);
      await popup.click('#SendAria2');
      return {notes: await popupNotes(popup), links};
    });
    result = {...outcome, port: aria2.port};
  }, args);
  return result;
}

// Checks that of the attack's post, aria2 took and wrote the honest download alone.
function onlyHonest({notes, held, written}) {
  assert.equal(notes[0], 'aria2 已接收 1 个下载。');
  assert.deepEqual(held.map(({paths}) => paths.map((file) => path.basename(file))),
                   [['影片 一.mp4']]);
  assert.deepEqual(written, {'影片 一.mp4': files()[1].content});
}

// Without a secret, any link that reaches aria2's JSON-RPC gives it orders, by routes no
// spelling shows (a DNS name, a redirect, a torrent's tracker): so nothing at all is sent, the
// post's honest download neither.
test('send to aria2: an aria2 without a secret is sent nothing, and the popup says why',
     async () => {
       const result = await attackAria2({secret: '', rpc: (aria2) => aria2.rpc,
                                         trackers: [aria2Host]});
       assert.deepEqual(result.notes, [
         `什么也没有发送：${`http://127.0.0.1:${result.port}/jsonrpc`} 上的 aria2 没有设置 RPC ` +
         '密钥，任何网页都能借一个链接向它下达命令（添加下载，把文件写到 aria2 能写的任何地方）。' +
         'Zentrova 只向设置了密钥的 aria2 发送；选项页说明了如何设置。']);
       assert.deepEqual(result.held, [], 'aria2\'s own list holds nothing');
       assert.deepEqual(result.written, {}, 'nothing written in aria2\'s folder');
     });

test('send to aria2: no address on this machine is sent; the honest download still arrives',
     async () => {
       const result = await attackAria2({secret: 'zentrova-s3cret', rpc: (aria2) => aria2.rpc});
       onlyHonest(result);
       assert.match(result.notes[1], /^有 4 个下载未发送：其地址在本机上/);
     });

// The same attack on an aria2 saved under a name that is not this machine's, whose own host and
// port the page spells as the options do, in capitals and with a final dot, as links and as
// magnets' trackers, and as the IPv4-mapped forms of aria2's address. aria2 reaches the name
// through its proxy, which resolves it as the browser does.
test('send to aria2: no address or tracker on aria2\'s own host and port is sent, wherever that is',
     async () => {
       const result = await attackAria2({
         secret: 'zentrova-s3cret', rpc: (aria2) => `http://${aria2Host}:${aria2.port}/jsonrpc`,
         hosts: [aria2Host, aria2Host.toUpperCase(), `${aria2Host}.`],
         trackers: [aria2Host, `${aria2Host.toUpperCase()}.`, '[::ffff:127.0.0.1]', '[::ffff:7f00:1]'],
         args: [`--host-resolver-rules=MAP ${aria2Host} 127.0.0.1`]});
       onlyHonest(result);
       assert.deepEqual(result.notes.slice(1), [
         '有 2 个下载未发送：其地址在本机上（localhost、127.x.x.x、::1 等）。aria2 会自己去取，' +
         '绕过浏览器的一切保护，网页可借此让 aria2 把文件写到它指定的地方。',
         `有 5 个下载未发送：其地址就是 aria2 自己的地址（http://${aria2Host}:${result.port}），` +
         '网页可借此向 aria2 下达命令。']);
     });

// The extension's content script runs in the page's process, in a world of its own: what it can
// reach there, a page that breaks out of its sandbox can reach too. The secret is not among it,
// while the extension's own pages read it.
test('the aria2 secret cannot be read from the content script\'s world', async () => {
  const secret = 'zentrova-kept-secret';
  await browser.worker.evaluate((secret) => chrome.storage.local.set({secret}), secret);
  const page = await browser.context.newPage();
  const cdp = await browser.context.newCDPSession(page);
  try {
    const contexts = [];
    cdp.on('Runtime.executionContextCreated', ({context}) => contexts.push(context));
    await page.goto(`${origin}/none.html`);
    await cdp.send('Runtime.enable');
    const ours = () => contexts.find((context) => context.auxData &&
        context.auxData.type === 'isolated' && context.origin === `chrome-extension://${browser.id}`);
    await waitFor(ours, 'the content script\'s world to be created');
    const run = async (expression) => {
      const {result, exceptionDetails} = await cdp.send('Runtime.evaluate', {
        expression, contextId: ours().id, awaitPromise: true, returnByValue: true});
      assert.equal(exceptionDetails, undefined, expression);
      return result.value;
    };
    // The world is the extension's: its storage API is there to be asked.
    assert.equal(await run('chrome.runtime.id'), browser.id);
    assert.equal(await run('typeof chrome.storage.local.get'), 'function');
    const read = await run(`chrome.storage.local.get(null).then(
        (items) => JSON.stringify(items), (error) => 'refused: ' + error.message)`);
    assert.match(read, /^refused: /);
    assert.ok(!read.includes(secret), read);
    // The extension's own page reads it.
    const options = await openOptions(browser);
    assert.equal(await options.inputValue('#Secret'), secret);
    await options.close();
  } finally {
    await cdp.detach();
    await browser.worker.evaluate(() => chrome.storage.local.remove('secret'));
    await page.close();
  }
});
