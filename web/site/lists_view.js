// The result rows of a list of any length. A browser lays out many elements slowly and will
// not make one taller than about 33.5 million pixels, so only the rows in view, and a few
// around them, are made, in a space that scrolls like the rows; past kMostSpace pixels of
// rows the space stands for them at a smaller scale, and the wheel and the keys move the view
// by rows' own heights, so that every row can still be scrolled to, one by one.
'use strict';

class ListView {
  // `view` scrolls, `space` gives it its height, `out` (an <ol>) holds the rows made;
  // `row(index)` returns a line as ListResults.row does, `cutNote(more)` the words that end a
  // row cut short.
  constructor(view, space, out, row, cutNote) {
    this.view = view;
    this.space = space;
    this.out = out;
    this.row = row;
    this.cutNote = cutNote;
    this.count = 0;
    this.top = 0;            // the view's top, in pixels of the rows at full scale
    this.scrollSet = null;   // the scrollTop that the view itself last set
    this.drawing = false;
    view.addEventListener('scroll', () => this.scrolled());
    view.addEventListener('wheel', (event) => this.wheel(event), {passive: false});
    view.addEventListener('keydown', (event) => this.key(event));
  }

  static get kRowHeight() { return 18; }  // pixels; page.css gives every row this height
  static get kSpare() { return 20; }      // rows made beyond each edge of the view
  static get kMostSpace() { return 8000000; }  // pixels, well below any browser's limit
  static get kLongestRow() { return 2000; }    // bytes of a row drawn; the rest is left out

  // Shows `count` rows, from the top when `fromTop`, else where the view stands.
  show(count, fromTop) {
    this.count = count;
    this.space.style.height = Math.min(this.fullHeight(), ListView.kMostSpace) + 'px';
    // The same rows stay in view as the scale changes with the count.
    this.moveTo(fromTop ? 0 : this.top);
    this.draw();
  }

  fullHeight() { return this.count * ListView.kRowHeight; }
  scaled() { return this.fullHeight() > ListView.kMostSpace; }

  // Full-scale pixels of rows for each pixel of the scroll space.
  ratio() {
    const room = this.view.clientHeight;
    const space = Math.min(this.fullHeight(), ListView.kMostSpace);
    return space > room ? Math.max(1, (this.fullHeight() - room) / (space - room)) : 1;
  }

  moveTo(top) {
    this.top = Math.max(0, Math.min(top, this.fullHeight() - this.view.clientHeight));
    const scrollTop = Math.round(this.top / this.ratio());
    this.scrollSet = scrollTop;
    this.view.scrollTop = scrollTop;
  }

  // A scroll the view did not set itself (the scroll bar, the browser's own keys) moves the
  // rows in proportion.
  scrolled() {
    if (Math.abs(this.view.scrollTop - this.scrollSet) >= 1) {
      this.top = this.view.scrollTop * this.ratio();
      this.scrollSet = this.view.scrollTop;
    }
    if (this.drawing) return;
    this.drawing = true;
    requestAnimationFrame(() => {
      this.drawing = false;
      this.draw();
    });
  }

  wheel(event) {
    if (!this.scaled() || event.ctrlKey || !event.deltaY) return;
    event.preventDefault();
    const unit = [1, ListView.kRowHeight, this.view.clientHeight][event.deltaMode] || 1;
    this.moveTo(this.top + event.deltaY * unit);
    this.draw();
  }

  key(event) {
    if (!this.scaled() || event.altKey || event.ctrlKey || event.metaKey) return;
    const page = this.view.clientHeight - ListView.kRowHeight;
    const moves = {ArrowDown: ListView.kRowHeight, ArrowUp: -ListView.kRowHeight,
                   PageDown: page, PageUp: -page, ' ': event.shiftKey ? -page : page,
                   Home: -Infinity, End: Infinity};
    if (!(event.key in moves)) return;
    event.preventDefault();
    this.moveTo(this.top + moves[event.key]);
    this.draw();
  }

  draw() {
    const height = ListView.kRowHeight;
    const first = Math.max(0, Math.floor(this.top / height) - ListView.kSpare);
    const last = Math.min(this.count,
                          Math.ceil((this.top + this.view.clientHeight) / height) + ListView.kSpare);
    const rows = document.createDocumentFragment();
    for (let i = first; i < last; ++i) {
      const line = this.row(i, ListView.kLongestRow);
      const item = document.createElement('li');
      if (line.why !== undefined) {
        item.className = 'failed';
        const mark = document.createElement('span');
        mark.className = 'why';
        mark.textContent = '× ' + line.why;
        item.append(mark);
      } else {
        item.textContent = line.text;
        if (line.more) {
          const cut = document.createElement('span');
          cut.className = 'cut';
          cut.textContent = this.cutNote(line.more);
          item.append(cut);
        }
      }
      rows.append(item);
    }
    this.out.start = first + 1;
    // Where the first row made stands in the space: under the view's top, as far as the rows
    // before it at full scale.
    this.out.style.top = this.view.scrollTop + (first * height - this.top) + 'px';
    this.out.replaceChildren(rows);
  }
}
