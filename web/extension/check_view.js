// What the popup makes of the check's verdicts, which the core gives ({state, words, download,
// …}): each line's mark and words, and which of the page's links still go to a
// downloader, with how many were left out and why. Only shows and counts; the verdicts are the
// core's.
'use strict';

const verdictMarks = {alive: '✓', dead: '×', refused: '×', unknown: '?'};

// The words of a line's verdict: its mark, then the core's words (the size where it is known,
// why where it is not alive), and where the address led when that was elsewhere.
const verdictText = (verdict) => `${verdictMarks[verdict.state] || '?'} ${verdict.words}` +
                                 (verdict.final ? ` → ${verdict.final}` : '');

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
