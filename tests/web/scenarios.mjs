// The page's scenarios, one per run, in any engine: node scenarios.mjs NAME --engine=NAME
// --page=DIR --texts=EXPECTED.js --frames=DIR. Console texts are the desktop's own expectations
// (tests/support), compiled from the same source; frames are checked against the colours the
// desktop's frame tests use. A scenario an engine can't play ends with skipCode and says why.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { serve, launchEngine, GamePage, desktop, phone } from '../support/web/page_driver.mjs';

const options = Object.fromEntries(process.argv.slice(3).map(a => a.replace(/^--/, '').split('=')));
// NAME or NAME:VARIANT; a variant plays the same scenario another way, on a phone.
const [scenario, variant = 'keys'] = process.argv[2].split(':');
const engineName = options.engine || 'chromium';
const skipCode = 77;  // the tests' SKIP_RETURN_CODE

const expected = JSON.parse(execFileSync(process.execPath, [options.texts, 'prompt', 'start:shown',
  'start:refused', 'report:1', 'report:2', 'record:1:8', 'record:2:1'], { encoding: 'utf8' }));

const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));

function check(condition, message) {
  if (!condition) throw new Error(message);
}
function checkEqual(got, want, what) {
  check(got === want, `${what}:\n  got  ${JSON.stringify(got)}\n  want ${JSON.stringify(want)}`);
}

const near = (p, q, tolerance) => p.every((v, i) => Math.abs(v - q[i]) <= tolerance);
const colour = {
  orange: [255, 120, 0], peach: [255, 228, 176], foodRed: [255, 0, 0], foodPink: [255, 173, 173],
  fieldYellow: [254, 233, 0], fieldDark: [44, 44, 42], panelLowLeft: [191, 191, 179],
  panelLowRight: [191, 191, 191], panelPink: [255, 140, 140], brown: [153, 102, 31],
  cleared: [0, 0, 77],
};
const isTextYellow = p => p[0] > 230 && p[1] > 230 && p[2] < 40;
const isBrown = p => near(p, colour.brown, 14);

// Pixels passing a test inside a box (pixel coordinates, bottom row 0).
function count(frame, x0, y0, x1, y1, test) {
  let n = 0;
  for (let y = Math.max(0, y0); y <= Math.min(frame.height - 1, y1); y++) {
    for (let x = Math.max(0, x0); x <= Math.min(frame.width - 1, x1); x++) n += test(frame.at(x, y));
  }
  return n;
}

// On a phone held upright, from the top of the page: the canvas as wide as the screen, with the
// start window's proportions or, on a phone with less room under its browser's bars, shorter;
// it, the level line and the buttons all in view.
async function checkPhoneLayout(game) {
  for (const height of [620, 740]) {
    await game.setViewport({ ...phone, height });
    // The page lays itself out on the resize event, which comes before the next frame's callbacks.
    await game.waitFor(h => innerHeight === h, 'the new viewport', 20000, height);
    await game.evaluate(() => new Promise(done => requestAnimationFrame(() => done())));
    const view = await game.evaluate(() => {
      const canvas = document.getElementById('canvas');
      return { width: innerWidth, height: innerHeight, scrollY,
               canvas: `${canvas.width}x${canvas.height}` };
    });
    if (height === 740) checkEqual(view.canvas, '360x396', 'the canvas on a phone');
    check(view.canvas.startsWith('360x'), `the canvas on a phone ${height} high: ${view.canvas}`);
    checkEqual(view.scrollY, 0, 'the page\'s scroll');
    for (const selector of ['#canvas', '#level', '#pad']) {
      const box = await game.box(selector);
      check(box.x >= 0 && box.y >= 0 && box.x + box.width <= view.width &&
            box.y + box.height <= view.height,
            `${selector} is out of view: ${JSON.stringify(box)}`);
    }
  }
}

// Pixels per world unit: at the start window's proportions, on a desktop or a phone held upright,
// the world is 275 units high.
const scaleOf = frame => frame.height / 275;

// The world x of the head on the start row (y 100), from the orange left edge of its square; at
// other scales the edge pixel takes in some of the square's orange-to-peach shading.
function headOnStartRow(frame, scale) {
  const row = Math.floor(103.5 * scale);
  for (let x = 0; x < frame.width; x++) {
    if (near(frame.at(x, row), colour.orange, 26)) {
      return Math.round((x / scale - 100) / 8) * 8 + 100;
    }
  }
  return null;
}

// The four corners of both strips, two pixels inside; true when each shows its vertex colour.
function stripCorners(frame, worldHeight) {
  const scale = frame.height / worldHeight;
  const border = Math.floor((worldHeight - 35) * scale);
  const right = frame.width - 3, top = frame.height - 3;
  return [
    ['playfield lower left', 2, 2, colour.fieldYellow],
    ['playfield lower right', right, 2, colour.fieldDark],
    ['playfield upper right', right, border - 3, colour.fieldYellow],
    ['playfield upper left', 2, border - 3, colour.fieldDark],
    ['panel lower left', 2, border + 2, colour.panelLowLeft],
    ['panel lower right', right, border + 2, colour.panelLowRight],
    ['panel upper right', right, top, colour.panelPink],
    ['panel upper left', 2, top, colour.panelPink],
  ].map(([name, x, y, want]) => ({ name, got: frame.at(x, y), want }));
}

function saveFrame(frame, name) {
  // A plain PPM beside the test's other output, for a look after a failure.
  const rows = [];
  for (let y = frame.height - 1; y >= 0; y--) {
    for (let x = 0; x < frame.width; x++) rows.push(...frame.at(x, y));
  }
  fs.writeFileSync(path.join(options.frames, `web_${name}.ppm`),
                   Buffer.concat([Buffer.from(`P6 ${frame.width} ${frame.height} 255\n`),
                                  Buffer.from(rows)]));
}

async function settledTones(game, want) {
  const deadline = Date.now() + 3000;
  while ((await game.probe()).tones < want && Date.now() < deadline) await sleep(20);
  await sleep(300);  // the tones of one tick come back to back; any more would be here by now
  return (await game.probe()).tones;
}

// The head moves 8 units a tick from x 100 on the start row, rightwards, from the first tick on.
const ticksToHeadX = x => (x - 100) / 8;
const showsPaused = (frame, box) => count(frame, ...box, isBrown) > 20;

// The colour steps along a line of pixels through (x, y) in direction (dx, dy), reach pixels
// either side: one across a sharp edge, where a canvas with fewer pixels than the screen,
// stretched, blends the two sides over several.
function stepsAcross(frame, x, y, dx, dy, reach) {
  let steps = 0;
  for (let i = -reach; i < reach; i++) {
    const p = frame.at(x + dx * i, y + dy * i), q = frame.at(x + dx * (i + 1), y + dy * (i + 1));
    steps += p.some((v, c) => Math.abs(v - q[c]) > 12);
  }
  return steps;
}

// How many pixel rows of the box hold a pixel of yellow text, from the highest to the lowest.
function textRows(frame, [x0, y0, x1, y1]) {
  const rows = [];
  for (let y = y0; y <= y1; y++) if (count(frame, x0, y, x1, y, isTextYellow) > 0) rows.push(y);
  return rows.length ? rows[rows.length - 1] - rows[0] + 1 : 0;
}

// What a home screen needs of the page: the manifest's app and its icons, each one a PNG of the
// size it claims, and the iPhone's own icon.
async function checkInstallable(engine, game) {
  const found = await game.evaluate(async () => {
    const address = document.querySelector('link[rel=manifest]').href;
    const manifest = await (await fetch(address)).json();
    const icons = [...manifest.icons,
                   { src: document.querySelector('link[rel=apple-touch-icon]').href,
                     sizes: '180x180' }];
    const loaded = await Promise.all(icons.map(async icon => {
      const response = await fetch(new URL(icon.src, address));
      const picture = await createImageBitmap(await response.blob());
      return `${icon.src.split('/').pop()} ${response.headers.get('Content-Type')} ` +
             `${icon.sizes}=${picture.width}x${picture.height}`;
    }));
    return { display: manifest.display, loaded };
  });
  checkEqual(found.display, 'standalone', 'the installed page\'s display');
  for (const icon of found.loaded) {
    const [, type, sizes] = icon.split(' ');
    const [claimed, got] = sizes.split('=');
    check(type === 'image/png' && claimed === got, `an icon: ${icon}`);
  }
  checkEqual(found.loaded.length, 3, 'icons');
  if (engine.can.installability) {
    checkEqual(JSON.stringify(await game.tab.installabilityErrors()), '[]',
               'what keeps the page from being installed');
  }
}

// After a game over, another from the Play again button, at a level from its button: the page
// starts over from the prompt with the pictures picked before.
async function playAgain(game, level) {
  await game.waitFor(() => window.velmorakPage.gameOver && !document.getElementById('again').hidden,
                     'the Play again button');
  const games = (await game.probe()).games;
  await game.activate('#again');
  checkEqual(await game.consoleText(), expected.prompt, 'console of another game');
  await game.activate(`#levels button:nth-child(${level})`);
  await game.waitFor(n => window.velmorakPage.games === n, 'another game', 20000, games + 1);
}

// Each scenario: what it needs of an engine (engine.can) and how it plays.
const scenarios = {
  // The console byte for byte, level 8's pace, one beep, the record shown, offered and kept.
  startup_and_right_wall: { needs: [], async play(engine, url) {
    const game = await GamePage.open(engine, url);
    checkEqual(await game.consoleText(), expected.prompt, 'console before a level is typed');
    await checkInstallable(engine, game);
    await game.typeLevel('8');
    // The typed level shows after the prompt as a terminal's would, but is no byte of the game's.
    // (Firefox gives back the rule's attr() rather than the text, so the drawn box tells.)
    const echoed = await game.evaluate(() => {
      const typed = document.querySelector('#console .echo');
      return typed && `${typed.dataset.echo} ${typed.getBoundingClientRect().width > 0}`;
    });
    checkEqual(echoed, '8 true', 'the level echoed, drawn');
    await game.waitForConsole(expected['report:1']);
    const wall = 'window width :250\nCASE 1\n';
    const firstConsole = expected['start:shown'] + wall + expected['report:1'];
    checkEqual(await game.consoleText(), firstConsole, 'console after the right wall');
    // Level 8 ticks every 10 ms (level 5, the default, every 80), on and on after the game's end.
    // A busy machine delays ticks, some of them by a lot, and the clock catches up with bursts of
    // ticks: only the mean over 2 s of them tells the pace, and only loosely.
    const ticks = 200;
    await game.waitFor(n => window.velmorakTest.tickTimes.length > n, `${ticks} ticks`, 20000,
                       ticks);
    const times = await game.tickTimes();
    const mean = (times[ticks] - times[0]) / ticks;
    check(mean > 5 && mean < 40, `the mean tick period at level 8: ${mean} ms`);
    checkEqual(await settledTones(game, 1), 1, 'beeps for one end of the game');

    await game.waitFor(() => window.velmorakPage.record !== null, 'the record to be shown');
    checkEqual((await game.probe()).record, expected['record:1:8'], 'the record');
    const link = await game.evaluate(() => {
      const a = document.querySelector('#record a');
      return { name: a.download, href: a.href };
    });
    checkEqual(link.name, 'User_score.txt', 'the download');
    await game.waitForFrame(frame => count(frame, 130, 175, 300, 200, isBrown) > 30,
                            '"Game Over!"');

    // The same game again, from a fresh start of the program: same food, same end, same record.
    await playAgain(game, 8);
    await game.waitForConsole(expected['report:1']);
    checkEqual(await game.consoleText(), firstConsole, 'console of the second game');
    await game.waitFor(() => window.velmorakPage.record !== null, 'the second game\'s record');
    checkEqual((await game.probe()).record, expected['record:1:8'], 'the second game\'s record');

    await game.reload();
    checkEqual((await game.probe()).record, expected['record:1:8'], 'the record after a reload');
    check((await game.evaluate(() => document.getElementById('record').textContent)).includes(
      expected['record:1:8'].trim()), 'the reloaded page does not show the record');
  } },

  // At level 1's pace, Up at x 124 runs through the first food to the top wall: a meal, two ends,
  // three beeps. The clock is held at x 124 while Up goes in, however busy the machine. On a
  // phone Up is a swipe, the game's first gesture, so its beeps show that a touch lets the page
  // sound; or Up is the on-screen button, after the level typed in the phone's layout.
  top_wall: { needs: variant === 'keys' ? [] : ['touch'], async play(engine, url) {
    const upAt = ticksToHeadX(124);
    const game = await GamePage.open(engine, variant === 'swipe' ? url + '?level=1' : url,
                                     variant === 'keys' ? desktop : phone,
                                     { holdAfterTick: upAt });
    if (variant === 'button') await checkPhoneLayout(game);
    if (variant === 'swipe') {
      check(await game.evaluate(() => document.documentElement.scrollHeight > innerHeight),
            'the page is too short to show whether a swipe scrolls it');
    } else {
      await game.typeLevel('1');
    }
    await game.waitFor(n => window.velmorakPage.ticks === n, `tick ${upAt}`, 20000, upAt);
    let x = null;
    await game.waitForFrame(frame => (x = headOnStartRow(frame, scaleOf(frame))) === 124,
                            'the head at x 124').catch(e => {
      throw new Error(`${e.message}: held after tick ${upAt}, the head shows at x ${x}`);
    });
    if (variant === 'keys') {
      await game.press('ArrowUp');
    } else if (variant === 'button') {
      await game.tap('#pad [data-key=up]');
    } else {
      await game.swipe('up');
      await sleep(200);  // a scroll the swipe set off would have begun by now
      checkEqual(await game.evaluate(() => window.scrollY), 0, 'the page scrolled by the swipe');
    }
    await game.holdAfterTick(null);
    await game.waitForConsole('CASE 3\n' + expected['report:2'] + expected['report:2']);
    checkEqual(await game.consoleText(), expected['start:shown'] + 'CASE 3\n' +
               expected['report:2'] + expected['report:2'], 'console after the top wall');
    checkEqual(await settledTones(game, 3), 3, 'beeps: one for the meal, one for each end');
    await game.waitFor(() => window.velmorakPage.record !== null, 'the record to be shown');
    checkEqual((await game.probe()).record, expected['record:2:1'], 'the record');
  } },

  // The frame's squares, textured strips and texts; F1 pauses and resumes; a larger browser
  // window makes a larger game window whose world, walls included, follows.
  // On a phone Pause is the on-screen button, and turning the phone sideways is the resize; the
  // phone has three screen pixels to a CSS pixel, as most do, and the game uses every one: the
  // same world and console, sharp squares, the panel's texts as large as on a plain screen.
  frame_pause_and_resize: { needs: variant === 'touch' ? ['touch', 'deviceScale'] : [],
                            async play(engine, url) {
    const touch = variant === 'touch';
    const ratio = touch ? 3 : 1;
    const screen = touch ? { ...phone, deviceScaleFactor: ratio } : desktop;
    const game = await GamePage.open(engine, url + '?level=1', screen);
    await game.waitFor(() => window.velmorakPage.frames > 0, 'the first frame');
    const pause = () => (touch ? game.tap('#pad [data-key=pause]') : game.press('F1'));
    await pause();
    // On a phone the page's canvas, not GLUT's start size, is the game window.
    const size = (touch ? [360, 396] : [350, 385]).map(v => v * ratio).join('x');
    const first = await game.frame();
    checkEqual(`${first.width}x${first.height}`, size, 'the game window');
    checkEqual(await game.evaluate(() => `${canvas.width}x${canvas.height}`), size, 'the canvas');
    const scale = scaleOf(first);
    // Boxes measured on the desktop's 350 x 385 window, moved with the world on other sizes.
    const at = (...box) => box.map(v => Math.round(v * scale / 1.4));
    const paused = await game.waitForFrame(frame => showsPaused(frame, at(130, 175, 300, 200)),
                                           '"Paused"');
    saveFrame(paused, `paused_${variant}_${engineName}`);
    const x = headOnStartRow(paused, scale);
    check(x !== null, 'no head on the start row');
    const row = Math.floor(103.5 * scale);
    const left = Math.ceil(x * scale - 0.5), right = Math.ceil((x + 7) * scale - 0.5) - 1;
    check(near(paused.at(left, row), colour.orange, 24) &&
          near(paused.at(right, row), colour.peach, 24),
          `head colours ${paused.at(left, row)} .. ${paused.at(right, row)}`);
    const foodRow = Math.floor(133.5 * scale);
    const [red, pink] = at(175, 184);
    check(near(paused.at(red, foodRow), colour.foodRed, 16) &&
          near(paused.at(pink, foodRow), colour.foodPink, 24),
          `food colours ${paused.at(red, foodRow)} .. ${paused.at(pink, foodRow)}`);
    // The squares' edges, world units: across the head's left and lower edges and the food's.
    // (On a plain screen the gap between two squares is too thin to see either side of an edge.)
    const pixel = v => Math.ceil(v * scale - 0.5);
    for (const [name, wx, wy, dx, dy] of ratio === 1 ? [] : [['head left', x, 103.5, 1, 0],
                                                             ['head lower', x + 3.5, 100, 0, 1],
                                                             ['food left', 125, 133.5, 1, 0],
                                                             ['food lower', 128.5, 130, 0, 1]]) {
      checkEqual(stepsAcross(paused, pixel(wx), pixel(wy), dx, dy, Math.floor(scale) - 1), 1,
                 `colour steps across the ${name} edge`);
    }
    // Textured: the bright corners are the picture tinted, not the bare vertex colour.
    const corners = stripCorners(paused, 275).filter(c => c.want[0] > 150);
    const plain = corners.filter(c => near(c.got, c.want, 25)).map(c => c.name);
    check(plain.length === 0, `untextured corners: ${plain}`);
    // Each text's height from its highest pixel to its lowest, in CSS pixels, whatever the screen.
    for (const [name, tall, x0, y0, x1, y1] of [['title', 14, 14, 360, 160, 382],
                                                ['Score :', 9, 14, 340, 60, 352],
                                                ['digits', 9, 84, 340, 92, 352],
                                                ['dedication', 9, 182, 354, 320, 368],
                                                ['hint', 12, 210, 338, 345, 352]]) {
      const box = at(x0, y0, x1, y1);
      check(count(paused, ...box, isTextYellow) > 8, `no yellow pixels of the ${name}`);
      const got = textRows(paused, box) / ratio;
      check(Math.abs(got - tall) <= 1, `the ${name} is ${got} CSS pixels tall, not ${tall}`);
    }
    // Paused ticks go on, each drawing a frame; the head stays through them.
    await game.waitForMore('ticks', 3);
    await game.waitForMore('frames', 1);
    checkEqual(headOnStartRow(await game.frame(), scale), x, 'the paused head');
    // Two moving ticks, then the clock held until the wider window is in place: however slow
    // the frames come, the head can't reach the narrower world's wall first.
    const ticks = await game.evaluate(() => (window.velmorakTest.holdAfterTick =
                                               window.velmorakPage.ticks));
    await pause();
    await game.holdAfterTick(ticks + 2);
    await game.waitForFrame(frame => headOnStartRow(frame, scale) > x &&
                                     count(frame, ...at(130, 175, 300, 200), isBrown) === 0,
                            'the head moving on without "Paused"');

    // Desktop: 150 pixels wider and 50 taller, a 500 x 435 game window, its world 287.356 x 250.
    // Phone turned sideways: the 740 x 360 screen less the 220-pixel side column, a 520 x 360
    // game window, its world 361.111 x 250.
    const [viewport, wideSize, worldWidth] = touch
      ? [{ ...screen, width: 740, height: 360 }, [520, 360].map(v => v * ratio), '361.111']
      : [{ width: 1050, height: 650 }, [500, 435], '287.356'];
    await game.setViewport(viewport);
    await game.waitFor(w => document.getElementById('canvas').width === w, 'the resize', 20000,
                       wideSize[0]);
    await game.holdAfterTick(null);
    // A tick after the reshape asks for the whole window redrawn, and the frame after it draws.
    await game.waitForMore('ticks', 1);
    await game.waitForMore('frames', 1);
    const wide = await game.frame();
    saveFrame(wide, `resized_${variant}_${engineName}`);
    checkEqual(`${wide.width}x${wide.height}`, wideSize.join('x'), 'the game window');
    checkEqual(count(wide, 0, 0, wide.width, wide.height, p => near(p, colour.cleared, 2)), 0,
               'cleared pixels after the resize');
    await game.waitForConsole(expected['report:1'], 30000);
    // Byte for byte what a plain screen prints: pixels make no difference to the world.
    checkEqual(await game.consoleText(), expected['start:shown'] +
               `window width :${worldWidth}\nCASE 1\n` + expected['report:1'],
               'console after the right wall of the wider world');
  } },

  // A hidden page pauses as F1 would; F1 resumes it.
  hidden_page: { needs: ['hiddenTab'], async play(engine, url) {
    const game = await GamePage.open(engine, url + '?level=1');
    await game.waitFor(() => window.velmorakPage.frames > 0, 'the first frame');
    await game.hide();
    await game.waitFor(() => document.visibilityState === 'hidden', 'the page to be hidden');
    await game.show();
    await game.waitFor(() => document.visibilityState === 'visible', 'the page to show again');
    const box = [130, 175, 300, 200];
    const frame = await game.waitForFrame(f => showsPaused(f, box), '"Paused"');
    const x = headOnStartRow(frame, 1.4);
    await game.waitForMore('ticks', 3);
    await game.waitForMore('frames', 1);
    checkEqual(headOnStartRow(await game.frame(), 1.4), x, 'the head of the hidden-paused game');
    await game.press('F1');
    await game.waitForFrame(f => headOnStartRow(f, 1.4) > x, 'the head moving after F1');
    checkEqual(await game.consoleText(), expected['start:shown'], 'console');
  } },

  // Opened once, the page plays with the server gone; a rebuilt page, one with a worker of its
  // own, takes over on the next load, and the last build's cache goes.
  offline: { needs: ['serviceWorker'], async play(engine, url, server) {
    const game = await GamePage.open(engine, url);
    await game.waitFor(() => window.velmorakPage.offline, 'the page kept for offline play');
    const kept = await game.evaluate(() => caches.keys());
    check(kept.length === 1 && kept[0].startsWith('velmorak-'), `caches: ${kept}`);
    await server.close();
    await game.reload();
    await game.typeLevel('8');
    await game.waitForConsole(expected['report:1']);

    const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'velmorak-rebuilt-'));
    let rebuilt = null;
    try {
      fs.cpSync(options.page, folder, { recursive: true });
      const newCache = `${kept[0]}-rebuilt`;
      const worker = path.join(folder, 'sw.js'), page = path.join(folder, 'index.html');
      fs.writeFileSync(worker, String(fs.readFileSync(worker)).replace(kept[0], newCache));
      fs.writeFileSync(page, String(fs.readFileSync(page)).replace(
        '<head>', '<head>\n<meta name="velmorak-build" content="rebuilt">'));
      rebuilt = await serve(folder, server.port);
      // The old build's page, from its cache; the browser finds the worker changed meanwhile.
      await game.reload();
      await game.waitFor(name => caches.keys().then(names => names.join() === name),
                         'the rebuilt page\'s cache alone', 30000, newCache);
      await game.reload();
      checkEqual(await game.evaluate(() => document.querySelector('meta[name=velmorak-build]')
                                             ?.content), 'rebuilt', 'the page after a rebuild');
    } finally {
      if (rebuilt) await rebuilt.close();
      fs.rmSync(folder, { recursive: true, force: true });
    }
  } },

  // Pictures the player picks that the game can't show: the honest lines, plain strips.
  bad_pictures: { needs: [], async play(engine, url) {
    const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'velmorak-pictures-'));
    try {
      const text = path.join(folder, 'sky.bmp');
      fs.writeFileSync(text, 'this is no bitmap\n');
      const cut = path.join(folder, 'background.bmp');
      fs.writeFileSync(cut, fs.readFileSync(path.join(options.page, 'background.bmp')).subarray(0, 400));
      const game = await GamePage.open(engine, url);
      await game.uploadFile('#sky', text);
      await game.uploadFile('#background', cut);
      await game.typeLevel('1');
      await game.waitForConsole('background.bmp: its strip is drawn without a picture\n');
      checkEqual(await game.consoleText(), expected['start:refused'], 'console');
      await game.press('F1');
      await game.waitFor(() => window.velmorakPage.frames > 2, 'a frame');
      const frame = await game.frame();
      const off = stripCorners(frame, 275).filter(c => !near(c.got, c.want, 12));
      check(off.length === 0, `strip corners: ${JSON.stringify(off)}`);
      // The pictures picked stay for the next game, which says again what it makes of them.
      await game.press('F1');
      await playAgain(game, 1);
      await game.waitForConsole('background.bmp: its strip is drawn without a picture\n');
      checkEqual(await game.consoleText(), expected['start:refused'], 'console of another game');
    } finally {
      fs.rmSync(folder, { recursive: true, force: true });
    }
  } },
};

check(scenario in scenarios, `no scenario ${scenario}; there are ${Object.keys(scenarios)}`);
const server = await serve(path.resolve(options.page));
const engine = await launchEngine(engineName);
const lacking = scenarios[scenario].needs.find(need => !engine.can[need]);
let failed = null;
try {
  if (lacking === undefined) await scenarios[scenario].play(engine, server.url, server);
} catch (error) {
  failed = error;
} finally {
  await engine.close();
  await server.close();
}
const run = `web scenario ${process.argv[2]} in ${engineName}`;
if (failed) {
  console.error(`${run} failed: ${failed.stack || failed}`);
  process.exit(1);
}
if (lacking !== undefined) {
  console.log(`skipped in ${engineName}: ${engine.skipReason(lacking)}`);
  process.exit(skipCode);
}
console.log(`${run} passed`);
