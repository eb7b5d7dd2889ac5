// Browser test of the Path menu, as an artist builds a shape: a rectangle and
// an ellipse united, a hole cut with Difference, a second shape combined into
// a compound path (Ctrl+K), Rows Columns run on it, and the saved script
// replayed by `easel play` to the same document. Prints one line per step and
// "N passed, N failed, N skipped"; exits 77 when Chromium or playwright-core
// is missing.
import assert from 'node:assert/strict';
import { args, browserOrSkip, call, idle, moveTo, openPage, startStudio, testRunner, replayedSession } from './studio.mjs';

const o = args(process.argv);
const got = await browserOrSkip();

const studio = await startStudio(o.easel, o.plugins, null);
const { page, pageErrors } = await openPage(got.browser, studio);

const state = () => page.evaluate(() => window.studio.state);
const api = (command) => call(page, command);
const documentNow = async () => JSON.parse((await api({ op: 'save', format: 'json' })).text);
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

await test('the saved script replays with easel play to the same document', async () => {
  const { played: replayed, studio: studioDoc } = await replayedSession(page, o);
  assert.deepEqual(replayed.layers, studioDoc.layers);
});

await test('the page threw no errors', async () => assert.deepEqual(pageErrors, []));

await got.close();
await studio.stop();
finish();
