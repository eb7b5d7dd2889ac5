// The Path menu: booleans, compound paths, clipping masks, outlines and offsets, and the
// edits of selected anchor points (Direct Selection picks them). Each item is
// one of the host's edits; pathKey takes their shortcuts.
import { drawing, page } from './store.js';
import { edit, loadAnchors } from './drawing.js';

const el = (tag, props = {}, ...children) => {
  const e = Object.assign(document.createElement(tag), props);
  e.append(...children);
  return e;
};

// Adds an anchor halfway along the segment after each selected anchor
// (last first, so the indices of the others hold).
async function addAnchors() {
  for (const p of drawing.anchors) {
    const picked = p.segments.map((s, i) => (s[6] ? i : -1)).filter((i) => i >= 0).reverse();
    for (const i of picked) await edit({ op: 'addAnchor', id: p.id, segment: i, t: 0.5 });
  }
  loadAnchors();
}

// [label, shortcut shown, the edit or a function, the key test].
const ctrl = (e) => (e.ctrlKey || e.metaKey) && !e.altKey;
export const PATH_ITEMS = [
  ['Union', '', { op: 'union' }, null],
  ['Difference', '', { op: 'difference' }, null],
  ['Intersection', 'Ctrl+*', { op: 'intersection' }, (e) => ctrl(e) && e.key === '*'],
  ['Exclusion', 'Ctrl+^', { op: 'exclusion' }, (e) => ctrl(e) && e.key === '^'],
  ['Division', 'Ctrl+/', { op: 'division' }, (e) => ctrl(e) && e.key === '/'],
  ['Combine', 'Ctrl+K', { op: 'combine' }, (e) => ctrl(e) && !e.shiftKey && e.key.toLowerCase() === 'k'],
  ['Break Apart', 'Ctrl+Shift+K', { op: 'breakApart' }, (e) => ctrl(e) && e.shiftKey && e.key.toLowerCase() === 'k'],
  ['Make Clipping Mask', 'Ctrl+7', { op: 'clip' }, (e) => ctrl(e) && e.code === 'Digit7'],
  ['Release Clipping Mask', 'Ctrl+Alt+7', { op: 'releaseClip' }, (e) => (e.ctrlKey || e.metaKey) && e.altKey && e.code === 'Digit7'],
  ['Fill Rule: Even-Odd', '', { op: 'fillRule', rule: 'evenOdd' }, null],
  ['Fill Rule: Non-Zero', '', { op: 'fillRule', rule: 'nonZero' }, null],
  ['Stroke to Path', 'Ctrl+Alt+C', { op: 'strokeToPath' },
    (e) => (e.ctrlKey || e.metaKey) && e.altKey && e.key.toLowerCase() === 'c'],
  ['Outset 2 pt', 'Ctrl+)', { op: 'offset', distance: 2, join: 'round' }, (e) => ctrl(e) && e.key === ')'],
  ['Inset 2 pt', 'Ctrl+(', { op: 'offset', distance: -2, join: 'round' }, (e) => ctrl(e) && e.key === '('],
  ['Reverse Direction', '', { op: 'reverse' }, null],
  ['Simplify', 'Ctrl+L', { op: 'simplify', tolerance: 2 }, (e) => ctrl(e) && !e.shiftKey && e.key.toLowerCase() === 'l'],
  ['Add Anchor after Selected', 'Insert', addAnchors, (e) => !e.ctrlKey && !e.metaKey && e.key === 'Insert' && page.tool === 'direct'],
  ['Delete Anchors', '', { op: 'deleteAnchors' }, null],
  ['Anchors to Corner', 'Shift+C', { op: 'convertAnchors', to: 'corner' },
    (e) => !e.ctrlKey && !e.metaKey && e.shiftKey && e.key === 'C' && page.tool === 'direct'],
  ['Anchors to Smooth', 'Shift+S', { op: 'convertAnchors', to: 'smooth' },
    (e) => !e.ctrlKey && !e.metaKey && e.shiftKey && e.key === 'S' && page.tool === 'direct'],
  ['Split at Anchors', '', { op: 'splitPath' }, null],
  ['Join End Points', 'Ctrl+J', { op: 'join' }, (e) => ctrl(e) && e.key.toLowerCase() === 'j'],
];

function run(action) {
  if (typeof action === 'function') return action();
  return edit(action).then(() => { if (page.tool === 'direct') loadAnchors(); });
}

// The canvas keys of the menu's items.
export const takesPathKey = (e) => PATH_ITEMS.some(([, , , when]) => when && when(e));
export function pathKey(e) {
  const item = PATH_ITEMS.find(([, , , when]) => when && when(e));
  if (!item) return;
  e.preventDefault();
  run(item[2]);
}

// The menu, placed in the bar before `before`.
export function installPathMenu(bar, before) {
  const menu = el('details', { id: 'path-menu', className: 'menu' }, el('summary', { textContent: 'Path' }),
    el('div', {}, ...PATH_ITEMS.map(([label, keys, action]) => {
      const b = el('button', { textContent: label }, el('kbd', { textContent: keys }));
      b.dataset.path = label;
      b.addEventListener('click', () => { menu.open = false; run(action); });
      return b;
    })));
  bar.insertBefore(menu, before);
}
