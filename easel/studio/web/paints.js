// One shape painted on a 2D context (paintShape), for the document canvas
// and for the sprites the WebGL renderer draws from, so both look alike; and
// the paint the canvas cannot take as a plain colour: gradients, drawn in
// their own space on the page, and text, set through its object matrix.
import { typing } from './store.js';

// [a, b, c, d, e, f] of the product x -> p(q(x)).
function multiply(p, q) {
  return [p[0] * q[0] + p[2] * q[1], p[1] * q[0] + p[3] * q[1], p[0] * q[2] + p[2] * q[3],
          p[1] * q[2] + p[3] * q[3], p[0] * q[4] + p[2] * q[5] + p[4], p[1] * q[4] + p[3] * q[5] + p[5]];
}

function invert(m) {
  const det = m[0] * m[3] - m[1] * m[2];
  if (!det || !Number.isFinite(det)) return null;
  return [m[3] / det, -m[1] / det, -m[2] / det, m[0] / det, (m[2] * m[5] - m[3] * m[4]) / det, (m[1] * m[4] - m[0] * m[5]) / det];
}

function rgba(hex, opacity) {
  const v = parseInt(hex.slice(1), 16);
  return `rgba(${v >> 16},${(v >> 8) & 255},${v & 255},${opacity})`;
}

const MAX_PERIODS = 256;

// A canvas gradient in the gradient's own space. Canvas gradients only pad,
// so a repeating or reflecting linear gradient is laid out period by period
// over `range` (the stretch of the gradient line the shape covers).
function canvasGradient(ctx, g, range) {
  const [x1, y1, x2, y2] = g.c;
  if (g.g === 'radial') {
    const [cx, cy, r, fx, fy, fr] = g.c;
    const grad = ctx.createRadialGradient(fx, fy, Math.max(0, fr), cx, cy, Math.max(0, r));
    for (const [o, c, a] of g.st) grad.addColorStop(Math.min(1, Math.max(0, o)), rgba(c, a));
    return grad;
  }
  let t0 = 0, t1 = 1;
  if (g.sp !== 'pad' && range) {
    t0 = Math.floor(range[0]);
    t1 = Math.ceil(range[1]);
    if (t1 - t0 > MAX_PERIODS || t1 <= t0) { t0 = 0; t1 = 1; }
  }
  const dx = x2 - x1, dy = y2 - y1;
  const grad = ctx.createLinearGradient(x1 + dx * t0, y1 + dy * t0, x1 + dx * t1, y1 + dy * t1);
  const span = t1 - t0;
  for (let k = t0; k < t1; k++) {
    const flip = g.sp === 'reflect' && (k & 1) !== 0;
    const stops = flip ? g.st.map(([o, c, a]) => [1 - o, c, a]).reverse() : g.st;
    for (const [o, c, a] of stops) grad.addColorStop(Math.min(1, Math.max(0, (k - t0 + o) / span)), rgba(c, a));
  }
  return grad;
}

// Where along a linear gradient's line (0 at its start, 1 at its end) the
// page box [x0, y0, x1, y1] reaches, through the inverse of its matrix.
function lineRange(g, inv, box) {
  const [x1, y1, x2, y2] = g.c;
  const dx = x2 - x1, dy = y2 - y1, len = dx * dx + dy * dy;
  if (!len) return null;
  let lo = Infinity, hi = -Infinity;
  for (const [x, y] of [[box[0], box[1]], [box[2], box[1]], [box[0], box[3]], [box[2], box[3]]]) {
    const gx = inv[0] * x + inv[2] * y + inv[4], gy = inv[1] * x + inv[3] * y + inv[5];
    const t = ((gx - x1) * dx + (gy - y1) * dy) / len;
    lo = Math.min(lo, t);
    hi = Math.max(hi, t);
  }
  return [lo, hi];
}

// Fills or strokes `path` (drawn through the shape matrix `m`, page units)
// with gradient `g`: the context is put in the gradient's space, where the
// canvas draws gradients, and the path is taken there. `device` maps the
// page to the canvas; `box` is the object's page bounds or null.
export function paintGradient(ctx, path, m, g, device, box, how) {
  const inv = invert(g.m);
  if (!inv) return false;
  const toGradient = multiply(inv, m);
  const p = new Path2D();
  p.addPath(path, { a: toGradient[0], b: toGradient[1], c: toGradient[2], d: toGradient[3], e: toGradient[4], f: toGradient[5] });
  const t = multiply(device, g.m);
  ctx.setTransform(t[0], t[1], t[2], t[3], t[4], t[5]);
  const style = canvasGradient(ctx, g, box && g.g === 'linear' ? lineRange(g, inv, box) : null);
  if (how.fill) {
    ctx.fillStyle = style;
    ctx.fill(p, how.rule);
  } else {
    // Line widths are in page units: the gradient's scale is taken out.
    const scale = Math.sqrt(Math.abs(g.m[0] * g.m[3] - g.m[1] * g.m[2])) || 1;
    ctx.strokeStyle = style;
    ctx.lineWidth = how.width / scale;
    ctx.stroke(p);
  }
  return true;
}

// Text set in its own space: the baseline on the local x axis, glyphs up.
// `device` maps the object's local space (vertical axis up) to the canvas.
// Text an SVG file set in spans is drawn chunk by chunk where they put it,
// text set in lines (`ln`) line by line.
// A text's CSS font with a generic family named as the font the renderer
// draws it with (easel render and the host's layout), when the host said.
export function shownFont(font) {
  const m = /(^|[ ,])(sans-serif|serif|monospace)$/.exec(font);
  const named = m && typing.generic[m[2]];
  return named ? `${font.slice(0, font.length - m[2].length)}"${named}", ${m[2]}` : font;
}

export function paintText(ctx, t, st, device) {
  ctx.setTransform(device[0], device[1], -device[2], -device[3], device[4], device[5]);
  ctx.font = '12px sans-serif';
  ctx.font = shownFont(t.font);  // a font the canvas does not take leaves the one before
  ctx.textBaseline = 'alphabetic';
  ctx.letterSpacing = t.ls || '0px';
  if (t.sp && !t.chunks) t.chunks = spanChunks(ctx, t);
  // Text set line by line: each line where the host's layout put it.
  if (t.ln && !t.chunks) t.chunks = t.ln.map(([s, x, y]) => ({ s, x, y, a: t.a || 'start' }));
  const chunks = t.chunks || [{ s: t.s, x: 0, y: 0, a: t.a || 'start' }];
  for (const c of chunks) {
    ctx.textAlign = c.a;
    if (st.f) {
      ctx.fillStyle = st.f;
      ctx.fillText(c.s, c.x, c.y);
    }
    if (st.s) {
      ctx.strokeStyle = st.s;
      ctx.lineWidth = st.w || 0.0001;
      ctx.strokeText(c.s, c.x, c.y);
    }
  }
}

// The text chunks of spans (SVG markup inside <text>): a chunk starts where a
// span gives an x or y of its own and runs on with the characters after it;
// dx and dy move the pen; text-anchor (attribute or style) aligns a chunk.
// Places are in the text's space from its own x, y (`t.o`), y down as on the
// canvas; em lengths are of the text's font size. Null when the markup does
// not read.
function spanChunks(ctx, t) {
  const doc = new DOMParser().parseFromString(`<text xmlns="http://www.w3.org/2000/svg">${t.sp}</text>`, 'image/svg+xml');
  if (doc.querySelector('parsererror')) return null;
  const size = Number((/([\d.]+)px/.exec(t.font) || [0, 12])[1]) || 12;
  const length = (v) => {
    const m = /^\s*(-?[\d.]+(?:e-?\d+)?)\s*(px|em)?/i.exec(v || '');
    return m ? Number(m[1]) * (m[2] && m[2].toLowerCase() === 'em' ? size : 1) : null;
  };
  const anchorOf = (el, inherited) => {
    const style = /text-anchor\s*:\s*(start|middle|end)/.exec(el.getAttribute('style') || '');
    const a = (style && style[1]) || el.getAttribute('text-anchor') || inherited;
    return a === 'middle' ? 'center' : a === 'end' ? 'end' : a === 'start' ? 'start' : inherited;
  };
  const chunks = [];
  let pen = [t.o[0], t.o[1]], chunk = null;
  const start = (x, y, a) => {
    if (chunk) pen = [chunk.x0 + ctx.measureText(chunk.s).width, chunk.y0];
    chunk = { s: '', x0: x ?? pen[0], y0: y ?? pen[1], a };
    chunks.push(chunk);
  };
  const walk = (el, anchor) => {
    for (const n of el.childNodes) {
      if (n.nodeType === 3 || n.nodeType === 4) {
        if (!chunk) start(null, null, anchor);
        chunk.s += n.nodeValue.replace(/[\r\n]/g, '').replace(/\t/g, ' ');
      } else if (n.nodeType === 1) {
        const a = anchorOf(n, anchor);
        const x = length(n.getAttribute('x')), y = length(n.getAttribute('y'));
        const dx = length(n.getAttribute('dx')) || 0, dy = length(n.getAttribute('dy')) || 0;
        if (x !== null || y !== null || dx || dy || !chunk || a !== chunk.a) {
          if (chunk) pen = [chunk.x0 + ctx.measureText(chunk.s).width, chunk.y0];
          chunk = null;
          start((x ?? pen[0]) + dx, (y ?? pen[1]) + dy, a);
        }
        walk(n, a);
      }
    }
  };
  walk(doc.documentElement, t.a || 'start');
  // Spaces run together; the text's first and last ones go.
  for (const c of chunks) c.s = c.s.replace(/ +/g, ' ');
  if (chunks.length) chunks[0].s = chunks[0].s.replace(/^ /, '');
  if (chunks.length) chunks[chunks.length - 1].s = chunks[chunks.length - 1].s.replace(/ $/, '');
  return chunks.map((c) => ({ s: c.s, x: c.x0 - t.o[0], y: c.y0 - t.o[1], a: c.a }));
}

// The scale a matrix gives line widths, or 0 when it is not a similarity
// (its strokes are then drawn from a transformed copy of the path).
export function similarScale(a, b, c, d) {
  const sx = a * a + b * b, sy = c * c + d * d;
  if (Math.abs(sx - sy) > 1e-6 * (sx + sy) || Math.abs(a * c + b * d) > 1e-6 * (sx + sy)) return 0;
  return Math.sqrt(sx);
}

export function transformed(path, mat, k) {
  const t = new Path2D();
  t.addPath(path, { a: mat[k], b: mat[k + 1], c: mat[k + 2], d: mat[k + 3], e: mat[k + 4], f: mat[k + 5] });
  return t;
}

// Shape s (matrix at mat[k]) with style `st` and geometry `path`, the page
// mapped to the context by x * z + ox, -y * z + oy; `box` is its object's
// page bounds or null. `cache` remembers the plain colours and width the
// context was last given, so copies sharing their paint set them once.
export function paintShape(ctx, cache, st, path, mat, k, z, ox, oy, box) {
  if (st.t || st.fg || st.sg || st.d || st.lc || st.lj || st.ml || st.ar) {
    special(ctx, st, path, mat, k, z, ox, oy, box);
    cache.fill = cache.stroke = cache.width = null;
    return;
  }
  const ma = mat[k], mb = mat[k + 1], mc = mat[k + 2], md = mat[k + 3];
  ctx.setTransform(z * ma, -z * mb, z * mc, -z * md, z * mat[k + 4] + ox, oy - z * mat[k + 5]);
  if (st.f) {
    if (st.f !== cache.fill) ctx.fillStyle = cache.fill = st.f;
    ctx.fill(path, st.eo ? 'evenodd' : 'nonzero');
  }
  if (st.s) {
    if (st.s !== cache.stroke) ctx.strokeStyle = cache.stroke = st.s;
    const scale = similarScale(ma, mb, mc, md);
    let w = st.w || 0.0001;
    if (scale > 0) {
      w /= scale;
      if (w !== cache.width) ctx.lineWidth = cache.width = w;
      ctx.stroke(path);
    } else {
      ctx.setTransform(z, 0, 0, -z, ox, oy);
      if (w !== cache.width) ctx.lineWidth = cache.width = w;
      ctx.stroke(transformed(path, mat, k));
    }
  }
}

// Text and gradient paint; plain colours are drawn by paintShape.
function special(ctx, st, path, mat, k, z, ox, oy, box) {
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
  if (!st.s) return;
  strokeLook(ctx, st);
  if (!(st.sg && paintGradient(ctx, path, m, st.sg, page, box, { width: st.w || 0.0001 }))) {
    ctx.setTransform(z, 0, 0, -z, ox, oy);
    ctx.strokeStyle = st.s;
    ctx.lineWidth = st.w || 0.0001;
    ctx.stroke(transformed(path, mat, k));
  }
  strokeLook(ctx, {});
  if (st.ar) arrowheads(ctx, st, m, page);
}

// Caps, joins, mitre limit and dashes (all in page units), or the canvas's defaults.
function strokeLook(ctx, st) {
  ctx.lineCap = st.lc || 'butt';
  ctx.lineJoin = st.lj || 'miter';
  ctx.miterLimit = st.ml || 10;
  ctx.setLineDash(st.d ? (st.d.length % 2 ? [...st.d, ...st.d] : st.d) : []);
  ctx.lineDashOffset = st.do || 0;
}

// The arrowhead shapes in a 10 x 10 box, the path's end at (refX, 5),
// pointing along +x; 10 units are 4 stroke widths.
const HEADS = {
  triangle: { ref: 2, fill: true, pts: [[0, 0], [10, 5], [0, 10]] },
  open: { ref: 2, fill: false, pts: [[1, 1], [9, 5], [1, 9]] },
  circle: { ref: 5, fill: true, circle: true },
  bar: { ref: 5, fill: true, pts: [[4, 0], [6, 0], [6, 10], [4, 10]] },
};
// st.ar: [[name, h, v, dh, dv]] in the path's coordinates, taken to the page by m.
function arrowheads(ctx, st, m, page) {
  ctx.setTransform(page[0], page[1], page[2], page[3], page[4], page[5]);
  const unit = (st.w || 0) * 0.4;
  for (const [name, h, v, dh, dv] of st.ar) {
    const head = HEADS[name];
    if (!head || !unit) continue;
    const x = m[0] * h + m[2] * v + m[4], y = m[1] * h + m[3] * v + m[5];
    const ux0 = m[0] * dh + m[2] * dv, uy0 = m[1] * dh + m[3] * dv, len = Math.hypot(ux0, uy0);
    if (!len) continue;
    const ux = ux0 / len, uy = uy0 / len;
    const at = (px, py) => [x + ((px - head.ref) * ux - (py - 5) * uy) * unit, y + ((px - head.ref) * uy + (py - 5) * ux) * unit];
    ctx.beginPath();
    if (head.circle) { const [cx, cy] = at(5, 5); ctx.arc(cx, cy, 4 * unit, 0, 2 * Math.PI); }
    else head.pts.forEach(([px, py], i) => { const [sx, sy] = at(px, py); if (i) ctx.lineTo(sx, sy); else ctx.moveTo(sx, sy); });
    if (head.fill) { ctx.closePath(); ctx.fillStyle = st.s; ctx.fill(); }
    else { ctx.strokeStyle = st.s; ctx.lineWidth = 1.5 * unit; ctx.stroke(); }
  }
}
