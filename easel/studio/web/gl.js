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
// draw() declines a picture it cannot draw exactly (text set in spans, clip groups, other blend modes than
// normal, a shape too large for a sprite, geometry it cannot measure, more
// sprites than the atlas holds); the 2D renderer then draws that frame.
// The sprites and their atlas are atlas.js; here are the set-up, the
// shaders, the buffers and the drawing.
import { ATLAS, PHASES, createAtlas, lookOf, paintSprite, resetAtlas, uploadAtlas } from './atlas.js';
import { typing } from './store.js';

// Sprites painted per frame at most: a frame needing more (a new zoom on a
// picture of many distinct shapes) is left to the 2D canvas while the atlas
// fills over the next frames, so WebGL never makes a frame slower than 2D by much.
const PAINT_BUDGET = 1500;
// Per quad corner: device x, y (int16) and atlas x, y (uint16).
const SHORTS = 16;

// ---- shaders ----

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

function compile(gl, type, source) {
  const s = gl.createShader(type);
  gl.shaderSource(s, source);
  gl.compileShader(s);
  if (!gl.getShaderParameter(s, gl.COMPILE_STATUS)) throw new Error(gl.getShaderInfoLog(s));
  return s;
}

// The linked program of the two shaders, or null.
function linkProgram(gl) {
  try {
    const program = gl.createProgram();
    gl.attachShader(program, compile(gl, gl.VERTEX_SHADER, VERTEX));
    gl.attachShader(program, compile(gl, gl.FRAGMENT_SHADER, FRAGMENT));
    gl.linkProgram(program);
    return gl.getProgramParameter(program, gl.LINK_STATUS) ? program : null;
  } catch (e) { return null; }
}

// ---- set-up ----

// The renderer on `glCanvas`, or null when the browser gives no WebGL 2.
export function createRenderer(glCanvas) {
  let gl = null;
  try {
    gl = glCanvas.getContext('webgl2', { alpha: true, premultipliedAlpha: true, antialias: false, depth: false,
                                         stencil: false, preserveDrawingBuffer: false });
  } catch (e) { gl = null; }
  if (!gl) return null;
  const program = linkProgram(gl);
  if (!program) return null;
  const r = {
    gl, glCanvas, program,
    lost: false, shown: false,  // shown: the canvas holds a picture
    ...createBuffers(gl, program),
    atlas: createAtlas(gl),
    lookZ: 0,
    overflow: Infinity,  // shapes of the smallest picture the atlas could not hold at this zoom
  };
  glCanvas.addEventListener('webglcontextlost', (e) => { e.preventDefault(); r.lost = true; });
  return {
    // Draws picture p (the page mapped to device pixels by x * z + ox,
    // -y * z + oy) on a W x H canvas; false when it declines the picture.
    draw: (p, W, H, z, ox, oy) => drawPicture(r, p, W, H, z, ox, oy),
    // An empty layer, when the 2D canvas draws the frame.
    clear: (W, H) => clearLayer(r, W, H),
    canvas: glCanvas,
  };
}

// ---- buffers ----

// The vertex array with its two buffers: the quads' corners and their triangles.
function createBuffers(gl, program) {
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
  return { aPlace, aTexel, uView, uAtlas, vao, vertexBuffer, indexBuffer,
           indexQuads: 0,  // quads the index buffer holds
           quads: new Int16Array(SHORTS * 1024) };
}

// Two triangles per quad, in the quads' order, for at least n quads (the vertex array bound).
function ensureIndices(r, n) {
  if (r.indexQuads >= n) return;
  r.indexQuads = Math.max(n, Math.ceil(r.indexQuads * 1.5), 4096);
  const idx = new Uint32Array(r.indexQuads * 6);
  for (let q = 0, v = 0; q < idx.length; q += 6, v += 4) {
    idx[q] = v; idx[q + 1] = v + 1; idx[q + 2] = v + 2;
    idx[q + 3] = v + 2; idx[q + 4] = v + 1; idx[q + 5] = v + 3;
  }
  r.gl.bufferData(r.gl.ELEMENT_ARRAY_BUFFER, idx, r.gl.STATIC_DRAW);
}

// Quad n: the sprite sp at device pixel (x, y).
function writeQuad(quads, n, x, y, sp) {
  const f = n * SHORTS, x1 = x + sp.w, y1 = y + sp.h, u1 = sp.u + sp.w, v1 = sp.v + sp.h;
  quads[f] = x; quads[f + 1] = y; quads[f + 2] = sp.u; quads[f + 3] = sp.v;
  quads[f + 4] = x1; quads[f + 5] = y; quads[f + 6] = u1; quads[f + 7] = sp.v;
  quads[f + 8] = x; quads[f + 9] = y1; quads[f + 10] = sp.u; quads[f + 11] = v1;
  quads[f + 12] = x1; quads[f + 13] = y1; quads[f + 14] = u1; quads[f + 15] = v1;
}

// Whether shape s (k = s * 6) looks as shape prev does: copies next to each other mostly do.
function sameLook(p, s, k, prev, prevLook) {
  const { geom, style, opacity, mat } = p;
  return prev >= 0 && geom[s] === geom[prev] && style[s] === style[prev] && opacity[s] === opacity[prev] &&
    mat[k] === mat[prev * 6] && mat[k + 1] === mat[prev * 6 + 1] && mat[k + 2] === mat[prev * 6 + 2] &&
    mat[k + 3] === mat[prev * 6 + 3] && !prevLook.placed;
}

// The sprite of shape s of object i with its look at device point (tx, ty),
// and the whole pixel it is placed from: {sp, ix, iy}; sp is null when the
// shape cannot be drawn here, false when the atlas is full; null when the
// frame's painting budget is spent.
function spriteAt(r, p, i, s, look, tx, ty, z, frame) {
  const { geom, style, bounds, geoms, styles } = p;
  let ix = Math.floor(tx), iy = Math.floor(ty), sp;
  const paint = (fx, fy) => paintSprite(r.atlas, p, s, styles.get(style[s]), geoms.get(geom[s]), look, fx, fy,
                                        p.hasBounds(i) ? bounds.subarray(i * 4, i * 4 + 4) : null, z);
  if (look.placed) {
    // Text (whose glyphs snap to pixels) and gradients: painted at the shape's own offset.
    const fx = tx - ix, fy = ty - iy;
    sp = look.sprite;
    if (sp === undefined || look.fx !== fx || look.fy !== fy) {
      if (++frame.painted > PAINT_BUDGET) return null;
      sp = paint(fx, fy);
      if (sp !== false) { look.sprite = sp; look.fx = fx; look.fy = fy; }
    }
  } else {
    let qx = Math.round((tx - ix) * PHASES), qy = Math.round((ty - iy) * PHASES);
    if (qx === PHASES) { qx = 0; ix++; }
    if (qy === PHASES) { qy = 0; iy++; }
    const q = qy * PHASES + qx;
    sp = look.sprites[q];
    if (sp === undefined) {
      if (++frame.painted > PAINT_BUDGET) return null;
      sp = paint(qx / PHASES, qy / PHASES);
      if (sp !== false) look.sprites[q] = sp;
    }
  }
  return { sp, ix, iy };
}

// Fills r.quads with the picture's shapes: their count, page runs as
// [page, first, count, ...], or null when the picture is declined (or
// needs more sprites than one frame paints), false when the atlas ran out of room.
function build(r, p, W, H, z, ox, oy) {
  const frame = { painted: 0 };
  const { geom, style, blend, starts, geoms, styles, mat } = p;
  if (r.quads.length < starts[p.n] * SHORTS) r.quads = new Int16Array(Math.ceil(starts[p.n] * 1.25 + 1024) * SHORTS);
  const runs = [];
  let n = 0, runPage = -1;
  let prev = -1, prevLook = null;
  for (const layer of p.layers)
    for (let i = layer.start; i < layer.start + layer.count; i++) {
      if (p.offCanvas(i, z, ox, oy, W, H)) continue;
      for (let s = starts[i]; s < starts[i + 1]; s++) {
        if (blend[s] && p.blends.get(blend[s]) !== 'normal') return null;
        const k = s * 6;
        let look = prevLook;
        if (!sameLook(p, s, k, prev, prevLook)) {
          const st = styles.get(style[s]), g = geoms.get(geom[s]);
          if (!st || !g) continue;
          if (st.t && (st.t.sp || st.t.ln)) return null;  // text in spans or lines reaches past its box: Canvas 2D draws it
          if (st.clip || st.unclip) return null;  // clip groups: Canvas 2D draws them
          look = lookOf(r.atlas, p, s, k);
        }
        prev = s;
        prevLook = look;
        const got = spriteAt(r, p, i, s, look, z * mat[k + 4] + ox, oy - z * mat[k + 5], z, frame);
        if (!got || got.sp === null) return null;
        if (got.sp === false) return false;
        const { sp } = got, x = got.ix + sp.x, y = got.iy + sp.y;
        if (x >= W || y >= H || x + sp.w <= 0 || y + sp.h <= 0 || !sp.w) continue;
        if (sp.page !== runPage) {
          if (runs.length) runs[runs.length - 1] = n - runs[runs.length - 2];
          runs.push(sp.page, n, 0);
          runPage = sp.page;
        }
        writeQuad(r.quads, n++, x, y, sp);
      }
    }
  if (runs.length) runs[runs.length - 1] = n - runs[runs.length - 2];
  return { n, runs };
}

// ---- drawing ----

function size(r, W, H) {
  if (r.glCanvas.width !== W || r.glCanvas.height !== H) {
    r.glCanvas.width = W;
    r.glCanvas.height = H;
  }
  r.gl.viewport(0, 0, W, H);
}

// The quads built for picture p, or false when it is declined.
function quadsFor(r, p, W, H, z, ox, oy) {
  // Sprites are drawn again at a new zoom, and once the fonts the host draws
  // generic families with are known (text drawn before used the browser's own).
  if (z !== r.lookZ || r.generic !== typing.generic) {
    resetAtlas(r.atlas);
    r.lookZ = z;
    r.generic = typing.generic;
    r.overflow = Infinity;
  }
  // A picture as large as one whose sprites did not fit is declined until the zoom changes.
  if (p.starts[p.n] >= r.overflow) return false;
  let got = build(r, p, W, H, z, ox, oy);
  if (got === false) {
    // The atlas is full: it starts again with what this frame needs.
    resetAtlas(r.atlas);
    got = build(r, p, W, H, z, ox, oy);
    if (got === false) r.overflow = p.starts[p.n];
  }
  return got || false;
}

function drawPicture(r, p, W, H, z, ox, oy) {
  const gl = r.gl;
  if (r.lost || gl.isContextLost()) return false;
  const got = quadsFor(r, p, W, H, z, ox, oy);
  if (!got) return false;
  uploadAtlas(r.atlas);
  size(r, W, H);
  gl.clearColor(0, 0, 0, 0);
  gl.clear(gl.COLOR_BUFFER_BIT);
  gl.useProgram(r.program);
  gl.uniform2f(r.uView, W, H);
  gl.uniform2f(r.uAtlas, ATLAS, ATLAS);
  gl.enable(gl.BLEND);
  gl.blendFunc(gl.ONE, gl.ONE_MINUS_SRC_ALPHA);
  gl.bindVertexArray(r.vao);
  ensureIndices(r, got.n);
  gl.bindBuffer(gl.ARRAY_BUFFER, r.vertexBuffer);
  gl.bufferData(gl.ARRAY_BUFFER, r.quads.subarray(0, got.n * SHORTS), gl.STREAM_DRAW);
  gl.vertexAttribPointer(r.aPlace, 2, gl.SHORT, false, 8, 0);
  gl.vertexAttribPointer(r.aTexel, 2, gl.UNSIGNED_SHORT, false, 8, 4);
  gl.activeTexture(gl.TEXTURE0);
  for (let i = 0; i < got.runs.length; i += 3) {
    gl.bindTexture(gl.TEXTURE_2D, r.atlas.pages[got.runs[i]].tex);
    gl.drawElements(gl.TRIANGLES, got.runs[i + 2] * 6, gl.UNSIGNED_INT, got.runs[i + 1] * 24);
  }
  gl.bindVertexArray(null);
  r.shown = true;
  return true;
}

function clearLayer(r, W, H) {
  if (!r.shown || r.lost || r.gl.isContextLost()) return;
  r.shown = false;
  size(r, W, H);
  r.gl.clearColor(0, 0, 0, 0);
  r.gl.clear(r.gl.COLOR_BUFFER_BIT);
}
