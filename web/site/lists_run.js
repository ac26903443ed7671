// One conversion of a list at a time, for the lists page's run (its results shown) and for its
// export (a file saved) alike: the converter (a worker, or the page itself where the browser
// starts none) is given the job, every piece it sends is handed on, and the conversion ends at
// its last piece, at the first failure or at a limit, with the words that say why. The page's
// own wiring is in lists.js.
'use strict';

// The worker's script: the core's own script text and the converter's, which the page has
// already, so that it comes from no address (a page opened from disk may start no worker from
// a file) and nothing is loaded twice.
function zentrovaWorkerSource() {
  return `var _scriptDir;\nvar ZentrovaCore = ${ZentrovaCore};\n` +
         `(${zentrovaListConverter})(self, ZentrovaCore());\n`;
}

// A converter of one list at a time in the page: post(job) starts a job, stop() ends it at
// once. `onMessage` gets what it posts.
function zentrovaPageConverter(core, onMessage) {
  const scope = {inPage: true, stopped: false, postMessage: (data) => onMessage(data)};
  zentrovaListConverter(scope, Promise.resolve(core));
  return {inPage: true, post: (job) => scope.onmessage({data: job}),
          stop: () => { scope.stopped = true; }};
}

// The same in a worker where the browser starts one; else, or where the worker will not run
// (a policy, a missing feature), in the page, in smaller pieces.
function zentrovaConverter(core, onMessage) {
  let worker;
  const url = URL.createObjectURL(new Blob([zentrovaWorkerSource()], {type: 'text/javascript'}));
  try {
    worker = new Worker(url);
  } catch (error) {
    URL.revokeObjectURL(url);
    return zentrovaPageConverter(core, onMessage);
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
    URL.revokeObjectURL(url);
    worker.terminate();
    fallback = zentrovaPageConverter(core, onMessage);
    converter.inPage = true;
    if (pending) fallback.post({...pending, pieceSize: ListRun.kPieceInPage});
  };
  return converter;
}

class ListRun {
  static get kPieceInWorker() { return 1 << 20; }  // bytes or characters converted at a time
  static get kPieceInPage() { return 1 << 18; }    // smaller where the page waits for each piece
  static get kMostBytes() { return 1024 << 20; }   // of results kept, or of a file saved

  // `core` converts; a run that `keeps` its converter uses it again for the next conversion
  // (the page's runs), else each conversion has a converter of its own (the exports).
  constructor(core, {keeps = false} = {}) {
    this.core = core;
    this.keeps = keeps;
    this.converter = null;
    this.current = null;  // {job, sink, words, on}
  }

  get running() { return this.current !== null; }

  // Converts `job` into `sink` (a ListResults or a ListExport: add(piece), bytes). `words`
  // says why a conversion stopped: unreadable(name), failed(why), memory(), tooLong(line),
  // tooMuch(); `on` hears of it: piece(message) for every piece taken, progress(message) while
  // it goes on, end(words, whole, inPage) once, `whole` when the list was converted to its end.
  start(job, sink, words, on) {
    if (!this.converter) {
      const converter = zentrovaConverter(this.core, (message) => {
        // What a converter stopped since had still made never reaches the page.
        if (converter === this.converter) this.heard(message);
      });
      this.converter = converter;
    }
    this.current = {job, sink, words, on};
    this.converter.post({...job, pieceSize: this.converter.inPage ? ListRun.kPieceInPage
                                                                  : ListRun.kPieceInWorker});
  }

  // The converter stops at once; `on.end` hears `words` of a conversion going on.
  stop(words) {
    if (this.converter) this.converter.stop();
    this.converter = null;
    this.end(words, false);
  }

  end(words, whole) {
    const current = this.current;
    if (!current) return;
    this.current = null;
    const converter = this.converter;
    const inPage = converter !== null && converter.inPage;
    if (whole && !this.keeps) this.converter = null;
    current.on.end(words, whole, inPage);
    if (whole && !this.keeps) converter.stop();
  }

  heard(message) {
    if (!this.current) return;
    const {job, sink, words, on} = this.current;
    if (message.failed !== undefined) {
      this.stop(message.unreadable && job.file ? words.unreadable(job.file.name)
                                               : words.failed(message.failed));
      return;
    }
    try {
      sink.add(message);
    } catch (error) {  // the page's own memory ran out
      this.stop(words.memory());
      return;
    }
    on.piece(message);
    if (message.stop) {
      this.stop(message.stop.why === 'tooLong' ? words.tooLong(message.stop.line) : words.memory());
    } else if (sink.bytes > ListRun.kMostBytes) {
      this.stop(words.tooMuch());
    } else if (message.last) {
      this.end('', true);
    } else {
      on.progress(message);
    }
  }
}
