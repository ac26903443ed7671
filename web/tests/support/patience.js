// How long a test waits for what it expects: ZENTROVA_PATIENCE seconds (60 by default). It
// bounds a failure only: every wait ends as soon as its condition holds, so a loaded machine
// makes a test slower, never failing.
'use strict';
const assert = require('node:assert/strict');

const patience = Number(process.env.ZENTROVA_PATIENCE || 60) * 1000;
const pause = () => new Promise((resolve) => setTimeout(resolve, 50));

// Waits until `check()` (here, in Node) resolves to something true, and returns it; fails after
// the patience, saying it waited for `what`.
async function waitFor(check, what) {
  const deadline = Date.now() + patience;
  for (;;) {
    const value = await check();
    if (value) return value;
    if (Date.now() > deadline) assert.fail(`waited ${patience} ms for ${what}`);
    await pause();
  }
}

// Waits until `condition` (run in `page`, a Playwright or Puppeteer page, with `arg`) holds.
const waitUntil = (page, condition, arg, what) =>
  waitFor(() => page.evaluate(condition, arg), what);

module.exports = {patience, waitFor, waitUntil};
