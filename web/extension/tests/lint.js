// The built extension as the stores check it: `web-ext lint` (Mozilla's linter, pinned in the
// lockfile) reports no error, the zip holds the same files with the manifest at its root, and
// the manifest asks for nothing beyond what the extension uses.
//   node lint.js EXTENSION_DIR EXTENSION_ZIP
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const {execFileSync} = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');

const [built, zip] = process.argv.slice(2).map((p) => path.resolve(p));
const webExt = path.join(__dirname, '..', '..', 'node_modules', 'web-ext', 'bin', 'web-ext.js');

function filesUnder(dir, prefix = '') {
  return fs.readdirSync(dir, {withFileTypes: true}).flatMap((entry) =>
      entry.isDirectory() ? filesUnder(path.join(dir, entry.name), `${prefix}${entry.name}/`) :
                            [`${prefix}${entry.name}`]);
}

test('web-ext lint finds no error in the built extension', () => {
  let output;
  try {
    output = execFileSync(process.execPath, [webExt, 'lint', '--source-dir', built, '--output', 'json',
                                             '--no-config-discovery'],
                          {encoding: 'utf8', env: {...process.env, WEB_EXT_NO_UPDATE_CHECK: '1'}});
  } catch (error) {
    output = error.stdout;  // errors make the linter exit non-zero; its report says which
  }
  const report = JSON.parse(output);
  assert.deepEqual(report.errors.map((e) => `${e.code}: ${e.message} (${e.file})`), []);
  for (const warning of report.warnings) console.log(`# warning ${warning.code}: ${warning.message}`);
});

test('the zip holds the unpacked extension, manifest at its root', () => {
  const listed = execFileSync('unzip', ['-Z1', zip], {encoding: 'utf8'}).trim().split('\n');
  assert.deepEqual(listed.filter((name) => !name.endsWith('/')).sort(), filesUnder(built).sort());
  assert.ok(listed.includes('manifest.json'));
  const zipped = JSON.parse(execFileSync('unzip', ['-p', zip, 'manifest.json'], {encoding: 'utf8'}));
  assert.deepEqual(zipped, JSON.parse(fs.readFileSync(path.join(built, 'manifest.json'), 'utf8')));
});

test('the manifest asks for the least: no host at install, no page may connect, no remote code', () => {
  const manifest = JSON.parse(fs.readFileSync(path.join(built, 'manifest.json'), 'utf8'));
  assert.equal(manifest.manifest_version, 3);
  assert.equal(manifest.host_permissions, undefined, 'aria2\'s address is asked for when saved');
  assert.equal(manifest.externally_connectable, undefined);
  assert.equal(manifest.web_accessible_resources, undefined);
  assert.deepEqual(manifest.permissions.sort(),
                   ['clipboardWrite', 'contextMenus', 'offscreen', 'storage', 'webNavigation']);
  assert.deepEqual(manifest.background.scripts, ['zentrova_core.js', 'common.js', 'aria2.js', 'servers.js', 'check.js', 'background.js']);
  assert.equal(manifest.background.service_worker, 'service_worker.js');
  assert.match(manifest.content_security_policy.extension_pages, /script-src 'self' 'wasm-unsafe-eval';/);
  assert.ok(manifest.browser_specific_settings.gecko.id);
  // Every script the extension runs is one of its own files.
  for (const page of filesUnder(built).filter((name) => name.endsWith('.html'))) {
    const html = fs.readFileSync(path.join(built, page), 'utf8');
    for (const [, source] of html.matchAll(/<script[^>]*src="([^"]+)"/g)) {
      assert.ok(fs.existsSync(path.join(built, path.dirname(page), source)), `${page}: ${source}`);
    }
    assert.doesNotMatch(html, /<script(?![^>]*src=)[^>]*>/, `${page} has no inline script`);
  }
});
