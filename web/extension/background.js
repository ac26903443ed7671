// The extension's own context (Chromium's service worker, Firefox's background page): the one
// place where the core runs. Opens the links the content scripts find, lists a page's links for
// the popup, writes the exports, sends to aria2 and serves the context menu. Every message is
// checked for where it comes from and what it holds; pages cannot send any.
'use strict';

const api = globalThis.browser || globalThis.chrome;
const core = ZentrovaCore();
// The core's reasons are said in the language of the extension's other words.
const chinese = api.i18n.getMessage('language') === 'zh';
const say = (name, values = []) => api.i18n.getMessage(name, values);

const defaults = {rewrite: true, rpc: '', secret: ''};
const settings = () => api.storage.local.get(defaults);
// Whether links are opened in place, asked for with every page's links: kept at hand.
let rewriteSetting = null;
api.storage.onChanged.addListener((changes, area) => {
  if (area === 'local' && changes.rewrite) rewriteSetting = changes.rewrite.newValue !== false;
});
async function rewriting() {
  if (rewriteSetting === null) rewriteSetting = (await settings()).rewrite !== false;
  return rewriteSetting;
}

const isStrings = (value) => Array.isArray(value) && value.every((v) => typeof v === 'string');
const fromExtensionPage = (sender) =>
    sender.id === api.runtime.id && typeof sender.url === 'string' &&
    sender.url.startsWith(api.runtime.getURL(''));
const fromContentScript = (sender) =>
    sender.id === api.runtime.id && sender.tab !== undefined && !fromExtensionPage(sender);

// Returns the links of `items` opened by the core, one result for each. The core takes them as
// lines, so a line end inside one goes, as the browser drops it from an address it follows.
async function open(items) {
  if (!items.length) return [];  // no lines at all, where the core would see one blank line
  const lines = items.map((item) => item.replace(/[\r\n]/g, '')).join('\n');
  return JSON.parse((await core).openLinks(lines, chinese, true)).map(resultOf);
}

// A result as the core writes it for the content scripts, made plain.
const statuses = {c: 'converted', p: 'passedThrough', f: 'failed', b: 'blank'};
function resultOf([status, first, uri, name]) {
  if (status === 'f') return {status: statuses[status], error: first};
  if (status === 'b') return {status: statuses[status]};
  return {status: statuses[status], address: first, uri, ...(name ? {name} : {})};
}

// Returns the special links of every frame of tab `tabId`, each once, in the order of the
// frames; null when no frame could be read.
async function pageLinks(tabId) {
  const frames = (await api.webNavigation.getAllFrames({tabId})) || [];
  frames.sort((a, b) => a.frameId - b.frameId);
  const itemsOf = (answer) => (answer && isStrings(answer.items) ? answer.items : null);
  const lists = await Promise.all(frames.map(
      ({frameId}) => api.tabs.sendMessage(tabId, {type: 'collect'}, {frameId})
                         .then(itemsOf, () => null)));
  if (lists.every((list) => list === null)) return null;
  return [...new Set(lists.flatMap((list) => list || []))];
}

// The downloads of `items` that aria2 can take, each once; ed2k addresses are left out with a
// note, as the aria2 export leaves them out.
async function aria2Downloads(items) {
  const exported = (await core).handOff(items, 'aria2', chinese);
  const downloads = [];
  const lines = exported.text.split('\n');
  for (let i = 0; i < lines.length; ++i) {
    if (!lines[i] || lines[i].startsWith(' ')) continue;
    const option = lines[i + 1] || '';
    downloads.push({uri: lines[i], name: option.startsWith('  out=') ? option.slice(6) : null});
  }
  return {downloads, notes: exported.notes};
}

async function sendItems(items) {
  const {rpc, secret} = await settings();
  let url;
  try {
    url = new URL(rpc);
  } catch (error) {
    return {words: say('aria2NotConfigured'), ok: false};
  }
  if (!(await api.permissions.contains({origins: [`${url.origin}/*`]}))) {
    return {words: say('aria2NoPermission', [url.origin]), ok: false};
  }
  const {downloads, notes} = await aria2Downloads(items);
  if (!downloads.length) return {words: say('aria2NothingToSend'), ok: false, notes};
  const {message, values} = await sendToAria2(rpc, secret, downloads);
  return {words: say(message, values), ok: message === 'aria2Sent', notes};
}

// Runs `work` and answers with what it gives, or with nothing when it fails.
function answer(work, sendResponse) {
  work().then(sendResponse, (error) => {
    console.error(error);
    sendResponse(null);
  });
  return true;
}

api.runtime.onMessage.addListener((message, sender, sendResponse) => {
  if (!message || typeof message !== 'object' || typeof message.type !== 'string') return false;
  // A content script's links come as lines and their results go back as JSON text: one long
  // string crosses between the extension's parts far faster than thousands of small ones.
  if (fromContentScript(sender) && message.type === 'open' && typeof message.lines === 'string') {
    return answer(async () => {
      const rewrite = await rewriting();
      return rewrite ? {rewrite, results: (await core).openLinks(message.lines, chinese, false)} :
                       {rewrite};
    }, sendResponse);
  }
  if (!fromExtensionPage(sender)) return false;
  if (message.type === 'pageLinks' && Number.isInteger(message.tabId)) {
    return answer(async () => {
      const items = await pageLinks(message.tabId);
      return items ? {items, results: await open(items)} : {items: null};
    }, sendResponse);
  }
  if (message.type === 'export' && isStrings(message.items) &&
      ['aria2', 'ef2', 'json', 'lines'].includes(message.form)) {
    return answer(async () => (await core).handOff(message.items, message.form, chinese),
                  sendResponse);
  }
  if (message.type === 'send' && isStrings(message.items)) {
    return answer(() => sendItems(message.items), sendResponse);
  }
  return false;
});

// Puts `text` on the clipboard: Chromium's service worker has no document, so an offscreen one
// writes it there; Firefox's background page writes it itself.
async function copy(text) {
  if (!api.offscreen) {
    await navigator.clipboard.writeText(text);
    return;
  }
  const url = api.runtime.getURL('offscreen.html');
  const contexts = await api.runtime.getContexts({contextTypes: ['OFFSCREEN_DOCUMENT']});
  if (!contexts.some((context) => context.documentUrl === url)) {
    await api.offscreen.createDocument(
        {url, reasons: ['CLIPBOARD'], justification: 'Copies the plain addresses chosen.'});
  }
  const done = await api.runtime.sendMessage({target: 'offscreen', type: 'copy', text});
  if (!done || !done.ok) throw new Error('the clipboard refused the text');
}

// The menu's "copy plain address": the addresses of the link, or of the links in the selected
// text, that the menu was opened on.
async function copyPlainAddresses(info, tab) {
  const selection = typeof info.selectionText === 'string' && info.selectionText !== '';
  let texts;
  try {
    const answer = await api.tabs.sendMessage(tab.id, {type: 'menuTarget', selection},
                                              {frameId: info.frameId || 0});
    texts = answer && isStrings(answer.texts) ? answer.texts : [];
  } catch (error) {
    // A frame the content script does not run in: what the menu itself knows.
    texts = [selection ? info.selectionText : info.linkUrl].filter(Boolean);
  }
  const results = texts.length ? await open(texts) : [];
  const addresses = results.filter((r) => r.status === 'converted' || r.status === 'passedThrough')
                        .map((r) => r.address);
  if (addresses.length) {
    await copy(addresses.join('\n'));
    await api.action.setBadgeText({tabId: tab.id, text: ''});
    await api.action.setTitle({tabId: tab.id, title: say('actionTitle')});
    return {copied: addresses};
  }
  const failed = results.find((r) => r.status === 'failed');
  const why = say('menuNothingOpened', [failed ? failed.error : say('menuNoLink')]);
  await api.action.setBadgeText({tabId: tab.id, text: '!'});
  await api.action.setTitle({tabId: tab.id, title: why});
  return {copied: [], why};
}

api.runtime.onInstalled.addListener(() => {
  api.contextMenus.create(
      {id: 'copy-plain-address', title: say('menuCopyAddress'), contexts: ['link', 'selection']});
});
api.contextMenus.onClicked.addListener((info, tab) => {
  if (info.menuItemId === 'copy-plain-address' && tab) {
    copyPlainAddresses(info, tab).catch(async (error) => {
      console.error(error);
      await api.action.setBadgeText({tabId: tab.id, text: '!'});
      await api.action.setTitle(
          {tabId: tab.id, title: say('menuNothingOpened', [say('popupCopyRefused')])});
    });
  }
});
