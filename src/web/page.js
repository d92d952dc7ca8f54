// The page around the game: its console pane and level line, the pictures, the beep, the score
// record in the browser's lasting storage, the hidden tab and the window's size. The game's own
// JavaScript is global, so everything here stays inside this function.
(function () {
  'use strict';
  const canvas = document.getElementById('canvas');
  const pane = document.getElementById('console');
  const levelLine = document.getElementById('level');
  const recordBox = document.getElementById('record');
  const pickers = { 'sky.bmp': document.getElementById('sky'),
                    'background.bmp': document.getElementById('background') };
  const playDir = '/play';
  const recordName = 'User_score.txt';
  const query = new URLSearchParams(location.search);

  // What the page shows and what its tests and benchmark read.
  const state = window.velmorakPage = { ready: false, started: false, firstFrameMs: null, frames: 0,
                                        record: null, gameOver: false };

  // The console: every byte as it is written, like a terminal (a pipe would hold nothing back).
  const decoder = new TextDecoder();
  function consoleByte(byte) {
    if (byte === null || byte === undefined) return;
    pane.textContent += decoder.decode(new Uint8Array([byte & 255]), { stream: true });
    pane.scrollTop = pane.scrollHeight;
  }

  // The default pictures, fetched while the game's code loads; a player's own replace them.
  const pictures = {};
  const picturesLoaded = Promise.all(Object.keys(pickers).map(name =>
    fetch(name).then(r => (r.ok ? r.arrayBuffer() : null)).catch(() => null)
      .then(bytes => { if (bytes && !(name in pictures)) pictures[name] = new Uint8Array(bytes); })));
  const picks = [];
  for (const [name, input] of Object.entries(pickers)) {
    input.addEventListener('change', () => {
      const file = input.files[0];
      if (!file) return;
      picks.push(file.arrayBuffer().then(bytes => { pictures[name] = new Uint8Array(bytes); }));
    });
  }

  // The beep: a short tone. Browsers allow sound only after the player has done something, so
  // the audio context comes with the first key press; until then a beep is silent.
  let audio = null;
  window.addEventListener('keydown', () => {
    if (audio === null && (window.AudioContext || window.webkitAudioContext)) {
      audio = new (window.AudioContext || window.webkitAudioContext)();
    }
    if (audio && audio.state === 'suspended') audio.resume();
  }, true);
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
    FS.syncfs(false, error => {
      showRecord(error ? 'Score record (not saved: ' + error + '):' : 'Score record:');
      document.getElementById('note').textContent = 'Game over. Reload the page to play again.';
    });
  }

  // Resizing the browser window resizes the game's window by as much, as dragging its corner
  // would on the desktop; GLUT then reshapes the world.
  const startWidth = window.innerWidth, startHeight = window.innerHeight;
  function canvasSize() {
    return [Math.max(1, 350 + window.innerWidth - startWidth),
            Math.max(1, 385 + window.innerHeight - startHeight)];
  }
  window.addEventListener('resize', () => {
    const [width, height] = canvasSize();
    if (state.started) {
      Module._glutReshapeWindow(width, height);
    } else {
      canvas.width = width;
      canvas.height = height;
    }
  });

  document.addEventListener('visibilitychange', () => {
    if (document.hidden && state.started && !state.gameOver) Module._VelmorakPauseForHiddenPage();
  });

  function start(line) {
    if (state.started) return;
    state.started = true;
    levelLine.disabled = true;
    for (const input of Object.values(pickers)) input.disabled = true;
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
    // Loaded and readied: only the record belongs in lasting storage.
    for (const name of Object.keys(pictures)) {
      try { FS.unlink(playDir + '/' + name); } catch (e) { }
    }
  }

  function ready() {
    state.ready = true;
    levelLine.disabled = false;
    const level = query.get('level');
    if (level !== null) {
      levelLine.value = level;
      start(level);
      return;
    }
    levelLine.focus();
    levelLine.addEventListener('keydown', event => {
      // Like the console's formatted read, an empty line is no answer yet.
      if (event.key === 'Enter' && levelLine.value.trim() !== '') start(levelLine.value);
    });
  }

  window.Module = {
    canvas: canvas,
    velmorakBeep: beep,
    velmorakGameOver: gameOver,
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
