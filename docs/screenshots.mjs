// Pictures of easel studio in use for docs/: a grid made with Rows Columns,
// an open option dialog, a Kestova reshape, a drawing, an SVG file, text, exact placement and paint
// (the colour picker and a gradient being edited). Regenerate them with
//   node docs/screenshots.mjs --easel build/<name>/easel/cli/easel \
//        --plugins build/<name>/plugins --examples examples --out docs
import { readFileSync } from 'node:fs';
import path from 'node:path';
import { args, browserOrReason, idle, moveTo, startStudio } from '../tests/e2e/studio.mjs';

const o = args(process.argv);
const out = o.out || 'docs';
const got = await browserOrReason();
if (!got.browser) {
  console.log(`skipped: ${got.reason}`);
  process.exit(77);
}
const studio = await startStudio(o.easel, o.plugins, path.join(o.examples, 'grid-shapes.json'));
const page = await (await got.browser.newContext({ viewport: { width: 1200, height: 760 } })).newPage();
await page.goto(studio.url);
await idle(page);

const api = (c) => page.evaluate((cmd) => fetch('/api/call', { method: 'POST', headers: { 'Content-Type': 'application/json' },
  body: JSON.stringify(cmd) }).then((r) => r.json()), c);
const titleOf = (re) => page.evaluate((src) => window.studio.state.tools.find((t) => new RegExp(src).test(t.title.trim())).title.trim(), re);
const shot = async (name) => {
  await idle(page);
  await page.screenshot({ path: path.join(out, name) });
  console.log(`written: ${path.join(out, name)}`);
};

// 1. Rows Columns: the orange square in a 4 x 5 grid.
const rc = await titleOf('Rows Columns$');
await api({ op: 'options', tool: rc });
await api({ op: 'dialogSet', id: 20, value: 5 });
await api({ op: 'dialogSet', id: 21, value: 4 });
await api({ op: 'dialogPress', id: 1 });
await api({ op: 'select', ids: [1] });
await page.reload();
await idle(page);
await page.locator(`#palette button[aria-label="${rc}"]`).click();
await moveTo(page, 58, 378);
await page.mouse.down();
await moveTo(page, 330, 200, 12);
await page.mouse.up();
await shot('studio-grid.png');

// 2. The Drag tool's option dialog, open over the drawing.
const drag = await titleOf('Drag$');
await page.locator(`#palette button[aria-label="${drag}"]`).dblclick();
await page.waitForSelector('#dialog.adm');
await shot('studio-dialog.png');
await page.locator('#dialog .push button', { hasText: 'Cancel' }).click();
await page.waitForSelector('#modal', { state: 'hidden' });

// 3. Kestova reshaping two selected paths by their anchors.
const script = JSON.parse(readFileSync(path.join(o.examples, 'kestova-anchor-drag.json'), 'utf8'));
await page.locator('#open').setInputFiles({ name: 'kestova.json', mimeType: 'application/json',
                                            buffer: Buffer.from(JSON.stringify(script.document)) });
await page.waitForFunction(() => window.studio.state.page.width === 400);
await idle(page);
const kestova = await titleOf('KestovaTool$');
await page.locator(`#palette button[aria-label="${kestova}"]`).click();
await moveTo(page, 100, 105);
await page.mouse.down();
await moveTo(page, 170, 230, 12);
await page.mouse.up();
await shot('studio-kestova.png');

// 4. Drawing: a star, a rounded rectangle and a pencil stroke, coloured from
// the swatches, with the star's anchors shown by the Direct Selection tool.
const edit = (e) => api({ op: 'edit', edit: e });
await edit({ op: 'new', size: 'Letter', orientation: 'landscape' });
await edit({ op: 'create', shape: 'rectangle', from: [90, 120], to: [330, 420], radius: 30, fill: { swatch: 'RGB Sky' }, stroke: 'none' });
await edit({ op: 'create', shape: 'star', center: [470, 300], radius: 150, inner: 65, points: 7, fill: { swatch: 'RGB Orange' },
             stroke: { swatch: 'Black' }, strokeWidth: 3 });
await edit({ op: 'create', shape: 'pencil', points: Array.from({ length: 60 }, (_, i) => [100 + i * 10, 520 + 40 * Math.sin(i / 6)]),
             fill: 'none', stroke: { swatch: 'RGB Violet' }, strokeWidth: 6 });
await edit({ op: 'select', ids: [2] });
await page.reload();
await idle(page);
await page.keyboard.press('a');
await idle(page);
await shot('studio-drawing.png');

// 5. Paths: two circles united, a square taken from them, stripes clipped by a star, the Path menu open.
await edit({ op: 'new', size: 'Letter', orientation: 'landscape' });
const [c1] = (await edit({ op: 'create', shape: 'ellipse', from: [150, 200], to: [400, 450], fill: { swatch: 'RGB Orange' } })).made;
const [c2] = (await edit({ op: 'create', shape: 'ellipse', from: [300, 200], to: [550, 450] })).made;
await edit({ op: 'select', ids: [c1, c2] });
const [u] = (await edit({ op: 'union' })).made;
const [sq] = (await edit({ op: 'create', shape: 'rectangle', from: [300, 280], to: [380, 360] })).made;
await edit({ op: 'select', ids: [u, sq] });
await edit({ op: 'difference' });
const stripes = [];
for (const [i, swatch] of ['RGB Red', 'RGB Yellow', 'RGB Sky'].entries())
  stripes.push(...(await edit({ op: 'create', shape: 'rectangle', from: [170, 462 + 45 * i], to: [430, 507 + 45 * i], fill: { swatch }, stroke: 'none' })).made);
const [star] = (await edit({ op: 'create', shape: 'star', center: [300, 530], radius: 72, inner: 32, points: 5 })).made;
await edit({ op: 'select', ids: [...stripes, star] });
await edit({ op: 'clip' });
await edit({ op: 'deselect' });
await page.reload();
await idle(page);
await page.locator('#path-menu summary').click();
await shot('studio-paths.png');
await page.locator('#path-menu summary').click();

// 6. An SVG file's gradients and text, drawn as they are.
await page.locator('#open').setInputFiles(path.join(o.examples, 'badge.svg'));
await page.waitForFunction(() => window.studio.state.page.width === 360);
await idle(page);
await shot('studio-svg.png');

// 6. The Type tool: a heading, area text wrapped to its box, and the box's
// text being edited in place, with the text panel showing its settings.
await edit({ op: 'new', size: 'Letter', orientation: 'landscape' });
await edit({ op: 'text', text: 'Field notes', at: [90, 500], fontSize: 54, family: 'DejaVu Serif', weight: 'bold' });
await edit({ op: 'text', text: 'Area text wraps its words to the width of the box it was dragged to. '
             + 'Click it with the Type tool to edit it in place.\nEnter starts a new line.',
             from: [90, 440], to: [420, 200], fontSize: 20, lineSpacing: 1.4 });
await edit({ op: 'deselect' });
await page.reload();
await idle(page);
await page.keyboard.press('t');
await moveTo(page, 200, 400);
await page.mouse.down();
await page.mouse.up();
await idle(page);
await page.keyboard.press('End');
await shot('studio-text.png');
await page.keyboard.press('Escape');

// 7. Exact placement: rulers, the grid, guides and the transform panel on
// three aligned rectangles.
await edit({ op: 'new', size: 'Letter', orientation: 'landscape' });
for (const [x, w, color] of [[120, 140, 'RGB Sky'], [320, 90, 'RGB Orange'], [480, 180, 'RGB Violet']])
  await edit({ op: 'create', shape: 'rectangle', from: [x, 300], to: [x + w, 300 + w * 0.8], fill: { swatch: color }, stroke: 'none' });
await edit({ op: 'addGuide', axis: 'horizontal', at: 300 });
await edit({ op: 'addGuide', axis: 'vertical', at: 120 });
await edit({ op: 'addGuide', axis: 'vertical', at: 660 });
await edit({ op: 'select', ids: [1, 2, 3] });
await page.reload();
await idle(page);
await page.keyboard.press('Control+Quote');
await shot('studio-placement.png');

// 8. Paint: a rectangle with a linear gradient of three stops, its handles on
// the canvas and its stops on the gradient bar, beside the colour picker;
// a dashed line with arrowheads.
await edit({ op: 'new', size: 'Letter', orientation: 'landscape' });
await edit({ op: 'create', shape: 'line', from: [120, 160], to: [660, 160], stroke: { swatch: 'RGB Violet' }, strokeWidth: 5 });
await edit({ op: 'stroke', dash: [14, 6], start: 'circle', end: 'triangle' });
await edit({ op: 'create', shape: 'rectangle', from: [120, 240], to: [660, 520], radius: 24, stroke: 'none' });
await edit({ op: 'gradient', from: [160, 280], to: [620, 480], stops: [
  { offset: 0, color: { kind: 'rgb', values: [0.1, 0.3, 0.9] } }, { offset: 0.55, color: { kind: 'cmyk', values: [0, 0.5, 1, 0] } },
  { offset: 1, color: { kind: 'gray', values: [0.05] }, opacity: 0.8 }] });
await page.reload();
await idle(page);
await page.locator('#gradient-panel').scrollIntoViewIfNeeded();
await shot('studio-paint.png');

await got.close();
await studio.stop();
