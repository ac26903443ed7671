// Makes the README's pictures of the extension in Debian's Chromium: a forum post whose links
// it opened (each link's address shown beside it, as the status bar shows it on hover) and
// the popup over that post.
//   node web/extension/screenshots.js build/web/extension docs
'use strict';
const path = require('node:path');
const {launchWithExtension, openPopup} = require('../tests/support/chromium');
const {listen} = require('../tests/support/servers');
const {thunder, qqdl, flashget, gbk} = require('./tests/links');
const {files, htmlText} = require('./tests/pages');
const {runWithBrowser} = require('../tests/support/browser_script');

const [built, docs] = process.argv.slice(2).map((p) => path.resolve(p));

function post(origin) {
  const at = (name) => Buffer.concat([Buffer.from(`${origin}/files/`), name]);
  const [film, clip, archive, song] = files().map((file) => at(file.name));
  const links = [
    ['迅雷下载：第1集', thunder(film)],
    ['旋风下载：片花', qqdl(clip)],
    ['快车下载：资料包', flashget(archive, true)],
    ['迅雷下载：主题曲', thunder(song)],
    ['（坏链接）迅雷下载', thunder('javascript:alert(document.cookie)//')],
  ];
  const rows = links.map(([text, href]) => `<li><a href="${htmlText(href)}">${text}</a>
    <code></code></li>`).join('');
  return `<!DOCTYPE html><meta charset="utf-8"><title>【资源】电影 第1集 高清下载</title>
<style>
body { font: 15px "WenQuanYi Micro Hei", sans-serif; margin: 0; background: #eef1f5; }
header { background: #2f4a6d; color: #fff; padding: 10px 18px; font-size: 17px; }
article { background: #fff; margin: 14px 18px; padding: 12px 18px; border: 1px solid #ccd3dd; }
li { margin: 8px 0; } code { display: block; color: #555; font-size: 12px; }
a[data-zentrova-error] { color: #999; text-decoration: line-through; }
</style>
<header>某论坛 › 影视资源</header>
<article><h3>【资源】电影 第1集 高清下载</h3><p>楼主：下载链接如下，谢谢支持！</p><ul>${rows}</ul>
<p>没装下载工具也能直接点。</p></article>
<script src="/show.js"></script>`;
}

// What a hover over each link would show: where it leads now, or why it was left alone.
const show = `for (const link of document.querySelectorAll('a')) {
  const line = link.nextElementSibling;
  const update = () => {
    line.textContent = link.dataset.zentrovaError ? '未转换：' + link.dataset.zentrovaError
                                                  : '链接指向：' + link.getAttribute('href');
  };
  new MutationObserver(update).observe(link, {attributes: true});
  update();
}`;

const serve = () => listen((request, response, origin) => {
  if (request.url === '/show.js') {
    return response.writeHead(200, {'Content-Type': 'text/javascript'}).end(show);
  }
  response.writeHead(200, {'Content-Type': 'text/html; charset=utf-8'}).end(post(origin));
});
const launch = () => launchWithExtension(built, {viewport: {width: 760, height: 430}});
runWithBrowser(serve, launch, async (server, browser) => {
  const page = await browser.context.newPage();
  await page.goto(`${server.origin}/post.html`);
  await page.waitForFunction(() => document.querySelectorAll('[data-zentrova-link]').length === 4 &&
                                   document.querySelectorAll('[data-zentrova-error]').length === 1);
  await page.screenshot({path: path.join(docs, 'screenshot-extension-page.png')});
  const popup = await openPopup(browser, page);
  await popup.setViewportSize({width: 584, height: 300});
  const body = await popup.$('body');
  await body.screenshot({path: path.join(docs, 'screenshot-extension-popup.png')});
});
