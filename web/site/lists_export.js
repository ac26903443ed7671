// A converted list in a downloader's form, as the core's hand-off writes it piece by piece in
// the converter (lists_worker.js), which keeps the bytes as a Blob, outside the page's memory
// (Chromium moves large ones to disk): here the bytes are counted, and the lines the form left
// out noted, the first few of them by number.
'use strict';

class ListExport {
  // The name each form is saved under.
  static get names() {
    return {aria2: 'zentrova.aria2.txt', ef2: 'zentrova.ef2', json: 'zentrova.jsonl'};
  }

  static get kMostNotes() { return 20; }  // left-out lines named on the page

  constructor(form) {
    this.form = form;
    this.name = ListExport.names[form];
    this.whole = null;  // the file's bytes, once the last piece has come
    this.bytes = 0;
    this.notes = [];    // {line, words}, the first kMostNotes lines left out
    this.leftOut = 0;   // lines left out in all
    this.failed = 0;    // lines that failed, which aria2's and IDM's forms cannot hold
  }

  // Takes what the converter says of one piece.
  add(piece) {
    this.bytes += piece.bytes;
    if (piece.blob) this.whole = piece.blob;
    for (const note of piece.notes) {
      if (this.notes.length < ListExport.kMostNotes) this.notes.push(note);
    }
    this.leftOut = piece.leftOut;
    this.failed = piece.counts.failed;
  }

  // Returns the whole file, once the last piece has come: as bytes, not text, which a browser
  // may save under a name ending in an added ".txt".
  blob() {
    return new Blob([this.whole], {type: 'application/octet-stream'});
  }
}
