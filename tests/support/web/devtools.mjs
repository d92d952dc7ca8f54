// The few DevTools calls the page's tests make, over Chromium's --remote-debugging-pipe: its
// commands go in on descriptor 3 and its answers come out on descriptor 4, each a JSON message
// ended by a NUL byte. Node and Debian's Chromium are all it needs, so the tests install nothing
// from a registry. The names follow the well-known browser-driving libraries' so the scenarios
// read as usual.
import { spawn } from 'node:child_process';
import fs from 'node:fs';

class Connection {
  constructor(input, output) {
    this.input = input;
    this.lastId = 0;
    this.pending = new Map();
    this.listeners = new Set();
    let buffered = Buffer.alloc(0);
    output.on('data', chunk => {
      buffered = Buffer.concat([buffered, chunk]);
      for (let end = buffered.indexOf(0); end >= 0; end = buffered.indexOf(0)) {
        const message = JSON.parse(buffered.toString('utf8', 0, end));
        buffered = buffered.subarray(end + 1);
        this.dispatch(message);
      }
    });
  }

  dispatch(message) {
    if (message.id !== undefined) {
      const waiting = this.pending.get(message.id);
      this.pending.delete(message.id);
      if (!waiting) return;
      if (message.error) waiting.reject(new Error(`${waiting.method}: ${message.error.message}`));
      else waiting.resolve(message.result);
      return;
    }
    for (const listener of [...this.listeners]) listener(message);
  }

  send(method, params = {}, sessionId = undefined) {
    const id = ++this.lastId;
    const message = { id, method, params };
    if (sessionId) message.sessionId = sessionId;
    return new Promise((resolve, reject) => {
      this.pending.set(id, { resolve, reject, method });
      this.input.write(JSON.stringify(message) + '\0');
    });
  }

  // The next event of this method (and session) for which accept says yes.
  waitForEvent(method, sessionId, accept = () => true) {
    return new Promise(resolve => {
      const listener = message => {
        if (message.method !== method || message.sessionId !== sessionId) return;
        if (!accept(message.params)) return;
        this.listeners.delete(listener);
        resolve(message.params);
      };
      this.listeners.add(listener);
    });
  }

  failAll(reason) {
    for (const waiting of this.pending.values()) waiting.reject(new Error(reason));
    this.pending.clear();
  }
}

// What the scenarios press: the DOM key name, its code and Windows key code, and its text.
const keys = {
  Enter: { code: 'Enter', keyCode: 13, text: '\r' },
  ArrowLeft: { code: 'ArrowLeft', keyCode: 37 },
  ArrowUp: { code: 'ArrowUp', keyCode: 38 },
  ArrowRight: { code: 'ArrowRight', keyCode: 39 },
  ArrowDown: { code: 'ArrowDown', keyCode: 40 },
  F1: { code: 'F1', keyCode: 112 },
};

function describeKey(key) {
  if (keys[key]) return { key, ...keys[key] };
  if (key.length !== 1) throw new Error(`no key called ${key}`);
  const upper = key.toUpperCase();
  const code = /[0-9]/.test(key) ? `Digit${key}` : /[A-Z]/.test(upper) ? `Key${upper}` : '';
  return { key, code, keyCode: upper.charCodeAt(0), text: key };
}

class Keyboard {
  constructor(page) {
    this.page = page;
  }

  async press(key) {
    const { code, keyCode, text } = describeKey(key);
    const common = { key, code, windowsVirtualKeyCode: keyCode, nativeVirtualKeyCode: keyCode };
    await this.page.send('Input.dispatchKeyEvent',
                         { type: text ? 'keyDown' : 'rawKeyDown', text, unmodifiedText: text,
                           ...common });
    await this.page.send('Input.dispatchKeyEvent', { type: 'keyUp', ...common });
  }

  async type(line) {
    for (const character of line) await this.press(character);
  }
}

// One finger on the touch screen, in CSS pixels of the page.
class Touchscreen {
  constructor(page) {
    this.page = page;
  }

  touchStart(x, y) {
    return this.touch('touchStart', [{ x, y }]);
  }

  touchMove(x, y) {
    return this.touch('touchMove', [{ x, y }]);
  }

  touchEnd() {
    return this.touch('touchEnd', []);
  }

  touch(type, touchPoints) {
    return this.page.send('Input.dispatchTouchEvent', { type, touchPoints });
  }

  async tap(x, y) {
    await this.touchStart(x, y);
    await this.touchEnd();
  }
}

// A function of the page's and its arguments, as one expression to evaluate there.
const call = (fn, args) => `(${fn})(${args.map(a => JSON.stringify(a)).join(', ')})`;

class Element {
  constructor(page, selector) {
    this.page = page;
    this.selector = selector;
  }

  async uploadFile(...files) {
    const { root } = await this.page.send('DOM.getDocument', { depth: 0 });
    const { nodeId } = await this.page.send('DOM.querySelector',
                                            { nodeId: root.nodeId, selector: this.selector });
    await this.page.send('DOM.setFileInputFiles', { nodeId, files });
  }
}

export class Page {
  static async open(browser) {
    const { targetId } = await browser.connection.send('Target.createTarget',
                                                       { url: 'about:blank' });
    const { sessionId } = await browser.connection.send('Target.attachToTarget',
                                                        { targetId, flatten: true });
    const page = new Page(browser, targetId, sessionId);
    await Promise.all([page.send('Page.enable'), page.send('Runtime.enable')]);
    return page;
  }

  constructor(browser, targetId, sessionId) {
    this.browser = browser;
    this.targetId = targetId;
    this.sessionId = sessionId;
    this.keyboard = new Keyboard(this);
    this.touchscreen = new Touchscreen(this);
    this.errorListeners = [];
    browser.connection.listeners.add(message => {
      if (message.sessionId !== sessionId || message.method !== 'Runtime.exceptionThrown') return;
      const details = message.params.exceptionDetails;
      const text = (details.exception && details.exception.description) || details.text;
      for (const listener of this.errorListeners) listener(new Error(text));
    });
  }

  send(method, params = {}) {
    return this.browser.connection.send(method, params, this.sessionId);
  }

  on(event, listener) {
    if (event !== 'pageerror') throw new Error(`no page event ${event} here`);
    this.errorListeners.push(listener);
  }

  // A phone is isMobile (its viewport follows the page's viewport meta) with hasTouch (touch
  // events, and a coarse pointer for the page's media queries); turned by its width and height.
  async setViewport({ width, height, isMobile = false, hasTouch = false }) {
    const screenOrientation = width > height ? { type: 'landscapePrimary', angle: 90 }
                                             : { type: 'portraitPrimary', angle: 0 };
    await this.send('Emulation.setDeviceMetricsOverride',
                    { width, height, deviceScaleFactor: 1, mobile: isMobile, screenOrientation });
    await this.send('Emulation.setTouchEmulationEnabled', { enabled: hasTouch, maxTouchPoints: 5 });
  }

  evaluateOnNewDocument(fn, ...args) {
    return this.send('Page.addScriptToEvaluateOnNewDocument', { source: call(fn, args) });
  }

  async loaded(navigate) {
    const load = this.browser.connection.waitForEvent('Page.loadEventFired', this.sessionId);
    await navigate();
    await load;
  }

  goto(url) {
    return this.loaded(async () => {
      const { errorText } = await this.send('Page.navigate', { url });
      if (errorText) throw new Error(`${url}: ${errorText}`);
    });
  }

  reload() {
    return this.loaded(() => this.send('Page.reload'));
  }

  async evaluate(fn, ...args) {
    const expression = typeof fn === 'string' ? fn : call(fn, args);
    const { result, exceptionDetails } = await this.send(
      'Runtime.evaluate', { expression, returnByValue: true, awaitPromise: true });
    if (exceptionDetails) {
      throw new Error((exceptionDetails.exception && exceptionDetails.exception.description) ||
                      exceptionDetails.text);
    }
    return result.value;
  }

  $eval(selector, fn) {
    return this.evaluate(`(${fn})(document.querySelector(${JSON.stringify(selector)}))`);
  }

  async $(selector) {
    const found = await this.evaluate(s => document.querySelector(s) !== null, selector);
    return found ? new Element(this, selector) : null;
  }

  focus(selector) {
    return this.$eval(selector, element => element.focus());
  }

  // Polls fn in the page until it answers truthily; a page between documents answers nothing.
  async waitForFunction(fn, { timeout = 30000, polling = 100 } = {}, ...args) {
    const deadline = Date.now() + timeout;
    for (;;) {
      const value = await this.evaluate(fn, ...args).catch(() => undefined);
      if (value) return value;
      if (Date.now() > deadline) throw new Error(`waiting for ${fn} timed out after ${timeout} ms`);
      await new Promise(resolve => setTimeout(resolve, polling));
    }
  }

  bringToFront() {
    return this.send('Page.bringToFront');
  }

  async screenshot({ clip, path, captureBeyondViewport = false } = {}) {
    const params = { format: 'png', captureBeyondViewport };
    if (clip) params.clip = { ...clip, scale: 1 };
    const { data } = await this.send('Page.captureScreenshot', params);
    const png = Buffer.from(data, 'base64');
    if (path) fs.writeFileSync(path, png);
    return png;
  }

  close() {
    return this.browser.connection.send('Target.closeTarget', { targetId: this.targetId });
  }
}

export class Browser {
  static async launch(executable, args) {
    const child = spawn(executable, [...args, '--remote-debugging-pipe', 'about:blank'],
                        { stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe'] });
    let stderr = '';
    child.stderr.on('data', chunk => { stderr = (stderr + chunk).slice(-4000); });
    const browser = new Browser(child, new Connection(child.stdio[3], child.stdio[4]));
    const exited = new Promise(resolve => child.once('exit', resolve));
    browser.exited = exited;
    exited.then(code => browser.connection.failAll(`Chromium exited (${code}):\n${stderr}`));
    await Promise.race([
      browser.connection.send('Browser.getVersion'),
      exited.then(() => { throw new Error(`Chromium did not start:\n${stderr}`); }),
    ]);
    return browser;
  }

  constructor(child, connection) {
    this.child = child;
    this.connection = connection;
  }

  newPage() {
    return Page.open(this);
  }

  async close() {
    await this.connection.send('Browser.close').catch(() => {});
    const gone = await Promise.race([this.exited.then(() => true),
                                     new Promise(resolve => setTimeout(resolve, 5000, false))]);
    if (!gone) this.child.kill('SIGKILL');
  }
}
