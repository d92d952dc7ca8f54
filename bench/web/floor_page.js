// The floor page's side of what the benchmark reads, as the game's page.js keeps it: ready, the
// first frame's time, the frames and the timer ticks, each tick's time for a test's page.
(function () {
  'use strict';
  const state = window.velmorakPage = { ready: false, firstFrameMs: null, frames: 0, ticks: 0 };
  window.Module = {
    canvas: document.getElementById('canvas'),
    floorTicked: () => {
      state.ticks++;
      if (window.velmorakTest) window.velmorakTest.tickTimes.push(performance.now());
    },
    postRun: [() => { state.ready = true; }],
    postMainLoop: () => {
      if (state.frames++ === 0) state.firstFrameMs = performance.now();
    },
  };
})();
