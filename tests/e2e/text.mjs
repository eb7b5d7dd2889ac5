// Browser test of the Type tool, as a person sets text: point text placed
// and typed, the caret moved and text deleted and replaced, the size and
// alignment changed in the text panel, area text that wraps to its box,
// Rows Columns copies of it, and the saved script replayed by `easel play`
// to the same document. Prints one line per step and "N passed, N failed,
// N skipped"; exits 77 when Chromium or playwright-core is missing.
import assert from 'node:assert/strict';
import { idle, moveTo, newSession, replayedSession, testRunner } from './studio.mjs';

const { o, page, pageErrors, end, state, api, documentNow } = await newSession(process.argv);
const textArt = async () => (await documentNow()).layers.flatMap((l) => l.art).filter((a) => a.type === 'text');
async function drag(from, to) {
  await moveTo(page, ...from);
  await page.mouse.down();
  await moveTo(page, ...to, 6);
  await page.mouse.up();
  await idle(page);
}
const click = (x, y) => drag([x, y], [x, y]);
const keys = async (...list) => { for (const k of list) await page.keyboard.press(k); };
const editorOpen = () => page.locator('#text-editor').count();
const recordedEdits = async (op) => (await api({ op: 'script' })).script.steps.filter((s) => s.edit && s.edit.op === op).length;

const { test, finish } = testRunner();

await test('point text typed and edited in place is one edit, and its keys never reach the canvas', async () => {
  await page.keyboard.press('t');
  await click(100, 600);
  assert.equal(await editorOpen(), 1);
  await page.keyboard.type('Have a nice day');
  await keys('ArrowLeft', 'ArrowLeft', 'ArrowLeft', 'Backspace');  // the space before "day"
  await keys('End', 'Shift+ArrowLeft', 'Shift+ArrowLeft', 'Shift+ArrowLeft');
  await page.keyboard.type('week');  // replaces the selected "day"
  await keys('Home', 'Delete', 'Enter');  // "H" deleted, then a line break at the start
  await page.keyboard.type('v');  // Selection tool's key: typed, not a tool change
  await keys('Escape');
  await idle(page);
  assert.equal(await editorOpen(), 0);
  const [t] = await textArt();
  assert.equal(t.text, '\nvave a niceweek');
  assert.deepEqual(t.matrix.slice(4), [100, 600]);
  assert.equal((await state()).undoText, 'Undo Type');
  assert.equal(await recordedEdits('text'), 1);
  assert.equal(await page.locator('#palette button.active').getAttribute('data-tool'), 'text');
});

await test('size and alignment from the text panel change the selected text', async () => {
  await page.locator('#text-size').fill('36');
  await page.locator('#text-size').press('Enter');
  await idle(page);
  await page.locator('#text-align').selectOption('center');
  await idle(page);
  const [t] = await textArt();
  assert.equal(t.fontSize, 36);
  assert.equal(t.svg['text-anchor'], 'middle');
  assert.equal((await state()).undoText, 'Undo Alignment');
});

await test('clicking text with the Type tool edits it; Esc without a change makes no edit', async () => {
  await click(110, 580);  // on its second line
  assert.equal(await page.locator('#text-editor').inputValue(), '\nvave a niceweek');
  await keys('Escape');
  await idle(page);
  assert.equal(await recordedEdits('editText'), 0);
  await click(110, 580);
  await keys('Control+Home', 'Delete');
  await keys('Escape');
  await idle(page);
  assert.equal((await textArt())[0].text, 'vave a niceweek');
  assert.equal(await recordedEdits('editText'), 1);
});

await test('area text wraps to the box dragged, on the canvas as in the document', async () => {
  await drag([300, 500], [420, 300]);
  await page.keyboard.type('Area text wraps its words to the width of its box');
  await keys('Escape');
  await idle(page);
  const area = (await textArt())[1];
  assert.deepEqual(area.box, [120, 200]);
  const lines = await page.evaluate(() => window.studio.scene.layers[0].art.at(-1).p[0].t.ln);
  assert.ok(lines.length > 2, `wrapped into ${lines.length} lines`);
  assert.equal(lines.map((l) => l[0]).join(' '), area.text);
});

await test('Rows Columns copies the area text as text', async () => {
  const rows = (await state()).tools.find((t) => /Rows Columns/.test(t.title));
  await page.locator(`#palette button[aria-label="${rows.title.trim()}"]`).click();
  await drag([330, 480], [560, 200]);
  const copies = (await textArt()).filter((a) => a.box && a.text.startsWith('Area text'));
  assert.ok(copies.length > 1, `${copies.length} copies`);
  for (const c of copies) assert.deepEqual(c.box, [120, 200]);
});

await test('the saved script replays with easel play to the same document', async () => {
  const { played: replayed, studio: studioDoc } = await replayedSession(page, o);
  assert.deepEqual(replayed.layers, studioDoc.layers);
});

await test('the page threw no errors', async () => assert.deepEqual(pageErrors, []));

await end(finish);
