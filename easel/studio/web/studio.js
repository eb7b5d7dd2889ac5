// The studio page: draws the document, runs the tools and the dialogs, and
// hands every action to the host through /api/call.
'use strict';

const $ = (id) => document.getElementById(id);
const SHIFT = 0x20, ALT = 0x40, CTRL = 0x200;

const view = { zoom: 1, panX: 0, panY: 0 };  // screen = doc * zoom + pan (v flipped)
let state = null;        // the host's last answer with everything the page shows
let scene = null;        // the drawing, with Path2D objects added
let tool = 'select';     // 'select' or a tool title
let pictures = 0;        // pictures drawn, for tests and benchmarks
let lastAnswerAt = 0;
let pending = 0;         // commands sent and not yet answered
// This page's name for the host: pointer events of one page's drag belong together.
const CLIENT = 'page-' + Math.random().toString(36).slice(2) + Date.now().toString(36);

// ---- talking to the host ----

async function call(command) {
  const started = performance.now();
  pending++;
  const busy = setTimeout(showBusy, 300);
  try {
    const res = await fetch('/api/call', { method: 'POST', headers: { 'Content-Type': 'application/json' },
                                          body: JSON.stringify(command) });
    const answer = await res.json();
    lastAnswerAt = performance.now() - started;
    if (!answer.ok) note(answer.error || 'refused');
    else absorb(answer);
    return answer;
  } catch (e) {
    note('the studio is not answering: ' + e.message);
    return { ok: false, error: String(e) };
  } finally {
    clearTimeout(busy);
    hideBusy();
    pending--;
  }
}

// Drag events go one at a time, in order; a move still waiting when a newer
// one comes is replaced, so the picture is never more than one event behind.
// Each carries the time of the oldest pointer event it stands for, so the
// page knows how long a pointer move took to reach the screen.
const dragQueue = [];
let dragSending = false;
const moveLatencies = [];  // ms from a pointer move to the painted frame that shows it
function sendDrag(command, at) {
  command.client = CLIENT;
  const last = dragQueue[dragQueue.length - 1];
  if (command.op === 'move' && last && last.command.op === 'move') last.command = command;
  else dragQueue.push({ command, at });
  if (!dragSending) pumpDrag();
}
async function pumpDrag() {
  dragSending = true;
  while (dragQueue.length) {
    const { command, at } = dragQueue.shift();
    const answer = await call(command);
    if (command.op === 'move' && answer.scene && at !== undefined)
      requestAnimationFrame(() => setTimeout(() => {
        moveLatencies.push(performance.now() - at);
        if (moveLatencies.length > 1000) moveLatencies.shift();
      }));
  }
  dragSending = false;
}

let busyTimer = null;
function showBusy() {
  $('busy').hidden = false;
  busyTimer = setInterval(async () => {
    try {
      const s = await (await fetch('/api/status')).json();
      if (s.busy)
        $('busy-text').textContent = `Working on ${s.op}… ${(s.ms / 1000).toFixed(1)} s` +
          (s.event ? ` (${s.event}: ${s.objects.toLocaleString('en-US')} objects made)` : '');
    } catch (e) { /* the next answer says more */ }
  }, 250);
}
function hideBusy() {
  $('busy').hidden = true;
  clearInterval(busyTimer);
}

function note(text) { $('status').textContent = text; }

// ---- what the host answered ----

function absorb(answer) {
  if (answer.coalesced) return;
  if (answer.tools) {
    const first = !state;
    state = answer;
    if (first) buildPalette();
    showPanels();
  }
  if (answer.scene) setScene(answer.scene);
  if (answer.notices) for (const n of answer.notices) note(n.text);
  showModal();
}

function setScene(s) {
  for (const layer of s.layers)
    for (const o of layer.art)
      for (const p of o.p) p.path = new Path2D(p.d);
  const first = !scene;
  scene = s;
  if (first) fit();
  draw();
}

function showPanels() {
  $('undo').disabled = !state.canUndo;
  $('redo').disabled = !state.canRedo;
  $('undo').title = state.canUndo ? `Undo ${state.undoText} (Ctrl+Z)` : 'Undo (Ctrl+Z)';
  if (document.activeElement !== $('seed') && $('seed').value !== String(state.seed)) $('seed').value = state.seed;
  setText($('steps'), `(${state.steps})`);
  // The lists are rebuilt only when they change: a drag answers many times a
  // second, and new elements would cost the picture a layout pass each time.
  const lists = JSON.stringify([state.layers, state.swatches]);
  if (lists !== shownLists) {
    shownLists = lists;
    showLists();
  }
  const n = state.selection.length;
  setText($('selection'), n === 0 ? 'Nothing selected' : `${n} object${n > 1 ? 's' : ''} selected (ids ${state.selection.slice(0, 12).join(', ')}${n > 12 ? ', …' : ''})`);
}

// Unchanged text is left alone, so the page needs no new layout for it.
function setText(el, text) { if (el.textContent !== text) el.textContent = text; }

let shownLists = null;
function showLists() {
  $('layers').replaceChildren(...state.layers.map((l) => {
    const li = document.createElement('li');
    li.textContent = l.name + (l.visible ? '' : ' (hidden)') + (l.locked ? ' (locked)' : '');
    return li;
  }));
  $('swatches').replaceChildren(...state.swatches.map((s) => {
    const sw = document.createElement('span');
    sw.title = s.name;
    if (s.color === 'none') sw.className = 'none'; else sw.style.background = s.color;
    return sw;
  }));
}

function buildPalette() {
  const pal = $('palette');
  pal.replaceChildren();
  const groups = new Map();
  const add = (key) => {
    if (!groups.has(key)) {
      const g = document.createElement('div');
      g.className = 'group';
      pal.appendChild(g);
      groups.set(key, g);
    }
    return groups.get(key);
  };
  const sel = document.createElement('button');
  sel.textContent = '↖';
  sel.title = 'Selection: click, Shift-click, marquee';
  sel.dataset.tool = 'select';
  add('select').appendChild(sel);
  for (const t of state.tools) {
    const b = document.createElement('button');
    b.dataset.tool = t.title;
    b.title = `${t.tooltip || t.title.trim()} (${t.plugin}) — double-click for options`;
    b.setAttribute('aria-label', t.title.trim());
    if (t.icon) {
      const img = document.createElement('img');
      img.src = t.icon;
      img.alt = t.title.trim();
      b.appendChild(img);
    } else {
      b.textContent = t.title.trim().slice(0, 3);
    }
    add(t.plugin + ':' + (t.group >= 0 ? t.group : t.number)).appendChild(b);
  }
  pal.addEventListener('click', (e) => {
    const b = e.target.closest('button');
    if (b) chooseTool(b.dataset.tool);
  });
  pal.addEventListener('dblclick', (e) => {
    const b = e.target.closest('button');
    if (b && b.dataset.tool !== 'select') call({ op: 'options', tool: b.dataset.tool });
  });
  chooseTool('select');
}

function chooseTool(name) {
  tool = name;
  for (const b of $('palette').querySelectorAll('button')) b.classList.toggle('active', b.dataset.tool === name);
  note(name === 'select' ? 'Selection' : name.trim());
}

// ---- drawing ----

const canvas = $('canvas');
const ctx = canvas.getContext('2d');

function toScreen(x, y) { return [x * view.zoom + view.panX, (scene.height - y) * view.zoom + view.panY]; }
function toDoc(sx, sy) { return [(sx - view.panX) / view.zoom, scene.height - (sy - view.panY) / view.zoom]; }

function fit() {
  if (!scene) return;
  const r = $('view').getBoundingClientRect();
  view.zoom = Math.min((r.width - 40) / scene.width, (r.height - 40) / scene.height);
  view.panX = (r.width - scene.width * view.zoom) / 2;
  view.panY = (r.height - scene.height * view.zoom) / 2;
  draw();
}

function zoomAt(factor, sx, sy) {
  const z = Math.min(64, Math.max(0.02, view.zoom * factor));
  const [x, y] = toDoc(sx, sy);
  view.zoom = z;
  view.panX = sx - x * z;
  view.panY = sy - (scene.height - y) * z;
  draw();
}

let marquee = null;
function draw() {
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
  if (marquee) {
    ctx.setLineDash([4, 3]);
    ctx.strokeStyle = '#333';
    ctx.strokeRect(marquee.x0, marquee.y0, marquee.x1 - marquee.x0, marquee.y1 - marquee.y0);
    ctx.setLineDash([]);
  }
  setText($('zoom'), Math.round(view.zoom * 100) + '%');
  pictures++;
}

function blendOp(name) {
  const map = { normal: 'source-over', 'soft-light': 'soft-light', 'hard-light': 'hard-light',
                'color-dodge': 'color-dodge', 'color-burn': 'color-burn' };
  return map[name] || name;
}

// The top-most object under a point of the document.
function hit(x, y) {
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

// ---- pointer ----

function modifiers(e) { return (e.shiftKey ? SHIFT : 0) | (e.altKey ? ALT : 0) | (e.ctrlKey || e.metaKey ? CTRL : 0); }
function pressure(e) { return e.pointerType === 'pen' ? Math.round(Math.min(1, Math.max(0, e.pressure)) * 255) : 0; }
function where(e) {
  const r = canvas.getBoundingClientRect();
  return [e.clientX - r.left, e.clientY - r.top];
}

let gesture = null;
let spaceDown = false;
canvas.addEventListener('pointerdown', (e) => {
  if (!scene || !$('modal').hidden) return;
  canvas.setPointerCapture(e.pointerId);
  const [sx, sy] = where(e);
  if (e.button === 1 || spaceDown) {
    gesture = { kind: 'pan', sx, sy, panX: view.panX, panY: view.panY };
    return;
  }
  if (e.button !== 0) return;
  const [x, y] = toDoc(sx, sy);
  if (tool === 'select') {
    const o = hit(x, y);
    if (o) {
      gesture = { kind: 'click' };
      call({ op: 'select', mode: e.shiftKey ? 'toggle' : 'set', ids: [o.id] });
    } else {
      gesture = { kind: 'marquee', add: e.shiftKey };
      marquee = { x0: sx, y0: sy, x1: sx, y1: sy };
    }
    return;
  }
  gesture = { kind: 'drag' };
  sendDrag({ op: 'down', tool, x, y, modifiers: modifiers(e), pressure: pressure(e), pen: e.pointerType === 'pen' });
});
// A tool's drag listens to the raw pointer updates where the browser has
// them: those come as soon as the pointer moves, while pointermove waits for
// the next frame, a frame of delay before the host even hears of the move.
const RAW_MOVES = 'onpointerrawupdate' in window;
canvas.addEventListener('pointermove', (e) => {
  if (!gesture) return;
  const [sx, sy] = where(e);
  if (gesture.kind === 'pan') {
    view.panX = gesture.panX + sx - gesture.sx;
    view.panY = gesture.panY + sy - gesture.sy;
    draw();
  } else if (gesture.kind === 'marquee') {
    marquee.x1 = sx;
    marquee.y1 = sy;
    draw();
  } else if (gesture.kind === 'drag' && !RAW_MOVES) {
    dragMove(e);
  }
});
if (RAW_MOVES) canvas.addEventListener('pointerrawupdate', (e) => { if (gesture && gesture.kind === 'drag') dragMove(e); });
function dragMove(e) {
  const [x, y] = toDoc(...where(e));
  sendDrag({ op: 'move', x, y, modifiers: modifiers(e), pressure: pressure(e) }, e.timeStamp);
}
function endGesture(e) {
  if (!gesture) return;
  const g = gesture;
  gesture = null;
  if (g.kind === 'drag') {
    const [x, y] = toDoc(...where(e));
    sendDrag({ op: 'up', x, y, modifiers: modifiers(e), pressure: pressure(e) });
  } else if (g.kind === 'marquee') {
    const m = marquee;
    marquee = null;
    const [ax, ay] = toDoc(Math.min(m.x0, m.x1), Math.max(m.y0, m.y1));
    const [bx, by] = toDoc(Math.max(m.x0, m.x1), Math.min(m.y0, m.y1));
    if (Math.abs(m.x1 - m.x0) < 3 && Math.abs(m.y1 - m.y0) < 3) {
      if (!g.add) call({ op: 'deselect' });
      draw();
      return;
    }
    const ids = [];
    for (const layer of scene.layers)
      if (!layer.locked)
        for (const o of layer.art)
          if (o.b && !o.locked && o.b[0] <= bx && o.b[2] >= ax && o.b[1] <= by && o.b[3] >= ay) ids.push(o.id);
    call({ op: 'select', mode: g.add ? 'add' : 'set', ids });
    draw();
  }
}
canvas.addEventListener('pointerup', endGesture);
canvas.addEventListener('pointercancel', endGesture);
canvas.addEventListener('wheel', (e) => {
  if (!scene) return;
  e.preventDefault();
  const [sx, sy] = where(e);
  if (e.ctrlKey || e.metaKey) zoomAt(Math.exp(-e.deltaY / 300), sx, sy);
  else { view.panX -= e.deltaX; view.panY -= e.deltaY; draw(); }
}, { passive: false });
window.addEventListener('resize', draw);

// ---- keys ----

window.addEventListener('keydown', (e) => {
  if (e.target.closest && e.target.closest('input, select')) return;
  if (!$('modal').hidden) {
    if (e.key === 'Escape' && state && state.dialog) { const c = state.dialog.items.find((i) => i.id === 2 && i.kind === 'button'); if (c) press(2); }
    return;
  }
  const mod = e.ctrlKey || e.metaKey;
  const key = e.key.toLowerCase();
  if (e.key === ' ') { spaceDown = true; e.preventDefault(); }
  else if (mod && key === 'z') { e.preventDefault(); call({ op: e.shiftKey ? 'redo' : 'undo' }); }
  else if (mod && key === 'y') { e.preventDefault(); call({ op: 'redo' }); }
  else if (mod && key === 'a') { e.preventDefault(); call({ op: e.shiftKey ? 'deselect' : 'selectAll' }); }
  else if (e.key === 'Escape') call({ op: 'deselect' });
  else if (key === 'v') chooseTool('select');
});
window.addEventListener('keyup', (e) => { if (e.key === ' ') spaceDown = false; });

// ---- dialogs and alerts ----

function showModal() {
  const d = state && state.dialog;
  const alert = state && state.alerts && state.alerts[0];
  const box = $('dialog');
  if (!d && !alert) {
    if (!$('modal').hidden) {
      $('modal').hidden = true;
      box.replaceChildren();
    }
    return;
  }
  $('modal').hidden = false;
  if (d) renderDialog(box, d); else renderAlert(box, alert);
}

// What the person does in a dialog reaches the plug-in in the order it was
// done: a field committed by leaving it for a button is set before the
// button is pressed, and each command is built when its turn comes, from
// the values the previous answer showed.
let dialogChain = Promise.resolve();
function dialogCall(make) {
  dialogChain = dialogChain.then(() => call(typeof make === 'function' ? make() : make));
  return dialogChain;
}
function itemValue(id, fallback) {
  const it = state && state.dialog && state.dialog.items.find((i) => i.id === id);
  return it && typeof it.value === 'number' ? it.value : fallback;
}
function press(id) { return dialogCall({ op: 'dialogPress', id }); }

function renderAlert(box, a) {
  box.className = 'alert';
  box.dataset.kind = a.kind;
  const cap = document.createElement('div');
  cap.className = 'caption';
  cap.textContent = a.kind === 'error alert' ? 'Error' : 'Message';
  const body = document.createElement('div');
  body.className = 'body';
  for (const t of a.texts) { const p = document.createElement('p'); p.textContent = t; body.appendChild(p); }
  const buttons = document.createElement('div');
  buttons.className = 'buttons';
  const ok = document.createElement('button');
  ok.textContent = 'OK';
  ok.addEventListener('click', () => call({ op: 'dismissAlert' }));
  buttons.appendChild(ok);
  box.replaceChildren(cap, body, buttons);
  ok.focus();
}

// Items at their exact rectangles, in the dialog's own pixels.
function renderDialog(box, d) {
  box.className = 'adm';
  delete box.dataset.kind;
  const focused = document.activeElement && document.activeElement.dataset.item;
  const cap = document.createElement('div');
  cap.className = 'caption';
  cap.textContent = d.caption;
  const body = document.createElement('div');
  body.className = 'body';
  body.style.width = (d.bounds[2] - d.bounds[0]) + 'px';
  body.style.height = (d.bounds[3] - d.bounds[1]) + 'px';
  for (const it of d.items) {
    const el = document.createElement('div');
    el.className = `item ${it.kind}` + (it.enabled ? '' : ' disabled');
    el.dataset.id = it.id;
    el.style.left = it.rect[0] + 'px';
    el.style.top = it.rect[1] + 'px';
    el.style.width = (it.rect[2] - it.rect[0]) + 'px';
    el.style.height = (it.rect[3] - it.rect[1]) + 'px';
    if (it.kind === 'static') {
      el.classList.add('static');
      el.textContent = it.text;
    } else if (it.kind === 'frame') {
      el.classList.add('frame');
    } else if (it.kind === 'spin') {
      const input = document.createElement('input');
      input.value = it.text;
      input.disabled = !it.enabled;
      input.dataset.item = it.id;
      input.setAttribute('aria-label', labelOf(d, it));
      input.addEventListener('change', () => dialogCall({ op: 'dialogSet', id: it.id, text: input.value }));
      input.addEventListener('keydown', (e) => {
        if (e.key === 'ArrowUp' || e.key === 'ArrowDown') {
          e.preventDefault();
          const step = e.key === 'ArrowUp' ? 1 : -1;
          dialogCall(() => ({ op: 'dialogSet', id: it.id, value: itemValue(it.id, it.value) + step }));
        } else if (e.key === 'Enter') input.blur();
      });
      const arrows = document.createElement('div');
      arrows.className = 'arrows';
      for (const [label, step] of [['▲', 1], ['▼', -1]]) {
        const b = document.createElement('button');
        b.textContent = label;
        b.tabIndex = -1;
        b.disabled = !it.enabled;
        b.className = step > 0 ? 'up' : 'down';
        b.addEventListener('click', () => dialogCall(() => ({ op: 'dialogSet', id: it.id, value: itemValue(it.id, it.value) + step })));
        arrows.appendChild(b);
      }
      el.classList.add('spin');
      el.append(input, arrows);
    } else if (it.kind === 'popup') {
      const s = document.createElement('select');
      s.disabled = !it.enabled;
      s.dataset.item = it.id;
      s.setAttribute('aria-label', labelOf(d, it));
      it.entries.forEach((t, i) => { const o = document.createElement('option'); o.value = i; o.textContent = t; s.appendChild(o); });
      s.value = it.selected;
      s.addEventListener('change', () => dialogCall({ op: 'dialogSet', id: it.id, value: Number(s.value) }));
      el.appendChild(s);
    } else if (it.kind === 'check') {
      const label = document.createElement('label');
      const c = document.createElement('input');
      c.type = 'checkbox';
      c.checked = it.value !== 0;
      c.disabled = !it.enabled;
      c.dataset.item = it.id;
      c.addEventListener('change', () => dialogCall({ op: 'dialogSet', id: it.id, value: c.checked ? 1 : 0 }));
      label.append(c, document.createTextNode(it.text));
      el.classList.add('check');
      el.appendChild(label);
    } else if (it.kind === 'button') {
      const b = document.createElement('button');
      b.textContent = it.text;
      b.disabled = !it.enabled;
      b.dataset.item = it.id;
      b.addEventListener('click', () => press(it.id));
      el.classList.add('push');
      el.appendChild(b);
    }
    body.appendChild(el);
  }
  box.replaceChildren(cap, body);
  if (focused) { const f = box.querySelector(`[data-item="${focused}"]`); if (f) f.focus(); }
}

// A spin or popup is labelled by the static text on its row to its left.
function labelOf(d, it) {
  let best = null;
  for (const l of d.items)
    if (l.kind === 'static' && Math.abs(l.rect[1] - it.rect[1]) <= 4 && l.rect[2] <= it.rect[0] && (!best || l.rect[2] > best.rect[2])) best = l;
  return best ? best.text.trim() : `item ${it.id}`;
}

// ---- files, seed, recorder ----

function download(name, data, type) {
  const url = URL.createObjectURL(data instanceof Blob ? data : new Blob([data], { type }));
  const a = document.createElement('a');
  a.href = url;
  a.download = name;
  document.body.appendChild(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}

$('open').addEventListener('change', async (e) => {
  const f = e.target.files[0];
  if (!f) return;
  const text = await f.text();
  e.target.value = '';
  const r = await call({ op: 'open', name: f.name, text });
  if (r.ok) { fit(); note(`Opened ${f.name}`); }
});
$('save-json').addEventListener('click', () => saveJson());
$('save-svg').addEventListener('click', async () => {
  const r = await call({ op: 'save', format: 'svg', download: true });
  if (r.ok) download(r.name, r.text, 'image/svg+xml');
});
async function saveJson() {
  const r = await call({ op: 'save', format: 'json', download: true });
  if (r.ok) download(r.name, r.text, 'application/json');
  return r.ok;
}
$('export-png').addEventListener('click', async () => {
  const width = Math.min(8192, Math.max(1, Math.round(scene.width * 2)));
  const res = await fetch(`/api/picture.png?width=${width}`);
  if (!res.ok) { note(await res.text()); return; }
  download(`${state.name}.png`, await res.blob());
});
$('record').addEventListener('click', async () => {
  const r = await call({ op: 'script' });
  if (r.ok) download(r.name, JSON.stringify(r.script, null, 1), 'application/json');
});
$('seed').addEventListener('change', () => call({ op: 'seed', seed: Number($('seed').value) }));
$('undo').addEventListener('click', () => call({ op: 'undo' }));
$('redo').addEventListener('click', () => call({ op: 'redo' }));
$('zoom-in').addEventListener('click', () => { const r = canvas.getBoundingClientRect(); zoomAt(1.25, r.width / 2, r.height / 2); });
$('zoom-out').addEventListener('click', () => { const r = canvas.getBoundingClientRect(); zoomAt(0.8, r.width / 2, r.height / 2); });
$('zoom-fit').addEventListener('click', fit);

// For tests and benchmarks: where a document point is on the screen, and
// how far the page has got.
window.studio = {
  toClient(x, y) { const r = canvas.getBoundingClientRect(); const [sx, sy] = toScreen(x, y); return [sx + r.left, sy + r.top]; },
  get state() { return state; },
  get scene() { return scene; },
  get pictures() { return pictures; },
  get idle() { return pending === 0 && !dragSending && dragQueue.length === 0; },
  get lastAnswerMs() { return lastAnswerAt; },
  get moveLatencies() { return moveLatencies.slice(); },
  chooseTool,
  // For the page's other modules (session.js).
  call, fit, note, saveJson,
  client: CLIENT,
  get dragging() { return !!(gesture && gesture.kind === 'drag') || dragQueue.length > 0 || !!(state && state.dragging); },
  ready: call({ op: 'state' }),
};
