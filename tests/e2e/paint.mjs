// Browser test of colour, gradients and strokes in the studio, as an artist
// works: a hex colour typed in the picker and kept as a swatch, the
// eyedropper, swapping fill and stroke, a linear gradient whose end is
// dragged on the canvas and a stop added on the bar, a dash and an arrowhead;
// the saved script replayed by `easel play` to the same document, and
// `easel render` showing the gradient, the dash and the arrowhead. Prints one
// line per step and "N passed, N failed, N skipped"; exits 77 when Chromium
// or playwright-core is missing.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import path from 'node:path';
import { idle, moveTo, newSession, replayedSession, testRunner } from './studio.mjs';

const { o, page, pageErrors, end, state, documentNow } = await newSession(process.argv);
const artOf = (doc) => doc.layers.flatMap((l) => l.art);
const undoText = async () => (await state()).undoText;
async function drag(from, to, { steps = 6 } = {}) {
  await moveTo(page, ...from);
  await page.mouse.down();
  await moveTo(page, ...to, steps);
  await page.mouse.up();
  await idle(page);
}
const click = (x, y) => drag([x, y], [x, y], { steps: 1 });
const press = async (key) => { await page.keyboard.press(key); await idle(page); };
const type = async (id, value) => { await page.locator('#' + id).fill(String(value)); await press('Enter'); };
const ORANGE = [1, 0x88 / 255, 0];
const near = (a, b, what) => assert.ok(a.length === b.length && a.every((v, i) => Math.abs(v - b[i]) < 1e-3), `${what}: ${a} for ${b}`);

const { test, finish } = testRunner();

await test('a hex colour typed in the picker fills the rectangle and is kept as a swatch', async () => {
  await press('m');
  await drag([100, 500], [300, 600]);
  await page.locator('#fill-box').click();
  await type('picker-hex', '#ff8800');
  near(artOf(await documentNow())[0].fill.color.values, ORANGE, 'the fill');
  assert.equal(await undoText(), 'Undo Fill');
  await page.locator('#swatch-add').click();
  await idle(page);
  assert.ok((await state()).swatches.some((s) => s.name === '#ff8800' && s.color === '#ff8800'));
  assert.equal(await undoText(), 'Undo Add Swatch');
  assert.equal(await page.locator('#fill-box').getAttribute('data-paint'), '#ff8800');
});

await test('the eyedropper gives an ellipse the rectangle\'s paint, Shift+X swaps it', async () => {
  await press('l');
  await drag([400, 500], [500, 600]);
  await page.locator('#swatches span[title="RGB Blue"]').click();
  await idle(page);
  near(artOf(await documentNow())[1].fill.color.values, [0, 0, 1], 'the ellipse\'s own fill');
  await press('i');
  await click(200, 550);
  let e = artOf(await documentNow())[1];
  near(e.fill.color.values, ORANGE, 'the picked fill');
  assert.equal(await undoText(), 'Undo Eyedropper');
  await press('Shift+X');
  e = artOf(await documentNow())[1];
  near(e.stroke.color.values, ORANGE, 'the swapped stroke');
  assert.equal(await undoText(), 'Undo Swap Fill and Stroke');
  assert.equal(await page.locator('#stroke-box').getAttribute('data-paint'), '#ff8800');
});

await test('a linear gradient from the fill, its end dragged on the canvas and a stop added on the bar', async () => {
  await press('v');
  await click(150, 520);
  await page.locator('#fill-box').click();
  await page.locator('#gradient-linear').click();
  await idle(page);
  let g = (await state()).selectionStyle.fillPaint.gradient;
  assert.deepEqual([g.from, g.to], [[100, 550], [300, 550]]);
  near(g.stops[0].color.values, ORANGE, 'the first stop');
  assert.equal(await page.locator('#fill-box').getAttribute('data-paint'), 'gradient');
  await drag([300, 550], [250, 600]);
  g = (await state()).selectionStyle.fillPaint.gradient;
  assert.ok(Math.hypot(g.to[0] - 250, g.to[1] - 600) < 1.5 && Math.hypot(g.from[0] - 100, g.from[1] - 550) < 1e-3, `the ends ${g.from} ${g.to}`);
  assert.equal(await undoText(), 'Undo Gradient');
  const bar = await page.locator('#gradient-bar').boundingBox();
  await page.mouse.click(bar.x + bar.width / 2, bar.y + bar.height / 2);
  await idle(page);
  g = (await state()).selectionStyle.fillPaint.gradient;
  assert.equal(g.stops.length, 3);
  assert.ok(Math.abs(g.stops[1].offset - 0.5) < 0.02, `the new stop at ${g.stops[1].offset}`);
});

await test('a line with a dash and an arrowhead', async () => {
  await press('Backslash');
  await drag([100, 400], [300, 300]);
  await type('stroke-width', 4);
  await type('stroke-dash-0', 6);
  await type('stroke-dash-1', 3);
  assert.equal(await undoText(), 'Undo Dash');
  await page.locator('#stroke-end').selectOption('triangle');
  await idle(page);
  assert.equal(await undoText(), 'Undo Arrowheads');
  const line = artOf(await documentNow())[2];
  assert.deepEqual(line.stroke.dash, [6, 3]);
  assert.equal(line.stroke.width, 4);
  assert.equal((await state()).selectionStyle.end, 'triangle');
});

await test('easel play replays the script to the same document, and easel render shows the paint', async () => {
  let data = '';
  const { played: replayed, studio: studioDoc } = await replayedSession(page, o, async (dir, doc) => {
    const png = path.join(dir, 'out.png');
    execFileSync(o.easel, ['render', doc, '-o', png, '--width', '612'], { stdio: 'pipe' });
    data = readFileSync(png).toString('base64');
  });
  assert.deepEqual([replayed.layers, replayed.swatches], [studioDoc.layers, studioDoc.swatches]);
  const { width, height } = studioDoc.page;
  // The picture's pixels (RGBA; the page is transparent) at page points (vertical axis up), read by the browser.
  const at = (pts) => page.evaluate(async ([src, pts, h]) => {
    const img = new Image();
    img.src = src;
    await img.decode();
    const c = new OffscreenCanvas(img.width, img.height), ctx = c.getContext('2d');
    ctx.drawImage(img, 0, 0);
    const k = img.width / 612;
    return pts.map(([x, y]) => Array.from(ctx.getImageData(Math.round(x * k), Math.round((h - y) * k), 1, 1).data));
  }, ['data:image/png;base64,' + data, pts, height]);
  assert.equal(width, 612);
  const [fromEnd, toEnd] = await at([[104, 548], [246, 596]]);
  assert.ok(fromEnd[0] > 240 && fromEnd[2] < 40, `orange at the gradient's start: ${fromEnd}`);
  assert.ok(toEnd[2] > 200, `white at its end: ${toEnd}`);
  // Along the middle of the line: dashes and gaps; past its end: the arrowhead.
  const along = Array.from({ length: 80 }, (_, i) => [140 + i * 0.5 * 2 / Math.sqrt(5), 380 - i * 0.5 / Math.sqrt(5)]);
  const px = await at(along);
  const inked = px.filter((p) => p[3] > 128).length;
  assert.ok(inked > 20 && inked < 70, `${inked} of 80 points along the dashed line are inked`);
  const [head] = await at([[300 + 5 * 2 / Math.sqrt(5), 300 - 5 / Math.sqrt(5)]]);
  assert.ok(head[3] > 128, `the arrowhead past the line's end: ${head}`);
});

await test('the page raised no script errors', async () => {
  assert.deepEqual(pageErrors, []);
});

await end(finish);
