// The page around the game: the terminal it draws on (xterm.js) in the page's
// own font, sized to the window, its keys and the on-screen pad, the data tree
// it reads, its saves (the game itself asks whether to continue a journey
// saved), what shows once it has ended, and the service worker that lets it
// start with no network.
// The program (chessrpg.js, built from platform/web.cpp) calls the functions
// of `page` below; the ones that wait return promises, during which the
// program is suspended and the browser is free.
//
// Loading runs side by side: the program's WebAssembly compiles as it comes
// in (index.html starts it), this script loads the program's script at once
// and starts the game as soon as it is compiled. Until the terminal has drawn
// the game, the page shows the game's screen as text of its own, cell for
// cell where the terminal draws it, and takes the keys itself. xterm.js comes
// in meanwhile (index.html preloads it) but runs only once the game first
// waits, for a key or for a while, with its screen shown: evaluating it and
// opening the terminal take the page's only thread for a while, which the
// game's start needs more. The terminal then takes in what the game wrote,
// and takes over.
'use strict';

(function () {
  // The game's rows and the key help below them.
  const kColumns = 80;
  const kRows = 22;
  // Japanese at exactly two cells and ASCII at one: the page's own font
  // (page.css), which holds every character of the game's texts and the
  // shipped data; for what an edited data tree adds, the system's monospaced
  // CJK fonts, the browser's monospace last.
  const kOwnFont = 'ChessRPG Mono';
  const kFonts = `"${kOwnFont}", "Noto Sans Mono CJK JP", "VL Gothic", "IPAGothic", "MS Gothic", ` +
    '"Osaka-Mono", monospace';
  // Past this the terminal starts without the font rather than not at all.
  const kFontWaitMs = 3000;
  // The font's size: at least legible, at most comfortable on a large screen.
  const kSmallestFontPx = 7;
  const kLargestFontPx = 36;
  // What the arrows, Enter and Space send, as a terminal sends them.
  const kPadKeys = {
    up: '\x1b[A', down: '\x1b[B', right: '\x1b[C', left: '\x1b[D', enter: '\r', space: ' ',
  };
  const kPadRepeatDelayMs = 400;
  const kPadRepeatMs = 110;
  const kQuitKey = 3;  // Ctrl+C ends the game, even in the middle of a pause
  // What the keyboard's keys send before the terminal has opened, as it sends them.
  const kTerminalKeys = {
    ArrowUp: '\x1b[A', ArrowDown: '\x1b[B', ArrowRight: '\x1b[C', ArrowLeft: '\x1b[D', Enter: '\r',
    Escape: '\x1b', Backspace: '\x7f', Tab: '\t',
  };
  // The marks in the program's text of the screen (platform/screen_text.h).
  const kBrightMark = '\x01';
  const kNormalMark = '\x02';
  const kWideMark = '\x03';

  const shiftJis = new TextDecoder('shift_jis');
  const utf8 = new TextEncoder();
  const element = (id) => document.getElementById(id);
  let term = null;
  let touchScreen = false;  // a phone's or a tablet's: the pad is its keyboard

  // --- the data tree: data/ as the game ships it, packed into data.js at
  // build time, which loads in one piece, also from the file system ---
  function readDataTree() {
    const packed = window.chessrpgData || {};
    return Object.keys(packed).map((path) => {
      const binary = atob(packed[path]);
      const bytes = new Uint8Array(binary.length);
      for (let i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
      return [path, bytes];
    });
  }

  // --- saves: the game's state files, items of the page's localStorage
  // holding their bytes one character per byte (platform/web_save_files.cpp
  // says why localStorage) ---
  const kStatePrefix = 'chessrpg/';
  // The data tree's path as the game asks for it: the data folder's address,
  // the same for ".../" and ".../index.html" and whatever the query or
  // fragment (the saves of earlier versions were named after it).
  const dataTreePath = () => new URL('data', location.href).href;
  // Why the browser would not, in one line for the player: the error's name
  // only, since its message may be in the player's language.
  function storageRefusal(error) {
    if (error && error.name === 'QuotaExceededError') return "the browser's storage for this page is full";
    return `the browser refuses to keep data (${(error && error.name) || 'no storage'})`;
  }
  // { bytes, why }: bytes null when there is no such file, why "" unless the
  // browser refused.
  function readState(name) {
    try {
      const text = window.localStorage.getItem(kStatePrefix + name);
      return { bytes: text === null ? null : Uint8Array.from(text, (c) => c.charCodeAt(0)), why: '' };
    } catch (error) {
      return { bytes: null, why: storageRefusal(error) };
    }
  }
  function writeState(name, bytes) {
    let text = '';
    for (let i = 0; i < bytes.length; i += 8192) text += String.fromCharCode(...bytes.subarray(i, i + 8192));
    try {
      window.localStorage.setItem(kStatePrefix + name, text);
      return '';
    } catch (error) {
      return storageRefusal(error);
    }
  }

  // --- keys: bytes as the terminal sends them, until the program takes them ---
  const keys = [];
  let keyWaiter = null;
  let sleepWaker = null;
  function pushKeys(bytes) {
    for (const byte of bytes) keys.push(byte);
    if (keyWaiter) keyWaiter();
    if (sleepWaker && bytes.includes(kQuitKey)) sleepWaker();
  }

  // Resumes the program in a task of its own: a timer set from a timer's
  // callback again and again would be held back to 4 ms by the browser.
  const hops = [];
  const channel = new MessageChannel();
  channel.port1.onmessage = () => hops.shift()();
  function hop(resume) {
    hops.push(resume);
    channel.port2.postMessage(0);
  }

  // --- what the game leaves to say once it has ended ---
  const leftLines = [];
  const decode = (bytes) => shiftJis.decode(bytes);

  // What the game writes before the terminal has opened, for it to take in
  // when it opens.
  const earlyWrites = [];

  const page = {
    write(bytes) {
      if (term) {
        term.write(bytes);
      } else {
        earlyWrites.push(bytes);
        askForPoster();
      }
    },
    takeKeys(heap, at, capacity) {
      const count = Math.min(capacity, keys.length);
      heap.set(keys.splice(0, count), at);
      return count;
    },
    // Until keys come, or timeoutMs passes (-1: no time limit; 0: the
    // program only lets the page have its turn).
    waitForKeys(timeoutMs) {
      if (timeoutMs !== 0) gameWaited();
      return new Promise((resolve) => {
        if (keys.length > 0 || timeoutMs === 0) {
          hop(resolve);
          return;
        }
        let timer = 0;
        keyWaiter = () => {
          keyWaiter = null;
          clearTimeout(timer);
          resolve();
        };
        if (timeoutMs > 0) {
          timer = setTimeout(() => {
            keyWaiter = null;
            hop(resolve);
          }, Math.ceil(timeoutMs));
        }
      });
    },
    // Until the clock (performance.now) reaches the deadline, never earlier,
    // unless the player ends the game meanwhile.
    sleepUntil(deadlineMs) {
      gameWaited();
      return new Promise((resolve) => {
        const wait = Math.ceil(deadlineMs - performance.now());
        if (wait <= 0) {
          hop(resolve);
          return;
        }
        const timer = setTimeout(() => {
          sleepWaker = null;
          hop(resolve);
        }, wait);
        sleepWaker = () => {
          sleepWaker = null;
          clearTimeout(timer);
          resolve();
        };
      });
    },
    leaveLine(bytes) { leftLines.push(decode(bytes)); },
    leaveCommand(label, command) { leftLines.push(decode(label) + command); },
    leavePath(label, path) {
      const address = new URL('data/' + path.split('/').map(encodeURIComponent).join('/'), location.href);
      leftLines.push(decode(label) + decodeURI(address.href));
    },
    dataTreePath,
    readState,
    writeState,
    leaveStatePath(label, name) {
      const site = location.origin === 'null' ? 'pages opened from files' : location.origin;
      leftLines.push(`${decode(label)}${kStatePrefix}${name} (this browser's storage for ${site})`);
    },
    // Playing again is loading the page again: the game asks then, as at
    // any start, whether to continue a journey saved.
    ended(status) {
      element('left-lines').textContent = leftLines.join('\n');
      element('ended').hidden = false;
      element('ended').dataset.status = String(status);
      element('restart').focus();
    },
  };

  // --- offline: the service worker keeps the build's files (web/sw.js).
  // Pages opened from the file system have none and need none. A new build's
  // worker takes over as soon as it is installed: a page whose game has not
  // started by then loads again, lest its files come from two builds; one
  // that has started has all it needs ---
  const kWorkerDelayMs = 1000;  // out of the way of the game's start
  let gameStarted = false;
  if (location.protocol !== 'file:' && navigator.serviceWorker) {
    navigator.serviceWorker.addEventListener('controllerchange', () => { if (!gameStarted) location.reload(); });
    window.addEventListener('load', () => setTimeout(() => {
      navigator.serviceWorker.register('sw.js').catch((error) => console.warn(`no offline play: ${error}`));
    }, kWorkerDelayMs));
  }

  // --- the program: its WebAssembly compiled while the page loads, its
  // script loaded now; the game starts as soon as both are in, with the data
  // tree, whether the terminal has opened or not ---
  let terminalIsReady = null;
  const terminalReady = new Promise((resolve) => { terminalIsReady = resolve; });
  const programFailed = (what) => {
    startTerminal();
    terminalReady.then(() => term.write(`The game (${what}) could not be loaded.\r\n`));
  };
  function loadScript(src) {
    return new Promise((resolve, reject) => {
      const script = document.createElement('script');
      script.src = src;
      script.onload = resolve;
      script.onerror = reject;
      document.head.appendChild(script);
    });
  }
  // The compiled module: index.html's streaming compile, else (a server that
  // does not name the file application/wasm) from its bytes; a page opened
  // from the file system may not fetch, and has the bytes in a script.
  function compiledProgram() {
    return (window.chessrpgCompiled || Promise.resolve(null)).then((module) => {
      if (module) return module;
      if (location.protocol === 'file:') {
        return loadScript('chessrpg-wasm.js').then(() =>
          WebAssembly.compile(Uint8Array.from(atob(window.chessrpgWasmBase64), (c) => c.charCodeAt(0))));
      }
      return fetch('chessrpg.wasm').then((response) => {
        if (!response.ok) throw new Error(`chessrpg.wasm: ${response.status}`);
        return response.arrayBuffer();
      }).then((bytes) => WebAssembly.compile(bytes));
    });
  }
  const programCompiled = compiledProgram();
  // Every journey is recorded into the page's memory; a recording the player
  // chose to watch comes through the session's storage across the reload
  // that starts the program afresh.
  const kJourneyPath = '/journey.rec';
  const kReplayPath = '/replay.rec';
  const kReplayKey = 'chessrpg-replay';
  const replayText = sessionStorage.getItem(kReplayKey);
  sessionStorage.removeItem(kReplayKey);
  window.Module = {
    page,
    arguments: replayText === null ? ['--record', kJourneyPath] : ['--replay', kReplayPath],
    instantiateWasm(imports, receiveInstance) {
      programCompiled.then((module) => WebAssembly.instantiate(module, imports)).then((instance) => {
        performance.mark('chessrpg: program compiled');
        receiveInstance(instance);
      }, (error) => {
        console.warn(`the program: ${error}`);
        programFailed('chessrpg.wasm');
      });
      return {};
    },
    preRun: [(module) => {
      const fs = module.FS;
      fs.mkdirTree('/data');
      for (const [path, bytes] of readDataTree()) {
        if (path.includes('/')) fs.mkdirTree('/data/' + path.slice(0, path.lastIndexOf('/')));
        fs.writeFile('/data/' + path, bytes);
      }
      fs.chdir('/data');
      if (replayText !== null) fs.writeFile(kReplayPath, replayText);
      // The line the game leaves after exit names how to go on: here, the page.
      // The program's environment takes a byte a character: the text's UTF-8.
      module.ENV.CHESSRPG_COMMAND = String.fromCharCode(...utf8.encode('このページをもう一度開く（Play again）'));
      gameStarted = true;
    }],
    onRuntimeInitialized: () => performance.mark('chessrpg: game started'),
    print: (line) => console.log(line),
    printErr: (line) => console.warn(line),
  };
  loadScript('chessrpg.js').catch(() => programFailed('chessrpg.js'));

  // --- the terminal's size: 80 columns across the width there is, as long
  // as the 22 rows fit the window's height too, with the pad below the game
  // on a phone held upright and beside it held sideways ---
  // The room for the terminal, in CSS pixels.
  function terminalRoom() {
    const main = getComputedStyle(document.querySelector('main'));
    const game = element('game');
    // The layout viewport's: a phone's browser zooms out while the terminal
    // is still too wide, which changes the window's inner size meanwhile.
    let width = document.documentElement.clientWidth - 2 * parseFloat(main.paddingLeft) -
      (game.offsetWidth - game.clientWidth);
    let height = document.documentElement.clientHeight - 2 * parseFloat(main.paddingTop) -
      (game.offsetHeight - game.clientHeight);
    if (!element('pad').hidden) {
      const gap = parseFloat(getComputedStyle(element('play')).columnGap);
      const arrows = element('pad').querySelector('.arrows');
      const actions = element('pad').querySelector('.actions');
      // Beside the game when the pad's parts sit on one row with it.
      if (getComputedStyle(element('pad')).display === 'contents') {
        width -= arrows.offsetWidth + actions.offsetWidth + 2 * gap;
      } else {
        height -= element('pad').offsetHeight + gap;
      }
    }
    return { width, height };
  }
  // Text measured as xterm.js measures its cells: on a canvas, the width of
  // W and the font's height, with no layout of the page.
  const pen = (typeof OffscreenCanvas === 'function' ? new OffscreenCanvas(1, 1) :
    document.createElement('canvas')).getContext('2d');
  function measureW(fontSize) {
    pen.font = `${fontSize}px ${kFonts}`;
    const metrics = pen.measureText('W');
    return { width: metrics.width, height: metrics.fontBoundingBoxAscent + metrics.fontBoundingBoxDescent };
  }
  // A cell's width and height for each pixel of font size: measured once
  // before the terminal opens, since every change of its font size costs it
  // a new measure and new rows.
  function cellShape() {
    const cell = measureW(100);
    return { width: cell.width / 100, height: cell.height / 100 };
  }
  // The terminal's size and its cells' at a font size, in CSS pixels, worked
  // out as xterm.js does: a row is the font's height in whole device pixels.
  function terminalShape(fontSize) {
    const cell = measureW(fontSize);
    const ratio = window.devicePixelRatio || 1;
    const width = Math.round(cell.width * kColumns);
    const height = Math.round(Math.ceil(cell.height * ratio) * kRows / ratio);
    return { fontSize, width, height, cellWidth: width / kColumns, cellHeight: height / kRows,
      spacing: width / kColumns - cell.width };
  }
  // The largest font size, in eighths of a pixel and within the limits, at
  // which the terminal fits its room (its rows are whole pixels high).
  function fittingFontSize(room) {
    const cell = cellShape();
    const fontSize = Math.min(room.width / (kColumns * cell.width), Math.floor(room.height / kRows) / cell.height);
    return Math.max(kSmallestFontPx, Math.min(kLargestFontPx, Math.floor(fontSize * 8) / 8));
  }
  // Sets that size, and a smaller one while the terminal still overflows
  // (a display that rounds cells to its own pixels). The terminal opens at
  // the size worked out for it, which is not measured again then.
  function fitTerminal(room = terminalRoom(), fittingSize = fittingFontSize(room)) {
    const screen = term.element.querySelector('.xterm-screen');
    let fontSize = fittingSize;
    if (term.options.fontSize !== fontSize) term.options.fontSize = fontSize;
    for (;;) {
      const size = screen.getBoundingClientRect();
      if ((size.width <= room.width && size.height <= room.height) || fontSize <= kSmallestFontPx) break;
      fontSize -= 0.125;
      term.options.fontSize = fontSize;
    }
  }

  // --- the game before the terminal: xterm.js's loading, opening and first
  // drawing take a good part of a page load, and the game's first frames are
  // ready before them. Until the terminal has drawn what the game wrote, the
  // page shows the game's screen as the program gives it in text, in the
  // terminal's place, font, cells and colours, and takes the keys itself ---
  let fontsIn = false;          // the page's font has loaded (or is given up on)
  let posterAsked = false;      // a drawing waits for the next animation frame
  let posterShowsGame = false;  // it has shown more than a blank screen
  // Only once the game has written: the program is running then (a resize
  // may come before).
  function askForPoster() {
    if (posterAsked || !fontsIn || term || earlyWrites.length === 0) return;
    posterAsked = true;
    requestAnimationFrame(drawPoster);
  }
  // Each run of characters in a box exactly as many cells wide, so that every
  // character stands in its own cells whatever the font draws it as; bright
  // characters as the terminal draws them, bright white and bold.
  function drawPoster() {
    posterAsked = false;
    if (term) return;
    const text = window.Module.UTF8ToString(window.Module._WebPresentedText());
    const shape = terminalShape(fittingFontSize(terminalRoom()));
    const poster = document.createElement('div');
    poster.id = 'poster';
    poster.style.cssText = `font-family: ${kFonts}; font-size: ${shape.fontSize}px; width: ${shape.width}px; ` +
      `height: ${shape.height}px; letter-spacing: ${shape.spacing}px`;
    const cells = [];
    for (const line of text.split('\n').slice(0, kRows)) {
      const row = document.createElement('div');
      row.style.height = row.style.lineHeight = `${shape.cellHeight}px`;
      const rowCells = [];
      let run = '';
      let runCells = 0;
      let bright = false;
      let wide = false;
      const endRun = () => {
        if (runCells === 0) return;
        const box = document.createElement('span');
        box.textContent = run;
        box.style.width = `${runCells * shape.cellWidth}px`;
        if (bright) box.className = 'bright';
        row.appendChild(box);
        run = '';
        runCells = 0;
      };
      for (const c of line) {
        if (c === kBrightMark || c === kNormalMark) {
          endRun();
          bright = c === kBrightMark;
        } else if (c === kWideMark) {
          wide = true;
        } else {
          // ASCII runs on; any other character has a box of its own.
          const alone = c >= '\x80' || wide;
          if (alone) endRun();
          run += c;
          runCells += wide ? 2 : 1;
          rowCells.push(...(wide ? [c, ''] : [c]));
          if (alone) endRun();
          wide = false;
        }
      }
      endRun();
      poster.appendChild(row);
      cells.push(rowCells);
    }
    const shown = element('poster');
    if (shown) {
      shown.replaceWith(poster);
    } else {
      element('terminal').appendChild(poster);
    }
    // What it shows, for the browser tests, as they read the terminal's buffer.
    window.chessrpgPoster = { cells };
    posterShowsGame = posterShowsGame || /[^ \n\x01-\x03]/.test(text);
    if (waitingGame && posterShowsGame) setTimeout(startTerminal);
  }
  // The terminal has drawn the game: its text goes.
  function removePoster() {
    const poster = element('poster');
    if (poster) poster.remove();
    window.chessrpgPoster = null;
    performance.mark('chessrpg: terminal drawn');
  }
  // Keys before the terminal opens, as it would send them.
  function keyBeforeTerminal(event) {
    if (event.altKey || event.metaKey || event.isComposing) return;
    let bytes = kTerminalKeys[event.key];
    if (event.ctrlKey) {
      bytes = /^[a-z]$/i.test(event.key) ? String.fromCharCode(event.key.toUpperCase().charCodeAt(0) - 64) : undefined;
    } else if (bytes === undefined && [...event.key].length === 1) {
      bytes = event.key;
    }
    if (bytes === undefined) return;
    event.preventDefault();
    pushKeys(utf8.encode(bytes));
  }
  document.addEventListener('keydown', keyBeforeTerminal);
  window.addEventListener('resize', askForPoster);

  // The terminal starts once the game first waits (for a key, or until a
  // figure's next step) with its screen drawn, after that frame's painting
  // (the blank screen of the game's start is not it); or a while after the
  // page has loaded, whatever the game does.
  const kTerminalLatestMs = 1000;
  let waitingGame = false;
  let terminalStarted = false;
  function gameWaited() {
    waitingGame = true;
    if (!posterAsked && posterShowsGame) setTimeout(startTerminal);
  }
  function startTerminal() {
    if (terminalStarted) return;
    terminalStarted = true;
    loadScript('xterm/xterm.js').then(() => fontsLoaded).then(setUpTerminal, () => {
      console.warn('the terminal (xterm/xterm.js) could not be loaded');
    });
  }
  window.addEventListener('load', () => setTimeout(startTerminal, kTerminalLatestMs));

  // --- the pad on touch screens ---
  function startPad() {
    element('pad').hidden = false;
    for (const button of element('pad').querySelectorAll('button')) {
      const bytes = utf8.encode(kPadKeys[button.dataset.key]);
      let repeat = 0;
      const stop = () => clearTimeout(repeat);
      button.addEventListener('pointerdown', (event) => {
        event.preventDefault();
        pushKeys(bytes);
        // Held down, an arrow walks on, as a held key does.
        if (bytes.length > 1) {
          const again = () => {
            pushKeys(bytes);
            repeat = setTimeout(again, kPadRepeatMs);
          };
          repeat = setTimeout(again, kPadRepeatDelayMs);
        }
      });
      for (const end of ['pointerup', 'pointercancel', 'pointerleave']) button.addEventListener(end, stop);
    }
  }

  // --- the font: the terminal measures its cells when it opens, so it opens
  // once the page's font has loaded (it is preloaded, and usually has) ---
  function fontLoaded() {
    const faces = ['400', '700'].map((weight) => document.fonts.load(`${weight} 16px "${kOwnFont}"`, '●'));
    const late = new Promise((resolve) => { setTimeout(resolve, kFontWaitMs); });
    return Promise.race([Promise.all(faces), late]).catch(() => {}).then(() => {
      fontsIn = true;
      askForPoster();
    });
  }

  // xterm.js has run by now.
  function setUpTerminal() {
    const room = terminalRoom();
    const fontSize = fittingFontSize(room);
    term = new Terminal({
      cols: kColumns,
      rows: kRows,
      scrollback: 0,
      fontFamily: kFonts,
      fontSize,
      lineHeight: 1,
      cursorBlink: false,
      cursorInactiveStyle: 'none',
      // The Windows console's two looks: light grey, and bright white for the
      // highlight, on black (the game asks for them as white and bright white).
      theme: { background: '#000000', foreground: '#c0c0c0', black: '#000000', white: '#c0c0c0',
               brightWhite: '#ffffff' },
    });
    // The screen, for the browser tests: its buffer holds what the game shows.
    window.chessrpgTerminal = term;
    term.open(element('terminal'));
    term.onData((data) => pushKeys(utf8.encode(data)));
    // On a touch screen the pad is the keyboard: no on-screen keyboard over the game.
    if (touchScreen) term.textarea.setAttribute('inputmode', 'none');
    fitTerminal(room, fontSize);
    document.removeEventListener('keydown', keyBeforeTerminal);
    window.removeEventListener('resize', askForPoster);
    // The page's text of the game stays over the terminal until the terminal
    // has drawn what the game wrote (the empty write's callback comes once
    // the others are in).
    if (element('poster')) element('poster').classList.add('over');
    for (const bytes of earlyWrites.splice(0)) term.write(bytes);
    term.write('', () => {
      const drawn = term.onRender(() => {
        drawn.dispose();
        removePoster();
      });
      term.refresh(0, kRows - 1);
    });
    performance.mark('chessrpg: terminal open');
    window.addEventListener('resize', () => fitTerminal());
    element('game').addEventListener('click', () => { if (!touchScreen) term.focus(); });
    element('restart').addEventListener('click', () => location.reload());
    setUpRecordings();
    if (!touchScreen) term.focus();
    terminalIsReady();
  }
  // The recordings' buttons: the journey so far as a file, and a file to watch.
  function setUpRecordings() {
    const download = element('record-download');
    download.hidden = replayText !== null;
    download.addEventListener('click', () => {
      let bytes = null;
      try { bytes = window.Module.FS.readFile(kJourneyPath); } catch (error) { return; }
      const link = document.createElement('a');
      link.href = URL.createObjectURL(new Blob([bytes], { type: 'text/plain' }));
      link.download = `chessrpg-${new Date().toISOString().slice(0, 16).replace(/[-:T]/g, '')}.rec`;
      link.click();
      setTimeout(() => URL.revokeObjectURL(link.href), 1000);
    });
    element('replay-file').addEventListener('change', (event) => {
      const file = event.target.files[0];
      if (!file) return;
      file.text().then((text) => {
        sessionStorage.setItem(kReplayKey, text);
        location.reload();
      });
    });
  }
  // The pad comes first, so that the game's screen has its size at once.
  touchScreen = window.matchMedia('(pointer: coarse)').matches;
  if (touchScreen) startPad();
  const fontsLoaded = fontLoaded();

  window.addEventListener('pagehide', () => {
    if (window.Module && window.Module._WebQuit) {
      try { window.Module._WebQuit(); } catch (error) { /* the program ended */ }
    }
  });
})();
