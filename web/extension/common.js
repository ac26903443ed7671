// What every part of the extension reaches and says alike: the browser's extension API
// (Firefox's `browser`, Chromium's `chrome`), the extension's words in the browser's language,
// and, in its own pages, an element by its id and a line of their notes. A classic script,
// listed before each part's own (the manifest's content scripts and background scripts, the
// pages' <script>s): a content script cannot be an ES module, and the background scripts are
// the same files in Firefox's page and Chromium's service worker.
'use strict';

const api = globalThis.browser || globalThis.chrome;
const say = (name, values = []) => api.i18n.getMessage(name, values);
const $ = (id) => document.getElementById(id);

// A line of the notes an extension page shows: `words` as text, marked when a `problem`.
function noteLine(words, problem = false) {
  const line = document.createElement('p');
  line.textContent = words;
  if (problem) line.className = 'problem';
  return line;
}
