// Which links of a page the content script (content.js) opens in place and which it leaves,
// and what it may put into one: plain functions of text, loaded before it in every frame, so
// that the rules can be tried without a browser.
'use strict';

// A special link as the lists find it, also percent-encoded inside another address.
const specialLink = /(?:thunder|flashget|qqdl)(?::\/\/|%3a%2f%2f)/i;
// An href opened in place is itself a special link; one that only carries one (a search, a
// share button, a script) would otherwise turn a click meant for another site into a download.
const itselfSpecial = new RegExp(`^${specialLink.source}`, 'i');
// Characters of an href: far above any real link, low enough that a page holding links of
// many megabytes cannot keep the extension busy for every other tab.
const longestHref = 64 * 1024;
// What the background may put into an href: the addresses downloaders take, nothing else.
const downloadable = /^(?:(?:https?|ftp):\/\/|(?:ed2k|magnet):)/i;

// The browser drops tabs and line ends from an address, and C0 controls and spaces from its
// ends, before following it, so the link the core opens is the one a click would follow.
const followedHref = (href) => href.replace(/[\t\n\r]/g, '').replace(/^[\0- ]+|[\0- ]+$/g, '');

// What becomes of a link with `href`: 'open' (it is a special link), 'tooLong' (refused
// unread), or 'leave'.
function hrefChoice(href) {
  if (href.length > longestHref) return 'tooLong';
  return itselfSpecial.test(followedHref(href)) ? 'open' : 'leave';
}

// What a person is writing (a forum's or a mail's editor) is theirs: a changed link there
// would be sent with their post.
const editableElement = (element) => element.isContentEditable ||
                                     element.ownerDocument.designMode === 'on' ||
                                     element.closest('input, textarea') !== null;

// The address to put into an opened link's href, from the core's result for it
// (["c", address, uri, …] for a link opened, ["f", reason] for one refused, ["p", …] for a
// plain address, ["b"] for nothing); null when the result gives none a downloader takes.
function openedAddress([status, , uri]) {
  return status === 'c' && typeof uri === 'string' && downloadable.test(uri) ? uri : null;
}

// The pieces of `text` that each begin with a special link, line by line.
function specialPieces(text) {
  const everywhere = new RegExp(specialLink.source, 'gi');
  const result = [];
  for (const line of text.split(/[\n\r\u2028\u2029]+/)) {
    const starts = [...line.matchAll(everywhere)].map((match) => match.index);
    starts.forEach((start, i) => {
      const piece = line.slice(start, starts[i + 1]).trim();
      if (piece) result.push(piece);
    });
  }
  return result;
}
