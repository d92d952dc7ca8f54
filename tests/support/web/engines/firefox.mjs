// Firefox ESR through puppeteer-core over WebDriver BiDi. Headless, but on a private X server all
// the same: without a display it draws no WebGL. It gets a home of its own, since it writes a
// cache there whatever profile it is given, and a fresh profile whose prefs let the page sound
// without a gesture.
//
// Firefox makes a touch screen only from its prefs, read once at start-up, and those prefs make
// every page a touch screen. So the browser starts with the first tab, as a phone or as a desktop
// as that tab's viewport asks, and stays that for its other tabs.
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';
import { startXvfb } from '../xvfb.mjs';
import { PuppeteerTab } from './puppeteer_tab.mjs';

const prefs = { 'media.autoplay.default': 0 };
// Touch events and a coarse pointer, so the page takes its phone layout as on a phone, whose
// scrollbars float over the page instead of taking 12 pixels of its width.
const phonePrefs = {
  'dom.w3c_touch_events.enabled': 1,
  'dom.w3c_touch_events.legacy_apis.enabled': true,
  'ui.primaryPointerCapabilities': 1,
  'ui.allPointerCapabilities': 1,
  'dom.maxtouchpoints.testing.value': 5,
  'ui.useOverlayScrollbars': 1,
};

async function start(touch) {
  const home = fs.mkdtempSync(path.join(os.tmpdir(), 'velmorak-firefox-'));
  const profile = path.join(home, 'profile');
  fs.mkdirSync(profile);
  let xvfb = null, browser = null;
  const close = async () => {
    try {
      if (browser) await browser.close();
    } finally {
      if (xvfb) await xvfb.stop();
      fs.rmSync(home, { recursive: true, force: true });
    }
  };
  try {
    xvfb = await startXvfb();
    browser = await puppeteer.launch({
      browser: 'firefox',
      protocol: 'webDriverBiDi',
      executablePath: process.env.FIREFOX || '/usr/bin/firefox-esr',
      headless: true,
      userDataDir: profile,
      extraPrefsFirefox: touch ? { ...prefs, ...phonePrefs } : prefs,
      // Start-up alone can take 15 s on a busy machine.
      timeout: 90000,
      env: { ...process.env, HOME: home, XDG_CACHE_HOME: path.join(home, '.cache'),
             DISPLAY: xvfb.display },
    });
  } catch (error) {
    await close();
    throw error;
  }
  return { browser, touch, close };
}

// Only the viewport's size and pixel ratio, straight through BiDi: puppeteer's setViewport also
// overrides the screen's orientation, a command Firefox ESR 140 (Debian 12 without its security
// updates) doesn't know. Touch comes from the prefs above, and nothing here reads the orientation.
class FirefoxTab extends PuppeteerTab {
  setViewport({ width, height, deviceScaleFactor = null }) {
    return this.page.mainFrame().browsingContext.setViewport({
      viewport: { width, height }, devicePixelRatio: deviceScaleFactor });
  }
}

export async function launch() {
  let running = null;
  return {
    name: 'firefox',
    can: { touch: true, deviceScale: true, hiddenTab: true, serviceWorker: true,
           installability: false },
    skipReason: need => (need === 'installability' ? 'Firefox installs no web apps'
                                                 : `Firefox can't ${need}`),
    async open(url, viewport) {
      const touch = Boolean(viewport.hasTouch);
      running ??= await start(touch);
      if (running.touch !== touch) {
        throw new Error('one Firefox is a phone or a desktop for all its tabs, not both');
      }
      const page = await running.browser.newPage();
      const tab = new FirefoxTab(running.browser, page);
      await tab.setViewport(viewport);
      await page.goto(url);
      return tab;
    },
    async close() {
      if (running) await running.close();
    },
  };
}
