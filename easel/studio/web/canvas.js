// The drawing: the document on the canvas, the view (zoom and pan), the
// selection's outlines and the marquee on a canvas above it (so neither
// costs a redraw of the document), and finding the object under a point.
// Every shape is its geometry's cached Path2D drawn through its matrix, or
// its sprite drawn by WebGL (gl.js).
import { $, setText } from './common.js';
import { page, typing, view } from './store.js';
import { paintShape, transformed } from './paints.js';
import { createRenderer } from './gl.js';

export const canvas = $('canvas');
const overlay = $('overlay');
const ctx = canvas.getContext('2d');
const octx = overlay.getContext('2d');

// The document's shapes are drawn with WebGL (gl.js) when the picture has
// at least GL_FROM shapes: below that Canvas 2D is as fast or faster (a
// WebGL frame has a fixed cost), above it WebGL is (bench/studio_move.mjs).
// The address's ?renderer=gl or ?renderer=2d asks for one renderer always;
// without WebGL 2 every frame is Canvas 2D. page.renderer is the renderer
// of the last frame.
const GL_FROM = 5000;
const wanted = new URLSearchParams(location.search).get('renderer') || 'auto';
const gl = wanted !== '2d' ? createRenderer($('gl')) : null;

export function toScreen(x, y) { return [x * view.zoom + view.panX, (page.scene.height - y) * view.zoom + view.panY]; }
export function toDoc(sx, sy) { return [(sx - view.panX) / view.zoom, page.scene.height - (sy - view.panY) / view.zoom]; }

// A new picture from the host: the document is drawn again only when more
// than the selection changed.
export function setScene(picture) {
  const first = !page.scene;
  page.scene = picture;
  if (first) fit();
  else if (picture.drawn) draw();
  else drawOverlay();
}

export function fit() {
  const scene = page.scene;
  if (!scene) return;
  const r = $('view').getBoundingClientRect();
  view.zoom = Math.min((r.width - 40) / scene.width, (r.height - 40) / scene.height);
  view.panX = (r.width - scene.width * view.zoom) / 2;
  view.panY = (r.height - scene.height * view.zoom) / 2;
  draw();
}

export function zoomAt(factor, sx, sy) {
  const z = Math.min(64, Math.max(0.02, view.zoom * factor));
  const [x, y] = toDoc(sx, sy);
  view.zoom = z;
  view.panX = sx - x * z;
  view.panY = sy - (page.scene.height - y) * z;
  draw();
}

// What the drawing tools show over the drawing (drawing.js), each drawn in screen pixels.
export const overlays = [];

function blendOp(name) {
  const map = { normal: 'source-over', 'soft-light': 'soft-light', 'hard-light': 'hard-light',
                'color-dodge': 'color-dodge', 'color-burn': 'color-burn' };
  return map[name] || name;
}

function sizeCanvas(c, r, dpr) {
  if (c.width !== Math.round(r.width * dpr) || c.height !== Math.round(r.height * dpr)) {
    c.width = Math.round(r.width * dpr);
    c.height = Math.round(r.height * dpr);
  }
}

export function draw() {
  const p = page.scene;
  if (!p) return;
  const dpr = window.devicePixelRatio || 1;
  const r = $('view').getBoundingClientRect();
  sizeCanvas(canvas, r, dpr);
  ctx.setTransform(1, 0, 0, 1, 0, 0);
  ctx.globalAlpha = 1;
  ctx.globalCompositeOperation = 'source-over';
  ctx.clearRect(0, 0, canvas.width, canvas.height);
  // The page, at true proportions.
  ctx.setTransform(dpr, 0, 0, dpr, 0, 0);
  ctx.shadowColor = 'rgba(0,0,0,.4)';
  ctx.shadowBlur = 6;
  ctx.fillStyle = '#fff';
  ctx.fillRect(view.panX, view.panY, p.width * view.zoom, p.height * view.zoom);
  ctx.shadowBlur = 0;
  ctx.shadowColor = 'transparent';
  // Document to device pixels: x * z + ox, -y * z + oy.
  const z = view.zoom * dpr;
  const ox = view.panX * dpr, oy = (view.panY + p.height * view.zoom) * dpr;
  // WebGL draws the shapes on its canvas above this one when it can draw
  // the whole picture exactly; otherwise this canvas draws them.
  if (gl && !typing.editing && (wanted === 'gl' || p.starts[p.n] >= GL_FROM) && gl.draw(p, canvas.width, canvas.height, z, ox, oy))
    page.renderer = 'gl';
  else {
    if (gl) gl.clear(canvas.width, canvas.height);
    draw2d(p, z, ox, oy);
    page.renderer = '2d';
  }
  setText($('zoom'), Math.round(view.zoom * 100) + '%');
  page.pictures++;
  drawOverlay();
}

function draw2d(p, z, ox, oy) {
  const W = canvas.width, H = canvas.height;
  const { geom, style, opacity, blend, bounds, starts, geoms, styles, blends, mat } = p;
  // Copies mostly share their paint: the context is told only of changes.
  let alpha = 1, op = 'source-over';
  const cache = { fill: null, stroke: null, width: null };
  for (const layer of p.layers)
    for (let i = layer.start; i < layer.start + layer.count; i++) {
      // Text being edited in place is shown by its editor alone.
      if (p.offCanvas(i, z, ox, oy, W, H) || (typing.editing && p.ids[i] === typing.editing.id)) continue;
      for (let s = starts[i]; s < starts[i + 1]; s++) {
        const st = styles.get(style[s]);
        const g = geoms.get(geom[s]);
        if (!st || !g) continue;
        if (st.clip || st.unclip) {
          clipShape(st, g.path, mat, s * 6, z, ox, oy);
          // Ending a clip restores the paint the context had when it began.
          ctx.globalAlpha = alpha;
          ctx.globalCompositeOperation = op;
          cache.fill = cache.stroke = cache.width = null;
          continue;
        }
        const alphaNow = opacity[s], b = blend[s] ? blendOp(blends.get(blend[s])) : 'source-over';
        if (alphaNow !== alpha) ctx.globalAlpha = alpha = alphaNow;
        if (b !== op) ctx.globalCompositeOperation = op = b;
        paintShape(ctx, cache, st, g.path, mat, s * 6, z, ox, oy, p.hasBounds(i) ? bounds.subarray(i * 4, i * 4 + 4) : null);
      }
    }
}

// A clip group's members are drawn between a shape of style {clip} (its
// clipping path: the context saved, then clipped by it) and one of style
// {unclip} (the context restored).
function clipShape(st, path, mat, k, z, ox, oy) {
  if (st.unclip) {
    ctx.restore();
    return;
  }
  ctx.save();
  ctx.setTransform(z * mat[k], -z * mat[k + 1], z * mat[k + 2], -z * mat[k + 3], z * mat[k + 4] + ox, oy - z * mat[k + 5]);
  ctx.clip(path, st.eo ? 'evenodd' : 'nonzero');
}

// Selection outlines and bounding boxes, and the marquee, in screen pixels.
export function drawOverlay() {
  const p = page.scene;
  if (!p) return;
  const dpr = window.devicePixelRatio || 1;
  const r = $('view').getBoundingClientRect();
  sizeCanvas(overlay, r, dpr);
  octx.setTransform(1, 0, 0, 1, 0, 0);
  octx.clearRect(0, 0, overlay.width, overlay.height);
  const z = view.zoom * dpr;
  const ox = view.panX * dpr, oy = (view.panY + p.height * view.zoom) * dpr;
  const { mat, geom, style, starts, geoms, styles, bounds } = p;
  octx.strokeStyle = '#1a73e8';
  const selected = [];
  for (const layer of p.layers)
    for (let i = layer.start; i < layer.start + layer.count; i++) if (p.selected(i)) selected.push(i);
  for (const i of selected)
    // A clip group shows its clipping path's outline, not its members'.
    for (let s = starts[i], clipped = 0; s < starts[i + 1]; s++) {
      const g = geoms.get(geom[s]), st = styles.get(style[s]) || {};
      if (st.unclip) clipped--;
      if (!g || st.unclip || (clipped && !st.clip)) continue;
      if (st.clip) clipped++;
      const k = s * 6;
      octx.setTransform(z, 0, 0, -z, ox, oy);
      octx.lineWidth = 1 / view.zoom;
      octx.stroke(transformed(g.path, mat, k));
    }
  octx.setTransform(dpr, 0, 0, dpr, 0, 0);
  octx.lineWidth = 1;
  for (const i of selected) {
    if (!p.hasBounds(i)) continue;
    const [x0, y0] = toScreen(bounds[i * 4], bounds[i * 4 + 3]);
    const [x1, y1] = toScreen(bounds[i * 4 + 2], bounds[i * 4 + 1]);
    octx.strokeRect(Math.round(x0) + 0.5, Math.round(y0) + 0.5, Math.round(x1 - x0), Math.round(y1 - y0));
  }
  const marquee = page.marquee;
  if (marquee) {
    octx.setLineDash([4, 3]);
    octx.strokeStyle = '#333';
    octx.strokeRect(marquee.x0, marquee.y0, marquee.x1 - marquee.x0, marquee.y1 - marquee.y0);
    octx.setLineDash([]);
  }
  octx.setTransform(dpr, 0, 0, dpr, 0, 0);
  for (const f of overlays) f(octx);
}

// For tests: the document's device pixels from (x, y), w x h, as shown (the
// 2D canvas with the WebGL layer over it), as RGBA bytes; drawn afresh, since
// a WebGL canvas can be read only in the task that drew it.
export function shownPixels(x, y, w, h) {
  draw();
  const c = document.createElement('canvas');
  c.width = w;
  c.height = h;
  const t = c.getContext('2d');
  t.drawImage(canvas, -x, -y);
  if (page.renderer === 'gl') t.drawImage($('gl'), -x, -y);
  return Array.from(t.getImageData(0, 0, w, h).data);
}

// The top-most object under a point of the document, as {id, index}.
export function hit(x, y) {
  const p = page.scene;
  ctx.setTransform(1, 0, 0, 1, 0, 0);
  const slack = 4 / view.zoom;
  const { mat, geom, style, starts, geoms, styles, bounds } = p;
  for (let l = p.layers.length - 1; l >= 0; l--) {
    const layer = p.layers[l];
    if (layer.locked) continue;
    for (let i = layer.start + layer.count - 1; i >= layer.start; i--) {
      if (p.locked(i)) continue;
      if (p.hasBounds(i) && (x < bounds[i * 4] - slack - 50 || x > bounds[i * 4 + 2] + slack + 50 ||
                             y < bounds[i * 4 + 1] - slack - 50 || y > bounds[i * 4 + 3] + slack + 50)) continue;
      for (let s = starts[i + 1] - 1; s >= starts[i]; s--) {
        const st = styles.get(style[s]), g = geoms.get(geom[s]);
        if (!st || !g) continue;
        // The point in the geometry's own coordinates.
        const k = s * 6, a = mat[k], b = mat[k + 1], c = mat[k + 2], d = mat[k + 3];
        const det = a * d - b * c;
        if (!det) continue;
        const dx = x - mat[k + 4], dy = y - mat[k + 5];
        const lx = (d * dx - c * dy) / det, ly = (a * dy - b * dx) / det;
        if ((st.f || st.t) && ctx.isPointInPath(g.path, lx, ly, st.eo ? 'evenodd' : 'nonzero')) return { id: p.ids[i], index: i };
        ctx.lineWidth = Math.max(st.w || 0, slack) / Math.sqrt(Math.abs(det));
        if (ctx.isPointInStroke(g.path, lx, ly)) return { id: p.ids[i], index: i };
      }
    }
  }
  return null;
}

// The objects of unlocked layers whose bounds meet a rectangle of the document.
export function objectsIn(ax, ay, bx, by) {
  const p = page.scene, ids = [], b = p.bounds;
  for (const layer of p.layers)
    if (!layer.locked)
      for (let i = layer.start; i < layer.start + layer.count; i++)
        if (p.hasBounds(i) && !p.locked(i) && b[i * 4] <= bx && b[i * 4 + 2] >= ax && b[i * 4 + 1] <= by && b[i * 4 + 3] >= ay)
          ids.push(p.ids[i]);
  return ids;
}
