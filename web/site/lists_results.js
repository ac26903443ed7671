// A list's results as the lists page keeps them: the pieces' UTF-8 text as it came, with
// where every 64th line starts and one small number a line for the failures, so that
// millions of lines cost little more than their text, and any line is found at once.
'use strict';

class ListResults {
  constructor() {
    this.pieces = [];   // {first: number of the piece's first line, lines, text, marks, reasons}
    this.lines = 0;
    this.bytes = 0;     // what the pieces hold in all
    this.reasons = [];  // every reason said, in the core's order
    this.decoder = new TextDecoder();
  }

  // Keeps one piece's results, as the core hands them over.
  add(piece) {
    this.reasons.push(...piece.newReasons);
    if (!piece.lines) return;
    this.pieces.push({first: this.lines, lines: piece.lines, text: piece.text, marks: piece.marks,
                      reasons: piece.reasons});
    this.lines += piece.lines;
    this.bytes += piece.text.byteLength + piece.marks.byteLength +
                  (piece.reasons ? piece.reasons.byteLength : 0);
  }

  // Returns line `index` (from 0): {why} when it failed, else {text, more}, the text cut
  // after about `longest` bytes, with `more` the bytes left out.
  row(index, longest) {
    let low = 0;
    let high = this.pieces.length - 1;
    while (low < high) {
      const middle = (low + high + 1) >> 1;
      if (this.pieces[middle].first <= index) low = middle; else high = middle - 1;
    }
    const piece = this.pieces[low];
    const k = index - piece.first;
    const reason = piece.reasons ? piece.reasons[k] : 0;
    if (reason) return {why: this.reasons[reason - 1]};
    const text = piece.text;
    let start = piece.marks[k >> 6];
    for (let skip = k & 63; skip > 0; --skip) start = text.indexOf(10, start) + 1;
    const end = text.indexOf(10, start);
    let cut = Math.min(end, start + longest);
    // Never inside a character: a UTF-8 continuation byte is 10xxxxxx.
    while (cut < end && cut > start && (text[cut] & 0xc0) === 0x80) --cut;
    return {text: this.decoder.decode(text.subarray(start, cut)), more: end - cut};
  }

  // Returns every result line followed by LF, as a file holds them.
  blob() {
    return new Blob(this.pieces.map((piece) => piece.text), {type: 'text/plain;charset=utf-8'});
  }

  // Returns the result lines joined by LF.
  async text() {
    return (await this.blob().text()).slice(0, -1);
  }
}
