// The page's keys: one keydown listener (in the capture phase, before any
// element's own) hands each key to every handler of KEY_HANDLERS that
// takes it in the page's mode, in the table's order. The modes: a dialog or
// alert is shown (modal), the page asks a question (question: its buttons
// take the keys, nothing behind it does), text is being edited in place
// (text: the editor takes the keys), a text field or list has the focus
// (field), or none of these (normal, the keys of the canvas).
import { $ } from './common.js';
import { page, view } from './store.js';
import { canvas, fit, zoomAt } from './canvas.js';
import { canvasKey } from './tools.js';
import { PANELS, save } from './panels.js';
import { dialogKey } from './dialogs.js';
import { showNew } from './editing.js';
import { typingKey } from './text.js';
import { isViewKey, viewMenuKey } from './rulers.js';
import { isPaintKey, paintKey } from './colorpicker.js';
import { pathKey, takesPathKey } from './pathmenu.js';

const inside = (e, selector) => !!(e.target.closest && e.target.closest(selector));
const withCtrl = (e) => e.ctrlKey || e.metaKey;

function modeOf(e) {
  if (!$('modal').hidden) return 'modal';
  if ($('ask')) return 'question';
  if (inside(e, '#text-editor')) return 'text';
  return inside(e, 'input, select') ? 'field' : 'normal';
}

// Keys the page takes before the browser: zoom in and out, fit, 100 %,
// save and open (Open asks first about unsaved work, session.js). While a
// dialog or a question is shown, or before the drawing came, they do nothing.
const centre = () => { const r = canvas.getBoundingClientRect(); return [r.width / 2, r.height / 2]; };
const VIEW_KEYS = {
  '=': () => zoomAt(1.25, ...centre()), '+': () => zoomAt(1.25, ...centre()),
  '-': () => zoomAt(0.8, ...centre()), '_': () => zoomAt(0.8, ...centre()),
  '0': fit, '1': () => zoomAt(1 / view.zoom, ...centre()),
  s: () => save(), o: () => $('open').parentElement.click(),
};
function viewKey(e) {
  e.preventDefault();
  if (!$('modal').hidden || $('ask') || !page.scene) return;
  VIEW_KEYS[e.key.toLowerCase()]();
}

// Enter in a field of the bar or the panels commits it and gives the keys
// back to the canvas.
function commitField(e) {
  e.preventDefault();
  e.target.closest('input, select').blur();
}

function toggleHelp(e) {
  e.preventDefault();
  const help = $('help');
  help.hidden = !help.hidden;
}

const ALL = ['modal', 'field', 'normal'];
const KEY_HANDLERS = [
  { name: 'view and file', modes: [...ALL, 'question', 'text'], run: viewKey,
    when: (e) => withCtrl(e) && !e.altKey && !e.isComposing && Object.hasOwn(VIEW_KEYS, e.key.toLowerCase()) },
  { name: 'commit a panel field', modes: ['modal', 'field'], run: commitField,
    when: (e) => e.key === 'Enter' && !e.isComposing && inside(e, PANELS) && inside(e, 'input, select') },
  { name: 'dialog', modes: ['modal'], run: dialogKey,
    when: (e) => (e.key === 'Escape' || e.key === 'Enter') && !e.isComposing },
  { name: 'rulers, grid, guides, snapping', modes: ['normal'], run: viewMenuKey, when: (e) => !e.isComposing && isViewKey(e) },
  { name: 'paint', modes: ['normal'], run: paintKey, when: isPaintKey },
  { name: 'path menu', modes: ['normal'], run: pathKey, when: takesPathKey },
  { name: 'canvas', modes: ['normal'], run: canvasKey, when: (e) => !isPaintKey(e) && !takesPathKey(e) },
  { name: 'end text editing', modes: ['text'], run: typingKey, when: (e) => e.key === 'Escape' && !e.isComposing },
  { name: 'help', modes: [...ALL, 'question'], run: toggleHelp, when: (e) => e.key === 'F1' },
  { name: 'new document', modes: ALL, run: (e) => { e.preventDefault(); showNew(); },
    when: (e) => e.key === 'n' && e.altKey && withCtrl(e) },
];

window.addEventListener('keydown', (e) => {
  const mode = modeOf(e);
  for (const h of KEY_HANDLERS) if (h.modes.includes(mode) && h.when(e)) h.run(e);
}, true);
