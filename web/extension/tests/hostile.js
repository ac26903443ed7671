// Pages that work against the extension, and the checks that it holds, the same in every
// browser: links in an editor, links that only carry a special link, a planted mark, links in
// shadow roots, frames holding hrefs of many megabytes, and a post whose Thunder links lead to
// aria2's own JSON-RPC under the spellings of this machine that browsers and resolvers accept.
'use strict';
const assert = require('node:assert/strict');
const {thunder, qqdl} = require('./links');
const {htmlText, filesHost} = require('./pages');
const {waitFor, waitUntil} = require('../../tests/support/patience');

// Links the page holds as it must keep them: [id, href].
function keptLinks(origin) {
  const inner = thunder(`${origin}/files/a.zip`);
  return [
    ['search', `https://search.example/search?q=${encodeURIComponent(inner)}`],
    ['share', `https://service.example/share?url=${inner}`],
    ['script', `javascript:void(0)//${inner}`],
    ['trusted', `https://trusted.example/?u=${inner}`],
    ['planted', 'https://legit.example/setup.exe'],
  ];
}
const evil = (origin) => thunder('http://evil.example/setup.exe');

function hostilePage(origin) {
  const opened = thunder(`${origin}/files/a.zip`);
  const kept = keptLinks(origin).map(([id, href]) =>
    `<li><a id="${id}" href="${htmlText(href)}"${id === 'planted' ?
        ` data-zentrova-link="${htmlText(evil(origin))}"` : ''}>${id}</a></li>`);
  return ['text/html; charset=utf-8', `<!DOCTYPE html><meta charset="utf-8"><title>hostile</title>
<p><a id="opened" href="${htmlText(opened)}">opened</a>
   <a id="spaced" href=" \t${htmlText(opened)}\n ">spaced</a></p>
<ul>${kept.join('\n')}</ul>
<div id="editor" contenteditable="true"><p>写帖子：<a id="edited" href="${htmlText(opened)}">x</a></p></div>
<div id="post"><a id="editedLater" href="${htmlText(opened)}">y</a></div>
<div id="quoted"><p>原帖：<a id="toQuote" title="第一集" href="${htmlText(opened)}">下载</a></p></div>
<button id="quote" type="button">引用</button> <button id="quoteHref" type="button">引用链接</button>
<form id="reply"><div id="rich" contenteditable="true"></div><textarea id="body" name="body" hidden></textarea></form>
<div id="host"></div>
<script>
  // A forum's editor as many are: a rich editing area whose HTML a hidden textarea carries when
  // the post is sent, a "quote" button copying the post into it, and one copying a link's href.
  const rich = document.getElementById('rich');
  document.getElementById('quote').addEventListener('click', () => {
    rich.insertAdjacentHTML('beforeend',
                            '<blockquote>' + document.getElementById('quoted').innerHTML + '</blockquote>');
  });
  document.getElementById('quoteHref').addEventListener('click', () => {
    const link = document.createElement('a');
    link.id = 'quotedHref';
    link.href = document.getElementById('toQuote').href;
    link.textContent = 'link';
    rich.append(link);
  });
  document.getElementById('reply').addEventListener('formdata', () => {
    document.getElementById('body').value = rich.innerHTML;
  });
  const shadow = document.getElementById('host').attachShadow({mode: 'open'});
  shadow.innerHTML = '<a id="inShadow" href="${htmlText(opened)}">in a shadow root</a>';
  customElements.define('later-links', class extends HTMLElement {
    connectedCallback() {
      if (this.shadowRoot) return;
      this.attachShadow({mode: 'open'}).innerHTML =
          '<a id="laterShadow" href="${htmlText(opened)}">added later</a>';
    }
  });
</script>`];
}

// Whether the link `id` of the page was opened (run in the page).
const marked = (id) => {
  const link = document.getElementById(id);
  return link !== null && link.hasAttribute('data-zentrova-link');
};

// What the links `ids` of the page hold (run in the page).
const attributes = (ids) => ids.map((id) => {
  const link = document.getElementById(id);
  return {id, href: link.getAttribute('href'), title: link.getAttribute('title'),
          error: link.getAttribute('data-zentrova-error'),
          mark: link.hasAttribute('data-zentrova-link')};
});

// Waits for the links in the page's open shadow roots, one there from the start and one in a
// root attached with an element added later, to lead to `opened`.
async function checkShadows(page, opened) {
  await waitUntil(page, (uri) => {
    const link = document.getElementById('host').shadowRoot.getElementById('inShadow');
    return link.getAttribute('href') === uri;
  }, opened, 'the shadow root\'s link to be opened');
  await page.evaluate(() => document.body.append(document.createElement('later-links')));
  await waitUntil(page, (uri) => {
    const later = document.querySelector('later-links');
    const link = later.shadowRoot && later.shadowRoot.getElementById('laterShadow');
    return link !== null && link.getAttribute('href') === uri;
  }, opened, 'a link in a shadow root added later to be opened');
}

// A whole document made an editor (designMode, of which no mutation tells) gets its links back
// once the person starts there, before anything is typed. On a page of its own, which is loaded
// again afterwards for the callers' checks.
async function checkDesignMode(page, origin) {
  await page.goto(`${origin}/hostile.html`);
  await waitUntil(page, marked, 'opened', 'the page\'s link to be opened again');
  await page.evaluate(() => {
    document.designMode = 'on';
  });
  await page.keyboard.press('Shift');
  await waitUntil(page, () => !document.getElementById('opened').hasAttribute('data-zentrova-link'),
                  null, 'the links of a document in designMode to be given back');
  const written = await page.evaluate(attributes, ['opened', 'spaced']);
  assert.deepEqual(written, [
    {id: 'opened', href: thunder(`${origin}/files/a.zip`), title: null, error: null, mark: false},
    {id: 'spaced', href: ` \t${thunder(`${origin}/files/a.zip`)}\n `, title: null, error: null,
     mark: false},
  ]);
  await page.goto(`${origin}/hostile.html`);
  await waitUntil(page, marked, 'opened', 'the page\'s link to be opened once more');
}

// Opens `page` (Playwright's or Puppeteer's) on the hostile page and checks what became of
// each link.
async function checkHostile(page, origin) {
  await page.goto(`${origin}/hostile.html`);
  await waitUntil(page, marked, 'opened', 'the page\'s link to be opened');
  const opened = await page.evaluate(() => document.getElementById('opened').getAttribute('href'));
  assert.equal(opened, `${origin}/files/a.zip`);
  // The browser follows an href without its tabs, line ends and outer spaces: so is it opened.
  await waitUntil(page, marked, 'spaced', 'the spaced link to be opened');
  await checkShadows(page, opened);

  // A post made editable after its link was opened gets the page's link back.
  await waitUntil(page, marked, 'editedLater', 'the post\'s link to be opened');
  await page.evaluate(() => document.getElementById('post').setAttribute('contenteditable', 'true'));
  await waitUntil(page, () => !document.getElementById('editedLater')
                                      .hasAttribute('data-zentrova-link'),
                  null, 'the editable post\'s link to be given back');

  const expected = [...keptLinks(origin), ['edited', thunder(`${origin}/files/a.zip`)],
                    ['editedLater', thunder(`${origin}/files/a.zip`)]];
  const seen = await page.evaluate(attributes, expected.map(([id]) => id));
  const planted = seen.find((link) => link.id === 'planted');
  assert.equal(planted.mark, true, 'the page\'s own mark stays where it put it');
  planted.mark = false;
  assert.deepEqual(seen, expected.map(([id, href]) => ({id, href, title: null, error: null,
                                                        mark: false})));
  await checkQuotes(page, origin);
  await checkDesignMode(page, origin);
}

// What a page's script copies from the post into its editor (the post's HTML, or a link's
// href as the browser reads it) carries the page's links, and so does the HTML the editor
// sends, with none of our marks; the post itself stays opened.
async function checkQuotes(page, origin) {
  await waitUntil(page, marked, 'toQuote', 'the post\'s link to be opened');
  await page.click('#quote');
  await page.click('#quoteHref');
  const original = thunder(`${origin}/files/a.zip`);
  const quotes = () => [...document.querySelectorAll('#rich a')].map(
      (link) => [link.getAttribute('href'), link.getAttribute('title'),
                 link.getAttributeNames().filter((name) => name.startsWith('data-zentrova'))]);
  await waitUntil(page, (href) => {
    const links = [...document.querySelectorAll('#rich a')];
    return links.length === 2 && links.every((link) => link.getAttribute('href') === href);
  }, original, 'the quoted links to be given back');
  assert.deepEqual(await page.evaluate(quotes), [[original, '第一集', []], [original, null, []]]);
  const sent = await page.evaluate(() => {
    new FormData(document.getElementById('reply'));
    return document.getElementById('body').value;
  });
  assert.ok(sent.includes(`href="${htmlText(original)}"`), sent);
  assert.ok(!sent.includes(`${origin}/files/`) && !sent.includes('data-zentrova'), sent);
  assert.equal(await page.evaluate(() => document.getElementById('toQuote').getAttribute('href')),
               `${origin}/files/a.zip`, 'the post keeps its opened link');
}

// A page of three frames that each hold a link of `megabytes` (hugeFrame), and put it back
// whenever it changes.
function hugePage() {
  return ['text/html; charset=utf-8', `<!DOCTYPE html><meta charset="utf-8"><title>huge</title>
${'<iframe src="/huge-frame.html"></iframe>'.repeat(3)}`];
}
function hugeFrame(megabytes) {
  return ['text/html; charset=utf-8', `<!DOCTYPE html><meta charset="utf-8"><a id="huge">huge</a>
<script>
  const href = 'thunder://' + 'QUFodHRwOi8vYS5leGFtcGxlL2IuemlwWlpa'.repeat(${megabytes} * 29128);
  const link = document.getElementById('huge');
  link.setAttribute('href', href);
  new MutationObserver(() => {
    if (link.getAttribute('href') !== href) link.setAttribute('href', href);
  }).observe(link, {attributes: true});
</script>`];
}

// Checks that while a tab's frames hold links far longer than any real one, those links are
// left alone with the reason, and a link in another tab is still opened.
async function checkHuge(hugeTab, otherTab, origin) {
  await hugeTab.goto(`${origin}/huge.html`);
  const frames = () => hugeTab.frames().filter((f) => f.url().endsWith('/huge-frame.html'));
  await waitFor(() => frames().length >= 3, 'the frames to load');
  await otherTab.goto(`${origin}/hostile.html`);
  await waitUntil(otherTab, () => document.getElementById('opened').hasAttribute('data-zentrova-link'),
                  null, 'another tab\'s link to be opened');
  for (const frame of frames()) {
    await waitUntil(frame, () => document.getElementById('huge').hasAttribute('data-zentrova-error'),
                    null, 'the huge link to be marked');
    assert.match(await frame.evaluate(() => document.getElementById('huge')
                                                 .getAttribute('data-zentrova-error')),
                 /64 KiB/);
  }
}

// The post of the aria2 attack: one honest download and Thunder links whose address is aria2's
// own JSON-RPC, on each of `hosts`, asked (by GET) to fetch a file into a folder of the page's
// choosing; and QQ links of magnets whose tracker is that address, on each of `trackers` (a
// tracker's announce is a GET aria2 runs as an order), escaped as magnets carry a tracker, or
// not. Each magnet has an info hash of its own, in `magnetHashes`.
const thisMachine = ['localhost', '127.1', '[::1]', '2130706433'];
function attackLinks(aria2Port, filesPort, outside, hosts = thisMachine, trackers = []) {
  const params = Buffer.from(JSON.stringify(
      [[`http://${filesHost}:${filesPort}/files/a.zip`], {dir: outside, out: 'authorized_keys'}]))
                     .toString('base64');
  const query = `method=aria2.addUri&id=1&params=${encodeURIComponent(params)}`;
  const order = (host) => `http://${host}:${aria2Port}/jsonrpc?${query}`;
  const magnetHashes = trackers.map((_, i) => String(i + 1).padStart(2, '0').repeat(20));
  const magnets = trackers.map((host, i) => qqdl(
      `magnet:?xt=urn:btih:${magnetHashes[i]}&dn=x&tr=${i % 2 ? order(host) :
                                                            encodeURIComponent(order(host))}`));
  return {
    honest: thunder(`http://${filesHost}:${filesPort}/files/影片 一.mp4`),
    attacks: [...hosts.map((host) => thunder(order(host))), ...magnets],
    magnetHashes,
  };
}
function attackPage(links) {
  return ['text/html; charset=utf-8', `<!DOCTYPE html><meta charset="utf-8"><title>post</title>
<p><a id="honest" href="${htmlText(links.honest)}">下载</a></p>
${links.attacks.map((link, i) => `<p><a id="attack${i}" href="${htmlText(link)}">镜像 ${i}</a></p>`)
      .join('\n')}`];
}

module.exports = {hostilePage, checkHostile, keptLinks, evil, hugePage, hugeFrame, checkHuge,
                  attackLinks, attackPage};
