// What the tests of lists.html do to it and read from it: its runs and exports waited for, its
// rows, summary and notes read, list files made and the files it saves read back.
'use strict';
const fs = require('node:fs');

// Waits until the list asked for is converted, or stopped.
const listDone = (tab) => tab.waitForSelector('html[data-list-run="done"]', {state: 'attached'});
const rows = (tab) =>
  tab.$$eval('#ListOut li', (items) => items.map((item) => [item.className, item.textContent]));
const summary = (tab) => tab.textContent('#ListSummary');
const note = (tab) => tab.textContent('#ListNote');
// Returns the bytes of a list file of `count` lines "http://a/1", "http://a/2", …
const numbered = (count, first = 1) =>
  Buffer.from(Array.from({length: count}, (_, i) => `http://a/${first + i}\n`).join(''));
const asFile = (buffer, name = 'list.txt') => ({name, mimeType: 'text/plain', buffer});

// Clicks "另存为 .txt" and returns the text saved.
async function saved(tab) {
  const download = tab.waitForEvent('download');
  await tab.click('#ListSave');
  return fs.readFileSync(await (await download).path(), 'utf8');
}

// Converts `list` (a file's bytes, or a text typed into the box) with the options given, and
// waits until the run has ended.
async function convertList(tab, list, {mode = 'decode', charset = 'auto', name = 'list.txt'} = {}) {
  await tab.selectOption('#ListMode', mode);
  await tab.selectOption('#ListCharset', charset);
  await tab.evaluate(() => { document.documentElement.dataset.listRun = 'running'; });
  if (typeof list === 'string') {
    await tab.$eval('#ListIn', (box, text) => {
      box.value = text;
      box.dispatchEvent(new Event('input'));
    }, list);
    await tab.click('#ListRun');
  } else {
    await tab.setInputFiles('#ListFile', asFile(list, name));
  }
  await listDone(tab);
}

const exportButton = {aria2: '#ListExportAria2', ef2: '#ListExportEf2', json: '#ListExportJson'};
const exportDone = (tab) => tab.waitForSelector('html[data-list-export="done"]', {state: 'attached'});
const exportNotes = (tab) => tab.$$eval('#ListExportNotes li', (items) => items.map((item) => item.textContent));

// Clicks the export of `form` and returns the file saved: {name, bytes}.
async function exported(tab, form) {
  const download = tab.waitForEvent('download');
  await tab.click(exportButton[form]);
  const file = await download;
  await exportDone(tab);
  return {name: file.suggestedFilename(), bytes: fs.readFileSync(await file.path())};
}

module.exports = {listDone, rows, summary, note, numbered, asFile, saved, convertList, exportButton,
                  exportDone, exportNotes, exported};
