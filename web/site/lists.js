// Whole lists, line by line, through the same conversions as `zentrova-cli batch`: a list
// typed or pasted is converted as its text, a list file (UTF-8 or GBK) as its bytes, read in
// slices. The conversion runs in a worker (lists_worker.js), so the page answers throughout;
// each piece's results are shown as they come, with the progress and a Cancel button. A list
// converted to its end can be exported for a downloader: the same input is converted again,
// in a worker of its own, into the form `zentrova-cli batch --to` writes, and saved.
'use strict';

(() => {
  const $ = (id) => document.getElementById(id);
  const kPieceInWorker = 1 << 20;  // bytes or characters converted at a time
  const kPieceInPage = 1 << 18;    // smaller where the page waits for each piece
  const kLongestLine = 64 << 20;   // a line's bytes (or characters) the core is given at most
  const kMostResults = 1024 << 20; // bytes of results the page keeps at most
  const chinese = /^zh(-|$)/i.test(navigator.language || '');

  // The worker's script: the core's own script text and the converter's, which the page has
  // already, so that it comes from no address (a page opened from disk may start no worker
  // from a file) and nothing is loaded twice.
  function workerSource() {
    return `var _scriptDir;\nvar ZentrovaCore = ${ZentrovaCore};\n` +
           `(${zentrovaListConverter})(self, ZentrovaCore());\n`;
  }

  // A converter of one list at a time, in a worker where the browser starts one, else in the
  // page: post(job) starts a job, stop() ends it at once. `onMessage` gets what it posts.
  function inPage(core, onMessage) {
    const scope = {inPage: true, stopped: false, postMessage: (data) => onMessage(data)};
    zentrovaListConverter(scope, Promise.resolve(core));
    return {inPage: true, post: (job) => scope.onmessage({data: job}),
            stop: () => { scope.stopped = true; }};
  }

  function inWorker(core, onMessage) {
    let worker;
    const url = URL.createObjectURL(new Blob([workerSource()], {type: 'text/javascript'}));
    try {
      worker = new Worker(url);
    } catch (error) {
      URL.revokeObjectURL(url);
      return inPage(core, onMessage);
    }
    let heard = false;
    let fallback = null;
    let pending = null;
    const converter = {
      inPage: false,
      post: (job) => {
        pending = job;
        if (fallback) fallback.post(job); else worker.postMessage(job);
      },
      stop: () => (fallback ? fallback.stop() : worker.terminate()),
    };
    worker.onmessage = ({data}) => {
      if (!heard) URL.revokeObjectURL(url);
      heard = true;
      onMessage(data);
    };
    worker.onerror = (event) => {
      event.preventDefault();
      if (heard) {
        onMessage({failed: event.message || 'the worker stopped'});
        return;
      }
      // A browser that will not run the worker (a policy, a missing feature): the page
      // converts instead, in smaller pieces.
      URL.revokeObjectURL(url);
      worker.terminate();
      fallback = inPage(core, onMessage);
      converter.inPage = true;
      if (pending) fallback.post({...pending, pieceSize: kPieceInPage});
    };
    return converter;
  }

  async function start() {
    const core = await ZentrovaCore();
    const say = (english, ...args) =>
      core.translate(english, chinese).replace(/\{(\d+)\}/g, (_, n) => String(args[n]));
    const summary = (counts) =>
      say('{0} lines: {1} converted, {2} passed through, {3} failed', counts.lines,
          counts.converted, counts.passedThrough, counts.failed);

    let results = new ListResults();
    const view = new ListView($('ListView'), $('ListSpace'), $('ListOut'),
                              (index, longest) => results.row(index, longest),
                              (more) => say('… ({0} more bytes; copy or save the list for the whole line)', more));
    let file = null;  // the dropped or opened file, until the box is edited
    let converter = null;
    let run = null;   // the run going on: {counts, job}
    let shown = null; // the job whose results are shown, once its run has ended: {job, whole}
    let exporting = null;  // the export going on: {converter, list (a ListExport)}
    const exportButtons = {aria2: $('ListExportAria2'), ef2: $('ListExportEf2'),
                           json: $('ListExportJson')};

    const note = (text) => { $('ListNote').textContent = text; };
    const progress = (fraction) => {
      $('ListProgress').hidden = fraction === null;
      if (fraction !== null) $('ListProgress').value = fraction;
    };
    // Which exports the results shown allow, and why not the others.
    const offerExports = () => {
      for (const [form, button] of Object.entries(exportButtons)) {
        let why = '';
        if (!shown) {
          why = null;
        } else if (!shown.whole) {
          why = say('the list was not converted to its end; convert it whole to export it');
        } else if (form !== 'json' && shown.job.mode !== 'decode') {
          why = say('aria2 and IDM take only downloads: convert the list with "decode" to export it for them');
        }
        button.disabled = why !== '' || exporting !== null;
        if (why) button.title = why; else button.removeAttribute('title');
      }
    };
    // Ends the run: `whole` when it converted the list to its end.
    const finish = (words, whole = false) => {
      if (!run) return;
      $('ListSummary').textContent = summary(run.counts);
      note(words || run.notice);
      progress(null);
      $('ListCancel').hidden = true;
      $('ListCopy').disabled = $('ListSave').disabled = false;
      view.show(results.lines, false);
      shown = {job: run.job, whole};
      offerExports();
      run = null;
      // For whoever watches the page (its tests): a run has ended, and where it ran.
      document.documentElement.dataset.listRun = 'done';
    };
    // The converter stops at once; what it converted is kept.
    const stop = (words) => {
      if (converter) converter.stop();
      converter = null;
      finish(words);
    };
    const kept = (english, ...args) => say(english, ...args, results.lines);

    const heard = (message) => {
      if (!run) return;
      if (message.failed !== undefined) {
        stop(message.unreadable && file
          ? kept("'{0}' could not be read to its end; the first {1} lines are kept", file.name)
          : kept('the conversion failed: {0}; the first {1} lines are kept', message.failed));
        return;
      }
      try {
        results.add(message);
      } catch (error) {  // the page's own memory ran out
        stop(kept('memory ran out; the first {0} lines are kept'));
        return;
      }
      run.counts = message.counts;
      view.show(results.lines, false);
      if (message.stop) {
        stop(message.stop.why === 'tooLong'
          ? say('line {0} is longer than {1} MB, more than the page converts; the lines before it are kept',
                message.stop.line, kLongestLine >> 20)
          : kept('memory ran out; the first {0} lines are kept'));
      } else if (results.bytes > kMostResults) {
        stop(kept('the results have reached {0} MB, as much as the page keeps; the first {1} lines are kept',
                  kMostResults >> 20));
      } else if (message.last) {
        document.documentElement.dataset.converter = converter.inPage ? 'page' : 'worker';
        finish('', true);
      } else {
        progress(message.size ? message.read / message.size : 1);
        $('ListSummary').textContent =
          say('converting: {0}% read, {1} lines so far', Math.floor(100 * message.read / message.size),
              results.lines);
      }
    };

    // Saves `blob` under `name` where the browser saves downloads.
    const save = (blob, name) => {
      const link = document.createElement('a');
      link.href = URL.createObjectURL(blob);
      link.download = name;
      link.click();
      setTimeout(() => URL.revokeObjectURL(link.href), 0);
    };

    const exportStatus = (text) => { $('ListCopyNote').textContent = text; };
    const exportNotes = (lines) => {
      $('ListExportNotes').replaceChildren(...lines.map((words) => {
        const item = document.createElement('li');
        item.textContent = words;
        return item;
      }));
    };
    // The export stops at once; nothing of it is saved.
    const stopExport = (words) => {
      if (!exporting) return;
      exporting.converter.stop();
      exporting = null;
      progress(null);
      $('ListCancel').hidden = true;
      exportStatus(words);
      offerExports();
      document.documentElement.dataset.listExport = 'done';
    };
    const heardExport = (message) => {
      if (!exporting) return;
      const {list} = exporting;
      if (message.failed !== undefined) {
        stopExport(message.unreadable && shown.job.file
          ? say("'{0}' could not be read to its end; nothing was saved", shown.job.file.name)
          : say('the export failed: {0}; nothing was saved', message.failed));
        return;
      }
      try {
        list.add(message);
      } catch (error) {
        stopExport(say('memory ran out; nothing was saved'));
        return;
      }
      if (message.stop) {
        stopExport(message.stop.why === 'tooLong'
          ? say('line {0} is longer than {1} MB, more than the page converts; nothing was saved',
                message.stop.line, kLongestLine >> 20)
          : say('memory ran out; nothing was saved'));
      } else if (list.bytes > kMostResults) {
        stopExport(say('the export has reached {0} MB, as much as the page saves; nothing was saved',
                       kMostResults >> 20));
      } else if (message.last) {
        const blob = list.blob();
        exporting.converter.stop();
        exporting = null;
        progress(null);
        $('ListCancel').hidden = true;
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
        offerExports();
        document.documentElement.dataset.listExport = 'done';
      } else {
        progress(message.size ? message.read / message.size : 1);
        exportStatus(say('exporting {0}: {1}% read', list.name,
                       Math.floor(100 * message.read / message.size)));
      }
    };
    // Converts the list shown again, in `form`, and saves it.
    const exportList = (form) => {
      if (!shown || !shown.whole || exporting) return;
      exporting = {converter: inWorker(core, heardExport), list: new ListExport(form)};
      offerExports();
      exportNotes([]);
      exportStatus(say('exporting {0}: {1}% read', exporting.list.name, 0));
      progress(0);
      $('ListCancel').hidden = false;
      document.documentElement.dataset.listExport = 'running';
      exporting.converter.post({...shown.job, form,
                                pieceSize: exporting.converter.inPage ? kPieceInPage : kPieceInWorker});
    };

    // Converts the file taken, or else the box's text; `notice` is shown while and after.
    const convert = (notice = '') => {
      if (run) stop();
      stopExport('');
      shown = null;
      exportNotes([]);
      results = new ListResults();
      view.show(0, true);
      run = {counts: {lines: 0, converted: 0, passedThrough: 0, failed: 0}, notice};
      note(notice);
      $('ListCopyNote').textContent = '';
      $('ListCopy').disabled = $('ListSave').disabled = true;
      $('ListCancel').hidden = false;
      progress(0);
      $('ListSummary').textContent = say('converting: {0}% read, {1} lines so far', 0, 0);
      if (!converter) converter = inWorker(core, heard);
      document.documentElement.dataset.listRun = 'running';
      const options = {mode: $('ListMode').value, charset: $('ListCharset').value, chinese,
                       longestLine: kLongestLine};
      run.job = file ? {...options, file} : {...options, text: $('ListIn').value};
      offerExports();
      converter.post({...run.job, pieceSize: converter.inPage ? kPieceInPage : kPieceInWorker});
    };

    const take = (files) => {
      if (!files.length) return;
      file = files[0];
      $('ListFileName').textContent = say('file: {0} ({1} bytes)', file.name, file.size);
      convert(files.length > 1
        ? say("{0} files were given; only '{1}' is converted", files.length, file.name) : '');
    };

    $('ListRun').addEventListener('click', () => convert());
    $('ListCancel').addEventListener('click', () => {
      if (exporting) stopExport(say('the export was cancelled; nothing was saved'));
      else stop(kept('cancelled; the first {0} lines are kept'));
    });
    for (const [form, button] of Object.entries(exportButtons)) {
      button.addEventListener('click', () => exportList(form));
    }
    $('ListIn').addEventListener('input', () => {
      file = null;
      $('ListFileName').textContent = '';
    });
    $('ListFile').addEventListener('change', (event) => take(event.target.files));
    // A file dropped anywhere on the page is taken by it: a browser's own way with a dropped
    // file is to open it in place of the page. Text dropped into the box goes in as typed.
    const ours = (event) => event.dataTransfer &&
      (Array.from(event.dataTransfer.types).includes('Files') || event.target !== $('ListIn'));
    document.addEventListener('dragover', (event) => {
      if (!ours(event)) return;
      event.preventDefault();
      event.dataTransfer.dropEffect =
        Array.from(event.dataTransfer.types).includes('Files') ? 'copy' : 'none';
    });
    document.addEventListener('drop', (event) => {
      if (!ours(event)) return;
      event.preventDefault();
      take(event.dataTransfer.files);
    });

    $('ListCopy').addEventListener('click', async () => {
      const copyNote = (english, ...args) => { $('ListCopyNote').textContent = say(english, ...args); };
      if (!navigator.clipboard || !navigator.clipboard.writeText) {
        copyNote('this browser lets no page write the clipboard; save the list as a file instead');
        return;
      }
      try {
        await navigator.clipboard.writeText(await results.text());
        copyNote('{0} lines copied', results.lines);
      } catch (error) {
        copyNote('the browser did not let the page write the clipboard; save the list as a file instead');
      }
    });
    $('ListSave').addEventListener('click', () => save(results.blob(), 'zentrova-list.txt'));
    document.documentElement.dataset.ready = 'true';
  }

  start();
})();
