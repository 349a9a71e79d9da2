// Writes into a built page's service worker (DIST/sw.js) the files it keeps
// for offline play, each with its SHA-256, and the build's name, a digest of
// them all: any change to any file makes a new build. Every file of the
// folder is kept but the worker itself, data/, which the page reads from
// data.js, and chessrpg-wasm.js, which only pages opened from the file system
// load (and they have no worker). web/build.sh and web/pack_data.mjs call it.
// Usage: node stamp_worker.mjs DIST
import { createHash } from 'node:crypto';
import { readdirSync, readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { fileURLToPath } from 'node:url';

const kSkipped = new Set(['sw.js', 'data', 'chessrpg-wasm.js']);

function files(folder, prefix) {
  return readdirSync(folder, { withFileTypes: true })
    .filter((entry) => prefix !== '' || !kSkipped.has(entry.name))
    .sort((a, b) => (a.name < b.name ? -1 : a.name > b.name ? 1 : 0))
    .flatMap((entry) => {
      const path = prefix + entry.name;
      if (entry.isDirectory()) return files(join(folder, entry.name), path + '/');
      return entry.isFile() ? [path] : [];
    });
}

const sha256 = (bytes) => createHash('sha256').update(bytes).digest('hex');

export function stampWorker(dist) {
  const worker = join(dist, 'sw.js');
  const digests = {};
  for (const path of files(dist, '')) digests[path] = sha256(readFileSync(join(dist, path)));
  const build = sha256(Object.entries(digests).map(([path, digest]) => `${digest}  ${path}\n`).join('')).slice(0, 16);
  const source = readFileSync(worker, 'utf8');
  const stamped = source
    .replace(/^const kBuild = .*;$/m, `const kBuild = '${build}';`)
    .replace(/^const kFiles = .*;$/m, `const kFiles = ${JSON.stringify(digests)};`);
  if (stamped === source && !source.includes(build)) throw new Error(`${worker} has no place for the build's name`);
  writeFileSync(worker, stamped);
  return build;
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  if (process.argv.length !== 3) {
    console.error('usage: node stamp_worker.mjs DIST');
    process.exit(2);
  }
  console.log(`service worker: build ${stampWorker(process.argv[2])}`);
}
