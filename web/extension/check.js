// The transport of the popup's check: asks each server, from the background, whether it still
// serves an address, and hands what it heard to the core, which alone judges it. HEAD first;
// where a server will not answer HEAD (405, 501, or no answer at all), a GET of its first byte
// whose body is dropped unread. No cookies or other credentials go with them, and the browser
// follows redirects itself. Each address has one time for all it asks; a few are asked at once,
// fewer of one host, so that a long post neither floods a server nor waits on a slow one.
'use strict';

const checkTime = 15000;  // milliseconds for one address, its fallback GET included
const checksAtOnce = 8;
const checksPerHost = 2;

// What the server of `uri` said, for the core's judgeAnswer: {status, type, contentLength,
// contentRange, final, redirected}, or {failure: 'timeout' | 'network'} when fetch gave no
// answer. `landsRefused(url)` tells an address no check may ask: a HEAD whose redirects led
// there is not followed by a GET there. `time` is the time for the whole address.
async function askServer(uri, landsRefused, time = checkTime) {
  const controller = new AbortController();
  const timer = setTimeout(() => controller.abort(), time);
  const request = (method, headers) => fetch(uri, {
    method, headers, credentials: 'omit', redirect: 'follow', cache: 'no-store',
    referrerPolicy: 'no-referrer', signal: controller.signal,
  });
  try {
    let response = null;
    try {
      response = await request('HEAD', {});
    } catch (error) {
      if (controller.signal.aborted) return {failure: 'timeout'};
    }
    if (response === null ||
        ((response.status === 405 || response.status === 501) && !landsRefused(response.url))) {
      try {
        response = await request('GET', {Range: 'bytes=0-0'});
      } catch (error) {
        return {failure: controller.signal.aborted ? 'timeout' : 'network'};
      }
    }
    const header = (name) => response.headers.get(name) || '';
    return {status: response.status, type: header('content-type'),
            contentLength: header('content-length'), contentRange: header('content-range'),
            final: response.url, redirected: response.redirected};
  } finally {
    clearTimeout(timer);
    // The answer's headers are all the check reads: whatever body is on its way is dropped.
    controller.abort();
  }
}

// Runs `work(uri)` for the addresses it is given, at most `most` at once and `perHost` for one
// host, in the order they came; an address asked for while its check runs shares that check.
class CheckQueue {
  constructor(work, most = checksAtOnce, perHost = checksPerHost) {
    Object.assign(this, {work, most, perHost, waiting: [], running: 0, hosts: new Map(),
                         pending: new Map()});
  }

  check(uri) {
    if (!this.pending.has(uri)) {
      const promise = new Promise((resolve, reject) => {
        this.waiting.push({uri, host: hostOf(uri), resolve, reject});
      });
      this.pending.set(uri, promise);
      this.next();
    }
    return this.pending.get(uri);
  }

  next() {
    while (this.running < this.most) {
      const index = this.waiting.findIndex(({host}) => (this.hosts.get(host) || 0) < this.perHost);
      if (index < 0) return;
      const [job] = this.waiting.splice(index, 1);
      this.running += 1;
      this.hosts.set(job.host, (this.hosts.get(job.host) || 0) + 1);
      Promise.resolve().then(() => this.work(job.uri)).then(job.resolve, job.reject).finally(() => {
        this.running -= 1;
        const left = this.hosts.get(job.host) - 1;
        if (left) this.hosts.set(job.host, left); else this.hosts.delete(job.host);
        this.pending.delete(job.uri);
        this.next();
      });
    }
  }
}

// The host an address's requests go to, as the browser reads it; the address itself when it
// reads as none.
function hostOf(uri) {
  try {
    return new URL(uri).hostname;
  } catch (error) {
    return uri;
  }
}
