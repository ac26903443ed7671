// The background's question to aria2 before it sends anything, under Node with a stand-in for
// the network: only "Unauthorized" to a token aria2 cannot hold lets a batch go; an answer
// means aria2 has no secret, and anything else is no aria2's. The real aria2c answers the same
// questions in chromium_test.js.
//   node aria2_probe_test.js EXTENSION_DIR
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const vm = require('node:vm');

// aria2.js as the background runs it, its fetch the stand-in `answer(request)`, which returns
// {status, body} or throws as an unreachable address does. Every request is kept.
function aria2With(answer) {
  const requests = [];
  const fetch = async (url, init) => {
    const request = {url, ...init, body: JSON.parse(init.body)};
    requests.push(request);
    const {status, body} = await answer(request);
    return {status, json: async () => JSON.parse(body)};
  };
  const scope = vm.createContext({fetch, crypto: globalThis.crypto});
  vm.runInContext(fs.readFileSync(path.join(path.resolve(process.argv[2]), 'aria2.js'), 'utf8'),
                  scope);
  // Its answers made this realm's, to be compared.
  const here = (name) => async (...args) =>
    JSON.parse(JSON.stringify(await vm.runInContext(name, scope)(...args)));
  return {requests, unguarded: here('unguarded'), sendToAria2: here('sendToAria2')};
}

const rpc = 'http://192.0.2.7:6800/jsonrpc';
const json = (status, value) => ({status, body: JSON.stringify(value)});

test('only an aria2 that refuses a wrong token is sent to', async () => {
  const rows = [
    // [what aria2 answers, what the background makes of it]
    ['a result: no secret', json(200, {id: 'probe', jsonrpc: '2.0', result: {version: '1.37.0'}}),
     {message: 'aria2NoSecret', values: [rpc]}],
    ['a result of nothing, still a result', json(200, {id: 'probe', result: null}),
     {message: 'aria2NoSecret', values: [rpc]}],
    ['Unauthorized: a secret in force',
     json(400, {id: 'probe', jsonrpc: '2.0', error: {code: 1, message: 'Unauthorized'}}), null],
    ['another error: not aria2', json(400, {id: 'probe', error: {code: -32601, message: 'Method not found'}}),
     {message: 'aria2NotAria2', values: [rpc, '400']}],
    ['an error that only mentions it', json(200, {error: {message: 'Unauthorized here and there'}}),
     {message: 'aria2NotAria2', values: [rpc, '200']}],
    ['a batch\'s answer', json(200, [{id: 'probe', result: {}}]),
     {message: 'aria2NotAria2', values: [rpc, '200']}],
    ['no JSON at all', {status: 404, body: '<h1>Not found</h1>'},
     {message: 'aria2NotAria2', values: [rpc, '404']}],
    ['JSON of nothing', json(200, null), {message: 'aria2NotAria2', values: [rpc, '200']}],
  ];
  for (const [what, answered, expected] of rows) {
    const aria2 = aria2With(() => answered);
    assert.deepEqual(await aria2.unguarded(rpc, 'the-secret'), expected, what);
    assert.equal(aria2.requests.length, 1, what);
  }
  const nobody = aria2With(() => {
    throw new TypeError('Failed to fetch');
  });
  assert.deepEqual(await nobody.unguarded(rpc, ''), {message: 'aria2Unreachable', values: [rpc]});
});

test('the question holds a token that is never the secret, and no order', async () => {
  const tokens = new Set();
  for (const secret of ['', 'the-secret', 'zentrova-probe-']) {
    const aria2 = aria2With(() => json(200, {result: {}}));
    await aria2.unguarded(rpc, secret);
    const [{url, method, credentials, body}] = aria2.requests;
    assert.deepEqual([url, method, credentials, body.method, body.params.length],
                     [rpc, 'POST', 'omit', 'aria2.getVersion', 1]);
    const [token] = body.params;
    assert.match(token, /^token:zentrova-probe-[0-9a-f]{32}$/);
    assert.notEqual(token, `token:${secret}`);
    tokens.add(token);
  }
  assert.equal(tokens.size, 3, 'a new token each time');
});

test('the batch holds one addUri a download, the secret first and the name as its file', async () => {
  const rows = [
    // [what, secret, downloads, the params of each call]
    ['no secret, no name', '', [{uri: 'http://h/a.zip'}], [[['http://h/a.zip'], {}]]],
    ['a secret and a name', 's3cret', [{uri: 'http://h/a', name: '影片 一.mp4'}],
     [['token:s3cret', ['http://h/a'], {out: '影片 一.mp4'}]]],
    ['an empty name is none', 's', [{uri: 'ftp://h/b', name: ''}], [['token:s', ['ftp://h/b'], {}]]],
    ['several, in order', 's', [{uri: 'http://h/1', name: '1'}, {uri: 'magnet:?xt=urn:btih:0'}],
     [['token:s', ['http://h/1'], {out: '1'}], ['token:s', ['magnet:?xt=urn:btih:0'], {}]]],
  ];
  for (const [what, secret, downloads, params] of rows) {
    const aria2 = aria2With(({body}) => json(200, body.map(({id}) => ({id, result: 'gid'}))));
    await aria2.sendToAria2(rpc, secret, downloads);
    assert.equal(aria2.requests.length, 1, what);
    const [{url, method, credentials, body}] = aria2.requests;
    assert.deepEqual([url, method, credentials], [rpc, 'POST', 'omit'], what);
    assert.deepEqual(body, params.map((p, id) => ({jsonrpc: '2.0', id, method: 'aria2.addUri',
                                                  params: p})), what);
  }
});

test('the batch\'s answers say what aria2 took, refused or is not', async () => {
  const two = [{uri: 'http://h/1'}, {uri: 'http://h/2'}];
  const error = (message) => ({error: {code: 1, message}});
  const rows = [
    // [what aria2 answers the two calls, what the background makes of it]
    ['both taken', json(200, [{id: 0, result: 'a'}, {id: 1, result: 'b'}]),
     {message: 'aria2Sent', values: ['2']}],
    ['a wrong secret', json(400, [error('Unauthorized'), error('Unauthorized')]),
     {message: 'aria2WrongSecret', values: []}],
    ['a secret refused for one call only is still a wrong one', json(200, [{result: 'a'}, error('unauthorised')]),
     {message: 'aria2WrongSecret', values: []}],
    ['refused for reasons, each said once', json(200, [error('No URI'), error('No URI')]),
     {message: 'aria2Refused', values: ['2', 'No URI']}],
    ['one taken, one refused', json(200, [{result: 'a'}, error('Bad URI')]),
     {message: 'aria2Refused', values: ['1', 'Bad URI']}],
    ['an answer short of a call', json(200, [{result: 'a'}]),
     {message: 'aria2NotAria2', values: [rpc, '200']}],
    ['an answer that is neither result nor error', json(200, [{result: 'a'}, {id: 1}]),
     {message: 'aria2NotAria2', values: [rpc, '200']}],
    ['one answer for the batch', json(200, {result: 'a'}), {message: 'aria2NotAria2', values: [rpc, '200']}],
    ['no JSON', {status: 502, body: 'Bad Gateway'}, {message: 'aria2NotAria2', values: [rpc, '502']}],
  ];
  for (const [what, answered, expected] of rows) {
    const aria2 = aria2With(() => answered);
    assert.deepEqual(await aria2.sendToAria2(rpc, 's', two), expected, what);
  }
  const nobody = aria2With(() => {
    throw new TypeError('Failed to fetch');
  });
  assert.deepEqual(await nobody.sendToAria2(rpc, 's', two), {message: 'aria2Unreachable', values: [rpc]});
});
