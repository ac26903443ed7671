// The servers an address leads to, as a downloader reaches them: the background compares a
// link's with aria2's own, so that a page cannot hand aria2 its own JSON-RPC under another
// spelling, nor as a magnet's tracker or an ed2k link's server. A second line only: aria2 is
// sent to only when it enforces a secret (aria2.js), which no spelling can get around.
'use strict';

const defaultPorts = {'http:': '80', 'https:': '443', 'ftp:': '21'};

// A host as the network reaches it: an IPv4-mapped IPv6 address ([::ffff:192.0.2.7], which
// the browser writes [::ffff:c000:207]) is a connection to its IPv4 address, so it reads as
// that; a name's final dots go, as resolvers reach the same host with or without them.
function addressOf(hostname) {
  const mapped = /^\[::ffff:([0-9a-f]{1,4}):([0-9a-f]{1,4})\]$/.exec(hostname);
  if (mapped) {
    const [high, low] = [parseInt(mapped[1], 16), parseInt(mapped[2], 16)];
    return `${high >> 8}.${high & 255}.${low >> 8}.${low & 255}`;
  }
  return hostname.startsWith('[') ? hostname : hostname.replace(/\.+$/, '');
}

// The host and port of an http, https or ftp address as the browser reads it (127.1,
// 2130706433 and 0x7f.0.0.1 all read 127.0.0.1; any case; IPv4-mapped forms as IPv4), the
// scheme's own port filled in; null for any other.
function serverOf(address) {
  let url;
  try {
    url = new URL(address);
  } catch (error) {
    return null;
  }
  if (!Object.hasOwn(defaultPorts, url.protocol)) return null;
  return `${addressOf(url.hostname)}:${url.port || defaultPorts[url.protocol]}`;
}

// A UDP tracker's host and port (udp://HOST:PORT/announce), read as an http address's host
// is; null without a port, as no tracker has a default one. The port is asked of two schemes
// because each drops its own default port from what it reads.
function udpServerOf(address) {
  const rest = address.replace(/^udp:\/\//i, '');
  if (rest === address) return null;
  let http;
  let https;
  try {
    http = new URL(`http://${rest}`);
    https = new URL(`https://${rest}`);
  } catch (error) {
    return null;
  }
  const port = http.port || https.port;
  return port ? `${addressOf(http.hostname)}:${port}` : null;
}

// `text` with its escapes of ASCII characters undone, the only ones a host or separator can
// hold; any other % stays as it is.
const asciiUnescaped = (text) => text.replace(
    /%([0-7][0-9a-f])/gi, (escape, hex) => String.fromCharCode(parseInt(hex, 16)));

// The servers a magnet names: its trackers (tr=), exact and acceptable sources (xs=, as=) and
// web seeds (ws=), numbered ones (tr.1=) too, each value's escapes undone.
function magnetServers(address) {
  const query = address.indexOf('?');
  if (query < 0) return [];
  const found = [];
  for (const [key, value] of new URLSearchParams(address.slice(query + 1))) {
    if (!/^(?:tr|xs|as|ws)(?:\.\d+)?$/i.test(key)) continue;
    const server = serverOf(value) || udpServerOf(value);
    if (server) found.push(server);
  }
  return found;
}

// The servers an ed2k link names: a server link's host and port (|server|HOST|PORT|), a
// server or node list's address (|serverlist|URL|, |nodeslist|URL|) and every entry of its
// sources (|sources,HOST:PORT,HOST:PORT|).
function ed2kServers(address) {
  const parts = asciiUnescaped(address).split('|');
  const at = (host, port) => (/^\d+$/.test(port) ? serverOf(`http://${host}:${port}/`) : null);
  const found = [];
  const kind = (parts[1] || '').toLowerCase();
  if (kind === 'server') found.push(at(parts[2], parts[3]));
  if (kind === 'serverlist' || kind === 'nodeslist') found.push(serverOf(parts[2] || ''));
  for (const part of parts) {
    if (!/^sources,/i.test(part)) continue;
    for (const entry of part.slice('sources,'.length).split(',')) {
      const hostPort = /^\s*(.+):(\d+)\s*$/.exec(entry);
      if (hostPort) found.push(at(hostPort[1], hostPort[2]));
    }
  }
  return found.filter((server) => server !== null);
}

// Every server that a downloader given `address` may reach by it: an http, https or ftp
// address's own, a magnet's or an ed2k link's named ones; none for anything else.
function serversOf(address) {
  if (typeof address !== 'string') return [];
  if (/^magnet:/i.test(address)) return magnetServers(address);
  if (/^ed2k:/i.test(address)) return ed2kServers(address);
  const server = serverOf(address);
  return server ? [server] : [];
}
