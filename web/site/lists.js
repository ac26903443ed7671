// Whole lists, line by line, through the same conversions as `zentrova-cli batch`: a list
// typed or pasted is converted as its text, a list file (UTF-8 or GBK) as its bytes, read in
// slices. The conversion runs in a worker (lists_run.js, lists_worker.js), so the page answers
// throughout; each piece's results are shown as they come, with the progress and a Cancel
// button. A list converted to its end can be exported for a downloader: the same input is
// converted again, in a worker of its own, into the form `zentrova-cli batch --to` writes, and
// saved. This is the page's wiring.
'use strict';

(() => {
  const $ = (id) => document.getElementById(id);
  const kLongestLine = 64 << 20;  // a line's bytes (or characters) the core is given at most
  const chinese = /^zh(-|$)/i.test(navigator.language || '');
  const exportButtons = () => ({aria2: $('ListExportAria2'), ef2: $('ListExportEf2'),
                                json: $('ListExportJson')});

  // The page's state: `file` (dropped or opened, until the box is edited); `run`, the run going
  // on ({counts, job, notice}); `shown`, the job whose results are shown once its run has
  // ended ({job, whole}); `runs` and `exports`, the conversions of each (ListRun).
  function makePage(core) {
    const say = (english, ...args) =>
      core.translate(english, chinese).replace(/\{(\d+)\}/g, (_, n) => String(args[n]));
    const page = {say, file: null, run: null, shown: null, results: new ListResults(),
                  runs: new ListRun(core, {keeps: true}), exports: new ListRun(core)};
    page.kept = (english, ...args) => say(english, ...args, page.results.lines);
    page.view = new ListView($('ListView'), $('ListSpace'), $('ListOut'),
                             (index, longest) => page.results.row(index, longest),
                             (more) => say('… ({0} more bytes; copy or save the list for the whole line)', more));
    return page;
  }

  const note = (text) => { $('ListNote').textContent = text; };
  const exportStatus = (text) => { $('ListCopyNote').textContent = text; };
  // The progress bar and Cancel, shown while a conversion goes on.
  const progress = (fraction) => {
    $('ListProgress').hidden = fraction === null;
    $('ListCancel').hidden = fraction === null;
    if (fraction !== null) $('ListProgress').value = fraction;
  };
  const percent = (message) => Math.floor(100 * message.read / message.size);

  // Saves `blob` under `name` where the browser saves downloads.
  function save(blob, name) {
    const link = document.createElement('a');
    link.href = URL.createObjectURL(blob);
    link.download = name;
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 0);
  }

  function exportNotes(lines) {
    $('ListExportNotes').replaceChildren(...lines.map((words) => {
      const item = document.createElement('li');
      item.textContent = words;
      return item;
    }));
  }

  // Which exports the results shown allow, and why not the others.
  function offerExports({say, shown, exports}) {
    for (const [form, button] of Object.entries(exportButtons())) {
      let why = '';
      if (!shown) {
        why = null;
      } else if (!shown.whole) {
        why = say('the list was not converted to its end; convert it whole to export it');
      } else if (form !== 'json' && shown.job.mode !== 'decode') {
        why = say('aria2 and IDM take only downloads: convert the list with "decode" to export it for them');
      }
      button.disabled = why !== '' || exports.running;
      if (why) button.title = why; else button.removeAttribute('title');
    }
  }

  // What a run says when it stops: each time what it converted is kept.
  function runWords({say, kept}) {
    return {
      unreadable: (name) => kept("'{0}' could not be read to its end; the first {1} lines are kept", name),
      failed: (why) => kept('the conversion failed: {0}; the first {1} lines are kept', why),
      memory: () => kept('memory ran out; the first {0} lines are kept'),
      tooLong: (line) => say('line {0} is longer than {1} MB, more than the page converts; the lines before it are kept',
                             line, kLongestLine >> 20),
      tooMuch: () => kept('the results have reached {0} MB, as much as the page keeps; the first {1} lines are kept',
                          ListRun.kMostBytes >> 20),
    };
  }

  // What an export says when it stops: it saves nothing then.
  function exportWords({say}) {
    return {
      unreadable: (name) => say("'{0}' could not be read to its end; nothing was saved", name),
      failed: (why) => say('the export failed: {0}; nothing was saved', why),
      memory: () => say('memory ran out; nothing was saved'),
      tooLong: (line) => say('line {0} is longer than {1} MB, more than the page converts; nothing was saved',
                             line, kLongestLine >> 20),
      tooMuch: () => say('the export has reached {0} MB, as much as the page saves; nothing was saved',
                         ListRun.kMostBytes >> 20),
    };
  }

  const summary = ({say}, counts) =>
    say('{0} lines: {1} converted, {2} passed through, {3} failed', counts.lines,
        counts.converted, counts.passedThrough, counts.failed);

  // Ends the run: `whole` when it converted the list to its end.
  function runEnded(page, words, whole, inPage) {
    const {run} = page;
    if (whole) document.documentElement.dataset.converter = inPage ? 'page' : 'worker';
    $('ListSummary').textContent = summary(page, run.counts);
    note(words || run.notice);
    progress(null);
    $('ListCopy').disabled = $('ListSave').disabled = false;
    page.view.show(page.results.lines, false);
    page.shown = {job: run.job, whole};
    page.run = null;
    offerExports(page);
    // For whoever watches the page (its tests): a run has ended, and where it ran.
    document.documentElement.dataset.listRun = 'done';
  }

  const runHeard = (page) => ({
    piece: (message) => {
      page.run.counts = message.counts;
      page.view.show(page.results.lines, false);
    },
    progress: (message) => {
      progress(message.size ? message.read / message.size : 1);
      $('ListSummary').textContent =
        page.say('converting: {0}% read, {1} lines so far', percent(message), page.results.lines);
    },
    end: (words, whole, inPage) => runEnded(page, words, whole, inPage),
  });

  // Converts the file taken, or else the box's text; `notice` is shown while and after.
  function convert(page, notice = '') {
    if (page.runs.running) page.runs.stop();
    page.exports.stop('');
    page.shown = null;
    exportNotes([]);
    page.results = new ListResults();
    page.view.show(0, true);
    note(notice);
    $('ListCopyNote').textContent = '';
    $('ListCopy').disabled = $('ListSave').disabled = true;
    progress(0);
    $('ListSummary').textContent = page.say('converting: {0}% read, {1} lines so far', 0, 0);
    document.documentElement.dataset.listRun = 'running';
    const options = {mode: $('ListMode').value, charset: $('ListCharset').value, chinese,
                     longestLine: kLongestLine};
    const job = page.file ? {...options, file: page.file} : {...options, text: $('ListIn').value};
    page.run = {counts: {lines: 0, converted: 0, passedThrough: 0, failed: 0}, notice, job};
    offerExports(page);
    page.runs.start(job, page.results, runWords(page), runHeard(page));
  }

  // Saves the file an export made, and names what it left out.
  function exportSaved({say}, list) {
    const blob = list.blob();
    save(blob, list.name);
    exportStatus(say('{0} saved ({1} bytes)', list.name, blob.size));
    const lines = [];
    if (list.failed && list.form !== 'json') {
      lines.push(say('{0} lines failed and are not in the file; the results mark them', list.failed));
    }
    for (const {line, words} of list.notes) lines.push(say('line {0}: {1}', line, words));
    if (list.leftOut > list.notes.length) {
      lines.push(say('… and {0} more lines left out', list.leftOut - list.notes.length));
    }
    exportNotes(lines);
  }

  const exportHeard = (page, list) => ({
    piece: () => {},
    progress: (message) => {
      progress(message.size ? message.read / message.size : 1);
      exportStatus(page.say('exporting {0}: {1}% read', list.name, percent(message)));
    },
    end: (words, whole) => {
      progress(null);
      if (whole) exportSaved(page, list); else exportStatus(words);
      offerExports(page);
      document.documentElement.dataset.listExport = 'done';
    },
  });

  // Converts the list shown again, in `form`, and saves it.
  function exportList(page, form) {
    const {shown, exports} = page;
    if (!shown || !shown.whole || exports.running) return;
    const list = new ListExport(form);
    exportNotes([]);
    exportStatus(page.say('exporting {0}: {1}% read', list.name, 0));
    progress(0);
    document.documentElement.dataset.listExport = 'running';
    exports.start({...shown.job, form}, list, exportWords(page), exportHeard(page, list));
    offerExports(page);
  }

  // A file opened, or dropped anywhere on the page, is converted; text typed lets it go.
  function takeFiles(page) {
    const take = (files) => {
      if (!files.length) return;
      const file = page.file = files[0];
      $('ListFileName').textContent = page.say('file: {0} ({1} bytes)', file.name, file.size);
      convert(page, files.length > 1
        ? page.say("{0} files were given; only '{1}' is converted", files.length, file.name) : '');
    };
    $('ListIn').addEventListener('input', () => {
      page.file = null;
      $('ListFileName').textContent = '';
    });
    $('ListFile').addEventListener('change', (event) => take(event.target.files));
    // A browser's own way with a dropped file is to open it in place of the page. Text dropped
    // into the box goes in as typed.
    const files = (event) => Array.from(event.dataTransfer.types).includes('Files');
    const ours = (event) => event.dataTransfer && (files(event) || event.target !== $('ListIn'));
    document.addEventListener('dragover', (event) => {
      if (!ours(event)) return;
      event.preventDefault();
      event.dataTransfer.dropEffect = files(event) ? 'copy' : 'none';
    });
    document.addEventListener('drop', (event) => {
      if (!ours(event)) return;
      event.preventDefault();
      take(event.dataTransfer.files);
    });
  }

  // "全部复制" and "另存为 .txt": the results whole.
  function copyAndSave(page) {
    const {say} = page;
    $('ListCopy').addEventListener('click', async () => {
      const copyNote = (english, ...args) => { $('ListCopyNote').textContent = say(english, ...args); };
      if (!navigator.clipboard || !navigator.clipboard.writeText) {
        copyNote('this browser lets no page write the clipboard; save the list as a file instead');
        return;
      }
      try {
        await navigator.clipboard.writeText(await page.results.text());
        copyNote('{0} lines copied', page.results.lines);
      } catch (error) {
        copyNote('the browser did not let the page write the clipboard; save the list as a file instead');
      }
    });
    $('ListSave').addEventListener('click', () => save(page.results.blob(), 'zentrova-list.txt'));
  }

  async function start() {
    const page = makePage(await ZentrovaCore());
    $('ListRun').addEventListener('click', () => convert(page));
    $('ListCancel').addEventListener('click', () => {
      if (page.exports.running) page.exports.stop(page.say('the export was cancelled; nothing was saved'));
      else page.runs.stop(page.kept('cancelled; the first {0} lines are kept'));
    });
    for (const [form, button] of Object.entries(exportButtons())) {
      button.addEventListener('click', () => exportList(page, form));
    }
    takeFiles(page);
    copyAndSave(page);
    // A page may ask no other site, so whether the exported addresses still download is asked
    // elsewhere.
    $('ListCheckNote').textContent =
      page.say('this page cannot check whether the addresses still download, as a web page may not ask other sites: "zentrova-cli batch decode --check" checks a list, and the Zentrova browser extension checks the links of a page ("Check links" in its popup)');
    document.documentElement.dataset.ready = 'true';
  }

  start();
})();
