// The checks of a page with the extension at work, the same in every browser: each link form
// opened in place or refused and left as it was, a page's title kept, frames, areas, and links
// a page script adds or changes later. `page` is a Playwright or Puppeteer page; both evaluate
// alike.
'use strict';
const assert = require('node:assert/strict');
const {linkTable} = require('./pages');
const {waitUntil} = require('../../tests/support/patience');

const handled = (ids) =>
    ids.every((id) => {
      const link = document.getElementById(id);
      return link && (link.hasAttribute('data-zentrova-link') ||
                      link.hasAttribute('data-zentrova-error'));
    });

const attributesOf = (ids) => ids.map((id) => {
  const link = document.getElementById(id);
  return {href: link.getAttribute('href'), title: link.getAttribute('title'),
          link: link.getAttribute('data-zentrova-link'),
          error: link.getAttribute('data-zentrova-error')};
});

// Checks every link of the table on the page at `origin`, open in `page`.
async function checkLinks(page, origin) {
  const table = linkTable(origin);
  const special = table.filter(([, , expected]) => !expected.plain).map(([id]) => id);
  await waitUntil(page, handled, [...special, 'titled', 'area'], 'the links to be opened');
  const seen = await page.evaluate(attributesOf, table.map(([id]) => id));
  table.forEach(([id, href, expected], i) => {
    const got = seen[i];
    if (expected.uri) {
      assert.deepEqual(got, {href: expected.uri, title: expected.address, link: href, error: null},
                       `${id}: opened in place`);
    } else if (expected.error) {
      assert.equal(got.href, href, `${id}: keeps its href`);
      assert.match(got.error, expected.error, `${id}: says why`);
      assert.equal(got.link, null, id);
    } else {
      assert.deepEqual(got, {href, title: null, link: null, error: null}, `${id}: left alone`);
    }
  });
  const [titled, area] = await page.evaluate(attributesOf, ['titled', 'area']);
  assert.equal(titled.title, `第一集\n${table[0][2].address}`, 'the page\'s title comes first');
  assert.equal(area.href, table[0][2].uri, 'an area is opened too');
  // Nothing on the page was ever given a scheme outside the five.
  const schemes = await page.evaluate(() => [...document.querySelectorAll('a[href], area[href]')]
                                                .map((link) => link.protocol));
  for (const scheme of schemes) {
    assert.ok(['http:', 'https:', 'ftp:', 'ed2k:', 'magnet:', 'thunder:', 'qqdl:', 'flashget:']
                  .includes(scheme), scheme);
  }
}

// Checks that links a page script adds or changes after the page loaded are opened too.
async function checkLater(page, origin) {
  const gbk = linkTable(origin).find(([id]) => id === 'gbk');
  await page.click('#addLater');
  await page.click('#addLater');
  await waitUntil(page, handled, ['added0', 'added1'], 'the added links to be opened');
  const added = await page.evaluate(attributesOf, ['added0', 'added1']);
  for (const link of added) assert.equal(link.href, gbk[2].uri);

  // The page changes an opened link to another special link, then to a refused one.
  const ascii = linkTable(origin)[0];
  await page.evaluate((href) => document.getElementById('added0').setAttribute('href', href),
                      ascii[1]);
  await waitUntil(page, (uri) => document.getElementById('added0').getAttribute('href') === uri,
                  ascii[2].uri, 'the changed link to be opened');
  const refused = linkTable(origin).find(([id]) => id === 'javascript');
  await page.evaluate((href) => document.getElementById('added1').setAttribute('href', href),
                      refused[1]);
  await waitUntil(page, () => {
    const link = document.getElementById('added1');
    return /javascript:/.test(link.getAttribute('data-zentrova-error') || '');
  }, null, 'the changed link to be refused');
  const [now] = await page.evaluate(attributesOf, ['added1']);
  assert.equal(now.href, refused[1], 'a refused link keeps the page\'s href');
  assert.equal(now.link, null, 'nothing is left of the link it was before');
  assert.equal(now.title, null, 'nor of its address');
}

// The link inside the page's frame is opened too.
async function checkFrame(page, origin) {
  const frame = page.frames().find((f) => f.url().endsWith('/frame.html'));
  await waitUntil(frame, () => document.getElementById('inFrame').hasAttribute('data-zentrova-link'),
                  null, 'the frame\'s link to be opened');
  const utf8 = linkTable(origin).find(([id]) => id === 'utf8');
  assert.equal(await frame.evaluate(() => document.getElementById('inFrame').getAttribute('href')),
               utf8[2].uri);
}

module.exports = {checkLinks, checkFrame, checkLater};
