// Whole lists, line by line, through the same conversions as `zentrova-cli batch`: a list typed
// or pasted is converted as its text, a list file (UTF-8 or GBK) as its bytes.
'use strict';

(() => {
  const $ = (id) => document.getElementById(id);

  // The summary of a run, in the page's language.
  const summary = (result) =>
    `共 ${result.lines} 行：转换 ${result.converted} 行，原样保留 ${result.passedThrough} 行，` +
    `失败 ${result.failed} 行`;

  // The result lines are many (100,000 are nothing unusual) and a browser lays out that many
  // elements slowly, so only the rows in view, and a few around them, are made; the rest of
  // the list's height is empty space that scrolls like the rows.
  const kRowHeight = 18;  // pixels; page.css gives every row this height
  const kSpare = 20;      // rows made beyond each edge of the view
  let shown = {lines: [], reasons: new Map(), count: 0};

  function drawRows() {
    const view = $('ListView');
    const first = Math.max(0, Math.floor(view.scrollTop / kRowHeight) - kSpare);
    const last = Math.min(shown.count, Math.ceil((view.scrollTop + view.clientHeight) / kRowHeight) + kSpare);
    const rows = document.createDocumentFragment();
    for (let i = first; i < last; ++i) {
      const row = document.createElement('li');
      const why = shown.reasons.get(i + 1);
      if (why === undefined) {
        row.textContent = shown.lines[i];
      } else {
        row.className = 'failed';
        const mark = document.createElement('span');
        mark.className = 'why';
        mark.textContent = '× ' + why;
        row.append(mark);
      }
      rows.append(row);
    }
    const out = $('ListOut');
    out.start = first + 1;
    out.style.top = first * kRowHeight + 'px';
    out.replaceChildren(rows);
  }

  function show(result) {
    shown = {lines: result.text.split('\n'), count: result.lines,
             reasons: new Map(result.failures.map((failure) => [failure.line, failure.why]))};
    $('ListSpace').style.height = shown.count * kRowHeight + 'px';
    $('ListView').scrollTop = 0;
    drawRows();
    $('ListSummary').textContent = summary(result);
    $('ListCopy').disabled = $('ListSave').disabled = false;
    return result.text;
  }

  async function start() {
    const core = await ZentrovaCore();
    let fileBytes = null;  // the dropped or opened file's bytes, until the box is edited
    let output = '';
    const run = () => {
      const mode = $('ListMode').value;
      const charset = $('ListCharset').value;
      output = show(fileBytes ? core.convertListBytes(fileBytes, mode, charset)
                              : core.convertListText($('ListIn').value, mode, charset));
    };
    const take = async (file) => {
      // The file's bytes are converted as they stand (GBK too), not as a box's text.
      fileBytes = new Uint8Array(await file.arrayBuffer());
      $('ListFileName').textContent = `文件：${file.name}（${fileBytes.length} 字节）`;
      run();
    };
    $('ListRun').addEventListener('click', run);
    let drawing = false;
    $('ListView').addEventListener('scroll', () => {
      if (drawing) return;
      drawing = true;
      requestAnimationFrame(() => {
        drawing = false;
        drawRows();
      });
    });
    $('ListIn').addEventListener('input', () => {
      fileBytes = null;
      $('ListFileName').textContent = '';
    });
    $('ListFile').addEventListener('change', (event) => {
      if (event.target.files.length) take(event.target.files[0]);
    });
    $('ListIn').addEventListener('dragover', (event) => event.preventDefault());
    $('ListIn').addEventListener('drop', (event) => {
      if (!event.dataTransfer.files.length) return;
      event.preventDefault();
      take(event.dataTransfer.files[0]);
    });
    $('ListCopy').addEventListener('click', () => navigator.clipboard.writeText(output));
    $('ListSave').addEventListener('click', () => {
      const link = document.createElement('a');
      link.href = URL.createObjectURL(new Blob([output + '\n'], {type: 'text/plain'}));
      link.download = 'zentrova-list.txt';
      link.click();
      setTimeout(() => URL.revokeObjectURL(link.href), 0);
    });
    document.documentElement.dataset.ready = 'true';
  }

  start();
})();
