// The conversion of a list, piece by piece, so that no list is ever read or converted whole:
// a file is read in slices, a text cut into pieces, and each piece's results posted as soon as
// they are made. It runs in a worker made from this function's own text (lists_run.js), and in
// the page itself where the browser will not start one.
'use strict';

// Takes each job that `scope` receives as a message ({mode, charset, chinese, pieceSize,
// longestLine, a file or a text, and the form to write the results in: "lines" when none is
// given, or "aria2", "ef2" or "json" for a downloader) and posts, for every piece, the core's
// results of it (see web/list_job.h) with `read` and `size`, the last with `last` set; or,
// when the input could not be read or the core failed, {failed: what was said, unreadable:
// whether reading failed}. A downloader's form comes not as each piece's `text` but as its
// length, `bytes`, and the whole file as `blob` with the last piece. `scope` is the worker's
// own global scope, or the page's stand-in for one, which sets `inPage` and may set
// `stopped`. `corePromise` gives the core. Refers to nothing outside itself: its text is the
// worker.
function zentrovaListConverter(scope, corePromise) {
  const nextTurn = () => new Promise((resolve) => setTimeout(resolve, 0));
  scope.onmessage = async ({data: job}) => {
    let listJob = null;
    let reading = false;
    const exporting = job.form !== undefined && job.form !== 'lines';
    const parts = [];
    try {
      const core = await corePromise;
      listJob = new core.ListJob(job.mode, job.charset, job.chinese, job.longestLine,
                                 job.form || 'lines');
      const size = job.file ? job.file.size : job.text.length;
      for (let at = 0; ; at += job.pieceSize) {
        const end = Math.min(at + job.pieceSize, size);
        let result;
        if (at >= size) {
          result = listJob.finish();
          result.last = true;
        } else if (job.file) {
          reading = true;
          const piece = new Uint8Array(await job.file.slice(at, end).arrayBuffer());
          reading = false;
          if (scope.stopped) return;
          result = listJob.feedBytes(piece);
        } else {
          result = listJob.feedText(job.text.slice(at, end));
        }
        result.read = end;
        result.size = size;
        if (scope.stopped) return;
        if (exporting) {
          // A download's pieces become a Blob here: making one waits on the browser, which
          // would pause the page, and the page needs only the whole file.
          parts.push(new Blob([result.text]));
          result.bytes = result.text.byteLength;
          result.text = null;
          if (result.last) result.blob = new Blob(parts);
        }
        const transfer = [result.marks.buffer];
        if (result.text) transfer.push(result.text.buffer);
        if (result.reasons) transfer.push(result.reasons.buffer);
        scope.postMessage(result, scope.inPage ? undefined : transfer);
        if (result.last || result.stop) return;
        // In the page, the page's own work (drawing, the Cancel button) comes between pieces.
        if (scope.inPage) await nextTurn();
        if (scope.stopped) return;
      }
    } catch (error) {
      if (!scope.stopped) {
        scope.postMessage({failed: String((error && error.message) || error), unreadable: reading});
      }
    } finally {
      if (listJob) listJob.delete();
    }
  };
}
