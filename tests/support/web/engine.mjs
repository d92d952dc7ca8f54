// The seam between the page's scenarios (and its benchmark) and the browsers that run them. A
// scenario talks to GamePage (page_driver.mjs) only; GamePage talks to one Engine, and each
// engine's differences stay in its own adapter under engines/:
//   chromium.mjs  puppeteer-core over the DevTools protocol, headless
//   firefox.mjs   puppeteer-core over WebDriver BiDi, headless on a private X server
//   webkit.mjs    a small W3C WebDriver client for WebKitWebDriver and MiniBrowser, on a private
//                 X server
//
// An adapter module exports `launch({ log })` resolving to an Engine:
//   engine.name                 'chromium' | 'firefox' | 'webkit'
//   engine.can                  what it can do, for the scenarios' named skips:
//                                 { touch, deviceScale, hiddenTab, serviceWorker,
//                                   installability }
//   engine.skipReason(need)     why it can't, for a need in engine.can that is false
//   await engine.open(url, viewport)   a new tab at url; viewport { width, height, isMobile,
//                               hasTouch, deviceScaleFactor } (CSS pixels); resolves to a Tab
//   await engine.close()        the browser, its profile and its X server gone
// A Tab:
//   await tab.evaluate(fn, ...args)    fn's source run in the page with JSON args; its JSON result
//                                      (a promise it returns is awaited)
//   await tab.setViewport(viewport)
//   await tab.focus(selector)
//   await tab.press(key)               a key down and up: 'ArrowUp', 'F1', 'Enter', '8', ...
//   await tab.type(text)
//   await tab.touch(points)            one finger: [{x, y}, ...] CSS pixels of the viewport,
//                                      down at the first, moved through the rest, up at the last;
//                                      only where engine.can.touch
//   await tab.uploadFile(selector, path)
//   await tab.screenshot()             PNG bytes of the viewport at device pixels
//   await tab.reload()
//   await tab.hide() / tab.show()      another tab in front, then this one again; only where
//                                      engine.can.hiddenTab
//   await tab.installabilityErrors()   what keeps the page from being installed as an app; only
//                                      where engine.can.installability
//   await tab.close()
// Every method resolves once the browser has taken the action in: a key pressed has reached the
// page's handlers when press() resolves.
//
// The page under test gets the probe (probe.js) from the tests' own server, before any of its own
// code, in every engine alike.
export const engineNames = ['chromium', 'firefox', 'webkit'];

export async function launchEngine(name, options = {}) {
  if (!engineNames.includes(name)) {
    throw new Error(`no engine ${name}; there are ${engineNames.join(', ')}`);
  }
  const adapter = await import(`./engines/${name}.mjs`);
  return adapter.launch(options);
}
