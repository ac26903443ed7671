// The extension's own context (Chromium's service worker, Firefox's background page): the one
// place where the core runs. Opens the links the content scripts find, lists a page's links for
// the popup, checks whether their addresses still download, writes the exports, sends to aria2
// and serves the context menu. Every message is
// checked for where it comes from and what it holds; pages cannot send any.
'use strict';

const core = ZentrovaCore();
// The core's reasons are said in the language of the extension's other words.
const chinese = api.i18n.getMessage('language') === 'zh';

// The aria2 secret is for the extension's own pages and background alone: where the browser
// can, content scripts (which run in the page's process) are kept from the storage.
if (api.storage.local.setAccessLevel) {
  api.storage.local.setAccessLevel({accessLevel: 'TRUSTED_CONTEXTS'}).catch(console.error);
}

// Characters of one content script's request: twice what a content script sends at once, so
// that only a script that is not ours, or a page that found a way around it, is refused. Each
// link is at most 64 KiB characters (content.js); the core refuses longer ones itself.
const largestRequest = 8 * 1024 * 1024;
const longestLink = 64 * 1024;

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

// A result as the core writes it for the background, made plain.
const statuses = {c: 'converted', p: 'passedThrough', f: 'failed', b: 'blank'};
function resultOf([status, first, uri, name, thisMachine]) {
  if (status === 'f') return {status: statuses[status], error: first};
  if (status === 'b') return {status: statuses[status]};
  return {status: statuses[status], address: first, uri, ...(name ? {name} : {}),
          ...(thisMachine === true ? {thisMachine} : {})};
}

// Returns the special links of every frame of tab `tabId`, each once, in the order of the
// frames, and how many were left out for their length or beyond what one list holds; null when
// no frame could be read.
async function pageLinks(tabId) {
  const frames = (await api.webNavigation.getAllFrames({tabId})) || [];
  frames.sort((a, b) => a.frameId - b.frameId);
  const answered = (answer) => (answer && isStrings(answer.items) ? answer : null);
  const answers = await Promise.all(frames.map(
      ({frameId}) => api.tabs.sendMessage(tabId, {type: 'collect'}, {frameId})
                         .then(answered, () => null)));
  if (answers.every((answer) => answer === null)) return null;
  const items = new Set();
  let size = 0;
  let leftOut = 0;
  for (const answer of answers) {
    if (!answer) continue;
    if (Number.isInteger(answer.leftOut) && answer.leftOut > 0) leftOut += answer.leftOut;
    for (const item of answer.items) {
      if (items.has(item)) continue;
      if (item.length > longestLink || size + item.length > largestRequest) {
        ++leftOut;
      } else {
        size += item.length + 1;
        items.add(item);
      }
    }
  }
  return {items: [...items], leftOut};
}

// Whether `items` is a list no larger than a page's list may be.
const bounded = (items) =>
    isStrings(items) && items.reduce((size, item) => size + item.length + 1, 0) <= largestRequest;

// The downloads of `items` that aria2 can take, each once, and what was left out: ed2k
// addresses with a note, as the aria2 export leaves them out; an address on this machine, which
// aria2 would fetch past every protection the browser gives a page (aria2's own JSON-RPC
// answers GET requests); and an address that names aria2's own host and port, wherever that
// is: itself, or as a magnet's tracker or source or an ed2k link's server or source.
async function aria2Downloads(items, rpc) {
  const server = serverOf(rpc);
  const names = (address) => serversOf(address).includes(server);
  const results = await open(items);
  const kept = [];
  let local = 0;
  let own = 0;
  results.forEach((result, i) => {
    if (result.thisMachine) {
      ++local;
    } else if (result.uri !== undefined && server !== null &&
               (names(result.uri) || names(result.address))) {
      ++own;
    } else {
      kept.push(i);
    }
  });
  // The core hands back each download the aria2 form holds, {uri, name}, as data.
  const exported = (await core).handOff(kept.map((i) => items[i]), 'aria2', chinese);
  const downloads = exported.downloads;
  // The notes name each link's place in the page's list, not in the shorter one exported.
  const notes = exported.notes.map(({number, words}) => ({number: kept[number - 1] + 1, words}));
  const leftOut = [];
  if (local) leftOut.push(say('aria2LeftOutLocal', [String(local)]));
  if (own) leftOut.push(say('aria2LeftOutServer', [String(own), new URL(rpc).origin]));
  return {downloads, notes, leftOut};
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
  const {downloads, notes, leftOut} = await aria2Downloads(items, rpc);
  if (!downloads.length) return {words: say('aria2NothingToSend'), ok: false, leftOut, notes};
  // Only an aria2 that enforces a secret is sent anything: without one, a page's link that
  // reaches its JSON-RPC by any route (a name, a redirect, a torrent's tracker) gives it orders.
  const why = await unguarded(rpc, secret);
  if (why) return {words: say(why.message, why.values), ok: false};
  const {message, values} = await sendToAria2(rpc, secret, downloads);
  return {words: say(message, values), ok: message === 'aria2Sent', leftOut, notes};
}

// The servers asked by the popup's checks, shared by every popup, so that the limits on how
// many are asked at once hold whatever the popups ask.
const serverChecks = new CheckQueue(async (uri) => {
  const ready = await core;
  const refused = (url) => {
    const verdict = ready.checkBefore(url, chinese);
    return verdict !== null && verdict.state === 'refused';
  };
  return askServer(uri, refused);
});

// The core's verdict of whether `uri` (escaped, as a downloader is given it) still downloads:
// an address the core refuses, or one a browser cannot ask, is not asked at all.
async function checkAddress(uri) {
  const ready = await core;
  return ready.checkBefore(uri, chinese) ||
         ready.judgeAnswer(await serverChecks.check(uri), uri, chinese);
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
      if (!rewrite) return {rewrite};
      // Refused unread: the core is never given more than a page's links can honestly be.
      if (message.lines.length > largestRequest) return {rewrite, tooLarge: true};
      return {rewrite, results: (await core).openLinks(message.lines, chinese, false)};
    }, sendResponse);
  }
  if (!fromExtensionPage(sender)) return false;
  if (message.type === 'pageLinks' && Number.isInteger(message.tabId)) {
    return answer(async () => {
      const links = await pageLinks(message.tabId);
      return links ? {...links, results: await open(links.items)} : {items: null};
    }, sendResponse);
  }
  if (message.type === 'export' && bounded(message.items) &&
      ['aria2', 'ef2', 'json', 'lines'].includes(message.form)) {
    return answer(async () => (await core).handOff(message.items, message.form, chinese),
                  sendResponse);
  }
  if (message.type === 'check' && typeof message.uri === 'string' &&
      message.uri.length <= longestLink) {
    return answer(() => checkAddress(message.uri), sendResponse);
  }
  if (message.type === 'send' && bounded(message.items)) {
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
    texts = [];
  }
  // A frame the content script does not run in, or a link it cannot tell: what the menu
  // itself knows.
  if (!texts.length) {
    texts = [selection ? info.selectionText : info.linkUrl]
                .filter((text) => typeof text === 'string' && text && text.length <= longestLink);
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
