// The page's figures in headless Chromium: what it downloads (gzipped), page load to the first
// frame, and the tick pace at level 8 over 1000 ticks. Run by scripts/web.sh --bench.
//   node page_bench.mjs PAGE-DIR
import path from 'node:path';
import { serve, launchEngine, GamePage } from '../../tests/support/web/page_driver.mjs';

const page = path.resolve(process.argv[2]);
const loads = 5, ticks = 1000, skipped = 20;

const server = await serve(page);
const engine = await launchEngine('chromium');
const rows = [];
try {
  // Downloads and first frames: fresh loads of ?level=8, nothing cached.
  const firstFrames = [];
  let downloads = null;
  for (let i = 0; i < loads; i++) {
    server.served.length = 0;
    const game = await GamePage.open(engine, server.url + '?level=8');
    await game.waitFor(() => window.velmorakPage.firstFrameMs !== null, 'the first frame');
    firstFrames.push((await game.probe()).firstFrameMs);
    if (i === 0) downloads = [...server.served];
    await game.close();
  }
  const bytes = downloads.reduce((s, f) => s + f.bytes, 0);
  const gzipped = downloads.reduce((s, f) => s + f.gzipped, 0);
  for (const f of downloads) {
    rows.push([`download ${f.name}`, `${(f.bytes / 1024).toFixed(1)} KB`,
               `${(f.gzipped / 1024).toFixed(1)} KB gzipped`, '']);
  }
  rows.push(['downloads, all', `${(bytes / 1024).toFixed(1)} KB`,
             `${(gzipped / 1024).toFixed(1)} KB gzipped`, gzipped <= 350 * 1024 ? 'ok (<= 350 KB)' : 'OVER 350 KB']);
  firstFrames.sort((a, b) => a - b);
  const median = firstFrames[firstFrames.length >> 1], worst = firstFrames[firstFrames.length - 1];
  rows.push(['page load to first frame', `median ${median.toFixed(0)} ms`, `worst ${worst.toFixed(0)} ms`,
             worst <= 1000 ? 'ok (<= 1000 ms)' : 'OVER 1000 ms']);

  // Pace: level 8 ticks every 10 ms, also after the game has ended at the wall.
  const game = await GamePage.open(engine, server.url + '?level=8');
  await game.waitFor(n => window.velmorakTest.tickTimes.length > n, `${ticks + skipped + 1} ticks`,
                     60000, ticks + skipped + 1);
  const times = await game.tickTimes();
  const span = times.slice(skipped, skipped + ticks + 1);
  const gaps = span.slice(1).map((t, i) => t - span[i]);
  const mean = (span[span.length - 1] - span[0]) / ticks;
  gaps.sort((a, b) => a - b);
  rows.push([`tick pace, level 8, ${ticks} ticks`, `mean ${mean.toFixed(3)} ms`,
             `p50 ${gaps[ticks >> 1].toFixed(2)} ms, p99 ${gaps[Math.floor(ticks * 0.99)].toFixed(2)} ms`,
             Math.abs(mean - 10) <= 0.1 ? 'ok (within 1 % of 10 ms)' : 'OFF BY MORE THAN 1 %']);
} finally {
  await engine.close();
  await server.close();
}
const widths = [0, 1, 2, 3].map(c => Math.max(...rows.map(r => r[c].length)));
for (const r of rows) console.log(r.map((v, c) => v.padEnd(widths[c])).join('  ').trimEnd());
