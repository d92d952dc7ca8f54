// WebKit: WebKitGTK's MiniBrowser driven by WebKitWebDriver (webdriver.mjs) on a private X
// server, since MiniBrowser has no headless mode. Every tab is a WebDriver window of one session;
// the session has one current window, so a tab's commands switch to it first and run one at a
// time.
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { WebDriver, atStop, keyValue } from '../webdriver.mjs';
import { startXvfb } from '../xvfb.mjs';

const miniBrowser = process.env.MINIBROWSER ||
                    '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
const elementKey = 'element-6066-11e4-a52e-4f735466cecf';
// GTK won't make MiniBrowser's window narrower than its toolbar.
const narrowest = 447;
const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));

// Known before launching, so a scenario this engine can't play need not wait for a browser.
export const can = { touch: false, deviceScale: false, hiddenTab: true, serviceWorker: true,
                     installability: false };
const reasons = {
  touch: 'WebKitGTK has no touch emulation, and its window cannot be narrower than ' +
         `${narrowest} px`,
  deviceScale: 'WebKitWebDriver cannot set a device scale factor',
  installability: 'WebKitGTK reports nothing about installing a page as an app',
};

export async function launch({ log = () => {} } = {}) {
  const home = fs.mkdtempSync(path.join(os.tmpdir(), 'velmorak-webkit-'));
  const engine = new WebKit(home);
  // Stopped before it closes, the run still leaves no browser, X server or folder behind.
  engine.forget = atStop(() => {
    if (engine.driver) engine.driver.signal('SIGKILL');
    if (engine.xvfb) engine.xvfb.stop();
    fs.rmSync(home, { recursive: true, force: true });
  });
  try {
    engine.xvfb = await startXvfb();
    // MiniBrowser's caches and data land in the run's own folder, not the user's.
    const env = { ...process.env, DISPLAY: engine.xvfb.display, NO_AT_BRIDGE: '1',
                  XDG_CACHE_HOME: path.join(home, 'cache'), XDG_DATA_HOME: path.join(home, 'data'),
                  XDG_CONFIG_HOME: path.join(home, 'config') };
    engine.driver = await WebDriver.start(process.env.WEBKITWEBDRIVER || 'WebKitWebDriver',
                                          { env });
    const session = await engine.driver.newSession({
      browserName: 'MiniBrowser',
      'webkitgtk:browserOptions': { binary: miniBrowser, args: ['--automation'] },
    });
    log(`webkit: MiniBrowser ${session.capabilities.browserVersion} on ${engine.xvfb.display}`);
    // A promise an evaluation returns may take its time in the page: the client's bound on every
    // command applies, not the driver's 30 s.
    await engine.driver.command('POST', '/timeouts', { script: null });
    // The session's first window stays blank: new windows are opened from it, since WebDriver
    // opens none from a window that has been closed.
    engine.current = engine.blank = await engine.driver.command('GET', '/window');
  } catch (error) {
    await engine.close();
    throw error;
  }
  return engine;
}

class WebKit {
  constructor(home) {
    this.name = 'webkit';
    this.can = can;
    this.home = home;
    this.queue = Promise.resolve();
    // What MiniBrowser's window adds around the page (its toolbar), learnt at the first resize.
    this.chrome = { width: 0, height: 0 };
  }

  skipReason(need) {
    return reasons[need] || `WebKit cannot ${need}`;
  }

  // fn(driver) with the session's current window at handle, after every command queued before.
  run(handle, fn) {
    const step = this.queue.then(async () => {
      if (handle && this.current !== handle) {
        await this.driver.command('POST', '/window', { handle });
        this.current = handle;
      }
      return fn(this.driver);
    });
    this.queue = step.catch(() => {});
    return step;
  }

  async open(url, viewport) {
    // A window, not a tab: a tab opened behind another is hidden.
    const { handle } = await this.run(this.blank, driver => driver.command(
      'POST', '/window/new', { type: 'window' }));
    const tab = new Tab(this, handle);
    await tab.setViewport(viewport);
    await this.run(handle, driver => driver.command('POST', '/url', { url }));
    return tab;
  }

  async close() {
    const { driver, xvfb } = this;
    this.driver = this.xvfb = null;
    if (driver) await driver.stop();
    if (xvfb) await xvfb.stop();
    this.forget();
    fs.rmSync(this.home, { recursive: true, force: true });
  }
}

class Tab {
  constructor(engine, handle) {
    this.engine = engine;
    this.handle = handle;
  }

  command(method, route, body) {
    return this.engine.run(this.handle, driver => driver.command(method, route, body));
  }

  // The result travels as JSON text so that it comes back as the page had it, undefined included;
  // a failure comes back under a name of its own, since the driver takes `error` for its own.
  async evaluate(fn, ...args) {
    const script = `const done = arguments[1];
      Promise.resolve().then(() => (${fn})(...JSON.parse(arguments[0]))).then(
        value => done({ json: value === undefined ? undefined : JSON.stringify(value) }),
        error => done({ failed: String(error) }));`;
    const answer = await this.command('POST', '/execute/async',
                                      { script, args: [JSON.stringify(args)] });
    if (answer.failed !== undefined) throw new Error(`in the page: ${answer.failed}`);
    return answer.json === undefined || answer.json === null ? undefined : JSON.parse(answer.json);
  }

  async setViewport({ width, height, hasTouch = false, deviceScaleFactor = 1 } = {}) {
    if (hasTouch) throw new Error(this.engine.skipReason('touch'));
    if (deviceScaleFactor !== 1) throw new Error(this.engine.skipReason('deviceScale'));
    if (width < narrowest) {
      throw new Error(`a ${width} px wide page: MiniBrowser's window cannot be narrower than ` +
                      `${narrowest} px`);
    }
    this.viewport = { width, height };
    // The window's size includes the toolbar; the page sees what is left once GTK has laid the
    // window out again, which it may do in steps. A size that has held a while in a window of the
    // asked-for size tells how much the toolbar takes.
    const { chrome } = this.engine;
    const sizes = () => this.evaluate(() => [innerWidth, innerHeight, outerWidth, outerHeight]);
    const deadline = Date.now() + 20000;
    let asked = null, seen = null, steady = 0;
    while (Date.now() < deadline) {
      const want = [width + chrome.width, height + chrome.height];
      if (`${want}` !== `${asked}`) {
        await this.command('POST', '/window/rect', { width: want[0], height: want[1] });
        asked = want;
        steady = 0;
      }
      const last = `${seen}`;
      seen = await sizes();
      if (seen[0] === width && seen[1] === height) return;
      steady = `${seen}` === last ? steady + 1 : 0;
      if (steady >= 4 && seen[2] === want[0] && seen[3] === want[1]) {
        chrome.width = seen[2] - seen[0];
        chrome.height = seen[3] - seen[1];
      }
      await sleep(50);
    }
    throw new Error(`asked MiniBrowser for a ${width} x ${height} page, got ` +
                    `${seen[0]} x ${seen[1]} in a ${seen[2]} x ${seen[3]} window`);
  }

  async focus(selector) {
    await this.evaluate(s => {
      const element = document.querySelector(s);
      if (!element) throw new Error(`no ${s} to focus`);
      element.focus();
    }, selector);
  }

  keys(actions) {
    return this.command('POST', '/actions',
                        { actions: [{ type: 'key', id: 'keyboard', actions }] });
  }

  async press(key) {
    const value = keyValue(key);
    await this.keys([{ type: 'keyDown', value }, { type: 'keyUp', value }]);
  }

  async type(text) {
    await this.keys([...text].flatMap(value => [{ type: 'keyDown', value },
                                                { type: 'keyUp', value }]));
  }

  async touch() {
    throw new Error(this.engine.skipReason('touch'));
  }

  async uploadFile(selector, file) {
    const element = await this.command('POST', '/element',
                                       { using: 'css selector', value: selector })
      .catch(error => { throw new Error(`${selector} to take ${file}: ${error.message}`); });
    await this.command('POST', `/element/${element[elementKey]}/value`,
                       { text: path.resolve(file) });
  }

  // The whole viewport: a screenshot of the WebGL canvas alone comes back half black.
  async screenshot() {
    return Buffer.from(await this.command('GET', '/screenshot'), 'base64');
  }

  async reload() {
    await this.command('POST', '/refresh');
  }

  // A second tab or window leaves the page visible in WebKitGTK; a minimized window hides it.
  async hide() {
    await this.command('POST', '/window/minimize');
  }

  // Sizing the window brings it back; the minimized window's own size is no guide to the page's.
  async show() {
    await this.setViewport(this.viewport);
  }

  // WebDriver opens a new window only from an open current one: the session goes back to a window
  // that is left, so the next open() works after this tab has gone.
  async close() {
    const left = await this.command('DELETE', '/window');
    this.engine.current = null;
    if (Array.isArray(left) && left.length > 0) await this.engine.run(left[0], () => null);
  }
}
