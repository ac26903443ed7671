// The lists that both the binding's and the pages' tests export, with what zentrova-cli writes
// for each (committed in export/, made by export/make.py), and the native client where one is
// at hand, to check those expectations against.
'use strict';
const fs = require('node:fs');
const path = require('node:path');
const {spawnSync} = require('node:child_process');

const folder = path.join(__dirname, 'export');

// [{list, mode, charset, form, expected, leftOut}]: the list's bytes, the options, the form,
// the bytes `zentrova-cli batch MODE --charset CHARSET --to FORM LIST` writes, and the lines it
// says it left out.
module.exports.exportCases = JSON.parse(fs.readFileSync(path.join(folder, 'cases.json'), 'utf8'))
  .map((entry) => ({
    ...entry,
    name: `${entry.list} ${entry.mode} --charset ${entry.charset} --to ${entry.form}`,
    listFile: path.join(folder, entry.list),
    bytes: fs.readFileSync(path.join(folder, entry.list)),
    expected: fs.readFileSync(path.join(folder, entry.expected)),
  }));

// Returns the native zentrova-cli (ZENTROVA_CLI, else the default build's), or null when there
// is none.
module.exports.nativeCli = () => {
  const cli = process.env.ZENTROVA_CLI ||
              path.join(__dirname, '..', '..', 'build', 'default', 'cli', 'zentrova-cli');
  return fs.existsSync(cli) ? cli : null;
};

// Returns what `cli batch MODE --charset CHARSET --to FORM FILE` writes: {stdout, stderr,
// status}.
module.exports.runCli = (cli, {mode, charset, form}, file) => {
  const done = spawnSync(cli, ['batch', mode, '--charset', charset, '--to', form, file],
                         {env: {...process.env, LANG: 'C', LC_ALL: 'C'}});
  return {stdout: done.stdout, stderr: done.stderr.toString(), status: done.status};
};
