// The site's pages (index.html, lists.html) in Chromium, served from 127.0.0.1 or opened from
// disk as a visitor opens them, for the page tests: one browser and one server for a test file,
// a fresh context for each page opened, and every console message and uncaught error caught.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const path = require('node:path');
const {launchChromium} = require('./chromium');
const {patience} = require('./patience');
const {serveSite} = require('./servers');

// Starts the browser and the server of the folder `site` before the file's tests, and ends them
// after. Returns {open, close, origin()}.
function sitePages(site) {
  let browser;
  let server;
  test.before(async () => {
    browser = await launchChromium();
    server = await serveSite(site);
  });
  test.after(async () => {
    await browser.close();
    server.close();
  });

  // Opens `page` ("index.html", "lists.html") from the server or from disk in a fresh browser
  // context (a Chinese browser unless `locale` says otherwise; `device` gives a phone's
  // settings); `requests` collects every address the page asks for, `messages` every console
  // message and uncaught error, which `close` finds none of. `before` runs in the page before
  // its scripts; `headers` are added to the page's answer.
  async function open(page, {fromDisk = false, clipboard = true, viewport, locale = 'zh-CN', device,
                             before, headers} = {}) {
    const context = await browser.newContext(
        {viewport: viewport || {width: 800, height: 500}, locale, ...device});
    if (clipboard) {
      await context.grantPermissions(['clipboard-read', 'clipboard-write'],
                                     fromDisk ? undefined : {origin: server.origin});
    }
    if (before) await context.addInitScript(before);
    const tab = await context.newPage();
    tab.setDefaultTimeout(patience);
    const requests = [];
    const messages = [];
    tab.on('request', (request) => requests.push(request.url()));
    tab.on('console', (message) => messages.push(`console ${message.type()}: ${message.text()}`));
    tab.on('pageerror', (error) => messages.push(`uncaught: ${error.message}`));
    const query = headers ? '?' + new URLSearchParams({headers: JSON.stringify(headers)}) : '';
    await tab.goto(fromDisk ? 'file://' + path.join(site, page) : `${server.origin}/${page}${query}`);
    await tab.waitForSelector('html[data-ready]');
    return {tab, context, requests, messages};
  }

  return {open, close, origin: () => server.origin};
}

// Closes a page opened by `open`, which must have said nothing on the console but `expected`.
async function close({context, messages}, expected = []) {
  assert.deepEqual(messages, expected);
  await context.close();
}

const setClipboard = (tab, text) => tab.evaluate((t) => navigator.clipboard.writeText(t), text);
const clipboard = (tab) => tab.evaluate(() => navigator.clipboard.readText());
const waitForClipboard = (tab, expected) =>
  tab.waitForFunction(async (e) => (await navigator.clipboard.readText()) === e, expected,
                      {polling: 50});

// Run in a page before its scripts: a browser that will start no worker.
function noWorkers() {
  window.Worker = function Worker() { throw new Error('no workers here'); };
}

module.exports = {sitePages, close, setClipboard, clipboard, waitForClipboard, noWorkers};
