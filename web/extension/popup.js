// The toolbar popup: the special links of the page in the active tab (or of the tab named by
// ?tab=N, when the popup is opened as a page), one line for each as the lists page shows them,
// and what can be done with them. Everything from the page is shown as text.
'use strict';

let items = [];
let results = [];
// The check's verdicts by downloader URI, once "Check links" was clicked; null before. Whether
// a check runs, so that a second click does not start another; the lines that show each URI's
// verdict.
let verdicts = null;
let checking = false;
const verdictLines = new Map();

const opened = () =>
    results.filter((r) => r.status === 'converted' || r.status === 'passedThrough');

async function tabId() {
  const given = new URLSearchParams(location.search).get('tab');
  if (given !== null && /^\d+$/.test(given)) return Number(given);
  const [tab] = await api.tabs.query({active: true, currentWindow: true});
  return tab ? tab.id : null;
}

// The address of the page in tab `tab` when it is a web page the extension has no access to
// (Firefox lets a person withhold or withdraw it), else null.
async function withheldSite(tab) {
  let frame;
  try {
    frame = await api.webNavigation.getFrame({tabId: tab, frameId: 0});
  } catch (error) {
    return null;
  }
  let url;
  try {
    url = new URL(frame.url);
  } catch (error) {
    return null;
  }
  if (url.protocol !== 'http:' && url.protocol !== 'https:') return null;
  return (await api.permissions.contains({origins: [sitePattern(url)]})) ? null : url;
}

// The pattern of the site at `url` for the browser's access, on every port: Firefox grants and
// reports a pattern with a port, yet runs no content script on a page it names.
const sitePattern = (url) => `${url.protocol}//${url.hostname}/*`;

// Says that the page at `url` cannot be read for want of access, with a button that asks for
// it: the browser lets an extension ask only from a click.
function offerAccess(url) {
  $('Summary').textContent = say('popupNoAccess', [url.origin]);
  const ask = $('AskAccess');
  ask.hidden = false;
  ask.addEventListener('click', () => {
    $('Notes').replaceChildren();
    api.permissions.request({origins: [sitePattern(url)]}).then((granted) => {
      note(say(granted ? 'popupAccessGiven' : 'popupAccessRefused'), !granted);
      if (granted) ask.hidden = true;
    }, () => note(say('popupAccessRefused'), true));
  });
}

function note(words, problem = false) {
  $('Notes').append(noteLine(words, problem));
}

function showNotes(notes) {
  for (const {number, words} of notes || []) note(say('noteLine', [String(number), words]), true);
}

// The link as the page holds it, cut short for the eye.
const shortened = (text) => (text.length > 160 ? `${text.slice(0, 157)}…` : text);

// Shows the verdict of `uri` on each of its lines: its words once it has come, else that it is
// being checked.
function showVerdict(uri) {
  const verdict = verdicts.get(uri);
  for (const words of verdictLines.get(uri) || []) {
    words.textContent = verdict ? verdictText(verdict) : checking ? say('popupChecking') : '';
    if (verdict) words.dataset.state = verdict.state;
  }
}

function show() {
  const list = $('Links');
  list.replaceChildren();
  verdictLines.clear();
  results.forEach((result, i) => {
    const row = document.createElement('li');
    const address = document.createElement('span');
    address.className = 'address';
    const link = document.createElement('span');
    link.className = 'link';
    link.textContent = shortened(items[i]);
    if (result.status === 'failed') {
      row.className = 'failed';
      address.textContent = `× ${result.error}`;
    } else {
      row.className = result.status === 'converted' ? 'converted' : 'passed';
      address.textContent = result.address;
      address.title = result.uri;
    }
    row.append(address);
    if (verdicts && result.uri !== undefined) {
      const words = document.createElement('span');
      words.className = 'verdict';
      row.append(words);
      verdictLines.set(result.uri, [...(verdictLines.get(result.uri) || []), words]);
      showVerdict(result.uri);
    }
    row.append(link);
    list.append(row);
  });
  const count = (status) => String(results.filter((r) => r.status === status).length);
  $('Summary').textContent = results.length ?
      say('popupCounts', [String(results.length), count('converted'), count('passedThrough'),
                          count('failed')]) :
      say('popupNone');
  const any = opened().length > 0;
  for (const id of ['CopyAll', 'ExportAria2', 'ExportIdm', 'SendAria2']) $(id).disabled = !any;
  $('CheckLinks').disabled = !any || checking;
}

async function load() {
  const {rpc} = await api.storage.local.get({rpc: ''});
  $('SendAria2').hidden = !rpc;
  const tab = await tabId();
  const answer =
      tab === null ? null : await api.runtime.sendMessage({type: 'pageLinks', tabId: tab});
  if (!answer || !answer.items) {
    // No frame of the tab has the content script: the extension may not read the site, or a
    // browser page, or one loaded before.
    const withheld = tab === null ? null : await withheldSite(tab);
    if (withheld) {
      offerAccess(withheld);
    } else {
      $('Summary').textContent = say('popupUnreachable');
    }
    return;
  }
  items = answer.items;
  results = answer.results;
  show();
  if (answer.leftOut > 0) note(say('popupLeftOut', [String(answer.leftOut)]), true);
}

function save(text, name) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([text], {type: 'text/plain;charset=utf-8'}));
  link.download = name;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 60000);
}

// The links a downloader is still given after a check, and the note on those left out; all of
// them before one.
function downloadable() {
  if (!verdicts) return {kept: items.map((_, i) => i), leftOut: null};
  const {kept, dead, refused} = keptForDownload(results, verdicts);
  const leftOut = dead + refused ?
      say('popupCheckLeftOut', [String(dead + refused), String(dead), String(refused)]) : null;
  return {kept, leftOut};
}

// The hand-off's notes, which name each link's place in the shorter list it was given, named
// by its place in the page's list.
const placed = (notes, kept) =>
    (notes || []).map(({number, words}) => ({number: kept[number - 1] + 1, words}));

async function exportAs(form, name) {
  $('Notes').replaceChildren();
  const {kept, leftOut} = downloadable();
  const exported =
      await api.runtime.sendMessage({type: 'export', items: kept.map((i) => items[i]), form});
  if (!exported) {
    note(say('popupFailed'), true);
    return;
  }
  if (exported.text) {
    save(exported.text, name);
    note(say('popupSaved', [name]));
  } else {
    note(say('popupNothingToExport'), true);
  }
  if (leftOut) note(leftOut, true);
  showNotes(placed(exported.notes, kept));
}

$('CopyAll').addEventListener('click', async () => {
  $('Notes').replaceChildren();
  const addresses = opened().map((r) => r.address);
  if (!addresses.length) {
    note(say('popupNothingToCopy'), true);
    return;
  }
  try {
    await navigator.clipboard.writeText(addresses.join('\n'));
    note(say('popupCopied', [String(addresses.length)]));
  } catch (error) {
    note(say('popupCopyRefused'), true);
  }
});
$('ExportAria2').addEventListener('click', () => exportAs('aria2', 'zentrova.aria2.txt'));
$('ExportIdm').addEventListener('click', () => exportAs('ef2', 'zentrova.ef2'));
$('SendAria2').addEventListener('click', async () => {
  $('Notes').replaceChildren();
  $('SendAria2').disabled = true;
  try {
    const {kept, leftOut} = downloadable();
    const sent = await api.runtime.sendMessage({type: 'send', items: kept.map((i) => items[i])});
    if (sent) {
      note(sent.words, !sent.ok);
      if (leftOut) note(leftOut, true);
      for (const words of sent.leftOut || []) note(words, true);
      showNotes(placed(sent.notes, kept));
    } else {
      note(say('popupFailed'), true);
    }
  } finally {
    $('SendAria2').disabled = false;
  }
});
$('Options').addEventListener('click', () => api.runtime.openOptionsPage());

// The downloads of the page a check asks about, each once: the escaped address the downloader
// would be given. The core says which it asks and which it refuses or cannot ask.
const checkedUris = () => [...new Set(opened().map((r) => r.uri))];
const asksServers = (uris) => uris.some((uri) => /^https?:/i.test(uri));

// Checks every download of the page and shows each verdict as it comes. The browser's leave to
// reach the hosts is asked at once, while the click still counts as the user's.
$('CheckLinks').addEventListener('click', () => {
  const uris = checkedUris();
  if (checking || !uris.length) return;
  checking = true;
  $('CheckLinks').disabled = true;
  $('Notes').replaceChildren();
  let leave = Promise.resolve(true);
  try {
    if (asksServers(uris)) leave = api.permissions.request({origins: ['http://*/*', 'https://*/*']});
  } catch (error) {
    leave = Promise.resolve(false);  // a browser that refuses at once, not in its promise
  }
  leave.catch(() => false).then(async (granted) => {
    if (!granted) {
      note(say('popupCheckRefused'), true);
      return;
    }
    verdicts = new Map();
    show();
    await Promise.all(uris.map(async (uri) => {
      const verdict = await api.runtime.sendMessage({type: 'check', uri}).catch(() => null);
      if (verdict) verdicts.set(uri, verdict);
      showVerdict(uri);
    }));
    const count = (state) => String([...verdicts.values()].filter((v) => v.state === state).length);
    if (verdicts.size < uris.length) note(say('popupFailed'), true);
    note(say('popupChecked', [String(verdicts.size), count('alive'), count('dead'),
                              count('unknown'), count('refused')]));
  }).finally(() => {
    checking = false;
    show();
  });
});

load().finally(() => { document.documentElement.dataset.ready = ''; });
