'use strict';
// The extension's pages in Firefox, for the Firefox tests: the add-on's id and the address its
// pages are reached at, fixed for the tests' profile, and a page opened and waited for.
const {waitFor} = require('../../tests/support/patience');

const id = 'zentrova@ovrani.example';
const uuid = '5b1e4c1a-6f0e-4c38-9d1e-7c1a2b3c4d5e';
const extensionUrl = (file) => `moz-extension://${uuid}/${file}`;

// Opens the extension's page `file` in `page`. Firefox loads it in another process, where the
// navigation never reports its end over BiDi: the page is waited for until it says it is ready.
async function openExtensionPage(page, file) {
  const url = extensionUrl(file);
  page.goto(url).catch(() => {});
  await waitFor(() => page.evaluate(
      (url) => location.href === url && document.documentElement.dataset.ready !== undefined,
      url).catch(() => false), file);
}

module.exports = {id, uuid, extensionUrl, openExtensionPage};
