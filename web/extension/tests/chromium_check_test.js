// The popup's "Check links" in Debian's Chromium (playwright-core): a post whose links lead to a
// live file, to files gone, to a server that will not answer HEAD, to a removed file's page, through
// redirects, to this machine and a private network, and to peers. Every host the post names is
// reached through the test's server as the browser's proxy, so that every request the check
// makes is seen; this machine's service is a listener of its own, reached only directly. Then
// the exports and a real aria2c are given only what the check found alive or could not tell.
//   node chromium_check_test.js EXTENSION_DIR
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const {launchWithExtension, openPopup} = require('../../tests/support/chromium');
const {waitUntil} = require('../../tests/support/patience');
const {checkServers, magnet, ed2k, askedOf, askedByTheCheck} = require('./check_pages');
const {withAria2} = require('./aria2c');

const built = path.resolve(process.argv[2]);

// The extension as a person has it once they allowed it to reach every site when the popup
// asked: Chromium asks nothing more of an extension that holds the access already.
function allowedCopy() {
  const allowed = fs.mkdtempSync(path.join(os.tmpdir(), 'zentrova-extension-'));
  fs.cpSync(built, allowed, {recursive: true});
  const manifest = JSON.parse(fs.readFileSync(path.join(allowed, 'manifest.json'), 'utf8'));
  manifest.host_permissions = manifest.optional_host_permissions;
  fs.writeFileSync(path.join(allowed, 'manifest.json'), JSON.stringify(manifest));
  return allowed;
}

let servers;
let allowed;
let browser;
test.before(async () => {
  servers = await checkServers();
  allowed = allowedCopy();
  browser = await launchWithExtension(allowed, {args: [`--proxy-server=${servers.proxy}`]});
  // A cookie the hosts set before: the check sends none.
  await browser.context.addCookies(['files.test', 'nohead.test', 'short.test'].map(
      (domain) => ({name: 'session', value: 'kept', domain, path: '/'})));
});
test.after(async () => {
  await browser.close();
  servers.close();
  fs.rmSync(allowed, {recursive: true, force: true});
});

// The popup's lines once every verdict has come: {address: verdict words}.
async function checkedLines(popup) {
  await waitUntil(popup, () => {
    const verdicts = [...document.querySelectorAll('#Links .verdict')];
    return verdicts.length > 0 && verdicts.every((v) => v.dataset.state) &&
           !document.getElementById('CheckLinks').disabled;
  }, null, 'every verdict');
  return Object.fromEntries(await popup.$$eval('#Links li', (rows) => rows.map((row) => [
    row.querySelector('.address').textContent, row.querySelector('.verdict').textContent])));
}

test('"Check links" judges each address, asks nothing of this machine or a private network, ' +
     'and the exports leave the dead ones out', async () => {
  const {origin, here} = servers;
  const page = await browser.context.newPage();
  await page.goto(`${origin}/check.html`);
  await page.waitForSelector('#magnet[data-zentrova-link]');
  const popup = await openPopup(browser, page);
  assert.equal(await popup.textContent('#CheckLinks'), '检查链接');
  const before = servers.asked.length + servers.trapped.length;
  assert.equal(before, 0, `nothing is asked before the click: ${JSON.stringify([servers.asked, servers.trapped])}`);
  await popup.click('#CheckLinks');
  const lines = await checkedLines(popup);

  const byName = here.replace('127.0.0.1', 'localhost');
  const thisMachine = '× 已拒绝：地址指向本机：未发出任何请求';
  assert.deepEqual(lines, {
    'http://files.test/files/a.zip': '✓ 有效（2.9 KiB, application/zip）',
    'http://files.test/gone/404.zip': '× 失效：服务器上已没有这个文件（404）',
    'http://files.test/gone/410.rar': '× 失效：服务器上已没有这个文件（410）',
    'http://nohead.test/big.iso': '✓ 有效（117.7 MiB, application/octet-stream）',
    'http://removed.test/film/movie.mkv': '× 失效：地址指向文件，回应的却是网页（200）',
    'http://short.test/r/1': '✓ 有效（48.8 KiB, video/mp4） → http://files.test/files/b.mp4',
    'http://short.test/to-here': `× 已拒绝：该地址重定向到本机：未采用其回应 → ${here}/secret`,
    [`${here}/direct.zip`]: thisMachine,
    [`${byName}/direct.zip`]: thisMachine,
    'http://10.0.0.1/router.zip': '× 已拒绝：地址指向私有网络：未发出任何请求',
    [ed2k]: '? 不明：通过其他用户而非服务器获取：未检查',
    [magnet]: '? 不明：通过其他用户而非服务器获取：未检查',
  });
  assert.deepEqual(await popup.$$eval('#Notes p', (ps) => ps.map((p) => p.textContent)),
                   ['已检查 12 个地址：有效 3 个，失效 3 个，不明 2 个，已拒绝 4 个（本机或私有网络的地址，未询问）。']);

  // What the servers were asked: HEAD, a ranged GET of the server that refused HEAD and
  // nothing else, each address once, no cookie; this machine's service only by the browser's
  // own redirect, and never again; the private network never.
  assert.deepEqual(askedOf(servers), askedByTheCheck);
  assert.deepEqual(servers.asked.filter((request) => request.cookie || request.referer), []);
  assert.deepEqual(servers.trapped, [{method: 'HEAD', path: '/secret'}]);

  // The exports take the live and unknown downloads, and say how many they left out.
  const ed2kRow = (await popup.$$eval('#Links li .address', (spans) => spans.map((s) => s.textContent)))
                      .indexOf(ed2k) + 1;
  const [download] = await Promise.all([popup.waitForEvent('download'), popup.click('#ExportAria2')]);
  assert.equal(fs.readFileSync(await download.path(), 'utf8'),
               'http://files.test/files/a.zip\n  out=a.zip\nhttp://nohead.test/big.iso\n  out=big.iso\n' +
               `http://short.test/r/1\n  out=1\n${magnet}\n`);
  assert.deepEqual(await popup.$$eval('#Notes p', (ps) => ps.map((p) => p.textContent)), [
    '已保存为 zentrova.aria2.txt。',
    '检查后略去了 7 个下载：3 个失效，4 个指向本机或私有网络。',
    `第 ${ed2kRow} 个链接：aria2 无法下载 ed2k 地址；已略去`,
  ]);
  const [ef2] = await Promise.all([popup.waitForEvent('download'), popup.click('#ExportIdm')]);
  assert.equal(fs.readFileSync(await ef2.path(), 'utf8'),
               ['http://files.test/files/a.zip', 'http://nohead.test/big.iso', 'http://short.test/r/1']
                   .map((uri) => `<\r\n${uri}\r\n>\r\n`).join(''));
  assert.equal(await popup.textContent('#Notes p.problem'), '检查后略去了 7 个下载：3 个失效，4 个指向本机或私有网络。');
  assert.equal(servers.trapped.length, 1, 'the exports asked nothing');
  await popup.close();
  await page.close();
});


// The browser's prompt cannot be answered from here: the popup's own request stands in for it,
// answering as a person who refuses does, or failing as it does outside a click.
test('without leave to reach the sites nothing is checked or asked, and the popup says so',
     async () => {
       const page = await browser.context.newPage();
       await page.goto(`${servers.origin}/check.html`);
       await page.waitForSelector('#magnet[data-zentrova-link]');
       const asked = servers.asked.length + servers.trapped.length;
       for (const refusal of ['refused', 'failed']) {
         const popup = await openPopup(browser, page);
         await popup.evaluate((refusal) => {
           chrome.permissions.request = refusal === 'refused' ? async () => false : async () => {
             throw new Error('This function must be called during a user gesture');
           };
         }, refusal);
         await popup.click('#CheckLinks');
         await popup.waitForSelector('#Notes p');
         assert.deepEqual(await popup.$$eval('#Notes p', (ps) => ps.map((p) => [p.className, p.textContent])),
                          [['problem', '未作检查：浏览器没有允许 Zentrova 访问这些网站。']]);
         assert.equal(await popup.$$eval('#Links .verdict', (spans) => spans.length), 0);
         assert.equal(await popup.isDisabled('#CheckLinks'), false, 'it may be asked again');
         // The exports are as they were before any check.
         const [download] = await Promise.all([popup.waitForEvent('download'), popup.click('#ExportIdm')]);
         assert.equal(fs.readFileSync(await download.path(), 'utf8').split('<\r\n').length - 1, 8,
                      'every http download but the two on this machine');
         await popup.close();
       }
       assert.equal(servers.asked.length + servers.trapped.length, asked);
       await page.close();
     });

// Last: aria2 fetches the files it is given through the test's server, whose requests the
// tests above count.
test('after a check, "发送到 aria2" sends only the live and unknown downloads, and says how many it left out',
     async () => {
       const secret = 'zentrova-s3cret';
       await withAria2(secret, {proxy: servers.proxy}, async (aria2) => {
         const options = await browser.context.newPage();
         await options.goto(`chrome-extension://${browser.id}/options.html`);
         await options.waitForSelector('html[data-ready]');
         await options.fill('#Rpc', aria2.rpc);
         await options.fill('#Secret', secret);
         await options.click('#Save');
         await options.waitForSelector('#Notes p');
         assert.equal(await options.textContent('#Notes'), '已保存。');
         await options.close();

         const page = await browser.context.newPage();
         await page.goto(`${servers.origin}/check.html`);
         await page.waitForSelector('#magnet[data-zentrova-link]');
         const popup = await openPopup(browser, page);
         await popup.click('#CheckLinks');
         await checkedLines(popup);
         const ed2kRow = (await popup.$$eval('#Links li .address', (spans) => spans.map((s) => s.textContent)))
                             .indexOf(ed2k) + 1;
         await popup.click('#SendAria2');
         await popup.waitForSelector('#Notes p');
         assert.deepEqual(await popup.$$eval('#Notes p', (ps) => ps.map((p) => p.textContent)), [
           'aria2 已接收 4 个下载。',
           '检查后略去了 7 个下载：3 个失效，4 个指向本机或私有网络。',
           `第 ${ed2kRow} 个链接：aria2 无法下载 ed2k 地址；已略去`,
         ]);
         const held = [...new Set((await aria2.downloads()).flatMap(({uris}) => uris))].sort();
         assert.deepEqual(held, ['http://files.test/files/a.zip', 'http://nohead.test/big.iso',
                                 'http://short.test/r/1']);
         await popup.close();
         await page.close();
       });
     });
