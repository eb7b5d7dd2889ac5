// The WebGL renderer's sprites (gl.js): each distinct look of a shape painted
// once by Canvas 2D (paintShape, as the 2D renderer paints it) into a texture
// atlas of up to MAX_PAGES pages, shelves filled left to right, at one of
// PHASES x PHASES sub-pixel offsets (or, for gradients and text, at the
// shape's own offset), cut to the pixels painted.
import { paintShape, shownFont } from './paints.js';

export const PHASES = 4;  // sub-pixel offsets per axis: a shape is at most 1/8 pixel off
export const ATLAS = 2048;      // pixels on a side of an atlas page
const MAX_PAGES = 4;
const MAX_SPRITE = 512;  // larger sprites are declined
const GUTTER = 1;        // empty pixels between sprites

// The bounding box of SVG path data of absolute M, L, H, V, C and Z
// commands (what the host sends), or null for anything else.
export function pathBox(d) {
  let x0 = Infinity, y0 = Infinity, x1 = -Infinity, y1 = -Infinity;
  let cmd = '', x = 0, y = 0, expectX = true;
  const re = /([A-Za-z])|([-+]?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?)/g;
  const add = (px, py) => {
    if (px < x0) x0 = px; if (px > x1) x1 = px;
    if (py < y0) y0 = py; if (py > y1) y1 = py;
  };
  for (let m; (m = re.exec(d));) {
    if (m[1]) {
      cmd = m[1];
      if ('MLCHVZ'.indexOf(cmd) < 0) return null;
      expectX = true;
      continue;
    }
    const v = Number(m[2]);
    if (cmd === 'H') add(x = v, y);
    else if (cmd === 'V') add(x, y = v);
    else if (cmd === 'M' || cmd === 'L' || cmd === 'C') {
      if (expectX) x = v; else add(x, y = v);
      expectX = !expectX;
    } else return null;
  }
  return x0 <= x1 ? [x0, y0, x1, y1] : null;
}

// An empty atlas for the WebGL context gl. Its pages: a texture, the 2D
// canvas its sprites are painted on first, the shelf being filled and the
// rows painted since the last upload. Its looks by geometry id, then style
// id: lists of {o, a, b, c, d, tx, ty, placed, sprites}.
export function createAtlas(gl) {
  return { gl, pages: [], looks: new Map(), textExtents: new WeakMap() };
}

function newPage(atlas) {
  const gl = atlas.gl;
  const tex = gl.createTexture();
  gl.bindTexture(gl.TEXTURE_2D, tex);
  gl.texStorage2D(gl.TEXTURE_2D, 1, gl.RGBA8, ATLAS, ATLAS);
  for (const [k, v] of [[gl.TEXTURE_MIN_FILTER, gl.NEAREST], [gl.TEXTURE_MAG_FILTER, gl.NEAREST],
                        [gl.TEXTURE_WRAP_S, gl.CLAMP_TO_EDGE], [gl.TEXTURE_WRAP_T, gl.CLAMP_TO_EDGE]])
    gl.texParameteri(gl.TEXTURE_2D, k, v);
  const paper = document.createElement('canvas');
  paper.width = paper.height = ATLAS;
  const page = { tex, paper, ctx: paper.getContext('2d', { willReadFrequently: true }), x: 0, y: 0, rowH: 0, dirty0: ATLAS, dirty1: 0 };
  atlas.pages.push(page);
  return page;
}

// Every sprite forgotten (a new zoom, or a full atlas starting again).
export function resetAtlas(atlas) {
  atlas.looks = new Map();
  atlas.textExtents = new WeakMap();
  for (const page of atlas.pages) {
    page.ctx.setTransform(1, 0, 0, 1, 0, 0);
    page.ctx.clearRect(0, 0, ATLAS, ATLAS);
    page.x = page.y = page.rowH = 0;
    page.dirty0 = 0;
    page.dirty1 = ATLAS;
  }
}

// Room for a w x h sprite: [page index, x, y], or null when every page is full.
function allocate(atlas, w, h) {
  const pages = atlas.pages;
  for (let i = 0; i <= pages.length; i++) {
    if (i === pages.length && (pages.length >= MAX_PAGES || !newPage(atlas))) return null;
    const pg = pages[i];
    if (pg.x + w > ATLAS) { pg.y += pg.rowH + GUTTER; pg.x = 0; pg.rowH = 0; }
    if (pg.y + h > ATLAS) continue;
    const r = [i, pg.x, pg.y];
    pg.x += w + GUTTER;
    pg.rowH = Math.max(pg.rowH, h);
    pg.dirty0 = Math.min(pg.dirty0, pg.y);
    pg.dirty1 = Math.max(pg.dirty1, pg.y + h);
    return r;
  }
  return null;
}

// The device pixels shape s covers at sub-pixel offset (fx, fy), from its
// whole-pixel origin: [ix, iy, w, h], or null when its geometry cannot be measured.
function spriteRect(atlas, p, s, st, g, fx, fy, z) {
  if (g.box === undefined) g.box = pathBox(g.d);
  if (!g.box) return null;
  const k = s * 6, mat = p.mat;
  const a = z * mat[k], b = -z * mat[k + 1], c = z * mat[k + 2], d = -z * mat[k + 3];
  let [lx0, ly0, lx1, ly1] = g.box;
  let margin = 2;
  if (st.t) {
    // Glyphs reach past the text's box: its extent as set, with room for hinting and strokes.
    const t = textExtent(atlas, st);
    lx0 = Math.min(lx0, t[0]); ly0 = Math.min(ly0, t[1]); lx1 = Math.max(lx1, t[2]); ly1 = Math.max(ly1, t[3]);
    const pad = 0.25 * (ly1 - ly0) + 5 * (st.w || 0);
    lx0 -= pad; ly0 -= pad; lx1 += pad; ly1 += pad;
  } else if (st.s) {
    // Miter joins reach up to 10 half widths past the path.
    let w = (st.w || 0) * z;
    if (st.sg) {
      const m = st.sg.m, det = Math.sqrt(Math.abs(m[0] * m[3] - m[1] * m[2])) || 1;
      w *= (Math.abs(m[0]) + Math.abs(m[1]) + Math.abs(m[2]) + Math.abs(m[3])) / det;
    }
    margin += 5 * w;
  }
  let x0 = Infinity, y0 = Infinity, x1 = -Infinity, y1 = -Infinity;
  for (const [lx, ly] of [[lx0, ly0], [lx1, ly0], [lx0, ly1], [lx1, ly1]]) {
    const X = a * lx + c * ly + fx, Y = b * lx + d * ly + fy;
    x0 = Math.min(x0, X); x1 = Math.max(x1, X); y0 = Math.min(y0, Y); y1 = Math.max(y1, Y);
  }
  const ix = Math.floor(x0 - margin), iy = Math.floor(y0 - margin);
  return [ix, iy, Math.ceil(x1 + margin) - ix, Math.ceil(y1 + margin) - iy];
}

// The sprite of shape s at sub-pixel offset (fx, fy): {page, u, v, x, y, w, h}
// with (x, y) its top left from the shape's whole-pixel origin; null when
// it cannot be drawn here, false when the atlas is full.
export function paintSprite(atlas, p, s, st, g, look, fx, fy, box, z) {
  const rect = spriteRect(atlas, p, s, st, g, fx, fy, z);
  if (!rect) return null;
  const [ix, iy, w, h] = rect;
  if (!(w <= MAX_SPRITE && h <= MAX_SPRITE)) return null;
  const room = allocate(atlas, w, h);
  if (!room) return false;
  const [pi, u, v] = room;
  const k = s * 6, mat = p.mat;
  const ctx = atlas.pages[pi].ctx;
  ctx.save();
  ctx.setTransform(1, 0, 0, 1, 0, 0);
  ctx.beginPath();
  ctx.rect(u, v, w, h);
  ctx.clip();
  ctx.globalAlpha = look.o;
  // The page mapped so that the shape's origin lands at (u - ix + fx, v - iy + fy).
  const ox = u - ix + fx - z * mat[k + 4], oy = v - iy + fy + z * mat[k + 5];
  paintShape(ctx, { fill: null, stroke: null, width: null }, st, g.path, mat, k, z, ox, oy, box);
  ctx.restore();
  // The quad is cut to the pixels painted; paint reaching the cell's edge
  // may have been cut off, and such a shape is left to the 2D canvas.
  const alpha = ctx.getImageData(u, v, w, h).data;
  let px0 = w, py0 = h, px1 = -1, py1 = -1;
  for (let yy = 0, i = 3; yy < h; yy++)
    for (let xx = 0; xx < w; xx++, i += 4)
      if (alpha[i]) {
        if (xx < px0) px0 = xx; if (xx > px1) px1 = xx;
        if (yy < py0) py0 = yy; if (yy > py1) py1 = yy;
      }
  if (px1 < 0) return { page: pi, u, v, x: 0, y: 0, w: 0, h: 0 };
  if (px0 === 0 || py0 === 0 || px1 === w - 1 || py1 === h - 1) return null;
  return { page: pi, u: u + px0, v: v + py0, x: ix + px0, y: iy + py0, w: px1 - px0 + 1, h: py1 - py0 + 1 };
}

// The text's extent in its local box's coordinates (vertical axis up), by style.
function textExtent(atlas, st) {
  const known = atlas.textExtents.get(st);
  if (known) return known;
  const ctx = (atlas.pages[0] || newPage(atlas)).ctx, t = st.t;
  ctx.save();
  ctx.font = '12px sans-serif';
  ctx.font = shownFont(t.font);
  ctx.textAlign = t.a || 'start';
  ctx.textBaseline = 'alphabetic';
  ctx.letterSpacing = t.ls || '0px';
  const m = ctx.measureText(t.s);
  ctx.restore();
  const e = [-m.actualBoundingBoxLeft, -m.actualBoundingBoxDescent, m.actualBoundingBoxRight, m.actualBoundingBoxAscent];
  atlas.textExtents.set(st, e);
  return e;
}

// The look of shape s (k = s * 6, its matrix): found, or a new one without sprites.
export function lookOf(atlas, p, s, k) {
  const gid = p.geom[s], sid = p.style[s], mat = p.mat;
  let byStyle = atlas.looks.get(gid);
  if (!byStyle) atlas.looks.set(gid, byStyle = new Map());
  let list = byStyle.get(sid);
  if (!list) byStyle.set(sid, list = []);
  const o = p.opacity[s], a = mat[k], b = mat[k + 1], c = mat[k + 2], d = mat[k + 3];
  const st = p.styles.get(sid);
  const placed = !!(st.fg || st.sg || st.t);
  const tx = placed ? mat[k + 4] : 0, ty = placed ? mat[k + 5] : 0;
  for (const l of list)
    if (l.o === o && l.a === a && l.b === b && l.c === c && l.d === d && l.tx === tx && l.ty === ty) return l;
  const l = { o, a, b, c, d, tx, ty, placed, sprites: placed ? null : new Array(PHASES * PHASES).fill(undefined) };
  list.push(l);
  return l;
}

// The rows painted since the last upload, sent to the pages' textures.
export function uploadAtlas(atlas) {
  const gl = atlas.gl;
  for (const pg of atlas.pages) {
    if (pg.dirty1 <= pg.dirty0) continue;
    gl.bindTexture(gl.TEXTURE_2D, pg.tex);
    gl.pixelStorei(gl.UNPACK_PREMULTIPLY_ALPHA_WEBGL, true);
    gl.pixelStorei(gl.UNPACK_SKIP_ROWS, pg.dirty0);
    gl.texSubImage2D(gl.TEXTURE_2D, 0, 0, pg.dirty0, ATLAS, pg.dirty1 - pg.dirty0, gl.RGBA, gl.UNSIGNED_BYTE, pg.paper);
    gl.pixelStorei(gl.UNPACK_SKIP_ROWS, 0);
    pg.dirty0 = ATLAS;
    pg.dirty1 = 0;
  }
}
