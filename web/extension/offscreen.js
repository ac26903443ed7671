// Chromium's service worker has no document to write the clipboard from; this hidden one does
// it for the context menu, and takes text from nothing but the extension's own scripts.
'use strict';
chrome.runtime.onMessage.addListener((message, sender, sendResponse) => {
  if (sender.id !== chrome.runtime.id || !message || message.target !== 'offscreen' ||
      message.type !== 'copy' || typeof message.text !== 'string') {
    return false;
  }
  const box = document.getElementById('Clip');
  box.value = message.text;
  box.select();
  const ok = document.execCommand('copy');
  box.value = '';
  sendResponse({ok});
  return false;
});
