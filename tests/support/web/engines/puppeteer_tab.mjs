// The Tab of the two engines puppeteer-core drives: Chromium over the DevTools protocol and
// Firefox over WebDriver BiDi take the same calls, and puppeteer settles their differences.
export class PuppeteerTab {
  constructor(browser, page) {
    this.browser = browser;
    this.page = page;
  }

  evaluate(fn, ...args) {
    return this.page.evaluate(fn, ...args);
  }

  setViewport(viewport) {
    return this.page.setViewport(viewport);
  }

  focus(selector) {
    return this.page.focus(selector);
  }

  press(key) {
    return this.page.keyboard.press(key);
  }

  type(text) {
    return this.page.keyboard.type(text);
  }

  async touch(points) {
    const [first, ...rest] = points;
    const finger = await this.page.touchscreen.touchStart(first.x, first.y);
    for (const { x, y } of rest) await finger.move(x, y);
    await finger.end();
  }

  async uploadFile(selector, file) {
    const input = await this.page.$(selector);
    await input.uploadFile(file);
  }

  async screenshot() {
    return Buffer.from(await this.page.screenshot({ type: 'png' }));
  }

  async reload() {
    await this.page.reload();
  }

  async hide() {
    this.other = await this.browser.newPage();
    await this.other.bringToFront();
  }

  async show() {
    await this.page.bringToFront();
    await this.other.close();
    this.other = null;
  }

  // Chromium's own verdict, the one behind its "Install app"; over the DevTools protocol only.
  async installabilityErrors() {
    const session = await this.page.createCDPSession();
    try {
      return (await session.send('Page.getInstallabilityErrors')).installabilityErrors;
    } finally {
      await session.detach();
    }
  }

  close() {
    return this.page.close();
  }
}
