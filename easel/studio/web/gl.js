// The document's shapes drawn with WebGL 2. Each distinct look of a shape
// (geometry, style, opacity and the matrix's linear part at the current
// zoom) is painted once by Canvas 2D (paintShape, as the 2D renderer paints
// it) into a sprite of a texture atlas, at one of PHASES x PHASES sub-pixel
// offsets; every shape is then one textured quad, placed on whole device
// pixels, and the shapes go out in stacking order, one draw call of indexed
// triangles per run of quads on one atlas page (a draw call keeps its order,
// so overlapping copies stack as on the 2D canvas). Quads are triangles of
// their own rather than instances: the software rasterizer (SwiftShader)
// took several times as long for 90,000 instanced quads (3 to 4 s a frame
// against 0.5 to 0.9 s, both on a loaded machine). Looks with gradients or
// text also key on the translation and are painted at the shape's exact
// offset: gradients lie on the page, and glyphs snap to whole pixels.
// draw() declines a picture it cannot draw exactly (text set in spans, other blend modes than
// normal, a shape too large for a sprite, geometry it cannot measure, more
// sprites than the atlas holds); the 2D renderer then draws that frame.
import { paintShape } from './paints.js';

const PHASES = 4;        // sub-pixel offsets per axis: a shape is at most 1/8 pixel off
const ATLAS = 2048;      // pixels on a side of an atlas page
const MAX_PAGES = 4;
const MAX_SPRITE = 512;  // larger sprites are declined
const GUTTER = 1;        // empty pixels between sprites
// Sprites painted per frame at most: a frame needing more (a new zoom on a
// picture of many distinct shapes) is left to the 2D canvas while the atlas
// fills over the next frames, so WebGL never makes a frame slower than 2D by much.
const PAINT_BUDGET = 1500;

const VERTEX = `#version 300 es
in vec2 place;    // a quad's corner in device pixels
in vec2 texel;    // and in the atlas
uniform vec2 viewSize, atlasSize;
out vec2 uv;
void main() {
  uv = texel / atlasSize;
  gl_Position = vec4(place.x / viewSize.x * 2.0 - 1.0, 1.0 - place.y / viewSize.y * 2.0, 0.0, 1.0);
}`;
const FRAGMENT = `#version 300 es
precision highp float;
uniform sampler2D atlas;
in vec2 uv;
out vec4 color;
void main() { color = texture(atlas, uv); }`;

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

function compile(gl, type, source) {
  const s = gl.createShader(type);
  gl.shaderSource(s, source);
  gl.compileShader(s);
  if (!gl.getShaderParameter(s, gl.COMPILE_STATUS)) throw new Error(gl.getShaderInfoLog(s));
  return s;
}

// The renderer on `glCanvas`, or null when the browser gives no WebGL 2.
export function createRenderer(glCanvas) {
  let gl = null;
  try {
    gl = glCanvas.getContext('webgl2', { alpha: true, premultipliedAlpha: true, antialias: false, depth: false,
                                         stencil: false, preserveDrawingBuffer: false });
  } catch (e) { gl = null; }
  if (!gl) return null;
  let program;
  try {
    program = gl.createProgram();
    gl.attachShader(program, compile(gl, gl.VERTEX_SHADER, VERTEX));
    gl.attachShader(program, compile(gl, gl.FRAGMENT_SHADER, FRAGMENT));
    gl.linkProgram(program);
    if (!gl.getProgramParameter(program, gl.LINK_STATUS)) return null;
  } catch (e) { return null; }
  let lost = false, shown = false;  // shown: the canvas holds a picture
  glCanvas.addEventListener('webglcontextlost', (e) => { e.preventDefault(); lost = true; });

  const aPlace = gl.getAttribLocation(program, 'place'), aTexel = gl.getAttribLocation(program, 'texel');
  const uView = gl.getUniformLocation(program, 'viewSize'), uAtlas = gl.getUniformLocation(program, 'atlasSize');
  const vao = gl.createVertexArray();
  const vertexBuffer = gl.createBuffer(), indexBuffer = gl.createBuffer();
  gl.bindVertexArray(vao);
  gl.bindBuffer(gl.ARRAY_BUFFER, vertexBuffer);
  gl.enableVertexAttribArray(aPlace);
  gl.enableVertexAttribArray(aTexel);
  gl.bindBuffer(gl.ELEMENT_ARRAY_BUFFER, indexBuffer);
  gl.bindVertexArray(null);
  let indexQuads = 0;  // quads the index buffer holds

  // Per quad corner: device x, y (int16) and atlas x, y (uint16).
  const SHORTS = 16;
  let quads = new Int16Array(SHORTS * 1024);

  // Atlas pages: a texture, the 2D canvas its sprites are painted on first,
  // shelves filled left to right, and the rows painted since the last upload.
  const pages = [];
  function newPage() {
    const tex = gl.createTexture();
    gl.bindTexture(gl.TEXTURE_2D, tex);
    gl.texStorage2D(gl.TEXTURE_2D, 1, gl.RGBA8, ATLAS, ATLAS);
    for (const [k, v] of [[gl.TEXTURE_MIN_FILTER, gl.NEAREST], [gl.TEXTURE_MAG_FILTER, gl.NEAREST],
                          [gl.TEXTURE_WRAP_S, gl.CLAMP_TO_EDGE], [gl.TEXTURE_WRAP_T, gl.CLAMP_TO_EDGE]])
      gl.texParameteri(gl.TEXTURE_2D, k, v);
    const paper = document.createElement('canvas');
    paper.width = paper.height = ATLAS;
    const page = { tex, paper, ctx: paper.getContext('2d', { willReadFrequently: true }), x: 0, y: 0, rowH: 0, dirty0: ATLAS, dirty1: 0 };
    pages.push(page);
    return page;
  }
  function resetPage(page) {
    page.ctx.setTransform(1, 0, 0, 1, 0, 0);
    page.ctx.clearRect(0, 0, ATLAS, ATLAS);
    page.x = page.y = page.rowH = 0;
    page.dirty0 = 0;
    page.dirty1 = ATLAS;
  }
  // Room for a w x h sprite: [page index, x, y], or null when every page is full.
  function allocate(w, h) {
    for (let i = 0; i <= pages.length; i++) {
      if (i === pages.length && (pages.length >= MAX_PAGES || !newPage())) return null;
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

  // Looks by geometry id, then style id: lists of {o, a, b, c, d, tx, ty, placed, sprites}.
  let looks = new Map();
  let lookZ = 0;
  let overflow = Infinity;  // shapes of the smallest picture the atlas could not hold at this zoom
  function reset() {
    looks = new Map();
    for (const pg of pages) resetPage(pg);
  }

  // The sprite of shape s at sub-pixel offset (fx, fy): {page, u, v, x, y, w, h}
  // with (x, y) its top left from the shape's whole-pixel origin; null when
  // it cannot be drawn here, false when the atlas is full.
  function paintSprite(p, s, st, g, look, fx, fy, box, z) {
    if (g.box === undefined) g.box = pathBox(g.d);
    if (!g.box) return null;
    const k = s * 6, mat = p.mat;
    const a = z * mat[k], b = -z * mat[k + 1], c = z * mat[k + 2], d = -z * mat[k + 3];
    let [lx0, ly0, lx1, ly1] = g.box;
    let margin = 2;
    if (st.t) {
      // Glyphs reach past the text's box: its extent as set, with room for hinting and strokes.
      const t = textExtent(st);
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
    const w = Math.ceil(x1 + margin) - ix, h = Math.ceil(y1 + margin) - iy;
    if (!(w <= MAX_SPRITE && h <= MAX_SPRITE)) return null;
    const room = allocate(w, h);
    if (!room) return false;
    const [pi, u, v] = room;
    const ctx = pages[pi].ctx;
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
  const textExtents = new WeakMap();
  function textExtent(st) {
    const known = textExtents.get(st);
    if (known) return known;
    const ctx = (pages[0] || newPage()).ctx, t = st.t;
    ctx.save();
    ctx.font = '12px sans-serif';
    ctx.font = t.font;
    ctx.textAlign = t.a || 'start';
    ctx.textBaseline = 'alphabetic';
    ctx.letterSpacing = t.ls || '0px';
    const m = ctx.measureText(t.s);
    ctx.restore();
    const e = [-m.actualBoundingBoxLeft, -m.actualBoundingBoxDescent, m.actualBoundingBoxRight, m.actualBoundingBoxAscent];
    textExtents.set(st, e);
    return e;
  }

  function lookOf(p, s, k) {
    const gid = p.geom[s], sid = p.style[s], mat = p.mat;
    let byStyle = looks.get(gid);
    if (!byStyle) looks.set(gid, byStyle = new Map());
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

  // Fills `quads` with the picture's shapes: their count, page runs as
  // [page, first, count, ...], or null when the picture is declined (or
  // needs more sprites than one frame paints), false when the atlas ran out of room.
  function build(p, W, H, z, ox, oy) {
    let painted = 0;
    const { geom, style, opacity, blend, bounds, starts, geoms, styles, mat } = p;
    if (quads.length < starts[p.n] * SHORTS) quads = new Int16Array(Math.ceil(starts[p.n] * 1.25 + 1024) * SHORTS);
    const runs = [];
    let n = 0, runPage = -1;
    let prev = -1, prevLook = null;
    for (const layer of p.layers)
      for (let i = layer.start; i < layer.start + layer.count; i++) {
        if (p.offCanvas(i, z, ox, oy, W, H)) continue;
        for (let s = starts[i]; s < starts[i + 1]; s++) {
          if (blend[s] && p.blends.get(blend[s]) !== 'normal') return null;
          const k = s * 6;
          // Copies next to each other mostly share their look.
          let look = prevLook;
          if (prev < 0 || geom[s] !== geom[prev] || style[s] !== style[prev] || opacity[s] !== opacity[prev] ||
              mat[k] !== mat[prev * 6] || mat[k + 1] !== mat[prev * 6 + 1] || mat[k + 2] !== mat[prev * 6 + 2] ||
              mat[k + 3] !== mat[prev * 6 + 3] || prevLook.placed) {
            const st = styles.get(style[s]), g = geoms.get(geom[s]);
            if (!st || !g) continue;
            if (st.t && st.t.sp) return null;  // text in spans reaches past its box: Canvas 2D draws it
            look = lookOf(p, s, k);
          }
          prev = s;
          prevLook = look;
          const tx = z * mat[k + 4] + ox, ty = oy - z * mat[k + 5];
          let ix = Math.floor(tx), iy = Math.floor(ty), sp;
          if (look.placed) {
            // Text (whose glyphs snap to pixels) and gradients: painted at the shape's own offset.
            const fx = tx - ix, fy = ty - iy;
            sp = look.sprite;
            if (sp === undefined || look.fx !== fx || look.fy !== fy) {
              if (++painted > PAINT_BUDGET) return null;
              sp = paintSprite(p, s, styles.get(style[s]), geoms.get(geom[s]), look, fx, fy,
                               p.hasBounds(i) ? bounds.subarray(i * 4, i * 4 + 4) : null, z);
              if (sp === false) return false;
              look.sprite = sp;
              look.fx = fx;
              look.fy = fy;
            }
          } else {
            let qx = Math.round((tx - ix) * PHASES), qy = Math.round((ty - iy) * PHASES);
            if (qx === PHASES) { qx = 0; ix++; }
            if (qy === PHASES) { qy = 0; iy++; }
            const q = qy * PHASES + qx;
            sp = look.sprites[q];
            if (sp === undefined) {
              if (++painted > PAINT_BUDGET) return null;
              sp = paintSprite(p, s, styles.get(style[s]), geoms.get(geom[s]), look, qx / PHASES, qy / PHASES,
                               p.hasBounds(i) ? bounds.subarray(i * 4, i * 4 + 4) : null, z);
              if (sp === false) return false;
              look.sprites[q] = sp;
            }
          }
          if (sp === null) return null;
          const x = ix + sp.x, y = iy + sp.y;
          if (x >= W || y >= H || x + sp.w <= 0 || y + sp.h <= 0 || !sp.w) continue;
          if (sp.page !== runPage) {
            if (runs.length) runs[runs.length - 1] = n - runs[runs.length - 2];
            runs.push(sp.page, n, 0);
            runPage = sp.page;
          }
          const f = n * SHORTS, x1 = x + sp.w, y1 = y + sp.h, u1 = sp.u + sp.w, v1 = sp.v + sp.h;
          quads[f] = x; quads[f + 1] = y; quads[f + 2] = sp.u; quads[f + 3] = sp.v;
          quads[f + 4] = x1; quads[f + 5] = y; quads[f + 6] = u1; quads[f + 7] = sp.v;
          quads[f + 8] = x; quads[f + 9] = y1; quads[f + 10] = sp.u; quads[f + 11] = v1;
          quads[f + 12] = x1; quads[f + 13] = y1; quads[f + 14] = u1; quads[f + 15] = v1;
          n++;
        }
      }
    if (runs.length) runs[runs.length - 1] = n - runs[runs.length - 2];
    return { n, runs };
  }

  function upload() {
    for (const pg of pages) {
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

  function size(W, H) {
    if (glCanvas.width !== W || glCanvas.height !== H) {
      glCanvas.width = W;
      glCanvas.height = H;
    }
    gl.viewport(0, 0, W, H);
  }

  return {
    // Draws picture p (the page mapped to device pixels by x * z + ox,
    // -y * z + oy) on a W x H canvas; false when it declines the picture.
    draw(p, W, H, z, ox, oy) {
      if (lost || gl.isContextLost()) return false;
      if (z !== lookZ) { reset(); lookZ = z; overflow = Infinity; }
      // A picture as large as one whose sprites did not fit is declined until the zoom changes.
      if (p.starts[p.n] >= overflow) return false;
      let got = build(p, W, H, z, ox, oy);
      if (got === false) {
        // The atlas is full: it starts again with what this frame needs.
        reset();
        got = build(p, W, H, z, ox, oy);
        if (got === false) overflow = p.starts[p.n];
      }
      if (!got) return false;
      upload();
      size(W, H);
      gl.clearColor(0, 0, 0, 0);
      gl.clear(gl.COLOR_BUFFER_BIT);
      gl.useProgram(program);
      gl.uniform2f(uView, W, H);
      gl.uniform2f(uAtlas, ATLAS, ATLAS);
      gl.enable(gl.BLEND);
      gl.blendFunc(gl.ONE, gl.ONE_MINUS_SRC_ALPHA);
      gl.bindVertexArray(vao);
      if (indexQuads < got.n) {
        // Two triangles per quad, in the quads' order.
        indexQuads = Math.max(got.n, Math.ceil(indexQuads * 1.5), 4096);
        const idx = new Uint32Array(indexQuads * 6);
        for (let q = 0, v = 0; q < idx.length; q += 6, v += 4) {
          idx[q] = v; idx[q + 1] = v + 1; idx[q + 2] = v + 2;
          idx[q + 3] = v + 2; idx[q + 4] = v + 1; idx[q + 5] = v + 3;
        }
        gl.bufferData(gl.ELEMENT_ARRAY_BUFFER, idx, gl.STATIC_DRAW);
      }
      gl.bindBuffer(gl.ARRAY_BUFFER, vertexBuffer);
      gl.bufferData(gl.ARRAY_BUFFER, quads.subarray(0, got.n * SHORTS), gl.STREAM_DRAW);
      gl.vertexAttribPointer(aPlace, 2, gl.SHORT, false, 8, 0);
      gl.vertexAttribPointer(aTexel, 2, gl.UNSIGNED_SHORT, false, 8, 4);
      gl.activeTexture(gl.TEXTURE0);
      for (let r = 0; r < got.runs.length; r += 3) {
        gl.bindTexture(gl.TEXTURE_2D, pages[got.runs[r]].tex);
        gl.drawElements(gl.TRIANGLES, got.runs[r + 2] * 6, gl.UNSIGNED_INT, got.runs[r + 1] * 24);
      }
      gl.bindVertexArray(null);
      shown = true;
      return true;
    },
    // An empty layer, when the 2D canvas draws the frame.
    clear(W, H) {
      if (!shown || lost || gl.isContextLost()) return;
      shown = false;
      size(W, H);
      gl.clearColor(0, 0, 0, 0);
      gl.clear(gl.COLOR_BUFFER_BIT);
    },
    canvas: glCanvas,
  };
}
