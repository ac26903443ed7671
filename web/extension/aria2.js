// Hands downloads to aria2 (or Motrix, which runs aria2) over its JSON-RPC: one aria2.addUri a
// download, all in one batch. Returns what happened as a message name and its values for the
// interface to say, never throws.
'use strict';

// Sends each of `downloads` ({uri, name}) to the aria2 at `rpc` with `secret` (may be empty).
async function sendToAria2(rpc, secret, downloads) {
  const calls = downloads.map(({uri, name}, id) => ({
    jsonrpc: '2.0',
    id,
    method: 'aria2.addUri',
    params: [...(secret ? [`token:${secret}`] : []), [uri], name ? {out: name} : {}],
  }));
  let response;
  try {
    response = await fetch(rpc, {
      method: 'POST',
      headers: {'Content-Type': 'application/json'},
      body: JSON.stringify(calls),
      credentials: 'omit',
      cache: 'no-store',
    });
  } catch (error) {
    return {message: 'aria2Unreachable', values: [rpc]};
  }
  let answers;
  try {
    answers = await response.json();
  } catch (error) {
    answers = null;
  }
  // aria2 answers a batch with one answer a call, a refused secret included (HTTP 400).
  if (!Array.isArray(answers) || answers.length !== calls.length ||
      !answers.every((answer) => answer && typeof answer === 'object' &&
                                 ('result' in answer || 'error' in answer))) {
    return {message: 'aria2NotAria2', values: [rpc, String(response.status)]};
  }
  const refused = answers.filter((answer) => answer.error);
  if (refused.some((answer) => /unauthori[sz]ed/i.test(String(answer.error.message)))) {
    return {message: 'aria2WrongSecret', values: []};
  }
  if (refused.length) {
    const why = [...new Set(refused.map((answer) => String(answer.error.message)))].join('; ');
    return {message: 'aria2Refused', values: [String(refused.length), why]};
  }
  return {message: 'aria2Sent', values: [String(calls.length)]};
}
