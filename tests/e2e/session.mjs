// A person's session in the studio, through the page: Enter in a panel's
// field gives the keys back, tools show their names, moved art shows its
// outline on the way, a drag the plug-in
// refuses shows one error dialog and the page keeps answering (OK, undo,
// another drag), Ctrl+S writes the file the studio was started on, and New
// asks before it replaces unsaved work, then fits the new page in the view.
import assert from 'node:assert/strict';
import { chmodSync, mkdtempSync, readFileSync, rmSync, statSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { args, browserOrSkip, idle, moveTo, startStudio, testRunner } from './studio.mjs';

const o = args(process.argv);
const got = await browserOrSkip();
const dir = mkdtempSync(path.join(tmpdir(), 'easel-session-'));
const file = path.join(dir, 'work.json');
// The example's art on "Layer 1" under an empty layer "Top" for the copies.
const doc = JSON.parse(readFileSync(path.join(o.examples, 'grid-shapes.json'), 'utf8'));
doc.layers.push({ name: 'Top', visible: true, locked: false, art: [] });
writeFileSync(file, JSON.stringify(doc));
chmodSync(file, 0o600);  // a private file stays private when saved

const studio = await startStudio(o.easel, o.plugins, file);
const context = await got.browser.newContext({ viewport: { width: 1280, height: 800 } });
const page = await context.newPage();
const pageErrors = [];
page.on('pageerror', (e) => pageErrors.push(String(e)));
// Every command the host refused because a dialog was open, and every dialog shown.
const refusals = [];
page.on('response', async (r) => {
  if (!r.url().endsWith('/api/call') || !(r.headers()['content-type'] || '').startsWith('application/json')) return;
  const a = await r.json().catch(() => null);
  if (a && !a.ok && /dialog is open/.test(a.error || '')) refusals.push(a.error);
});
await page.goto(studio.url);
await idle(page);

const state = () => page.evaluate(() => window.studio.state);
const count = () => page.evaluate(() => window.studio.scene.layers.reduce((n, l) => n + l.art.length, 0));
const hostState = () => page.evaluate(async () => (await fetch('/api/call', { method: 'POST', headers: { 'Content-Type': 'application/json' },
  body: JSON.stringify({ op: 'state', scene: false }) })).json());
const rows = async () => (await state()).tools.find((t) => /Rows Columns$/.test(t.title.trim())).title.trim();
async function rowsColumnsDrag() {
  const button = page.locator(`#palette button[aria-label="${await rows()}"]`);
  await button.click();
  // The tool's name as people read it, without the title's internal prefix.
  assert.equal(await page.locator('#status').textContent(), 'Rows Columns');
  assert.match(await button.getAttribute('title'), /^Rows Columns/);
  await moveTo(page, 45, 38);
  await page.mouse.down();
  await moveTo(page, 250, 250, 8);
  await page.mouse.up();
}
const fileArt = () => JSON.parse(readFileSync(file, 'utf8')).layers.reduce((n, l) => n + l.art.length, 0);

const { test, finish } = testRunner(() => page.keyboard.press('Escape').catch(() => {}));

await test('moving art shows its outline on the way, not only a box', async () => {
  await page.keyboard.press('v');
  // The triangle (280, 200), (320, 200), (280, 240): its long side crosses the centre of its box.
  await moveTo(page, 290, 210);
  await page.mouse.down();
  await moveTo(page, 390, 210, 6);
  const drawn = await page.evaluate(([x, y]) => {
    const o = document.getElementById('overlay'), r = o.getBoundingClientRect(), k = o.width / r.width;
    const [cx, cy] = window.studio.toClient(x, y);
    const px = o.getContext('2d').getImageData(Math.round((cx - r.left) * k) - 1, Math.round((cy - r.top) * k) - 1, 3, 3).data;
    return px.some((v, i) => i % 4 === 3 && v > 0);
  }, [400, 220]);
  await page.mouse.up();
  await idle(page);
  assert.ok(drawn, 'the outline moved with the pointer crosses the centre of the moved box');
  assert.equal((await state()).undoText, 'Undo Move');
  await page.keyboard.press('Control+Z');
  await idle(page);
});

await test('an error in a drag: one dialog, OK, undo, another drag, Ctrl+S, the page answering throughout', async () => {
  const start = await count();
  await page.keyboard.press('v');
  await moveTo(page, 45, 38);
  await page.mouse.down();
  await page.mouse.up();
  await idle(page);
  assert.equal((await state()).selection.length, 1);
  // Enter in a panel's field commits it and gives the keys back to the canvas:
  // "m" then chooses the Rectangle tool instead of going into the field.
  const x = await page.locator('#tf-x').inputValue();
  await page.locator('#tf-x').click();
  await page.keyboard.press('Enter');
  await page.keyboard.press('m');
  assert.equal(await page.locator('#tf-x').inputValue(), x);
  assert.equal(await page.locator('#palette button.active').getAttribute('data-tool'), 'rectangle');
  await page.keyboard.press('v');
  // The Fill box shows the selected object's paint.
  const fill = (await state()).selectionStyle.fill;
  assert.equal(await page.locator('#fill-box').evaluate((el) => el.style.background), (await page.evaluate((c) => {
    const d = document.createElement('div'); d.style.background = c; return d.style.background; }, fill)));
  // The copies' layer is the current one and hidden: the plug-in refuses the drag.
  await page.locator('#layers li[data-layer="Top"]').click();
  await idle(page);
  await page.locator('#layers li[data-layer="Top"] button.eye').click();
  await idle(page);
  assert.equal((await state()).currentLayer, 'Top');
  let dialogs = 0;
  const seen = page.waitForSelector('#dialog.adm');
  await rowsColumnsDrag();
  await seen;
  for (; await page.locator('#dialog.adm').isVisible() && dialogs < 12; ++dialogs) {
    await page.locator('#dialog button', { hasText: 'OK' }).click();
    await idle(page);
    await page.waitForTimeout(1500);  // a dialog the page missed is found by its poll within a second
  }
  assert.equal(dialogs, 1, 'one error dialog per drag');
  const s = await hostState();
  assert.equal(s.dialog, null);
  assert.equal(s.dragging, false);
  assert.equal((await state()).dragging, false, 'the page knows the drag ended');
  assert.equal(await count(), start, 'the refused drag drew nothing');
  // Undo takes back the refused drag (it tagged its source), then the hidden layer; the next drag makes its grid.
  assert.equal((await state()).undoText, 'Undo Rows Columns');
  await page.keyboard.press('Control+Z');
  await idle(page);
  assert.equal((await state()).undoText, 'Undo Hide Layer');
  await page.keyboard.press('Control+Z');
  await idle(page);
  assert.equal((await state()).layers.find((l) => l.name === 'Top').visible, true);
  await rowsColumnsDrag();
  await idle(page);
  const made = await count();
  assert.ok(made > start, 'the drag after the error made copies');
  assert.match(await page.locator('#undo').getAttribute('title'), /^Undo Rows Columns/);
  assert.equal(await page.locator('#save.unsaved').count(), 1, 'unsaved work is marked');
  // Ctrl+S writes the file; the mark clears.
  await page.keyboard.press('Control+S');
  await idle(page);
  await page.waitForFunction(() => !window.studio.state.unsaved);
  assert.equal(fileArt(), made);
  assert.equal(statSync(file).mode & 0o777, 0o600, 'the file keeps its mode');
  assert.equal(await page.locator('#save.unsaved').count(), 0);
  assert.deepEqual(refusals, [], 'no command was refused for a dialog');
});

await test('the zoom and file keys are the page\'s', async () => {
  const zoom = () => page.locator('#zoom').innerText();
  const fitted = await zoom();  // the page opened fitted in the view
  await page.keyboard.press('Control+1');
  assert.equal(await zoom(), '100%');
  await page.keyboard.press('Control+Equal');
  assert.equal(await zoom(), '125%');
  await page.keyboard.press('Control+Minus');
  assert.equal(await zoom(), '100%');
  await page.keyboard.press('Control+0');
  assert.equal(await zoom(), fitted);
  // The work is saved: Ctrl+O goes straight to choosing a file.
  const chooser = page.waitForEvent('filechooser', { timeout: 5000 });
  await page.keyboard.press('Control+O');
  await chooser;
});

await test('New asks before it replaces unsaved work, and fits the new page in the view', async () => {
  // A layer made by a click; Enter afterwards presses nothing.
  const layers = (await state()).layers.length;
  await page.locator('#layer-tools button', { hasText: 'New' }).click();
  await idle(page);
  await page.keyboard.press('Enter');
  await idle(page);
  assert.equal((await state()).layers.length, layers + 1);
  assert.equal((await state()).unsaved, true);
  const before = await count();
  const chooseNew = async () => {
    await page.locator('#edit-menu summary').click();
    await page.locator('#edit-menu button[data-edit="New…"]').click();
  };
  await chooseNew();
  await page.keyboard.press('Control+z');  // the question holds the keys: nothing is undone behind it
  await idle(page);
  await page.locator('#ask button', { hasText: 'Cancel' }).click();
  assert.equal(await page.locator('#new-dialog').count(), 0);
  assert.equal((await state()).layers.length, layers + 1, 'Cancel kept the document');
  await chooseNew();
  await page.locator('#ask button', { hasText: 'Discard' }).click();
  await page.locator('#new-size').selectOption('Tabloid');
  await page.locator('#new-dialog button', { hasText: 'OK' }).click();
  await idle(page);
  assert.equal(await count(), 0);
  assert.equal(fileArt(), before, 'the file keeps what was saved');
  // The whole page shows in the drawing area.
  const view = await page.locator('#view').boundingBox();
  const [x0, y0] = await page.evaluate(() => window.studio.toClient(0, window.studio.scene.height));
  const [x1, y1] = await page.evaluate(() => window.studio.toClient(window.studio.scene.width, 0));
  assert.ok(x0 >= view.x && y0 >= view.y && x1 <= view.x + view.width && y1 <= view.y + view.height,
            `the page ${[x0, y0, x1, y1]} lies in the view ${JSON.stringify(view)}`);
});

await test('the page raised no script errors', async () => {
  assert.deepEqual(pageErrors, []);
});

await context.close();
await got.close();
await studio.stop();
rmSync(dir, { recursive: true, force: true });
finish();
