// Does this Node.js run every package a lockfile pins? npm only warns when a package's
// `engines.node` leaves the running Node out, and such a package then fails far from the cause
// (undici 7 under Node 18 dies with "File is not defined" inside web-ext). This says it at once,
// by name. It runs before `npm ci` too, to choose a Node, so it carries its own reading of npm's
// version ranges instead of the `semver` package.
//   node node_engines.js LOCKFILE...   exit 0 when every pinned package admits this Node
'use strict';
const fs = require('node:fs');

const parse = (text) => {
  const match = /^v?(\d+|[xX*])(?:\.(\d+|[xX*]))?(?:\.(\d+|[xX*]))?(?:[-+].*)?$/.exec(text);
  if (!match) throw new Error(`not a version: "${text}"`);
  const parts =
      match.slice(1, 4).map((p) => (p === undefined || /[xX*]/.test(p) ? null : Number(p)));
  const known = parts.indexOf(null);  // a partial version stands for every version it begins
  return {parts: parts.map((p) => p ?? 0), known: known === -1 ? 3 : known};
};

const compare = (a, b) => a[0] - b[0] || a[1] - b[1] || a[2] - b[2];

// The first version past everything a partial version covers: 1.2 → 1.3.0, 1 → 2.0.0.
const pastPartial = ({parts, known}) =>
    known === 0 ? null : known === 1 ? [parts[0] + 1, 0, 0] : [parts[0], parts[1] + 1, 0];

// One comparator as bounds: {low, lowOpen, high, highOpen}; null means unbounded.
function bounds(operator, version) {
  const v = parse(version);
  const {parts, known} = v;
  const whole = known === 3;
  switch (operator) {
    case '>=': return {low: parts};
    case '>':
      if (whole) return {low: parts, lowOpen: true};
      return known === 0 ? {high: [0, 0, 0], highOpen: true} : {low: pastPartial(v)};
    case '<': return {high: parts, highOpen: true};
    case '<=':
      if (whole) return {high: parts};
      return known === 0 ? {} : {high: pastPartial(v), highOpen: true};
    case '~':
    case '~>': {
      const high = known >= 2 ? [parts[0], parts[1] + 1, 0] : pastPartial(v);
      return {low: parts, high, highOpen: true};
    }
    case '^': {
      // The first non-zero part given stays; a lone zero major keeps its minor too.
      let high;
      if (parts[0] > 0 || known <= 1) high = known === 0 ? null : [parts[0] + 1, 0, 0];
      else if (parts[1] > 0 || known === 2) high = [0, parts[1] + 1, 0];
      else high = [0, 0, parts[2] + 1];
      return {low: parts, high, highOpen: true};
    }
    default:  // '=' or none: the version itself, or all a partial one covers
      return whole ? {low: parts, high: parts} : {low: parts, high: pastPartial(v), highOpen: true};
  }
}

const within = (version, b) =>
    (!b.low || (b.lowOpen ? compare(version, b.low) > 0 : compare(version, b.low) >= 0)) &&
    (!b.high || (b.highOpen ? compare(version, b.high) < 0 : compare(version, b.high) <= 0));

// npm's range grammar: alternatives joined by ||, each a hyphen range or comparators joined by
// blanks (an operator may stand apart from its version: ">= 0.10.4").
function satisfies(version, range) {
  const v = parse(version).parts;
  return range.split('||').some((alternative) => {
    const text = alternative.trim();
    const hyphen = /^(\S+)\s+-\s+(\S+)$/.exec(text);
    if (hyphen) return within(v, bounds('>=', hyphen[1])) && within(v, bounds('<=', hyphen[2]));
    const comparators = text.replace(/(>=|<=|~>|[<>=~^])\s+/g, '$1').split(/\s+/).filter(Boolean);
    return comparators.every((comparator) => {
      const [, operator, rest] = /^(>=|<=|~>|[<>=~^])?(.*)$/.exec(comparator);
      return /^[*xX]?$/.test(rest) ? true : within(v, bounds(operator ?? '=', rest));
    });
  });
}

// npm leaves out a package made for another system (`"os": ["darwin"]`, `"cpu": ["!arm"]`).
const admits = (list, value) =>
    !Array.isArray(list) || list.length === 0 ||
    (list.some((entry) => !entry.startsWith('!')) ? list.includes(value)
                                                   : !list.includes(`!${value}`));

// Every package of a lockfile (v2 or v3) that npm installs here and whose engines.node leaves
// `version` out.
function refusals(lockfile, version, platform = process.platform, arch = process.arch) {
  const lock = JSON.parse(fs.readFileSync(lockfile, 'utf8'));
  return Object.entries(lock.packages ?? {})
      .filter(([, pkg]) => typeof pkg.engines?.node === 'string' && admits(pkg.os, platform) &&
                           admits(pkg.cpu, arch) && !satisfies(version, pkg.engines.node))
      .map(([where, pkg]) => ({
             name: where.replace(/^.*node_modules\//, ''),
             version: pkg.version,
             needs: pkg.engines.node,
           }));
}

module.exports = {satisfies, refusals};

if (require.main === module) {
  let failed = false;
  for (const lockfile of process.argv.slice(2)) {
    const refused = refusals(lockfile, process.version);
    if (refused.length === 0) continue;
    failed = true;
    console.error(`${lockfile}: Node.js ${process.version} cannot run what it pins:`);
    for (const r of refused) console.error(`  ${r.name}@${r.version} needs Node.js ${r.needs}`);
  }
  if (failed) {
    console.error('Upgrade Node.js, or pin releases of these packages that run on this one.');
    process.exit(1);
  }
}
