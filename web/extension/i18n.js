// Fills every element that names a message with that message's text, in the browser's
// language, as text (never as HTML). Loaded with `defer` before the page's own script, so the
// words are in place before that script changes any of them.
'use strict';
(() => {
  document.documentElement.lang = say('language');
  for (const element of document.querySelectorAll('[data-i18n]')) {
    element.textContent = say(element.dataset.i18n);
  }
  const title = document.body.dataset.title;
  if (title) document.title = say(title);
})();
