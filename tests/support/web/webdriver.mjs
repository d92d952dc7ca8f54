// A small W3C WebDriver client over node's own fetch: a driver process on a free local port, one
// session, and the handful of commands the page's tests need. Classic WebDriver is all WebKit's
// driver speaks; its answers are plain JSON, so a library would bring more than it saves.
import { spawn } from 'node:child_process';
import net from 'node:net';

// The code points WebDriver reserves for keys that type no character.
const specialKeys = {
  Backspace: '\uE003', Tab: '\uE004', Enter: '\uE007', Shift: '\uE008', Control: '\uE009',
  Alt: '\uE00A', Escape: '\uE00C', ' ': ' ', PageUp: '\uE00E', PageDown: '\uE00F', End: '\uE010',
  Home: '\uE011', ArrowLeft: '\uE012', ArrowUp: '\uE013', ArrowRight: '\uE014',
  ArrowDown: '\uE015', Insert: '\uE016', Delete: '\uE017',
  ...Object.fromEntries(Array.from({ length: 12 }, (_, i) => [`F${i + 1}`,
                                                              String.fromCharCode(0xE031 + i)])),
};

export function keyValue(key) {
  if (key in specialKeys) return specialKeys[key];
  if ([...key].length === 1) return key;
  throw new Error(`no WebDriver key for ${JSON.stringify(key)}`);
}

const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));

// Runs fn (at once, without waiting) when this process ends: at its exit or at a signal to stop,
// which is then passed on. Returns what takes fn off again.
export function atStop(fn) {
  const signals = ['SIGINT', 'SIGTERM', 'SIGHUP'];
  const forget = () => {
    process.removeListener('exit', fn);
    for (const name of signals) process.removeListener(name, stopped);
  };
  const stopped = name => {
    forget();
    fn();
    process.kill(process.pid, name);
  };
  process.once('exit', fn);
  for (const name of signals) process.on(name, stopped);
  return forget;
}

// A port nobody listens on right now; the driver may still lose it to a race, so callers retry.
function freePort() {
  return new Promise((resolve, reject) => {
    const probe = net.createServer();
    probe.once('error', reject);
    probe.listen(0, '127.0.0.1', () => {
      const { port } = probe.address();
      probe.close(() => resolve(port));
    });
  });
}

export class WebDriver {
  // Starts `binary --port=N` (its own process group, so whatever browser it starts ends with
  // it) and waits until it says it is ready for a session.
  static async start(binary, { env = process.env, attempts = 3, timeout = 30000 } = {}) {
    let lastError = null;
    for (let attempt = 0; attempt < attempts; attempt++) {
      const port = await freePort();
      const driver = new WebDriver(binary, port, env);
      try {
        await driver.waitReady(timeout);
        return driver;
      } catch (error) {
        lastError = error;
        await driver.stop();
      }
    }
    throw lastError;
  }

  constructor(binary, port, env) {
    this.binary = binary;
    this.base = `http://127.0.0.1:${port}`;
    this.session = null;
    this.output = '';
    this.process = spawn(binary, [`--port=${port}`], { env, detached: true,
                                                       stdio: ['ignore', 'pipe', 'pipe'] });
    // Only the tail: enough to say why it died, never a run's worth of chatter.
    const keep = chunk => { this.output = (this.output + chunk).slice(-4000); };
    this.process.stdout.on('data', keep);
    this.process.stderr.on('data', keep);
    this.exited = new Promise(resolve => this.process.once('exit', resolve));
    // A test that dies or is stopped without closing still takes the driver and its browser with
    // it: their own process group hears no Ctrl+C.
    this.forget = atStop(() => this.signal('SIGKILL'));
    this.process.once('error', error => { this.output += String(error); });
  }

  running() {
    return this.process.exitCode === null && this.process.signalCode === null;
  }

  async waitReady(timeout) {
    const deadline = Date.now() + timeout;
    while (Date.now() < deadline) {
      if (!this.running()) break;
      try {
        const answer = await (await fetch(`${this.base}/status`,
                                          { signal: AbortSignal.timeout(5000) })).json();
        if (answer.value && answer.value.ready) return;
      } catch {
        // not listening yet
      }
      await sleep(50);
    }
    throw new Error(`${this.binary} was not ready for a session:\n${this.output}`);
  }

  // One command; the driver's own error and message become the Error's.
  // A command the browser never answers (a hung page) fails after timeout ms rather than holding
  // the test until its own time runs out.
  async command(method, route, body = method === 'POST' ? {} : undefined, timeout = 60000) {
    if (!this.running()) throw new Error(`${this.binary} has ended:\n${this.output}`);
    const url = this.base + (route.startsWith('/session') || !this.session
      ? route : `/session/${this.session}${route}`);
    let response;
    try {
      response = await fetch(url, {
        method, headers: { 'Content-Type': 'application/json; charset=utf-8' },
        body: body === undefined ? undefined : JSON.stringify(body),
        signal: AbortSignal.timeout(timeout) });
    } catch (error) {
      const why = error.cause?.message || error.message;
      throw new Error(`${method} ${route}: ${why}\n${this.output}`);
    }
    const answer = await response.json().catch(() => ({}));
    if (!response.ok || answer.value?.error) {
      const { error = response.status, message = '' } = answer.value || {};
      throw new Error(`${method} ${route}: ${error}: ${message}`);
    }
    return answer.value;
  }

  async newSession(capabilities) {
    const value = await this.command('POST', '/session',
                                     { capabilities: { alwaysMatch: capabilities } });
    this.session = value.sessionId;
    return value;
  }

  // Ends the session (its browser with it) and the driver; safe to call again or after a failure.
  async stop() {
    if (this.session && this.running()) {
      const session = this.session;
      this.session = null;
      await this.command('DELETE', `/session/${session}`, undefined, 10000).catch(() => {});
    }
    this.forget();
    this.signal('SIGTERM');
    if (!this.running()) return;
    if (!(await Promise.race([this.exited.then(() => true), sleep(5000)]))) {
      this.signal('SIGKILL');
      await this.exited;
    }
  }

  // The whole group, even when the driver is gone already: a browser it left behind goes too.
  signal(name) {
    try {
      process.kill(-this.process.pid, name);
    } catch {
      // nothing left in the group
    }
  }
}
