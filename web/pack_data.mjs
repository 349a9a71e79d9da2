// Writes data.js: every file of a data tree, by its path within the tree,
// bytes as base64. The page gives the game the tree from it: one file loads
// faster than many small ones, and loads from the file system too, where a
// page may not read files. When OUT_JS is a built page's, its service worker
// is stamped anew, so that players get the new tree at their next visit.
// Usage: node pack_data.mjs DATA_DIR OUT_JS
import { existsSync, readdirSync, readFileSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';

import { stampWorker } from './stamp_worker.mjs';

const [root, out] = process.argv.slice(2);
if (!root || !out) {
  console.error('usage: node pack_data.mjs DATA_DIR OUT_JS');
  process.exit(2);
}

function files(folder, prefix) {
  return readdirSync(folder, { withFileTypes: true })
    .sort((a, b) => (a.name < b.name ? -1 : a.name > b.name ? 1 : 0))
    .flatMap((entry) => {
      const path = prefix + entry.name;
      if (entry.isDirectory()) return files(join(folder, entry.name), path + '/');
      return entry.isFile() ? [path] : [];
    });
}

const packed = {};
for (const path of files(root, '')) packed[path] = readFileSync(join(root, path)).toString('base64');
writeFileSync(out, '// The data tree in data/, packed by web/pack_data.mjs.\n' +
  'window.chessrpgData = ' + JSON.stringify(packed, null, 1) + ';\n');
if (existsSync(join(dirname(out), 'sw.js'))) stampWorker(dirname(out));
