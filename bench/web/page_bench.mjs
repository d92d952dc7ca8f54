// The page's figures in each engine, each beside a floor: a bare GLUT page built the same way
// (floor.cpp), served by the same server. Per engine: what the page downloads (gzipped), page load
// to the first frame, and level 8's mean tick period over 1000 ticks from the page's own tick
// stamps (velmorakTest.tickTimes). Run by scripts/web.sh --bench [--engine NAME].
//   node page_bench.mjs PAGE-DIR FLOOR-DIR [--engine=NAME]
import fs from 'node:fs';
import path from 'node:path';
import { serve, launchEngine, engineNames, GamePage }
  from '../../tests/support/web/page_driver.mjs';

const [pageDir, floorDir] = process.argv.slice(2, 4).map(dir => path.resolve(dir));
const chosen = process.argv.slice(4).find(a => a.startsWith('--engine='));
const adapters = new URL('../../tests/support/web/engines/', import.meta.url);
const engines = chosen ? [chosen.slice('--engine='.length)]
                       : engineNames.filter(name =>
                         fs.existsSync(new URL(`${name}.mjs`, adapters)));
const loads = 5, ticks = 1000, skipped = 100, interval = 10;

// The least-squares slope of times against their index.
function slope(times) {
  const n = times.length, meanIndex = (n - 1) / 2;
  const meanTime = times.reduce((sum, t) => sum + t, 0) / n;
  let num = 0, den = 0;
  times.forEach((t, i) => {
    num += (i - meanIndex) * (t - meanTime);
    den += (i - meanIndex) ** 2;
  });
  return num / den;
}

const quantile = (sorted, q) => sorted[Math.min(sorted.length - 1, Math.floor(sorted.length * q))];

// Fresh loads, nothing cached: the first one's downloads, and every one's first frame. What a
// player downloads includes what the page's worker keeps for offline play (its icons among
// them), each file once: the worker asks for the page's files again, and the server answers in
// full since it lets nothing be cached. The worker and its cache go before the next load, which
// would otherwise come from them.
async function loadFigures(engine, site, address) {
  const firstFrames = [];
  let downloads = null;
  for (let i = 0; i < loads; i++) {
    site.served.length = 0;
    const page = await GamePage.open(engine, address);
    await page.waitFor(() => window.velmorakPage.firstFrameMs !== null, 'the first frame');
    firstFrames.push((await page.probe()).firstFrameMs);
    if (engine.can.serviceWorker) {
      await page.waitFor(() => !('offline' in window.velmorakPage) || window.velmorakPage.offline,
                         'the page kept for offline play');
    }
    if (i === 0) downloads = [...new Map(site.served.map(file => [file.name, file])).values()];
    await page.evaluate(async () => {
      if (!navigator.serviceWorker) return;
      const workers = await navigator.serviceWorker.getRegistrations();
      for (const worker of workers) await worker.unregister();
      for (const name of await caches.keys()) await caches.delete(name);
    });
    await page.close();
  }
  firstFrames.sort((a, b) => a - b);
  return { gzipped: downloads.reduce((sum, file) => sum + file.gzipped, 0),
           bytes: downloads.reduce((sum, file) => sum + file.bytes, 0),
           median: firstFrames[loads >> 1], worst: firstFrames[loads - 1] };
}

// The mean period of 1000 ticks from the first second on, with the median and 99th percentile
// gap. The game ends at the wall within that second and keeps ticking, as on the desktop. The
// mean is the slope of a straight line fitted to the ticks' times: the span from the first tick
// to the last would move by either end's lateness / 1000, 0.5 % for one 50 ms late tick.
async function pace(engine, address) {
  const page = await GamePage.open(engine, address);
  await page.waitFor(n => window.velmorakTest.tickTimes.length > n, `${ticks + skipped + 1} ticks`,
                     120000, ticks + skipped);
  const span = (await page.tickTimes()).slice(skipped, skipped + ticks + 1);
  await page.close();
  const gaps = span.slice(1).map((t, i) => t - span[i]).sort((a, b) => a - b);
  return { mean: slope(span), span: (span[ticks] - span[0]) / ticks, p50: quantile(gaps, 0.5),
           p99: quantile(gaps, 0.99) };
}

const sites = { game: await serve(pageDir), floor: await serve(floorDir) };
const table = [['engine', 'figure', 'page', 'floor', 'page / floor', 'goal']];
try {
  for (const name of engines) {
    const engine = await launchEngine(name);
    try {
      const game = await loadFigures(engine, sites.game, sites.game.url + '?level=8');
      const floor = await loadFigures(engine, sites.floor, sites.floor.url);
      const kb = bytes => `${(bytes / 1024).toFixed(1)} KB`;
      table.push([name, 'downloads, gzipped', kb(game.gzipped), kb(floor.gzipped),
                  (game.gzipped / floor.gzipped).toFixed(2),
                  game.gzipped <= 350 * 1024 ? 'ok (<= 350 KB)' : 'OVER 350 KB']);
      table.push([name, 'first frame, median / worst of 5',
                  `${game.median.toFixed(0)} / ${game.worst.toFixed(0)} ms`,
                  `${floor.median.toFixed(0)} / ${floor.worst.toFixed(0)} ms`,
                  (game.median / floor.median).toFixed(2),
                  game.worst <= 1000 ? 'ok (<= 1000 ms)' : 'OVER 1000 ms']);
      const gamePace = await pace(engine, sites.game.url + '?level=8');
      const floorPace = await pace(engine, sites.floor.url);
      const off = Math.abs(gamePace.mean - interval) / interval * 100;
      const shown = p => `${p.mean.toFixed(3)} ms (span ${p.span.toFixed(3)}, ` +
                         `p50 ${p.p50.toFixed(1)}, p99 ${p.p99.toFixed(1)})`;
      table.push([name, `level 8 tick, mean of ${ticks}`, shown(gamePace), shown(floorPace),
                  (gamePace.mean / floorPace.mean).toFixed(3),
                  `${off.toFixed(2)} % off 10 ms: ` +
                    (off <= 1 ? 'within 1 %' : off <= 5 ? 'within 5 % (busy)' : 'OVER 5 %')]);
    } finally {
      await engine.close();
    }
  }
} finally {
  await sites.game.close();
  await sites.floor.close();
}
const widths = table[0].map((_, c) => Math.max(...table.map(row => row[c].length)));
for (const row of table) console.log(row.map((v, c) => v.padEnd(widths[c])).join('  ').trimEnd());
