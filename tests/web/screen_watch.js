// Put into the page before its own scripts by the browser tests and
// benchmarks. From the first write on, each time the terminal has taken in
// what the program wrote, it reads the screen from xterm.js's buffer
// (one text per row: each cell's character, a wide character once, blanks as
// blanks) and notes what the tests look for, with the time it first showed.
// While the terminal loads, the page shows the game as text of its own
// (window.chessrpgPoster: its cells, row by row); that is the screen then.
(() => {
  const kColumns = 80;
  const watch = {
    writes: 0,
    lastRows: null,
    wanted: [],            // texts to look for anywhere on the screen
    seenAt: new Map(),     // text (or 'frame') -> performance.now() when first seen
    shownAt: new Map(),    // the same, when the screen was first drawn after that
    checks: [],            // functions (rows, ms) called after every write or drawing of the page's text
    terminalDrawn: false,  // the terminal has drawn the game in place of the page's text
  };
  // The page's text of the game while it shows (window.chessrpgPoster), null
  // once the terminal has drawn the game in its place.
  let poster = null;
  // Rows to look for from the top of the screen, noted as 'frame':
  // window.expectedFrame, which a test may set before the page loads.

  function readRows() {
    const term = window.chessrpgTerminal;
    const buffer = term.buffer.active;
    const rows = [];
    for (let y = 0; y < term.rows; ++y) {
      const line = buffer.getLine(y);
      let text = '';
      for (let x = 0; x < kColumns; ++x) {
        const cell = line && line.getCell(x);
        if (!cell) {
          text += ' ';
        } else if (cell.getWidth() > 0) {
          text += cell.getChars() || ' ';
        }
      }
      rows.push(text);
    }
    return rows;
  }

  // A benchmark that must not run scripts in the page while it loads waits
  // for this console line instead.
  function noteRender() {
    const ms = performance.now();
    for (const key of watch.seenAt.keys()) {
      if (watch.shownAt.has(key)) continue;
      watch.shownAt.set(key, ms);
      if (key === 'frame') console.debug('screen watch: frame shown');
    }
  }

  // The rows of the page's text of the game, from its cells ('' for the
  // right half of a wide character).
  const posterRows = (poster) => poster.cells.map((row) => row.join(''));

  // Notes what the screen shows now, whichever draws it.
  function note(rows) {
    const ms = performance.now();
    if (watch.facesAtFirstWrite === undefined) {
      // Which of the page's own font faces had loaded when the game first drew.
      watch.facesAtFirstWrite = [...document.fonts].map((face) => `${face.family} ${face.weight} ${face.status}`);
    }
    watch.lastRows = rows;
    for (const text of watch.wanted) {
      if (!watch.seenAt.has(text) && rows.some((row) => row.includes(text))) watch.seenAt.set(text, ms);
    }
    const frame = window.expectedFrame;
    if (frame && !watch.seenAt.has('frame') && frame.every((row, y) => rows[y] === row)) {
      watch.seenAt.set('frame', ms);
    }
    for (const check of watch.checks) check(rows, ms);
  }

  function look() {
    if (watch.writes === 0) {
      watch.firstWriteAt = performance.now();
      window.chessrpgTerminal.onRender(noteRender);
    }
    watch.writes += 1;
    note(readRows());
  }

  // Blank rows until the page shows the game.
  watch.rows = () => (poster ? posterRows(poster) : window.chessrpgTerminal ? readRows() : new Array(22).fill(''));
  watch.lookFor = (texts) => { for (const text of texts) if (!watch.wanted.includes(text)) watch.wanted.push(text); };
  watch.seen = (text) => watch.seenAt.has(text);
  // The character at column x of row y ('' on the right half of a wide one).
  watch.at = (x, y) => {
    if (poster) return poster.cells[y][x];
    return window.chessrpgTerminal ? window.chessrpgTerminal.buffer.active.getLine(y).getCell(x).getChars() : ' ';
  };
  // Columns [from, to) of row y, a wide character once.
  watch.textAt = (y, from, to) => {
    if (poster) return poster.cells[y].slice(from, to).join('');
    if (!window.chessrpgTerminal) return ' '.repeat(to - from);
    const line = window.chessrpgTerminal.buffer.active.getLine(y);
    let text = '';
    for (let x = from; x < to; ++x) {
      const cell = line.getCell(x);
      if (cell.getWidth() > 0) text += cell.getChars() || ' ';
    }
    return text;
  };
  watch.shows = (text) => watch.rows().some((row) => row.includes(text));

  // The page names its terminal window.chessrpgTerminal as soon as it has
  // made it; from then on each write to it is looked at once it is in.
  let terminal = null;
  Object.defineProperty(window, 'chessrpgTerminal', {
    configurable: true,
    get() { return terminal; },
    set(value) {
      terminal = value;
      const write = value.write.bind(value);
      value.write = (data, callback) => write(data, () => {
        look();
        if (callback) callback();
      });
    },
  });
  // The page's text of the game is drawn in the animation frame that sets it.
  Object.defineProperty(window, 'chessrpgPoster', {
    configurable: true,
    get() { return poster; },
    set(value) {
      poster = value;
      if (value) {
        note(posterRows(value));
        noteRender();
      } else if (!watch.terminalDrawn) {
        watch.terminalDrawn = true;
        console.debug('screen watch: terminal drawn');
      }
    },
  });
  window.screenWatch = watch;
})();
