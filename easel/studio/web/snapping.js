// Snapping: where the pointer lands is moved to the nearest grid line,
// guide, anchor point, or object edge or centre (the page's too) within
// SNAP_PIXELS on the screen, whatever the zoom. Each kind is switched in the
// View menu (rulers.js). Only the page snaps: the edit it sends carries the
// exact coordinates, so a replay needs no snapping. The lines snapped to are
// shown until the pointer is released.
import { page, placement, view } from './store.js';
import { overlays, toScreen } from './canvas.js';

const SNAP_PIXELS = 6;
const MOST_POINTS = 20000;  // anchor points gathered at most, so a huge drawing stays quick

overlays.push(drawHints);
window.addEventListener('pointerup', () => { placement.hints = []; });

// The anchor points of a path data text (absolute M, L, C, Q, Z as the host writes them).
function anchorsOf(d) {
  const out = [];
  const re = /([MLCQZmlcqz])|(-?\d*\.?\d+(?:e[-+]?\d+)?)/g;
  let cmd = 'M', nums = [];
  const per = { M: 2, L: 2, C: 6, Q: 4 };
  for (const m of d.matchAll(re)) {
    if (m[1]) { cmd = m[1].toUpperCase(); nums = []; continue; }
    nums.push(Number(m[2]));
    const n = per[cmd];
    if (n && nums.length === n) { out.push([nums[n - 2], nums[n - 1]]); nums = []; }
  }
  return out;
}

// What there is to snap to, gathered once per picture and kind of gesture:
// xs and ys (lines), points (anchors).
function targets(excludeSelected) {
  const p = page.scene, s = placement.snap;
  const key = [p.version, excludeSelected, JSON.stringify(s), placement.guides, JSON.stringify(page.state && page.state.guides)].join();
  if (placement.targets && placement.targets.key === key) return placement.targets;
  const xs = [], ys = [], points = [];
  const guides = page.state && page.state.guides;
  if (s.guides && placement.guides && guides) { xs.push(...guides.vertical); ys.push(...guides.horizontal); }
  const { bounds, starts, geom, geoms, mat } = p;
  if (s.objects) { xs.push(0, p.width / 2, p.width); ys.push(0, p.height / 2, p.height); }
  for (const layer of p.layers)
    for (let i = layer.start; i < layer.start + layer.count; i++) {
      if (excludeSelected && p.selected(i)) continue;
      if (s.objects && p.hasBounds(i)) {
        const [l, b, r, t] = bounds.subarray(i * 4, i * 4 + 4);
        xs.push(l, (l + r) / 2, r);
        ys.push(b, (b + t) / 2, t);
      }
      for (let k = starts[i]; s.points && k < starts[i + 1] && points.length < MOST_POINTS; k++) {
        const g = geoms.get(geom[k]);
        if (!g) continue;
        if (!g.anchors) g.anchors = anchorsOf(g.d);
        const m = mat.subarray(k * 6, k * 6 + 6);
        for (const [x, y] of g.anchors) points.push([m[0] * x + m[2] * y + m[4], m[1] * x + m[3] * y + m[5]]);
      }
    }
  placement.targets = { key, xs, ys, points };
  return placement.targets;
}

// The nearest of the lines (and the grid's) to any of the values: [shift, line] or null.
function nearestLine(values, lines, tol) {
  let best = null;
  const g = placement.snap.grid && page.state && page.state.guides ? page.state.guides.gridSpacing : 0;
  for (const v of values) {
    for (const l of lines) if (Math.abs(l - v) <= tol && (!best || Math.abs(l - v) < Math.abs(best[0]))) best = [l - v, l];
    if (g) { const l = Math.round(v / g) * g; if (Math.abs(l - v) <= tol && (!best || Math.abs(l - v) < Math.abs(best[0]))) best = [l - v, l]; }
  }
  return best;
}

// The nearest anchor point to any of the points: [dx, dy, point] or null.
function nearestPoint(pts, anchors, tol) {
  let best = null, bestD = tol;
  for (const [x, y] of pts)
    for (const a of anchors) {
      const d = Math.hypot(a[0] - x, a[1] - y);
      if (d <= bestD) { bestD = d; best = [a[0] - x, a[1] - y, a]; }
    }
  return best;
}

// Snaps the points (moved by [dx, dy]) as one: the first anchor point any of
// them meets, else on each axis the nearest line. Returns the snapped [dx, dy].
function snapPoints(pts, dx, dy, excludeSelected) {
  placement.hints = [];
  if (!page.scene) return [dx, dy];
  const t = targets(excludeSelected), tol = SNAP_PIXELS / view.zoom;
  const moved = pts.map(([x, y]) => [x + dx, y + dy]);
  const point = nearestPoint(moved, t.points, tol);
  if (point) {
    placement.hints = [{ x: point[2][0] }, { y: point[2][1] }];
    return [dx + point[0], dy + point[1]];
  }
  const sx = nearestLine(moved.map((q) => q[0]), t.xs, tol), sy = nearestLine(moved.map((q) => q[1]), t.ys, tol);
  if (sx) placement.hints.push({ x: sx[1] });
  if (sy) placement.hints.push({ y: sy[1] });
  return [dx + (sx ? sx[0] : 0), dy + (sy ? sy[0] : 0)];
}

// A point of a drawing tool (a shape's corner, a pen's anchor), snapped to everything.
export function snapPoint(x, y) { const [dx, dy] = snapPoints([[x, y]], 0, 0, false); return [x + dx, y + dy]; }

// A point dragged with the selection (an anchor point being moved), snapped to what is not selected.
export function snapDragged(x, y) { const [dx, dy] = snapPoints([[x, y]], 0, 0, true); return [x + dx, y + dy]; }

// The Selection tool's move of the selection's box [left, bottom, right, top]
// by [dx, dy]: its edges and centre snapped to what is not selected.
export function snapBox(box, dx, dy) {
  const [l, b, r, t] = box, cx = (l + r) / 2, cy = (b + t) / 2;
  return snapPoints([[l, b], [r, b], [r, t], [l, t], [cx, cy], [cx, b], [cx, t], [l, cy], [r, cy]], dx, dy, true);
}

function drawHints(ctx) {
  if (!placement.hints.length) return;
  const w = ctx.canvas.width, h = ctx.canvas.height;
  ctx.save();
  ctx.strokeStyle = '#e0008c';
  ctx.lineWidth = 1;
  ctx.beginPath();
  for (const hint of placement.hints) {
    if (hint.x !== undefined) { const sx = Math.round(toScreen(hint.x, 0)[0]) + 0.5; ctx.moveTo(sx, 0); ctx.lineTo(sx, h); }
    else { const sy = Math.round(toScreen(0, hint.y)[1]) + 0.5; ctx.moveTo(0, sy); ctx.lineTo(w, sy); }
  }
  ctx.stroke();
  ctx.restore();
}
