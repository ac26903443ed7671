// Runs in every frame of every page. Finds the links whose href holds a special link and has
// the extension's background open them (the core's WebAssembly never runs here: a page's own
// policy may forbid it); puts the addresses it gets back into the page. Kept small: on a page
// with no special link it costs one search that the browser does itself. Everything taken from
// the page is handled as text.
'use strict';
(() => {
  // The rules themselves are content_links.js's, which the manifest loads first.
  const special = specialLink;
  const longest = longestHref;
  const followed = followedHref;
  const editable = editableElement;
  const pieces = specialPieces;
  // Characters of one request to the background, which refuses more than twice this.
  const batchBudget = 4 * 1024 * 1024;

  // For each link handled, the href it has after our handling; one whose href the page changes
  // since is handled again.
  const handled = new WeakMap();
  // The title each link had from the page, kept so that a link handled twice does not show the
  // address twice.
  const pageTitles = new WeakMap();
  // The href each opened link had from the page. Kept here, never read back from the page: a
  // page could plant any text in an attribute, and the popup, aria2 and the menu act on this.
  const originals = new WeakMap();
  // For each address put into an href (as written, and as the browser reads it: a page's script
  // copies `link.href` as often as the attribute), what it replaced: the page's href, the title
  // the link had from the page and the one we gave it. A copy of an opened link (a "quote" into
  // an editor, a paste) is a new element, known by these alone.
  const given = new Map();
  let waiting = [];
  let flushQueued = false;
  // One request at a time: the links found while one is answered go together in the next, so
  // that a page adding links by the hundred is served in a few large requests.
  let asking = false;
  // The options say links stay as pages have them.
  let off = false;

  function consider(element) {
    if (off || !element.matches('a[href], area[href]')) return;
    const href = element.getAttribute('href');
    if (handled.get(element) === href) return;
    // The page changed a link handled before: what was said of its old href goes.
    if (handled.has(element)) forget(element);
    handled.set(element, href);
    if (editable(element)) return;
    const choice = hrefChoice(href);
    if (choice === 'tooLong') element.setAttribute('data-zentrova-error', say('contentTooLong'));
    if (choice !== 'open') return;
    waiting.push(element);
    askSoon();
  }

  // The links of `root`, itself included.
  const linksIn = (root) => [...(root.matches('a[href], area[href]') ? [root] : []),
                             ...root.querySelectorAll('a[href], area[href]')];

  // A link opened before its place became editable gets its page's href back, with nothing of
  // ours left on it; so does a copy of one that a page's script or a person put there.
  function restore(root) {
    for (const element of linksIn(root)) {
      const original = originals.get(element);
      if (original === undefined) restoreCopy(element);
      if (!handled.has(element)) continue;
      forget(element);
      if (original !== undefined) element.setAttribute('href', original);
      handled.set(element, element.getAttribute('href'));
    }
  }

  // A copy of an opened link gets the page's href of the link it copies, its title from the
  // page and none of our marks. Its href chooses among the links we opened (several hrefs, and
  // titles, may open to one address): the one whose mark and title the copy holds, or else
  // whose title, or mark, or else the first. What it carries is never taken from it: a page
  // could plant any text there.
  function restoreCopy(element) {
    const known = given.get(element.getAttribute('href'));
    if (!known) return;
    const entries = [...known.values()];
    const mark = element.getAttribute('data-zentrova-link');
    const title = element.getAttribute('title');
    const entry = entries.find((e) => e.href === mark && e.title === title) ||
                  entries.find((e) => e.title === title) ||
                  entries.find((e) => e.href === mark) || entries[0];
    element.setAttribute('href', entry.href);
    if (mark === entry.href) element.removeAttribute('data-zentrova-link');
    if (title === entry.title) {
      if (entry.pageTitle === null) {
        element.removeAttribute('title');
      } else {
        element.setAttribute('title', entry.pageTitle);
      }
    }
    handled.set(element, entry.href);
  }

  // Remembers that `uri` replaced the page's `href` on a link now titled `title`.
  function remember(uri, href, title, pageTitle) {
    const keys = new Set([uri]);
    try {
      keys.add(new URL(uri, document.baseURI).href);
    } catch (error) {
      // Not an address the browser reads: only the attribute can be copied.
    }
    // Each once, however many links of a page share it: a page of thousands of one link's
    // copies keeps one.
    for (const key of keys) {
      if (!given.has(key)) given.set(key, new Map());
      const entries = given.get(key);
      const same = `${href}\n${title}`;
      if (!entries.has(same)) entries.set(same, {href, title, pageTitle});
    }
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
    if (root.matches && root.matches(mentioning)) consider(root);
    if (!root.firstElementChild) return;
    for (const element of root.querySelectorAll(mentioning)) consider(element);
  }

  // Open shadow roots (web components) hold links as the document does. No selector reaches
  // into them, so their hosts are looked for element by element: the open shadow roots under
  // `root` (its own when it is a host), and those inside them, each that `take` takes.
  function shadowRoots(root, take = () => true) {
    const found = [];
    const look = (node) => {
      const hosts = node.shadowRoot ? [node] : [];
      if (node.firstElementChild) {
        for (const element of node.querySelectorAll('*')) if (element.shadowRoot) hosts.push(element);
      }
      for (const {shadowRoot} of hosts) {
        if (!take(shadowRoot)) continue;
        found.push(shadowRoot);
        look(shadowRoot);
      }
    };
    look(root);
    return found;
  }

  // The shadow roots met are watched as the document is.
  const shadows = new WeakSet();
  const unseen = (shadow) => {
    if (shadows.has(shadow)) return false;
    shadows.add(shadow);
    return true;
  };
  function findShadows(root) {
    for (const shadow of shadowRoots(root, unseen)) {
      observer.observe(shadow, watching);
      scan(shadow);
    }
  }

  async function flush() {
    flushQueued = false;
    // A request holds what fits in the budget (and at least one link); the rest waits for the
    // next, so that no request is ever refused for its size.
    let size = 0;
    let count = 0;
    while (count < waiting.length) {
      size += (waiting[count].getAttribute('href') || '').length + 1;
      if (count > 0 && size > batchBudget) break;
      ++count;
    }
    const elements = waiting.slice(0, count);
    waiting = waiting.slice(count);
    asking = true;
    try {
      await ask(elements);
    } finally {
      asking = false;
      if (waiting.length) askSoon();
    }
  }

  async function ask(elements) {
    // A link the page changed or made editable while it waited is considered anew, or not at all.
    elements = elements.filter((element) => handled.get(element) === element.getAttribute('href') &&
                                            !editable(element));
    if (!elements.length) return;
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
      if (element.getAttribute('href') !== hrefs[i] || editable(element)) return;
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
    originals.delete(element);
    element.removeAttribute('data-zentrova-link');
    element.removeAttribute('data-zentrova-error');
  }

  // A result as the core writes it: ["c", address, uri, …] for a link opened, ["f", reason]
  // for one refused, ["p", …] for a plain address and ["b"] for nothing.
  function apply(element, href, result) {
    const [status, first] = result;
    const uri = openedAddress(result);
    if (uri !== null) {
      if (!pageTitles.has(element)) pageTitles.set(element, element.getAttribute('title'));
      const pageTitle = pageTitles.get(element);
      originals.set(element, href);
      // Shown for the person's eye only: nothing of the extension reads it back.
      element.setAttribute('data-zentrova-link', href);
      element.removeAttribute('data-zentrova-error');
      const title = pageTitle ? `${pageTitle}\n${first}` : String(first);
      element.setAttribute('title', title);
      remember(uri, href, title, pageTitle);
      handled.set(element, uri);
      element.setAttribute('href', uri);
    } else if (status === 'f') {
      element.setAttribute('data-zentrova-error', String(first));
    }
  }

  // The document and every open shadow root inside it, shadow roots inside those too.
  const roots = () => [document, ...shadowRoots(document)];

  // The special links of this frame as the popup lists them: in links, in any other attribute
  // and in the text, each once, a text cut before each link it holds (lists open the first
  // link of a line). A link's href is the one the page gave it; our own marks, and any the
  // page planted under their names, are not read. What is too long, or beyond what one request
  // carries, is counted instead.
  function collect() {
    const found = new Set();
    let size = 0;
    let leftOut = 0;
    const take = (piece) => {
      if (found.has(piece)) return;
      if (piece.length > longest || size + piece.length > 2 * batchBudget) {
        ++leftOut;
        return;
      }
      size += piece.length + 1;
      found.add(piece);
    };
    const add = (text) => {
      for (const piece of pieces(text)) take(piece);
    };
    for (const root of roots()) {
      for (const element of root.querySelectorAll('*')) {
        const isLink = element.matches('a[href], area[href]');
        for (const attribute of element.attributes) {
          if (attribute.name.startsWith('data-zentrova-')) continue;
          if (isLink && attribute.name === 'href') {
            const original = originals.get(element) ?? attribute.value;
            if (special.test(original)) take(followed(original));
          } else if (attribute.name === 'title' && pageTitles.has(element)) {
            const pageTitle = pageTitles.get(element);
            if (pageTitle !== null && special.test(pageTitle)) add(pageTitle);
          } else if (special.test(attribute.value)) {
            add(attribute.value);
          }
        }
      }
      const top = root === document ? document.body : root;
      if (!top) continue;
      const walker = document.createTreeWalker(top, NodeFilter.SHOW_TEXT);
      for (let node = walker.nextNode(); node; node = walker.nextNode()) {
        const parent = node.parentNode && node.parentNode.nodeName;
        if (parent === 'SCRIPT' || parent === 'STYLE' || parent === 'NOSCRIPT') continue;
        if (special.test(node.data)) add(node.data);
      }
    }
    return {items: [...found], leftOut};
  }

  // The link or the selected text that a context menu was opened on; inside a shadow root the
  // event names its host, and the path the element itself.
  let menuTarget = null;
  document.addEventListener('contextmenu', (event) => {
    [menuTarget] = event.composedPath();
  }, true);

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
    const href = originals.get(link) ?? link.getAttribute('href');
    return href.length > longest ? [] : [followed(href)];
  }

  api.runtime.onMessage.addListener((message, sender, sendResponse) => {
    // Only the extension itself talks to this script; pages cannot reach it.
    if (sender.id !== api.runtime.id || !message || typeof message.type !== 'string') return;
    if (message.type === 'collect') sendResponse(collect());
    if (message.type === 'menuTarget') sendResponse({texts: menuTexts(message.selection === true)});
  });

  function changed(records) {
    for (const record of records) {
      if (record.type === 'attributes') {
        if (record.attributeName === 'href') {
          consider(record.target);
        } else if (record.target.isContentEditable) {
          restore(record.target);
        }
      } else {
        for (const node of record.addedNodes) {
          if (node.nodeType !== Node.ELEMENT_NODE) continue;
          // Put into an editor (a "quote" button, a paste): our links there go back first.
          if (editable(node)) restore(node);
          scan(node);
          findShadows(node);
        }
      }
    }
  }
  const observer = new MutationObserver(changed);
  const watching = {childList: true, subtree: true, attributes: true,
                    attributeFilter: ['href', 'contenteditable']};

  if (document.documentElement) {
    scan(document.documentElement);
    findShadows(document.documentElement);
  }
  observer.observe(document, watching);
  // A document turned into an editor (designMode, which no mutation record reports) gets its
  // links back before the person's first keystroke or focus there, so none of ours is posted.
  const editorStarts = () => {
    if (document.designMode === 'on' && document.documentElement) {
      restore(document.documentElement);
    }
  };
  for (const type of ['focusin', 'beforeinput', 'keydown']) {
    document.addEventListener(type, editorStarts, {capture: true});
  }

  // A person's copy of part of the page carries the page's links, not ours: pasted into an
  // editor elsewhere (another tab, another site), the post would store our addresses. Only a
  // copy that holds one of our links is written here; any other, and one the page writes
  // itself, stays the browser's.
  document.addEventListener('copy', (event) => {
    const selection = getSelection();
    if (event.defaultPrevented || !event.clipboardData || !selection || selection.isCollapsed) {
      return;
    }
    // Put together in a document of its own, which loads nothing that the copy holds.
    const inert = document.implementation.createHTMLDocument('');
    const copied = inert.createElement('div');
    for (let i = 0; i < selection.rangeCount; ++i) {
      const range = selection.getRangeAt(i);
      let part = inert.adoptNode(range.cloneContents());
      // A selection inside one link holds none of it: the browser copies the link around it.
      const start = range.commonAncestorContainer;
      const around = (start.nodeType === Node.ELEMENT_NODE ? start : start.parentElement)
                         ?.closest('a[href], area[href]');
      if (around) {
        const link = inert.adoptNode(around.cloneNode(false));
        link.append(part);
        part = link;
      }
      copied.append(part);
    }
    const links = linksIn(copied).filter((link) => given.has(link.getAttribute('href')));
    if (!links.length) return;
    for (const link of links) restoreCopy(link);
    event.clipboardData.setData('text/html', copied.innerHTML);
    event.clipboardData.setData('text/plain', String(selection));
    event.preventDefault();
  }, true);
})();
