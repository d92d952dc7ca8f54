// The page as its scenarios, its benchmark and the screenshot tool see it, in any engine: a
// private static server on 127.0.0.1, the game page opened in one engine's tab (engine.mjs),
// keys, touches and files, the console pane's text, the canvas's pixels, the page's own state and
// the probe's counts. Everything waits on what the page shows or exposes, never on a clock.
import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import { fileURLToPath } from 'node:url';

export { launchEngine, engineNames } from './engine.mjs';

const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
                '.bmp': 'image/bmp', '.png': 'image/png',
                '.webmanifest': 'application/manifest+json' };
const probe = fs.readFileSync(fileURLToPath(new URL('probe.js', import.meta.url)));

// Serves the page's folder, with the probe ahead of the page's own script; counts the bytes of
// every answer of the page's (not the probe) so the benchmark can weigh them. A port given is
// the origin of a page served before, as a rebuilt page comes from the same address.
export async function serve(root, port = 0) {
  const served = [];
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const headers = { 'Cache-Control': 'no-store' };
    if (name === '/probe.js') {
      response.writeHead(200, { ...headers, 'Content-Type': types['.js'] }).end(probe);
      return;
    }
    const file = path.join(root, name === '/' ? 'index.html' : name);
    if (!file.startsWith(root) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
      response.writeHead(404).end();
      return;
    }
    let body = fs.readFileSync(file);
    served.push({ name, bytes: body.length, gzipped: zlib.gzipSync(body, { level: 9 }).length });
    if (name === '/' || name === '/index.html') {
      body = Buffer.from(String(body).replace('<script src="page.js">',
                                              '<script src="probe.js"></script>\n$&'));
    }
    const type = types[path.extname(file)] || 'application/octet-stream';
    response.writeHead(200, { ...headers, 'Content-Type': type });
    response.end(body);
  });
  await new Promise(resolve => server.listen(port, '127.0.0.1', resolve));
  return { url: `http://127.0.0.1:${server.address().port}/`, port: server.address().port, served,
           close: () => new Promise(resolve => {
             server.close(resolve);
             // A browser keeps its connections open; a stopped server must refuse the next load.
             server.closeAllConnections();
           }) };
}

// A desktop browser window, and a phone held upright.
export const desktop = { width: 900, height: 600 };
export const phone = { width: 360, height: 740, isMobile: true, hasTouch: true };

const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));

export class GamePage {
  // holdAfterTick, when given, holds the game's clock from its very first tick on (see probe.js).
  static async open(engine, url, viewport = desktop, { holdAfterTick = null } = {}) {
    const address = new URL(url);
    if (holdAfterTick !== null) address.searchParams.set('velmorakHold', holdAfterTick);
    const game = new GamePage(engine, await engine.open(address.href, viewport));
    await game.waitFor(() => window.velmorakPage && window.velmorakPage.ready,
                       'the page to be ready');
    return game;
  }

  constructor(engine, tab) {
    this.engine = engine;
    this.tab = tab;
  }

  evaluate(fn, ...args) {
    return this.tab.evaluate(fn, ...args);
  }

  // Polls fn in the page until it returns something true, and returns that.
  async waitFor(fn, what, timeout = 20000, ...args) {
    const deadline = Date.now() + timeout;
    for (;;) {
      const got = await this.tab.evaluate(fn, ...args).catch(() => null);
      if (got) return got;
      if (Date.now() > deadline) {
        throw new Error(`timed out waiting for ${what}; console so far:\n` +
                        `${await this.consoleText().catch(e => e)}\npage errors: ` +
                        (await this.tab.evaluate(() => window.velmorakProbe.errors.join('\n'))
                           .catch(e => e)));
      }
      await sleep(15);
    }
  }

  // Grabs frames until test(frame) holds; returns that frame.
  async waitForFrame(test, what, timeout = 20000) {
    const deadline = Date.now() + timeout;
    for (;;) {
      const frame = await this.frame();
      if (test(frame)) return frame;
      if (Date.now() > deadline) throw new Error(`timed out waiting for the frame to show ${what}`);
    }
  }

  consoleText() {
    return this.tab.evaluate(() => document.getElementById('console').textContent);
  }

  async waitForConsole(text, timeout = 20000) {
    await this.waitFor(t => document.getElementById('console').textContent.includes(t),
                       JSON.stringify(text), timeout, text);
  }

  async typeLevel(line) {
    await this.tab.focus('#level');
    await this.tab.type(line);
    await this.tab.press('Enter');
  }

  press(key) {
    return this.tab.press(key);
  }

  // A button pressed from the keyboard, as a desktop player without a mouse would.
  async activate(selector) {
    await this.tab.focus(selector);
    await this.tab.press('Enter');
  }

  setViewport(viewport) {
    return this.tab.setViewport(viewport);
  }

  uploadFile(selector, file) {
    return this.tab.uploadFile(selector, file);
  }

  async reload() {
    await this.tab.reload();
    await this.waitFor(() => window.velmorakPage && window.velmorakPage.ready, 'the reload');
  }

  // The game's clock: held after tick n, or going again with null.
  holdAfterTick(n) {
    return this.tab.evaluate(held => { window.velmorakTest.holdAfterTick = held; }, n);
  }

  ticks() {
    return this.tab.evaluate(() => window.velmorakPage.ticks);
  }

  // Resolves once the game has run n more ticks, or the page n more frames, than now.
  async waitForMore(counter, n) {
    const from = await this.tab.evaluate(c => window.velmorakPage[c], counter);
    await this.waitFor((c, to) => window.velmorakPage[c] >= to, `${n} more ${counter}`, 20000,
                       counter, from + n);
  }

  // The element's box in the page's viewport, CSS pixels.
  box(selector) {
    return this.tab.evaluate(s => {
      const r = document.querySelector(s).getBoundingClientRect();
      return { x: r.x, y: r.y, width: r.width, height: r.height };
    }, selector);
  }

  async tap(selector) {
    const box = await this.box(selector);
    const at = { x: box.x + box.width / 2, y: box.y + box.height / 2 };
    await this.tab.touch([at, at]);
  }

  // A finger drawn 60 CSS pixels across the canvas's middle, in steps as a real one moves.
  async swipe(direction) {
    const box = await this.box('#canvas');
    const [dx, dy] = { up: [0, -1], down: [0, 1], left: [-1, 0], right: [1, 0] }[direction];
    const x = box.x + box.width / 2, y = box.y + box.height / 2;
    const points = [];
    for (let step = 0; step <= 6; step++) {
      points.push({ x: x + dx * step * 10, y: y + dy * step * 10 });
    }
    await this.tab.touch(points);
  }

  probe() {
    return this.tab.evaluate(() => ({ ...window.velmorakPage, tones: window.velmorakProbe.tones,
                                       errors: window.velmorakProbe.errors }));
  }

  tickTimes() {
    return this.tab.evaluate(() => window.velmorakTest.tickTimes);
  }

  // The canvas as shown, bottom row first like the GL's frames: { width, height, at(x, y) }. Cut
  // from a screenshot of the whole viewport, since some engines' element screenshots of a WebGL
  // canvas come back half black.
  async frame() {
    const box = await this.tab.evaluate(() => {
      const c = document.getElementById('canvas'), r = c.getBoundingClientRect();
      return { x: r.x + c.clientLeft, y: r.y + c.clientTop, width: c.clientWidth,
               height: c.clientHeight, scale: devicePixelRatio };
    });
    const shot = decodePng(await this.tab.screenshot());
    const px = v => Math.round(v * box.scale);
    return shot.crop(px(box.x), px(box.y), px(box.width), px(box.height));
  }

  hide() {
    return this.tab.hide();
  }

  show() {
    return this.tab.show();
  }

  close() {
    return this.tab.close();
  }
}

// 8-bit RGB or RGBA, non-interlaced: what the engines' screenshots are. Rows as in the PNG, top
// first; crop() turns them into a frame.
export function decodePng(data) {
  let at = 8, width = 0, height = 0, channels = 0;
  const chunks = [];
  while (at < data.length) {
    const length = data.readUInt32BE(at);
    const type = data.toString('latin1', at + 4, at + 8);
    const body = data.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      channels = { 2: 3, 6: 4 }[body[9]];
      if (body[8] !== 8 || !channels || body[12] !== 0) throw new Error('unexpected PNG kind');
    } else if (type === 'IDAT') {
      chunks.push(body);
    }
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(chunks));
  const stride = width * channels;
  const pixels = Buffer.alloc(stride * height);
  for (let y = 0; y < height; y++) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    const out = pixels.subarray(y * stride, (y + 1) * stride);
    const up = y > 0 ? pixels.subarray((y - 1) * stride, y * stride) : Buffer.alloc(stride);
    for (let x = 0; x < stride; x++) {
      const a = x >= channels ? out[x - channels] : 0, b = up[x];
      const c = x >= channels ? up[x - channels] : 0;
      let p = 0;
      if (filter === 1) p = a;
      else if (filter === 2) p = b;
      else if (filter === 3) p = (a + b) >> 1;
      else if (filter === 4) {
        const pa = Math.abs(b - c), pb = Math.abs(a - c), pc = Math.abs(a + b - 2 * c);
        p = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      out[x] = (line[x] + p) & 255;
    }
  }
  return {
    width, height,
    // The box from (left, top) in the picture's pixels, as a frame: bottom row first.
    crop(left, top, w, h) {
      w = Math.min(w, width - left);
      h = Math.min(h, height - top);
      return {
        width: w, height: h,
        at(x, y) {
          const i = (top + h - 1 - y) * stride + (left + x) * channels;
          return [pixels[i], pixels[i + 1], pixels[i + 2]];
        },
      };
    },
  };
}
