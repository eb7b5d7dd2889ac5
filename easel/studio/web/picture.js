// The picture as the host sends it: each distinct geometry once (a Path2D),
// and per object its id, bounds, flags and shapes in typed arrays. Answers
// bring only the changes since the picture the page has; apply() builds the
// new picture from the old one and those changes (docs/formats.md).

// FROM_GEOMETRY: the bounds are the object's one geometry's, moved by its shape's translation.
const SELECTED = 1, LOCKED = 2, HAS_BOUNDS = 4, FROM_GEOMETRY = 8;

// The picture at the end of an answer's bytes, from `offset` (a multiple of 8).
export function readPicture(buffer, offset) {
  const n = new DataView(buffer, offset, 4).getUint32(0, true);
  const head = JSON.parse(new TextDecoder().decode(new Uint8Array(buffer, offset + 4, n)));
  let at = offset + 4 + n;
  const take = (Type, count) => {
    at = offset + ((at - offset + 7) & ~7);
    const a = new Type(buffer, at, count);
    at += count * Type.BYTES_PER_ELEMENT;
    return a;
  };
  const o = head.objects, s = head.shapes, same = head.same || {};
  // A column the header gives as one value is not in the bytes.
  const column = (name, Type, count) => (name in same ? new Type(count).fill(same[name]) : take(Type, count));
  const runs = take(Int32Array, head.runs * 2);
  let ids;
  if (same.ids) {
    ids = new Float64Array(o);
    for (let k = 0; k < o; k++) ids[k] = same.ids[0] + k * same.ids[1];
  } else ids = take(Float64Array, o);
  const bounds = take(Float32Array, (head.boxes ?? o) * 4), flags = column('flags', Uint8Array, o), counts = column('counts', Uint32Array, o);
  let mat;
  if (same.linear) {
    // Only the translations are sent.
    const t = take(Float32Array, s * 2), [a, b, c, d] = same.linear;
    mat = new Float32Array(s * 6);
    for (let k = 0; k < s; k++) {
      const m = k * 6;
      mat[m] = a; mat[m + 1] = b; mat[m + 2] = c; mat[m + 3] = d; mat[m + 4] = t[k * 2]; mat[m + 5] = t[k * 2 + 1];
    }
  } else mat = take(Float32Array, s * 6);
  head.arrays = {
    runs, ids, bounds, flags, counts, mat,
    geom: column('geom', Uint32Array, s), style: column('style', Uint32Array, s),
    opacity: column('opacity', Float32Array, s), blend: column('blend', Uint8Array, s),
  };
  return head;
}

// The bounds of every new object: from the bounds column, or worked out
// from its geometry for the objects flagged so.
function boundsOf(a, objects, geoms) {
  const out = new Float32Array(objects * 4);
  for (let k = 0, j = 0, s = 0; k < objects; s += a.counts[k], k++) {
    if (a.flags[k] & FROM_GEOMETRY) {
      const g = (geoms.get(a.geom[s]) || {}).bounds;
      if (!g) continue;
      const tx = a.mat[s * 6 + 4], ty = a.mat[s * 6 + 5];
      out[k * 4] = g[0] + tx; out[k * 4 + 1] = g[1] + ty; out[k * 4 + 2] = g[2] + tx; out[k * 4 + 3] = g[3] + ty;
    } else {
      out.set(a.bounds.subarray(j * 4, j * 4 + 4), k * 4);
      j++;
    }
  }
  return out;
}

export class Picture {
  constructor() {
    this.version = 0;
    this.width = 0;
    this.height = 0;
    this.layers = [];  // bottom first: {name, locked, start, count}
    this.geoms = new Map();  // id -> {d, path}
    this.styles = new Map();  // id -> {f, s, w, eo}
    this.blends = new Map();  // blend mode number -> name
    this.n = 0;
    this.ids = new Float64Array(0);
    this.bounds = new Float32Array(0);
    this.flags = new Uint8Array(0);
    this.counts = new Uint32Array(0);
    this.starts = new Uint32Array(1);  // first shape of each object, and the total
    this.mat = new Float32Array(0);
    this.geom = new Uint32Array(0);
    this.style = new Uint32Array(0);
    this.opacity = new Float32Array(0);
    this.blend = new Uint8Array(0);
  }

  selected(i) { return (this.flags[i] & SELECTED) !== 0; }
  locked(i) { return (this.flags[i] & LOCKED) !== 0; }
  hasBounds(i) { return (this.flags[i] & HAS_BOUNDS) !== 0; }
  // Whether object i lies off a W x H canvas the page maps to by x * z + ox,
  // oy - y * z (strokes may reach a little past the bounds, hence the margin).
  offCanvas(i, z, ox, oy, W, H) {
    if (!this.hasBounds(i)) return false;
    const b = this.bounds;
    const x0 = b[i * 4] * z + ox, x1 = b[i * 4 + 2] * z + ox;
    const y0 = oy - b[i * 4 + 3] * z, y1 = oy - b[i * 4 + 1] * z;
    return x1 < -50 || y1 < -50 || x0 > W + 50 || y0 > H + 50;
  }

  // The picture after a change the host sent, or null when it does not
  // follow from this one (the page then asks for the whole picture). Sets
  // `drawn` on the result: false when only selection flags changed.
  apply(head) {
    if (head.base !== 0 && head.base !== this.version) return null;
    const p = new Picture();
    p.version = head.version;
    p.width = head.width;
    p.height = head.height;
    if (head.base !== 0) {
      p.geoms = this.geoms;
      p.styles = this.styles;
      p.blends = this.blends;
    }
    for (const id of head.drop) p.geoms.delete(id);
    for (const [id, d, bounds] of head.geoms) p.geoms.set(id, { d, path: new Path2D(d), bounds });
    for (const [id, st] of head.styles) p.styles.set(id, st);
    for (const [k, name] of Object.entries(head.blends)) p.blends.set(Number(k), name);
    let start = 0;
    p.layers = head.layers.map((l) => { const r = { name: l.name, locked: l.locked, start, count: l.count }; start += l.count; return r; });

    const a = head.arrays, runs = a.runs;
    if (head.boxes !== undefined) a.bounds = boundsOf(a, head.objects, p.geoms);
    const old = head.base !== 0 ? this : new Picture();
    let n = 0, m = 0, fresh = 0, freshShapes = 0;
    for (let r = 0; r < runs.length; r += 2) {
      const from = runs[r], count = runs[r + 1];
      n += count;
      if (from >= 0) m += old.starts[from + count] - old.starts[from];
      else for (let k = 0; k < count; k++) m += a.counts[fresh + k];
      if (from < 0) fresh += count;
    }
    p.n = n;
    p.ids = new Float64Array(n); p.bounds = new Float32Array(n * 4); p.flags = new Uint8Array(n);
    p.counts = new Uint32Array(n); p.starts = new Uint32Array(n + 1);
    p.mat = new Float32Array(m * 6); p.geom = new Uint32Array(m); p.style = new Uint32Array(m);
    p.opacity = new Float32Array(m); p.blend = new Uint8Array(m);
    // Only the selection changed when every run is in place and every new
    // record differs from the old one at its place in its flags alone.
    let drawn = head.base === 0 || n !== old.n;
    let at = 0, shapeAt = 0;
    fresh = 0;
    for (let r = 0; r < runs.length; r += 2) {
      const from = runs[r], count = runs[r + 1];
      if (from >= 0) {
        if (from !== at) drawn = true;
        const s0 = old.starts[from], s1 = old.starts[from + count];
        p.ids.set(old.ids.subarray(from, from + count), at);
        p.bounds.set(old.bounds.subarray(from * 4, (from + count) * 4), at * 4);
        p.flags.set(old.flags.subarray(from, from + count), at);
        p.counts.set(old.counts.subarray(from, from + count), at);
        p.mat.set(old.mat.subarray(s0 * 6, s1 * 6), shapeAt * 6);
        p.geom.set(old.geom.subarray(s0, s1), shapeAt);
        p.style.set(old.style.subarray(s0, s1), shapeAt);
        p.opacity.set(old.opacity.subarray(s0, s1), shapeAt);
        p.blend.set(old.blend.subarray(s0, s1), shapeAt);
        at += count;
        shapeAt += s1 - s0;
      } else {
        // A run of new records is contiguous in the answer: copied column by column.
        let c = 0;
        for (let k = 0; k < count; k++) c += a.counts[fresh + k];
        p.ids.set(a.ids.subarray(fresh, fresh + count), at);
        p.bounds.set(a.bounds.subarray(fresh * 4, (fresh + count) * 4), at * 4);
        p.flags.set(a.flags.subarray(fresh, fresh + count), at);
        p.counts.set(a.counts.subarray(fresh, fresh + count), at);
        p.mat.set(a.mat.subarray(freshShapes * 6, (freshShapes + c) * 6), shapeAt * 6);
        p.geom.set(a.geom.subarray(freshShapes, freshShapes + c), shapeAt);
        p.style.set(a.style.subarray(freshShapes, freshShapes + c), shapeAt);
        p.opacity.set(a.opacity.subarray(freshShapes, freshShapes + c), shapeAt);
        p.blend.set(a.blend.subarray(freshShapes, freshShapes + c), shapeAt);
        for (let k = 0, s = shapeAt; k < count && !drawn; s += a.counts[fresh + k], k++)
          if (!old.sameShapes(at + k, p, at + k, s)) drawn = true;
        fresh += count;
        freshShapes += c;
        at += count;
        shapeAt += c;
      }
    }
    for (let i = 0; i < n; i++) p.starts[i + 1] = p.starts[i] + p.counts[i];
    p.drawn = drawn;
    return p;
  }

  // Whether object i here is drawn as object j of q (whose shapes start at s).
  sameShapes(i, q, j, s) {
    if (i >= this.n || this.ids[i] !== q.ids[j] || this.counts[i] !== q.counts[j]) return false;
    for (let k = 0; k < 4; k++) if (this.bounds[i * 4 + k] !== q.bounds[j * 4 + k]) return false;
    const s0 = this.starts[i];
    for (let k = 0; k < q.counts[j]; k++) {
      const a = s0 + k, b = s + k;
      if (this.geom[a] !== q.geom[b] || this.style[a] !== q.style[b] || this.opacity[a] !== q.opacity[b] ||
          this.blend[a] !== q.blend[b]) return false;
      for (let e = 0; e < 6; e++) if (this.mat[a * 6 + e] !== q.mat[b * 6 + e]) return false;
    }
    return true;
  }

  // The picture as plain objects (for tests and tools that read a few).
  plain() {
    return {
      width: this.width, height: this.height,
      layers: this.layers.map((l) => {
        const art = [];
        for (let i = l.start; i < l.start + l.count; i++) {
          const o = { id: this.ids[i], p: [] };
          if (this.selected(i)) o.sel = true;
          if (this.hasBounds(i)) o.b = Array.from(this.bounds.subarray(i * 4, i * 4 + 4));
          if (this.locked(i)) o.locked = true;
          for (let s = this.starts[i]; s < this.starts[i + 1]; s++)
            o.p.push({ d: this.geoms.get(this.geom[s]).d, m: Array.from(this.mat.subarray(s * 6, s * 6 + 6)),
                       ...this.styles.get(this.style[s]), o: this.opacity[s],
                       b: this.blends.get(this.blend[s]) || 'normal' });
          art.push(o);
        }
        return { name: l.name, locked: l.locked, art };
      }),
    };
  }
}
