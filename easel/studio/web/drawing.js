// Drawing on the canvas: the shape, line, pen and pencil tools, moving,
// scaling and rotating the selection with the Selection tool, and anchor
// points with the Direct Selection tool. Every change is one of the host's
// edits, sent as {"op": "edit", "edit": {...}}; the page only previews.
import { $, note } from './common.js';
import { drawing, page, view } from './store.js';
import { call } from './protocol.js';
import { drawOverlay, hit, objectsIn, overlays, toScreen } from './canvas.js';
import { endTyping, textDown } from './text.js';
import { snapBox, snapDragged, snapPoint } from './snapping.js';

overlays.push(drawTools);
$('view').addEventListener('dblclick', () => { if (drawing.pen) finishPen(false); });

export function edit(e) { return call({ op: 'edit', edit: e }); }

// The tools this module runs, with their keys.
export const drawingTools = [
  { id: 'direct', key: 'a', label: '⇱', title: 'Direct Selection (A): click, Shift-click or marquee anchor points; drag them or their handles' },
  { id: 'pen', key: 'p', label: '✒', title: 'Pen (P): click for corners, drag for smooth points, click the first point to close, Enter to finish' },
  { id: 'pencil', key: 'n', label: '✎', title: 'Pencil (N): draw freehand' },
  { id: 'rectangle', key: 'm', label: '▭', title: 'Rectangle (M): drag; Shift squares, Alt from the centre' },
  { id: 'ellipse', key: 'l', label: '◯', title: 'Ellipse (L): drag; Shift circles, Alt from the centre' },
  { id: 'polygon', key: null, label: '⬡', title: 'Polygon: drag from the centre; Shift keeps it upright' },
  { id: 'star', key: null, label: '★', title: 'Star: drag from the centre; Shift keeps it upright' },
  { id: 'line', key: '\\', label: '╱', title: 'Line (\\): drag; Shift in 45° steps' },
  { id: 'text', key: 't', label: 'T', title: 'Type (T): click for point text, drag a box for area text; click text to edit it, Esc ends' },
];
export const isDrawingTool = (name) => drawingTools.some((t) => t.id === name);

const round = (v) => Math.round(v * 100) / 100;
const pt = (x, y) => [round(x), round(y)];
const px = () => 1 / view.zoom;  // one screen pixel in document points

// ---- gestures: each returns {move(e, x, y), up(e, x, y)} or null ----

export function drawingDown(e, x, y) {
  const tool = page.tool;
  if (tool === 'select') return selectDown(e, x, y);
  if (tool === 'direct') return directDown(e, x, y);
  if (tool === 'pen') return penDown(e, ...snapPoint(x, y));
  if (tool === 'pencil') return pencilDown(x, y);
  if (tool === 'text') return textDown(e, x, y);
  if (isDrawingTool(tool)) return shapeDown(tool, ...snapPoint(x, y));
  return null;
}

function shapeEdit(tool, x0, y0, x, y, e) {
  let dx = x - x0, dy = y - y0;
  const style = { fill: drawing.style.fill, stroke: drawing.style.stroke, strokeWidth: drawing.style.strokeWidth };
  if (tool === 'line') {
    if (e.shiftKey) {
      const a = Math.round(Math.atan2(dy, dx) / (Math.PI / 4)) * (Math.PI / 4), r = Math.hypot(dx, dy);
      dx = r * Math.cos(a);
      dy = r * Math.sin(a);
    }
    return { op: 'create', shape: 'line', from: pt(x0, y0), to: pt(x0 + dx, y0 + dy), stroke: style.stroke, strokeWidth: style.strokeWidth };
  }
  if (tool === 'rectangle' || tool === 'ellipse') {
    if (e.shiftKey) {
      const s = Math.max(Math.abs(dx), Math.abs(dy));
      dx = Math.sign(dx || 1) * s;
      dy = Math.sign(dy || 1) * s;
    }
    const from = e.altKey ? pt(x0 - dx, y0 - dy) : pt(x0, y0);
    const r = { op: 'create', shape: tool, from, to: pt(x0 + dx, y0 + dy), ...style };
    if (tool === 'rectangle' && drawing.style.radius > 0) r.radius = drawing.style.radius;
    return r;
  }
  const radius = round(Math.hypot(dx, dy));
  const rotation = e.shiftKey ? 0 : round(Math.atan2(dy, dx) * 180 / Math.PI - 90);
  const r = { op: 'create', shape: tool, center: pt(x0, y0), radius, rotation, ...style };
  if (tool === 'polygon') r.sides = drawing.style.sides;
  else { r.points = drawing.style.points; r.inner = round(radius * drawing.style.inner); }
  return r;
}

function shapeDown(tool, x0, y0) {
  return {
    move(e, x, y) { drawing.preview = { kind: 'shape', edit: shapeEdit(tool, x0, y0, ...snapPoint(x, y), e) }; drawOverlay(); },
    up(e, x, y) {
      drawing.preview = null;
      [x, y] = snapPoint(x, y);
      if (Math.hypot(x - x0, y - y0) < 2 * px()) { drawOverlay(); return; }
      edit(shapeEdit(tool, x0, y0, x, y, e));
    },
  };
}

function pencilDown(x0, y0) {
  const points = [pt(x0, y0)];
  drawing.preview = { kind: 'points', points };
  return {
    move(e, x, y) {
      const last = points[points.length - 1];
      if (Math.hypot(x - last[0], y - last[1]) >= px()) { points.push(pt(x, y)); drawOverlay(); }
    },
    up() {
      drawing.preview = null;
      if (points.length < 2) { drawOverlay(); return; }
      edit({ op: 'create', shape: 'pencil', points, tolerance: round(Math.max(0.5, 2 * px())), fill: 'none',
             stroke: drawing.style.stroke, strokeWidth: drawing.style.strokeWidth });
    },
  };
}

// The pen keeps its anchors until the path is closed or finished.
function penDown(e, x, y) {
  if (drawing.pen && drawing.pen.anchors.length > 1) {
    const [h, v] = drawing.pen.anchors[0];
    if (Math.hypot(x - h, y - v) < 5 * px()) { finishPen(true); return { move() {}, up() {} }; }
  }
  if (!drawing.pen) drawing.pen = { anchors: [] };
  const a = [round(x), round(y)];
  drawing.pen.anchors.push(a);
  drawing.preview = { kind: 'pen' };
  drawOverlay();
  return {
    move(ev, mx, my) {
      // Dragging pulls the out handle; the in handle mirrors it (Alt breaks them apart).
      if (Math.hypot(mx - a[0], my - a[1]) < 2 * px()) return;
      const inH = ev.altKey && a.length === 6 ? [a[2], a[3]] : [round(2 * a[0] - mx), round(2 * a[1] - my)];
      a.splice(2, 4, ...inH, round(mx), round(my));
      drawOverlay();
    },
    up() {},
  };
}
export function finishPen(closed) {
  if (!drawing.pen) return;
  const points = drawing.pen.anchors;
  drawing.pen = null;
  drawing.preview = null;
  drawOverlay();
  if (points.length < 2) return;
  edit({ op: 'create', shape: 'pen', anchors: points, closed, fill: closed ? drawing.style.fill : 'none',
         stroke: drawing.style.stroke, strokeWidth: drawing.style.strokeWidth });
}

// ---- the Selection tool: move, and the bounding box's handles ----

export function selectionBox() {
  let b = null;
  const p = page.scene, bounds = p.bounds;
  for (const layer of p.layers)
    for (let i = layer.start; i < layer.start + layer.count; i++) {
      if (!p.selected(i) || !p.hasBounds(i)) continue;
      const o = [bounds[i * 4], bounds[i * 4 + 1], bounds[i * 4 + 2], bounds[i * 4 + 3]];
      b = b ? [Math.min(b[0], o[0]), Math.min(b[1], o[1]), Math.max(b[2], o[2]), Math.max(b[3], o[3])] : o;
    }
  return b;  // [left, bottom, right, top]
}

function boxHandle(x, y) {
  const b = selectionBox();
  if (!b) return null;
  const near = 6 * px();
  for (const [hx, hy, ox, oy] of [[b[0], b[1], b[2], b[3]], [b[2], b[1], b[0], b[3]], [b[2], b[3], b[0], b[1]], [b[0], b[3], b[2], b[1]]]) {
    const d = Math.hypot(x - hx, y - hy);
    if (d < near) return { kind: 'scale', hx, hy, ox, oy };
    if (d < 4 * near) return { kind: 'rotate', cx: (b[0] + b[2]) / 2, cy: (b[1] + b[3]) / 2 };
  }
  return null;
}

function selectDown(e, x0, y0) {
  const handle = boxHandle(x0, y0);
  if (handle && handle.kind === 'scale') {
    const { hx, hy, ox, oy } = handle;
    const factors = (e, x, y) => {
      let sx = (x - ox) / ((hx - ox) || 1), sy = (y - oy) / ((hy - oy) || 1);
      if (e.shiftKey) sx = sy = Math.abs(sx) > Math.abs(sy) ? sx : sy;
      return [round(sx * 1000) / 1000 || 0.001, round(sy * 1000) / 1000 || 0.001].map((v) => v === 0 ? 0.001 : v);
    };
    return {
      move(e, x, y) {
        const [sx, sy] = factors(e, x, y);
        drawing.preview = { kind: 'box', text: [sx, sy].map((v) => Math.round(v * 100) + '%').join(' × '), m: [sx, 0, 0, sy, ox - sx * ox, oy - sy * oy] };
        drawOverlay();
      },
      up(e, x, y) { drawing.preview = null; const s = factors(e, x, y); if (s[0] !== 1 || s[1] !== 1) edit({ op: 'scale', by: s, origin: pt(ox, oy) }); else drawOverlay(); },
    };
  }
  const o = hit(x0, y0);
  if (!o && handle && handle.kind === 'rotate') {
    const { cx, cy } = handle;
    const angle = (e, x, y) => {
      let a = (Math.atan2(y - cy, x - cx) - Math.atan2(y0 - cy, x0 - cx)) * 180 / Math.PI;
      if (e.shiftKey) a = Math.round(a / 45) * 45;
      return round(a);
    };
    return {
      move(e, x, y) {
        const a = angle(e, x, y) * Math.PI / 180, c = Math.cos(a), s = Math.sin(a);
        drawing.preview = { kind: 'box', text: angle(e, x, y) + '°', m: [c, s, -s, c, cx - c * cx + s * cy, cy - s * cx - c * cy] };
        drawOverlay();
      },
      up(e, x, y) { drawing.preview = null; const a = angle(e, x, y); if (a) edit({ op: 'rotate', angle: a, origin: pt(cx, cy) }); else drawOverlay(); },
    };
  }
  if (!o) return null;  // the marquee
  // The move waits for the selection it acts on.
  const selecting = !page.scene.selected(o.index) || e.shiftKey ? call({ op: 'select', mode: e.shiftKey ? 'toggle' : 'set', ids: [o.id] }) : null;
  const offset = (e, x, y) => {
    let dx = x - x0, dy = y - y0;
    if (e.shiftKey) { if (Math.abs(dx) > Math.abs(dy)) dy = 0; else dx = 0; }
    const box = selectionBox();
    if (box && !e.shiftKey) [dx, dy] = snapBox(box, dx, dy);
    return pt(dx, dy);
  };
  return {
    move(e, x, y) { const by = offset(e, x, y); drawing.preview = { kind: 'move', by, m: [1, 0, 0, 1, by[0], by[1]] }; drawOverlay(); },
    async up(e, x, y) {
      drawing.preview = null;
      await selecting;  // the box snapped is the new selection's
      const by = offset(e, x, y);
      if (Math.hypot(by[0], by[1]) >= 2 * px()) edit({ op: 'move', by }); else drawOverlay();
    },
  };
}

// ---- the Direct Selection tool ----

export async function loadAnchors() {
  const r = await call({ op: 'anchors' });
  drawing.anchors = r.ok ? r.paths : [];
  drawOverlay();
}

// The document changed some other way (undo, a tool's drag, another file):
// the anchors shown are fetched again, once at a time.
export function anchorsChanged() {
  if (page.tool !== 'direct' || drawing.anchorsLoading) return;
  drawing.anchorsLoading = loadAnchors().finally(() => { drawing.anchorsLoading = null; });
}

function nearAnchor(x, y) {
  const near = 5 * px();
  for (const p of drawing.anchors)
    for (let i = 0; i < p.segments.length; i++) {
      const s = p.segments[i];
      if (Math.hypot(x - s[0], y - s[1]) < near) return { id: p.id, i, kind: 'anchor', s };
      if (s[6] && Math.hypot(x - s[2], y - s[3]) < near) return { id: p.id, i, kind: 'in', s };
      if (s[6] && Math.hypot(x - s[4], y - s[5]) < near) return { id: p.id, i, kind: 'out', s };
    }
  return null;
}

function directDown(e, x0, y0) {
  const a = nearAnchor(x0, y0);
  if (a && a.kind !== 'anchor') {
    return {
      move(ev, x, y) { drawing.preview = { kind: 'handle', a, to: [x, y] }; drawOverlay(); },
      up(ev, x, y) { drawing.preview = null; edit({ op: 'moveHandle', id: a.id, segment: a.i, handle: a.kind, to: pt(x, y) }).then(loadAnchors); },
    };
  }
  if (a) {
    const pick = async () => {
      if (!a.s[6] || e.shiftKey)
        await edit({ op: 'selectPoints', mode: e.shiftKey ? 'toggle' : 'set', paths: [{ id: a.id, segments: [a.i] }] });
      await loadAnchors();
    };
    const picked = pick();
    // The anchor grabbed lands snapped; the other selected ones move with it.
    const by = (x, y) => { const [sx, sy] = snapDragged(a.s[0] + x - x0, a.s[1] + y - y0); return pt(sx - a.s[0], sy - a.s[1]); };
    return {
      move(ev, x, y) { drawing.preview = { kind: 'move', by: by(x, y), points: true }; drawOverlay(); },
      async up(ev, x, y) {
        drawing.preview = null;
        await picked;
        if (Math.hypot(x - x0, y - y0) >= 2 * px()) await edit({ op: 'movePoints', by: by(x, y) });
        loadAnchors();
      },
    };
  }
  const o = hit(x0, y0);
  if (o) {
    // A click on a path shows its anchors (all selected, as the whole path is).
    const shown = call({ op: 'select', mode: e.shiftKey ? 'add' : 'set', ids: [o.id] }).then(loadAnchors);
    return { move() {}, async up() { await shown; } };
  }
  // A marquee picks the anchors inside it, of any path it meets.
  const add = e.shiftKey;
  return {
    move(ev, x, y) { drawing.preview = { kind: 'marquee', x0, y0, x, y }; drawOverlay(); },
    async up(ev, x, y) {
      drawing.preview = null;
      const l = Math.min(x0, x), r = Math.max(x0, x), b = Math.min(y0, y), t = Math.max(y0, y);
      if (r - l < 2 * px() && t - b < 2 * px()) { if (!add) await call({ op: 'deselect' }); loadAnchors(); return; }
      const found = await call({ op: 'anchors', ids: objectsIn(l, b, r, t) });
      const paths = [];
      for (const p of found.ok ? found.paths : []) {
        const segments = [];
        p.segments.forEach((s, i) => { if (s[0] >= l && s[0] <= r && s[1] >= b && s[1] <= t) segments.push(i); });
        if (segments.length) paths.push({ id: p.id, segments });
      }
      if (paths.length) await edit({ op: 'selectPoints', mode: add ? 'add' : 'set', paths });
      else if (!add) await call({ op: 'deselect' });
      loadAnchors();
    },
  };
}

// ---- keys: tools, nudging, the edit shortcuts ----

export function drawingKey(e, chooseTool) {
  const mod = e.ctrlKey || e.metaKey, key = e.key.toLowerCase();
  const arrows = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, 1], ArrowDown: [0, -1] };
  if (drawing.pen && (e.key === 'Enter' || e.key === 'Escape')) { if (e.key === 'Enter') finishPen(false); else { drawing.pen = null; drawing.preview = null; drawOverlay(); } return true; }
  if (arrows[e.key] && !mod) {
    const step = e.shiftKey ? 10 : 1, [dx, dy] = arrows[e.key];
    const by = [dx * step, dy * step];
    edit(page.tool === 'direct' ? { op: 'movePoints', by } : { op: 'move', by }).then(() => page.tool === 'direct' && loadAnchors());
    return true;
  }
  const shortcuts = [
    [mod && key === 'd', { op: 'duplicate', by: [10, -10] }],
    [mod && key === 'c', { op: 'copy' }],
    [mod && key === 'x', { op: 'cut' }],
    [mod && key === 'v', { op: 'paste', by: [10, -10] }],
    [mod && key === 'g' && !e.shiftKey, { op: 'group' }],
    [mod && key === 'g' && e.shiftKey, { op: 'ungroup' }],
    [mod && e.code === 'BracketRight', { op: 'arrange', to: e.shiftKey ? 'front' : 'forward' }],
    [mod && e.code === 'BracketLeft', { op: 'arrange', to: e.shiftKey ? 'back' : 'backward' }],
    [!mod && (e.key === 'Delete' || e.key === 'Backspace'), { op: 'delete' }],
  ];
  for (const [when, op] of shortcuts)
    if (when) { e.preventDefault(); edit(op); return true; }
  if (!mod && !e.altKey) {
    const t = drawingTools.find((d) => d.key === key);
    if (t) { chooseTool(t.id); return true; }
  }
  return false;
}

export function drawingToolChosen(name) {
  if (name !== 'text') endTyping();
  drawing.pen = null;
  drawing.preview = null;
  drawing.anchors = [];
  if (name === 'direct') loadAnchors(); else drawOverlay();
  const t = drawingTools.find((d) => d.id === name);
  if (t) note(t.title);
}

// ---- what the gestures show over the drawing ----

// The selected art's outlines carried by `m` (a document-to-document matrix
// [a, b, c, d, e, f]) as a move, scale or rotation of the Selection tool
// would leave them; at most OUTLINED shapes, so a large selection stays quick.
const OUTLINED = 4000;
function drawMoved(ctx, m) {
  const p = page.scene, dpr = window.devicePixelRatio || 1, z = view.zoom * dpr;
  const screen = new DOMMatrix([z, 0, 0, -z, view.panX * dpr, (view.panY + p.height * view.zoom) * dpr]).multiply(new DOMMatrix(m));
  const { mat, geom, starts, geoms } = p;
  const out = new Path2D();
  let n = 0;
  for (const layer of p.layers)
    for (let i = layer.start; i < layer.start + layer.count && n < OUTLINED; i++) {
      if (!p.selected(i)) continue;
      for (let s = starts[i]; s < starts[i + 1] && n < OUTLINED; s++, n++) {
        const g = geoms.get(geom[s]);
        const k = s * 6;
        if (g) out.addPath(g.path, screen.multiply(new DOMMatrix([mat[k], mat[k + 1], mat[k + 2], mat[k + 3], mat[k + 4], mat[k + 5]])));
      }
    }
  ctx.save();
  ctx.setTransform(1, 0, 0, 1, 0, 0);
  ctx.lineWidth = dpr;
  ctx.stroke(out);
  ctx.restore();
}

function drawTools(ctx) {
  const { anchors, pen, preview } = drawing;
  ctx.save();
  ctx.strokeStyle = '#1a73e8';
  ctx.fillStyle = '#fff';
  ctx.lineWidth = 1;
  const line = (pts, closed) => {
    ctx.beginPath();
    pts.forEach(([x, y], i) => { const [sx, sy] = toScreen(x, y); if (i) ctx.lineTo(sx, sy); else ctx.moveTo(sx, sy); });
    if (closed) ctx.closePath();
    ctx.stroke();
  };
  const dot = (x, y, on) => {
    const [sx, sy] = toScreen(x, y);
    ctx.fillStyle = on ? '#1a73e8' : '#fff';
    ctx.fillRect(sx - 3, sy - 3, 6, 6);
    ctx.strokeRect(sx - 3.5, sy - 3.5, 7, 7);
  };
  for (const p of anchors)
    for (const s of p.segments) {
      if (s[6]) {
        for (const [hx, hy] of [[s[2], s[3]], [s[4], s[5]]]) {
          if (hx === s[0] && hy === s[1]) continue;
          line([[s[0], s[1]], [hx, hy]]);
          const [sx, sy] = toScreen(hx, hy);
          ctx.beginPath();
          ctx.arc(sx, sy, 3, 0, 2 * Math.PI);
          ctx.stroke();
        }
      }
      dot(s[0], s[1], s[6]);
    }
  if (pen) {
    line(pen.anchors.map((a) => [a[0], a[1]]), false);
    for (const a of pen.anchors) dot(a[0], a[1], true);
  }
  if (preview && preview.m) drawMoved(ctx, preview.m);
  if (preview) {
    ctx.setLineDash([4, 3]);
    const e = preview.edit;
    if (preview.kind === 'points') line(preview.points, false);
    else if (preview.kind === 'marquee') line([[preview.x0, preview.y0], [preview.x, preview.y0], [preview.x, preview.y], [preview.x0, preview.y]], true);
    else if (preview.kind === 'handle') line([[preview.a.s[0], preview.a.s[1]], preview.to]);
    else if (preview.kind === 'move') {
      const b = selectionBox();
      if (b && !preview.points) {
        const [dx, dy] = preview.by;
        line([[b[0] + dx, b[1] + dy], [b[2] + dx, b[1] + dy], [b[2] + dx, b[3] + dy], [b[0] + dx, b[3] + dy]], true);
      }
    } else if (preview.kind === 'box') {
      const b = selectionBox();
      if (b) { const [sx, sy] = toScreen(b[2], b[3]); ctx.fillStyle = '#1a73e8'; ctx.fillText(preview.text, sx + 8, sy - 8); }
    } else if (e && (e.shape === 'rectangle' || e.shape === 'ellipse')) {
      line([e.from, [e.to[0], e.from[1]], e.to, [e.from[0], e.to[1]]], true);
    } else if (e && e.shape === 'line') line([e.from, e.to], false);
    else if (e) {
      const n = e.shape === 'polygon' ? e.sides : e.points * 2, pts = [];
      for (let i = 0; i < n; i++) {
        const a = (90 + e.rotation) * Math.PI / 180 + 2 * Math.PI * i / n;
        const r = e.shape === 'star' && i % 2 ? e.inner : e.radius;
        pts.push([e.center[0] + r * Math.cos(a), e.center[1] + r * Math.sin(a)]);
      }
      line(pts, true);
    }
    ctx.setLineDash([]);
  }
  // The selection's bounding box handles for the Selection tool.
  if (page.tool === 'select' && page.scene) {
    const b = selectionBox();
    if (b) for (const [x, y] of [[b[0], b[1]], [b[2], b[1]], [b[2], b[3]], [b[0], b[3]]]) dot(x, y, false);
  }
  ctx.restore();
}

