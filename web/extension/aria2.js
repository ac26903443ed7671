// Hands downloads to aria2 (or Motrix, which runs aria2) over its JSON-RPC: first asks whether
// aria2 enforces a secret, then one aria2.addUri a download, all in one batch. Returns what
// happened as a message name and its values for the interface to say, never throws.
'use strict';

const post = (rpc, body) => fetch(rpc, {
  method: 'POST',
  headers: {'Content-Type': 'application/json'},
  body: JSON.stringify(body),
  credentials: 'omit',
  cache: 'no-store',
});

// Posts `body` to `rpc`: the response and its JSON (null when it holds none), or null when
// nothing answered.
async function ask(rpc, body) {
  let response;
  try {
    response = await post(rpc, body);
  } catch (error) {
    return null;
  }
  let answer;
  try {
    answer = await response.json();
  } catch (error) {
    answer = null;
  }
  return {response, answer};
}

// A token that is surely not `secret`: random, and told apart from it.
function wrongToken(secret) {
  for (;;) {
    const bytes = crypto.getRandomValues(new Uint8Array(16));
    const token = `zentrova-probe-${[...bytes].map((b) => b.toString(16).padStart(2, '0')).join('')}`;
    if (token !== secret) return token;
  }
}

// Null when the aria2 at `rpc` enforces a secret, else why nothing may be sent to it. It is
// asked for its version with a token it cannot hold: an aria2 with no secret answers any token
// (and so would take any page's orders through a link that reaches it); only "Unauthorized"
// shows a secret in force. Any other answer is no aria2's.
async function unguarded(rpc, secret) {
  const asked = await ask(rpc, {jsonrpc: '2.0', id: 'probe', method: 'aria2.getVersion',
                                params: [`token:${wrongToken(secret)}`]});
  if (!asked) return {message: 'aria2Unreachable', values: [rpc]};
  const {response, answer} = asked;
  if (answer && typeof answer === 'object' && !Array.isArray(answer)) {
    if ('result' in answer) return {message: 'aria2NoSecret', values: [rpc]};
    if (answer.error && /^unauthori[sz]ed$/i.test(String(answer.error.message))) return null;
  }
  return {message: 'aria2NotAria2', values: [rpc, String(response.status)]};
}

// The batch that sends each of `downloads` ({uri, name}) with `secret` (may be empty): one
// aria2.addUri a download, numbered as the downloads are, so that its answer is found by it.
const addUriCalls = (secret, downloads) => downloads.map(({uri, name}, id) => ({
  jsonrpc: '2.0',
  id,
  method: 'aria2.addUri',
  params: [...(secret ? [`token:${secret}`] : []), [uri], name ? {out: name} : {}],
}));

// What aria2 at `rpc` made of `calls`, from its HTTP `status` and `answers` (the JSON it sent).
function batchOutcome(rpc, calls, status, answers) {
  // aria2 answers a batch with one answer a call, a refused secret included (HTTP 400).
  if (!Array.isArray(answers) || answers.length !== calls.length ||
      !answers.every((answer) => answer && typeof answer === 'object' &&
                                 ('result' in answer || 'error' in answer))) {
    return {message: 'aria2NotAria2', values: [rpc, String(status)]};
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

// Sends each of `downloads` ({uri, name}) to the aria2 at `rpc` with `secret` (may be empty).
async function sendToAria2(rpc, secret, downloads) {
  const calls = addUriCalls(secret, downloads);
  const asked = await ask(rpc, calls);
  if (!asked) return {message: 'aria2Unreachable', values: [rpc]};
  return batchOutcome(rpc, calls, asked.response.status, asked.answer);
}
