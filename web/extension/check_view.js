// What the popup makes of the check's verdicts, which the core gives ({state, size, reason,
// download, …}): each line's mark and words, and which of the page's links still go to a
// downloader, with how many were left out and why. Only shows and counts; the verdicts are the
// core's.
'use strict';

const verdictMarks = {alive: '✓', dead: '×', refused: '×', unknown: '?'};

// A size in bytes as people read it: bytes below 1 KiB, then KiB, MiB, GiB or TiB, with one
// decimal (cut, never rounded up) below 100.
function sizeText(bytes) {
  const units = ['KiB', 'MiB', 'GiB', 'TiB'];
  if (bytes < 1024) return `${bytes} B`;
  let value = bytes;
  let unit = -1;
  while (value >= 1024 && unit < units.length - 1) {
    value /= 1024;
    unit += 1;
  }
  const shown = value < 100 ? Math.floor(value * 10) / 10 : Math.floor(value);
  return `${shown} ${units[unit]}`;
}

// The words of a line's verdict: its mark, then the size where it is known, then why.
function verdictText(verdict) {
  const parts = [verdictMarks[verdict.state] || '?'];
  if (typeof verdict.size === 'number') parts.push(sizeText(verdict.size));
  if (verdict.reason) parts.push(verdict.reason);
  return parts.join(' ');
}

// Which of the page's links (their `results`, their verdicts by downloader URI in `verdicts`) a
// downloader is still given: a link not checked, or failed, stays, so that the hand-off names
// it. Returns their places in the list, and how many were left out as dead and as refused.
function keptForDownload(results, verdicts) {
  const kept = [];
  let dead = 0;
  let refused = 0;
  results.forEach((result, i) => {
    const verdict = result.uri === undefined ? undefined : verdicts.get(result.uri);
    if (!verdict || verdict.download) {
      kept.push(i);
    } else if (verdict.state === 'refused') {
      ++refused;
    } else {
      ++dead;
    }
  });
  return {kept, dead, refused};
}
