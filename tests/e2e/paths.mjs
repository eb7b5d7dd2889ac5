// Browser test of the Path menu, as an artist builds a shape: a rectangle and
// an ellipse united, a hole cut with Difference, a second shape combined into
// a compound path (Ctrl+K), Rows Columns run on it, a rectangle clipped by an
// ellipse (Ctrl+7) drawn clipped, Rows Columns run on it and the clip released, and the
// saved script replayed by `easel play` to the same document. Prints one line per step and
// "N passed, N failed, N skipped"; exits 77 when Chromium or playwright-core
// is missing.
import assert from 'node:assert/strict';
import { idle, moveTo, newSession, replayedSession, testRunner } from './studio.mjs';

const { o, studio, page, pageErrors, end, state, api, documentNow } = await newSession(process.argv);
const artOf = (doc) => doc.layers.flatMap((l) => l.art);
const undoText = async () => (await state()).undoText;
async function drag(from, to) {
  await moveTo(page, ...from);
  await page.mouse.down();
  await moveTo(page, ...to, 6);
  await page.mouse.up();
  await idle(page);
}
const press = async (key) => { await page.keyboard.press(key); await idle(page); };
async function pathMenu(item) {
  await page.locator('#path-menu summary').click();
  await page.locator(`#path-menu button[data-path="${item}"]`).click();
  await idle(page);
}

const { test, finish } = testRunner();

await test('a rectangle and an ellipse united make one path around both', async () => {
  await press('m');
  await drag([100, 500], [300, 600]);
  await press('l');
  await drag([250, 520], [380, 640]);
  await press('Control+a');
  await pathMenu('Union');
  const art = artOf(await documentNow());
  assert.equal(art.length, 1, `${art.length} objects after the union`);
  assert.equal(art[0].type, 'path');
  assert.equal(await undoText(), 'Undo Union');
  // More anchors than either shape alone: the outline follows both.
  assert.ok(art[0].segments.length > 5, `${art[0].segments.length} anchors`);
});

await test('a small rectangle taken from it with Difference leaves a compound path with a hole', async () => {
  await press('m');
  await drag([140, 530], [200, 580]);
  await press('Control+a');
  await pathMenu('Difference');
  const art = artOf(await documentNow());
  assert.equal(art.length, 1);
  assert.equal(art[0].type, 'compound', 'an outline and its hole');
  assert.equal(art[0].children.length, 2, 'an outline and its hole');
  assert.equal(await undoText(), 'Undo Difference');
});

await test('Ctrl+K combines it with another shape into one compound path', async () => {
  await press('l');
  await drag([450, 500], [520, 570]);
  await press('Control+a');
  await press('Control+k');
  const art = artOf(await documentNow());
  assert.equal(art.length, 1);
  assert.equal(art[0].type, 'compound');
  assert.equal(art[0].children.length, 3, 'the outline, its hole and the new ellipse');
  assert.equal(await undoText(), 'Undo Combine');
});

await test('Rows Columns copies the compound path as one object', async () => {
  const rows = (await state()).tools.find((t) => /Rows Columns/.test(t.title));
  await page.locator(`#palette button[aria-label="${rows.title.trim()}"]`).click();
  await drag([300, 450], [560, 200]);
  const art = artOf(await documentNow());
  assert.ok(art.length > 2, `${art.length} objects`);
  assert.ok(art.every((a) => a.type === 'compound'), `types ${[...new Set(art.map((a) => a.type))]}`);
});

// The canvas's pixel under a point of the document, as [r, g, b, a].
const colourAt = (x, y) => page.evaluate(([px, py]) => {
  const r = document.getElementById('canvas').getBoundingClientRect();
  const [sx, sy] = window.studio.toClient(px, py);
  return window.studio.pixels(Math.round(sx - r.left), Math.round(sy - r.top), 1, 1);
}, [x, y]);
const isRed = ([r, g, b]) => r > 200 && g < 60 && b < 60;
const edit = async (e) => assert.equal((await api({ op: 'edit', edit: e })).ok, true, JSON.stringify(e));
let clipId = 0;

await test('Ctrl+7 clips a red rectangle by the ellipse on top of it', async () => {
  await edit({ op: 'create', shape: 'rectangle', from: [40, 660], to: [200, 760], fill: { swatch: 'RGB Red' }, stroke: 'none' });
  await edit({ op: 'create', shape: 'ellipse', from: [80, 670], to: [160, 750] });
  const ids = artOf(await documentNow()).slice(-2).map((a) => a.id);
  await edit({ op: 'select', ids });
  await press('Control+7');
  const top = artOf(await documentNow()).at(-1);
  assert.equal(top.type, 'group');
  assert.equal(top.clipped, true);
  assert.deepEqual(top.children.map((c) => c.id), ids);
  assert.equal(top.children[1].fill.paint, false, 'the clipping path paints nothing');
  assert.equal(await undoText(), 'Undo Make Clipping Mask');
  clipId = top.id;
  await press('Escape');  // no selection drawn over the pixels
  assert.ok(isRed(await colourAt(120, 710)), 'the rectangle shows inside the ellipse');
  assert.ok(!isRed(await colourAt(55, 710)), 'and nowhere outside it');
  assert.ok(!isRed(await colourAt(185, 745)), 'nor in its corner');
  // Asked for WebGL, the page leaves a picture with a clip group to Canvas 2D.
  await page.goto(`${studio.url}?renderer=gl`);
  await idle(page);
  assert.ok(isRed(await colourAt(120, 710)) && !isRed(await colourAt(55, 710)), 'drawn clipped again');
  assert.equal(await page.evaluate(() => window.studio.renderer), '2d');
});

// Brivane's tools copy paths, compound paths, text and the like, never groups:
// a clip group's members are copied one by one, the clipping path's copies unpainted.
await test('Rows Columns on the clip group copies its members, and Release Clipping Mask frees it', async () => {
  await edit({ op: 'select', ids: [clipId] });
  const rows = (await state()).tools.find((t) => /Rows Columns/.test(t.title));
  await page.locator(`#palette button[aria-label="${rows.title.trim()}"]`).click();
  const before = artOf(await documentNow()).length;
  await drag([120, 710], [380, 460]);
  const art = artOf(await documentNow());
  const copies = art.slice(before);
  assert.ok(copies.length > 2 && copies.every((a) => a.type === 'path'), `${copies.length} copies`);
  assert.ok(copies.some((a) => a.fill.paint) && copies.some((a) => !a.fill.paint), 'the red rectangle and the unpainted ellipse');
  const group = art.find((a) => a.id === clipId);
  assert.equal(group.clipped, true, 'the clip group stays as it was');
  await edit({ op: 'select', ids: [clipId] });
  await pathMenu('Release Clipping Mask');
  assert.equal(await undoText(), 'Undo Release Clipping Mask');
  const released = artOf(await documentNow()).find((a) => a.id === clipId);
  assert.equal(released.clipped, undefined, 'released');
  assert.deepEqual(released.children.map((c) => c.type), ['path', 'path'], 'the clipping path stays');
});

await test('the saved script replays with easel play to the same document', async () => {
  const { played: replayed, studio: studioDoc } = await replayedSession(page, o);
  assert.deepEqual(replayed.layers, studioDoc.layers);
});

await test('the page threw no errors', async () => assert.deepEqual(pageErrors, []));

await end(finish);
