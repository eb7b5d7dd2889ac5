// The gradient editor: makes a linear or radial gradient of the active box
// (fill or stroke, colorpicker.js) from its colour, edits the stops on a bar
// (click the bar to add one, drag a stop along it to move it or off it to
// remove it; the chosen stop's colour, opacity and place in fields), and on
// the canvas the ends of a linear gradient or the centre and radius of a
// radial one (drag their handles with the Selection tool). Every change is
// one `gradient` edit carrying the whole gradient.
import { $, note } from './common.js';
import { page, view } from './store.js';
import { edit } from './drawing.js';
import { drawOverlay, overlays, toScreen } from './canvas.js';
import { currentColor, hexOf, picker } from './colorpicker.js';

const el = (tag, props = {}, ...children) => {
  const e = Object.assign(document.createElement(tag), props);
  e.append(...children);
  return e;
};
const round = (v) => Math.round(v * 1000) / 1000;
const HANDLE = 6;   // handle radius, screen pixels
const OFF_BAR = 30; // pixels below or above the bar that remove a stop

const editor = { chosen: 0 };
let bar, hexField, opacityField, offsetField;

// The selection's gradient in the active box, or null.
export function activeGradient() {
  const s = page.state && page.state.selection.length ? page.state.selectionStyle : null;
  const p = s && s[picker.active + 'Paint'];
  return p && p.gradient ? p.gradient : null;
}

function send(g) {
  const e = { op: 'gradient', target: picker.active, type: g.type,
              stops: g.stops.map((s) => ({ offset: round(s.offset), color: s.color, opacity: round(s.opacity) })) };
  if (g.type === 'radial') { e.center = g.center.map(round); e.radius = round(g.radius); } else { e.from = g.from.map(round); e.to = g.to.map(round); }
  return edit(e);
}
const copy = (g) => JSON.parse(JSON.stringify(g));

function make(type) {
  if (!page.state || !page.state.selection.length) { note('Select art to give a gradient'); return; }
  const g = activeGradient();
  const e = { op: 'gradient', target: picker.active, type };
  // Changing the kind keeps the stops.
  if (g) e.stops = g.stops.map((s) => ({ offset: s.offset, color: s.color, opacity: s.opacity }));
  else e.stops = [{ offset: 0, color: currentColor(), opacity: 1 }, { offset: 1, color: { kind: 'rgb', values: [1, 1, 1] }, opacity: 1 }];
  edit(e);
}

// The colour between the stops at `t`, for a stop added there.
function colourAt(g, t) {
  const s = g.stops;
  let i = 1;
  while (i < s.length - 1 && s[i].offset < t) i++;
  const a = s[i - 1], b = s[i], k = b.offset > a.offset ? Math.min(1, Math.max(0, (t - a.offset) / (b.offset - a.offset))) : 0;
  const rgb = (c) => { const h = hexOf(c); return [1, 3, 5].map((j) => parseInt(h.slice(j, j + 2), 16) / 255); };
  const ca = rgb(a.color), cb = rgb(b.color);
  return { color: { kind: 'rgb', values: ca.map((x, j) => round(x + (cb[j] - x) * k)) }, opacity: round(a.opacity + (b.opacity - a.opacity) * k) };
}

export function installGradient(panel) {
  bar = el('div', { id: 'gradient-bar', title: 'Click to add a stop; drag a stop to move it, off the bar to remove it' });
  hexField = el('input', { id: 'stop-hex', type: 'text', size: 7, title: 'The stop\'s colour (#rrggbb)' });
  opacityField = el('input', { id: 'stop-opacity', type: 'number', min: 0, max: 100, step: 1, title: 'The stop\'s opacity %' });
  offsetField = el('input', { id: 'stop-offset', type: 'number', min: 0, max: 100, step: 1, title: 'The stop\'s place %' });
  const setStop = (f) => {
    const g = activeGradient();
    if (!g) return;
    const n = copy(g), s = n.stops[editor.chosen];
    if (!s) return;
    f(s);
    n.stops.sort((a, b) => a.offset - b.offset);
    editor.chosen = n.stops.indexOf(s);
    send(n);
  };
  hexField.addEventListener('change', () => {
    const m = /^#?([0-9a-f]{6})$/i.exec(hexField.value.trim());
    if (!m) { note(`"${hexField.value}" is no hex colour: give #rrggbb`); return; }
    setStop((s) => { s.color = { kind: 'rgb', values: [0, 2, 4].map((i) => round(parseInt(m[1].slice(i, i + 2), 16) / 255)) }; });
  });
  opacityField.addEventListener('change', () => setStop((s) => { s.opacity = Math.min(100, Math.max(0, Number(opacityField.value) || 0)) / 100; }));
  offsetField.addEventListener('change', () => setStop((s) => { s.offset = Math.min(100, Math.max(0, Number(offsetField.value) || 0)) / 100; }));
  bar.addEventListener('pointerdown', barDown);
  const linear = el('button', { id: 'gradient-linear', textContent: 'Linear', title: 'A linear gradient of the active box' });
  const radial = el('button', { id: 'gradient-radial', textContent: 'Radial', title: 'A radial gradient of the active box' });
  linear.addEventListener('click', () => make('linear'));
  radial.addEventListener('click', () => make('radial'));
  panel.append(el('section', { id: 'gradient-panel' }, el('h2', { textContent: 'Gradient' }), el('div', {}, linear, radial), bar,
    el('div', { id: 'stop-fields' }, 'Stop # ', hexField, el('label', {}, ' Opacity % ', opacityField), el('label', {}, ' At % ', offsetField))));
  overlays.push(drawHandles);
  showGradient();
}

// A press on the bar: on a stop, chooses it and drags it; elsewhere adds one.
function barDown(e) {
  const g = activeGradient();
  if (!g) return;
  const r = bar.getBoundingClientRect();
  const at = (x) => Math.min(1, Math.max(0, (x - r.left) / r.width));
  const i = e.target.dataset.stop === undefined ? -1 : Number(e.target.dataset.stop);
  if (i < 0) {
    const t = at(e.clientX), n = copy(g);
    n.stops.push({ offset: t, ...colourAt(g, t) });
    n.stops.sort((a, b) => a.offset - b.offset);
    editor.chosen = n.stops.findIndex((s) => s.offset === t);
    send(n);
    return;
  }
  editor.chosen = i;
  showGradient();
  const marker = e.target;
  marker.setPointerCapture(e.pointerId);
  const move = (m) => { marker.style.left = `${at(m.clientX) * 100}%`; marker.classList.toggle('leaving', Math.abs(m.clientY - (r.top + r.height / 2)) > OFF_BAR); };
  const up = (u) => {
    marker.removeEventListener('pointermove', move);
    marker.removeEventListener('pointerup', up);
    const n = copy(g);
    if (Math.abs(u.clientY - (r.top + r.height / 2)) > OFF_BAR) {
      if (n.stops.length <= 2) { note('A gradient keeps at least two stops'); shown = null; showGradient(); return; }
      n.stops.splice(i, 1);
      editor.chosen = 0;
    } else {
      const t = at(u.clientX);
      if (Math.abs(t - g.stops[i].offset) < 1e-3) return;
      const s = n.stops[i];
      s.offset = t;
      n.stops.sort((a, b) => a.offset - b.offset);
      editor.chosen = n.stops.indexOf(s);
    }
    send(n);
  };
  marker.addEventListener('pointermove', move);
  marker.addEventListener('pointerup', up);
}

// ---- the handles on the canvas ----

function handles(g) {
  if (g.type === 'radial') return [['center', g.center], ['radius', [g.center[0] + g.radius, g.center[1]]]];
  return [['from', g.from], ['to', g.to]];
}

function drawHandles(ctx) {
  const g = activeGradient();
  if (!g || !page.scene) return;
  const dpr = window.devicePixelRatio || 1;
  const shown = editor.dragging ? editor.dragging.g : g;
  const pts = handles(shown).map(([, p]) => toScreen(...p).map((v) => v * dpr));
  ctx.setTransform(1, 0, 0, 1, 0, 0);
  ctx.lineWidth = 1.5 * dpr;
  ctx.strokeStyle = '#3a6fd8';
  ctx.beginPath();
  if (shown.type === 'radial') ctx.arc(pts[0][0], pts[0][1], Math.hypot(pts[1][0] - pts[0][0], pts[1][1] - pts[0][1]), 0, 2 * Math.PI);
  ctx.moveTo(...pts[0]);
  ctx.lineTo(...pts[1]);
  ctx.stroke();
  for (const [i, [x, y]] of pts.entries()) {
    ctx.beginPath();
    ctx.arc(x, y, HANDLE * dpr, 0, 2 * Math.PI);
    ctx.fillStyle = i === 0 ? '#fff' : '#3a6fd8';
    ctx.fill();
    ctx.stroke();
  }
}

// A press on a gradient handle with the Selection tool drags it (tools.js).
export function gradientDown(e, x, y) {
  const g = activeGradient();
  if (!g || page.tool !== 'select') return null;
  const near = handles(g).find(([, p]) => Math.hypot(p[0] - x, p[1] - y) * view.zoom <= HANDLE + 2);
  if (!near) return null;
  const which = near[0];
  const moved = (mx, my) => {
    const n = copy(g);
    if (which === 'radius') n.radius = Math.max(0.01, Math.hypot(mx - g.center[0], my - g.center[1]));
    else n[which] = [mx, my];
    return n;
  };
  return {
    move(_e, mx, my) { editor.dragging = { g: moved(mx, my) }; drawOverlay(); },
    up(_e, mx, my) {
      editor.dragging = null;
      const n = moved(mx, my);
      if (n.type === 'linear' && Math.hypot(n.to[0] - n.from[0], n.to[1] - n.from[1]) < 1e-3) { drawOverlay(); return; }
      send(n);
    },
  };
}

// Called with every answer of the host.
let shown = null;  // what the bar shows, as JSON: answers during a drag leave it alone
export function showGradient() {
  if (!bar) return;
  const g = activeGradient();
  const key = JSON.stringify([g, editor.chosen]);
  if (key === shown) return;
  shown = key;
  $('gradient-panel').classList.toggle('off', !g);
  if (!g) { bar.replaceChildren(); bar.style.background = ''; return; }
  editor.chosen = Math.min(editor.chosen, g.stops.length - 1);
  bar.style.background = `linear-gradient(to right, ${g.stops.map((s) => `${s.hex} ${Math.round(s.offset * 1000) / 10}%`).join(', ')})`;
  bar.replaceChildren(...g.stops.map((s, i) => {
    const m = el('span', { className: i === editor.chosen ? 'stop chosen' : 'stop', title: `${s.hex}, ${Math.round(s.opacity * 100)} % opaque` });
    m.style.left = `${s.offset * 100}%`;
    m.style.background = s.hex;
    m.dataset.stop = i;
    return m;
  }));
  const s = g.stops[editor.chosen];
  const set = (f, v) => { if (document.activeElement !== f) f.value = v; };
  set(hexField, s.hex);
  set(opacityField, Math.round(s.opacity * 100));
  set(offsetField, Math.round(s.offset * 100));
}
