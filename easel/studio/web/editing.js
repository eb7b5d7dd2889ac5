// The drawing program's panels: the Edit menu, the style panel (swatches,
// a colour picker, stroke width, opacity, blend mode), the layers panel, the
// New dialog and the help panel listing the shortcuts. Each change is one of
// the host's edits.
import { $, note } from './common.js';
import { drawing, page } from './store.js';
import { call } from './protocol.js';
import { edit } from './drawing.js';
import { fit } from './canvas.js';
import { installPathMenu } from './pathmenu.js';

const el = (tag, props = {}, ...children) => {
  const e = Object.assign(document.createElement(tag), props);
  e.append(...children);
  return e;
};
const clamp = (v, lo, hi, what) => {
  const c = Math.min(hi, Math.max(lo, v));
  if (c !== v) note(`${what} runs from ${lo} to ${hi}: ${v} was taken as ${c}`);
  return c;
};

const button = (text, title, fn) => { const b = el('button', { textContent: text, title }); b.addEventListener('click', fn); return b; };

// ---- the Edit menu ----

const menu = [
  ['New…', 'Ctrl+Alt+N', () => showNew()],
  ['Delete', 'Delete', { op: 'delete' }],
  ['Duplicate', 'Ctrl+D', { op: 'duplicate', by: [10, -10] }],
  ['Copy', 'Ctrl+C', { op: 'copy' }],
  ['Cut', 'Ctrl+X', { op: 'cut' }],
  ['Paste', 'Ctrl+V', { op: 'paste', by: [10, -10] }],
  ['Group', 'Ctrl+G', { op: 'group' }],
  ['Ungroup', 'Ctrl+Shift+G', { op: 'ungroup' }],
  ['Bring to Front', 'Ctrl+Shift+]', { op: 'arrange', to: 'front' }],
  ['Bring Forward', 'Ctrl+]', { op: 'arrange', to: 'forward' }],
  ['Send Backward', 'Ctrl+[', { op: 'arrange', to: 'backward' }],
  ['Send to Back', 'Ctrl+Shift+[', { op: 'arrange', to: 'back' }],
  ['Select All on Layer', 'Ctrl+A', { op: 'selectAll' }],
];

// ---- the New dialog ----

export async function showNew() {
  if (document.getElementById('new-dialog') || !(await window.studio.keepWork('making a new document'))) return;
  const sizes = { Letter: [612, 792], Legal: [612, 1008], Tabloid: [792, 1224], A3: [841.89, 1190.55], A4: [595.28, 841.89], A5: [419.53, 595.28] };
  const size = el('select', { id: 'new-size' }, ...Object.keys(sizes).map((s) => el('option', { value: s, textContent: s })),
    el('option', { value: 'custom', textContent: 'Custom' }));
  const w = el('input', { id: 'new-width', type: 'number', min: 1, max: 16384, value: 612 });
  const h = el('input', { id: 'new-height', type: 'number', min: 1, max: 16384, value: 792 });
  const landscape = el('input', { id: 'new-landscape', type: 'checkbox' });
  const sync = () => { if (size.value !== 'custom') { const [a, b] = sizes[size.value]; [w.value, h.value] = landscape.checked ? [b, a] : [a, b]; } };
  size.addEventListener('change', sync);
  landscape.addEventListener('change', sync);
  const box = el('div', { className: 'panel-dialog', id: 'new-dialog' },
    el('div', { className: 'caption', textContent: 'New document' }),
    el('label', {}, 'Size ', size), el('label', {}, ' Landscape ', landscape),
    el('div', {}, el('label', {}, 'Width ', w), el('label', {}, ' Height ', h), ' points'));
  const ok = el('button', { textContent: 'OK' }), cancel = el('button', { textContent: 'Cancel' });
  const close = () => box.remove();
  cancel.addEventListener('click', close);
  ok.addEventListener('click', async () => {
    const args = size.value === 'custom'
      ? { op: 'new', width: clamp(Number(w.value) || 1, 1, 16384, 'Width'), height: clamp(Number(h.value) || 1, 1, 16384, 'Height') }
      : { op: 'new', size: size.value, orientation: landscape.checked ? 'landscape' : 'portrait' };
    const r = await edit(args);
    if (r.ok) { close(); fit(); }
  });
  box.append(el('div', { className: 'buttons' }, ok, cancel));
  document.body.appendChild(box);
}

// The layer buttons' glyphs, drawn as lines so they show whatever fonts the
// machine has.
const glyph = (body) => `<svg width="14" height="14" viewBox="0 0 14 14" fill="none" stroke="currentColor" stroke-width="1.3" aria-hidden="true">${body}</svg>`;
const ICONS = {
  eye: glyph('<path d="M1 7c2-3.5 10-3.5 12 0c-2 3.5-10 3.5-12 0z"/><circle cx="7" cy="7" r="1.8" fill="currentColor"/>'),
  hidden: glyph('<path d="M1 7c2-3.5 10-3.5 12 0c-2 3.5-10 3.5-12 0z" opacity=".35"/><path d="M2 12L12 2"/>'),
  locked: glyph('<rect x="2.5" y="6.5" width="9" height="6" rx="1" fill="currentColor"/><path d="M4.5 6.5V4.5a2.5 2.5 0 0 1 5 0v2"/>'),
  unlocked: glyph('<rect x="2.5" y="6.5" width="9" height="6" rx="1"/><path d="M4.5 6.5V4.5a2.5 2.5 0 0 1 5 0"/>'),
};

export function showLayers() {
  const state = page.state;
  let dragged = null;
  $('layers').replaceChildren(...state.layers.map((l, i) => {
    const eye = button('', l.visible ? 'Hide' : 'Show', (e) => { e.stopPropagation(); edit({ op: 'layerVisible', layer: l.name, visible: !l.visible }); });
    const lock = button('', l.locked ? 'Unlock' : 'Lock', (e) => { e.stopPropagation(); edit({ op: 'layerLocked', layer: l.name, locked: !l.locked }); });
    eye.innerHTML = l.visible ? ICONS.eye : ICONS.hidden;
    lock.innerHTML = l.locked ? ICONS.locked : ICONS.unlocked;
    eye.className = 'eye';
    lock.className = 'lock';
    const name = el('span', { className: 'name', textContent: l.name, title: 'Double-click to rename; drag to reorder' });
    const li = el('li', { draggable: true, className: l.name === state.currentLayer ? 'current' : '' }, eye, lock, name);
    li.dataset.layer = l.name;
    li.addEventListener('click', () => call({ op: 'edit', edit: { op: 'currentLayer', layer: l.name } }));
    name.addEventListener('dblclick', () => {
      const n = prompt('Layer name', l.name);
      if (n !== null && n !== l.name) edit({ op: 'renameLayer', layer: l.name, name: n });
    });
    li.addEventListener('dragstart', () => { dragged = l.name; });
    li.addEventListener('dragover', (e) => e.preventDefault());
    li.addEventListener('drop', (e) => { e.preventDefault(); if (dragged && dragged !== l.name) edit({ op: 'moveLayer', layer: dragged, to: i }); });
    return li;
  }));
}

// The selection's style, shown in the panel.
export function showEditPanels() {
  const s = page.state && page.state.selectionStyle;
  const width = $('stroke-width'), opacity = $('opacity'), blend = $('blend');
  if (s && document.activeElement !== width && document.activeElement !== opacity) {
    width.value = s.strokeWidth;
    opacity.value = Math.round(s.opacity * 100);
    blend.value = s.blend;
  }
  showPaint();
}

function paintCss(p) {
  if (p === 'none') return null;
  if (p.swatch) { const s = page.state && page.state.swatches.find((x) => x.name === p.swatch); return s && s.color !== 'none' ? s.color : null; }
  const v = p.values;
  if (p.kind === 'gray') { const g = Math.round((1 - v[0]) * 255); return `rgb(${g},${g},${g})`; }
  if (p.kind === 'rgb') return `rgb(${v.map((x) => Math.round(x * 255)).join(',')})`;
  const [c, m, y, k] = v;
  return `rgb(${[c, m, y].map((x) => Math.round(255 * (1 - x) * (1 - k))).join(',')})`;
}
// The boxes show the selected object's paints, else the paints of new art.
function showPaint() {
  const s = page.state && page.state.selection.length ? page.state.selectionStyle : null;
  for (const [box, which] of [[$('fill-box'), 'fill'], [$('stroke-box'), 'stroke']]) {
    const css = s && s[which] ? (s[which] === 'none' ? null : s[which]) : paintCss(drawing.style[which]);
    box.classList.toggle('none', !css);
    box.style.background = css || '';
    const name = which === 'fill' ? 'Fill' : 'Stroke';
    box.title = s ? `${name} of the selection` : `${name} of new art (${which === 'fill' ? 'click' : 'Shift-click'} a swatch)`;
  }
}


// ---- building the panels ----

export function installEditing() {
  installMenu();
  installStylePanel();
  installLayerTools();
  installHelp();
}

// The Edit menu and the help button, in the bar.
function installMenu() {
  const bar = $('bar');
  const editMenu = el('details', { id: 'edit-menu', className: 'menu' }, el('summary', { textContent: 'Edit' }),
    el('div', {}, ...menu.map(([label, keys, action]) => {
      const b = el('button', { textContent: label }, el('kbd', { textContent: keys }));
      b.dataset.edit = label;
      b.addEventListener('click', () => {
        editMenu.open = false;
        if (typeof action === 'function') action(); else edit(action);
      });
      return b;
    })));
  const helpButton = el('button', { id: 'help-button', textContent: '?', title: 'Tools and shortcuts (F1)' });
  bar.insertBefore(editMenu, $('undo'));
  installPathMenu(bar, $('undo'));
  bar.insertBefore(helpButton, $('status'));
}

// The style panel: paints, stroke width, opacity, blend and the shape options.
function installStylePanel() {
  const side = $('side');
  const fillBox = el('span', { id: 'fill-box', className: 'paint', title: 'Fill of new art (click a swatch)' });
  const strokeBox = el('span', { id: 'stroke-box', className: 'paint stroke', title: 'Stroke of new art (Shift-click a swatch)' });
  const kind = el('select', { id: 'color-kind' }, ...['gray', 'cmyk', 'rgb'].map((k) => el('option', { value: k, textContent: k })));
  const values = el('span', { id: 'color-values' });
  const showValues = () => {
    const n = { gray: 1, cmyk: 4, rgb: 3 }[kind.value];
    values.replaceChildren(...Array.from({ length: n }, (_, i) => el('input', { type: 'number', min: 0, max: 100, step: 1, value: 0, title: `${kind.value} ${i + 1} (0 to 100 %)` })));
  };
  kind.addEventListener('change', showValues);
  showValues();
  const pickedColor = () => ({ kind: kind.value, values: [...values.children].map((i) => clamp(Number(i.value) || 0, 0, 100, 'A colour value') / 100) });
  const width = el('input', { id: 'stroke-width', type: 'number', min: 0, max: 1000, step: 0.5, value: 1 });
  const opacity = el('input', { id: 'opacity', type: 'number', min: 0, max: 100, step: 1, value: 100 });
  const blends = ['normal', 'multiply', 'screen', 'overlay', 'soft-light', 'hard-light', 'color-dodge', 'color-burn', 'darken',
                  'lighten', 'difference', 'exclusion', 'hue', 'saturation', 'color', 'luminosity'];
  const blend = el('select', { id: 'blend' }, ...blends.map((b) => el('option', { value: b, textContent: b })));
  const applyPaint = (which, color) => {
    drawing.style[which] = color;
    showPaint();
    if (page.state && page.state.selection.length) edit({ op: 'style', [which]: color });
  };
  const stylePanel = el('section', { id: 'style-panel' },
    el('h2', { textContent: 'Style' }),
    el('div', {}, 'Fill ', fillBox, ' Stroke ', strokeBox,
      button('None', 'No fill', () => applyPaint('fill', 'none')), button('No stroke', 'No stroke', () => applyPaint('stroke', 'none'))),
    el('div', {}, kind, values, button('Fill', 'Fill with this colour', () => applyPaint('fill', pickedColor())),
      button('Stroke', 'Stroke with this colour', () => applyPaint('stroke', pickedColor()))),
    el('label', {}, 'Width ', width), el('label', {}, ' Opacity % ', opacity), el('label', {}, ' Blend ', blend),
    el('div', { className: 'shape-options' },
      ...[['radius', 'Corner radius', 0, 1000], ['sides', 'Sides', 3, 1000], ['points', 'Star points', 3, 1000]].map(([k, label, lo, hi]) => {
        const i = el('input', { type: 'number', min: lo, max: hi, value: drawing.style[k], id: 'shape-' + k });
        i.addEventListener('change', () => { drawing.style[k] = clamp(Math.round(Number(i.value) || lo), lo, hi, label); i.value = drawing.style[k]; });
        return el('label', {}, label + ' ', i);
      })));
  width.addEventListener('change', () => {
    const w = clamp(Number(width.value) || 0, 0, 1000, 'Stroke width');
    width.value = drawing.style.strokeWidth = w;
    if (page.state.selection.length) edit({ op: 'style', strokeWidth: w });
  });
  opacity.addEventListener('change', () => {
    const o = clamp(Number(opacity.value) || 0, 0, 100, 'Opacity');
    opacity.value = o;
    if (page.state.selection.length) edit({ op: 'style', opacity: o / 100 });
  });
  blend.addEventListener('change', () => { if (page.state.selection.length) edit({ op: 'style', blend: blend.value }); });
  side.insertBefore(stylePanel, $('swatches').nextSibling);

  // Swatches: click fills, Shift-click strokes (new art and the selection).
  $('swatches').addEventListener('click', (e) => {
    const sw = e.target.closest('span');
    if (!sw || !sw.title) return;
    const color = sw.title === '[None]' ? 'none' : { swatch: sw.title };
    applyPaint(e.shiftKey ? 'stroke' : 'fill', color);
  });
}

// The layers panel's buttons.
function installLayerTools() {
  const layerTools = el('div', { id: 'layer-tools' },
    button('New', 'New layer', () => edit({ op: 'newLayer' })),
    button('Delete', 'Delete the current layer', () => edit({ op: 'deleteLayer', layer: page.state.currentLayer })),
    button('Move here', 'Move the selection to the current layer', () => edit({ op: 'toLayer', layer: page.state.currentLayer })));
  $('layers').after(layerTools);
}

// The help: the tools and shortcuts (F1, keys.js).
function installHelp() {
  const help = el('div', { id: 'help', hidden: true },
    el('div', { className: 'caption', textContent: 'Tools and shortcuts' }),
    el('table', {}, ...[
      ['V', 'Selection: click, Shift-click, marquee; drag to move (Shift: straight); corner handles scale (Shift keeps proportions), just outside them rotate'],
      ['A', 'Direct Selection: anchors by click, Shift-click, marquee; drag anchors or handles'],
      ['P', 'Pen: click corners, drag smooth points, click the first point to close, Enter to finish, Esc to cancel'],
      ['N', 'Pencil: draw freehand'],
      ['M / L', 'Rectangle / Ellipse: Shift squares and circles, Alt draws from the centre'],
      ['\\', 'Line: Shift in 45° steps'],
      ['Arrows', 'Nudge 1 point (Shift: 10)'],
      ['Delete', 'Delete the selection'],
      ['Ctrl+D, Ctrl+C, Ctrl+X, Ctrl+V', 'Duplicate, copy, cut, paste'],
      ['Ctrl+G, Ctrl+Shift+G', 'Group, ungroup'],
      ['Ctrl+], Ctrl+[ (with Shift: to front / back)', 'Bring forward, send backward'],
      ['Ctrl+A, Esc', 'Select all on the current layer, deselect'],
      ['Ctrl+Z, Ctrl+Shift+Z', 'Undo, redo'],
      ['Ctrl+S, Ctrl+O, Ctrl+Alt+N', 'Save to the file, open, new'],
      ['Ctrl+= / Ctrl+-, Ctrl+0, Ctrl+1', 'Zoom in / out, fit the page, 100 %'],
      ["Ctrl+R, Ctrl+', Ctrl+;", 'Rulers, grid, guides (drag a guide out of a ruler; drop it on one to delete it)'],
      ["Ctrl+Shift+', Ctrl+Alt+', Ctrl+U, Ctrl+Shift+;", 'Snap to grid, points, objects, guides'],
      ['Swatches', 'Click: fill; Shift-click: stroke'],
      ['Swatches', 'Click: fill; Shift-click: stroke; Alt-click: remove; double-click: rename'],
      ['Shift+X, X, D, /', 'Swap fill and stroke, make the other box active, default paint, none'],
      ['I', 'Eyedropper: click art to give the selection its fill and stroke'],
    ].map(([k, t]) => el('tr', {}, el('th', { textContent: k }), el('td', { textContent: t })))),
    button('Close', 'Close', () => { help.hidden = true; }));
  document.body.appendChild(help);
  $('help-button').addEventListener('click', () => { help.hidden = !help.hidden; });
}
