// The page's service worker: after one visit the game starts and plays with
// no network. The build's files are kept in one cache named after the build,
// filled whole when the worker installs, each file checked against the digest
// the build wrote here; a page is always served from one cache, so it never
// mixes the files of two builds. A new build's worker waits until no page of
// the old one is open, or until the only one is being reloaded, and then
// takes over and drops the old caches.
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

// Every file from the server itself (not the browser's HTTP cache), each as
// this build made it; otherwise the install fails and the old build stays.
async function fillCache() {
  const responses = await Promise.all(Object.keys(kFiles).map(async (name) => {
    const response = await fetch(new Request(kBase + name, { cache: 'no-store' }));
    if (!response.ok) throw new Error(`${name}: ${response.status}`);
    if (await hex(await response.clone().arrayBuffer()) !== kFiles[name]) {
      throw new Error(`${name} is not the one of build ${kBuild}`);
    }
    return [name, response];
  }));
  const cache = await caches.open(kCache);
  await Promise.all(responses.map(([name, response]) => cache.put(kBase + name, response)));
}

self.addEventListener('install', (event) => event.waitUntil(fillCache()));

self.addEventListener('activate', (event) => event.waitUntil((async () => {
  for (const name of await caches.keys()) {
    if (name.startsWith(kCachePrefix) && name !== kCache) await caches.delete(name);
  }
})()));

self.addEventListener('message', (event) => {
  if (event.data === 'take over') self.skipWaiting();
});

// A new build waits; when the only page of the old one is reloaded (or the
// page is opened anew), the new build takes over and the browser loads the
// page again, all of it from the new build.
async function handOver(waiting) {
  const open = await self.clients.matchAll({ type: 'window' });
  if (open.length > 1) return null;
  const activating = new Promise((resolve) => {
    waiting.addEventListener('statechange', resolve);
    setTimeout(resolve, 2000);
  });
  waiting.postMessage('take over');
  await activating;
  return new Response('', { headers: { Refresh: '0' } });
}

async function answer(request, name) {
  if (request.mode === 'navigate' && self.registration.waiting) {
    const handedOver = await handOver(self.registration.waiting);
    if (handedOver) return handedOver;
  }
  const cache = await caches.open(kCache);
  return (await cache.match(kBase + name)) || fetch(request);
}

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || !request.url.startsWith(kBase)) return;
  let name = decodeURIComponent(new URL(request.url).pathname).slice(new URL(kBase).pathname.length);
  // The page under any of its addresses: the folder, index.html, any query.
  if (request.mode === 'navigate' && (name === '' || name === 'index.html')) name = 'index.html';
  if (!(name in kFiles)) return;
  event.respondWith(answer(request, name));
});
