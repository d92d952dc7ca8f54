// Not a test: plays a little of a level 2 game on the page and saves the README's picture.
//   node screenshot.mjs PAGE-DIR OUT.png
import path from 'node:path';
import { serve, launch, GamePage } from './page_driver.mjs';

const server = await serve(path.resolve(process.argv[2]));
const browser = await launch();
try {
  const game = await GamePage.open(browser, server.url, { width: 830, height: 440 });
  await game.typeLevel('2');
  await game.waitFor(() => window.velmorakPage.frames > 0, 'the first frame');
  // Up through the first food once the head's orange edge reaches x 124 on the start row, then a
  // turn to the right: a meal and a serpent of two.
  for (let x = 0; x < 174;) {
    const frame = await game.frame();
    for (x = 0; x < frame.width; x++) {
      const [r, g, b] = frame.at(x, 144);
      if (r > 240 && Math.abs(g - 120) < 15 && b < 15) break;
    }
  }
  await game.press('ArrowUp');
  await new Promise(resolve => setTimeout(resolve, 1300));
  await game.press('ArrowRight');
  await new Promise(resolve => setTimeout(resolve, 500));
  await game.page.screenshot({ path: path.resolve(process.argv[3]) });
} finally {
  await browser.close();
  await server.close();
}
