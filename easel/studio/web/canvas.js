// The drawing: the document on the canvas, the view (zoom and pan), the
// selection's outlines and the marquee, and finding the object under a point.
import { $, page, setText, view } from './common.js';

export const canvas = $('canvas');
const ctx = canvas.getContext('2d');

export function toScreen(x, y) { return [x * view.zoom + view.panX, (page.scene.height - y) * view.zoom + view.panY]; }
export function toDoc(sx, sy) { return [(sx - view.panX) / view.zoom, page.scene.height - (sy - view.panY) / view.zoom]; }

export function setScene(s) {
  for (const layer of s.layers)
    for (const o of layer.art)
      for (const p of o.p) p.path = new Path2D(p.d);
  const first = !page.scene;
  page.scene = s;
  if (first) fit();
  draw();
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

export function draw() {
  const scene = page.scene;
  if (!scene) return;
  const dpr = window.devicePixelRatio || 1;
  const r = $('view').getBoundingClientRect();
  if (canvas.width !== Math.round(r.width * dpr) || canvas.height !== Math.round(r.height * dpr)) {
    canvas.width = Math.round(r.width * dpr);
    canvas.height = Math.round(r.height * dpr);
  }
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
  ctx.fillRect(view.panX, view.panY, scene.width * view.zoom, scene.height * view.zoom);
  ctx.shadowBlur = 0;
  ctx.shadowColor = 'transparent';
  ctx.setTransform(z, 0, 0, -z, view.panX * dpr, (view.panY + scene.height * view.zoom) * dpr);
  const selected = [];
  // Copies mostly share their paint: the context is told only of changes.
  let alpha = 1, op = 'source-over', fill = null, stroke = null, width = null;
  for (const layer of scene.layers)
    for (const o of layer.art) {
      for (const p of o.p) {
        const a = p.o ?? 1, b = p.b ? blendOp(p.b) : 'source-over';
        if (a !== alpha) ctx.globalAlpha = alpha = a;
        if (b !== op) ctx.globalCompositeOperation = op = b;
        if (p.f) {
          if (p.f !== fill) ctx.fillStyle = fill = p.f;
          ctx.fill(p.path, p.eo ? 'evenodd' : 'nonzero');
        }
        if (p.s) {
          if (p.s !== stroke) ctx.strokeStyle = stroke = p.s;
          const w = p.w || 0.0001;
          if (w !== width) ctx.lineWidth = width = w;
          ctx.stroke(p.path);
        }
      }
      if (o.sel) selected.push(o);
    }
  ctx.globalAlpha = 1;
  ctx.globalCompositeOperation = 'source-over';
  // Selection: outlines and bounding boxes in screen pixels.
  ctx.strokeStyle = '#1a73e8';
  for (const o of selected) {
    ctx.lineWidth = 1 / view.zoom;
    for (const p of o.p) ctx.stroke(p.path);
  }
  ctx.setTransform(dpr, 0, 0, dpr, 0, 0);
  ctx.lineWidth = 1;
  for (const o of selected) {
    if (!o.b) continue;
    const [x0, y0] = toScreen(o.b[0], o.b[3]);
    const [x1, y1] = toScreen(o.b[2], o.b[1]);
    ctx.strokeRect(Math.round(x0) + 0.5, Math.round(y0) + 0.5, Math.round(x1 - x0), Math.round(y1 - y0));
  }
  const marquee = page.marquee;
  if (marquee) {
    ctx.setLineDash([4, 3]);
    ctx.strokeStyle = '#333';
    ctx.strokeRect(marquee.x0, marquee.y0, marquee.x1 - marquee.x0, marquee.y1 - marquee.y0);
    ctx.setLineDash([]);
  }
  setText($('zoom'), Math.round(view.zoom * 100) + '%');
  page.pictures++;
}

function blendOp(name) {
  const map = { normal: 'source-over', 'soft-light': 'soft-light', 'hard-light': 'hard-light',
                'color-dodge': 'color-dodge', 'color-burn': 'color-burn' };
  return map[name] || name;
}

// The top-most object under a point of the document.
export function hit(x, y) {
  const scene = page.scene;
  ctx.setTransform(1, 0, 0, 1, 0, 0);
  const slack = 4 / view.zoom;
  for (let l = scene.layers.length - 1; l >= 0; l--) {
    if (scene.layers[l].locked) continue;
    const art = scene.layers[l].art;
    for (let i = art.length - 1; i >= 0; i--) {
      const o = art[i];
      if (o.locked) continue;
      for (let k = o.p.length - 1; k >= 0; k--) {
        const p = o.p[k];
        if (p.f && ctx.isPointInPath(p.path, x, y, p.eo ? 'evenodd' : 'nonzero')) return o;
        ctx.lineWidth = Math.max(p.w || 0, slack);
        if (ctx.isPointInStroke(p.path, x, y)) return o;
      }
    }
  }
  return null;
}

// The objects of unlocked layers whose bounds meet a rectangle of the document.
export function objectsIn(ax, ay, bx, by) {
  const ids = [];
  for (const layer of page.scene.layers)
    if (!layer.locked)
      for (const o of layer.art)
        if (o.b && !o.locked && o.b[0] <= bx && o.b[2] >= ax && o.b[1] <= by && o.b[3] >= ay) ids.push(o.id);
  return ids;
}
