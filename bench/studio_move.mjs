// Pointer move to updated picture in easel studio, in headless Chromium,
// with Rows Columns at three sizes:
//   2,000 objects: a 10 x 10 grid of 20 selected paths
//   10,000 objects: a 10 x 10 grid of 100 selected paths
//   90,000 objects: a 300 x 300 grid of one selected path
// For each, one drag of many moves. Each move is timed by the page itself,
// from the pointer event's time stamp until the frame showing the host's
// answer has been painted; printed as the median and 95th percentile with
// their targets, with the time from mouse up until the page is idle and
// painted (release), and easel's resident memory (now and at its peak).
// Run on demand (a Release build):
//   node bench/studio_move.mjs --easel build/release/easel/cli/easel --plugins build/release/plugins \
//     [--sizes 2000,10000,90000] [--moves N] [--renderer gl|2d]
// --renderer makes the page draw the document with WebGL or Canvas 2D (its
// ?renderer= address parameter); by default the page chooses.
import { args, browserOrReason, idle, moveTo, startStudio } from '../tests/e2e/studio.mjs';
import { mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';

const o = args(process.argv);
const sizes = (o.sizes || '2000,10000,90000').split(',').map(Number);
const got = await browserOrReason();
if (!got.browser) {
  console.log(`skipped: ${got.reason}`);
  process.exit(77);
}

// What the browser itself takes: a page that paints one square per pointer
// move, timed the same way. No page can show a move sooner than this.
async function floor(browser) {
  const html = `<canvas id=c width=1280 height=900></canvas><script>
const g = document.getElementById('c').getContext('2d'); window.lat = [];
addEventListener('onpointerrawupdate' in window ? 'pointerrawupdate' : 'pointermove', (e) => {
  g.clearRect(0, 0, 1280, 900); g.fillRect(e.clientX, e.clientY, 20, 20);
  const at = e.timeStamp; requestAnimationFrame(() => setTimeout(() => lat.push(performance.now() - at)));
});</script>`;
  const server = http.createServer((q, r) => { r.setHeader('Content-Type', 'text/html'); r.end(html); }).listen(0, '127.0.0.1');
  await new Promise((r) => server.once('listening', r));
  const context = await browser.newContext({ viewport: { width: 1280, height: 900 } });
  const page = await context.newPage();
  await page.goto(`http://127.0.0.1:${server.address().port}/`);
  for (let i = 0; i < 200; ++i) {
    const before = await page.evaluate(() => window.lat.length);
    await page.mouse.move(100 + (i % 50) * 10, 100 + (i % 7) * 20);
    await page.waitForFunction((n) => window.lat.length > n, before, { polling: 'raf' });
  }
  const s = stats(await page.evaluate(() => window.lat));
  await context.close();
  server.close();
  return s;
}

const cases = {
  2000: { paths: 20, rows: 10, columns: 10, moves: 300, median: 8, p95: 16 },
  10000: { paths: 100, rows: 10, columns: 10, moves: 200, median: 16, p95: 33 },
  90000: { paths: 1, rows: 300, columns: 300, moves: 40, median: 50, release: 500 },
};

// Small squares, all selected, in a block at the bottom left.
function documentOf(paths) {
  const art = [];
  const side = Math.ceil(Math.sqrt(paths));
  for (let i = 0; i < paths; ++i) {
    const x = 20 + (i % side) * 12, y = 20 + Math.floor(i / side) * 12;
    const seg = (h, v) => [h, v, h, v, h, v, 1];
    art.push({ id: i + 1, type: 'path', selected: true, closed: true,
               segments: [seg(x, y), seg(x + 8, y), seg(x + 8, y + 8), seg(x, y + 8)],
               fill: { paint: true, color: { kind: 'rgb', values: [0.1 + (i % 20) / 40, 0.4, 0.8] } },
               stroke: { paint: true, color: { kind: 'gray', values: [0.2] }, width: 0.5 },
               opacity: 1, blend: 'normal' });
  }
  return { format: 'easel-document', version: 1, seed: 1, page: { width: 1000, height: 800 },
           layers: [{ name: 'Layer 1', visible: true, locked: false, art }] };
}

function memory(pid) {
  const s = readFileSync(`/proc/${pid}/status`, 'utf8');
  const kb = (k) => Number((s.match(new RegExp(`${k}:\\s+(\\d+)`)) || [0, 0])[1]);
  return { rss: kb('VmRSS') / 1024, peak: kb('VmHWM') / 1024 };
}

const stats = (v) => {
  v = [...v].sort((a, b) => a - b);
  const q = (f) => v[Math.min(v.length - 1, Math.floor(f * v.length))];
  return { median: q(0.5), p95: q(0.95), slowest: v[v.length - 1] };
};

const bare = await floor(got.browser);
console.log(`this browser alone (a page painting one square per move): median ${bare.median.toFixed(1)} ms, ` +
            `95th percentile ${bare.p95.toFixed(1)} ms from pointer event to painted frame`);

const dir = mkdtempSync(path.join(os.tmpdir(), 'easel-bench-'));
for (const size of sizes) {
  const c = cases[size];
  if (!c) throw new Error(`no case for ${size} objects (have ${Object.keys(cases).join(', ')})`);
  const moves = Number(o.moves || c.moves);
  const docPath = path.join(dir, `paths-${c.paths}.json`);
  writeFileSync(docPath, JSON.stringify(documentOf(c.paths)));
  const studio = await startStudio(o.easel, o.plugins, docPath);
  const context = await got.browser.newContext({ viewport: { width: 1280, height: 900 } });
  const page = await context.newPage();
  await page.goto(studio.url + (o.renderer ? `?renderer=${o.renderer}` : ''));
  await idle(page);

  // The grid's rows and columns, set in the tool's own dialog.
  const api = (cmd) => page.evaluate((x) => fetch('/api/call', { method: 'POST', headers: { 'Content-Type': 'application/json' },
    body: JSON.stringify(x) }).then((r) => r.json()), cmd);
  const rc = await page.evaluate(() => window.studio.state.tools.find((t) => /Rows Columns$/.test(t.title.trim())).title.trim());
  await api({ op: 'options', tool: rc });
  await api({ op: 'dialogSet', id: 20, value: c.rows });
  await api({ op: 'dialogSet', id: 21, value: c.columns });
  await api({ op: 'dialogPress', id: 1 });
  await page.reload();
  await idle(page);
  await page.locator(`#palette button[aria-label="${rc}"]`).click();

  await moveTo(page, 40, 40);
  await page.mouse.down();
  for (let i = 0; i < moves; ++i) {
    const x = 300 + 250 * Math.cos(i / 15), y = 350 + 200 * Math.sin(i / 11);
    const [cx, cy] = await page.evaluate(([a, b]) => window.studio.toClient(a, b), [x, y]);
    const before = await page.evaluate(() => window.studio.moveLatencies.length);
    await page.mouse.move(cx, cy);
    await page.waitForFunction((n) => window.studio.moveLatencies.length > n, before, { polling: 'raf', timeout: 120000 });
  }
  const during = memory(studio.child.pid);
  const objects = await page.evaluate(() => window.studio.objectCount);
  const t0 = performance.now();
  await page.mouse.up();
  await idle(page);
  await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => setTimeout(r))));
  const release = performance.now() - t0;
  const after = memory(studio.child.pid);
  const s = stats(await page.evaluate(() => window.studio.moveLatencies));
  const target = `target median < ${c.median} ms` + (c.p95 ? `, 95th < ${c.p95} ms` : '') +
    (c.release ? `, release < ${c.release} ms` : '');
  const drawnBy = await page.evaluate(() => window.studio.renderer);
  console.log(`${objects.toLocaleString('en-US')} objects (${c.rows} x ${c.columns} Rows Columns of ${c.paths} paths), ${moves} moves, ` +
              `drawn by ${drawnBy === 'gl' ? 'WebGL' : 'Canvas 2D'}:`);
  console.log(`  pointer event to painted frame: median ${s.median.toFixed(1)} ms, 95th percentile ${s.p95.toFixed(1)} ms, ` +
              `slowest ${s.slowest.toFixed(1)} ms; release ${release.toFixed(0)} ms (${target})`);
  const phases = await page.evaluate(() => window.studio.movePhases);
  const fetched = stats(phases.map((p) => p[0])), shown = stats(phases.map((p) => p[1]));
  console.log(`  of which: request to answer (host and transfer) median ${fetched.median.toFixed(1)} ms, ` +
              `taking in and drawing the picture median ${shown.median.toFixed(1)} ms; the rest is the frame's painting`);
  console.log(`  easel resident memory: ${during.rss.toFixed(0)} MB while dragging, ${after.rss.toFixed(0)} MB after, ` +
              `peak ${after.peak.toFixed(0)} MB (target < 1024 MB)`);
  await context.close();
  await studio.stop();
}
await got.close();
