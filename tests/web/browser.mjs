// Headless Chromium for the browser tests and benchmarks: started the way
// this machine needs it (no sandbox, no GPU, nothing that reaches out to the
// network), with pages that carry the screen watcher.
import { createRequire } from 'node:module';
import { readFileSync } from 'node:fs';

const require = createRequire(new URL('../../web/package.json', import.meta.url));
const { chromium } = require('playwright-core');
const watcher = readFileSync(new URL('./screen_watch.js', import.meta.url), 'utf8');

export const kChromiumArgs = [
  '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
];

// Playwright gives each launch a new empty profile folder of its own; env
// adds to the environment it runs in.
export function startChromium(executablePath, env = {}) {
  return chromium.launch({ executablePath, headless: true, args: kChromiumArgs, env: { ...process.env, ...env } });
}

// A page of its own context (options as Playwright's newContext takes them)
// with the screen watcher, at the address; prepare(page) runs before it loads,
// which is over when `waitUntil` says (as Playwright's goto takes it).
export async function openGame(browser, address, options = {}, prepare = null, waitUntil = 'load') {
  const context = await browser.newContext({ viewport: { width: 1000, height: 800 }, ...options });
  await context.addInitScript(watcher);
  const page = await context.newPage();
  if (prepare) await prepare(page);
  const errors = [];
  page.on('pageerror', (error) => errors.push(String(error)));
  page.errors = errors;
  await page.goto(address, { waitUntil });
  return page;
}

// The screen now, one text per row.
export const screenRows = (page) => page.evaluate(() => window.screenWatch.rows());

// Waits until fn(arg) is true in the page; on a time-out fails with what
// the screen shows.
export async function until(page, what, fn, arg, timeout = 20000) {
  try {
    await page.waitForFunction(fn, arg, { timeout, polling: 20 });
  } catch (error) {
    const rows = await screenRows(page).catch(() => []);
    throw new Error(`${what}: not seen in ${timeout} ms (${error.message.split('\n')[0]}). The screen:\n` +
      rows.map((row) => '|' + row.trimEnd()).join('\n'));
  }
}

// Waits until the promise fn(arg) gives in the page is true (waitForFunction
// takes a promise itself for true), polling; fails on a time-out.
export async function untilResolved(page, what, fn, arg, timeout = 20000) {
  const deadline = Date.now() + timeout;
  while (!(await page.evaluate(fn, arg))) {
    if (Date.now() > deadline) throw new Error(`${what}: not seen in ${timeout} ms`);
    await new Promise((resolve) => { setTimeout(resolve, 50); });
  }
}
