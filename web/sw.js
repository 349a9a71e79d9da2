// The page's service worker: after one visit the game starts and plays with
// no network. The build's files are kept in one cache named after the build,
// filled whole when the worker installs, each file checked against the digest
// the build wrote here, and the worker answers from its own cache only. A new
// build's worker takes over as soon as it has its files, and drops the old
// caches: pages of the old build that have started their game fetch nothing
// more, and page.js loads again any page that has not (its files would
// otherwise come from two builds). So a new build reaches players at their
// next visit.
'use strict';

// Stamped by web/stamp_worker.mjs: the build, and each file's SHA-256.
const kBuild = 'unbuilt';
const kFiles = {};

const kCachePrefix = 'chessrpg-';
const kCache = kCachePrefix + kBuild;
// The worker's folder: the files' names are relative to it.
const kBase = new URL('./', self.location.href).href;

async function hex(buffer) {
  const digest = new Uint8Array(await crypto.subtle.digest('SHA-256', buffer));
  return Array.from(digest, (byte) => byte.toString(16).padStart(2, '0')).join('');
}

// A file as this build made it: from the browser's cache first (the page
// has just loaded it), else from the server itself.
async function fetchChecked(name) {
  for (const mode of ['force-cache', 'no-store']) {
    const response = await fetch(new Request(kBase + name, { cache: mode }));
    if (!response.ok) throw new Error(`${name}: ${response.status}`);
    if (await hex(await response.clone().arrayBuffer()) === kFiles[name]) return response;
  }
  throw new Error(`${name} is not the one of build ${kBuild}`);
}

// Every file, each as this build made it, or the install fails and the old
// build stays.
async function fillCache() {
  const responses = await Promise.all(Object.keys(kFiles).map(async (name) => [name, await fetchChecked(name)]));
  const cache = await caches.open(kCache);
  await Promise.all(responses.map(([name, response]) => cache.put(kBase + name, response)));
}

self.addEventListener('install', (event) => event.waitUntil(fillCache().then(() => self.skipWaiting())));

self.addEventListener('activate', (event) => event.waitUntil((async () => {
  for (const name of await caches.keys()) {
    if (name.startsWith(kCachePrefix) && name !== kCache) await caches.delete(name);
  }
})()));

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || !request.url.startsWith(kBase)) return;
  let name = decodeURIComponent(new URL(request.url).pathname).slice(new URL(kBase).pathname.length);
  // The page at the folder's address too, and at any with a query.
  if (name === '') name = 'index.html';
  if (!(name in kFiles)) return;
  event.respondWith(caches.open(kCache).then(async (cache) => (await cache.match(kBase + name)) || fetch(request)));
});
