// The browser version measured in headless Chromium, served from this
// machine, each figure beside a reference taken the same way in the same run:
//  - page load to the first complete field frame of the shipped world, drawn
//    (reference: the document parsed), with where the time went, and to the
//    terminal's drawing it in place of the page's text of the game, at a
//    first visit and at a later one, served by the service worker;
//  - key to screen: a key's event to the terminal's drawing of the hero's
//    step (reference: the page's terminal echoing the key, without the game);
//  - CPU of the tab waiting on the field, at the command menu and at a
//    confirm wait (reference: the terminal alone, idle);
//  - bytes a page load transfers, gzip as served, the page's font included
//    (reference: xterm.js alone), and a first visit's with the service
//    worker's install;
//  - the animation pacing (wipes, typed message, boxes' slide-in) against the
//    lengths on the headless clock, and the field's scroll against its pace.
// The keys, the waits and the pacing are measured at a later visit, once the
// service worker has made its copy of the build.
// Prints "row" lines (tab-separated: measure, ours, reference, ratio, goal,
// met) for tools/bench/run.sh; every other line is detail.
// Usage: node web_bench.mjs WORK_DIR (made by web_bench.sh)
// Environment: CHESSRPG_WEB_BENCH_PARTS (below), CHESSRPG_WEB_BENCH_LOADS (page
// loads of each kind, 10 by default).
import { mkdirSync, readFileSync, readdirSync, statSync, writeFileSync } from 'node:fs';
import { loadavg } from 'node:os';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';

import { openGame, startChromium, untilResolved } from '../../tests/web/browser.mjs';
import { serveFolder } from '../../tests/web/static_server.mjs';

const work = process.argv[2];
const frame = JSON.parse(readFileSync(join(work, 'first_frame.json'), 'utf8'));
const pacing = JSON.parse(readFileSync(join(work, 'pacing.json'), 'utf8'));

const kLoadRuns = Number(process.env.CHESSRPG_WEB_BENCH_LOADS) || 10;
const kKeyCount = 100;
const kPacingRuns = 3;
const kCpuSettleMs = 1000;
const kCpuWindowMs = 5000;
const kLoadGoalMs = 300;
const kKeyGoalMs = 16;
const kCpuGoalAbovePercent = 0.2;  // above the terminal alone
const kTransferGoalBytes = 600 * 1024;
const kDriftGoalPercent = 5;

const format = (value, digits) => value.toFixed(digits);
const ms = (value) => `${format(value, value < 10 ? 2 : 1)} ms`;
const ratio = (ours, reference) => (reference > 0 ? `${format(ours / reference, 1)}×` : '-');
const met = (yes) => (yes ? 'yes' : 'no');
function row(measure, ours, reference, ratioText, goal, metText) {
  console.log(['row', measure, ours, reference, ratioText, goal, metText].join('\t'));
}
function median(samples) {
  const sorted = [...samples].sort((a, b) => a - b);
  return sorted[Math.ceil(sorted.length / 2) - 1];
}
function percentile(samples, fraction) {
  const sorted = [...samples].sort((a, b) => a - b);
  return sorted[Math.max(1, Math.ceil(fraction * sorted.length)) - 1];
}
const pause = (time) => new Promise((resolve) => setTimeout(resolve, time));

const workerActive = (page) => untilResolved(page, 'the service worker active', async () =>
  (await navigator.serviceWorker.ready).active.state === 'activated');

// A page of the site at a later visit: a first one has left the service
// worker its copy of the build (which it makes once, a second after the
// load, and which would fall into what is measured), and the new game starts
// afresh (no save of the first one's). prepare(page) runs before it loads.
async function openLaterVisit(browser, address, prepare = null) {
  const first = await openGame(browser, address);
  await workerActive(first);
  const context = first.context();
  await first.close();
  const page = await context.newPage();
  await page.addInitScript(() => localStorage.clear());
  if (prepare) await prepare(page);
  page.errors = [];
  page.on('pageerror', (error) => page.errors.push(String(error)));
  await page.goto(address);
  return page;
}

// The terminal alone, as the page sets it up, echoing the arrows as the
// hero's steps on row 10: the browser's and xterm.js's own share of a key.
const kEchoPage = `<!doctype html><meta charset="utf-8">
<link rel="stylesheet" href="../dist/xterm/xterm.css"><link rel="stylesheet" href="../dist/page.css">
<main><div id="game"><div id="terminal"></div></div></main>
<script src="../dist/xterm/xterm.js"></script>
<script>
  const term = new Terminal({ cols: 80, rows: 22, scrollback: 0, fontSize: 18, lineHeight: 1,
    fontFamily: '"ChessRPG Mono", monospace', cursorInactiveStyle: 'none' });
  term.open(document.getElementById('terminal'));
  term.focus();
  window.chessrpgTerminal = term;
  let x = 30;
  term.write('\\x1b[?25l\\x1b[11;31H\\u25cf');
  term.onData((data) => {
    const step = data === '\\x1b[C' ? 2 : data === '\\x1b[D' ? -2 : 0;
    if (step === 0) return;
    term.write('\\x1b[11;' + (x + 1) + 'H  ');
    x += step;
    term.write('\\x1b[11;' + (x + 1) + 'H\\u25cf');
  });
  performance.mark('ready');
</script>`;

// --- page load ---

// What the screen watcher says on the console: the first field frame drawn,
// and the terminal drawing the game in place of the page's text. Nothing is
// run in the page until then: a script evaluated there (the driver's own, the
// first time) would take the page's main thread in the middle of the load
// measured.
function untilWatcherSays(page, what) {
  return page.waitForEvent('console', {
    predicate: (message) => message.text() === `screen watch: ${what}`, timeout: 20000,
  });
}
const withFrame = async (page) => {
  page.frameShown = untilWatcherSays(page, 'frame shown');
  page.terminalDrawn = untilWatcherSays(page, 'terminal drawn');
  // The main thread's busy time, from Chromium's own count.
  page.cdp = await page.context().newCDPSession(page);
  await page.cdp.send('Performance.enable');
  return page.addInitScript((rows) => { window.expectedFrame = rows; }, frame.frame);
};
// The page's main thread until now: busy (its tasks' length), and in
// scripts, layout and style, in ms.
async function mainThread(page) {
  const { metrics } = await page.cdp.send('Performance.getMetrics');
  const metric = (name) => metrics.find((entry) => entry.name === name).value * 1000;
  return { busy: metric('TaskDuration'), scripts: metric('ScriptDuration'), layout: metric('LayoutDuration'),
    style: metric('RecalcStyleDuration') };
}
const busyText = (main) => `main thread busy ${format(main.busy, 0)} ms (scripts ${format(main.scripts, 0)}, ` +
  `layout ${format(main.layout, 0)}, style ${format(main.style, 0)})`;

// Where a load's time went, in ms from the navigation's start: the page's
// file in, its files in, the document parsed, the page's own marks (the
// program compiled and started), the frame drawn (the page's text of it, or
// the terminal's drawing if that came first), then the terminal's: open, the
// game's writes taken in, and drawn in place of the page's text.
const kPhases = ['page in', 'files in', 'parsed', 'program compiled', 'game started', 'frame drawn',
  'terminal open', 'first write', 'terminal drawn'];
function loadPhases() {
  const navigation = performance.getEntriesByType('navigation')[0];
  const files = performance.getEntriesByType('resource').filter((entry) => !entry.name.includes('/icons/'));
  const mark = (name) => performance.getEntriesByName(name, 'mark')[0]?.startTime;
  return {
    'page in': navigation.responseEnd,
    'files in': Math.max(...files.map((entry) => entry.responseEnd)),
    parsed: navigation.domInteractive,
    'program compiled': mark('chessrpg: program compiled'),
    'game started': mark('chessrpg: game started'),
    'frame drawn': window.screenWatch.shownAt.get('frame'),
    'terminal open': mark('chessrpg: terminal open'),
    'first write': window.screenWatch.firstWriteAt,
    'terminal drawn': mark('chessrpg: terminal drawn'),
  };
}
const phaseText = (phases) => kPhases.filter((name) => phases[name] !== undefined && phases[name] !== null)
  .map((name) => `${name} ${format(phases[name], 0)}`).join(', ');
function medianPhases(runs) {
  const phases = {};
  for (const name of kPhases) {
    const samples = runs.map((run) => run[name]).filter((value) => value !== undefined && value !== null);
    if (samples.length === runs.length) phases[name] = median(samples);
  }
  return phases;
}

async function measureLoad(browser, server) {
  const frames = [];
  const terminals = [];
  const sent = [];
  const phases = [];
  const busy = [];
  for (let run = 0; run < kLoadRuns; ++run) {
    const before = server.sentBytes();
    const page = await openGame(browser, server.url + 'dist/index.html', {}, withFrame);
    await page.frameShown;
    const main = await mainThread(page);
    await page.terminalDrawn;
    busy.push(main);
    const times = await page.evaluate(`(${loadPhases})()`);
    const program = await page.evaluate(() =>
      performance.getEntriesByName(new URL('chessrpg.js', location.href).href)[0].startTime);
    sent.push(server.sentBytes() - before);
    frames.push(times['frame drawn']);
    terminals.push(times['terminal drawn']);
    phases.push(times);
    console.log(`load ${run}: program requested at ${format(program, 1)} ms, first field frame drawn at ` +
      `${format(times['frame drawn'], 1)} ms, ${sent[run]} bytes sent; ${phaseText(times)}; ${busyText(main)}`);
    await page.context().close();
  }
  const medianBusy = Object.fromEntries(Object.keys(busy[0]).map((name) => [name, median(busy.map((b) => b[name]))]));
  console.log(`load, medians: ${phaseText(medianPhases(phases))}; ${busyText(medianBusy)}; fastest ${format(Math.min(...frames), 1)} ms, ` +
    `slowest ${format(Math.max(...frames), 1)} ms`);
  // The reference: the document parsed (its scripts run but the deferred
  // xterm.js), which every page of the site waits for.
  const ours = median(frames);
  const reference = median(phases.map((times) => times.parsed));
  row('page load to the first field frame, median', ms(ours), ms(reference) + ' parsed', ratio(ours, reference),
    `≤ ${kLoadGoalMs} ms`, met(ours <= kLoadGoalMs));
  row('  the terminal drawing it in place of the page\'s text, median', ms(median(terminals)), '-', '-', '-', '-');
  return median(sent);
}

// The same at later visits, served by the service worker (with the compiled
// code the browser keeps beside its copy).
async function measureLaterLoads(browser, server) {
  const frames = [];
  const phases = [];
  for (let run = 0; run < kLoadRuns; ++run) {
    const page = await openLaterVisit(browser, server.url + 'dist/index.html', withFrame);
    await page.frameShown;
    await page.terminalDrawn;
    const times = await page.evaluate(`(${loadPhases})()`);
    frames.push(times['frame drawn']);
    phases.push(times);
    await page.context().close();
  }
  console.log(`later loads: first field frame drawn at ${frames.map((time) => format(time, 1)).join(', ')} ms`);
  console.log(`later loads, medians: ${phaseText(medianPhases(phases))}`);
  row('  the same at a later visit, median', ms(median(frames)), '-', '-', `≤ ${kLoadGoalMs} ms`,
    met(median(frames) <= kLoadGoalMs));
}

// --- key to screen ---

// Sends arrows right and left by turns, 20 to 50 ms apart, and gives the
// times from each key's event to the terminal's drawing of the step.
async function keyTimes(page, heroY) {
  await page.evaluate((y) => {
    const term = window.chessrpgTerminal;
    const heroColumn = () => {
      for (let x = 0; x < 80; ++x) if (window.screenWatch.at(x, y) === '●') return x;
      return -1;
    };
    window.keyTimes = [];
    let pending = null;
    window.addEventListener('keydown', (event) => { pending = { start: event.timeStamp, from: heroColumn() }; }, true);
    term.onRender(() => {
      if (pending && heroColumn() !== pending.from) {
        window.keyTimes.push(performance.now() - pending.start);
        pending = null;
      }
    });
  }, heroY);
  for (let i = 0; i < kKeyCount; ++i) {
    await page.keyboard.press(i % 2 === 0 ? 'ArrowRight' : 'ArrowLeft');
    await pause(20 + (i * 17) % 31);
  }
  await pause(200);
  return page.evaluate(() => window.keyTimes);
}

async function measureKeys(browser, server) {
  const page = await openLaterVisit(browser, server.url + 'sites/calm/index.html');
  await page.waitForFunction(() => window.screenWatch.shows('●') && !window.chessrpgPoster, null, { timeout: 20000 });
  await pause(500);
  const ours = await keyTimes(page, frame.hero[1]);
  await page.context().close();
  const echo = await openGame(browser, server.url + 'echo/index.html');
  const reference = await keyTimes(echo, 10);
  await echo.context().close();
  for (const [what, samples] of [['game', ours], ['echo', reference]]) {
    console.log(`key to screen, ${what}: ${samples.length} of ${kKeyCount} keys drawn, median ` +
      `${format(median(samples), 2)} ms, p99 ${format(percentile(samples, 0.99), 2)} ms, max ` +
      `${format(Math.max(...samples), 2)} ms`);
  }
  const complete = ours.length === kKeyCount;
  row('key to screen, median', ms(median(ours)), ms(median(reference)) + ' echo',
    ratio(median(ours), median(reference)), `≤ ${kKeyGoalMs} ms`, met(complete && median(ours) <= kKeyGoalMs));
  // The slowest keys wait for the display's next frame, with the game or without.
  row('key to screen, 99th percentile', ms(percentile(ours, 0.99)), ms(percentile(reference, 0.99)) + ' echo',
    ratio(percentile(ours, 0.99), percentile(reference, 0.99)), '-', '-');
}

// --- CPU while waiting ---

// The tab's CPU time (the renderer process, all its threads) over the
// window, as a share of one core; null when the screen changed meanwhile.
async function tabCpu(page) {
  const cdp = await page.context().newCDPSession(page);
  await cdp.send('Performance.enable');
  const cpuSeconds = async () => {
    const { metrics } = await cdp.send('Performance.getMetrics');
    return metrics.find((metric) => metric.name === 'ProcessTime').value;
  };
  await pause(kCpuSettleMs);
  const before = await page.evaluate(() => window.screenWatch.rows().join('\n'));
  const cpu0 = await cpuSeconds();
  const t0 = performance.now();
  await pause(kCpuWindowMs);
  const cpu1 = await cpuSeconds();
  const t1 = performance.now();
  const after = await page.evaluate(() => window.screenWatch.rows().join('\n'));
  await cdp.detach();
  if (before !== after) return null;
  console.log(`  ${format((cpu1 - cpu0) * 1000, 0)} ms of CPU in ${format((t1 - t0) / 1000, 3)} s ` +
    '(Chromium counts it in steps of about 10 ms)');
  return ((cpu1 - cpu0) * 1000) / (t1 - t0) * 100;
}

async function measureCpu(browser, server) {
  const echo = await openGame(browser, server.url + 'echo/index.html');
  const reference = await tabCpu(echo);
  await echo.context().close();
  console.log(`CPU, the terminal alone: ${format(reference, 3)} % of a core`);
  const waits = [
    ['waiting for a key on the field', 'calm', async (page) => {
      await page.waitForFunction(() => window.screenWatch.shows('●'), null, { timeout: 20000 });
    }],
    ['battle command menu', 'flee', async (page) => {
      await page.waitForFunction(() => ['Enemy View', 'たたかう', 'にげる'].every(window.screenWatch.shows),
        null, { timeout: 20000 });
    }],
    ['confirm wait after a battle message', 'flee', async (page) => {
      await page.waitForFunction(() => window.screenWatch.shows('にげる'), null, { timeout: 20000 });
      await pause(500);
      await page.keyboard.press('ArrowDown');
      await page.keyboard.press('Enter');  // defend: the Pawn attacks, and its message waits
      await page.waitForFunction(() => window.screenWatch.shows('の攻撃!!'), null, { timeout: 20000 });
      await pause(1000);
    }],
  ];
  const goal = `≤ ${format(reference + kCpuGoalAbovePercent, 2)} %`;
  for (const [measure, site, reach] of waits) {
    const page = await openLaterVisit(browser, `${server.url}sites/${site}/index.html`);
    let percent = null;
    try {
      await reach(page);
      percent = await tabCpu(page);
    } catch (error) {
      console.log(`${measure}: not reached: ${error.message.split('\n')[0]}`);
    }
    await page.context().close();
    if (percent === null) {
      console.log(`${measure}: not measured (the wait was not reached, or the screen changed)`);
      row(measure, 'failed', '-', '-', goal, 'no');
      continue;
    }
    console.log(`${measure}: ${format(percent, 3)} % of a core over ${kCpuWindowMs / 1000} s`);
    row(measure, `${format(percent, 2)} %`, `${format(reference, 2)} % alone`, ratio(percent, reference),
      goal, met(percent <= reference + kCpuGoalAbovePercent));
  }
}

// --- transfer size ---

function gzipSizes(folder, prefix = '') {
  return readdirSync(folder).flatMap((name) => {
    const path = join(folder, name);
    if (statSync(path).isDirectory()) return gzipSizes(path, `${prefix}${name}/`);
    return [[prefix + name, gzipSync(readFileSync(path), { level: 9 }).length]];
  });
}

// The bytes of a first visit until the service worker has its copy of the
// build (from the browser's cache, where the page's loads left them).
async function measureFirstVisit(browser, server) {
  const before = server.sentBytes();
  const page = await openGame(browser, server.url + 'dist/index.html');
  await workerActive(page);
  const sent = server.sentBytes() - before;
  await page.context().close();
  return sent;
}

function reportTransfer(pageLoadBytes, firstVisitBytes) {
  const sizes = gzipSizes(join(work, 'dist'));
  const total = sizes.reduce((sum, [, size]) => sum + size, 0);
  for (const [name, size] of sizes.filter(([, size]) => size > 2000)) console.log(`gzip: ${name} ${size} bytes`);
  console.log(`gzip: dist/web, every file, ${total} bytes; a page load sent ${pageLoadBytes} bytes`);
  const xterm = sizes.filter(([name]) => name.startsWith('xterm/xterm.')).reduce((sum, [, size]) => sum + size, 0);
  const kb = (bytes) => `${format(bytes / 1024, 0)} KB`;
  row('transfer of a page load, gzip, with the font', kb(pageLoadBytes), kb(xterm) + ' xterm.js',
    ratio(pageLoadBytes, xterm), `≤ ${kTransferGoalBytes / 1024} KB`, met(pageLoadBytes <= kTransferGoalBytes));
  row('  a first visit, the worker\'s copy made', kb(firstVisitBytes), kb(pageLoadBytes) + ' page load',
    ratio(firstVisitBytes, pageLoadBytes), `≤ ${kTransferGoalBytes / 1024} KB`, met(firstVisitBytes <= kTransferGoalBytes));
}

// --- pacing ---

function observePacing(marks, rows, time, reference) {
  const watch = window.screenWatch;
  const shows = (text) => rows.some((row) => row.includes(text));
  if (marks.wipeStarts === undefined && watch.at(0, 0) === reference.wipeBlock) marks.wipeStarts = time;
  if (marks.wipeStarts !== undefined && marks.battleStarts === undefined && shows(reference.boxTop)) {
    marks.battleStarts = time;
  }
  if (marks.battleStarts !== undefined && marks.boxesIn === undefined && shows(reference.fight)) marks.boxesIn = time;
  if (marks.boxesIn !== undefined && marks.battleReady === undefined && shows('Enemy View') &&
      shows(reference.fight) && shows(reference.flee)) {
    marks.battleReady = time;
  }
  if (marks.battleReady === undefined) return;
  const column = reference.logColumn;
  const first = [...reference.announcement][0];
  if (marks.fleeTypingStarts === undefined && watch.textAt(reference.logRow, column, column + 2) === first) {
    marks.fleeTypingStarts = time;
  }
  if (marks.fleeTypingStarts !== undefined && marks.fleeTypingEnds === undefined &&
      watch.textAt(reference.logRow, column, column + reference.announcementColumns) === reference.announcement) {
    marks.fleeTypingEnds = time;
  }
}

async function pacingRun(browser, server) {
  const page = await openLaterVisit(browser, server.url + 'sites/pacing/index.html');
  await page.waitForFunction(() => window.screenWatch.lastRows !== null, null, { timeout: 20000 });
  await page.evaluate(([observe, reference]) => {
    const observePacing = new Function(`return (${observe})`)();
    window.pacingMarks = {};
    window.screenWatch.checks.push((rows, time) => observePacing(window.pacingMarks, rows, time, reference));
  }, [observePacing.toString(), pacing]);
  await page.waitForFunction(() => window.pacingMarks.battleReady !== undefined, null, { timeout: 30000 });
  for (const key of ['ArrowDown', 'ArrowDown', 'ArrowDown', 'Enter']) await page.keyboard.press(key);
  await page.waitForFunction(() => window.pacingMarks.fleeTypingEnds !== undefined, null, { timeout: 30000 });
  const marks = await page.evaluate(() => window.pacingMarks);
  await page.context().close();
  return marks;
}

async function measurePacing(browser, server) {
  const planned = pacing.marks;
  const runs = [];
  for (let run = 0; run < kPacingRuns; ++run) {
    const marks = await pacingRun(browser, server);
    console.log(`pacing run ${run}: wipe at ${format(marks.wipeStarts, 1)} ms, battle screen at ` +
      `${format(marks.battleStarts, 1)} ms, boxes in at ${format(marks.boxesIn, 1)} ms, typing from ` +
      `${format(marks.fleeTypingStarts, 1)} to ${format(marks.fleeTypingEnds, 1)} ms`);
    runs.push(marks);
  }
  const goal = `within ${kDriftGoalPercent} %`;
  const spans = [
    ['encounter wipes, real (vs virtual)', 'wipeStarts', 'battleStarts'],
    [`typed message, ${[...pacing.announcement].length} chars, real (vs virtual)`, 'fleeTypingStarts', 'fleeTypingEnds'],
    ['command boxes slide in, real (vs virtual)', 'battleStarts', 'boxesIn'],
  ];
  for (const [measure, from, to] of spans) {
    const real = median(runs.map((marks) => marks[to] - marks[from]));
    const virtualMs = planned[to] - planned[from];
    const drift = (real - virtualMs) / virtualMs * 100;
    console.log(`${measure}: virtual ${format(virtualMs, 0)} ms, real median ${format(real, 1)} ms, ` +
      `drift ${drift >= 0 ? '+' : ''}${format(drift, 2)} %`);
    row(measure, ms(real), `${format(virtualMs, 0)} ms virt.`, `${drift >= 0 ? '+' : ''}${format(drift, 1)} %`, goal,
      met(Math.abs(drift) <= kDriftGoalPercent));
  }
}

// --- the scroll ---

// Which frame of the scroll into screen 2 the screen shows (0 to 59), or -1:
// screen 1's wall of column 58 stands at 57 - k in frame k until it leaves,
// then screen 2's 'o' of column 58 comes in at 59 and 58.
function scrollFrameShown(at) {
  if (at(0, 5) === '#' && at(58, 5) === '#') return -1;
  for (let column = 0; column <= 57; ++column) if (at(column, 5) === '#') return 57 - column;
  if (at(59, 5) === 'o') return 58;
  if (at(58, 5) === 'o') return 59;
  return -1;
}

async function measureScroll(browser, server) {
  // The game pauses nowhere in a scroll; the backend shows its 60 frames 8 ms
  // apart, as on the terminal: 59 pauses.
  const planned = 59 * 8;
  const lengths = [];
  let fewestSeen = 60;
  for (let run = 0; run < kPacingRuns; ++run) {
    const page = await openLaterVisit(browser, server.url + 'sites/scroll/index.html');
    await page.waitForFunction(() => window.screenWatch.at(0, 5) === '#', null, { timeout: 20000 });
    await pause(200);
    await page.evaluate((shown) => {
      const frameShown = new Function(`return (${shown})`)();
      window.scroll = { seen: new Set(), first: -1, last: -1 };
      window.screenWatch.checks.push((rows, time) => {
        const frame = frameShown(window.screenWatch.at);
        if (frame < 0) return;
        window.scroll.seen.add(frame);
        if (window.scroll.first < 0) window.scroll.first = time;
        if (frame === 59 && window.scroll.last < 0) window.scroll.last = time;
      });
    }, scrollFrameShown.toString());
    await page.keyboard.press('ArrowRight');
    await page.waitForFunction(() => window.scroll.last >= 0, null, { timeout: 5000 });
    const scroll = await page.evaluate(() => ({ ...window.scroll, seen: window.scroll.seen.size }));
    await page.context().close();
    console.log(`scroll run ${run}: ${format(scroll.last - scroll.first, 1)} ms from the first frame to the last, ` +
      `${scroll.seen} of 60 frames taken in by the terminal`);
    lengths.push(scroll.last - scroll.first);
    fewestSeen = Math.min(fewestSeen, scroll.seen);
  }
  const real = median(lengths);
  const drift = (real - planned) / planned * 100;
  row('screen change scroll, real (vs planned)', ms(real), `${planned} ms planned`,
    `${drift >= 0 ? '+' : ''}${format(drift, 1)} %`, `within ${kDriftGoalPercent} %`,
    met(Math.abs(drift) <= kDriftGoalPercent));
  row(`  scroll frames seen, fewest of ${kPacingRuns} runs`, `${fewestSeen} of 60`, '-', '-', '-', '-');
}

// --- all of them ---

mkdirSync(join(work, 'echo'), { recursive: true });
writeFileSync(join(work, 'echo', 'index.html'), kEchoPage);
const browser = await startChromium(process.env.CHESSRPG_CHROMIUM);
const server = await serveFolder(work);
console.log(`Chromium ${browser.version()}, headless; pages served gzip from ${server.url}; load average ` +
  loadavg().map((load) => format(load, 2)).join(' '));
// CHESSRPG_WEB_BENCH_PARTS: some of load, keys, cpu, pacing, scroll
// (comma-separated) to measure only those; all of them by default.
const parts = (process.env.CHESSRPG_WEB_BENCH_PARTS || 'load,keys,cpu,pacing,scroll').split(',');
let failed = false;
for (const [part, what, measure] of [
  ['load', 'page load', async () => {
    const pageLoadBytes = await measureLoad(browser, server);
    await measureLaterLoads(browser, server);
    reportTransfer(pageLoadBytes, await measureFirstVisit(browser, server));
  }],
  ['keys', 'key to screen', () => measureKeys(browser, server)],
  ['cpu', 'CPU while waiting', () => measureCpu(browser, server)],
  ['pacing', 'pacing', () => measurePacing(browser, server)],
  ['scroll', 'scroll', () => measureScroll(browser, server)],
]) {
  if (!parts.includes(part)) continue;
  try {
    await measure();
  } catch (error) {
    failed = true;
    console.log(`${what}: not measured: ${error.message.split('\n')[0]}`);
  }
}
await browser.close();
await server.close();
process.exit(failed ? 1 : 0);
