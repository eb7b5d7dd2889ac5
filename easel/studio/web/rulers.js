// The view's aids to exact placement: rulers along the top and left (page
// points, vertical axis up as the document has it, following zoom and pan),
// the grid, the guides (dragged out of a ruler, moved, and deleted by
// dragging them back onto it; each change an edit of the document), and the
// View menu and keys that show them and switch snapping (snapping.js).
import { $, note } from './common.js';
import { page, placement, view } from './store.js';
import { canvas, drawOverlay, overlays, toDoc, toScreen } from './canvas.js';
import { edit } from './drawing.js';

const RULER = 18;       // px
const GUIDE_GRAB = 3;   // px either side of a guide
const round = (v) => Math.round(v * 100) / 100;
const viewEl = $('view');

// ---- the rulers ----

const el = (tag, props) => Object.assign(document.createElement(tag), props);
const top = el('canvas', { id: 'ruler-top', className: 'ruler', title: 'Drag down to make a horizontal guide' });
const left = el('canvas', { id: 'ruler-left', className: 'ruler', title: 'Drag right to make a vertical guide' });
const corner = el('div', { id: 'ruler-corner', className: 'ruler' });
viewEl.append(top, left, corner);

// A tick step of 1, 2 or 5 times a power of ten that puts labels at least 50 px apart.
function tickStep() {
  const want = 50 / view.zoom;
  const p = 10 ** Math.floor(Math.log10(want));
  return [1, 2, 5, 10].map((k) => k * p).find((s) => s >= want);
}

function drawRuler(c, horizontal) {
  const dpr = window.devicePixelRatio || 1, r = c.getBoundingClientRect();
  if (c.width !== Math.round(r.width * dpr) || c.height !== Math.round(r.height * dpr)) {
    c.width = Math.round(r.width * dpr);
    c.height = Math.round(r.height * dpr);
  }
  const ctx = c.getContext('2d');
  ctx.setTransform(dpr, 0, 0, dpr, 0, 0);
  ctx.fillStyle = '#f4f4f4';
  ctx.fillRect(0, 0, r.width, r.height);
  ctx.strokeStyle = '#888';
  ctx.fillStyle = '#444';
  ctx.font = '9px system-ui, sans-serif';
  const step = tickStep(), minor = step / 5, length = horizontal ? r.width : r.height;
  // The document values at both ends of the ruler.
  const ends = horizontal ? [toDoc(0, 0)[0], toDoc(length, 0)[0]] : [toDoc(0, length)[1], toDoc(0, 0)[1]];
  ctx.beginPath();
  for (let v = Math.floor(ends[0] / minor) * minor; v <= ends[1]; v += minor) {
    const major = Math.abs(v / step - Math.round(v / step)) < 1e-6;
    const at = Math.round(horizontal ? toScreen(v, 0)[0] : toScreen(0, v)[1]) + 0.5;
    const tick = major ? RULER : RULER / 4;
    if (horizontal) { ctx.moveTo(at, RULER - tick); ctx.lineTo(at, RULER); } else { ctx.moveTo(RULER - tick, at); ctx.lineTo(RULER, at); }
    if (!major) continue;
    const label = String(round(Math.round(v / step) * step));
    if (horizontal) ctx.fillText(label, at + 2, 9);
    else { ctx.save(); ctx.translate(9, at - 2); ctx.rotate(-Math.PI / 2); ctx.fillText(label, 0, 0); ctx.restore(); }
  }
  ctx.stroke();
}

function drawRulers() {
  for (const e of [top, left, corner]) e.hidden = !placement.rulers;
  if (!placement.rulers) return;
  drawRuler(top, true);
  drawRuler(left, false);
}

// ---- grid and guides, over the drawing ----

function drawGrid(ctx, w, h) {
  let g = page.state.guides.gridSpacing;
  while (g * view.zoom < 8) g *= 2;
  const [x0, y1] = toDoc(0, 0), [x1, y0] = toDoc(w, h);
  ctx.strokeStyle = 'rgba(26, 115, 232, .18)';
  ctx.beginPath();
  for (let x = Math.ceil(x0 / g) * g; x <= x1; x += g) { const s = Math.round(toScreen(x, 0)[0]) + 0.5; ctx.moveTo(s, 0); ctx.lineTo(s, h); }
  for (let y = Math.ceil(y0 / g) * g; y <= y1; y += g) { const s = Math.round(toScreen(0, y)[1]) + 0.5; ctx.moveTo(0, s); ctx.lineTo(w, s); }
  ctx.stroke();
}

function guideLine(ctx, axis, at, w, h) {
  ctx.beginPath();
  if (axis === 'vertical') { const s = Math.round(toScreen(at, 0)[0]) + 0.5; ctx.moveTo(s, 0); ctx.lineTo(s, h); }
  else { const s = Math.round(toScreen(0, at)[1]) + 0.5; ctx.moveTo(0, s); ctx.lineTo(w, s); }
  ctx.stroke();
}

function drawAids(ctx) {
  drawRulers();
  if (!page.state || !page.state.guides) return;
  const r = viewEl.getBoundingClientRect(), w = r.width, h = r.height;
  ctx.save();
  ctx.lineWidth = 1;
  if (placement.grid) drawGrid(ctx, w, h);
  const moving = placement.guide;
  if (placement.guides) {
    ctx.strokeStyle = '#00a5c8';
    for (const axis of ['vertical', 'horizontal'])
      page.state.guides[axis].forEach((at, i) => { if (!moving || moving.axis !== axis || moving.index !== i) guideLine(ctx, axis, at, w, h); });
  }
  if (moving && moving.at !== null && !moving.off) {
    ctx.strokeStyle = '#00a5c8';
    ctx.setLineDash([5, 3]);
    guideLine(ctx, moving.axis, moving.at, w, h);
  }
  ctx.restore();
}
overlays.unshift(drawAids);

// ---- dragging guides ----

function inView(e) { const r = viewEl.getBoundingClientRect(); return [e.clientX - r.left, e.clientY - r.top]; }

// Where a guide being dragged is: its position, and whether it is back over its ruler.
function follow(e) {
  const g = placement.guide, [sx, sy] = inView(e), [x, y] = toDoc(sx, sy);
  g.at = round(g.axis === 'vertical' ? x : y);
  g.off = placement.rulers && (g.axis === 'vertical' ? sx < RULER : sy < RULER);
  drawOverlay();
}

function finish() {
  const g = placement.guide;
  placement.guide = null;
  if (!g || g.at === null) { drawOverlay(); return; }
  const guides = page.state.guides[g.axis];
  if (g.index === null) { if (!g.off) edit({ op: 'addGuide', axis: g.axis, at: g.at }); else drawOverlay(); }
  else if (g.off) edit({ op: 'deleteGuide', axis: g.axis, index: g.index });
  else if (guides[g.index] !== g.at) edit({ op: 'moveGuide', axis: g.axis, index: g.index, to: g.at });
  else drawOverlay();
}

for (const [ruler, axis] of [[top, 'horizontal'], [left, 'vertical']]) {
  ruler.addEventListener('pointerdown', (e) => {
    if (!page.scene || e.button !== 0 || !$('modal').hidden) return;
    ruler.setPointerCapture(e.pointerId);
    placement.guides = true;
    showViewMenu();
    placement.guide = { axis, index: null, at: null, off: true };
  });
  ruler.addEventListener('pointermove', (e) => { if (placement.guide) follow(e); });
  ruler.addEventListener('pointerup', finish);
  ruler.addEventListener('pointercancel', () => { placement.guide = null; drawOverlay(); });
}

// The guide under a point of the view, with the Selection tool: {axis, index}.
function guideAt(sx, sy) {
  if (!placement.guides || page.tool !== 'select' || !page.state || !page.state.guides) return null;
  for (const axis of ['vertical', 'horizontal']) {
    const list = page.state.guides[axis];
    for (let i = list.length - 1; i >= 0; i--) {
      const [gx, gy] = toScreen(list[i], list[i]);
      if (Math.abs(axis === 'vertical' ? sx - gx : sy - gy) <= GUIDE_GRAB) return { axis, index: i };
    }
  }
  return null;
}

// A guide is taken before the canvas sees the pointer (capture phase).
viewEl.addEventListener('pointerdown', (e) => {
  if (e.target !== canvas || e.button !== 0 || !page.scene || !$('modal').hidden) return;
  const g = guideAt(...inView(e));
  if (!g) return;
  e.stopPropagation();
  viewEl.setPointerCapture(e.pointerId);
  placement.guide = { ...g, at: null, off: false };
}, true);
viewEl.addEventListener('pointermove', (e) => { if (placement.guide && placement.guide.index !== null) follow(e); });
viewEl.addEventListener('pointerup', () => { if (placement.guide && placement.guide.index !== null) finish(); });
viewEl.addEventListener('mousemove', (e) => {
  if (e.target === canvas && !placement.guide) {
    const g = guideAt(...inView(e));
    canvas.style.cursor = g ? (g.axis === 'vertical' ? 'ew-resize' : 'ns-resize') : '';
  }
});

// ---- the View menu and its keys ----

const SAVED = 'easel-studio-view';
try { const s = JSON.parse(localStorage.getItem(SAVED)); if (s) { Object.assign(placement.snap, s.snap); for (const k of ['rulers', 'grid', 'guides']) if (k in s) placement[k] = !!s[k]; } } catch { /* defaults */ }

const VIEW_ITEMS = [
  { label: 'Rulers', keys: 'Ctrl+R', on: () => placement.rulers, flip: () => { placement.rulers = !placement.rulers; } },
  { label: 'Grid', keys: "Ctrl+'", on: () => placement.grid, flip: () => { placement.grid = !placement.grid; } },
  { label: 'Guides', keys: 'Ctrl+;', on: () => placement.guides, flip: () => { placement.guides = !placement.guides; } },
  { label: 'Snap to Grid', keys: "Ctrl+Shift+'", on: () => placement.snap.grid, flip: () => { placement.snap.grid = !placement.snap.grid; } },
  { label: 'Snap to Point', keys: "Ctrl+Alt+'", on: () => placement.snap.points, flip: () => { placement.snap.points = !placement.snap.points; } },
  { label: 'Snap to Objects', keys: 'Ctrl+U', on: () => placement.snap.objects, flip: () => { placement.snap.objects = !placement.snap.objects; } },
  { label: 'Snap to Guides', keys: 'Ctrl+Shift+;', on: () => placement.snap.guides, flip: () => { placement.snap.guides = !placement.snap.guides; } },
];

function toggle(item) {
  item.flip();
  localStorage.setItem(SAVED, JSON.stringify({ rulers: placement.rulers, grid: placement.grid, guides: placement.guides, snap: placement.snap }));
  showViewMenu();
  note(`${item.label}: ${item.on() ? 'on' : 'off'}`);
  drawOverlay();
}

function showViewMenu() {
  for (const b of document.querySelectorAll('#view-menu button[data-view]')) {
    const item = VIEW_ITEMS.find((i) => i.label === b.dataset.view);
    b.setAttribute('aria-checked', String(item.on()));
  }
}

const viewMenu = el('details', { id: 'view-menu', className: 'menu' });
viewMenu.append(el('summary', { textContent: 'View' }), el('div', {}));
for (const item of VIEW_ITEMS) {
  const b = el('button', { textContent: item.label });
  b.setAttribute('role', 'menuitemcheckbox');
  b.dataset.view = item.label;
  b.append(el('kbd', { textContent: item.keys }));
  b.addEventListener('click', () => { viewMenu.open = false; toggle(item); });
  viewMenu.lastChild.append(b);
}
const spacing = el('button', { textContent: 'Grid Spacing…' });
spacing.addEventListener('click', () => {
  viewMenu.open = false;
  const answer = prompt('Grid spacing in points (1 to 10000)', page.state.guides.gridSpacing);
  if (answer === null) return;
  const v = Number(answer);
  if (answer.trim() === '' || !Number.isFinite(v)) note(`Grid spacing must be a number of points, found "${answer}"`);
  else edit({ op: 'grid', spacing: v });
});
viewMenu.lastChild.append(spacing);
$('bar').insertBefore(viewMenu, $('undo'));
showViewMenu();

// The View menu's keys (keys.js hands them over on the canvas): by the key's
// place (code), so they work on any keyboard layout.
const KEY_ITEMS = { Quote: { '': 'Grid', s: 'Snap to Grid', a: 'Snap to Point' }, Semicolon: { '': 'Guides', s: 'Snap to Guides' },
                    KeyR: { '': 'Rulers' }, KeyU: { '': 'Snap to Objects' } };
function itemOf(e) {
  const map = KEY_ITEMS[e.code];
  if (!map || !(e.ctrlKey || e.metaKey)) return null;
  const label = map[(e.shiftKey ? 's' : '') + (e.altKey ? 'a' : '')];
  return label ? VIEW_ITEMS.find((i) => i.label === label) : null;
}
export const isViewKey = (e) => !!itemOf(e);
export function viewMenuKey(e) { e.preventDefault(); toggle(itemOf(e)); }
