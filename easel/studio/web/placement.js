// The transform panel: X, Y, W, H and angle of the selection (its bounds as
// the selection box shows them, in page points, vertical axis up as the
// rulers show it) about a reference point chosen on a 3 x 3 grid, with W and
// H locked to their ratio on request; align and distribute to the selection
// or the page. Typed values go to the host as one edit each ("transform",
// "align", "distribute"); text that is not a number is refused here, values
// the host refuses (a zero width, a place off the drawing area) are refused
// there, and nothing changes.
import { $, note } from './common.js';
import { page, placement } from './store.js';
import { overlays } from './canvas.js';
import { edit, selectionBox } from './drawing.js';

const el = (tag, props = {}, ...children) => {
  const e = Object.assign(document.createElement(tag), props);
  e.append(...children);
  return e;
};
const shown = (v) => String(Math.round(v * 100) / 100);

// The reference points: name, place in the bounds (0 left / bottom, 1 right / top).
const REFERENCES = [['topLeft', 0, 1], ['top', 0.5, 1], ['topRight', 1, 1], ['left', 0, 0.5], ['center', 0.5, 0.5],
                    ['right', 1, 0.5], ['bottomLeft', 0, 0], ['bottom', 0.5, 0], ['bottomRight', 1, 0]];

// Glyphs for the align buttons, drawn as lines: a line where they align and two bars.
const glyph = (body) => `<svg width="16" height="16" viewBox="0 0 16 16" fill="currentColor" stroke="currentColor" aria-hidden="true">${body}</svg>`;
const ALIGN = {
  left: glyph('<path d="M1.5 1v14" fill="none"/><rect x="3" y="3" width="10" height="3"/><rect x="3" y="10" width="6" height="3"/>'),
  center: glyph('<path d="M8 1v14" fill="none"/><rect x="2" y="3" width="12" height="3"/><rect x="5" y="10" width="6" height="3"/>'),
  right: glyph('<path d="M14.5 1v14" fill="none"/><rect x="3" y="3" width="10" height="3"/><rect x="7" y="10" width="6" height="3"/>'),
  top: glyph('<path d="M1 1.5h14" fill="none"/><rect x="3" y="3" width="3" height="10"/><rect x="10" y="3" width="3" height="6"/>'),
  middle: glyph('<path d="M1 8h14" fill="none"/><rect x="3" y="2" width="3" height="12"/><rect x="10" y="5" width="3" height="6"/>'),
  bottom: glyph('<path d="M1 14.5h14" fill="none"/><rect x="3" y="3" width="3" height="10"/><rect x="10" y="7" width="3" height="6"/>'),
};
const DISTRIBUTE = [['horizontal', 'centers', '⇹ centres', 'Distribute horizontal centres'],
                    ['vertical', 'centers', '⇳ centres', 'Distribute vertical centres'],
                    ['horizontal', 'spacing', '⇹ spacing', 'Distribute horizontal spacing (equal gaps)'],
                    ['vertical', 'spacing', '⇳ spacing', 'Distribute vertical spacing (equal gaps)']];

const field = (id, label, title) => {
  const input = el('input', { id, type: 'text', inputMode: 'decimal', title, autocomplete: 'off' });
  return [input, el('label', {}, label + ' ', input)];
};
const [fx, lx] = field('tf-x', 'X', 'The reference point\'s horizontal place (points)');
const [fy, ly] = field('tf-y', 'Y', 'The reference point\'s vertical place (points, upward)');
const [fw, lw] = field('tf-w', 'W', 'Width of the selection\'s bounds (points)');
const [fh, lh] = field('tf-h', 'H', 'Height of the selection\'s bounds (points)');
const [fa, la] = field('tf-angle', '∠', 'Angle (degrees, counter-clockwise), turned since the selection was made');
const lock = el('button', { id: 'tf-lock', title: 'Keep the ratio of W to H' });
lock.innerHTML = glyph('<path d="M6.5 9.5l3-3" fill="none" stroke-width="1.5"/><rect x="1.5" y="8" width="6" height="4" rx="2" transform="rotate(-45 4.5 10)" fill="none" stroke-width="1.3"/>' +
                       '<rect x="8.5" y="4" width="6" height="4" rx="2" transform="rotate(-45 11.5 6)" fill="none" stroke-width="1.3"/>');
lock.setAttribute('aria-label', 'Keep the ratio of W to H');
const relative = el('select', { id: 'align-to', title: 'Align and distribute to' },
  el('option', { value: 'selection', textContent: 'to the selection' }), el('option', { value: 'page', textContent: 'to the page' }));
const refGrid = el('div', { id: 'tf-reference', role: 'radiogroup', title: 'Reference point' },
  ...REFERENCES.map(([name]) => { const b = el('button', { title: name }); b.dataset.ref = name; b.setAttribute('role', 'radio'); return b; }));
const buttons = [];
const panel = el('section', { id: 'transform-panel' },
  el('h2', { textContent: 'Transform' }),
  el('div', { className: 'tf-row' }, refGrid, el('div', { className: 'tf-fields' }, lx, ly, lw, lh, lock, la)),
  el('div', { className: 'tf-row' }, ...Object.entries(ALIGN).map(([to, svg]) => {
    const name = 'Align ' + to[0].toUpperCase() + to.slice(1);
    const b = el('button', { title: name });
    b.innerHTML = svg;
    b.dataset.align = to;
    b.setAttribute('aria-label', name);
    b.addEventListener('click', () => edit({ op: 'align', to, relative: relative.value }));
    buttons.push(b);
    return b;
  }), relative),
  el('div', { className: 'tf-row' }, ...DISTRIBUTE.map(([axis, by, text, title]) => {
    const b = el('button', { textContent: text, title });
    b.dataset.distribute = `${axis} ${by}`;
    b.addEventListener('click', () => edit({ op: 'distribute', axis, by, relative: relative.value }));
    buttons.push(b);
    return b;
  })));
$('selection').after(panel);

// ---- the fields show the selection ----

function showReference() {
  for (const b of refGrid.children) b.setAttribute('aria-checked', String(b.dataset.ref === placement.reference));
  lock.setAttribute('aria-pressed', String(placement.lock));
}

// The selection's bounds [left, bottom, right, top] and its reference point.
function current() {
  const box = page.scene && page.state && page.state.selection.length ? selectionBox() : null;
  if (!box) return null;
  const [, rh, rv] = REFERENCES.find((r) => r[0] === placement.reference);
  return { box, x: box[0] + rh * (box[2] - box[0]), y: box[1] + rv * (box[3] - box[1]), w: box[2] - box[0], h: box[3] - box[1] };
}

function showTransform() {
  const key = page.state ? page.state.selection.join() : '';
  if (key !== placement.selectionKey) { placement.selectionKey = key; placement.angle = 0; }
  const c = current();
  for (const [input, value] of [[fx, c && c.x], [fy, c && c.y], [fw, c && c.w], [fh, c && c.h], [fa, c && placement.angle]]) {
    input.disabled = !c;
    const text = c ? shown(value) : '';
    if (document.activeElement !== input && input.value !== text) input.value = text;
  }
  const many = page.state ? page.state.selection.length : 0;
  for (const b of buttons) b.disabled = many === 0;
}
overlays.push(showTransform);

// ---- typed values ----

function number(input, name) {
  const text = input.value.trim(), v = Number(text);
  if (text === '' || !Number.isFinite(v)) {
    note(`${name} must be a number, found "${input.value}": nothing was changed`);
    return null;
  }
  return v;
}

async function apply(input, name, args) {
  const c = current();
  const v = number(input, name);
  if (!c || v === null) { showTransform(); return; }
  const r = await edit({ op: 'transform', reference: placement.reference, ...args(v, c) });
  if (!r.ok) showTransform();
}

fx.addEventListener('change', () => apply(fx, 'X', (v) => ({ x: v })));
fy.addEventListener('change', () => apply(fy, 'Y', (v) => ({ y: v })));
// With the lock, the other side follows in proportion (a side of 0 stays 0).
fw.addEventListener('change', () => apply(fw, 'W', (v, c) => (placement.lock && c.w > 0 ? { width: v, height: c.h * v / c.w } : { width: v })));
fh.addEventListener('change', () => apply(fh, 'H', (v, c) => (placement.lock && c.h > 0 ? { width: c.w * v / c.h, height: v } : { height: v })));
fa.addEventListener('change', async () => {
  const c = current(), v = number(fa, 'The angle');
  if (!c || v === null) { showTransform(); return; }
  const turn = v - placement.angle;
  if (!turn) return;
  const r = await edit({ op: 'transform', reference: placement.reference, angle: turn });
  if (r.ok) { placement.angle = v; placement.selectionKey = page.state.selection.join(); }
  showTransform();
});
refGrid.addEventListener('click', (e) => {
  const b = e.target.closest('button');
  if (!b) return;
  placement.reference = b.dataset.ref;
  showReference();
  showTransform();
});
lock.addEventListener('click', () => { placement.lock = !placement.lock; showReference(); });
showReference();
showTransform();
