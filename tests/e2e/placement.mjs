// Browser test of exact placement, as a person lays out a page: three
// rectangles, a width typed with the ratio locked, an angle typed, align left
// and distribute, guides dragged out of the rulers, moved and dragged back
// onto a ruler, an object dragged until it snaps to a guide and to another
// object's edge, a View key, and the saved script replayed by `easel play`
// to the same document. Prints one line per step and "N passed, N failed,
// N skipped"; exits 77 when Chromium or playwright-core is missing.
import assert from 'node:assert/strict';
import { idle, moveTo, newSession, replayedSession, testRunner } from './studio.mjs';

const { o, page, pageErrors, end, state, documentNow } = await newSession(process.argv);
// Each object's bounds [left, bottom, right, top], bottom first.
const boxes = async () => (await documentNow()).layers[0].art.map((a) => {
  const xs = a.segments.map((s) => s[0]), ys = a.segments.map((s) => s[1]);
  return [Math.min(...xs), Math.min(...ys), Math.max(...xs), Math.max(...ys)];
});
const near = (got, want, what) => assert.ok(got.every((v, i) => Math.abs(v - want[i]) < 0.02), `${what}: ${got} for ${want}`);
async function drag(from, to, steps = 8) {
  await moveTo(page, ...from);
  await page.mouse.down();
  await moveTo(page, ...to, steps);
  await page.mouse.up();
  await idle(page);
}
const click = async (x, y) => drag([x, y], [x, y], 1);
const type = async (id, text) => { await page.locator(id).fill(text); await page.locator(id).press('Enter'); await idle(page); };
const field = async (id) => Number(await page.locator(id).inputValue());
const status = () => page.locator('#status').textContent();
// A point on a ruler, in the page's pixels: the top ruler at document h, the left one at v.
const onRuler = (which, at) => page.evaluate(([w, a]) => {
  const r = document.getElementById(w === 'top' ? 'ruler-top' : 'ruler-left').getBoundingClientRect();
  const [cx, cy] = window.studio.toClient(a, a);
  return w === 'top' ? [cx, r.top + r.height / 2] : [r.left + r.width / 2, cy];
}, [which, at]);
async function pull(from, to) {
  await page.mouse.move(...from);
  await page.mouse.down();
  await page.mouse.move(...to, { steps: 6 });
  await page.mouse.up();
  await idle(page);
}

const { test, finish } = testRunner();
await test('three rectangles; the transform panel shows the selected one and is disabled with none', async () => {
  await page.locator('#palette button[data-tool="rectangle"]').click();
  await drag([100, 600], [160, 640]);
  await drag([250, 500], [330, 560]);
  await drag([400, 300], [440, 420]);
  near((await boxes())[2], [400, 300, 440, 420], 'the third rectangle');
  await page.keyboard.press('v');
  await click(130, 620);
  near([await field('#tf-w'), await field('#tf-x')], [60, 130], 'W, and X of the centre');
  await page.locator('#tf-reference button[data-ref="bottomLeft"]').click();
  near([await field('#tf-y')], [600], 'Y of the bottom left corner');
  await page.locator('#tf-reference button[data-ref="center"]').click();
  await page.keyboard.press('Escape');
  await idle(page);
  assert.ok(await page.locator('#tf-w').isDisabled());
  assert.equal(await page.locator('#tf-w').inputValue(), '');
  await click(130, 620);
});
await test('W typed with the ratio locked, letters and a zero width refused, an angle typed', async () => {
  await page.locator('#tf-lock').click();
  await type('#tf-w', '120');
  near((await boxes())[0], [70, 580, 190, 660], 'scaled about its centre, height kept in ratio');
  assert.equal((await state()).undoText, 'Undo Transform');
  const steps = (await state()).steps;
  await type('#tf-w', 'abc');
  assert.match(await status(), /W must be a number/);
  await type('#tf-h', '0');
  assert.match(await status(), /must be more than 0/);
  assert.equal((await state()).steps, steps, 'nothing was recorded');
  near((await boxes())[0], [70, 580, 190, 660], 'unchanged');
  await type('#tf-angle', '90');
  near((await boxes())[0], [90, 560, 170, 680], 'turned a quarter about its centre');
  near([await field('#tf-angle'), await field('#tf-w')], [90, 80], 'the angle and W shown');
});
await test('align left to the selection, then distribute the vertical centres', async () => {
  await page.keyboard.press('Control+A');
  await idle(page);
  await page.locator('#transform-panel button[data-align="left"]').click();
  await idle(page);
  assert.equal((await state()).undoText, 'Undo Align Left');
  near((await boxes()).map((b) => b[0]), [90, 90, 90], 'left edges');
  await page.locator('#transform-panel button[data-distribute="vertical centers"]').click();
  await idle(page);
  assert.equal((await state()).undoText, 'Undo Distribute Vertical Centers');
  near((await boxes()).map((b) => (b[1] + b[3]) / 2), [620, 490, 360], 'centres evenly spaced');
});
await test('guides: dragged from the rulers, moved, and dragged back onto the ruler', async () => {
  await pull(await onRuler('left', 100), await page.evaluate(() => window.studio.toClient(500, 100)));
  assert.equal((await state()).undoText, 'Undo Add Guide');
  const [x] = (await state()).guides.vertical;
  assert.ok(Math.abs(x - 500) < 1.5, `the vertical guide at ${x}`);
  await pull(await onRuler('top', 560), await page.evaluate(() => window.studio.toClient(560, 200)));
  await pull(await page.evaluate(() => window.studio.toClient(560, window.studio.state.guides.horizontal[0])),
             await page.evaluate(() => window.studio.toClient(560, 250)));
  assert.equal((await state()).undoText, 'Undo Move Guide');
  assert.ok(Math.abs((await state()).guides.horizontal[0] - 250) < 1.5);
  await pull(await page.evaluate(() => window.studio.toClient(560, window.studio.state.guides.horizontal[0])), await onRuler('top', 560));
  assert.equal((await state()).undoText, 'Undo Delete Guide');
  assert.deepEqual((await state()).guides.horizontal, []);
});
await test('a dragged object snaps to the guide and, turned on in the View menu, to another object\'s edge', async () => {
  await page.locator('#view-menu summary').click();
  await page.locator('#view-menu button[data-view="Snap to Objects"]').click();
  assert.equal(await page.locator('#view-menu button[data-view="Snap to Objects"]').getAttribute('aria-checked'), 'true');
  await page.keyboard.press('Escape');
  await click(130, 490);
  const guide = (await state()).guides.vertical[0], [, b, c] = await boxes(), cBottom = c[1];
  // Dropped 2.5 points right of the guide and 2 above the lowest rectangle's bottom edge.
  await drag([130, 490], [130 + guide - b[0] + 2.5, 490 + cBottom - b[3] + 2]);
  const moved = (await boxes())[1];
  near([moved[0], moved[3]], [guide, cBottom], 'left on the guide, top on the edge');
  assert.equal((await state()).undoText, 'Undo Move');
});
await test('View keys switch snapping and the grid; the menu shows them', async () => {
  const checked = () => page.locator('#view-menu button[data-view="Snap to Guides"]').getAttribute('aria-checked');
  assert.equal(await checked(), 'true');
  await page.keyboard.press('Control+Shift+Semicolon');
  assert.equal(await checked(), 'false');
  await page.keyboard.press('Control+Shift+Semicolon');
  await page.keyboard.press('Control+Quote');
  assert.equal(await page.locator('#view-menu button[data-view="Grid"]').getAttribute('aria-checked'), 'true');
});
await test('the saved script replays with easel play to the same document, guides included', async () => {
  const { played: replayed, studio: studioDoc } = await replayedSession(page, o);
  assert.deepEqual(replayed.layers, studioDoc.layers);
  assert.deepEqual(replayed.guides, studioDoc.guides);
  assert.deepEqual(pageErrors, []);
});
await end(finish);
