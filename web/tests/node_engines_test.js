// The engines check reads npm's version ranges as npm does (a misread range either passes a
// Node that cannot run a tool, as under Debian 12's Node 18, or refuses one that can), and
// names every package that the running Node cannot run.
//   node node_engines_test.js
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const {execFileSync} = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');

const checker = path.join(__dirname, '..', 'tools', 'node_engines.js');
const {satisfies, refusals} = require(checker);

test('ranges are read as npm reads them', () => {
  const table = [
    // range, admitted, refused
    ['>=18.0.0', ['18.0.0', '18.19.1', '24.22.3'], ['17.9.9', '0.10.0']],
    ['>= 0.10.4', ['0.10.4', '18.19.0'], ['0.10.3']],
    ['>=20.18.1', ['20.18.1', '22.0.0'], ['18.20.4', '20.18.0']],
    ['^18.18.0 || ^20.9.0 || >=21.1.0', ['18.18.0', '18.20.4', '20.9.0', '21.1.0', '24.0.0'],
     ['18.17.9', '19.0.0', '20.8.0', '21.0.0']],
    ['^20.19.0 || ^22.13.0 || >=24', ['20.19.0', '22.13.0', '24.0.0'],
     ['18.20.4', '21.9.0', '22.12.0']],
    ['^12.22.0 || ^14.17.0 || >=16.0.0', ['12.22.0', '16.0.0', '18.19.0'], ['13.0.0', '15.9.9']],
    ['^0.2.3', ['0.2.3', '0.2.9'], ['0.3.0', '1.0.0']],
    ['^0.0.3', ['0.0.3'], ['0.0.4', '0.1.0']],
    ['^1.2', ['1.2.0', '1.9.9'], ['1.1.9', '2.0.0']],
    ['~1.2.3', ['1.2.3', '1.2.9'], ['1.3.0']],
    ['~1', ['1.0.0', '1.9.0'], ['2.0.0', '0.9.0']],
    ['>1.2', ['1.3.0'], ['1.2.9']],
    ['<=1.2', ['1.2.9'], ['1.3.0']],
    ['<18', ['17.9.9'], ['18.0.0']],
    ['1.2 - 2.3', ['1.2.0', '2.3.9'], ['1.1.9', '2.4.0']],
    ['>=14.x', ['14.0.0', '18.0.0'], ['13.9.9']],
    ['18', ['18.0.0', '18.99.0'], ['17.9.9', '19.0.0']],
    ['*', ['0.0.0', '24.0.0'], []],
    ['>= 16 < 20', ['16.0.0', '19.9.9'], ['15.9.9', '20.0.0']],
  ];
  for (const [range, admitted, refused] of table) {
    for (const version of admitted) assert.ok(satisfies(version, range), `${version} in ${range}`);
    for (const version of refused) {
      assert.ok(!satisfies(version, range), `${version} not in ${range}`);
    }
  }
});

test('every range the web lockfile holds is read as the semver package reads it', () => {
  const semver = require(path.join(__dirname, '..', 'node_modules', 'semver'));
  const lock = require(path.join(__dirname, '..', 'package-lock.json'));
  const ranges = new Set(Object.values(lock.packages).map((p) => p.engines?.node).filter(Boolean));
  assert.ok(ranges.size > 10);
  for (const range of ranges) {
    for (let major = 0; major <= 26; ++major) {
      for (const rest of ['0.0', '9.0', '18.1', '20.4']) {
        const version = `${major}.${rest}`;
        assert.equal(satisfies(version, range), semver.satisfies(version, range),
                     `${version} in ${range}`);
      }
    }
  }
});

test('the packages a Node cannot run are named, and only those npm installs here', () => {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'engines-'));
  const lockfile = path.join(dir, 'package-lock.json');
  fs.writeFileSync(lockfile, JSON.stringify({
    lockfileVersion: 3,
    packages: {
      '': {name: 'x'},
      'node_modules/undici': {version: '7.30.3', engines: {node: '>=20.18.1'}},
      'node_modules/a/node_modules/espree':
          {version: '11.0.0', engines: {node: '^20.19.0 || >=24'}},
      'node_modules/semver': {version: '7.7.3', engines: {node: '>=10'}},
      'node_modules/fsevents':
          {version: '2.3.3', os: ['darwin'], optional: true, engines: {node: '>=99'}},
      'node_modules/not-arm': {version: '1.0.0', cpu: ['!arm64'], engines: {node: '>=99'}},
      'node_modules/no-engines': {version: '1.0.0'},
    },
  }));
  try {
    assert.deepEqual(refusals(lockfile, 'v18.20.4', 'linux', 'x64'), [
      {name: 'undici', version: '7.30.3', needs: '>=20.18.1'},
      {name: 'espree', version: '11.0.0', needs: '^20.19.0 || >=24'},
      {name: 'not-arm', version: '1.0.0', needs: '>=99'},
    ]);
    assert.deepEqual(refusals(lockfile, 'v24.22.3', 'linux', 'arm64'), []);
    assert.deepEqual(refusals(lockfile, 'v24.22.3', 'darwin', 'arm64'),
                     [{name: 'fsevents', version: '2.3.3', needs: '>=99'}]);

    // The command says it and fails.
    let failure;
    try {
      execFileSync(process.execPath, [checker, lockfile], {encoding: 'utf8', stdio: 'pipe'});
    } catch (error) {
      failure = error;
    }
    assert.ok(failure, 'the check passed a Node that cannot run not-arm');
    assert.equal(failure.status, 1);
    assert.match(failure.stderr, new RegExp(`Node.js ${process.version} cannot run what it pins`));
    assert.match(failure.stderr, /not-arm@1\.0\.0 needs Node\.js >=99/);
  } finally {
    fs.rmSync(dir, {recursive: true, force: true});
  }
});
