// The tests' eyes in the page, served by the tests' own server ahead of any of the page's code, in
// every engine alike: every tone the page starts is counted, and every error it throws is kept.
// velmorakTest is the page's test hook: the page stamps each tick into tickTimes and runs no tick
// beyond holdAfterTick while that is a number. A scenario that must act between two known ticks
// holds the clock from the start through the address (velmorakHold=N), before any tick can run.
(function () {
  'use strict';
  const probe = window.velmorakProbe = { tones: 0, errors: [] };
  const held = new URLSearchParams(location.search).get('velmorakHold');
  window.velmorakTest = { tickTimes: [], holdAfterTick: held === null ? null : Number(held) };
  const Oscillator = window.OscillatorNode;
  if (Oscillator) {
    const start = Oscillator.prototype.start;
    Oscillator.prototype.start = function (...args) {
      probe.tones++;
      return start.apply(this, args);
    };
  }
  window.addEventListener('error', event => probe.errors.push(String(event.message)));
  window.addEventListener('unhandledrejection', event => probe.errors.push(String(event.reason)));
})();
