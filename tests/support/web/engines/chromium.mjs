// Headless Chromium through puppeteer-core over the DevTools protocol; software WebGL, sound
// allowed without a gesture, and nothing of the browser's own reaching for the network.
import puppeteer from 'puppeteer-core';
import { PuppeteerTab } from './puppeteer_tab.mjs';

export async function launch() {
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    // Our flags only: puppeteer's own hide the scrollbars the phone layout has to live with.
    ignoreDefaultArgs: true,
    pipe: true,
    args: ['--headless=new', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
           '--autoplay-policy=no-user-gesture-required', '--no-sandbox', '--disable-gpu',
           '--no-first-run', '--no-default-browser-check', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--disable-quic',
           '--window-size=900,600'],
  });
  return {
    name: 'chromium',
    can: { touch: true, deviceScale: true, hiddenTab: true, serviceWorker: true,
           installability: true },
    skipReason: need => `Chromium can't ${need}`,
    async open(url, viewport) {
      const page = await browser.newPage();
      await page.setViewport(viewport);
      await page.goto(url);
      return new PuppeteerTab(browser, page);
    },
    close: () => browser.close(),
  };
}
