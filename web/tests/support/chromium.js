// Debian's Chromium through playwright-core, for the tests, benchmarks and picture scripts:
// plain, or with the built extension loaded in a fresh profile.
'use strict';
const assert = require('node:assert/strict');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const {chromium} = require('playwright-core');
const {patience} = require('./patience');

const executablePath = process.env.CHROMIUM || '/usr/bin/chromium';

// Chromium without the extension, headless.
const launchChromium = () => chromium.launch({executablePath, args: ['--no-sandbox']});

// Starts Chromium with the extension at `dir` in a new profile, its interface in Chinese unless
// `english`, with the further command-line `args` and the page size `viewport`. Resolves to
// {context, worker (the background's service worker), id (the extension's), dialogs (every
// dialog a page opened, dismissed), close()}.
async function launchWithExtension(dir, {english = false, args = [], viewport} = {}) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'zentrova-chromium-'));
  const language = english ? 'en_US' : 'zh_CN';
  const context = await chromium.launchPersistentContext(profile, {
    executablePath,
    headless: false,
    args: ['--headless=new', '--no-sandbox', `--disable-extensions-except=${dir}`,
           `--load-extension=${dir}`, '--disable-gpu', '--disable-background-networking',
           `--lang=${english ? 'en-US' : 'zh-CN'}`, ...args],
    env: {...process.env, LANGUAGE: language, LANG: `${language}.UTF-8`},
    acceptDownloads: true,
    timeout: patience,
    ...(viewport ? {viewport} : {}),
  });
  context.setDefaultTimeout(patience);
  let [worker] = context.serviceWorkers();
  if (!worker) worker = await context.waitForEvent('serviceworker', {timeout: patience});
  const dialogs = [];
  context.on('page', (page) => page.on('dialog', (dialog) => {
    dialogs.push(dialog.message());
    dialog.dismiss();
  }));
  return {
    context, worker, id: new URL(worker.url()).host, dialogs,
    async close() {
      await context.close();
      fs.rmSync(profile, {recursive: true, force: true});
    },
  };
}

// The extension's id of the tab showing `page`, asked from its background.
function tabOf(browser, page) {
  return browser.worker.evaluate(async (url) => {
    for (const tab of await chrome.tabs.query({})) {
      const frame = await chrome.webNavigation.getFrame({tabId: tab.id, frameId: 0});
      if (frame && frame.url === url) return tab.id;
    }
    return null;
  }, page.url());
}

// Opens the popup as a page, for the tab showing `page`, once it is ready.
async function openPopup(browser, page) {
  const tabId = await tabOf(browser, page);
  assert.ok(Number.isInteger(tabId), 'the page has a tab');
  const popup = await browser.context.newPage();
  await popup.goto(`chrome-extension://${browser.id}/popup.html?tab=${tabId}`);
  await popup.waitForSelector('html[data-ready]');
  return popup;
}

module.exports = {chromium, executablePath, launchChromium, launchWithExtension, tabOf, openPopup};
