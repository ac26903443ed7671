// Fills every element that names a message with that message's text, in the browser's
// language, as text (never as HTML).
'use strict';
document.addEventListener('DOMContentLoaded', () => {
  const api = globalThis.browser || globalThis.chrome;
  document.documentElement.lang = api.i18n.getUILanguage();
  for (const element of document.querySelectorAll('[data-i18n]')) {
    element.textContent = api.i18n.getMessage(element.dataset.i18n);
  }
  if (document.title === 'Zentrova' && document.body.dataset.title) {
    document.title = api.i18n.getMessage(document.body.dataset.title);
  }
});
