// The panels around the canvas: undo and redo, the seed, the recorder's
// step count, layers, swatches and the selection, and the bar's file buttons.
import { $, note, setText } from './common.js';
import { page } from './store.js';
import { call, fetchFrom } from './protocol.js';
import { canvas, fit, zoomAt } from './canvas.js';
import { installEditing, showEditPanels, showLayers } from './editing.js';
import { installPaint, showPaintPanels } from './paintpanel.js';

export function showPanels() {
  const state = page.state;
  $('undo').disabled = !state.canUndo;
  $('redo').disabled = !state.canRedo;
  $('undo').title = state.canUndo ? `${state.undoText || 'Undo'} (Ctrl+Z)` : 'Undo (Ctrl+Z)';
  $('save').classList.toggle('unsaved', !!state.unsaved);
  $('save').title = state.file ? `Save to ${state.file} (Ctrl+S)` : 'Save a copy: the document has no file of its own (Ctrl+S)';
  document.title = `${state.unsaved ? '• ' : ''}${state.name} — easel studio`;
  if (document.activeElement !== $('seed') && $('seed').value !== String(state.seed)) $('seed').value = state.seed;
  setText($('steps'), `(${state.steps})`);
  // The lists are rebuilt only when they change: a drag answers many times a
  // second, and new elements would cost the picture a layout pass each time.
  const lists = JSON.stringify([state.layers, state.swatches, state.currentLayer]);
  if (lists !== page.shownLists) {
    page.shownLists = lists;
    showLists();
  }
  showEditPanels();
  showPaintPanels();
  const n = state.selection.length;
  setText($('selection'), n === 0 ? 'Nothing selected' : `${n} object${n > 1 ? 's' : ''} selected (ids ${state.selection.slice(0, 12).join(', ')}${n > 12 ? ', …' : ''})`);
}

function showLists() {
  const state = page.state;
  showLayers();
  $('swatches').replaceChildren(...state.swatches.map((s) => {
    const sw = document.createElement('span');
    sw.title = s.name;
    if (s.color === 'none') sw.className = 'none'; else sw.style.background = s.color;
    return sw;
  }));
}

// What an opened file held that is drawn only approximately: kept beside the
// drawing until closed or another file is opened.
export function showReport(n) {
  const lines = n.text.split('\n').filter((l) => l.trim() !== '');
  setText($('report-file'), `${n.name || 'The file'}: ${lines.length} note${lines.length === 1 ? '' : 's'}`);
  $('report-lines').replaceChildren(...lines.map((l) => { const li = document.createElement('li'); li.textContent = l; return li; }));
  $('report').hidden = false;
}
$('report-close').addEventListener('click', () => { $('report').hidden = true; });

// ---- files, seed, recorder ----

function download(name, data, type) {
  const url = URL.createObjectURL(data instanceof Blob ? data : new Blob([data], { type }));
  const a = document.createElement('a');
  a.href = url;
  a.download = name;
  document.body.appendChild(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}

$('open').addEventListener('change', async (e) => {
  const f = e.target.files[0];
  if (!f) return;
  const text = await f.text();
  e.target.value = '';
  $('report').hidden = true;
  const r = await call({ op: 'open', name: f.name, text });
  if (r.ok) { fit(); note(`Opened ${f.name}`); }
});
// Save a copy downloads the document under its name; the host then counts the work as saved.
export async function saveJson() {
  const r = await call({ op: 'save', format: 'json', download: true });
  if (r.ok) download(r.name, r.text, 'application/json');
  return r.ok;
}
// Save writes the file the studio was started on; a document without one
// (opened in the page, or new) is saved as a copy.
export async function save() {
  if (!page.state || !page.state.file) return saveJson();
  const r = await call({ op: 'save', file: true });
  if (r.ok) note(`Saved ${r.saved}`);
  return r.ok;
}
$('save').addEventListener('click', () => save());
$('save-json').addEventListener('click', () => saveJson());
$('save-svg').addEventListener('click', async () => {
  const r = await call({ op: 'save', format: 'svg', download: true });
  if (r.ok) download(r.name, r.text, 'image/svg+xml');
});
$('export-png').addEventListener('click', async () => {
  const width = Math.min(8192, Math.max(1, Math.round(page.scene.width * 2)));
  const res = await fetchFrom(`/api/picture.png?width=${width}`);
  if (!res.ok) { note(await res.text()); return; }
  download(`${page.state.name}.png`, await res.blob());
});
$('export-pdf').addEventListener('click', async () => {
  const res = await fetch('/api/picture.pdf');
  if (!res.ok) { note(await res.text()); return; }
  download(`${page.state.name}.pdf`, await res.blob());
});
$('record').addEventListener('click', async () => {
  const r = await call({ op: 'script' });
  if (r.ok) download(r.name, JSON.stringify(r.script, null, 1), 'application/json');
});
$('seed').addEventListener('change', () => call({ op: 'seed', seed: Number($('seed').value) }));
$('undo').addEventListener('click', () => call({ op: 'undo' }));
$('redo').addEventListener('click', () => call({ op: 'redo' }));
$('zoom-in').addEventListener('click', () => { const r = canvas.getBoundingClientRect(); zoomAt(1.25, r.width / 2, r.height / 2); });
$('zoom-out').addEventListener('click', () => { const r = canvas.getBoundingClientRect(); zoomAt(0.8, r.width / 2, r.height / 2); });
$('zoom-fit').addEventListener('click', fit);

// A button of the bar or the panels clicked with the mouse keeps no focus,
// so Enter or Space never presses it again (one made a layer per Enter); a
// button reached with Tab keeps it. (Enter in a field of theirs: keys.js.)
export const PANELS = '#bar, #side, #palette';
window.addEventListener('click', (e) => {
  const b = e.target.closest && e.target.closest('button, summary');
  if (b && e.detail > 0 && b.closest(PANELS)) b.blur();
});

// The Edit menu, the style and layers panels and the help (editing.js).
installEditing();
installPaint();
