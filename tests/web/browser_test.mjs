// The browser build in headless Chromium, the screen read through xterm.js's
// buffer: the shipped world's first field frame cell for cell and a walk into
// the next screen, an encounter with the target choice and a flee, a won
// battle with the level-up window, the fatal stop and the page's offer to
// start again, the page opened from the file system, the pad on a touch
// screen, and saves in the browser's storage (continued, refused when damaged,
// set aside by a confirmed new journey, left alone by a second tab, and a
// full storage).
// tests/web/run.sh builds the sites and runs this file.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';

import { openGame, screenRows, startChromium, until } from './browser.mjs';
import { serveFolder } from './static_server.mjs';

const work = process.env.CHESSRPG_WEB_WORK;
const reference = JSON.parse(readFileSync(join(work, 'first_frame.json'), 'utf8'));
const shiftJis = new TextDecoder('shift_jis');

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

const siteAddress = (site) => `${server.url}sites/${site}/index.html`;

// Row `row` of a layout of the site's world as the screen shows it.
function layoutRow(site, screen, row) {
  const bytes = readFileSync(join(work, site, 'data', 'map_form', 'map1', `${screen}.txt`));
  return shiftJis.decode(bytes).split(/\r?\n/)[row].trimEnd();
}

const press = async (page, ...keys) => {
  for (const key of keys) await page.keyboard.press(key);
};
const shows = (text) => window.screenWatch.shows(text);
const showsAll = (texts) => texts.every((text) => window.screenWatch.shows(text));
const seen = (texts) => texts.every((text) => window.screenWatch.seen(text));

async function expectFirstFrame(page) {
  await until(page, 'the first field frame, cell for cell, drawn by the terminal', () =>
    window.screenWatch.seen('frame') && window.screenWatch.terminalDrawn);
}

test('the shipped world: the first field frame cell for cell, its key help, a walk into screen 2, and Ctrl+C', async () => {
  const page = await openGame(browser, server.url + 'dist/index.html', {}, (page) =>
    page.addInitScript((frame) => { window.expectedFrame = frame; }, reference.frame));
  await expectFirstFrame(page);
  // The key help names the keys of the keyboard and the pad, and not Ctrl+C
  // (the arrows are drawn one column wide, each with a blank after it).
  const rows = await screenRows(page);
  assert.deepEqual([rows.length, rows[21].trimEnd()], [22, '↑ ↓ ← →  移動']);

  // The page's font draws a Japanese character two cells wide and ASCII one.
  const widths = await page.evaluate(() => {
    const options = window.chessrpgTerminal.options;
    const context = document.createElement('canvas').getContext('2d');
    context.font = `${options.fontSize}px ${options.fontFamily}`;
    return { ascii: context.measureText('M').width, japanese: context.measureText('家').width };
  });
  assert.ok(Math.abs(widths.japanese - 2 * widths.ascii) < 0.05, `widths ${JSON.stringify(widths)}`);

  // 14 full steps to column 56, one column to 57, then into screen 2.
  for (let i = 0; i < 16; ++i) await press(page, 'ArrowRight');
  const top = layoutRow('dist', 2, 1);
  await until(page, 'screen 2, the hero at its left edge on row 10',
    (top) => window.screenWatch.rows()[1].trimEnd() === top && window.screenWatch.rows()[10].startsWith('●'), top);

  // Ctrl+C ends the game, as on the terminal; the page offers to start again.
  await press(page, 'Control+C');
  await page.waitForSelector('#ended', { state: 'visible', timeout: 5000 });
  assert.equal(await page.getAttribute('#ended', 'data-status'), '0');
  assert.deepEqual(page.errors, []);
  await page.context().close();
});

test('an encounter, the target choice and a flee, on a small world', async () => {
  const page = await openGame(browser, siteAddress('flee'));
  await page.evaluate(() => window.screenWatch.lookFor(['主人公の「にげる」..........', 'にげることに成功しました。']));
  await until(page, 'the battle screen', showsAll, ['Enemy View', 'たたかう', 'にげる']);
  const pawn = shiftJis.decode(readFileSync(join(work, 'sites/flee/data/Enemy_Info/Pawn_Status_Info.txt')))
    .split(/\s+/)[2];
  assert.ok((await screenRows(page)).slice(0, 13).some((row) => row.includes(pawn)), `no ${pawn} in the enemy view`);
  // The game's two looks on black, as the Windows console shows them: the
  // frame's text light grey (palette 7), the current HP bright white (15) and bold.
  await until(page, 'the hero\'s HP', shows, 'HP : 40 / 40');
  const looks = await page.evaluate(() => {
    const term = window.chessrpgTerminal;
    const buffer = term.buffer.active;
    const lookAfter = (word) => {
      for (let y = 0; y < term.rows; ++y) {
        const line = buffer.getLine(y);
        let text = '';
        const columns = [];
        for (let x = 0; x < term.cols; ++x) {
          const cell = line.getCell(x);
          if (cell.getWidth() === 0) continue;
          text += cell.getChars() || ' ';
          columns.push(x);
        }
        const at = text.indexOf(word);
        if (at < 0) continue;
        const cell = line.getCell(columns[at + word.length]);
        return [cell.getChars(), cell.isFgPalette() ? cell.getFgColor() : -1,
          cell.isBgPalette() ? cell.getBgColor() : -1, Boolean(cell.isBold())];
      }
      return null;
    };
    return { frame: lookAfter('Enemy '), hp: lookAfter('HP : ') };
  });
  assert.deepEqual(looks.frame, ['V', 7, 0, false]);
  assert.deepEqual(looks.hp, ['4', 15, 0, true]);

  // Fight opens the target choice; Space leaves it for the command menu.
  await press(page, 'Enter');
  await until(page, 'the target choice', shows, '対　象　の　選　択');
  await press(page, 'Space');
  await until(page, 'the target choice closed', (text) => !window.screenWatch.shows(text), '対　象　の　選　択');

  // Flee is the fourth command.
  await press(page, 'ArrowDown', 'ArrowDown', 'ArrowDown', 'Enter');
  await until(page, 'the flee announced and reported', seen,
    ['主人公の「にげる」..........', 'にげることに成功しました。']);
  await until(page, 'the field without the Pawn', (pawn) => window.screenWatch.shows('small field of the battle')
    && window.screenWatch.shows('●') && !window.screenWatch.shows(pawn) && !window.screenWatch.shows('Enemy View'),
  pawn);
  assert.deepEqual(page.errors, []);
  await page.context().close();
});

test('a won battle shows the level-up window, on a small world', async () => {
  const page = await openGame(browser, siteAddress('win'));
  const messages = ['相手を倒しました。', '主人公がレベルアップしました。', 'バトルに勝ちました。'];
  await page.evaluate((messages) => window.screenWatch.lookFor(messages), messages);
  await until(page, 'the battle screen', showsAll, ['Enemy View', 'たたかう']);
  await press(page, 'Enter');
  await until(page, 'the target choice', shows, '対　象　の　選　択');
  await press(page, 'Enter');
  await until(page, 'the ability list', shows, 'Ability');
  await press(page, 'Enter');
  await until(page, 'the Knight felled and the level-up announced', seen, messages.slice(0, 2));
  // The window's title, its labels, and level 2 risen into place.
  await until(page, 'the level-up window with level 2', () => {
    const rows = window.screenWatch.rows();
    const labels = ['レベル', '体力', '攻撃力', '防御力', '魔法攻撃力', '魔法防御力', '素早さ', '経験値'];
    return rows.some((row) => row.includes('勇者 - LEVEL UP + STATUS UP -')) &&
      labels.every((label) => rows.some((row) => row.includes(label) && row.includes('<=='))) &&
      rows.some((row) => row.includes('レベル') && row.includes('<==') && /\+1 +: {5}2( |$)/.test(row));
  });
  await until(page, 'the closing message', seen, messages.slice(2));
  await until(page, 'the field again', () => window.screenWatch.shows('small field of the battle') &&
    !window.screenWatch.shows('Enemy View'));
  assert.deepEqual(page.errors, []);
  await page.context().close();
});

test('the fatal stop: four lines, and after 30 s the page offers to start again', async () => {
  // The page's clock is Playwright's, moved on at will.
  const page = await openGame(browser, siteAddress('fatal'), {}, (page) => page.clock.install());
  const lines = [
    'ファイルが存在しないため情報の初期化に失敗しました。',
    'ファイルが実行ファイルと同じディレクトリ内にあるか確認してください。',
    'ファイルが見つからない場合はもう一度ダウンロードしてください。',
    ' 30 秒後に強制終了しますので手動で閉じないでください。',
  ];
  await until(page, 'the four lines of the stop', (lines) =>
    lines.every((line, row) => window.screenWatch.rows()[row].trimEnd() === line), lines);
  await page.clock.fastForward(28000);
  assert.equal(await page.isVisible('#ended'), false, 'the game ended before its 30 s');
  await page.clock.fastForward(3000);
  await page.waitForSelector('#ended', { state: 'visible', timeout: 5000 });
  const said = await page.textContent('#ended');
  assert.match(said, /The game has ended/);
  for (const line of lines) assert.ok(said.includes(line.trim()), `the page does not repeat "${line}"`);
  assert.match(said, /ファイル: http:\/\/127\.0\.0\.1:\d+\/sites\/fatal\/data\/Hero_Info\/Hero_Status_Info\.txt/);
  // Starting again loads the game anew, which stops the same way.
  await page.click('#restart');
  await until(page, 'the stop again after starting again', (line) =>
    window.screenWatch.rows()[0].trimEnd() === line, lines[0]);
  assert.deepEqual(page.errors, []);
  await page.context().close();
});

test('opened from the file system, the game starts as it does when served', async () => {
  const address = pathToFileURL(join(work, 'dist', 'index.html')).href;
  const page = await openGame(browser, address, {}, (page) =>
    page.addInitScript((frame) => { window.expectedFrame = frame; }, reference.frame));
  await expectFirstFrame(page);
  assert.deepEqual(page.errors, []);
  await page.context().close();
});

test('on a touch screen the pad walks the hero and the game fits the width', async () => {
  const phone = { viewport: { width: 412, height: 915 }, hasTouch: true, isMobile: true, deviceScaleFactor: 2 };
  const page = await openGame(browser, server.url + 'dist/index.html', phone, (page) =>
    page.addInitScript((frame) => { window.expectedFrame = frame; }, reference.frame));
  await expectFirstFrame(page);
  assert.equal(await page.isVisible('#pad'), true, 'no pad on a touch screen');
  const width = await page.evaluate(() => window.chessrpgTerminal.element.getBoundingClientRect().width);
  assert.ok(width <= 412, `the terminal is ${width} px wide on a 412 px screen`);
  const [heroX, heroY] = reference.hero;
  await page.tap('#pad [data-key="right"]');
  await until(page, 'the hero a step to the right', ([x, y]) =>
    window.screenWatch.at(x, y) !== '●' && [1, 2].some((step) => window.screenWatch.at(x + step, y) === '●'),
  [heroX, heroY]);
  assert.deepEqual(page.errors, []);
  await page.context().close();
});

// --- saves in the browser's storage, on the shipped world with nothing roaming ---
const screenTop = (screen) => layoutRow('sites/calm', screen, 1);
const heroAt = ([x, y, top]) => window.screenWatch.rows()[1].trimEnd() === top && window.screenWatch.at(x, y) === '●';
const heroAtStart = () => [...reference.hero, screenTop(1)];
async function walkIntoScreen2(page) {
  await until(page, 'the hero at his start', heroAt, heroAtStart());
  for (let i = 0; i < 16; ++i) await press(page, 'ArrowRight');
  await until(page, 'screen 2, the hero at its left edge', heroAt, [0, 10, screenTop(2)]);
}
// The save, the journey set aside last and the first bad copy, as localStorage holds them.
async function storedSaves(page) {
  const items = Object.entries(await page.evaluate(() => ({ ...localStorage })));
  const find = (pattern) => items.find(([key]) => pattern.test(key))?.[1];
  return { save: find(/^chessrpg\/save-[0-9a-f]{16}\.txt$/), aside: find(/\.aside-1\.txt$/), bad: find(/\.bad-1\.txt$/) };
}
// A save's screen and the hero's column and row (items 24, 21 and 22).
const savedPlace = (text) => [23, 20, 21].map((item) => Number(text.split(/\s+/)[item]));
async function endGame(page) {
  await press(page, 'Control+C');
  await page.waitForSelector('#ended', { state: 'visible', timeout: 5000 });
  return page.textContent('#left-lines');
}
// With a journey saved the game asks first; the first choice continues it.
const kQuestion = 'セーブした冒険があります。';
async function answer(page, ...keys) {
  await until(page, 'the question about the saved journey', shows, kQuestion);
  await press(page, ...keys);
}
async function closeClean(page) {
  assert.deepEqual(page.errors, []);
  await page.context().close();
}

test('a save in the browser: after a reload, Continue puts the hero back on his screen and cell', async () => {
  const page = await openGame(browser, siteAddress('calm'));
  await walkIntoScreen2(page);
  assert.deepEqual(savedPlace((await storedSaves(page)).save), [2, 0, 10], 'no save at the screen change');
  // A step on, saved as the page goes away.
  await press(page, 'ArrowRight');
  await until(page, 'a step on', heroAt, [2, 10, screenTop(2)]);
  await page.reload();
  // Continue is the first choice: Enter takes it.
  await answer(page, 'Enter');
  await until(page, 'the hero back on screen 2, column 2', heroAt, [2, 10, screenTop(2)]);
  assert.match(await endGame(page), /^進行状況を保存しました。続きから遊ぶには: このページをもう一度開く（Play again）$/);
  await closeClean(page);
});

test('a damaged save is refused in one line and kept aside, and a new game starts', async () => {
  const page = await openGame(browser, siteAddress('calm'));
  await walkIntoScreen2(page);
  await endGame(page);
  // Max HP changed behind the game's back: the check no longer matches.
  const damaged = await page.evaluate(() => {
    const key = Object.keys(localStorage)[0];
    localStorage.setItem(key, localStorage.getItem(key).replace('\n40 ', '\n99 '));
    return localStorage.getItem(key);
  });
  await page.click('#restart');
  await answer(page, 'Enter');
  await until(page, 'the refusal on the hint line', shows, 'セーブを読み込めないため新しいゲームを始めます: item 27: check ');
  await until(page, 'a new game', heroAt, heroAtStart());
  // Until the new game's first save the damaged one stays, beside its copy.
  assert.deepEqual(await storedSaves(page), { save: damaged, aside: undefined, bad: damaged });
  await closeClean(page);
});

test('a new journey is asked once more and sets the one saved aside', async () => {
  const page = await openGame(browser, siteAddress('calm'));
  await walkIntoScreen2(page);
  await press(page, 'ArrowRight');
  await endGame(page);
  const old = (await storedSaves(page)).save;
  await page.reload();
  await answer(page, 'ArrowDown', 'Enter');
  await until(page, 'the question once more', shows, 'セーブした冒険は控えに移ります。');
  await press(page, 'ArrowDown', 'Enter');
  await until(page, 'a new game', heroAt, heroAtStart());
  assert.equal((await storedSaves(page)).save, old, 'the save was replaced before the first safe point');
  await walkIntoScreen2(page);
  const saves = await storedSaves(page);
  assert.deepEqual([saves.aside, savedPlace(old), savedPlace(saves.save)], [old, [2, 2, 10], [2, 0, 10]]);
  assert.match(await endGame(page), /控えに移した前の冒険: chessrpg\/save-[0-9a-f]{16}\.aside-1\.txt/);
  await closeClean(page);
});

test('two tabs on one save: the second plays without saving and says so', async () => {
  const page = await openGame(browser, siteAddress('calm'));
  await walkIntoScreen2(page);
  const saved = (await storedSaves(page)).save;
  const second = await page.context().newPage();
  second.errors = [];
  second.on('pageerror', (error) => second.errors.push(String(error)));
  await second.goto(siteAddress('calm'));
  await answer(second, 'Enter');
  const line = 'この冒険はほかのゲームで遊ばれているため、このゲームでは保存しません。';
  await until(second, 'the line that the journey is open in another tab', shows, line);
  await press(second, 'ArrowRight');
  await until(second, 'a step on', heroAt, [2, 10, screenTop(2)]);
  assert.equal(await endGame(second), line);
  assert.equal((await storedSaves(page)).save, saved, 'the second tab changed the save');
  assert.deepEqual(second.errors, []);
  await closeClean(page);
});

test('a journey recorded in the page, downloaded and opened again, replays to its last screen', async () => {
  const page = await openGame(browser, siteAddress('calm'));
  await walkIntoScreen2(page);
  await press(page, 'ArrowDown', 'ArrowRight', 'ArrowRight');
  await until(page, 'two steps on screen 2', heroAt, [4, 11, screenTop(2)]);
  const played = (await screenRows(page)).slice(0, 20);
  await endGame(page);
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('#record-download')]);
  const recording = readFileSync(await download.path());
  assert.match(recording.toString('utf8'), /\ne [^\n]*\n$/, 'the recording ends where the game ended');
  await page.setInputFiles('#replay-file', { name: 'journey.rec', mimeType: 'text/plain', buffer: recording });
  await until(page, 'the end of the replay', shows, '再生が終わりました。');
  assert.deepEqual((await screenRows(page)).slice(0, 20), played);
  await closeClean(page);
});

test('a full storage: the game plays on and says once that it cannot save', async () => {
  const page = await openGame(browser, siteAddress('calm'), {}, (page) => page.addInitScript(() => {
    Storage.prototype.setItem = () => { throw new DOMException('full', 'QuotaExceededError'); };
  }));
  const line = "進行状況を保存できません: the browser's storage for this page is full";
  await walkIntoScreen2(page);
  await until(page, 'the line on the hint row', shows, line);
  assert.equal(await endGame(page), line);
  await closeClean(page);
});
