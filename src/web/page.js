// The page around the game: its console pane and level line, the pictures, the beep, the score
// record in the browser's lasting storage, the hidden tab, the window's size and, on a touch
// screen, the swipes and buttons that stand in for the keys. The game's own
// JavaScript is global, so everything here stays inside this function.
(function () {
  'use strict';
  const canvas = document.getElementById('canvas');
  // The game window's start size: the canvas comes in the page at it (index.html gets it from the
  // game's C++ when the page is built).
  const gameStartWidth = canvas.width, gameStartHeight = canvas.height;
  const pane = document.getElementById('console');
  const levelLine = document.getElementById('level');
  const levelForm = document.getElementById('level-form');
  const levelButtons = [...document.querySelectorAll('#levels button')];
  const againButton = document.getElementById('again');
  const note = document.getElementById('note');
  const pad = document.getElementById('pad');
  const recordBox = document.getElementById('record');
  const pickers = { 'sky.bmp': document.getElementById('sky'),
                    'background.bmp': document.getElementById('background') };
  const playDir = '/play';
  const recordName = 'User_score.txt';
  const query = new URLSearchParams(location.search);

  // What the page shows and what its tests and benchmark read.
  const state = window.velmorakPage = { ready: false, started: false, firstFrameMs: null, frames: 0,
                                        ticks: 0, record: null, gameOver: false, games: 0,
                                        offline: false };

  // The game's ticks, counted; a test's page (one with window.velmorakTest) also gets each tick's
  // time and can hold the clock after a given tick. Both run every tick, so they stay small.
  function ticked() {
    state.ticks++;
    const test = window.velmorakTest;
    if (test) test.tickTimes.push(performance.now());
  }
  function holdsTicks() {
    const test = window.velmorakTest;
    return test !== undefined && typeof test.holdAfterTick === 'number' &&
           state.ticks >= test.holdAfterTick;
  }

  // The console: every byte as it is written, like a terminal (a pipe would hold nothing back).
  // The game's bytes are the pane's text; what the player typed is echoed after the prompt as a
  // terminal would show it, but as drawn content of its own, so the text stays the game's alone.
  const decoder = new TextDecoder();
  let paneText = pane.appendChild(document.createTextNode(''));
  function consoleByte(byte) {
    if (byte === null || byte === undefined) return;
    paneText.appendData(decoder.decode(new Uint8Array([byte & 255]), { stream: true }));
    pane.scrollTop = pane.scrollHeight;
  }
  function echo(line) {
    const typed = document.createElement('span');
    typed.className = 'echo';
    typed.dataset.echo = line;
    pane.append(typed);
    paneText = pane.appendChild(document.createTextNode(''));
    pane.scrollTop = pane.scrollHeight;
  }
  function clearConsole() {
    pane.textContent = '';
    paneText = pane.appendChild(document.createTextNode(''));
  }

  // The default pictures, fetched while the game's code loads; a player's own replace them.
  const pictures = {};
  const picturesLoaded = Promise.all(Object.keys(pickers).map(name =>
    fetch(name).then(r => (r.ok ? r.arrayBuffer() : null)).catch(() => null)
      .then(bytes => {
        if (bytes && !(name in pictures)) pictures[name] = new Uint8Array(bytes);
      })));
  const picks = [];
  for (const [name, input] of Object.entries(pickers)) {
    input.addEventListener('change', () => {
      const file = input.files[0];
      if (!file) return;
      picks.push(file.arrayBuffer().then(bytes => { pictures[name] = new Uint8Array(bytes); }));
    });
  }

  // The beep: a short tone. Browsers allow sound only after the player has done something, so
  // the audio context comes with the first key press or touch; until then a beep is silent.
  let audio = null;
  function allowSound() {
    if (audio === null && (window.AudioContext || window.webkitAudioContext)) {
      audio = new (window.AudioContext || window.webkitAudioContext)();
    }
    if (audio && audio.state === 'suspended') audio.resume();
  }
  for (const gesture of ['keydown', 'mousedown', 'pointerup', 'touchend']) {
    window.addEventListener(gesture, allowSound, true);
  }
  function beep() {
    if (audio === null) return;
    const tone = audio.createOscillator();
    const volume = audio.createGain();
    tone.type = 'square';
    tone.frequency.value = 880;
    volume.gain.value = 0.08;
    tone.connect(volume).connect(audio.destination);
    tone.start();
    tone.stop(audio.currentTime + 0.12);
  }

  // F1 and the arrows belong to the game once it runs: no help page, no scrolling.
  const gameKeys = new Set(['F1', 'ArrowLeft', 'ArrowRight', 'ArrowUp', 'ArrowDown']);
  window.addEventListener('keydown', event => {
    if (state.started && gameKeys.has(event.key)) event.preventDefault();
  });

  function showRecord(prefix) {
    let text = null;
    try { text = FS.readFile(playDir + '/' + recordName, { encoding: 'utf8' }); } catch (e) { }
    state.record = text;
    recordBox.textContent = '';
    if (!text) return;
    recordBox.append(prefix + ' ' + text.trim() + ' ');
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([text], { type: 'text/plain' }));
    link.download = recordName;
    link.textContent = 'Download ' + recordName;
    recordBox.append(link);
  }

  function gameOver() {
    state.gameOver = true;
    document.documentElement.classList.remove('running');
    FS.syncfs(false, error => {
      showRecord(error ? 'Score record (not saved: ' + error + '):' : 'Score record:');
      note.textContent = 'Game over.';
      againButton.hidden = false;
      if (!touch) againButton.focus();
    });
  }

  // Another game, as a new run of the program would start it: the console starts over with the
  // banner and the prompt, the level is asked again, the pictures picked so far stay.
  function playAgain() {
    if (!state.gameOver) return;
    clearConsole();
    if (Module._VelmorakPlayAgain() !== 1) return;
    state.started = false;
    state.gameOver = false;
    state.record = null;
    againButton.hidden = true;
    note.textContent = playNote;
    allowLevel(true);
  }
  againButton.addEventListener('click', playAgain);

  // A phone or tablet gets the touch layout and controls; a desktop keeps the page as it was.
  const touch = window.matchMedia('(pointer: coarse)').matches;
  document.body.classList.toggle('touch', touch);
  const playNote = touch ? 'Swipe on the game or use the arrows to steer; Pause pauses.'
                         : 'Arrow keys steer, F1 pauses.';
  note.textContent = playNote;
  const sideWidth = 220;  // the side column of a touch screen held sideways, as in the page's style

  // On the desktop, resizing the browser window resizes the game's window by as much, as
  // dragging its corner would. On a touch screen the canvas is as wide as the screen held
  // upright, with the desktop window's proportions unless that would push the buttons under it
  // off a short screen (the page can't be scrolled while a game runs), and fills the height held
  // sideways. Either way the canvas's CSS pixels are the window's; its own pixels are the
  // screen's, so many to each CSS pixel, and GLUT reshapes the world from them. The world's
  // shorter side is 250 units whatever the pixels, so it is the world of the same window at a
  // ratio of 1.
  const startWidth = window.innerWidth, startHeight = window.innerHeight;
  function canvasSize() {
    if (!touch) {
      return [Math.max(1, gameStartWidth + window.innerWidth - startWidth),
              Math.max(1, gameStartHeight + window.innerHeight - startHeight)];
    }
    // Inside the safe area: the body's padding holds the insets.
    const style = getComputedStyle(document.body);
    const inset = side => parseFloat(style['padding' + side]) || 0;
    const width = document.documentElement.clientWidth - inset('Left') - inset('Right');
    const height = window.innerHeight - inset('Top') - inset('Bottom');
    const landscape = width > height;
    document.body.classList.toggle('landscape', landscape);
    if (landscape) return [Math.max(1, width - sideWidth), Math.max(1, height)];
    const under = pad.getBoundingClientRect().bottom - canvas.getBoundingClientRect().bottom + 4;
    const tallest = Math.max(Math.round(width * 0.6), Math.floor(height - under));
    const proportional = Math.round(width * gameStartHeight / gameStartWidth);
    return [Math.max(1, width), Math.max(1, Math.min(proportional, tallest))];
  }
  let windowOpen = false;  // GLUT's, once the game has started
  // The canvas's size in the screen's pixels, as last laid out.
  let screenPixels = [canvas.width, canvas.height];
  // The stylesheet gives the canvas its CSS size: GLUT drops any size set on the canvas itself.
  function fitCanvas() {
    const [width, height] = canvasSize();
    const root = document.documentElement.style;
    root.setProperty('--canvas-width', width + 'px');
    root.setProperty('--canvas-height', height + 'px');
    if (!exactPixels) measurePixels(width, height);
  }
  // A browser that tells the laid-out size in the screen's pixels is exact; otherwise the CSS
  // size times the ratio is rounded, as the browser rounds it on the screen. An emulated ratio
  // (a browser's device emulation) may leave the exact size at the real screen's: that size is
  // used only where it agrees with the ratio the page sees.
  let exactPixels = false;
  function measurePixels(width, height) {
    const ratio = window.devicePixelRatio || 1;
    usePixels([Math.max(1, Math.round(width * ratio)), Math.max(1, Math.round(height * ratio))]);
  }
  function usePixels(pixels) {
    screenPixels = pixels;
    const [width, height] = pixels;
    if (!windowOpen) {
      canvas.width = width;
      canvas.height = height;
      return;
    }
    // The next frame draws the texts at the new scale: a reshape's, or the next tick's.
    Module._VelmorakSetTextScale(textScale());
    if (width !== canvas.width || height !== canvas.height) {
      Module._glutReshapeWindow(width, height);
    }
  }
  // The panel's texts come from a pixel font: drawn at the whole number nearest the ratio.
  const textScale = () => Math.max(1, Math.round(window.devicePixelRatio || 1));
  if (window.ResizeObserver) {
    const observer = new ResizeObserver(entries => {
      const entry = entries[entries.length - 1];
      const box = entry.contentBoxSize && entry.contentBoxSize[0];
      if (!box) return;
      const exact = entry.devicePixelContentBoxSize && entry.devicePixelContentBoxSize[0];
      const ratio = window.devicePixelRatio || 1;
      const agrees = (pixels, css) => Math.abs(pixels - css * ratio) < 1.5;
      exactPixels = Boolean(exact) && agrees(exact.inlineSize, box.inlineSize) &&
                    agrees(exact.blockSize, box.blockSize);
      if (exactPixels) {
        usePixels([Math.max(1, exact.inlineSize), Math.max(1, exact.blockSize)]);
      } else {
        measurePixels(box.inlineSize, box.blockSize);
      }
    });
    try {
      observer.observe(canvas, { box: 'device-pixel-content-box' });
    } catch (e) {
      observer.observe(canvas);
    }
  }
  // Zoom, or a window moved to another screen: a new ratio for the same CSS size, which only
  // the exact size above would see.
  function watchRatio() {
    const query = window.matchMedia(`(resolution: ${window.devicePixelRatio || 1}dppx)`);
    const changed = () => {
      query.removeEventListener('change', changed);
      fitCanvas();
      watchRatio();
    };
    query.addEventListener('change', changed);
  }
  watchRatio();
  window.addEventListener('resize', () => {
    // A phone's keyboard, up for the level line, can shrink the page for a moment; the layout
    // waits for it to go down.
    if (touch && document.activeElement === levelLine) return;
    fitCanvas();
  });
  levelLine.addEventListener('blur', fitCanvas);
  fitCanvas();

  // Touch steering: a swipe on the canvas is the arrow key in its direction, decided once the
  // finger has gone far enough; a finger that turns mid-swipe turns the serpent again.
  const running = () => windowOpen && !state.gameOver;
  function pressKey(name) {
    if (windowOpen) Module.ccall('VelmorakPressKey', null, ['string'], [name]);
  }
  const swipeDistance = 18;  // CSS pixels
  let swipe = null;
  canvas.addEventListener('touchstart', event => {
    if (!running()) return;
    event.preventDefault();
    const finger = event.changedTouches[0];
    if (swipe === null) {
      swipe = { id: finger.identifier, x: finger.clientX, y: finger.clientY, last: null };
    }
  }, { passive: false });
  canvas.addEventListener('touchmove', event => {
    if (swipe === null) return;
    event.preventDefault();
    const finger = [...event.changedTouches].find(t => t.identifier === swipe.id);
    if (!finger) return;
    const dx = finger.clientX - swipe.x, dy = finger.clientY - swipe.y;
    if (Math.max(Math.abs(dx), Math.abs(dy)) < swipeDistance) return;
    const direction = Math.abs(dx) > Math.abs(dy) ? (dx > 0 ? 'right' : 'left')
                                                   : (dy > 0 ? 'down' : 'up');
    if (direction !== swipe.last) pressKey(direction);
    swipe.x = finger.clientX;
    swipe.y = finger.clientY;
    swipe.last = direction;
  }, { passive: false });
  for (const end of ['touchend', 'touchcancel']) {
    canvas.addEventListener(end, event => {
      if (swipe && [...event.changedTouches].some(t => t.identifier === swipe.id)) swipe = null;
    });
  }
  canvas.addEventListener('contextmenu', event => event.preventDefault());

  // The buttons act as the finger comes down, as a key does; a click without a pointer is the
  // keyboard pressing a focused button.
  for (const button of document.querySelectorAll('#pad button')) {
    button.addEventListener('pointerdown', event => {
      event.preventDefault();
      pressKey(button.dataset.key);
    });
    button.addEventListener('click', event => {
      if (event.detail === 0) pressKey(button.dataset.key);
    });
  }
  document.addEventListener('gesturestart', event => {
    if (running()) event.preventDefault();
  });

  // Full screen where the browser can make a page so (an iPhone can't: its home-screen app has
  // no bars to hide). The whole page goes, so the canvas is fitted like any other resize.
  const fullscreenButton = document.getElementById('fullscreen');
  const root = document.documentElement;
  const requestFullscreen = root.requestFullscreen || root.webkitRequestFullscreen;
  const exitFullscreen = document.exitFullscreen || document.webkitExitFullscreen;
  const fullscreenElement = () => document.fullscreenElement || document.webkitFullscreenElement;
  if (requestFullscreen && (document.fullscreenEnabled || document.webkitFullscreenEnabled)) {
    fullscreenButton.hidden = false;
    fullscreenButton.addEventListener('click', () => {
      const asked = fullscreenElement() ? exitFullscreen.call(document)
                                        : requestFullscreen.call(root);
      if (asked && asked.catch) asked.catch(() => {});  // refused: the page stays as it is
    });
    for (const change of ['fullscreenchange', 'webkitfullscreenchange']) {
      document.addEventListener(change, () => {
        fullscreenButton.textContent = fullscreenElement() ? 'Leave full screen' : 'Full screen';
      });
    }
  }

  // The page, its code and its pictures kept for playing offline (sw.js), once everything this
  // page needs has arrived, so that a new build's worker can't swap files under a page still
  // loading. Not where workers aren't allowed (a file opened from the disk).
  function keepForOffline() {
    if (!('serviceWorker' in navigator) || !window.isSecureContext) return;
    navigator.serviceWorker.register('sw.js')
      .then(() => navigator.serviceWorker.ready)
      .then(() => { state.offline = true; })
      .catch(error => console.warn('The page will not be kept for offline play: ' + error));
  }

  document.addEventListener('visibilitychange', () => {
    if (document.hidden && state.started && !state.gameOver) Module._VelmorakPauseForHiddenPage();
  });

  // The level line and its buttons, and the pictures, are the prompt's: open while it waits.
  function allowLevel(open) {
    levelLine.disabled = !open;
    for (const button of levelButtons) button.disabled = !open;
    for (const input of Object.values(pickers)) input.disabled = !open;
    if (open) {
      levelLine.value = '';
      if (!touch) levelLine.focus();  // on a phone that would raise the keyboard over the game
    }
  }

  function start(line) {
    if (state.started) return;
    state.started = true;
    levelLine.blur();
    allowLevel(false);
    echo(line);
    Promise.all(picks).then(() => play(line));
  }

  function play(line) {
    for (const [name, bytes] of Object.entries(pictures)) FS.writeFile(playDir + '/' + name, bytes);
    canvas.focus();
    try {
      Module.ccall('VelmorakStart', null, ['string'], [line]);
    } catch (e) {
      if (e !== 'unwind') throw e;
    }
    state.games++;
    // GLUT opened its window at the desktop's start size; the page's own may differ by now.
    windowOpen = true;
    fitCanvas();
    usePixels(screenPixels);
    if (touch) {
      document.documentElement.classList.add('running');
      window.scrollTo(0, 0);
    }
    // Loaded and readied: only the record belongs in lasting storage.
    for (const name of Object.keys(pictures)) {
      try { FS.unlink(playDir + '/' + name); } catch (e) { }
    }
  }

  function ready() {
    state.ready = true;
    keepForOffline();
    // Enter, or a phone keyboard's Go. Like the console's formatted read, an empty line is no
    // answer yet.
    levelForm.addEventListener('submit', event => {
      event.preventDefault();
      if (levelLine.value.trim() !== '') start(levelLine.value);
    });
    // A level button is its digit typed and entered.
    for (const button of levelButtons) {
      button.addEventListener('click', () => {
        levelLine.value = button.textContent;
        start(button.textContent);
      });
    }
    const level = query.get('level');
    if (level !== null) {
      levelLine.value = level;
      start(level);
      return;
    }
    allowLevel(true);
  }

  window.Module = {
    canvas: canvas,
    velmorakBeep: beep,
    velmorakGameOver: gameOver,
    velmorakTicked: ticked,
    velmorakHoldsTicks: holdsTicks,
    preRun: [() => {
      FS.init(() => null, consoleByte, consoleByte);
      FS.mkdir(playDir);
      FS.mount(IDBFS, {}, playDir);
      FS.chdir(playDir);
      addRunDependency('velmorak-storage');
      FS.syncfs(true, () => {
        showRecord('Last score record:');
        removeRunDependency('velmorak-storage');
      });
    }],
    postRun: [() => { picturesLoaded.then(ready); }],
    postMainLoop: () => {
      if (state.frames++ === 0) state.firstFrameMs = performance.now();
    },
    printErr: text => console.warn(text),
  };
})();
