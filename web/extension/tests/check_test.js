// The check's transport and the popup's reading of its verdicts, under Node with a stand-in for
// the network: what is asked of a server and in which order, what is heard, how many servers
// are asked at once, and which downloads the exports still take. The real browser asks a real
// server in chromium_test.js.
//   node check_test.js EXTENSION_DIR
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const vm = require('node:vm');

const built = path.resolve(process.argv[2]);

// check.js and check_view.js as the extension runs them, with `fetch` the stand-in.
function scripts(fetch = null) {
  const scope = vm.createContext({URL, AbortController, setTimeout, clearTimeout, fetch});
  for (const file of ['check.js', 'check_view.js']) {
    vm.runInContext(fs.readFileSync(path.join(built, file), 'utf8'), scope);
  }
  return (name) => vm.runInContext(name, scope);
}

// A stand-in answer: `status`, `headers` (lower-case names), the `url` it came from.
const response = (status, headers = {}, url = 'http://a.example/x.zip', redirected = false) =>
  ({status, url, redirected, headers: {get: (name) => headers[name] ?? null}});

// Asks for `uri` with a network whose answers are `answers` in turn (a response, or an Error it
// throws); returns what was heard, each request as it was made, and whether the last was ended.
async function asked(answers, {uri = 'http://a.example/x.zip', refused = () => false} = {}) {
  const requests = [];
  let signal = null;
  const fetch = async (url, init) => {
    requests.push({url, method: init.method, range: init.headers.Range, credentials: init.credentials,
                   redirect: init.redirect});
    signal = init.signal;
    const next = answers.shift();
    if (next instanceof Error) throw next;
    return next;
  };
  const heard = await scripts(fetch)('askServer')(uri, refused);
  return {heard: JSON.parse(JSON.stringify(heard)), requests, ended: signal.aborted};
}

test('a server is asked with HEAD, and with a ranged GET only where it refuses HEAD', async () => {
  const file = {'content-type': 'application/zip', 'content-length': '3000'};
  const ranged = {'content-type': 'video/x-matroska', 'content-range': 'bytes 0-0/70000',
                  'content-length': '1'};
  const failure = new TypeError('Failed to fetch');
  const rows = [
    // [what, answers, methods asked, heard]
    ['HEAD answered', [response(200, file)], ['HEAD'],
     {status: 200, type: 'application/zip', contentLength: '3000', contentRange: ''}],
    ['HEAD not allowed', [response(405), response(206, ranged)], ['HEAD', 'GET'],
     {status: 206, type: 'video/x-matroska', contentLength: '1', contentRange: 'bytes 0-0/70000'}],
    ['HEAD not implemented', [response(501), response(206, ranged)], ['HEAD', 'GET'],
     {status: 206, type: 'video/x-matroska', contentLength: '1', contentRange: 'bytes 0-0/70000'}],
    ['HEAD without an answer', [failure, response(404)], ['HEAD', 'GET'],
     {status: 404, type: '', contentLength: '', contentRange: ''}],
    ['no answer to either', [failure, failure], ['HEAD', 'GET'], {failure: 'network'}],
    ['a 404 to HEAD is believed', [response(404)], ['HEAD'],
     {status: 404, type: '', contentLength: '', contentRange: ''}],
    ['a 403 to HEAD is not asked again', [response(403)], ['HEAD'],
     {status: 403, type: '', contentLength: '', contentRange: ''}],
  ];
  for (const [what, answers, methods, expected] of rows) {
    const {heard, requests, ended} = await asked(answers);
    assert.deepEqual(requests.map((r) => r.method), methods, what);
    for (const request of requests) {
      assert.equal(request.url, 'http://a.example/x.zip', what);
      assert.equal(request.credentials, 'omit', what);
      assert.equal(request.redirect, 'follow', what);
      assert.equal(request.range, request.method === 'GET' ? 'bytes=0-0' : undefined, what);
    }
    const {final, redirected, ...rest} = heard;
    assert.deepEqual(rest, expected, what);
    if (!expected.failure) assert.deepEqual([final, redirected], ['http://a.example/x.zip', false]);
    assert.equal(ended, true, `${what}: the body, if any, is dropped`);
  }
});

test('a HEAD that a redirect took to a refused place is not asked there again', async () => {
  const landed = 'http://127.0.0.1:9/x.zip';
  const refused = (url) => url === landed;
  const {heard, requests} = await asked([response(405, {}, landed, true)], {refused});
  assert.deepEqual(requests.map((r) => r.method), ['HEAD']);
  assert.deepEqual([heard.status, heard.final, heard.redirected], [405, landed, true]);
  // Elsewhere the same answer is asked again with GET.
  const elsewhere = await asked([response(405, {}, 'http://b.example/x.zip', true),
                                 response(200, {}, 'http://b.example/x.zip', true)], {refused});
  assert.deepEqual(elsewhere.requests.map((r) => r.method), ['HEAD', 'GET']);
});

test('an address that gives no answer within its time is given up on, its requests ended',
     async () => {
       const rows = [
         // [what, answers before the one that never comes]
         ['HEAD never answers', []],
         ['HEAD refused, GET never answers', [response(405)]],
       ];
       for (const [what, before] of rows) {
         const requests = [];
         const fetch = (url, init) => {
           requests.push(init.method);
           if (before.length) return Promise.resolve(before.shift());
           return new Promise((_, reject) => init.signal.addEventListener(
               'abort', () => reject(new DOMException('aborted', 'AbortError'))));
         };
         // The time is short only so that the test does not idle: the request waits for it.
         const heard = await scripts(fetch)('askServer')('http://a.example/x.zip', () => false, 1);
         assert.deepEqual(JSON.parse(JSON.stringify(heard)), {failure: 'timeout'}, what);
         assert.ok(requests.length >= 1, what);
       }
     });

// Runs a queue of `uris` whose work is held until the test lets it go; returns the most that
// ran at once, in all and for one host, and what each check gave.
async function queued(uris, most, perHost) {
  const held = [];
  let running = 0;
  let peak = 0;
  const perHostNow = new Map();
  let peakPerHost = 0;
  const started = [];
  const work = (uri) => new Promise((resolve) => {
    const host = new URL(uri).hostname;
    started.push(uri);
    running += 1;
    perHostNow.set(host, (perHostNow.get(host) || 0) + 1);
    peak = Math.max(peak, running);
    peakPerHost = Math.max(peakPerHost, perHostNow.get(host));
    held.push(() => {
      running -= 1;
      perHostNow.set(host, perHostNow.get(host) - 1);
      resolve(`verdict of ${uri}`);
    });
  });
  const queue = new (scripts()('CheckQueue'))(work, most, perHost);
  const results = Promise.all(uris.map((uri) => queue.check(uri)));
  // Lets the held work go one by one, oldest first, until every check has its result.
  let done = false;
  results.then(() => { done = true; });
  while (!done) {
    await new Promise((resolve) => setImmediate(resolve));
    const next = held.shift();
    if (next) next();
  }
  return {peak, peakPerHost, started, results: await results};
}

test('servers are asked a few at once, fewer of one host, each address once', async () => {
  const spread = Array.from({length: 30}, (_, i) => `http://h${Math.floor(i / 3)}.example/${i}.zip`);
  const oneHost = Array.from({length: 7}, (_, i) => `http://one.example/${i}.zip`);
  const twice = ['http://a.example/1.zip', 'http://a.example/1.zip', 'http://b.example/2.zip'];
  const rows = [
    // [what, uris, peak, peak for one host, addresses started]
    ['ten hosts', spread, 8, 2, 30],
    ['one host', oneHost, 2, 2, 7],
    ['an address twice', twice, 2, 1, 2],
  ];
  for (const [what, uris, peak, peakPerHost, count] of rows) {
    const outcome = await queued(uris, 8, 2);
    assert.equal(outcome.peak, peak, what);
    assert.equal(outcome.peakPerHost, peakPerHost, what);
    assert.equal(outcome.started.length, count, what);
    assert.deepEqual(outcome.results, uris.map((uri) => `verdict of ${uri}`), what);
  }
});

test('a check that fails frees its place for the next', async () => {
  const queue = new (scripts()('CheckQueue'))(async (uri) => {
    if (uri.endsWith('bad')) throw new Error('no core');
    return uri;
  }, 1, 1);
  const first = queue.check('http://a.example/bad');
  const second = queue.check('http://a.example/good');
  await assert.rejects(first, /no core/);
  assert.equal(await second, 'http://a.example/good');
});

test('each verdict has its mark before the core\'s words', () => {
  const verdictText = scripts()('verdictText');
  const verdicts = [
    [{state: 'alive', words: 'alive (2.9 KiB)'}, '✓ alive (2.9 KiB)'],
    [{state: 'dead', words: 'dead: gone (404)'}, '× dead: gone (404)'],
    [{state: 'refused', words: 'refused: here'}, '× refused: here'],
    [{state: 'unknown', words: 'unknown: peers'}, '? unknown: peers'],
    [{state: 'alive', words: 'alive', final: 'http://b.example/x'}, '✓ alive → http://b.example/x'],
  ];
  for (const [verdict, text] of verdicts) assert.equal(verdictText(verdict), text, verdict.state);
});

test('after a check the downloads left out are the dead and refused ones, counted apart', () => {
  const keptForDownload = scripts()('keptForDownload');
  const results = [
    {status: 'converted', uri: 'http://a.example/alive.zip'},
    {status: 'failed', error: 'bad Base64'},
    {status: 'converted', uri: 'http://a.example/dead.zip'},
    {status: 'passedThrough', uri: 'http://127.0.0.1/x'},
    {status: 'converted', uri: 'ed2k://|file|x.avi|1|0123|/'},
    {status: 'converted', uri: 'http://a.example/dead.zip'},
    {status: 'converted', uri: 'http://a.example/not-answered.zip'},
  ];
  const verdicts = new Map([
    ['http://a.example/alive.zip', {state: 'alive', download: true}],
    ['http://a.example/dead.zip', {state: 'dead', download: false}],
    ['http://127.0.0.1/x', {state: 'refused', download: false}],
    ['ed2k://|file|x.avi|1|0123|/', {state: 'unknown', download: true}],
  ]);
  const {kept, dead, refused} = keptForDownload(results, verdicts);
  assert.deepEqual([...kept], [0, 1, 4, 6]);
  assert.deepEqual([dead, refused], [2, 1]);
  assert.deepEqual([...keptForDownload(results, new Map()).kept], [0, 1, 2, 3, 4, 5, 6]);
});
