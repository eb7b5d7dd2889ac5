// Browser test of the studio's two renderers: a drawing with overlapping
// copies, opacity, a gradient, text and a stroke under a non-uniform matrix,
// shown by WebGL and by Canvas 2D, must look alike on the screen; without
// WebGL the page draws with Canvas 2D. Prints one line per test and
// "N passed, N failed, N skipped"; exits 77 when Chromium or playwright-core
// is missing.
import assert from 'node:assert/strict';
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { args, browserOrSkip, idle, startStudio, testRunner } from './studio.mjs';

const o = args(process.argv);
const got = await browserOrSkip();

// Small shapes on a large page, so that every one fits the WebGL sprites.
const copies = Array.from({ length: 48 }, (_, i) =>
  `<use href="#sq" x="${40 + i * 6.3}" y="${120 + (i % 5) * 7.7}"${i % 3 ? '' : ' opacity="0.5"'}/>`).join('');
const svg = '<svg xmlns="http://www.w3.org/2000/svg" width="900" height="700">' +
  '<defs><linearGradient id="g"><stop offset="0" stop-color="#e02020"/><stop offset="1" stop-color="#2040e0"/></linearGradient>' +
  '<path id="sq" d="M0 0H30V30H0Z" fill="#3a8" stroke="#123" stroke-width="1.5"/></defs>' +
  '<rect x="20" y="20" width="260" height="60" fill="url(#g)"/>' + copies +
  '<text x="30" y="330" font-size="40" font-family="sans-serif">Easel 123</text>' +
  '<rect transform="matrix(3 0.5 0 1 330 250)" width="20" height="20" fill="none" stroke="#000" stroke-width="2"/>' +
  '<circle cx="520" cy="120" r="40" fill="#fc0" fill-opacity="0.5" stroke="#840" stroke-width="4"/></svg>';
const dir = mkdtempSync(path.join(tmpdir(), 'easel-renderers-'));
const file = path.join(dir, 'art.svg');
writeFileSync(file, svg);
const studio = await startStudio(o.easel, o.plugins, file);
const pageErrors = [];

// The drawing as shown on the screen (a screenshot of the view), drawn by
// the renderer the address asks for; `before` runs ahead of the page's scripts.
async function shown(renderer, before) {
  const context = await got.browser.newContext({ viewport: { width: 1280, height: 800 } });
  if (before) await context.addInitScript(before);
  const page = await context.newPage();
  page.on('pageerror', (e) => pageErrors.push(String(e)));
  await page.goto(`${studio.url}?renderer=${renderer}`);
  await idle(page);
  await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
  const drawnBy = await page.evaluate(() => window.studio.renderer);
  // The top left of the page, where the shapes are (page points, vertical axis up).
  const [x0, y0, x1, y1] = await page.evaluate(() => {
    const { width, height } = window.studio.state.page;
    return [...window.studio.toClient(0, height), ...window.studio.toClient(width * 0.7, height * 0.45)];
  });
  const png = await page.screenshot({ clip: { x: x0, y: y0, width: x1 - x0, height: y1 - y0 } });
  await context.close();
  return { drawnBy, png };
}

// Mean absolute difference per channel of two screenshots (0 to 255), and
// of the first from a plain white picture (how much there is to compare).
async function difference(a, b) {
  const context = await got.browser.newContext();
  const page = await context.newPage();
  const r = await page.evaluate(async ([x, y]) => {
    const pixels = async (b64) => {
      const image = await createImageBitmap(await (await fetch(`data:image/png;base64,${b64}`)).blob());
      const c = new OffscreenCanvas(image.width, image.height), ctx = c.getContext('2d');
      ctx.drawImage(image, 0, 0);
      return ctx.getImageData(0, 0, image.width, image.height).data;
    };
    const p = await pixels(x), q = await pixels(y);
    if (p.length !== q.length) return null;
    let d = 0, ink = 0;
    for (let i = 0; i < p.length; i++) if ((i & 3) !== 3) { d += Math.abs(p[i] - q[i]); ink += 255 - p[i]; }
    return { mean: d / (p.length * 0.75), ink: ink / (p.length * 0.75) };
  }, [a.toString('base64'), b.toString('base64')]);
  await context.close();
  return r;
}

const { test, finish } = testRunner();

const canvas2d = await shown('2d');
// Sprites sit at most 1/8 pixel from where Canvas 2D puts a shape and colours
// go through one more 8-bit blend: edge pixels differ by a few levels, the
// mean over the drawing by about 0.15. The drawing one pixel off differs from
// itself by 1.8 on average; a large shape left out or out of order by more.
await test('WebGL draws the drawing as Canvas 2D does', async () => {
  const gl = await shown('gl');
  assert.equal(canvas2d.drawnBy, '2d');
  assert.equal(gl.drawnBy, 'gl');
  const d = await difference(canvas2d.png, gl.png);
  assert.ok(d, 'both screenshots have the same size');
  assert.ok(d.ink > 20, `there is a drawing to compare (${d.ink.toFixed(1)} levels from white)`);
  console.log(`  mean difference ${d.mean.toFixed(3)} levels, drawing ${d.ink.toFixed(1)} levels from white`);
  assert.ok(d.mean < 0.5, `mean difference ${d.mean.toFixed(3)} levels`);
});

await test('without WebGL the page draws with Canvas 2D', async () => {
  const refused = await shown('gl', () => {
    const getContext = HTMLCanvasElement.prototype.getContext;
    HTMLCanvasElement.prototype.getContext = function (kind, ...rest) {
      return /webgl/.test(kind) ? null : getContext.call(this, kind, ...rest);
    };
  });
  assert.equal(refused.drawnBy, '2d');
  const d = await difference(canvas2d.png, refused.png);
  assert.equal(d.mean, 0);
});

await test('no page errors', async () => {
  assert.deepEqual(pageErrors, []);
});

await studio.stop();
await got.close();
rmSync(dir, { recursive: true, force: true });
finish();
