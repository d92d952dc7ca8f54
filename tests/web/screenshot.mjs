// Not a test: plays a little of a level 2 game on the page and saves the README's picture, of
// the desktop page or, with --phone, of the page on a phone held upright, steered by swipes, with
// three screen pixels to a CSS pixel as most phones have.
//   node screenshot.mjs PAGE-DIR OUT.png [--phone]
import fs from 'node:fs';
import path from 'node:path';
import { serve, launchEngine, GamePage, phone } from '../support/web/page_driver.mjs';

const onPhone = process.argv[4] === '--phone';
const server = await serve(path.resolve(process.argv[2]));
const engine = await launchEngine('chromium');
try {
  const game = await GamePage.open(engine, server.url,
                                   onPhone ? { ...phone, deviceScaleFactor: 3 }
                                           : { width: 830, height: 440 });
  await game.typeLevel('2');
  await game.waitFor(() => window.velmorakPage.frames > 0, 'the first frame');
  // Up through the first food once the head's orange edge reaches x 124 on the start row, then a
  // turn to the right: a meal and a serpent of two.
  for (let found = false; !found;) {
    const frame = await game.frame();
    const scale = frame.height / 275;
    for (let x = 0; x < frame.width && !found; x++) {
      const [r, g, b] = frame.at(x, Math.floor(103 * scale));
      found = r > 240 && Math.abs(g - 120) < 26 && b < 26 && x >= Math.floor(124 * scale);
    }
  }
  const keys = { up: 'ArrowUp', right: 'ArrowRight' };
  const turn = direction => (onPhone ? game.swipe(direction) : game.press(keys[direction]));
  await turn('up');
  await new Promise(resolve => setTimeout(resolve, 1300));
  await turn('right');
  await new Promise(resolve => setTimeout(resolve, 500));
  fs.writeFileSync(path.resolve(process.argv[3]), await game.tab.screenshot());
} finally {
  await engine.close();
  await server.close();
}
