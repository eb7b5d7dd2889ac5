// Browser test of drawing in the studio, as an artist works: shapes from the
// palette, colours from the swatches, move and rotate, group, a Rows Columns
// grid of the group, three anchors picked with the Direct Selection tool and
// dragged with Kestova, a locked layer, undo and redo, and the saved script
// replayed by `easel play` to the same document. Prints one line per step and
// "N passed, N failed, N skipped"; exits 77 when Chromium or playwright-core
// is missing.
import assert from 'node:assert/strict';
import { idle, moveTo, newSession, replayedSession, testRunner } from './studio.mjs';

const { o, page, pageErrors, end, state, api, documentNow } = await newSession(process.argv);
const artOf = (doc) => doc.layers.flatMap((l) => l.art);
async function drag(from, to, { steps = 6, keys = [] } = {}) {
  await moveTo(page, ...from);
  for (const k of keys) await page.keyboard.down(k);
  await page.mouse.down();
  await moveTo(page, ...to, steps);
  await page.mouse.up();
  for (const k of keys) await page.keyboard.up(k);
  await idle(page);
}
const click = (x, y, keys) => drag([x, y], [x, y], { steps: 1, keys });
const tool = async (id) => { await page.locator(`#palette button[data-tool="${id}"]`).click(); await idle(page); };
const swatch = async (name, shift) => {
  await page.locator(`#swatches span[title="${name}"]`).click({ modifiers: shift ? ['Shift'] : [] });
  await idle(page);
};

const { test, finish } = testRunner();

await test('a star and an ellipse drawn from the palette and the keyboard', async () => {
  await tool('star');
  await drag([200, 500], [200, 580]);
  await page.keyboard.press('l');
  await drag([350, 450], [450, 520], { keys: ['Shift'] });
  const art = artOf(await documentNow());
  assert.equal(art.length, 2);
  assert.equal(art[0].segments.length, 10);
  const xs = art[1].segments.map((s) => s[0]), ys = art[1].segments.map((s) => s[1]);
  assert.ok(Math.abs((Math.max(...xs) - Math.min(...xs)) - (Math.max(...ys) - Math.min(...ys))) < 0.01, 'Shift draws a circle');
  assert.equal((await state()).undoText, 'Undo Create');
});

await test('colours from the swatches: click fills, Shift-click strokes', async () => {
  await page.keyboard.press('v');
  await click(200, 520);
  await swatch('RGB Red');
  await click(400, 485);
  await swatch('RGB Blue');
  await swatch('Black', true);
  const [s, e] = artOf(await documentNow());
  assert.deepEqual(s.fill.color.values, [1, 0, 0]);
  assert.deepEqual(e.fill.color.values, [0, 0, 1]);
  assert.equal((await state()).undoText, 'Undo Stroke');
  // Only the circle's style changed (it stays selected): the page is sent
  // it again and paints it blue.
  const mid = (k) => e.segments.reduce((sum, p) => sum + p[k], 0) / e.segments.length;
  const [r, g, b] = await page.evaluate(([px, py]) => {
    const box = document.getElementById('canvas').getBoundingClientRect();
    const [sx, sy] = window.studio.toClient(px, py);
    return window.studio.pixels(Math.round(sx - box.left), Math.round(sy - box.top), 1, 1);
  }, [mid(0), mid(1)]);
  assert.ok(b > 200 && r < 60 && g < 60, `the circle's middle shows ${[r, g, b]}`);
});

await test('move by dragging and rotate with the bounding box', async () => {
  const before = artOf(await documentNow())[1].segments[0];
  await drag([400, 485], [420, 465]);
  const moved = artOf(await documentNow())[1].segments[0];
  assert.ok(Math.abs(moved[0] - before[0] - 20) < 0.6 && Math.abs(moved[1] - before[1] + 20) < 0.6, `moved ${moved} from ${before}`);
  // Just outside the top right corner of the box turns it.
  const b = (await page.evaluate(() => window.studio.scene.layers[0].art.find((a) => a.sel).b));
  const off = 12 / (await page.evaluate(() => window.studio.view ? window.studio.view.zoom : 1));
  await drag([b[2] + off, b[3] + off], [b[0] - off, b[3] + off]);
  assert.equal((await state()).undoText, 'Undo Rotate');
});

await test('select all, group, and a Rows Columns grid of the group', async () => {
  await page.keyboard.press('Control+A');
  await idle(page);
  await page.keyboard.press('Control+G');
  await idle(page);
  const art = artOf(await documentNow());
  assert.equal(art.length, 1);
  assert.equal(art[0].type, 'group');
  const rows = (await state()).tools.find((t) => /Rows Columns/.test(t.title));
  await page.locator(`#palette button[aria-label="${rows.title.trim()}"]`).click();
  await drag([300, 500], [420, 400]);
  assert.ok(artOf(await documentNow()).length > 1, 'the grid made copies');
});

await test('three anchors picked with Direct Selection, dragged with Kestova: only they move', async () => {
  await page.keyboard.press('Control+Z');  // the grid, so the star is on its own again
  await idle(page);
  await page.keyboard.press('a');
  await idle(page);
  const before = artOf(await documentNow())[0].children[0].segments;
  // A marquee around the star's top three points (outer, inner, inner).
  const ys = before.map((s) => s[1]).sort((a, b) => b - a);
  await drag([110, 610], [290, ys[2] - 0.5]);
  const picked = (await page.evaluate(() => window.studio.drawing.anchors)).flatMap((p) => p.segments.filter((s) => s[6]));
  assert.equal(picked.length, 3, `picked ${picked.length} anchors`);
  const kestova = (await state()).tools.find((t) => t.plugin === 'Kestova');
  const button = page.locator(`#palette button[aria-label="${kestova.title.trim()}"]`);
  await api({ op: 'options', tool: kestova.title });
  await api({ op: 'dialogSet', id: 12, value: 2 });  // anchor points drag
  await api({ op: 'dialogPress', id: 1 });
  await button.click();
  await drag([200, 570], [230, 600]);
  const after = artOf(await documentNow())[0].children[0].segments;
  const moved = after.filter((s, i) => s[0] !== before[i][0] || s[1] !== before[i][1]).length;
  assert.equal(moved, 3, `${moved} anchors moved`);
});

await test('a locked layer: its art cannot be selected', async () => {
  await page.locator('#layers li button.lock').first().click();
  await idle(page);
  await page.keyboard.press('v');
  await click(200, 520);
  assert.deepEqual((await state()).selection, []);
  assert.equal((await state()).undoText, 'Undo Lock Layer');
});

await test('the saved script replays with easel play to the same document', async () => {
  const { played: replayed, studio: studioDoc } = await replayedSession(page, o);
  assert.deepEqual(replayed.layers, studioDoc.layers);
});

let last = null;
await test('undo everything step by step, then redo it all', async () => {
  last = await documentNow();
  let undone = 0;
  while ((await state()).canUndo && undone < 50) {
    await page.locator('#undo').click();
    await idle(page);
    undone++;
  }
  assert.equal(artOf(await documentNow()).length, 0);
  for (let i = 0; i < undone; i++) {
    await page.locator('#redo').click();
    await idle(page);
  }
  const now = await documentNow();
  assert.deepEqual(now.layers.map((l) => [l.name, l.locked, l.art.length]), last.layers.map((l) => [l.name, l.locked, l.art.length]));
});

await test('the help panel lists the shortcuts, and the page raised no script errors', async () => {
  await page.keyboard.press('F1');
  assert.ok(await page.locator('#help').isVisible());
  assert.ok((await page.locator('#help tr').count()) >= 10);
  assert.deepEqual(pageErrors, []);
});

await end(finish);
