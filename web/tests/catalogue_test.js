// Every sentence the pages say is in a catalogue, translated with the same placeholders, and
// the built core says it in Chinese: a sentence added to a page without its translation, or a
// catalogue left out of the build, fails here.
//   node catalogue_test.js SITE_DIR SHARED.po PAGES.po
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');

const [site, sharedPo, pagesPo] = process.argv.slice(2).map((file) => path.resolve(file));

// Returns the catalogue's translations as a Map from the English sentence to its words.
function catalogue(file) {
  const entries = new Map();
  let entry = null;
  let field = null;
  const unquote = (text) => JSON.parse(text.trim());
  for (const line of [...fs.readFileSync(file, 'utf8').split('\n'), '']) {
    if (line.startsWith('msgid ')) {
      entry = {msgid: unquote(line.slice(6)), msgstr: ''};
      field = 'msgid';
    } else if (line.startsWith('msgstr ')) {
      entry.msgstr = unquote(line.slice(7));
      field = 'msgstr';
    } else if (line.startsWith('"') && field) {
      entry[field] += unquote(line);
    } else if (!line.trim() && entry) {
      if (entry.msgid) entries.set(entry.msgid, entry.msgstr);
      entry = field = null;
    }
  }
  return entries;
}

// Returns the sentences the pages' scripts pass to their words' functions.
function sentencesSaid() {
  const said = new Set();
  const call = /\b(?:say|kept|copyNote)\((?:core, )?('(?:[^'\\]|\\.)*'|"(?:[^"\\]|\\.)*")/g;
  for (const name of fs.readdirSync(site).filter((file) => file.endsWith('.js'))) {
    if (name === 'zentrova.js') continue;
    for (const [, literal] of fs.readFileSync(path.join(site, name), 'utf8').matchAll(call)) {
      said.add(new Function(`return ${literal};`)());
    }
  }
  return said;
}

const placeholders = (text) => (text.match(/\{\d+\}/g) || []).sort();

test('every sentence the pages say is translated, keeping its placeholders', async () => {
  const shared = catalogue(sharedPo);
  const pages = catalogue(pagesPo);
  const said = sentencesSaid();
  assert.ok(said.size >= 15, `only ${said.size} sentences found: the search missed the calls`);
  const core = await require(path.join(site, 'zentrova.js'))();
  for (const english of said) {
    const words = shared.get(english) || pages.get(english);
    assert.ok(words, `no catalogue translates "${english}"`);
    assert.deepEqual(placeholders(words), placeholders(english), english);
    assert.equal(core.translate(english, true), words, `the built pages say "${english}"`);
    assert.equal(core.translate(english, false), english);
  }
});

test("the pages' own catalogue holds only what they say, and nothing the shared one has", () => {
  const shared = catalogue(sharedPo);
  const said = sentencesSaid();
  for (const [english, words] of catalogue(pagesPo)) {
    assert.ok(said.has(english), `"${english}" is said by no page`);
    assert.ok(!shared.has(english), `"${english}" is in both catalogues`);
    assert.deepEqual(placeholders(words), placeholders(english), english);
  }
});
