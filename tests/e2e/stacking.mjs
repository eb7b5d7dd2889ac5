// Browser test of where copies land: a red rounded square with a yellow
// circle on top, both selected by clicks on the page under a hidden sketch
// layer, copied by Rows Columns 3 x 1. Every copy keeps the circle in front
// (pixels of the screen), and the copies go on the selected art's layer with
// no error dialog. Prints one line per test and "N passed, N failed, N
// skipped"; exits 77 when Chromium or playwright-core is missing.
import assert from 'node:assert/strict';
import { args, browserOrSkip, call, idle, moveTo, openPage, startStudio, testRunner } from './studio.mjs';

const o = args(process.argv);
const got = await browserOrSkip();
const studio = await startStudio(o.easel, o.plugins, null);
const { page, pageErrors } = await openPage(got.browser, studio);

const state = () => page.evaluate(() => window.studio.state);
const api = (command) => call(page, command);
const edit = async (e) => assert.equal((await api({ op: 'edit', edit: e })).ok, true, JSON.stringify(e));
async function click(x, y, keys = []) {
  await moveTo(page, x, y);
  for (const k of keys) await page.keyboard.down(k);
  await page.mouse.down();
  await page.mouse.up();
  for (const k of keys) await page.keyboard.up(k);
  await idle(page);
}

// The colour on the screen at a point of the document: [r, g, b], 0 to 255,
// read from a screenshot decoded in a blank page (the studio's page allows no
// data: addresses).
const decoder = await (await got.browser.newContext()).newPage();
async function colourAt(x, y) {
  const [cx, cy] = await page.evaluate(([a, b]) => window.studio.toClient(a, b), [x, y]);
  const png = await page.screenshot({ clip: { x: Math.round(cx) - 1, y: Math.round(cy) - 1, width: 3, height: 3 } });
  return decoder.evaluate(async (b64) => {
    const image = await createImageBitmap(await (await fetch(`data:image/png;base64,${b64}`)).blob());
    const c = new OffscreenCanvas(image.width, image.height), ctx = c.getContext('2d');
    ctx.drawImage(image, 0, 0);
    return [...ctx.getImageData(1, 1, 1, 1).data.slice(0, 3)];
  }, png.toString('base64'));
}
const isRed = ([r, g, b]) => r > 200 && g < 60 && b < 60;
const isYellow = ([r, g, b]) => r > 200 && g > 200 && b < 60;

const { test, finish } = testRunner();

await test('Rows Columns copies keep the stacking, on the selected art\'s layer under a hidden one', async () => {
  // Square 40..120 x 400..480; circle about (125, 445), radius 35, on top of it.
  await edit({ op: 'create', shape: 'rectangle', from: [40, 400], to: [120, 480], radius: 12, fill: { swatch: 'RGB Red' }, stroke: 'none' });
  await edit({ op: 'create', shape: 'ellipse', from: [90, 410], to: [160, 480], fill: { swatch: 'RGB Yellow' }, stroke: 'none' });
  await edit({ op: 'newLayer', name: 'Sketch' });
  await edit({ op: 'create', shape: 'rectangle', from: [0, 0], to: [600, 780], fill: { swatch: 'Black' } });
  await edit({ op: 'layerVisible', layer: 'Sketch', visible: false });
  await page.reload();
  await idle(page);
  assert.equal((await state()).currentLayer, 'Sketch');

  await page.keyboard.press('v');
  await click(60, 420);
  await click(150, 445, ['Shift']);
  const s = await state();
  assert.equal(s.selection.length, 2);
  assert.equal(s.currentLayer, 'Layer 1', 'selecting art makes its layer current');

  const rc = s.tools.find((t) => /Rows Columns$/.test(t.title.trim())).title;
  await api({ op: 'options', tool: rc });
  await api({ op: 'dialogSet', id: 20, value: 3 });  // columns
  await api({ op: 'dialogSet', id: 21, value: 1 });  // rows
  await api({ op: 'dialogPress', id: 1 });
  await page.reload();
  await idle(page);
  await page.locator(`#palette button[aria-label="${rc.trim()}"]`).click();
  await moveTo(page, 100, 440);
  await page.mouse.down();
  await moveTo(page, 400, 440, 6);
  await page.mouse.up();
  await idle(page);

  const after = await state();
  assert.equal(after.dialog ?? null, null, 'no error dialog');
  assert.deepEqual(after.alerts ?? [], []);
  assert.equal(await page.locator('#modal').isVisible(), false);
  const doc = JSON.parse((await api({ op: 'save', format: 'json' })).text);
  assert.deepEqual(doc.layers.map((l) => [l.name, l.art.length]), [['Layer 1', 6], ['Sketch', 1]]);

  await page.keyboard.press('Escape');  // no selection drawn over the pixels
  await idle(page);
  for (let k = 0; k < 3; ++k) {
    const dx = 150 * k;
    assert.ok(isYellow(await colourAt(105 + dx, 445)), `copy ${k}: the circle is in front where both lie`);
    assert.ok(isRed(await colourAt(60 + dx, 440)), `copy ${k}: the square shows beside the circle`);
  }
});

await test('no page errors', async () => {
  assert.deepEqual(pageErrors, []);
});

await got.browser.close();
await studio.stop();
finish();
