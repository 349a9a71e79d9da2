// A static file server on the loopback address for the browser tests and
// benchmarks: serves a folder, with gzip when asked for it (as a web host
// would), and notes how many bytes went out.
import { createServer } from 'node:http';
import { readFile, stat } from 'node:fs/promises';
import { extname, join, normalize, sep } from 'node:path';
import { gzipSync } from 'node:zlib';

const kTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.txt': 'text/plain',
  '.png': 'image/png',
  '.wasm': 'application/wasm',
  '.woff2': 'font/woff2',
  '.webmanifest': 'application/manifest+json',
};

// Starts serving `root`; resolves to { url, close(), sentBytes() }. Each
// file is compressed once, as a web host keeps compressed copies. `types`
// names some files' types otherwise (by extension), as another host might.
export async function serveFolder(root, types = {}) {
  let sent = 0;
  const compressed = new Map();  // path -> { modified, body }
  const server = createServer(async (request, response) => {
    const path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    const file = normalize(join(root, path.endsWith('/') ? path + 'index.html' : path));
    try {
      const info = await stat(file);
      if (!file.startsWith(normalize(root) + sep) || !info.isFile()) throw new Error('no file');
      let body = await readFile(file);
      const headers = { 'Content-Type': types[extname(file)] || kTypes[extname(file)] || 'application/octet-stream', 'Cache-Control': 'no-cache' };
      if (/\bgzip\b/.test(request.headers['accept-encoding'] || '')) {
        const kept = compressed.get(file);
        if (!kept || kept.modified !== info.mtimeMs) compressed.set(file, { modified: info.mtimeMs, body: gzipSync(body, { level: 9 }) });
        body = compressed.get(file).body;
        headers['Content-Encoding'] = 'gzip';
      }
      sent += body.length;
      response.writeHead(200, headers);
      response.end(body);
    } catch {
      response.writeHead(404, { 'Content-Type': 'text/plain' });
      response.end('not found');
    }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return {
    url: `http://127.0.0.1:${server.address().port}/`,
    close: () => new Promise((resolve) => server.close(resolve)),
    sentBytes: () => sent,
  };
}
