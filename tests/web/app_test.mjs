// The page as an app, in headless Chromium: its own font, drawing the game
// from the first frame also where the system has no Japanese font; the
// terminal's size on a desktop and on a phone held upright and sideways; the
// manifest, icons and service worker: installable, no request that fails, an
// offline start after one visit, and a new build taken whole at the next visit;
// the program from a host that names its WebAssembly's type otherwise, and a
// site without it.
// tests/web/run.sh builds the sites and runs this file.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { cpSync, mkdirSync, readFileSync, readdirSync, rmSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { fileURLToPath } from 'node:url';

import { openGame, screenRows, startChromium, until, untilResolved } from './browser.mjs';
import { serveFolder } from './static_server.mjs';

const work = process.env.CHESSRPG_WEB_WORK;
const root = fileURLToPath(new URL('../..', import.meta.url));
const reference = JSON.parse(readFileSync(join(work, 'first_frame.json'), 'utf8'));
const withFrame = (page) => page.addInitScript((frame) => { window.expectedFrame = frame; }, reference.frame);
const firstFrame = (page) => until(page, 'the first field frame, cell for cell, drawn by the terminal', () =>
  window.screenWatch.seen('frame') && window.screenWatch.terminalDrawn);

let browser;
let server;
before(async () => {
  browser = await startChromium(process.env.CHESSRPG_CHROMIUM);
  server = await serveFolder(work);
});
after(async () => {
  await browser?.close();
  await server?.close();
});

// For pages that are loaded again: each load starts a new game, without the
// journey the last one saved as it went away (saves have tests of their own).
const withFrameAfresh = async (page) => {
  await withFrame(page);
  await page.addInitScript(() => localStorage.clear());
};

// Every character of the game's texts and of the shipped data's files.
function gameCharacters() {
  const texts = readFileSync(join(root, 'console/texts.tsv'), 'utf8').split('\n')
    .filter((line) => !line.startsWith('#') && line.includes('\t')).map((line) => line.split('\t')[1]);
  const shiftJis = new TextDecoder('shift_jis');
  const files = (folder) => readdirSync(folder, { withFileTypes: true }).flatMap((entry) =>
    (entry.isDirectory() ? files(join(folder, entry.name)) : [join(folder, entry.name)]));
  const data = files(join(root, 'data')).map((file) => shiftJis.decode(readFileSync(file)));
  return [...new Set([...texts, ...data].join(''))].filter((c) => c > ' ').join('');
}

async function closeClean(page) {
  assert.deepEqual(page.errors, []);
  await page.context().close();
}

test('with the system\'s fonts hidden, the page\'s own font draws the game from its first frame', async () => {
  // A fontconfig of no fonts at all: only the page's font can draw anything.
  const folder = join(work, 'no-fonts');
  mkdirSync(folder, { recursive: true });
  writeFileSync(join(folder, 'fonts.conf'), '<?xml version="1.0"?>\n<!DOCTYPE fontconfig SYSTEM "fonts.dtd">\n' +
    `<fontconfig><cachedir>${folder}/cache</cachedir></fontconfig>\n`);
  const bare = await startChromium(process.env.CHESSRPG_CHROMIUM, { FONTCONFIG_FILE: join(folder, 'fonts.conf') });
  try {
    const page = await openGame(bare, server.url + 'dist/index.html', {}, withFrame);
    await firstFrame(page);
    const seen = await page.evaluate((characters) => {
      const context = document.createElement('canvas').getContext('2d');
      const width = (font, text) => {
        context.font = `20px ${font}`;
        return context.measureText(text).width;
      };
      const own = window.chessrpgTerminal.options.fontFamily;
      // A character the page's font lacks is drawn as its missing-glyph box,
      // as a code point no font has is.
      const canvas = document.createElement('canvas');
      canvas.width = 40;
      canvas.height = 40;
      const pen = canvas.getContext('2d', { willReadFrequently: true });
      const picture = (c) => {
        pen.clearRect(0, 0, 40, 40);
        pen.font = `32px ${own}`;
        pen.fillText(c, 2, 32);
        return pen.getImageData(0, 0, 40, 40).data.reduce((sum, value, i) => (sum * 31 + value * (i + 1)) % 1000000007, 0);
      };
      const box = picture('\u{10FFFF}');
      return {
        system: width('"Noto Sans Mono CJK JP", monospace', '家'),
        ascii: width(own, 'M'),
        japanese: width(own, '家'),
        missing: [...characters].filter((c) => picture(c) === box).join(''),
        faces: window.screenWatch.facesAtFirstWrite,
      };
    }, gameCharacters());
    assert.equal(seen.system, 0, 'a system font still draws Japanese');
    assert.deepEqual([seen.ascii, seen.japanese], [10, 20], 'not the page\'s font, one cell and two');
    assert.equal(seen.missing, '', 'characters of the game that the page\'s font lacks');
    assert.deepEqual(seen.faces, ['ChessRPG Mono 400 loaded', 'ChessRPG Mono 700 loaded']);
    await closeClean(page);
  } finally {
    await bare.close();
  }
});

// The terminal's box, the window's size and the pad's parts, in CSS pixels.
function layout() {
  const box = (element) => element.getBoundingClientRect().toJSON();
  const term = window.chessrpgTerminal;
  return {
    rows: term.rows,
    fontSize: term.options.fontSize,
    terminal: box(term.element.querySelector('.xterm-screen')),
    window: { width: document.documentElement.clientWidth, height: document.documentElement.clientHeight },
    arrows: box(document.querySelector('#pad .arrows')),
    actions: box(document.querySelector('#pad .actions')),
    padShown: !document.getElementById('pad').hidden,
  };
}
const inside = (inner, outer) => inner.left >= 0 && inner.top >= 0 && inner.right <= outer.width &&
  inner.bottom <= outer.height;

test('the terminal: the game\'s 22 rows, as large as the window allows, the pad below or beside it', async (t) => {
  const phone = { hasTouch: true, isMobile: true, deviceScaleFactor: 2 };
  await t.test('a desktop, 1280 × 800: the rows fill the height, and a smaller window a smaller font', async () => {
    const page = await openGame(browser, server.url + 'dist/index.html', { viewport: { width: 1280, height: 800 } },
      withFrame);
    await firstFrame(page);
    const desk = await page.evaluate(layout);
    assert.equal(desk.rows, 22);
    assert.equal(desk.padShown, false);
    assert.ok(inside(desk.terminal, desk.window), `${JSON.stringify(desk.terminal)} leaves the window`);
    // 22 rows of 1.2 em in 800 - 18 pixels: a font of 29 pixels at most.
    assert.ok(desk.terminal.height >= 740 && desk.fontSize >= 28, `only ${desk.terminal.height} px high`);
    await page.screenshot({ path: join(work, 'screenshot-desktop.png') });
    await page.setViewportSize({ width: 800, height: 800 });
    await until(page, 'a font for 800 pixels across', () => window.chessrpgTerminal.options.fontSize < 20);
    const narrow = await page.evaluate(layout);
    assert.ok(inside(narrow.terminal, narrow.window) && narrow.terminal.width >= 760,
      `${JSON.stringify(narrow.terminal)} in 800 px`);
    await closeClean(page);
  });
  await t.test('a phone upright, 390 × 844: 80 columns across its width, the pad below', async () => {
    const page = await openGame(browser, server.url + 'dist/index.html',
      { viewport: { width: 390, height: 844 }, ...phone }, withFrame);
    await firstFrame(page);
    const upright = await page.evaluate(layout);
    assert.ok(upright.terminal.width > 385 && upright.terminal.width <= 390, `${upright.terminal.width} px wide`);
    assert.ok(upright.padShown && upright.arrows.top >= upright.terminal.bottom &&
      upright.actions.top >= upright.terminal.bottom, 'the pad is not below the game');
    assert.ok(inside(upright.arrows, upright.window) && inside(upright.actions, upright.window),
      'the pad is out of the window');
    await page.screenshot({ path: join(work, 'screenshot-phone.png') });
    await closeClean(page);
  });
  await t.test('a phone sideways, 844 × 390: the rows fill the height, the pad on either side', async () => {
    const page = await openGame(browser, server.url + 'dist/index.html',
      { viewport: { width: 844, height: 390 }, ...phone }, withFrame);
    await firstFrame(page);
    const sideways = await page.evaluate(layout);
    assert.ok(inside(sideways.terminal, sideways.window), `${JSON.stringify(sideways.terminal)} leaves the window`);
    assert.ok(sideways.terminal.height >= 350, `only ${sideways.terminal.height} px high`);
    assert.ok(sideways.arrows.right <= sideways.terminal.left && sideways.actions.left >= sideways.terminal.right,
      'the pad is not beside the game');
    await closeClean(page);
  });
});

// Until the terminal has drawn the game, the page shows it as text of its
// own. With xterm.js held back, the keys typed reach the game, a battle's
// animations play up to its command menu, and once the terminal has taken
// over it draws the same screen pixel for pixel (on the field of a world
// where nothing roams, and at the battle's menu, the screen stands still).
test('before the terminal: the game as the page\'s text, drawn as the terminal then draws it, its keys taken', async (t) => {
  const [x, y] = reference.hero;
  const stepTaken = async (page) => {
    await until(page, 'the hero on the page\'s text', ([x, y]) => window.screenWatch.at(x, y) === '●', [x, y]);
    await page.keyboard.press('ArrowRight');
    await until(page, 'the hero a step to the right', ([x, y]) => window.screenWatch.at(x, y) !== '●' &&
      [1, 2].some((step) => window.screenWatch.at(x + step, y) === '●'), [x, y]);
  };
  const battleMenu = (page) => until(page, 'the battle\'s command menu, waiting', () =>
    ['HP : 40 / 40', 'コマンドをえらぶ'].every((text) => window.screenWatch.shows(text)));
  const phone = { viewport: { width: 390, height: 844 }, hasTouch: true, isMobile: true, deviceScaleFactor: 2 };
  const setups = [
    ['a desktop, a step on the field', 'calm', { viewport: { width: 1000, height: 800 } }, stepTaken],
    ['a phone upright at twice its pixels, a step on the field', 'calm', phone, stepTaken],
    ['a desktop, a battle with its bright current HP', 'flee', { viewport: { width: 1000, height: 800 } }, battleMenu],
  ];
  for (const [name, site, options, reach] of setups) {
    await t.test(name, async () => {
      let release = null;
      const held = new Promise((resolve) => { release = resolve; });
      const holdTerminal = (page) => page.route('**/xterm/xterm.js', async (route) => {
        await held;
        await route.continue();
      });
      const page = await openGame(browser, `${server.url}sites/${site}/index.html`, options, holdTerminal, 'commit');
      await reach(page);
      const game = page.locator('#game');
      const before = { rows: await screenRows(page), picture: await game.screenshot() };
      assert.equal(await page.evaluate(() => window.chessrpgTerminal), null, 'the terminal opened');
      release();
      await until(page, 'the terminal drawing the game', () => window.screenWatch.terminalDrawn);
      const after = { rows: await screenRows(page), picture: await game.screenshot() };
      assert.deepEqual(after.rows, before.rows);
      if (!after.picture.equals(before.picture)) {
        const file = (which) => join(work, `before-terminal-${setups.findIndex((setup) => setup[0] === name)}-${which}.png`);
        writeFileSync(file('text'), before.picture);
        writeFileSync(file('terminal'), after.picture);
        assert.fail(`the terminal draws the screen otherwise than the page's text did: ${file('*')}`);
      }
      await closeClean(page);
    });
  }
});

test('the program\'s WebAssembly: also from a host that names its type otherwise; without it the screen says so', async () => {
  // A host that serves chessrpg.wasm as any file: the browser will not
  // compile it as it comes in, and the page compiles it from its bytes.
  const plain = await serveFolder(work, { '.wasm': 'application/octet-stream' });
  try {
    const page = await openGame(browser, plain.url + 'dist/index.html', {}, withFrameAfresh);
    await firstFrame(page);
    await closeClean(page);
  } finally {
    await plain.close();
  }
  const site = join(work, 'sites', 'no-wasm');
  rmSync(site, { recursive: true, force: true });
  cpSync(join(work, 'dist'), site, { recursive: true });
  rmSync(join(site, 'chessrpg.wasm'));
  const page = await openGame(browser, `${server.url}sites/no-wasm/index.html`);
  await until(page, 'the missing program said on the screen', () =>
    window.screenWatch.shows('The game (chessrpg.wasm) could not be loaded.'));
  await closeClean(page);
});

// Waits until the page's service worker has its cache and answers fetches.
const workerActive = (page) => untilResolved(page, 'the service worker active', async () =>
  (await navigator.serviceWorker.ready).active.state === 'activated');

test('installable: the manifest and icons, a service worker, and no request fails', async () => {
  const failed = [];
  const page = await openGame(browser, server.url + 'dist/index.html', {}, (page) => {
    withFrame(page);
    page.on('response', (response) => { if (response.status() >= 400) failed.push(`${response.status()} ${response.url()}`); });
    page.on('requestfailed', (request) => failed.push(`failed ${request.url()}`));
  });
  await firstFrame(page);
  await workerActive(page);
  const cdp = await page.context().newCDPSession(page);
  const manifest = await cdp.send('Page.getAppManifest');
  assert.deepEqual(manifest.errors, []);
  // The test's browser profile is a private one, which may install nothing.
  const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
  assert.deepEqual(installabilityErrors.filter((error) => error.errorId !== 'in-incognito'), []);
  assert.deepEqual(failed, []);
  await closeClean(page);
});

test('after one visit the game starts and plays with no network', async () => {
  const page = await openGame(browser, server.url + 'dist/index.html', {}, withFrameAfresh);
  await firstFrame(page);
  await workerActive(page);
  await page.context().setOffline(true);
  await page.reload();
  await firstFrame(page);
  const [x, y] = reference.hero;
  await page.keyboard.press('ArrowRight');
  await until(page, 'the hero a step to the right, offline', ([x, y]) =>
    window.screenWatch.at(x, y) !== '●' && [1, 2].some((step) => window.screenWatch.at(x + step, y) === '●'), [x, y]);
  // Under the folder's own address too.
  const again = await page.context().newPage();
  await withFrameAfresh(again);
  await again.goto(server.url + 'dist/');
  await firstFrame(again);
  await closeClean(page);
});

test('a new build: a page stays wholly on the build it loaded, and the next visit is wholly the new one', async () => {
  const site = join(work, 'sites', 'app');
  const serve = (build) => {
    rmSync(site, { recursive: true, force: true });
    cpSync(join(work, 'builds', build), site, { recursive: true });
  };
  // Which build index.html and data.js came from.
  const builds = (page) => page.evaluate(() => [
    document.lastChild.nodeType === Node.COMMENT_NODE && document.lastChild.data.trim() === 'build b' ? 'b' : 'a',
    window.chessrpgBuildMark || 'a',
  ]);
  const cacheNames = (page) => page.evaluate(() => window.caches.keys());
  serve('app-a');
  const page = await openGame(browser, `${server.url}sites/app/index.html`, {}, withFrameAfresh);
  await firstFrame(page);
  await workerActive(page);
  const [oldCache] = await cacheNames(page);
  serve('app-b');
  // Served from the old build's cache; the new build installs meanwhile and
  // takes over, which the page, its game started, lets pass.
  await page.reload();
  await firstFrame(page);
  await untilResolved(page, 'the new build taking over, the old cache gone', async (old) =>
    (await window.caches.keys()).every((name) => name !== old), oldCache);
  assert.deepEqual(await builds(page), ['a', 'a']);
  await page.reload();
  await firstFrame(page);
  assert.deepEqual(await builds(page), ['b', 'b']);
  await closeClean(page);
});
