// The tools: the palette, the pointer on the canvas (selection clicks and
// marquees, a tool's drag, panning and zooming) and the canvas's keys.
import { $, note } from './common.js';
import { page, pointer, view } from './store.js';
import { call, sendDrag } from './protocol.js';
import { canvas, draw, drawOverlay, hit, objectsIn, toDoc, zoomAt } from './canvas.js';
import { paintDown } from './paintpanel.js';
import { drawingDown, drawingKey, drawingToolChosen, drawingTools, isDrawingTool } from './drawing.js';

const SHIFT = 0x20, ALT = 0x40, CTRL = 0x200;

export function buildPalette() {
  const pal = $('palette');
  pal.replaceChildren();
  const groups = new Map();
  const add = (key) => {
    if (!groups.has(key)) {
      const g = document.createElement('div');
      g.className = 'group';
      pal.appendChild(g);
      groups.set(key, g);
    }
    return groups.get(key);
  };
  const sel = document.createElement('button');
  sel.textContent = '↖';
  sel.title = 'Selection: click, Shift-click, marquee';
  sel.dataset.tool = 'select';
  add('select').appendChild(sel);
  for (const d of drawingTools) {
    const b = document.createElement('button');
    b.textContent = d.label;
    b.title = d.title;
    b.dataset.tool = d.id;
    b.setAttribute('aria-label', d.id);
    add('draw').appendChild(b);
  }
  for (const t of page.state.tools) {
    const b = document.createElement('button');
    b.dataset.tool = t.title;
    b.title = toolTip(t);
    b.setAttribute('aria-label', t.title.trim());
    if (t.icon) {
      const img = document.createElement('img');
      img.src = t.icon;
      img.alt = t.title.trim();
      b.appendChild(img);
    } else {
      b.textContent = t.title.trim().slice(0, 3);
    }
    add(t.plugin + ':' + (t.group >= 0 ? t.group : t.number)).appendChild(b);
  }
  pal.addEventListener('click', (e) => {
    const b = e.target.closest('button');
    if (b) chooseTool(b.dataset.tool);
  });
  pal.addEventListener('dblclick', (e) => {
    const b = e.target.closest('button');
    if (b && b.dataset.tool !== 'select' && !isDrawingTool(b.dataset.tool)) call({ op: 'options', tool: b.dataset.tool });
  });
  chooseTool('select');
}

// A tool's name as people read it: the title without its leading blank and
// the "ZR5 " group prefix.
export function shownName(title) {
  const t = page.state && page.state.tools.find((x) => x.title === title);
  return t && t.name ? t.name : title.trim().replace(/^ZR5 /, '').trim();
}
// The tool's name and the plug-in's tooltip, each once: a tooltip that begins
// with the name stands alone.
function toolTip(t) {
  const name = shownName(t.title);
  const tip = t.tooltip ? shownName(t.tooltip) : '';
  const text = !tip ? name : tip.startsWith(name) ? tip : `${name} — ${tip}`;
  return `${text} (${t.plugin})`;
}

export function chooseTool(name) {
  page.tool = name;
  for (const b of $('palette').querySelectorAll('button')) b.classList.toggle('active', b.dataset.tool === name);
  note(name === 'select' ? 'Selection (V)' : shownName(name));
  drawingToolChosen(name);
}

// ---- pointer ----

function modifiers(e) { return (e.shiftKey ? SHIFT : 0) | (e.altKey ? ALT : 0) | (e.ctrlKey || e.metaKey ? CTRL : 0); }
function pressure(e) { return e.pointerType === 'pen' ? Math.round(Math.min(1, Math.max(0, e.pressure)) * 255) : 0; }
function where(e) {
  const r = canvas.getBoundingClientRect();
  return [e.clientX - r.left, e.clientY - r.top];
}

// Whether the person is dragging a tool on the canvas now.
export function toolDragging() { return !!(pointer.gesture && pointer.gesture.kind === 'drag'); }
canvas.addEventListener('pointerdown', (e) => {
  if (!page.scene || !$('modal').hidden) return;
  canvas.setPointerCapture(e.pointerId);
  const [sx, sy] = where(e);
  if (e.button === 1 || pointer.spaceDown) {
    pointer.gesture = { kind: 'pan', sx, sy, panX: view.panX, panY: view.panY };
    return;
  }
  if (e.button !== 0) return;
  const [x, y] = toDoc(sx, sy);
  // The drawing tools, and the Selection tool's moves, scales and rotations (drawing.js).
  const edits = paintDown(e, x, y) || drawingDown(e, x, y);
  if (edits) {
    pointer.gesture = { kind: 'edit', edits };
    return;
  }
  if (page.tool === 'select') {
    const o = hit(x, y);
    if (o) {
      pointer.gesture = { kind: 'click' };
      call({ op: 'select', mode: e.shiftKey ? 'toggle' : 'set', ids: [o.id] });
    } else {
      pointer.gesture = { kind: 'marquee', add: e.shiftKey };
      page.marquee = { x0: sx, y0: sy, x1: sx, y1: sy };
    }
    return;
  }
  pointer.gesture = { kind: 'drag' };
  sendDrag({ op: 'down', tool: page.tool, x, y, modifiers: modifiers(e), pressure: pressure(e), pen: e.pointerType === 'pen' });
});
// A tool's drag listens to the raw pointer updates where the browser has
// them: those come as soon as the pointer moves, while pointermove waits for
// the next frame, a frame of delay before the host even hears of the move.
const RAW_MOVES = 'onpointerrawupdate' in window;
canvas.addEventListener('pointermove', (e) => {
  if (!pointer.gesture) return;
  const [sx, sy] = where(e);
  if (pointer.gesture.kind === 'pan') {
    view.panX = pointer.gesture.panX + sx - pointer.gesture.sx;
    view.panY = pointer.gesture.panY + sy - pointer.gesture.sy;
    draw();
  } else if (pointer.gesture.kind === 'marquee') {
    page.marquee.x1 = sx;
    page.marquee.y1 = sy;
    drawOverlay();
  } else if (pointer.gesture.kind === 'edit') {
    pointer.gesture.edits.move(e, ...toDoc(sx, sy));
  } else if (pointer.gesture.kind === 'drag' && !RAW_MOVES) {
    dragMove(e);
  }
});
if (RAW_MOVES) canvas.addEventListener('pointerrawupdate', (e) => { if (pointer.gesture && pointer.gesture.kind === 'drag') dragMove(e); });
function dragMove(e) {
  const [x, y] = toDoc(...where(e));
  sendDrag({ op: 'move', x, y, modifiers: modifiers(e), pressure: pressure(e) }, e.timeStamp);
}
function endGesture(e) {
  if (!pointer.gesture) return;
  const g = pointer.gesture;
  pointer.gesture = null;
  if (g.kind === 'edit') {
    g.edits.up(e, ...toDoc(...where(e)));
  } else if (g.kind === 'drag') {
    const [x, y] = toDoc(...where(e));
    sendDrag({ op: 'up', x, y, modifiers: modifiers(e), pressure: pressure(e) });
  } else if (g.kind === 'marquee') {
    const m = page.marquee;
    page.marquee = null;
    const [ax, ay] = toDoc(Math.min(m.x0, m.x1), Math.max(m.y0, m.y1));
    const [bx, by] = toDoc(Math.max(m.x0, m.x1), Math.min(m.y0, m.y1));
    if (Math.abs(m.x1 - m.x0) < 3 && Math.abs(m.y1 - m.y0) < 3) {
      if (!g.add) call({ op: 'deselect' });
      drawOverlay();
      return;
    }
    call({ op: 'select', mode: g.add ? 'add' : 'set', ids: objectsIn(ax, ay, bx, by) });
    drawOverlay();
  }
}
canvas.addEventListener('pointerup', endGesture);
canvas.addEventListener('pointercancel', endGesture);
canvas.addEventListener('wheel', (e) => {
  if (!page.scene) return;
  e.preventDefault();
  const [sx, sy] = where(e);
  if (e.ctrlKey || e.metaKey) zoomAt(Math.exp(-e.deltaY / 300), sx, sy);
  else { view.panX -= e.deltaX; view.panY -= e.deltaY; draw(); }
}, { passive: false });
window.addEventListener('resize', draw);

// ---- keys ----

// A key on the canvas (keys.js hands it over when no dialog is shown and no
// field has the focus): the drawing tools' keys, Space to pan, undo and redo,
// select all and none, and V for the Selection tool.
export function canvasKey(e) {
  const mod = e.ctrlKey || e.metaKey;
  const key = e.key.toLowerCase();
  if (e.key !== ' ' && drawingKey(e, chooseTool)) return;
  if (e.key === ' ') { pointer.spaceDown = true; e.preventDefault(); }
  else if (mod && key === 'z') { e.preventDefault(); call({ op: e.shiftKey ? 'redo' : 'undo' }); }
  else if (mod && key === 'y') { e.preventDefault(); call({ op: 'redo' }); }
  else if (mod && key === 'a') { e.preventDefault(); call(e.shiftKey ? { op: 'deselect' } : { op: 'edit', edit: { op: 'selectAll' } }); }
  else if (e.key === 'Escape') call({ op: 'deselect' });
  else if (key === 'v') chooseTool('select');
}
window.addEventListener('keyup', (e) => { if (e.key === ' ') pointer.spaceDown = false; });
