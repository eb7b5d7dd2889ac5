// Dialogs and alerts: a plug-in's modal dialog drawn from the host's
// description, item by item at its own rectangles, and the person's answers.
import { $ } from './common.js';
import { page, traffic } from './store.js';
import { call } from './protocol.js';

export function showModal() {
  const state = page.state;
  const d = state && state.dialog;
  const alert = state && state.alerts && state.alerts[0];
  const box = $('dialog');
  if (!d && !alert) {
    if (!$('modal').hidden) {
      $('modal').hidden = true;
      box.replaceChildren();
      shownDialog = null;
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
function dialogCall(make) {
  traffic.dialogChain = traffic.dialogChain.then(() => call(typeof make === 'function' ? make() : make));
  return traffic.dialogChain;
}
function itemValue(id, fallback) {
  const state = page.state;
  const it = state && state.dialog && state.dialog.items.find((i) => i.id === id);
  return it && typeof it.value === 'number' ? it.value : fallback;
}
export function press(id) { return dialogCall({ op: 'dialogPress', id }); }

function renderAlert(box, a) {
  shownDialog = null;
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

// Items at their exact rectangles, in the dialog's own pixels. While the
// dialog keeps its items and their places, an answer updates the shown items
// in place: a button held down as a field's value is set stays the button
// that is released, so the click is not lost, and the field being typed in
// keeps its text.
let shownDialog = null;  // { layout, updates }: the dialog on the page, one updater per item
function renderDialog(box, d) {
  const layout = JSON.stringify([d.caption, d.bounds, d.items.map((i) => [i.id, i.kind, i.rect, i.entries])]);
  if (shownDialog && shownDialog.layout === layout) {
    d.items.forEach((it, i) => shownDialog.updates[i](it));
    return;
  }
  box.className = 'adm';
  delete box.dataset.kind;
  const updates = [];
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
    el.className = 'item';
    el.dataset.id = it.id;
    el.style.left = it.rect[0] + 'px';
    el.style.top = it.rect[1] + 'px';
    el.style.width = (it.rect[2] - it.rect[0]) + 'px';
    el.style.height = (it.rect[3] - it.rect[1]) + 'px';
    const update = Object.hasOwn(ITEM_KINDS, it.kind) ? ITEM_KINDS[it.kind](el, it, d) : null;
    const shown = (now) => {
      el.classList.toggle('disabled', !now.enabled);
      if (update) update(now);
    };
    shown(it);
    updates.push(shown);
    body.appendChild(el);
  }
  box.replaceChildren(cap, body);
  shownDialog = { layout, updates };
  if (focused) { const f = box.querySelector(`[data-item="${focused}"]`); if (f) f.focus(); }
}

// Texts wrap within their rectangle; one of two or more lines starts at its top.
function staticItem(el, it) {
  el.classList.add('static');
  if (it.rect[3] - it.rect[1] >= 2 * STATIC_LINE) el.classList.add('lines');
  return (now) => { el.textContent = now.text; };
}

// A frame; a small one without text is where a dialog shows its icon (the
// error dialog's sign), drawn as one.
function frameItem(el, it) {
  el.classList.add('frame');
  if (!it.text && it.rect[2] - it.rect[0] <= ICON_SPOT && it.rect[3] - it.rect[1] <= ICON_SPOT) {
    el.classList.add('icon');
    el.setAttribute('role', 'img');
    el.setAttribute('aria-label', 'Error');
    el.innerHTML = '<svg viewBox="0 0 24 24"><circle cx="12" cy="12" r="11" fill="#d93025"/>' +
      '<rect x="10.5" y="5" width="3" height="9" rx="1" fill="#fff"/><circle cx="12" cy="18" r="1.7" fill="#fff"/></svg>';
  }
}

// A number field with its arrows; the arrow keys step it too.
function spinItem(el, it, d) {
  const input = document.createElement('input');
  input.dataset.item = it.id;
  input.setAttribute('aria-label', labelOf(d, it));
  // Typed and not yet committed: answers leave the text alone.
  let typed = false;
  input.addEventListener('input', () => { typed = true; });
  input.addEventListener('change', () => {
    typed = false;
    dialogCall({ op: 'dialogSet', id: it.id, text: input.value });
  });
  input.addEventListener('keydown', (e) => {
    if (e.key === 'ArrowUp' || e.key === 'ArrowDown') {
      e.preventDefault();
      typed = false;
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
    b.className = step > 0 ? 'up' : 'down';
    b.addEventListener('click', () => dialogCall(() => ({ op: 'dialogSet', id: it.id, value: itemValue(it.id, it.value) + step })));
    arrows.appendChild(b);
  }
  el.classList.add('spin');
  el.append(input, arrows);
  return (now) => {
    if (!typed) input.value = now.text;
    input.disabled = !now.enabled;
    for (const b of arrows.children) b.disabled = !now.enabled;
  };
}

// A list of entries; the closed control may be narrower than its entry, so the
// whole entry is its tooltip.
function popupItem(el, it, d) {
  const s = document.createElement('select');
  s.dataset.item = it.id;
  s.setAttribute('aria-label', labelOf(d, it));
  it.entries.forEach((t, i) => { const o = document.createElement('option'); o.value = i; o.textContent = t.trim(); o.title = t.trim(); s.appendChild(o); });
  const shown = () => { s.title = (it.entries[Number(s.value)] || '').trim(); };
  s.addEventListener('change', () => { shown(); dialogCall({ op: 'dialogSet', id: it.id, value: Number(s.value) }); });
  el.classList.add('popup');
  el.appendChild(s);
  return (now) => {
    s.value = now.selected;
    s.disabled = !now.enabled;
    shown();
  };
}

// A check box and its text.
function checkItem(el, it) {
  const label = document.createElement('label');
  const c = document.createElement('input');
  c.type = 'checkbox';
  c.dataset.item = it.id;
  c.addEventListener('change', () => dialogCall({ op: 'dialogSet', id: it.id, value: c.checked ? 1 : 0 }));
  const text = document.createTextNode('');
  label.append(c, text);
  el.classList.add('check');
  el.appendChild(label);
  return (now) => {
    c.checked = now.value !== 0;
    c.disabled = !now.enabled;
    text.data = now.text;
  };
}

// A push button.
function buttonItem(el, it) {
  const b = document.createElement('button');
  b.dataset.item = it.id;
  b.addEventListener('click', () => press(it.id));
  el.classList.add('push');
  el.appendChild(b);
  return (now) => {
    b.textContent = now.text;
    b.disabled = !now.enabled;
  };
}

// Each kind of item, drawn into its element `el` (of the item `it` of dialog `d`).
const ITEM_KINDS = { static: staticItem, frame: frameItem, spin: spinItem, popup: popupItem, check: checkItem,
                     button: buttonItem };

const STATIC_LINE = 15;  // pixels of one line of dialog text
const ICON_SPOT = 40;    // pixels a side of the largest frame taken as an icon's place
function dialogButton(d, id) {
  return d.items.find((i) => i.id === id && i.kind === 'button' && i.enabled);
}
// Esc or Enter while a dialog or alert is shown (keys.js), wherever the
// focus is: Esc presses Cancel (the only button of a dialog that has one),
// Enter presses OK after committing the field being typed in; a focused
// button answers Enter itself. Esc and Enter close an alert.
export function dialogKey(e) {
  const state = page.state;
  const d = state && state.dialog;
  if (!d) {
    if (!state || !state.alerts || !state.alerts.length) return;
    if (e.key === 'Enter' && e.target.closest && e.target.closest('button')) return;
    e.preventDefault();
    e.stopPropagation();
    call({ op: 'dismissAlert' });
    return;
  }
  if (e.key === 'Enter' && e.target.closest && e.target.closest('#dialog button')) return;
  let target;
  if (e.key === 'Escape') {
    const buttons = d.items.filter((i) => i.kind === 'button' && i.enabled);
    target = dialogButton(d, 2) || (buttons.length === 1 ? buttons[0] : null);
  } else {
    target = dialogButton(d, 1);
  }
  e.preventDefault();
  e.stopPropagation();
  if (!target) return;
  if (e.key === 'Enter' && document.activeElement && document.activeElement.matches('#dialog input')) document.activeElement.blur();
  press(target.id);
}

// A spin or popup is labelled by the static text on its row to its left.
function labelOf(d, it) {
  let best = null;
  for (const l of d.items)
    if (l.kind === 'static' && Math.abs(l.rect[1] - it.rect[1]) <= 4 && l.rect[2] <= it.rect[0] && (!best || l.rect[2] > best.rect[2])) best = l;
  return best ? best.text.trim() : `item ${it.id}`;
}
