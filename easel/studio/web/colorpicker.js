// The colour picker: a saturation/value square and a hue strip, a hex field,
// RGB 0-255, CMYK and grey in per cent, for the active one of the Fill and
// Stroke boxes (click a box to make it active). A colour keeps its kind when
// it is edited in its own fields; the square, strip and hex give RGB. Swap
// (Shift+X), default (D), none (/), the last colours used (the page's own),
// the eyedropper (I: click art to give the selection its fill and stroke)
// and adding, renaming and removing the document's swatches. Each change is
// one of the host's edits.
import { $, note } from './common.js';
import { drawing, page } from './store.js';
import { edit } from './drawing.js';
import { hit } from './canvas.js';

const el = (tag, props = {}, ...children) => {
  const e = Object.assign(document.createElement(tag), props);
  e.append(...children);
  return e;
};

export const picker = { active: 'fill', hue: 0, recent: [] };
const RECENT = 8;

// ---- colours: {kind, values 0..1} to RGB and back ----

export function toRgb(c) {
  const v = c.values;
  if (c.kind === 'gray') return [1 - v[0], 1 - v[0], 1 - v[0]];
  if (c.kind === 'cmyk') return [0, 1, 2].map((i) => (1 - v[i]) * (1 - v[3]));
  return v.slice(0, 3);
}
const to8 = (x) => Math.round(Math.min(1, Math.max(0, x)) * 255);
export const hexOf = (c) => '#' + toRgb(c).map((x) => to8(x).toString(16).padStart(2, '0')).join('');
function cmykOf(rgb) {
  const k = 1 - Math.max(...rgb);
  return k >= 1 ? [0, 0, 0, 1] : [...rgb.map((x) => (1 - x - k) / (1 - k)), k];
}
const grayOf = (rgb) => 1 - (0.299 * rgb[0] + 0.587 * rgb[1] + 0.114 * rgb[2]);
function hsv(rgb) {
  const max = Math.max(...rgb), min = Math.min(...rgb), d = max - min;
  let h = 0;
  if (d) h = max === rgb[0] ? ((rgb[1] - rgb[2]) / d + 6) % 6 : max === rgb[1] ? (rgb[2] - rgb[0]) / d + 2 : (rgb[0] - rgb[1]) / d + 4;
  return [h * 60, max ? d / max : 0, max];
}
function fromHsv(h, s, v) {
  const f = (n) => { const k = (n + h / 60) % 6; return v - v * s * Math.max(0, Math.min(k, 4 - k, 1)); };
  return [f(5), f(3), f(1)];
}
const round4 = (x) => Math.round(x * 10000) / 10000;
const rgbColor = (rgb) => ({ kind: 'rgb', values: rgb.map(round4) });

// The paint of the active box: the selection's, else what new art gets.
function paintOf(which) {
  const s = page.state && page.state.selection.length ? page.state.selectionStyle : null;
  if (s && s[which + 'Paint'] !== undefined) return s[which + 'Paint'];
  const p = drawing.style[which];
  if (p && p.swatch) {
    const sw = page.state && page.state.swatches.find((x) => x.name === p.swatch);
    return sw && sw.color !== 'none' ? { kind: 'rgb', values: hexRgb(sw.color) } : 'none';
  }
  return p;
}
export const plain = (p) => p && typeof p === 'object' && Array.isArray(p.values);
function hexRgb(hex) {
  const m = /^#?([0-9a-f]{6}|[0-9a-f]{3})$/i.exec(hex.trim());
  if (!m) return null;
  const h = m[1].length === 3 ? [...m[1]].map((x) => x + x).join('') : m[1];
  return [0, 2, 4].map((i) => parseInt(h.slice(i, i + 2), 16) / 255);
}
// The colour the fields show: the active paint when it is a plain colour.
export function currentColor() {
  const p = paintOf(picker.active);
  if (plain(p)) return p;
  if (p && p.gradient) return p.gradient.stops[0].color;
  return { kind: 'rgb', values: [0, 0, 0] };
}

// ---- applying ----

function remember(color) {
  const hex = hexOf(color);
  picker.recent = [color, ...picker.recent.filter((c) => hexOf(c) !== hex)].slice(0, RECENT);
  showRecent();
}

// Paints the active box (new art and the selection) with `color` or 'none'.
export function applyColor(color, which = picker.active) {
  drawing.style[which] = color;
  if (color !== 'none') remember(color);
  if (page.state && page.state.selection.length) return edit({ op: 'style', [which]: color });
  showPicker();
  return Promise.resolve({ ok: true });
}

export function swapPaint() {
  [drawing.style.fill, drawing.style.stroke] = [drawing.style.stroke, drawing.style.fill];
  if (page.state && page.state.selection.length) edit({ op: 'swapPaint' }); else showPicker();
}
export function defaultPaint() {
  drawing.style.fill = { kind: 'rgb', values: [1, 1, 1] };
  drawing.style.stroke = { kind: 'rgb', values: [0, 0, 0] };
  drawing.style.strokeWidth = 1;
  if (page.state && page.state.selection.length) edit({ op: 'style', fill: drawing.style.fill, stroke: drawing.style.stroke, strokeWidth: 1 });
  else showPicker();
}
export function setActive(which) { picker.active = which; showPicker(); }

// ---- the eyedropper: a page tool (I) ----

export function eyedropperDown(e, x, y) {
  if (page.tool !== 'eyedropper') return null;
  return {
    move() {},
    up() {
      const o = hit(x, y);
      if (!o) { note('Eyedropper: click art to take its fill and stroke'); return; }
      if (!page.state.selection.length) { note('Eyedropper: select the art to paint first'); return; }
      edit({ op: 'eyedropper', from: o.id });
    },
  };
}

// The keys of paint on the canvas (keys.js): Shift+X swaps, X makes the
// other box active, D sets the default, / none, I takes the eyedropper.
export function isPaintKey(e) {
  return !e.ctrlKey && !e.metaKey && !e.altKey && ['x', 'd', '/', 'i'].includes(e.key.toLowerCase());
}
export function paintKey(e) {
  e.preventDefault();
  const key = e.key.toLowerCase();
  if (key === 'x') { if (e.shiftKey) swapPaint(); else setActive(picker.active === 'fill' ? 'stroke' : 'fill'); }
  else if (key === 'd') defaultPaint();
  else if (key === '/') applyColor('none');
  else window.studio.chooseTool('eyedropper');
}

// ---- the panel ----

const SQUARE = [150, 90], STRIP = 12;
let square, strip, hexField, rgbFields, cmykFields, grayField, recentRow;

function numberField(title, max, onChange) {
  const i = el('input', { type: 'number', min: 0, max, step: 1, title });
  i.addEventListener('change', onChange);
  return i;
}
const fieldValue = (i, max) => Math.min(max, Math.max(0, Number(i.value) || 0));

export function installPicker(panel) {
  square = el('canvas', { id: 'picker-square', width: SQUARE[0], height: SQUARE[1], title: 'Saturation (across) and value (up)' });
  strip = el('canvas', { id: 'picker-hue', width: SQUARE[0], height: STRIP, title: 'Hue' });
  hexField = el('input', { id: 'picker-hex', type: 'text', size: 7, title: 'Hex colour (#rrggbb)' });
  rgbFields = ['R', 'G', 'B'].map((n) => numberField(`${n} 0-255`, 255, () =>
    applyColor({ kind: 'rgb', values: rgbFields.map((f) => round4(fieldValue(f, 255) / 255)) })));
  cmykFields = ['C', 'M', 'Y', 'K'].map((n) => numberField(`${n} %`, 100, () =>
    applyColor({ kind: 'cmyk', values: cmykFields.map((f) => round4(fieldValue(f, 100) / 100)) })));
  grayField = numberField('Grey %', 100, () => applyColor({ kind: 'gray', values: [round4(fieldValue(grayField, 100) / 100)] }));
  rgbFields.forEach((f, i) => { f.id = 'picker-rgb-' + i; });
  cmykFields.forEach((f, i) => { f.id = 'picker-cmyk-' + i; });
  grayField.id = 'picker-gray';
  hexField.addEventListener('change', () => {
    const rgb = hexRgb(hexField.value);
    if (!rgb) { note(`"${hexField.value}" is no hex colour: give #rrggbb`); shown = null; showPicker(); return; }
    applyColor(rgbColor(rgb));
  });
  recentRow = el('div', { id: 'recent', title: 'Recent colours' });
  recentRow.addEventListener('click', (e) => { const i = [...recentRow.children].indexOf(e.target); if (i >= 0) applyColor(picker.recent[i]); });
  const pick = (canvas, f) => {
    let down = false;
    const at = (e) => { const r = canvas.getBoundingClientRect(); return [Math.min(1, Math.max(0, (e.clientX - r.left) / r.width)), Math.min(1, Math.max(0, (e.clientY - r.top) / r.height))]; };
    canvas.addEventListener('pointerdown', (e) => { down = true; canvas.setPointerCapture(e.pointerId); f(...at(e), false); });
    canvas.addEventListener('pointermove', (e) => { if (down) f(...at(e), false); });
    canvas.addEventListener('pointerup', (e) => { if (down) { down = false; f(...at(e), true); } });
  };
  // Dragging previews in the fields; letting go applies the colour.
  picker.sv = [1, 1];
  pick(square, (sx, sy, done) => { picker.sv = [sx, 1 - sy]; preview(done); });
  pick(strip, (hx, _y, done) => { picker.hue = hx * 360; preview(done); });
  const tools = el('div', { className: 'picker-tools' },
    button('⇄', 'Swap fill and stroke (Shift+X)', swapPaint, 'picker-swap'),
    button('◩', 'Default: white fill, black stroke (D)', defaultPaint, 'picker-default'),
    button('∅', 'None for the active box (/)', () => applyColor('none'), 'picker-none'),
    button('✚', 'Add the colour to the swatches', addSwatch, 'swatch-add'),
    button('⊙', 'Eyedropper (I): click art to give the selection its fill and stroke', () => window.studio.chooseTool('eyedropper'), 'picker-eyedropper'));
  panel.append(el('div', { id: 'picker' }, square, strip,
    el('div', {}, '# ', hexField, ' Grey ', grayField),
    el('div', {}, 'RGB ', ...rgbFields), el('div', {}, 'CMYK ', ...cmykFields), tools, recentRow));
  for (const which of ['fill', 'stroke']) $(which + '-box').addEventListener('click', () => setActive(which));
  installSwatchEdits();
  showPicker();
}

function button(text, title, fn, id) {
  const b = el('button', { textContent: text, title, id });
  b.addEventListener('click', fn);
  return b;
}

function preview(done) {
  const rgb = fromHsv(picker.hue, ...picker.sv);
  if (done) { applyColor(rgbColor(rgb)); return; }
  showFields({ kind: 'rgb', values: rgb });
  drawSquare();
}

function addSwatch() {
  const color = currentColor();
  edit({ op: 'swatch', action: 'add', name: hexOf(color), color });
}

// Swatches: Alt-click removes one, double-click renames it (click and
// Shift-click paint, editing.js).
function installSwatchEdits() {
  const list = $('swatches');
  list.addEventListener('click', (e) => {
    const sw = e.target.closest('span');
    if (!sw || !sw.title || !e.altKey) return;
    e.stopImmediatePropagation();
    edit({ op: 'swatch', action: 'remove', name: sw.title });
  }, true);
  list.addEventListener('dblclick', (e) => {
    const sw = e.target.closest('span');
    if (!sw || !sw.title || sw.title.startsWith('[')) return;
    const to = prompt('Swatch name', sw.title);
    if (to && to !== sw.title) edit({ op: 'swatch', action: 'rename', name: sw.title, to });
  });
}

// ---- showing ----

function drawSquare() {
  const ctx = square.getContext('2d');
  const [r, g, b] = fromHsv(picker.hue, 1, 1).map(to8);
  const across = ctx.createLinearGradient(0, 0, SQUARE[0], 0);
  across.addColorStop(0, '#fff');
  across.addColorStop(1, `rgb(${r},${g},${b})`);
  ctx.fillStyle = across;
  ctx.fillRect(0, 0, ...SQUARE);
  const down = ctx.createLinearGradient(0, 0, 0, SQUARE[1]);
  down.addColorStop(0, 'rgba(0,0,0,0)');
  down.addColorStop(1, '#000');
  ctx.fillStyle = down;
  ctx.fillRect(0, 0, ...SQUARE);
  const [s, v] = picker.sv;
  ctx.strokeStyle = v > 0.5 ? '#000' : '#fff';
  ctx.beginPath();
  ctx.arc(s * SQUARE[0], (1 - v) * SQUARE[1], 4, 0, 2 * Math.PI);
  ctx.stroke();
  const hctx = strip.getContext('2d');
  const hues = hctx.createLinearGradient(0, 0, SQUARE[0], 0);
  for (let i = 0; i <= 6; i++) hues.addColorStop(i / 6, `hsl(${i * 60},100%,50%)`);
  hctx.fillStyle = hues;
  hctx.fillRect(0, 0, SQUARE[0], STRIP);
  hctx.fillStyle = '#000';
  hctx.fillRect(picker.hue / 360 * SQUARE[0] - 1, 0, 2, STRIP);
}

function showFields(c) {
  const rgb = toRgb(c);
  const set = (f, v) => { if (document.activeElement !== f) f.value = v; };
  set(hexField, hexOf(c));
  rgbFields.forEach((f, i) => set(f, to8(rgb[i])));
  const cmyk = c.kind === 'cmyk' ? c.values : cmykOf(rgb);
  cmykFields.forEach((f, i) => set(f, Math.round(cmyk[i] * 100)));
  set(grayField, Math.round((c.kind === 'gray' ? c.values[0] : grayOf(rgb)) * 100));
  for (const [fields, kind] of [[rgbFields, 'rgb'], [cmykFields, 'cmyk'], [[grayField], 'gray']])
    for (const f of fields) f.classList.toggle('own-kind', c.kind === kind);
}

function showRecent() {
  recentRow.replaceChildren(...picker.recent.map((c) => el('span', { title: hexOf(c), style: `background:${hexOf(c)}` })));
}

// The boxes: the selection's paint (mixed, none, gradient) or new art's.
function showBoxes() {
  for (const which of ['fill', 'stroke']) {
    const box = $(which + '-box'), p = paintOf(which);
    box.classList.toggle('active', picker.active === which);
    box.classList.toggle('mixed', p === 'mixed');
    box.classList.toggle('none', p === 'none' || !p);
    if (p && p.gradient) {
      const g = p.gradient, stops = g.stops.map((s) => `${s.hex} ${Math.round(s.offset * 100)}%`).join(', ');
      box.style.background = g.type === 'radial' ? `radial-gradient(${stops})` : `linear-gradient(to right, ${stops})`;
    } else if (plain(p)) {
      box.style.background = hexOf(p);
    } else {
      box.style.background = '';
    }
    box.dataset.paint = p && p.gradient ? 'gradient' : plain(p) ? hexOf(p) : String(p);
  }
}

// Called with every answer of the host.
let shown = null;  // what the panel shows, as JSON: answers during a drag leave it alone
export function showPicker() {
  if (!square) return;
  const key = JSON.stringify([paintOf('fill'), paintOf('stroke'), picker.active]);
  if (key === shown) return;
  shown = key;
  showBoxes();
  const c = currentColor();
  const [h, s, v] = hsv(toRgb(c));
  if (s > 0 && v > 0) picker.hue = h;
  picker.sv = [s, v];
  showFields(c);
  drawSquare();
}
