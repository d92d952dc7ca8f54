// Drives the built page in headless Chromium (devtools.mjs): a private static server on
// 127.0.0.1, a fresh browser profile per browser, keys through the DevTools protocol, the console
// pane's text, the canvas's pixels from screenshots, and the page's Web Audio tones counted.
import http from 'node:http';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import { Browser } from './devtools.mjs';

const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
                '.bmp': 'image/bmp' };

// Serves the page's folder; counts the bytes of every answer so the benchmark can weigh them.
export async function serve(root) {
  const served = [];
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = path.join(root, name === '/' ? 'index.html' : name);
    if (!file.startsWith(root) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
      response.writeHead(404).end();
      return;
    }
    const body = fs.readFileSync(file);
    served.push({ name, bytes: body.length, gzipped: zlib.gzipSync(body, { level: 9 }).length });
    response.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream',
                              'Cache-Control': 'no-store' });
    response.end(body);
  });
  await new Promise(resolve => server.listen(0, '127.0.0.1', resolve));
  return { url: `http://127.0.0.1:${server.address().port}/`, served,
           close: () => new Promise(resolve => server.close(resolve)) };
}

export async function launch() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'velmorak-chromium-'));
  const browser = await Browser.launch(process.env.CHROMIUM || '/usr/bin/chromium', [
    '--headless=new', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
    '--autoplay-policy=no-user-gesture-required', '--no-sandbox', '--disable-gpu',
    '--no-first-run', '--no-default-browser-check', '--disable-background-networking',
    '--disable-component-update', '--disable-sync', '--disable-quic', '--window-size=900,600',
    `--user-data-dir=${profile}`]);
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    fs.rmSync(profile, { recursive: true, force: true });
  };
  return browser;
}

// Before any of the page's code: every tone the page starts is counted, and every timer callback
// the game's timers run is time-stamped.
function instrument() {
  window.velmorakProbe = { tones: 0, timers: [] };
  const start = OscillatorNode.prototype.start;
  OscillatorNode.prototype.start = function (...args) {
    window.velmorakProbe.tones++;
    return start.apply(this, args);
  };
  const setTimer = window.setTimeout;
  window.setTimeout = function (callback, delay, ...rest) {
    return setTimer.call(window, function (...inner) {
      window.velmorakProbe.timers.push(performance.now());
      return callback.apply(this, inner);
    }, delay, ...rest);
  };
}

// A phone held upright.
export const phone = { width: 360, height: 740, isMobile: true, hasTouch: true };

export class GamePage {
  static async open(browser, url, viewport = { width: 900, height: 600 }) {
    const page = await browser.newPage();
    await page.setViewport(viewport);
    await page.evaluateOnNewDocument(instrument);
    const errors = [];
    page.on('pageerror', error => errors.push(String(error)));
    await page.goto(url);
    const game = new GamePage(page, errors);
    await game.waitFor(() => window.velmorakPage && window.velmorakPage.ready, 'the page to be ready');
    return game;
  }

  constructor(page, errors) {
    this.page = page;
    this.errors = errors;
  }

  async waitFor(fn, what, timeout = 20000, ...args) {
    try {
      await this.page.waitForFunction(fn, { timeout, polling: 10 }, ...args);
    } catch (e) {
      throw new Error(`timed out waiting for ${what}; console so far:\n${await this.consoleText()}` +
                      `\npage errors: ${this.errors.join('\n')}`);
    }
  }

  consoleText() {
    return this.page.$eval('#console', pane => pane.textContent);
  }

  async waitForConsole(text, timeout = 20000) {
    await this.waitFor(t => document.getElementById('console').textContent.includes(t),
                       JSON.stringify(text), timeout, text);
  }

  async typeLevel(line) {
    await this.page.focus('#level');
    await this.page.keyboard.type(line);
    await this.page.keyboard.press('Enter');
  }

  async press(key) {
    await this.page.keyboard.press(key);
  }

  // The element's box in the page's viewport.
  box(selector) {
    return this.page.$eval(selector, e => {
      const r = e.getBoundingClientRect();
      return { x: r.x, y: r.y, width: r.width, height: r.height };
    });
  }

  async tap(selector) {
    const box = await this.box(selector);
    await this.page.touchscreen.tap(box.x + box.width / 2, box.y + box.height / 2);
  }

  // A finger drawn 60 CSS pixels across the canvas's middle, in steps as a real one moves.
  async swipe(direction) {
    const box = await this.box('#canvas');
    const [dx, dy] = { up: [0, -1], down: [0, 1], left: [-1, 0], right: [1, 0] }[direction];
    const x = box.x + box.width / 2, y = box.y + box.height / 2;
    await this.page.touchscreen.touchStart(x, y);
    for (let step = 1; step <= 6; step++) {
      await this.page.touchscreen.touchMove(x + dx * step * 10, y + dy * step * 10);
    }
    await this.page.touchscreen.touchEnd();
  }

  probe() {
    return this.page.evaluate(() => ({ ...window.velmorakPage, tones: window.velmorakProbe.tones,
                                       timers: window.velmorakProbe.timers.length }));
  }

  // The canvas as shown, bottom row first like the GL's frames: { width, height, at(x, y) }.
  async frame() {
    const box = await this.page.$eval('#canvas', c => {
      const r = c.getBoundingClientRect();
      return { x: r.x, y: r.y, width: c.width, height: c.height };
    });
    const png = await this.page.screenshot({ clip: box, type: 'png', captureBeyondViewport: false });
    return decodePng(Buffer.from(png));
  }
}

// 8-bit RGB or RGBA, non-interlaced: what Chromium's screenshots are.
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
    at(x, y) {
      const i = (height - 1 - y) * stride + x * channels;
      return [pixels[i], pixels[i + 1], pixels[i + 2]];
    },
  };
}
