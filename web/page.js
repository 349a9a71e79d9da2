// The page around the game: the terminal it draws on (xterm.js), its keys and
// the on-screen pad, the data tree it reads, and what shows once it has ended.
// The program (chessrpg.js, built from platform/web.cpp) calls the functions
// of `page` below; the ones that wait return promises, during which the
// program is suspended and the browser is free.
//
// Loading runs side by side: this script starts loading the program at once,
// sets up the terminal when xterm.js has loaded (it comes after this script),
// and lets the program start once both are ready.
'use strict';

(function () {
  const kColumns = 80;
  const kRows = 30;
  // Japanese at exactly two cells and ASCII at one: monospaced CJK fonts
  // first (Debian: fonts-noto-cjk, fonts-vlgothic, fonts-ipafont-gothic;
  // Windows and macOS bring their own), the browser's monospace last.
  const kFonts = '"Noto Sans Mono CJK JP", "Noto Sans Mono CJK SC", "VL Gothic", "IPAGothic", ' +
    '"TakaoGothic", "MS Gothic", "Osaka-Mono", monospace';
  // What the arrows, Enter and Space send, as a terminal sends them.
  const kPadKeys = {
    up: '\x1b[A', down: '\x1b[B', right: '\x1b[C', left: '\x1b[D', enter: '\r', space: ' ',
  };
  const kPadRepeatDelayMs = 400;
  const kPadRepeatMs = 110;
  const kQuitKey = 3;  // Ctrl+C ends the game, even in the middle of a pause

  const shiftJis = new TextDecoder('shift_jis');
  const utf8 = new TextEncoder();
  const element = (id) => document.getElementById(id);
  let term = null;

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

  const page = {
    write(bytes) { term.write(bytes); },
    takeKeys(heap, at, capacity) {
      const count = Math.min(capacity, keys.length);
      heap.set(keys.splice(0, count), at);
      return count;
    },
    // Until keys come, or timeoutMs passes (-1: no time limit; 0: the
    // program only lets the page have its turn).
    waitForKeys(timeoutMs) {
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
    leavePath(label, path) {
      const address = new URL('data/' + path.split('/').map(encodeURIComponent).join('/'), location.href);
      leftLines.push(decode(label) + decodeURI(address.href));
    },
    ended(status) {
      element('left-lines').textContent = leftLines.join('\n');
      element('ended').hidden = false;
      element('ended').dataset.status = String(status);
      element('restart').focus();
    },
  };

  // --- the program: loads now, starts once the data and the terminal are ready ---
  let terminalIsReady = null;
  const terminalReady = new Promise((resolve) => { terminalIsReady = resolve; });
  window.Module = {
    page,
    preRun: [(module) => {
      const fs = module.FS;
      fs.mkdirTree('/data');
      for (const [path, bytes] of readDataTree()) {
        if (path.includes('/')) fs.mkdirTree('/data/' + path.slice(0, path.lastIndexOf('/')));
        fs.writeFile('/data/' + path, bytes);
      }
      fs.chdir('/data');
      module.addRunDependency('page');
      terminalReady.then(() => module.removeRunDependency('page'));
    }],
    print: (line) => console.log(line),
    printErr: (line) => console.warn(line),
  };
  const program = document.createElement('script');
  program.src = 'chessrpg.js';
  program.onerror = () => terminalReady.then(() => term.write('The game (chessrpg.js) could not be loaded.\r\n'));
  document.head.appendChild(program);

  // --- the terminal's size: as large as the window allows, with room below
  // for the pad and the start of the text ---
  function fitTerminal() {
    const probeSize = 20;
    term.options.fontSize = probeSize;
    const screen = term.element.querySelector('.xterm-screen');
    const reserved = 100 + (element('pad').hidden ? 0 : element('pad').offsetHeight + 10);
    const width = document.documentElement.clientWidth - 16;
    const height = window.innerHeight - reserved;
    const scale = Math.min(width / screen.offsetWidth, height / screen.offsetHeight);
    term.options.fontSize = Math.max(6, Math.min(26, Math.floor(probeSize * scale)));
  }

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

  // xterm.js has run by now.
  function setUpTerminal() {
    term = new Terminal({
      cols: kColumns,
      rows: kRows,
      scrollback: 0,
      fontFamily: kFonts,
      fontSize: 18,
      lineHeight: 1,
      cursorBlink: false,
      cursorInactiveStyle: 'none',
      theme: { background: '#000000', foreground: '#c0c0c0' },
    });
    // The screen, for the browser tests: its buffer holds what the game shows.
    window.chessrpgTerminal = term;
    term.open(element('terminal'));
    term.onData((data) => pushKeys(utf8.encode(data)));
    const touch = window.matchMedia('(pointer: coarse)').matches;
    if (touch) {
      // The pad is the keyboard here: no on-screen keyboard over the game.
      term.textarea.setAttribute('inputmode', 'none');
      startPad();
    } else {
      term.focus();
    }
    fitTerminal();
    window.addEventListener('resize', fitTerminal);
    element('game').addEventListener('click', () => { if (!touch) term.focus(); });
    element('restart').addEventListener('click', () => location.reload());
    terminalIsReady();
  }
  document.addEventListener('DOMContentLoaded', setUpTerminal);

  window.addEventListener('pagehide', () => {
    if (window.Module && window.Module._WebQuit) {
      try { window.Module._WebQuit(); } catch (error) { /* the program ended */ }
    }
  });
})();
