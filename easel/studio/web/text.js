// The Type tool: a click places point text, a drag a box for area text, and
// the text is typed and edited in place in an editor laid over the canvas
// (caret, selection, arrows, Home/End, Backspace/Delete, Enter for a new
// line); Esc, a click outside or another tool ends editing. A typing session
// is one host edit when it ends: "text" for new text, "editText" for a
// changed string. The text panel (family, size, weight, style, alignment,
// letter and line spacing) sets what new text takes and, as "textStyle"
// edits, the text being edited or the selected text.
import { $ } from './common.js';
import { page, typing, view } from './store.js';
import { call } from './protocol.js';
import { canvas, draw, drawOverlay, hit, overlays, toScreen } from './canvas.js';
import { chooseTool } from './tools.js';
import { shownFont } from './paints.js';

const edit = (e) => call({ op: 'edit', edit: e });
const el = (tag, props = {}, ...children) => {
  const e = Object.assign(document.createElement(tag), props);
  e.append(...children);
  return e;
};
const round = (v) => Math.round(v * 100) / 100;
const DEFAULT_SPACING = 1.2;

overlays.push(drawTyping);

// ---- the text of the picture ----

// The text style of object i of the picture, or null when it is no text.
function textOf(i) {
  const p = page.scene, s = p.starts[i];
  if (p.starts[i + 1] !== s + 1) return null;
  const st = p.styles.get(p.style[s]);
  return st && st.t ? { st, t: st.t, m: Array.from(p.mat.subarray(s * 6, s * 6 + 6)) } : null;
}

// The settings a text's style entry shows: its CSS font is
// "STYLE WEIGHT SIZEpx FAMILY".
function settingsOf(t) {
  const f = /^(\S+) (\S+) ([\d.]+)px (.*)$/.exec(t.font) || [];
  return {
    family: f[4] || 'sans-serif', fontSize: Number(f[3]) || 12,
    weight: f[2] === 'bold' || Number(f[2]) >= 600 ? 'bold' : 'normal', style: f[1] === 'italic' ? 'italic' : 'normal',
    align: { center: 'center', end: 'right' }[t.a] || 'left',
    letterSpacing: parseFloat(t.ls) || 0, lineSpacing: t.lh || DEFAULT_SPACING,
  };
}

function selectedText() {
  const p = page.scene, out = [];
  if (!p) return out;
  for (const layer of p.layers)
    for (let i = layer.start; i < layer.start + layer.count; i++) if (p.selected(i) && textOf(i)) out.push(i);
  return out;
}

// ---- the editor ----

let editor = null;
const measurer = document.createElement('canvas').getContext('2d');

const GENERIC = ['serif', 'sans-serif', 'monospace', 'cursive', 'fantasy'];
const unquoted = (f) => f.replace(/^'(.*)'$/, '$1');
function cssFont(s, px) {
  const f = unquoted(s.family);
  return shownFont(`${s.style} ${s.weight} ${px}px ${GENERIC.includes(f) ? f : `"${f}"`}`);
}

// Lays the editor over the text: the same font at the zoom, its first
// baseline where the text's is (point text) or its box on the text's box.
function placeEditor() {
  const ed = typing.editing, s = typing.settings;
  const m = ed.matrix, scale = Math.sqrt(Math.abs(m[0] * m[3] - m[1] * m[2])) || 1;
  const px = s.fontSize * scale * view.zoom, line = s.lineSpacing * px;
  measurer.font = cssFont(s, px);
  measurer.letterSpacing = `${s.letterSpacing * scale * view.zoom}px`;
  const metrics = measurer.measureText('Hg');
  const ascent = metrics.fontBoundingBoxAscent, descent = metrics.fontBoundingBoxDescent;
  const [sx, sy] = toScreen(m[4], m[5]);
  const lines = editor.value.split('\n');
  let width, top = sy, left = sx;
  if (ed.area) {
    width = ed.area[0] * scale * view.zoom;
    editor.style.height = `${Math.max(ed.area[1] * scale * view.zoom, lines.length * line)}px`;
  } else {
    width = Math.max(px, ...lines.map((l) => measurer.measureText(l).width)) + 4;
    top = sy - ((line - (ascent + descent)) / 2 + ascent);
    left = sx - { left: 0, center: width / 2, right: width }[s.align];
    editor.style.height = `${lines.length * line}px`;
  }
  Object.assign(editor.style, {
    left: `${left}px`, top: `${top}px`, width: `${width}px`, font: cssFont(s, px), lineHeight: `${line}px`,
    letterSpacing: measurer.letterSpacing, textAlign: s.align, whiteSpace: ed.area ? 'pre-wrap' : 'pre',
    transformOrigin: `${sx - left}px ${sy - top}px`,
    transform: `matrix(${m[0] / scale}, ${-m[1] / scale}, ${-m[2] / scale}, ${m[3] / scale}, 0, 0)`,
  });
}

function openEditor(ed, text) {
  typing.editing = ed;
  editor = el('textarea', { id: 'text-editor', value: text, spellcheck: false, ariaLabel: 'Text being edited' });
  Object.assign(editor.style, { position: 'absolute', margin: '0', padding: '0', border: 'none', outline: '1px dashed #1a73e8',
                                background: 'transparent', color: ed.color || '#000', resize: 'none', overflow: 'hidden',
                                zIndex: '2', overflowWrap: 'break-word' });
  editor.addEventListener('input', placeEditor);
  $('view').appendChild(editor);
  placeEditor();
  editor.focus();
  editor.setSelectionRange(text.length, text.length);
  draw();
  showSettings();
}

// Edits text object i of the picture in place.
function editObject(i) {
  const x = textOf(i);
  if (!x) return;
  const id = page.scene.ids[i];
  Object.assign(typing.settings, settingsOf(x.t));
  call({ op: 'select', mode: 'set', ids: [id] });
  openEditor({ id, original: x.t.s, area: x.t.bx || null, matrix: x.m, color: x.st.f }, x.t.s);
}

// Ends editing: the string typed becomes one edit (empty text is deleted).
export async function endTyping() {
  const ed = typing.editing;
  if (!ed) return;
  const text = editor.value;
  typing.editing = null;
  editor.remove();
  editor = null;
  draw();
  if (ed.id === null) {
    if (text) await edit({ op: 'text', text, ...ed.place, ...settingArgs() });
  } else if (text !== ed.original) {
    await edit(text ? { op: 'editText', id: ed.id, text } : { op: 'delete' });
  }
}

function settingArgs() {
  const s = typing.settings, a = { fontSize: s.fontSize, align: s.align };
  if (s.family !== 'sans-serif') a.family = unquoted(s.family);
  if (s.weight !== 'normal') a.weight = s.weight;
  if (s.style !== 'normal') a.style = s.style;
  if (s.letterSpacing) a.letterSpacing = s.letterSpacing;
  if (s.lineSpacing !== DEFAULT_SPACING) a.lineSpacing = s.lineSpacing;
  return a;
}

// ---- the pointer ----

const NO_GESTURE = { move() {}, up() {} };

export function textDown(e, x, y) {
  // A click outside the editor ends editing.
  if (typing.editing) { endTyping(); return NO_GESTURE; }
  const o = hit(x, y);
  if (o && textOf(o.index)) { editObject(o.index); return NO_GESTURE; }
  return {
    move(ev, mx, my) { typing.box = [x, y, mx, my]; drawOverlay(); },
    up(ev, mx, my) {
      typing.box = null;
      const slack = 4 / view.zoom;
      const area = Math.abs(mx - x) > slack && Math.abs(my - y) > slack;
      const place = area ? { from: [round(Math.min(x, mx)), round(Math.max(y, my))], to: [round(Math.max(x, mx)), round(Math.min(y, my))] }
        : { at: [round(x), round(y)] };
      const origin = area ? place.from : place.at;
      const size = area ? [place.to[0] - place.from[0], place.from[1] - place.to[1]] : null;
      openEditor({ id: null, place, area: size, matrix: [1, 0, 0, 1, origin[0], origin[1]] }, '');
    },
  };
}

// Double-clicking text with the Selection tool edits it with the Type tool.
canvas.addEventListener('dblclick', (e) => {
  if (page.tool !== 'select' || !page.scene) return;
  const r = canvas.getBoundingClientRect();
  const sx = e.clientX - r.left, sy = e.clientY - r.top;
  const o = hit((sx - view.panX) / view.zoom, page.scene.height - (sy - view.panY) / view.zoom);
  if (!o || !textOf(o.index)) return;
  chooseTool('text');
  editObject(o.index);
});

// Keys while editing (keys.js's 'text' mode): the editor takes them all; Esc ends editing.
export function typingKey(e) {
  if (e.key !== 'Escape') return;
  e.preventDefault();
  endTyping();
}

function drawTyping(ctx) {
  if (typing.box) {
    const [x0, y0, x1, y1] = typing.box;
    const [a, b] = toScreen(x0, y0), [c, d] = toScreen(x1, y1);
    ctx.setLineDash([4, 3]);
    ctx.strokeStyle = '#1a73e8';
    ctx.strokeRect(a, b, c - a, d - b);
    ctx.setLineDash([]);
  }
  if (typing.editing && editor) placeEditor();
  else showSettings();
}

// ---- the text panel ----

const fields = {};

function buildPanel() {
  const family = el('select', { id: 'text-family', title: 'Font family (the fonts the renderer has)' });
  const size = el('input', { id: 'text-size', type: 'number', min: 0.1, max: 1296, step: 1, title: 'Font size in points' });
  const bold = el('input', { id: 'text-bold', type: 'checkbox' }), italic = el('input', { id: 'text-italic', type: 'checkbox' });
  const align = el('select', { id: 'text-align', title: 'Alignment' },
    ...['left', 'center', 'right'].map((a) => el('option', { value: a, textContent: a[0].toUpperCase() + a.slice(1) })));
  const letter = el('input', { id: 'text-letter', type: 'number', step: 0.5, min: -1000, max: 1000, title: 'Letter spacing in points' });
  const line = el('input', { id: 'text-line', type: 'number', step: 0.1, min: 0.5, max: 10, title: 'Line spacing, times the font size' });
  Object.assign(fields, { family, size, bold, italic, align, letter, line });
  const panel = el('div', { id: 'text-panel', className: 'text-panel' },
    el('div', {}, family), el('div', {}, el('label', {}, 'Size ', size), ' ', align),
    el('div', {}, el('label', {}, bold, ' Bold'), ' ', el('label', {}, italic, ' Italic')),
    el('div', {}, el('label', {}, 'Tracking ', letter)), el('div', {}, el('label', {}, 'Leading ', line)));
  const at = $('selection');
  at.after(el('h2', { textContent: 'Text' }), panel);
  const changes = [
    [family, 'family', () => family.value], [size, 'fontSize', () => Number(size.value)],
    [bold, 'weight', () => (bold.checked ? 'bold' : 'normal')], [italic, 'style', () => (italic.checked ? 'italic' : 'normal')],
    [align, 'align', () => align.value], [letter, 'letterSpacing', () => Number(letter.value)],
    [line, 'lineSpacing', () => Number(line.value)],
  ];
  for (const [input, key, value] of changes) input.addEventListener('change', () => setting(key, value()));
  loadFamilies();
}

async function loadFamilies() {
  if (!typing.families) {
    const res = await fetch('/api/fonts');
    const fonts = res.ok ? await res.json() : {};
    typing.families = fonts.families || [];
    typing.generic = fonts.generic || {};
    draw();
  }
  const names = ['sans-serif', 'serif', 'monospace', ...typing.families];
  fields.family.replaceChildren(...names.map((n) => el('option', { value: n, textContent: n })));
  showSettings();
}

// A setting changed in the panel: for new text, and as an edit of the text
// being edited or of the selected text.
async function setting(key, value) {
  const s = typing.settings;
  const arg = key === 'family' ? unquoted(value) : value;
  const ed = typing.editing;
  if (ed) {
    s[key] = value;
    placeEditor();
    editor.focus();
    if (ed.id !== null) await edit({ op: 'textStyle', id: ed.id, [key]: arg });
  } else if (selectedText().length) {
    const answer = await edit({ op: 'textStyle', [key]: arg });
    if (answer.ok) s[key] = value;
  } else {
    s[key] = value;
  }
  showSettings();
}

// The panel shows the text being edited, else the first selected text, else what new text takes.
function showSettings() {
  if (!fields.size && $('selection')) buildPanel();
  if (!fields.size || !page.scene) return;
  const sel = typing.editing ? [] : selectedText();
  const s = sel.length ? settingsOf(textOf(sel[0]).t) : typing.settings;
  const active = document.activeElement;
  const show = (input, prop, v) => { if (input !== active && input[prop] !== v) input[prop] = v; };
  const family = unquoted(s.family);
  if (![...fields.family.options].some((o) => o.value === family)) fields.family.append(el('option', { value: family, textContent: family }));
  show(fields.family, 'value', family);
  show(fields.size, 'value', String(s.fontSize));
  show(fields.bold, 'checked', s.weight === 'bold');
  show(fields.italic, 'checked', s.style === 'italic');
  show(fields.align, 'value', s.align);
  show(fields.letter, 'value', String(s.letterSpacing));
  show(fields.line, 'value', String(s.lineSpacing));
}

