// The server an address leads to, as a downloader reaches it: the background compares a link's
// with aria2's own, so that a page cannot hand aria2 its own JSON-RPC under another spelling.
'use strict';

const defaultPorts = {'http:': '80', 'https:': '443', 'ftp:': '21'};

// The host and port of an http, https or ftp address as the browser reads it (127.1,
// 2130706433 and 0x7f.0.0.1 all read 127.0.0.1; any case; [::ffff:7f00:1]), the scheme's own
// port filled in; null for any other. A name's final dots go: resolvers reach the same host
// with or without them, where the browser's reading keeps them.
function serverOf(address) {
  let url;
  try {
    url = new URL(address);
  } catch (error) {
    return null;
  }
  if (!Object.hasOwn(defaultPorts, url.protocol)) return null;
  const host = url.hostname.startsWith('[') ? url.hostname : url.hostname.replace(/\.+$/, '');
  return `${host}:${url.port || defaultPorts[url.protocol]}`;
}
