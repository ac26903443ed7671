// A real aria2 with its JSON-RPC on 127.0.0.1, for the "send to aria2" tests, and a port that
// nothing listens on, for "aria2 is not running".
'use strict';
const assert = require('node:assert/strict');
const {spawn} = require('node:child_process');
const fs = require('node:fs');
const net = require('node:net');
const os = require('node:os');
const path = require('node:path');
const {waitFor} = require('../../tests/support/patience');

// A port that was free a moment ago; nothing listens on it afterwards.
function freePort() {
  return new Promise((resolve, reject) => {
    const probe = net.createServer();
    probe.on('error', reject);
    probe.listen(0, '127.0.0.1', () => {
      const {port} = probe.address();
      probe.close(() => resolve(port));
    });
  });
}

async function call(rpc, method, params = []) {
  const response = await fetch(rpc, {method: 'POST', body: JSON.stringify({jsonrpc: '2.0', id: 1, method, params})});
  return response.json();
}

// Starts aria2c with `secret` (none when empty, as many setups run it), downloading into a
// fresh folder, through the HTTP proxy `proxy` when given; resolves once it answers.
async function startAria2(secret, {proxy = null} = {}) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'zentrova-aria2-'));
  const port = await freePort();
  const child = spawn('aria2c', ['--enable-rpc', `--rpc-listen-port=${port}`,
                                 ...(secret ? [`--rpc-secret=${secret}`] : []),
                                 ...(proxy ? [`--all-proxy=${proxy}`] : []),
                                 `--dir=${dir}`, '--rpc-listen-all=false', '--no-conf',
                                 '--auto-file-renaming=false', '--console-log-level=warn',
                                 '--quiet=true',
                                 // A magnet sent by mistake reaches only the trackers it
                                 // names (this machine's), never a peer found elsewhere.
                                 '--enable-dht=false', '--enable-dht6=false',
                                 '--bt-enable-lpd=false', '--enable-peer-exchange=false'],
                      {stdio: 'ignore'});
  const token = secret ? [`token:${secret}`] : [];
  let exited = null;
  child.on('exit', (code) => { exited = code; });
  const rpc = `http://127.0.0.1:${port}/jsonrpc`;
  await waitFor(async () => {
    if (exited !== null) throw new Error(`aria2c ended with status ${exited}`);
    const answer = await call(rpc, 'aria2.getVersion', token).catch(() => ({}));
    return answer.result;
  }, 'aria2c to answer');
  return {
    rpc, dir, port,
    // Every download aria2 holds, active, waiting or stopped, asked with its secret: its own
    // list, whatever became of each since. Each as {infoHash (a torrent's or magnet's), uris,
    // paths}.
    async downloads() {
      const keys = ['gid', 'infoHash', 'files'];
      const lists = await Promise.all([
        call(rpc, 'aria2.tellActive', [...token, keys]),
        call(rpc, 'aria2.tellWaiting', [...token, 0, 1000, keys]),
        call(rpc, 'aria2.tellStopped', [...token, 0, 1000, keys])]);
      for (const list of lists) {
        if (!Array.isArray(list.result)) throw new Error(`aria2 answered ${JSON.stringify(list)}`);
      }
      return lists.flatMap((list) => list.result).map(({infoHash, files = []}) => ({
        infoHash: infoHash || null,
        uris: files.flatMap((file) => (file.uris || []).map((u) => u.uri)),
        paths: files.map((file) => file.path),
      }));
    },
    // Resolves once aria2 has nothing active or waiting left.
    settled: () => waitFor(async () => {
      const stat = await call(rpc, 'aria2.getGlobalStat', token);
      return stat.result && stat.result.numActive === '0' && stat.result.numWaiting === '0';
    }, 'aria2 to finish its downloads'),
    async stop() {
      if (exited === null) {
        const gone = new Promise((resolve) => child.on('exit', resolve));
        child.kill();
        await gone;
      }
      fs.rmSync(dir, {recursive: true, force: true});
    },
  };
}

// Runs `work(aria2)` with aria2c started as startAria2 starts it; stops it after, whatever
// happened, and resolves to what `work` resolves to.
async function withAria2(secret, options, work) {
  const aria2 = await startAria2(secret, options);
  try {
    return await work(aria2);
  } finally {
    await aria2.stop();
  }
}

// The end of a page's attack on `aria2`: `send(outside)` has the browser's popup send the
// attack's links (whose files ask for a place under the folder `outside`) and resolves to
// {notes (the popup's), links (attackLinks')}. Checks that aria2 took none of the magnets and,
// once it is done, wrote nothing outside its folder; resolves to {notes, held (the downloads
// aria2 holds), written (its folder's files and their bytes)}.
async function attackOutcome(aria2, send) {
  const outside = fs.mkdtempSync(path.join(os.tmpdir(), 'zentrova-outside-'));
  try {
    const {notes, links} = await send(outside);
    // Asked before waiting for aria2 to finish: a magnet it took would never finish.
    const held = await aria2.downloads();
    assert.ok(held.every(({infoHash}) => !links.magnetHashes.includes(infoHash)),
              JSON.stringify(held));
    await aria2.settled();
    assert.deepEqual(fs.readdirSync(outside), [], 'nothing written outside aria2\'s folder');
    const written = Object.fromEntries(fs.readdirSync(aria2.dir).map(
        (name) => [name, fs.readFileSync(path.join(aria2.dir, name))]));
    return {notes, held, written};
  } finally {
    fs.rmSync(outside, {recursive: true, force: true});
  }
}

module.exports = {startAria2, withAria2, attackOutcome, freePort};
