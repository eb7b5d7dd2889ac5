// Browser tests of easel studio in headless Chromium. Prints one line per
// test and "N passed, N failed, N skipped"; exits 77 (skipped) only when
// Chromium or playwright-core is not installed.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import path from 'node:path';
import { args, browserOrSkip, idle, moveTo, startStudio, testRunner } from './studio.mjs';

const o = args(process.argv);
const got = await browserOrSkip();

const studio = await startStudio(o.easel, o.plugins, path.join(o.examples, 'grid-shapes.json'));
const context = await got.browser.newContext({ viewport: { width: 1280, height: 800 }, acceptDownloads: true });
const page = await context.newPage();
const pageErrors = [];
page.on('pageerror', (e) => pageErrors.push(String(e)));
await page.goto(studio.url);
await idle(page);

const state = () => page.evaluate(() => window.studio.state);
const count = () => page.evaluate(() => window.studio.scene.layers.reduce((n, l) => n + l.art.length, 0));
const right = () => page.evaluate(() => Math.max(...window.studio.scene.layers.flatMap((l) => l.art.map((a) => (a.b ? a.b[2] : -1e9)))));
const toolButton = (title) => page.locator(`#palette button[aria-label="${title}"]`);
async function clickAt(x, y, modifiers = []) {
  for (const m of modifiers) await page.keyboard.down(m);
  await moveTo(page, x, y);
  await page.mouse.down();
  await page.mouse.up();
  for (const m of modifiers) await page.keyboard.up(m);
  await idle(page);
}
async function select(ids) {
  await page.evaluate((list) => fetch('/api/call', { method: 'POST', headers: { 'Content-Type': 'application/json' },
    body: JSON.stringify({ op: 'select', ids: list }) }), ids);
  await page.evaluate(() => window.studio.chooseTool('select'));
  await page.reload();
  await idle(page);
}
async function dragWith(title, from, to, steps = 8) {
  await toolButton(title).click();
  await moveTo(page, ...from);
  await page.mouse.down();
  await moveTo(page, ...to, steps);
  await idle(page);
}
async function openDialog(title) {
  await toolButton(title).dblclick();
  await page.waitForSelector('#dialog.adm');
}
const firstSpin = () => page.locator('#dialog .spin input:not([disabled])').first();

// A failed test may leave a dialog open: Esc closes it for the next one.
const { test, finish } = testRunner(() => page.keyboard.press('Escape').catch(() => {}));

await test('the page shows the document, layers, swatches and every tool with its icon', async () => {
  const s = await state();
  assert.equal(await count(), 3);
  assert.equal(await page.locator('#layers li').count(), s.layers.length);
  assert.ok(await page.locator('#swatches span').count() >= 20);
  assert.equal(await page.locator('#palette button img').count(), s.tools.length);
  assert.ok(await toolButton('Drag').count() === 1 || await page.locator('#palette button[aria-label*="Drag"]').count() >= 1);
});

await test('click, Shift-click, marquee, select all and deselect', async () => {
  await clickAt(58, 378);
  assert.deepEqual((await state()).selection, [1]);
  await clickAt(45, 37, ['Shift']);
  assert.deepEqual((await state()).selection, [1, 3]);
  await clickAt(300, 100);
  assert.deepEqual((await state()).selection, []);
  await moveTo(page, 250, 260);
  await page.mouse.down();
  await moveTo(page, 340, 190, 4);
  await page.mouse.up();
  await idle(page);
  assert.deepEqual((await state()).selection, [2]);
  await page.keyboard.press('Control+A');
  await idle(page);
  assert.equal((await state()).selection.length, 3);
  await page.keyboard.press('Escape');
  await idle(page);
  assert.deepEqual((await state()).selection, []);
});

const dragTitle = await page.evaluate(() => window.studio.state.tools.find((t) => /Drag$/.test(t.title.trim())).title.trim());
const rowsTitle = await page.evaluate(() => (window.studio.state.tools.find((t) => /Rows Columns/.test(t.title)) || {}).title);

await test('the Drag tool: copies follow the mouse and stay after mouse up; undo and redo', async () => {
  await clickAt(58, 378);
  await dragWith(dragTitle, [58, 378], [200, 330]);
  const during = await right();
  const copies = await count();
  assert.ok(copies > 3, `copies while dragging: ${copies}`);
  await moveTo(page, 480, 260, 8);
  await idle(page);
  assert.ok(await right() > during + 100, 'the copies follow the mouse');
  await page.mouse.up();
  await idle(page);
  const after = await count();
  assert.ok(after > 3);
  await page.keyboard.press('Control+Z');
  await idle(page);
  assert.equal(await count(), 3);
  await page.keyboard.press('Control+Shift+Z');
  await idle(page);
  assert.equal(await count(), after);
  // The picture the page built from the host's changes is the one a page loading afresh gets.
  const built = JSON.stringify((await page.evaluate(() => window.studio.scene)).layers);
  await page.reload();
  await idle(page);
  assert.equal(JSON.stringify((await page.evaluate(() => window.studio.scene)).layers), built);
  // And it is the document as the host's text picture gives it: ids, selection, opacity, and
  // every shape's first point through its matrix where the text has it on the page.
  const [mine, text] = await page.evaluate(async () => [window.studio.scene, (await (await fetch('/api/call', {
    method: 'POST', headers: { 'Content-Type': 'application/json' }, body: JSON.stringify({ op: 'state' }) })).json()).scene]);
  const first = (d) => d.match(/-?[\d.]+/g).slice(0, 2).map(Number);
  const objects = (sc) => sc.layers.flatMap((l) => l.art);
  assert.equal(objects(mine).length, objects(text).length);
  objects(text).forEach((t, i) => {
    const o = objects(mine)[i];
    assert.equal(o.id, t.id);
    assert.equal(!!o.sel, !!t.sel);
    assert.ok(t.b && o.b && t.b.every((v, k) => Math.abs(v - o.b[k]) < 0.011), `object ${t.id}: bounds [${o.b}], not [${t.b}]`);
    assert.equal(o.p.length, t.p.length);
    o.p.forEach((sh, k) => {
      const [x, y] = first(sh.d), m = sh.m, [tx, ty] = first(t.p[k].d);
      assert.ok(Math.abs(m[0] * x + m[2] * y + m[4] - tx) < 0.02 && Math.abs(m[1] * x + m[3] * y + m[5] - ty) < 0.02,
                `object ${t.id}: (${x}, ${y}) through [${m}] is not at (${tx}, ${ty})`);
      assert.ok(Math.abs(sh.o - (t.p[k].o ?? 1)) < 0.001);
    });
  });
  await page.keyboard.press('Control+Z');
  await idle(page);
});

await test('Rows Columns lays out a grid that follows the mouse', async () => {
  assert.ok(rowsTitle, 'the Rows Columns tool is loaded');
  await page.locator('#palette button[data-tool="select"]').click();
  await clickAt(58, 378);
  await dragWith(rowsTitle.trim(), [58, 378], [300, 200]);
  const mid = await count();
  await moveTo(page, 540, 60, 6);
  await idle(page);
  await page.mouse.up();
  await idle(page);
  assert.ok(mid > 3 && (await count()) > 3, `copies: ${mid}, ${await count()}`);
  await page.keyboard.press('Control+Z');
  await idle(page);
  assert.equal(await count(), 3);
});

await test('a modifier key changes what the drag does', async () => {
  await page.locator('#palette button[data-tool="select"]').click();
  await clickAt(58, 378);
  await dragWith(dragTitle, [58, 378], [400, 250]);
  await page.mouse.up();
  await idle(page);
  const plain = JSON.stringify((await page.evaluate(() => window.studio.scene)).layers);
  await page.keyboard.press('Control+Z');
  await idle(page);
  await page.keyboard.down('Shift');
  await dragWith(dragTitle, [58, 378], [400, 250]);
  await page.mouse.up();
  await page.keyboard.up('Shift');
  await idle(page);
  const shifted = JSON.stringify((await page.evaluate(() => window.studio.scene)).layers);
  assert.notEqual(shifted, plain);
  await page.keyboard.press('Control+Z');
  await idle(page);
});

await test('the option dialog: arrows, Cancel, OK and Reset', async () => {
  await openDialog(dragTitle);
  const spin = firstSpin();
  const id = await spin.getAttribute('data-item');
  const before = await spin.inputValue();
  await page.locator(`#dialog .item[data-id="${id}"] button.up`).click();
  await page.waitForFunction(([i, b]) => document.querySelector(`#dialog input[data-item="${i}"]`).value !== b, [id, before]);
  await page.locator('#dialog .push button', { hasText: 'Cancel' }).click();
  await page.waitForSelector('#modal', { state: 'hidden' });
  await openDialog(dragTitle);
  assert.equal(await firstSpin().inputValue(), before, 'Cancel keeps the old value');
  await firstSpin().fill('7');
  // Pressed as a person presses: the field's value is set as the button goes
  // down, and its answer arrives before the button comes up.
  const ok = await page.locator('#dialog .push button', { hasText: 'OK' }).boundingBox();
  await page.mouse.move(ok.x + ok.width / 2, ok.y + ok.height / 2);
  await page.mouse.down();
  await idle(page);
  await page.mouse.up();
  await page.waitForSelector('#modal', { state: 'hidden', timeout: 5000 });
  await openDialog(dragTitle);
  assert.ok((await firstSpin().inputValue()).startsWith('7'), 'OK keeps the new value');
  const reset = page.locator('#dialog .push button', { hasText: 'Reset' });
  if (await reset.count()) {
    await reset.click();
    await page.waitForFunction((i) => !document.querySelector(`#dialog input[data-item="${i}"]`).value.startsWith('7'), id);
    assert.ok(!(await firstSpin().inputValue()).startsWith('7'), 'Reset gives the plug-in\'s defaults back');
  }
  await page.locator('#dialog .push button', { hasText: 'OK' }).click();
  await page.waitForSelector('#modal', { state: 'hidden' });
});

await test('Reset after typing in a field: the plug-in\'s defaults win', async () => {
  await openDialog(dragTitle);
  const copies = page.locator('#dialog input[data-item="38"]');
  // The typed value is set when the field is left for Reset. Holding that set
  // back on its way shows whether the page waits for it before pressing.
  const slowSets = async (route) => {
    const body = route.request().postDataJSON();
    if (body && body.op === 'dialogSet') await new Promise((r) => setTimeout(r, 400));
    await route.continue();
  };
  await page.route('**/api/call', slowSets);
  try {
    await copies.fill('14');
    await page.locator('#dialog .push button', { hasText: 'Reset' }).click();
    await page.waitForTimeout(900);
    await idle(page);
  } finally {
    await page.unroute('**/api/call', slowSets);
  }
  assert.equal(await copies.inputValue(), '10', 'Reset shows the start-up number of copies');
  const s = await state();
  assert.equal(s.dialog.items.find((i) => i.id === 38).value, 10);
  await page.locator('#dialog .push button', { hasText: 'Cancel' }).click();
  await page.waitForSelector('#modal', { state: 'hidden' });
});

await test('dialog keys: Esc cancels from inside a field, Enter commits it and presses OK', async () => {
  await openDialog(dragTitle);
  const before = await firstSpin().inputValue();
  await firstSpin().fill('9');
  await page.keyboard.press('Escape');
  await page.waitForSelector('#modal', { state: 'hidden' });
  await openDialog(dragTitle);
  assert.equal(await firstSpin().inputValue(), before, 'Esc cancels');
  const popup = page.locator('#dialog select').first();
  assert.equal(await popup.getAttribute('title'), await popup.evaluate((s) => s.options[s.selectedIndex].text),
               'a popup\'s tooltip is its whole entry');
  await firstSpin().fill('9');
  await page.keyboard.press('Enter');
  await page.waitForSelector('#modal', { state: 'hidden' });
  await openDialog(dragTitle);
  assert.ok((await firstSpin().inputValue()).startsWith('9'), 'Enter keeps the typed value');
  await page.keyboard.press('Escape');
  await page.waitForSelector('#modal', { state: 'hidden' });
});

await test('the seed is shown and can be changed', async () => {
  assert.equal(await page.locator('#seed').inputValue(), '1');
  await page.locator('#seed').fill('5');
  await page.locator('#seed').press('Tab');
  await page.waitForFunction(() => window.studio.state.seed === 5);
});

await test('save JSON, then open it again', async () => {
  await page.locator('#palette button[data-tool="select"]').click();
  await clickAt(58, 378);
  await dragWith(dragTitle, [58, 378], [300, 300]);
  await page.mouse.up();
  await idle(page);
  const n = await count();
  const [download] = await Promise.all([page.waitForEvent('download'), page.locator('#save-json').click()]);
  assert.equal(download.suggestedFilename(), 'grid-shapes.json', 'named after the document');
  const file = await download.path();
  const text = readFileSync(file, 'utf8');
  assert.equal(JSON.parse(text).format, 'easel-document');
  await page.keyboard.press('Control+Z');
  await idle(page);
  assert.equal(await count(), 3);
  await page.locator('#open').setInputFiles({ name: 'drawing.json', mimeType: 'application/json', buffer: Buffer.from(text) });
  await page.waitForFunction((want) => window.studio.scene.layers.reduce((k, l) => k + l.art.length, 0) === want, n);
});

await test('export PNG, PDF and the session script', async () => {
  const [png] = await Promise.all([page.waitForEvent('download'), page.locator('#export-png').click()]);
  assert.equal(readFileSync(await png.path()).subarray(1, 4).toString(), 'PNG');
  const [pdf] = await Promise.all([page.waitForEvent('download'), page.locator('#export-pdf').click()]);
  assert.equal(pdf.suggestedFilename(), 'drawing.pdf');
  assert.equal(readFileSync(await pdf.path()).subarray(0, 5).toString(), '%PDF-');
  const [script] = await Promise.all([page.waitForEvent('download'), page.locator('#record').click()]);
  assert.equal(script.suggestedFilename(), 'drawing.script.json');
  const s = JSON.parse(readFileSync(await script.path(), 'utf8'));
  assert.ok(Array.isArray(s.steps) && s.plugins.length >= 1);
});

await test('an opened SVG: gradients and text are painted, and what is approximate is reported', async () => {
  const svg = '<svg xmlns="http://www.w3.org/2000/svg" width="200" height="100">' +
    '<linearGradient id="g"><stop offset="0" stop-color="red"/><stop offset="1" stop-color="blue"/></linearGradient>' +
    '<rect width="100" height="40" fill="url(#g)"/><text x="10" y="90" font-size="40">WWW</text>' +
    '<text x="150" y="20" fill="url(#g)">m</text></svg>';
  await page.locator('#open').setInputFiles({ name: 'art.svg', mimeType: 'image/svg+xml', buffer: Buffer.from(svg) });
  await page.waitForFunction(() => window.studio.state.page.width === 150);
  await idle(page);
  assert.match(await page.locator('#report-file').innerText(), /^art\.svg: 1 note/);
  // Canvas pixels at page points (the page is 150 x 75 points, vertical axis up).
  // Canvas pixels as shown, by whichever renderer draws them.
  const pixel = (x, y) => page.evaluate(([px, py]) => {
    const r = document.getElementById('canvas').getBoundingClientRect();
    const [sx, sy] = window.studio.toClient(px, py);
    return window.studio.pixels(Math.round(sx - r.left), Math.round(sy - r.top), 1, 1);
  }, [x, y]);
  const left = await pixel(3, 60), right = await pixel(72, 60);
  assert.ok(left[0] > 200 && left[2] < 60, `the gradient starts red: ${left}`);
  assert.ok(right[2] > 200 && right[0] < 60, `and ends blue: ${right}`);
  // The text's glyphs darken pixels inside its box; its box outline alone would not.
  const dark = await page.evaluate(() => {
    const r = document.getElementById('canvas').getBoundingClientRect();
    const [x0, y0] = window.studio.toClient(10, 20), [x1, y1] = window.studio.toClient(60, 8);
    const d = window.studio.pixels(Math.round(x0 - r.left), Math.round(y0 - r.top), Math.round(x1 - x0), Math.round(y1 - y0));
    let n = 0;
    for (let i = 0; i < d.length; i += 4) if (d[i] < 100 && d[i + 3] > 0) n++;
    return n / (d.length / 4);
  });
  assert.ok(dark > 0.1, `the text is drawn (${dark} of its box dark)`);
  await page.locator('#report-close').click();
  assert.equal(await page.locator('#report').isVisible(), false);
});

await test('Open asks before replacing unsaved changes', async () => {
  await page.keyboard.press('Control+A');
  await idle(page);
  assert.equal((await state()).unsaved, true);
  let chooser = false;
  page.once('filechooser', () => { chooser = true; });
  await page.locator('label:has(#open)').click();
  await page.locator('#ask button[data-answer="cancel"]').click();
  assert.equal(await page.locator('#ask').count(), 0);
  assert.equal(chooser, false, 'Cancel opens nothing');
});

await test('an alert from a plug-in appears as a modal dialog', async () => {
  // Dragging with nothing selected: whatever the plug-in shows must come up modal.
  await page.keyboard.press('Escape');
  await idle(page);
  await dragWith(dragTitle, [300, 300], [350, 320]);
  await page.mouse.up();
  await idle(page);
  const s = await state();
  if (s.alerts.length || s.dialog) {
    assert.equal(await page.locator('#modal').isVisible(), true);
    const ok = page.locator('#dialog button').first();
    await ok.click();
    await page.waitForSelector('#modal', { state: 'hidden' });
  } else {
    assert.equal(await page.locator('#modal').isVisible(), false);
  }
});

await test('a drag a locked layer refuses shows the plug-in\'s error dialog', async () => {
  const doc = JSON.parse(readFileSync(path.join(o.examples, 'grid-shapes.json'), 'utf8'));
  doc.layers.push({ name: 'locked', visible: true, locked: true, art: [] });
  await page.locator('#open').setInputFiles({ name: 'locked.json', mimeType: 'application/json', buffer: Buffer.from(JSON.stringify(doc)) });
  await page.waitForFunction(() => window.studio.state.layers.some((l) => l.locked));
  await select([3]);
  // Selecting made the art's layer current; the locked layer made current takes the copies.
  await page.locator('#layers li[data-layer="locked"] .name').click();
  await page.waitForFunction(() => window.studio.state.currentLayer === 'locked');
  const rc = await page.evaluate(() => window.studio.state.tools.find((t) => /Rows Columns$/.test(t.title.trim())).title.trim());
  await toolButton(rc).click();
  await moveTo(page, 45, 38);
  await page.mouse.down();
  await moveTo(page, 200, 200, 4);
  await page.waitForSelector('#dialog.adm');
  const text = await page.locator('#dialog').innerText();
  assert.match(text, /a layer is locked or invisible/);
  assert.equal(await page.locator('#modal').isVisible(), true);
  const message = page.locator('#dialog .static', { hasText: 'locked or invisible' });
  assert.ok(await message.evaluate((el) => el.scrollHeight <= el.clientHeight && el.scrollWidth <= el.clientWidth),
            'the message wraps within its rectangle');
  assert.equal(await page.locator('#dialog .frame.icon svg').count(), 1, 'the icon item shows an icon');
  // The rest of the refused drag is dropped: Esc closes its one dialog.
  await page.mouse.up();
  await page.keyboard.press('Escape');
  await page.waitForSelector('#modal', { state: 'hidden' });
  await idle(page);
  assert.equal(await count(), 3, 'the refused drag drew nothing');
});

await test('the page raised no script errors', async () => {
  assert.deepEqual(pageErrors, []);
});

await context.close();
await got.close();
await studio.stop();
finish();
