// The drawing: the document on the canvas, the view (zoom and pan), the
// selection's outlines and the marquee on a canvas above it (so neither
// costs a redraw of the document), and finding the object under a point.
// Every shape is its geometry's cached Path2D drawn through its matrix.
import { $, page, setText, view } from './common.js';
import { paintGradient, paintText } from './paints.js';

export const canvas = $('canvas');
const overlay = $('overlay');
const ctx = canvas.getContext('2d');
const octx = overlay.getContext('2d');

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

// The scale a matrix gives line widths, or 0 when it is not a similarity
// (its strokes are then drawn from a transformed copy of the path).
function similarScale(a, b, c, d) {
  const sx = a * a + b * b, sy = c * c + d * d;
  if (Math.abs(sx - sy) > 1e-6 * (sx + sy) || Math.abs(a * c + b * d) > 1e-6 * (sx + sy)) return 0;
  return Math.sqrt(sx);
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
  const z = view.zoom * dpr;
  // The page, at true proportions.
  ctx.setTransform(dpr, 0, 0, dpr, 0, 0);
  ctx.shadowColor = 'rgba(0,0,0,.4)';
  ctx.shadowBlur = 6;
  ctx.fillStyle = '#fff';
  ctx.fillRect(view.panX, view.panY, p.width * view.zoom, p.height * view.zoom);
  ctx.shadowBlur = 0;
  ctx.shadowColor = 'transparent';
  // Document to device pixels: x * z + ox, -y * z + oy.
  const ox = view.panX * dpr, oy = (view.panY + p.height * view.zoom) * dpr;
  const W = canvas.width, H = canvas.height;
  const { mat, geom, style, opacity, blend, bounds, starts, geoms, styles, blends } = p;
  // Copies mostly share their paint: the context is told only of changes.
  let alpha = 1, op = 'source-over', fill = null, stroke = null, width = null;
  for (const layer of p.layers)
    for (let i = layer.start; i < layer.start + layer.count; i++) {
      if (p.hasBounds(i)) {
        // Objects off the canvas are not drawn (strokes may reach a little past the bounds).
        const x0 = bounds[i * 4] * z + ox, x1 = bounds[i * 4 + 2] * z + ox;
        const y0 = oy - bounds[i * 4 + 3] * z, y1 = oy - bounds[i * 4 + 1] * z;
        if (x1 < -50 || y1 < -50 || x0 > W + 50 || y0 > H + 50) continue;
      }
      for (let s = starts[i]; s < starts[i + 1]; s++) {
        const st = styles.get(style[s]);
        const g = geoms.get(geom[s]);
        if (!st || !g) continue;
        const alphaNow = opacity[s], b = blend[s] ? blendOp(blends.get(blend[s])) : 'source-over';
        if (alphaNow !== alpha) ctx.globalAlpha = alpha = alphaNow;
        if (b !== op) ctx.globalCompositeOperation = op = b;
        const k = s * 6, ma = mat[k], mb = mat[k + 1], mc = mat[k + 2], md = mat[k + 3];
        if (st.t || st.fg || st.sg) {
          special(st, g.path, mat, k, z, ox, oy, p.hasBounds(i) ? bounds.subarray(i * 4, i * 4 + 4) : null);
          fill = stroke = width = null;
          continue;
        }
        ctx.setTransform(z * ma, -z * mb, z * mc, -z * md, z * mat[k + 4] + ox, oy - z * mat[k + 5]);
        if (st.f) {
          if (st.f !== fill) ctx.fillStyle = fill = st.f;
          ctx.fill(g.path, st.eo ? 'evenodd' : 'nonzero');
        }
        if (st.s) {
          if (st.s !== stroke) ctx.strokeStyle = stroke = st.s;
          const scale = similarScale(ma, mb, mc, md);
          let w = st.w || 0.0001;
          if (scale > 0) {
            w /= scale;
            if (w !== width) ctx.lineWidth = width = w;
            ctx.stroke(g.path);
          } else {
            ctx.setTransform(z, 0, 0, -z, ox, oy);
            if (w !== width) ctx.lineWidth = width = w;
            ctx.stroke(transformed(g.path, mat, k));
          }
        }
      }
    }
  setText($('zoom'), Math.round(view.zoom * 100) + '%');
  page.pictures++;
  drawOverlay();
}

// Text and gradient paint (paints.js); plain colours are drawn inline above.
function special(st, path, mat, k, z, ox, oy, box) {
  const m = Array.from(mat.subarray(k, k + 6));
  const page = [z, 0, 0, -z, ox, oy];
  const device = [z * m[0], -z * m[1], z * m[2], -z * m[3], z * m[4] + ox, oy - z * m[5]];
  if (st.t) { paintText(ctx, st.t, st, device); return; }
  const rule = st.eo ? 'evenodd' : 'nonzero';
  if (st.f && !(st.fg && paintGradient(ctx, path, m, st.fg, page, box, { fill: true, rule }))) {
    ctx.setTransform(device[0], device[1], device[2], device[3], device[4], device[5]);
    ctx.fillStyle = st.f;
    ctx.fill(path, rule);
  }
  if (st.s && !(st.sg && paintGradient(ctx, path, m, st.sg, page, box, { width: st.w || 0.0001 }))) {
    ctx.setTransform(z, 0, 0, -z, ox, oy);
    ctx.strokeStyle = st.s;
    ctx.lineWidth = st.w || 0.0001;
    ctx.stroke(transformed(path, mat, k));
  }
}

function transformed(path, mat, k) {
  const t = new Path2D();
  t.addPath(path, { a: mat[k], b: mat[k + 1], c: mat[k + 2], d: mat[k + 3], e: mat[k + 4], f: mat[k + 5] });
  return t;
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
  const { mat, geom, starts, geoms, bounds } = p;
  octx.strokeStyle = '#1a73e8';
  const selected = [];
  for (const layer of p.layers)
    for (let i = layer.start; i < layer.start + layer.count; i++) if (p.selected(i)) selected.push(i);
  for (const i of selected)
    for (let s = starts[i]; s < starts[i + 1]; s++) {
      const g = geoms.get(geom[s]);
      if (!g) continue;
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
