// Runs in every frame of every page. Finds the links whose href holds a special link and has
// the extension's background open them (the core's WebAssembly never runs here: a page's own
// policy may forbid it); puts the addresses it gets back into the page. Kept small: on a page
// with no special link it costs one search that the browser does itself. Everything taken from
// the page is handled as text.
'use strict';
(() => {
  const api = globalThis.browser || globalThis.chrome;
  // A special link as the lists find it, also percent-encoded inside another address.
  const special = /(?:thunder|flashget|qqdl)(?::\/\/|%3a%2f%2f)/i;
  const specialEverywhere = new RegExp(special.source, 'gi');
  // What the background may put into an href: the addresses downloaders take, nothing else.
  const downloadable = /^(?:(?:https?|ftp):\/\/|(?:ed2k|magnet):)/i;

  // For each link handled, the href it has after our handling; one whose href the page changes
  // since is handled again.
  const handled = new WeakMap();
  // The title each link had from the page, kept so that a link handled twice does not show the
  // address twice.
  const pageTitles = new WeakMap();
  let waiting = [];
  let flushQueued = false;
  // One request at a time: the links found while one is answered go together in the next, so
  // that a page adding links by the hundred is served in a few large requests.
  let asking = false;
  // The options say links stay as pages have them.
  let off = false;

  // The browser drops tabs and line ends from an address before following it, so the link
  // the core opens is the one a click would follow.
  const followed = (href) => href.replace(/[\t\n\r]/g, '').trim();

  function consider(element) {
    if (off || !element.matches('a[href], area[href]')) return;
    const href = element.getAttribute('href');
    if (handled.get(element) === href) return;
    // The page changed a link handled before: what was said of its old href goes.
    if (handled.has(element)) forget(element);
    handled.set(element, href);
    if (!special.test(href)) return;
    waiting.push(element);
    askSoon();
  }

  function askSoon() {
    if (flushQueued || asking) return;
    flushQueued = true;
    queueMicrotask(flush);
  }

  // The browser finds the few elements that mention a special link by itself: a page with none
  // gives its elements to no script at all, which costs far more than the search.
  const mentioning = '[href*="thunder" i],[href*="flashget" i],[href*="qqdl" i]';
  function scan(root) {
    if (root.matches(mentioning)) consider(root);
    if (!root.firstElementChild) return;
    for (const element of root.querySelectorAll(mentioning)) consider(element);
  }

  async function flush() {
    flushQueued = false;
    const elements = waiting;
    waiting = [];
    asking = true;
    try {
      await ask(elements);
    } finally {
      asking = false;
      if (waiting.length) askSoon();
    }
  }

  async function ask(elements) {
    const hrefs = elements.map((element) => element.getAttribute('href'));
    let answer;
    let results;
    try {
      // One link a line: `followed` leaves none with a line end of its own.
      answer = await api.runtime.sendMessage({type: 'open', lines: hrefs.map(followed).join('\n')});
      if (answer && answer.rewrite === false) off = true;
      if (!answer || !answer.rewrite) return;
      results = JSON.parse(answer.results);
    } catch (error) {
      // The extension was reloaded or removed under this page: its links stay as they are.
      return;
    }
    if (!Array.isArray(results) || results.length !== elements.length) return;
    // The page's own changes so far are taken first; what this loop changes is ours alone (no
    // page script runs inside it), so its thousands of records are dropped unread.
    changed(observer.takeRecords());
    results.forEach((result, i) => {
      const element = elements[i];
      // The page changed the link while it was being opened: its new href is handled anew.
      if (element.getAttribute('href') !== hrefs[i]) return;
      apply(element, hrefs[i], result);
    });
    observer.takeRecords();
  }

  function forget(element) {
    if (pageTitles.has(element)) {
      const pageTitle = pageTitles.get(element);
      if (pageTitle === null) {
        element.removeAttribute('title');
      } else {
        element.setAttribute('title', pageTitle);
      }
      pageTitles.delete(element);
    }
    element.removeAttribute('data-zentrova-link');
    element.removeAttribute('data-zentrova-error');
  }

  // A result as the core writes it: ["c", address, uri, …] for a link opened, ["f", reason]
  // for one refused, ["p", …] for a plain address and ["b"] for nothing.
  function apply(element, href, [status, first, uri]) {
    if (status === 'c' && typeof uri === 'string' && downloadable.test(uri)) {
      if (!pageTitles.has(element)) pageTitles.set(element, element.getAttribute('title'));
      const pageTitle = pageTitles.get(element);
      element.setAttribute('data-zentrova-link', href);
      element.removeAttribute('data-zentrova-error');
      element.setAttribute('title', pageTitle ? `${pageTitle}\n${first}` : String(first));
      handled.set(element, uri);
      element.setAttribute('href', uri);
    } else if (status === 'f') {
      element.setAttribute('data-zentrova-error', String(first));
    }
  }

  // The pieces of `text` that each begin with a special link, line by line.
  function pieces(text) {
    const result = [];
    for (const line of text.split(/[\n\r\u2028\u2029]+/)) {
      const starts = [...line.matchAll(specialEverywhere)].map((match) => match.index);
      starts.forEach((start, i) => {
        const piece = line.slice(start, starts[i + 1]).trim();
        if (piece) result.push(piece);
      });
    }
    return result;
  }

  // The special links of this frame as the popup lists them: in links, in any other attribute
  // and in the text, each once, a text cut before each link it holds (lists open the first
  // link of a line).
  function collect() {
    const found = new Set();
    const add = (text) => {
      for (const piece of pieces(text)) found.add(piece);
    };
    for (const element of document.querySelectorAll('*')) {
      const isLink = element.matches('a[href], area[href]');
      for (const attribute of element.attributes) {
        if (attribute.name.startsWith('data-zentrova-')) continue;
        if (isLink && attribute.name === 'href') {
          const original = element.getAttribute('data-zentrova-link') ?? attribute.value;
          if (special.test(original)) found.add(followed(original));
        } else if (attribute.name !== 'title' || !element.hasAttribute('data-zentrova-link')) {
          if (special.test(attribute.value)) add(attribute.value);
        }
      }
    }
    if (document.body) {
      const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
      for (let node = walker.nextNode(); node; node = walker.nextNode()) {
        const parent = node.parentNode && node.parentNode.nodeName;
        if (parent === 'SCRIPT' || parent === 'STYLE' || parent === 'NOSCRIPT') continue;
        if (special.test(node.data)) add(node.data);
      }
    }
    return [...found];
  }

  // The link or the selected text that a context menu was opened on.
  let menuTarget = null;
  document.addEventListener('contextmenu', (event) => { menuTarget = event.target; }, true);

  function menuTexts(selection) {
    if (selection) {
      // A selection of plain addresses gives them as they are.
      const text = String(window.getSelection());
      const links = pieces(text);
      if (links.length) return links;
      if (text.trim()) return text.split(/[\n\r]+/).map((line) => line.trim()).filter(Boolean);
    }
    const link = menuTarget && menuTarget.closest && menuTarget.closest('a[href], area[href]');
    if (!link) return [];
    return [followed(link.getAttribute('data-zentrova-link') ?? link.getAttribute('href'))];
  }

  api.runtime.onMessage.addListener((message, sender, sendResponse) => {
    // Only the extension itself talks to this script; pages cannot reach it.
    if (sender.id !== api.runtime.id || !message || typeof message.type !== 'string') return;
    if (message.type === 'collect') sendResponse({items: collect()});
    if (message.type === 'menuTarget') sendResponse({texts: menuTexts(message.selection === true)});
  });

  function changed(records) {
    for (const record of records) {
      if (record.type === 'attributes') {
        consider(record.target);
      } else {
        for (const node of record.addedNodes) if (node.nodeType === Node.ELEMENT_NODE) scan(node);
      }
    }
  }
  const observer = new MutationObserver(changed);

  if (document.documentElement) scan(document.documentElement);
  observer.observe(document,
                   {childList: true, subtree: true, attributes: true, attributeFilter: ['href']});
})();
